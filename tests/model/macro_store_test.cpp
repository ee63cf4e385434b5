#include "model/macro_store.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "model/text.h"
#include "scratch_dir.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

fs::path ScratchFile(const char* name) {
  return test::ScratchDir("macro_store", name) / kMacroFileName;
}

// A macro whose every byte, stale slots included, is random.
std::unique_ptr<MacroRecord> RandomMacro(std::mt19937& rng, std::u16string_view name, int events) {
  auto m = std::make_unique<MacroRecord>();
  auto* bytes = reinterpret_cast<std::uint8_t*>(m.get());
  for (std::size_t i = 0; i < sizeof(MacroRecord); ++i) bytes[i] = static_cast<std::uint8_t>(rng());
  ToFixed(m->name, name);
  m->eventCount = events;
  m->repeatCount = static_cast<int>(rng() % 256);
  return m;
}

MacroLibrary Library(int n, std::uint32_t seed = 1) {
  std::mt19937 rng(seed);
  MacroLibrary lib;
  for (int i = 0; i < n; ++i) {
    lib.push_back(RandomMacro(rng, u"Mäcro " + ToU16Decimal(i), i % 51));
  }
  return lib;
}

void ExpectSameBytes(const MacroLibrary& a, const MacroLibrary& b) {
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(std::memcmp(a[i].get(), b[i].get(), sizeof(MacroRecord)), 0) << i;
  }
}

IniFile Parse(const std::string& text) {
  IniFile ini;
  ini.LoadBytes({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
  return ini;
}

std::string StructText(const MacroRecord& m) {
  return U16ToUtf8(
      EncodeStructValue({reinterpret_cast<const std::uint8_t*>(&m), sizeof(MacroRecord)}));
}

TEST(MacroStore, SaveThenLoadGivesEveryByteBack) {
  const fs::path file = ScratchFile("roundtrip");
  const MacroLibrary saved = Library(kMacroLibraryMax);
  ASSERT_TRUE(SaveMacroLibrary(saved, file, false));
  MacroLibrary loaded;
  LoadMacroLibrary(loaded, file);
  ExpectSameBytes(saved, loaded);

  IniFile ini(file);
  ASSERT_TRUE(ini.Load());
  EXPECT_EQ(ini.ReadInt(u"Macros", u"number", -1), kMacroLibraryMax);
  EXPECT_EQ(ini.Find(u"Macros", u"0").value_or(u"").size(), 618u);
}

TEST(MacroStore, SavingAShorterLibraryLeavesNoStaleKeys) {
  const fs::path file = ScratchFile("shorter");
  ASSERT_TRUE(SaveMacroLibrary(Library(5), file, false));
  const MacroLibrary one = Library(1, 7);
  ASSERT_TRUE(SaveMacroLibrary(one, file, false));
  IniFile ini(file);
  ASSERT_TRUE(ini.Load());
  EXPECT_TRUE(ini.Find(u"Macros", u"0").has_value());
  EXPECT_FALSE(ini.Find(u"Macros", u"1").has_value());
  MacroLibrary loaded;
  LoadMacroLibrary(loaded, file);
  ExpectSameBytes(one, loaded);
}

TEST(MacroStore, NoMacrosInTheFileEmptiesTheLibrary) {
  const std::string macro = StructText(*Library(1)[0]);
  const char* files[] = {
      "[Macros]\r\nnumber=0\r\n0=",  // the record is there, the count says none
      "[Macros]\r\nnumber=-4\r\n",  "[Macros]\r\n0=", "[Other]\r\nnumber=3\r\n", "",
  };
  for (const char* text : files) {
    MacroLibrary lib = Library(2);
    LoadMacroLibrary(lib, Parse(text + macro + "\r\n"));
    EXPECT_TRUE(lib.empty()) << text;
  }
  MacroLibrary lib = Library(2);
  LoadMacroLibrary(lib, ScratchFile("missing"));
  EXPECT_TRUE(lib.empty());
}

TEST(MacroStore, LoadingNeverMerges) {
  const fs::path file = ScratchFile("merge");
  ASSERT_TRUE(SaveMacroLibrary(Library(3, 2), file, false));
  MacroLibrary lib = Library(1, 9);
  const MacroLibrary before = Library(1, 9);
  LoadMacroLibrary(lib, file);
  ExpectSameBytes(before, lib);
}

TEST(MacroStore, HostileFilesLoadBoundedAndSkipUnreadableRecords) {
  MacroLibrary lib = Library(3);
  MacroRecord hostile = *lib[2];
  hostile.eventCount = 99999;
  std::fill(std::begin(hostile.name), std::end(hostile.name), u'x');  // no terminator
  std::string bad_sum = StructText(*lib[1]);
  bad_sum.back() = bad_sum.back() == '0' ? '1' : '0';
  const std::string text = "[Macros]\r\nnumber=2147483647\r\n0=" + StructText(*lib[0]) +
                           "\r\n1=" + bad_sum + "\r\n2=" + StructText(hostile) +
                           "\r\n3=" + StructText(*lib[0]).substr(2) +
                           "\r\n5=" + StructText(*lib[1]) + "\r\n";
  MacroLibrary loaded;
  LoadMacroLibrary(loaded, Parse(text));
  ASSERT_EQ(loaded.size(), 3u);  // 0, 2 and 5: the bad checksum, short value and gap are skipped
  EXPECT_EQ(std::memcmp(loaded[0].get(), lib[0].get(), sizeof(MacroRecord)), 0);
  EXPECT_EQ(loaded[1]->eventCount, 50);
  EXPECT_EQ(FromFixed(loaded[1]->name).size(), 49u);
  EXPECT_EQ(std::memcmp(loaded[2].get(), lib[1].get(), sizeof(MacroRecord)), 0);

  // Only the first kMacroLoadCap keys are looked at.
  std::string many = "[Macros]\r\nnumber=5000\r\n";
  many += std::to_string(kMacroLoadCap) + "=" + StructText(*lib[0]) + "\r\n";
  many += std::to_string(kMacroLoadCap - 1) + "=" + StructText(*lib[0]) + "\r\n";
  loaded.clear();
  LoadMacroLibrary(loaded, Parse(many));
  EXPECT_EQ(loaded.size(), 1u);
}

TEST(MacroStore, RefreshReadsTheFileOnlyWhenItHasMacros) {
  auto rec = std::make_unique<SettingsRecord>();
  KeyAssignment& key = rec->profiles[1].MacroKeyInfo[2];
  key.actionType = kActionTypeMacro;
  ToFixed(key.macroName, u"MÄCRO 1");
  key.macroIndex = 77;

  const fs::path empty_file = ScratchFile("refresh-empty");
  ASSERT_TRUE(SaveMacroLibrary({}, empty_file, false));
  MacroLibrary lib = Library(2);
  RefreshMacroAssignments(lib, *rec, empty_file);
  EXPECT_EQ(key.macroIndex, 77);  // nothing in the file: the keys stay as they are
  EXPECT_EQ(lib.size(), 2u);

  const fs::path file = ScratchFile("refresh");
  const MacroLibrary stored = Library(3, 5);
  ASSERT_TRUE(SaveMacroLibrary(stored, file, false));
  lib.clear();
  RefreshMacroAssignments(lib, *rec, file);
  ASSERT_EQ(lib.size(), 3u);
  EXPECT_EQ(key.macroIndex, 1);
  EXPECT_EQ(key.eventCount, stored[1]->eventCount);
  EXPECT_EQ(std::memcmp(key.events, stored[1]->events, sizeof(key.events)), 0);
}

// A library file that is there but cannot be read is not taken for an
// empty one: nothing replaces it until a read succeeds, and then what the
// keys carried meanwhile is kept beside the file's macros. One found empty
// comes back from its last good copy.
TEST(MacroStore, AnUnreadFileIsNeverSavedOverAndAnEmptiedOneComesBack) {
  MacroStore store;
  store.file = ScratchFile("unread");
  store.last_good = store.file.parent_path() / "backup" / kMacroFileName;
  const MacroLibrary mine = Library(3, 9);
  ASSERT_TRUE(SaveMacroLibrary(mine, store.file));
  static bool held;
  held = true;
  SetReadFileFunction([](const fs::path& path, std::vector<std::uint8_t>& out) {
    if (held && path.filename() == kMacroFileName && path.parent_path().filename() != "backup")
      return false;
    std::ifstream in(path, std::ios::binary);
    out.assign(std::istreambuf_iterator<char>(in), {});
    return bool(in) || in.eof();
  });
  EXPECT_EQ(store.Load(), StoredFile::Unreadable);
  EXPECT_TRUE(store.library.empty());
  EXPECT_FALSE(store.Save()) << "refused while unread";
  auto keys = std::make_unique<SettingsRecord>();
  ResetRecord(*keys);
  KeyAssignment& key = keys->profiles[0].MacroKeyInfo[0];
  key.actionType = kActionTypeMacro;
  ToFixed(key.macroName, u"From a key");
  EXPECT_FALSE(store.Reread(*keys));
  held = false;
  ASSERT_TRUE(store.Reread(*keys));
  ASSERT_EQ(store.library.size(), 4u);
  EXPECT_EQ(FromFixed(store.library[3]->name), u"From a key");
  ASSERT_TRUE(store.Save());
  SetReadFileFunction(nullptr);

  std::ofstream(store.file, std::ios::trunc).close();  // emptied behind our back
  MacroStore again;
  again.file = store.file;
  again.last_good = store.last_good;
  EXPECT_EQ(again.Load(), StoredFile::Restored);
  ExpectSameBytes(again.library, mine);  // the version the last save replaced
}

}  // namespace
}  // namespace vantrel
