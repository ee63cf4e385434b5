// lang.dll holds every text a window loads, and the loader keeps entry
// indexes when the module or a string is missing.
#include <gtest/gtest.h>
#include <windows.h>

#include "skin/lang_strings.h"
#include "win/win_util.h"

using namespace vantrel;

namespace {

struct Range {
  UINT first;
  int count;
};
// The ranges the windows load (main window, panels, dialogs, warnings).
constexpr Range kRanges[] = {{101, 17}, {300, 9},  {400, 7},  {500, 27},  {600, 9}, {700, 6},
                             {800, 11}, {900, 26}, {1000, 5}, {1100, 14}, {1400, 2}};

TEST(LangDll, EveryIdAWindowLoadsExists) {
  win::SetApplicationDirectory(VANTREL_DIST_DIR);
  HMODULE module = skin::LangModule();
  ASSERT_NE(module, nullptr);
  for (const Range& r : kRanges) {
    skin::TextTable table;
    skin::LoadLangStrings(r.first, r.count, table);
    ASSERT_EQ(table.size(), static_cast<size_t>(r.count));
    for (int k = 0; k < r.count; ++k) {
      wchar_t buf[260];
      EXPECT_NE(LoadStringW(module, r.first + k, buf, 260), 0) << "ID " << r.first + k;
      EXPECT_FALSE(table[k].empty()) << "ID " << r.first + k;
      // A text longer than the loader's buffer would be cut silently.
      EXPECT_LT(table[k].size(), 259u) << "ID " << r.first + k;
    }
  }
  skin::TextTable t;
  skin::LoadLangStrings(101, 1, t);
  EXPECT_EQ(t[0], L"Keyboard");
}

TEST(LangDll, MissingStringsKeepIndexes) {
  win::SetApplicationDirectory(VANTREL_DIST_DIR);
  skin::TextTable table{L"kept"};
  skin::LoadLangStrings(60000, 3, table);  // IDs nobody defines
  ASSERT_EQ(table.size(), 4u);
  EXPECT_EQ(table[0], L"kept");
  EXPECT_TRUE(table[3].empty());
  EXPECT_TRUE(skin::TextAt(table, 99).empty());
}

}  // namespace
