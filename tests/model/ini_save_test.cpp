// Saving: one atomic replace per batch, nothing written when nothing
// changed, missing folders created, and failures reported with the old
// file left whole.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "ini_test_util.h"
#include "scratch_dir.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using ini_test::Bytes;
using ini_test::Text;
using ini_test::Utf16File;

fs::path Scratch(const char* name) { return test::ScratchDir("ini_save", name); }

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const fs::path& p, std::string_view bytes) {
  std::ofstream(p, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::size_t FilesIn(const fs::path& dir) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {}));
}

TEST(IniSave, CreatesMissingFoldersAndNewFile) {
  fs::path file = Scratch("new") / "a" / "b" / "x.ini";
  IniFile ini(file);
  EXPECT_FALSE(ini.Load());
  ini.WriteInt(u"s", u"k", 5);
  ASSERT_EQ(ini.Save(), IniSaveResult::Ok);
  EXPECT_EQ(ReadAll(file), Bytes(ini));
  EXPECT_EQ(ReadAll(file).substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(FilesIn(file.parent_path()), 1u);  // no temporary file left
  IniFile again(file);
  ASSERT_TRUE(again.Load());
  EXPECT_EQ(again.ReadInt(u"S", u"K", 0), 5);
}

// A file that is there but cannot be read is never saved over: the save
// would put a document of our few keys in place of everything it holds.
TEST(IniSave, NeverReplacesAFileItCouldNotRead) {
  fs::path dir = Scratch("unreadable");
  WriteAll(dir / "held.ini", "[s]\r\nmine=1\r\n");
  SetReadFileFunction([](const fs::path&, std::vector<std::uint8_t>&) { return false; });
  IniFile held(dir / "held.ini");
  EXPECT_FALSE(held.Load());
  held.WriteInt(u"s", u"k", 5);
  EXPECT_EQ(held.Save(), IniSaveResult::WriteFailed);
  EXPECT_EQ(ReadAll(dir / "held.ini"), "[s]\r\nmine=1\r\n");
  IniFile missing(dir / "missing.ini");  // a missing file is still created
  EXPECT_FALSE(missing.Load());
  missing.WriteInt(u"s", u"k", 5);
  EXPECT_EQ(missing.Save(), IniSaveResult::Ok);
  SetReadFileFunction(nullptr);
  // Too large to read (sparse here, so the test stays small on disk).
  fs::path huge = dir / "huge.ini";
  WriteAll(huge, "[s]\r\n");
  fs::resize_file(huge, kMaxIniFileBytes + 1);
  IniFile big(huge);
  EXPECT_FALSE(big.Load());
  big.WriteInt(u"s", u"k", 5);
  EXPECT_EQ(big.Save(), IniSaveResult::WriteFailed);
  EXPECT_EQ(fs::file_size(huge), kMaxIniFileBytes + 1);
  // Once the file can be read, saving works as ever.
  fs::resize_file(huge, 5);
  ASSERT_TRUE(big.Load());
  big.WriteInt(u"s", u"k", 5);
  EXPECT_EQ(big.Save(), IniSaveResult::Ok);
  EXPECT_EQ(ReadAll(huge), "[s]\r\nk=5\r\n");
}

TEST(IniSave, WritesNothingWhenUnchanged) {
  fs::path file = Scratch("unchanged") / "x.ini";
  WriteAll(file, "[s]\n  k = v  \n");
  IniFile ini(file);
  ASSERT_TRUE(ini.Load());
  // Changed behind our back: a save with nothing to write must not undo it.
  WriteAll(file, "outside");
  ini.WriteString(u"s", u"k", u"v");  // W08: the value already stored
  ini.DeleteKey(u"s", u"missing");
  EXPECT_EQ(ini.Save(), IniSaveResult::Ok);
  EXPECT_EQ(ReadAll(file), "outside");
  // A change and its undo in one batch write nothing either.
  WriteAll(file, "[s]\r\nk=v\r\n");
  ASSERT_TRUE(ini.Load());
  WriteAll(file, "outside");
  ini.WriteString(u"s", u"k", u"w");
  ini.WriteString(u"s", u"k", u"v");
  EXPECT_EQ(ini.Save(), IniSaveResult::Ok);
  EXPECT_EQ(ReadAll(file), "outside");
}

TEST(IniSave, SecondBatchKeepsLinesOfTheFirst) {
  fs::path file = Scratch("batches") / "x.ini";
  WriteAll(file, "; keep\n[s]\n a = 1\n");
  IniFile ini(file);
  ASSERT_TRUE(ini.Load());
  ini.WriteString(u"s", u"b", u"2");
  ASSERT_EQ(ini.Save(), IniSaveResult::Ok);
  ini.WriteString(u"s", u"c", u"3");
  ASSERT_EQ(ini.Save(), IniSaveResult::Ok);
  EXPECT_EQ(ReadAll(file), "; keep\n[s]\n a = 1\nb=2\r\nc=3\r\n");
  EXPECT_FALSE(ini.dirty());
}

// After a save the document is the saved file, parsed again: the next
// batch finds its keys there (a duplicate uncovered, the second part of a
// section), in every encoding a file can come in or be saved in.
struct RebaseCase {
  const char* id;
  std::string file;
  IniEncoding saved_as;
  std::u16string after;  // the file's text at the end
};

const std::string kLongX(200, 'x');
const RebaseCase kRebases[] = {
    {"code page, CR-only", "; c\r[s]\rk=1\rk=2\rl=" + kLongX + "\r[t]\rx=1\r[S]\rb=2\r",
     IniEncoding::Ansi, u"; c\r[t]\rx=1\r[S]\rb=2\rc=3\r\n"},
    {"UTF-8",
     "\xEF\xBB\xBF; c\r\n[s]\r\nk=1\r\nk=2\r\nl=" + kLongX + "\r\n[t]\r\nx=1\r\n[S]\r\nb=2",
     IniEncoding::Utf16Le, u"; c\r\n[t]\r\nx=1\r\n[S]\r\nb=2\r\nc=3\r\n"},
    {"UTF-16",
     Utf16File(u"; c\r\n[s]\r\nk=1\r\nk=2\r\nl=" + std::u16string(200, u'x') +
               u"\r\n[t]\r\nx=1\r\n[S]\r\nb=2\r\n"),
     IniEncoding::Utf16Le, u"; c\r\n[t]\r\nx=1\r\n[S]\r\nb=2\r\nc=3\r\n"},
};

TEST(IniSave, NextBatchFindsKeysInTheSavedFile) {
  for (const RebaseCase& c : kRebases) {
    fs::path file = Scratch("rebase") / "x.ini";
    WriteAll(file, c.file);
    IniFile ini(file);
    ASSERT_TRUE(ini.Load()) << c.id;
    ini.WriteString(u"s", u"k", u"one");
    ini.WriteString(u"s", u"new", u"\u00E9");
    ASSERT_EQ(ini.Save(false), IniSaveResult::Ok) << c.id;
    EXPECT_EQ(ini.encoding(), c.saved_as) << c.id;
    EXPECT_EQ(ini.ReadString(u"s", u"k", u"d"), u"one") << c.id;
    EXPECT_EQ(ini.ReadString(u"s", u"l", u"d"), std::u16string(200, u'x')) << c.id;
    ini.DeleteKey(u"s", u"k");
    EXPECT_EQ(ini.ReadString(u"s", u"k", u"d"), u"2") << c.id;
    ini.DeleteSection(u"s");
    ini.WriteString(u"s", u"c", u"3");
    ASSERT_EQ(ini.Save(false), IniSaveResult::Ok) << c.id;
    IniFile again(file);
    ASSERT_TRUE(again.Load()) << c.id;
    for (const IniFile* doc : {&ini, &again}) {
      EXPECT_EQ(doc->ReadString(u"s", u"k", u"d"), u"d") << c.id;
      EXPECT_EQ(doc->ReadString(u"s", u"b", u"d"), u"2") << c.id;
      EXPECT_EQ(doc->ReadString(u"s", u"c", u"d"), u"3") << c.id;
      EXPECT_EQ(doc->ReadString(u"t", u"x", u"d"), u"1") << c.id;
    }
    EXPECT_EQ(Text(ReadAll(file)), c.after) << c.id;
  }
}

TEST(IniSave, ReadOnlyFileReportedAndKept) {
  fs::path file = Scratch("readonly") / "x.ini";
  WriteAll(file, "[s]\r\nk=1\r\n");
  fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  IniFile ini(file);
  ASSERT_TRUE(ini.Load());
  ini.WriteString(u"s", u"k", u"2");
  EXPECT_EQ(ini.Save(), IniSaveResult::WriteFailed);
  EXPECT_EQ(ReadAll(file), "[s]\r\nk=1\r\n");
  EXPECT_EQ(FilesIn(file.parent_path()), 1u);
  fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
}

TEST(IniSave, FolderThatCannotBeCreated) {
  fs::path dir = Scratch("nofolder");
  WriteAll(dir / "blocker", "a file where a folder should be");
  EXPECT_EQ(WriteFileAtomic(dir / "blocker" / "sub" / "x.ini", std::vector<std::uint8_t>{1}),
            IniSaveResult::NoFolder);
}

SaveStep g_failing_step;

// Every step of a save made to fail in turn: the old file stays whole, the
// failure is reported, no temporary file is left, and the batch is still
// to be saved. Only a last good copy that cannot be kept lets the save go on.
TEST(IniSave, AFailureAtAnyStepLeavesTheOldFileWhole) {
  for (SaveStep step : {SaveStep::Create, SaveStep::Write, SaveStep::Flush, SaveStep::KeepPrevious,
                        SaveStep::Replace}) {
    SCOPED_TRACE(static_cast<int>(step));
    const fs::path dir = Scratch("failed");
    const fs::path file = dir / "x.ini", kept = dir / "backup" / "x.ini";
    WriteAll(file, "[s]\r\nk=old\r\n");
    IniFile ini(file);
    ASSERT_TRUE(ini.Load());
    ini.WriteString(u"s", u"k", std::u16string(100000, u'n'));
    g_failing_step = step;
    SetSaveFaultFunction([](SaveStep s) { return s == g_failing_step; });
    const IniSaveResult result = ini.Save(true, kept);
    SetSaveFaultFunction(nullptr);
    if (step == SaveStep::KeepPrevious) {
      EXPECT_EQ(result, IniSaveResult::Ok);
      EXPECT_FALSE(fs::exists(kept));
      continue;
    }
    EXPECT_EQ(result, IniSaveResult::WriteFailed);
    EXPECT_EQ(ReadAll(file), "[s]\r\nk=old\r\n");
    EXPECT_EQ(FilesIn(dir), step == SaveStep::Replace ? 2u : 1u) << "no temporary file left";
    EXPECT_TRUE(ini.dirty());
    ASSERT_EQ(ini.Save(true, kept), IniSaveResult::Ok);
    EXPECT_EQ(ReadAll(kept), "[s]\r\nk=old\r\n") << "the version replaced is kept";
  }
}

bool FailingReplace(const fs::path&, const fs::path&) { return false; }

TEST(IniSave, FailedReplaceLeavesOldFileWhole) {
  fs::path file = Scratch("failed_replace") / "x.ini";
  WriteAll(file, "[s]\r\nk=old\r\n");
  IniFile ini(file);
  ASSERT_TRUE(ini.Load());
  ini.WriteString(u"s", u"k", std::u16string(100000, u'n'));
  SetReplaceFileFunction(FailingReplace);
  IniSaveResult result = ini.Save();
  SetReplaceFileFunction(nullptr);
  EXPECT_EQ(result, IniSaveResult::WriteFailed);
  EXPECT_EQ(ReadAll(file), "[s]\r\nk=old\r\n");
  EXPECT_EQ(FilesIn(file.parent_path()), 1u);  // the temporary file is gone
  EXPECT_TRUE(ini.dirty());                    // still to be saved
  EXPECT_EQ(ini.Save(false), IniSaveResult::Ok);
  EXPECT_EQ(IniFile(file).ReadString(u"s", u"k", u""), u"");  // not loaded yet
  IniFile again(file);
  again.Load();
  EXPECT_EQ(again.ReadString(u"s", u"k", u"", 100001).size(), 100000u);
}

TEST(IniSave, LeftoverTemporariesGoOthersStay) {
  const fs::path dir = Scratch("leftovers");
  for (const char* name :
       {"~00a1b2c.tmp", "~1234567.tmp", "~123456.tmp", "~abcdef0.tmp", "mine.tmp", "x.ini"})
    WriteAll(dir / name, "x");
  const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(5);
  for (const char* name : {"~00a1b2c.tmp", "~1234567.tmp", "~123456.tmp", "mine.tmp"})
    fs::last_write_time(dir / name, old);
  RemoveLeftoverTemporaries(dir);
  EXPECT_FALSE(fs::exists(dir / "~00a1b2c.tmp"));
  EXPECT_FALSE(fs::exists(dir / "~1234567.tmp"));
  EXPECT_TRUE(fs::exists(dir / "~123456.tmp")) << "not one of our names";
  EXPECT_TRUE(fs::exists(dir / "~abcdef0.tmp")) << "a save may be writing it now";
  EXPECT_TRUE(fs::exists(dir / "mine.tmp"));
}

TEST(IniSave, AtomicWriteReplacesExistingFile) {
  fs::path file = Scratch("replace") / "x.bin";
  WriteAll(file, "a much longer old content");
  const std::uint8_t bytes[] = {'n', 'e', 'w'};
  ASSERT_EQ(WriteFileAtomic(file, bytes), IniSaveResult::Ok);
  EXPECT_EQ(ReadAll(file), "new");
  EXPECT_EQ(WriteFileAtomic(file.parent_path(), bytes), IniSaveResult::WriteFailed);
}

}  // namespace
}  // namespace vantrel
