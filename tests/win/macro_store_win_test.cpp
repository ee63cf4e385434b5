// sequence.dat written by IniFile reads back through the platform's
// private-profile struct functions byte for byte, and the other way round.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "model/macro_store.h"
#include "model/text.h"

namespace {

using namespace vantrel;

std::wstring Scratch(const wchar_t* name) {
  wchar_t dir[MAX_PATH] = L"";
  if (GetEnvironmentVariableW(L"VANTREL_TEST_TMP", dir, MAX_PATH) == 0) {
    GetTempPathW(MAX_PATH, dir);
  }
  std::wstring path = std::wstring(dir) + L"\\macro_store_win";
  CreateDirectoryW(dir, nullptr);
  CreateDirectoryW(path.c_str(), nullptr);
  path += L"\\";
  path += name;
  DeleteFileW(path.c_str());
  return path;
}

MacroLibrary Library() {
  MacroLibrary lib;
  for (int i = 0; i < 12; ++i) {
    auto m = std::make_unique<MacroRecord>();
    auto* bytes = reinterpret_cast<std::uint8_t*>(m.get());
    for (std::size_t b = 0; b < sizeof(MacroRecord); ++b) {
      bytes[b] = static_cast<std::uint8_t>(b * 31 + i * 7);
    }
    ToFixed(m->name, u"Grüße " + ToU16Decimal(i));
    m->eventCount = i * 4;
    lib.push_back(std::move(m));
  }
  return lib;
}

TEST(MacroStoreWin, PlatformReadsWhatWeWrite) {
  const std::wstring file = Scratch(L"ours.dat");
  const MacroLibrary lib = Library();
  ASSERT_TRUE(SaveMacroLibrary(lib, file));
  EXPECT_EQ(GetPrivateProfileIntW(L"Macros", L"number", -1, file.c_str()), 12u);
  for (std::size_t i = 0; i < lib.size(); ++i) {
    MacroRecord m;
    ASSERT_TRUE(
        GetPrivateProfileStructW(L"Macros", std::to_wstring(i).c_str(), &m, sizeof m, file.c_str()))
        << i;
    EXPECT_EQ(std::memcmp(&m, lib[i].get(), sizeof m), 0) << i;
  }
}

TEST(MacroStoreWin, WeReadWhatThePlatformWrites) {
  const std::wstring file = Scratch(L"platform.dat");
  const MacroLibrary lib = Library();
  WritePrivateProfileStringW(L"Macros", L"number", L"12", file.c_str());
  for (std::size_t i = 0; i < lib.size(); ++i) {
    ASSERT_TRUE(WritePrivateProfileStructW(L"Macros", std::to_wstring(i).c_str(), lib[i].get(),
                                           sizeof(MacroRecord), file.c_str()));
  }
  MacroLibrary loaded;
  LoadMacroLibrary(loaded, file);
  ASSERT_EQ(loaded.size(), lib.size());
  for (std::size_t i = 0; i < lib.size(); ++i) {
    EXPECT_EQ(std::memcmp(loaded[i].get(), lib[i].get(), sizeof(MacroRecord)), 0) << i;
  }
}

}  // namespace
