// Differential test: generated files read through IniFile and through
// GetPrivateProfileStringW / GetPrivateProfileIntW must agree, and files
// written by either side must read back the same through the other.
//
// The generator leaves out what we do differently on purpose: "[]" headers
// (Windows reads them before the header-less lines, Wine the other way),
// keys that would turn into headers, line breaks in written values, struct
// values (we are strict) and quoted values read into a buffer of exactly
// their length + 1 (a Wine truncation quirk).
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "model/ini_file.h"
#include "win/code_page_win.h"
#include "win/file_io_win.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

fs::path ScratchDir(const char* name) {
  const char* tmp = std::getenv("VANTREL_TEST_TMP");
  fs::path dir = fs::path(tmp ? tmp : fs::temp_directory_path().string()) /
                 ("ini_diff_" + std::to_string(GetCurrentProcessId())) / name;
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

void WriteBytes(const fs::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

std::u16string PlatformString(const fs::path& file, const std::u16string& section,
                              const std::u16string& key, DWORD size = 70000) {
  std::vector<wchar_t> buf(size + 1, L'@');
  DWORD n = GetPrivateProfileStringW(W(section), W(key), L"<dflt>", buf.data(), size, file.c_str());
  return {reinterpret_cast<const char16_t*>(buf.data()), n};
}

std::int32_t PlatformInt(const fs::path& file, const std::u16string& section,
                         const std::u16string& key) {
  return static_cast<std::int32_t>(GetPrivateProfileIntW(W(section), W(key), -77, file.c_str()));
}

std::u16string Ansi(std::string_view bytes) { return Windows1252CodePage().decode(bytes); }

// Generated files: mixed case and spacing, comments, bare keys, duplicate
// keys and sections, quotes, long values, code-page characters.
class Generator {
 public:
  explicit Generator(unsigned seed) : rng_(seed) {}

  std::string File() {
    std::string out;
    if (Chance(25)) Lines(out);
    int sections = 1 + Pick(5);
    for (int i = 0; i < sections; ++i) {
      std::string name = kSections[Pick(std::size(kSections))];
      switch (Pick(4)) {
        case 0:
          out += "[" + name + "]";
          break;
        case 1:
          out += "  [ " + name + " ]\t";
          break;
        case 2:
          out += "[" + name + "] junk";
          break;
        default:
          out += "[" + name + "]=x";
          break;
      }
      out += Eol();
      Lines(out);
    }
    return out;
  }

  std::string Value() {
    if (Chance(8)) {
      std::string s;
      int n = 1000 + Pick(4000);
      for (int i = 0; i < n; ++i) s.push_back(static_cast<char>('a' + Pick(26)));
      return s;
    }
    return kValues[Pick(std::size(kValues))];
  }
  std::string Key() { return kKeys[Pick(std::size(kKeys))]; }
  std::string Section() { return kSections[Pick(std::size(kSections))]; }
  int Pick(std::size_t n) { return static_cast<int>(rng_() % n); }
  bool Chance(int percent) { return Pick(100) < percent; }

  static constexpr const char* kSections[] = {"Setting", "setting", "SETTING",  "Other",
                                              "a]b",     "x y",     "\xC9t\xE9"};
  static constexpr const char* kKeys[] = {"k",  "K", "Key1",    "key1", "my key", ";c",
                                          "#x", "",  "LtColor", "\xE9", "\xC9",   "[s"};
  static constexpr const char* kValues[] = {"",
                                            "v",
                                            "  padded  ",
                                            "\"quoted\"",
                                            "'single'",
                                            "\"mismatch'",
                                            "\"\"",
                                            "12abc",
                                            "-1",
                                            "0x1F",
                                            "0X1F",
                                            "0b101",
                                            "0o17",
                                            "99999999999",
                                            "4294967297",
                                            "- 5",
                                            "a=b",
                                            "v ; c",
                                            "\xE9\x80\x81\x8D",
                                            "\x1A v \x1A",
                                            "\" 7\"",
                                            "+3",
                                            "010",
                                            "x\"y\""};

 private:
  std::string Eol() {
    int r = Pick(10);
    return r < 7 ? "\r\n" : r < 9 ? "\n" : "\r";
  }
  void Lines(std::string& out) {
    int n = Pick(9);
    for (int i = 0; i < n; ++i) {
      switch (Pick(10)) {
        case 0:
          out += "; note = " + Value();
          break;
        case 1:
          out += " \t ";
          break;
        case 2:
          out += Key();
          break;  // bare key: hides later ones
        case 3:
          out += "  " + Key() + "  =  " + Value() + "  ";
          break;
        default:
          out += Key() + "=" + Value();
          break;
      }
      out += Eol();
    }
  }
  std::mt19937 rng_;
};

// Names to query: the pool, padded, other case, and missing ones.
std::vector<std::u16string> QuerySections() {
  std::vector<std::u16string> out;
  for (const char* s : Generator::kSections) out.push_back(Ansi(s));
  for (std::u16string s : {u"", u"  setting\t", u"missing", u"\u00C9T\u00C9", u"a"})
    out.push_back(s);
  return out;
}
std::vector<std::u16string> QueryKeys() {
  std::vector<std::u16string> out;
  for (const char* k : Generator::kKeys) out.push_back(Ansi(k));
  for (std::u16string k : {u" k ", u"KEY1", u"mykey", u"none", u"; note"}) out.push_back(k);
  return out;
}

// Every query through IniFile and through the platform on `file`; counts
// the keys found, so the test cannot pass on defaults alone.
int found = 0;
void ExpectSameReads(const IniFile& ours, const fs::path& file, const std::string& what) {
  for (const std::u16string& s : QuerySections()) {
    for (const std::u16string& k : QueryKeys()) {
      std::u16string value = ours.ReadString(s, k, u"<dflt>", 70000);
      found += value != u"<dflt>";
      ASSERT_EQ(value, PlatformString(file, s, k))
          << what << " [" << std::string(s.begin(), s.end()) << "] "
          << std::string(k.begin(), k.end());
      ASSERT_EQ(ours.ReadInt(s, k, -77), PlatformInt(file, s, k)) << what;
    }
  }
}

struct Op {
  int kind;  // 0 write, 1 delete key, 2 delete section
  std::u16string section, key, value;
};

std::vector<Op> Batch(Generator& g) {
  std::vector<Op> ops;
  int n = 1 + g.Pick(12);
  for (int i = 0; i < n; ++i) {
    Op op;
    op.kind = g.Chance(80) ? 0 : g.Chance(70) ? 1 : 2;
    // Both sides trim names on writes; deletes of a section use plain names
    // (Wine does not trim those).
    op.section = g.Chance(10) ? u"" : Ansi(g.Chance(15) ? "New" : g.Section());
    if (op.kind == 0 && g.Chance(20)) op.section = u"  " + op.section + u" ";
    std::string key = g.Key();
    if (key == "[s") key = "k";  // a "[s" key plus a "]" value would read as a header
    op.key = Ansi(key);
    op.value = Ansi(g.Value());
    ops.push_back(op);
  }
  return ops;
}

void ApplyOurs(IniFile& ini, const std::vector<Op>& ops) {
  for (const Op& op : ops) {
    if (op.kind == 0) ini.WriteString(op.section, op.key, op.value);
    if (op.kind == 1) ini.DeleteKey(op.section, op.key);
    if (op.kind == 2) ini.DeleteSection(op.section);
  }
}

void ApplyPlatform(const fs::path& file, const std::vector<Op>& ops) {
  for (const Op& op : ops) {
    const wchar_t* key = op.kind == 2 ? nullptr : W(op.key);
    const wchar_t* value = op.kind == 0 ? W(op.value) : nullptr;
    ASSERT_TRUE(WritePrivateProfileStringW(W(op.section), key, value, file.c_str()));
  }
}

TEST(IniDiff, GeneratedFilesReadWriteAlike) {
  fs::path dir = ScratchDir("gen");
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    Generator g(seed);
    std::string bytes = g.File();
    fs::path ours_file = dir / ("a" + std::to_string(seed) + ".ini");
    fs::path platform_file = dir / ("b" + std::to_string(seed) + ".ini");
    WriteBytes(ours_file, bytes);
    WriteBytes(platform_file, bytes);

    IniFile ours(ours_file);
    ASSERT_TRUE(ours.Load());
    ExpectSameReads(ours, ours_file, "as generated");

    std::vector<Op> ops = Batch(g);
    ApplyOurs(ours, ops);
    ASSERT_EQ(ours.Save(false), IniSaveResult::Ok);
    ApplyPlatform(platform_file, ops);
    // Our file read by the platform, and the platform's file read by us.
    ExpectSameReads(ours, ours_file, "written by us");
    IniFile theirs(platform_file);
    ASSERT_TRUE(theirs.Load());
    ExpectSameReads(theirs, platform_file, "written by the platform");
    ExpectSameReads(ours, platform_file, "same batch");
  }
  EXPECT_GT(found, 2000);
}

TEST(IniDiff, UnicodeValuesSurviveTheOtherSide) {
  fs::path dir = ScratchDir("unicode");
  const std::u16string value = u"\u65E5\u672C \u00E9\u20AC \u0416";
  // An ANSI file that has to become UTF-16 for the value.
  fs::path ansi = dir / "ansi.ini";
  WriteBytes(ansi, "; \xE9t\xE9\r\n[s]\r\nk=\x81\r\n");
  IniFile ini(ansi, &SystemAnsiCodePage());
  ASSERT_TRUE(ini.Load());
  ini.WriteString(u"s", u"n", value);
  ASSERT_EQ(ini.Save(), IniSaveResult::Ok);
  EXPECT_EQ(PlatformString(ansi, u"s", u"n"), value);
  EXPECT_EQ(PlatformString(ansi, u"s", u"k"), u"\u0081");
  // A new file of ours is UTF-16, and the platform keeps it so.
  fs::path fresh = dir / "new.ini";
  IniFile created(fresh);
  created.WriteString(u"\u00C4", u"\u00F6", value);
  ASSERT_EQ(created.Save(), IniSaveResult::Ok);
  ASSERT_TRUE(WritePrivateProfileStringW(L"t", L"m", W(value), fresh.c_str()));
  IniFile back(fresh);
  ASSERT_TRUE(back.Load());
  EXPECT_EQ(back.ReadString(u"t", u"m", u""), value);
  EXPECT_EQ(back.ReadString(u"\u00C4", u"\u00F6", u""), value);
}

TEST(IniDiff, StructsWrittenByUsReadByThePlatform) {
  fs::path file = ScratchDir("struct") / "s.ini";
  std::uint8_t bytes[780];
  for (std::size_t i = 0; i < sizeof bytes; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
  IniFile ini(file);
  ini.WriteStruct(u"Setting", u"MacroKeyInfo0", bytes);
  ASSERT_EQ(ini.Save(), IniSaveResult::Ok);
  std::uint8_t back[780] = {};
  ASSERT_TRUE(
      GetPrivateProfileStructW(L"Setting", L"MacroKeyInfo0", back, sizeof back, file.c_str()));
  EXPECT_EQ(0, std::memcmp(bytes, back, sizeof back));
  ASSERT_TRUE(WritePrivateProfileStructW(L"Setting", L"GKey", back, 16, file.c_str()));
  IniFile again(file);
  ASSERT_TRUE(again.Load());
  std::uint8_t gkey[16] = {};
  ASSERT_TRUE(again.ReadStruct(u"setting", u"gkey", gkey));
  EXPECT_EQ(0, std::memcmp(gkey, bytes, sizeof gkey));
}

// The atomic save replaces an existing file both ways the program has:
// std::filesystem::rename (which the C runtime's own rename would refuse on
// Windows) and the program's write-and-rename through one handle.
TEST(IniDiff, AtomicReplaceOverAnExistingFile) {
  for (WriteReplaceFn fn : {WriteReplaceFn{nullptr}, &win::WriteAndReplace}) {
    SetWriteReplaceFunction(fn);
    fs::path dir = ScratchDir(fn ? "replace-handle" : "replace");
    fs::path file = dir / "x.ini";
    WriteBytes(file, "old content that is longer");
    const std::uint8_t data[] = {'n', 'e', 'w'};
    ASSERT_EQ(WriteFileAtomic(file, data, true), IniSaveResult::Ok);
    EXPECT_EQ(ReadBytes(file), "new");
    ASSERT_EQ(WriteFileAtomic(file, std::vector<std::uint8_t>(200000, 'z'), false),
              IniSaveResult::Ok);
    EXPECT_EQ(fs::file_size(file), 200000u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1) << "no temporary file left";
    // A read-only file is reported and left as it was, with no temporary.
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(WriteFileAtomic(file, std::vector<std::uint8_t>{'x'}), IniSaveResult::WriteFailed);
    EXPECT_EQ(fs::file_size(file), 200000u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1);
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    // A target that is a folder fails and leaves nothing behind.
    fs::create_directories(dir / "folder");
    EXPECT_EQ(win::WriteAndReplace(dir / "~0000001.tmp", dir / "folder", data, false, {}), false);
    EXPECT_FALSE(fs::exists(dir / "~0000001.tmp"));
    // Missing folders are created.
    EXPECT_EQ(WriteFileAtomic(dir / "a" / "b" / "y.ini", data), IniSaveResult::Ok);
    EXPECT_EQ(ReadBytes(dir / "a" / "b" / "y.ini"), "new");
    // The version replaced stays as the last good copy, in its own folder;
    // a save soon after keeps that copy, a later one renews it.
    const fs::path kept = dir / "backup" / "x.ini";
    ASSERT_EQ(WriteFileAtomic(file, data, false, kept), IniSaveResult::Ok);
    EXPECT_EQ(fs::file_size(kept), 200000u);
    EXPECT_EQ(ReadBytes(file), "new");
    const std::uint8_t next[] = {'n', 'e', 'x', 't'};
    ASSERT_EQ(WriteFileAtomic(file, next, false, kept), IniSaveResult::Ok);
    EXPECT_EQ(fs::file_size(kept), 200000u);
    fs::last_write_time(kept, fs::file_time_type::clock::now() - std::chrono::minutes(1));
    ASSERT_EQ(WriteFileAtomic(file, data, false, kept), IniSaveResult::Ok);
    EXPECT_EQ(ReadBytes(kept), "next");
    EXPECT_EQ(ReadBytes(file), "new");
  }
  SetWriteReplaceFunction(nullptr);
}

// Both readers the program has give the same document: a missing file is
// not loaded, nor one past the size limit; an empty one is, and a file
// another program holds open for writing (as an editor or the monitor may)
// is still read whole.
TEST(IniDiff, ReadersAgree) {
  fs::path dir = ScratchDir("read");
  std::string big("\xFF\xFE[\0s\0]\0\r\0\n\0", 12);
  for (int i = 0; i < 20000; ++i) big += std::string("k\0=\0v\0\r\0\n\0", 10);
  WriteBytes(dir / "big.ini", big);
  WriteBytes(dir / "empty.ini", "");
  WriteBytes(dir / "huge.ini", "");
  fs::resize_file(dir / "huge.ini", kMaxIniFileBytes + 1);
  HANDLE held = CreateFileW((dir / "big.ini").c_str(), GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  for (ReadFileFn fn : {ReadFileFn{nullptr}, &win::ReadWholeFile}) {
    SetReadFileFunction(fn);
    IniFile missing(dir / "missing.ini");
    EXPECT_FALSE(missing.Load());
    IniFile huge(dir / "huge.ini");
    EXPECT_FALSE(huge.Load());
    IniFile empty(dir / "empty.ini");
    EXPECT_TRUE(empty.Load());
    EXPECT_EQ(empty.Serialize(), std::vector<std::uint8_t>());
    IniFile file(dir / "big.ini");
    ASSERT_TRUE(file.Load()) << (fn ? "handle" : "stream");
    EXPECT_EQ(file.ReadString(u"s", u"k", u"-"), u"v");
    EXPECT_EQ(file.Serialize(), std::vector<std::uint8_t>(big.begin(), big.end()));
  }
  CloseHandle(held);
  SetReadFileFunction(nullptr);
}

TEST(IniDiff, AnsiCodePageConverter) {
  const CodePage& cp = SystemAnsiCodePage();
  ASSERT_EQ(GetACP(), 1252u);
  EXPECT_EQ(cp.decode("\xE9\x80\x81"), u"\u00E9\u20AC\u0081");
  EXPECT_EQ(cp.encode(u"\u00E9\u20AC\u0081"), std::string("\xE9\x80\x81"));
  EXPECT_EQ(cp.encode(u"\u65E5"), std::nullopt);
  EXPECT_EQ(cp.encode(u"\u0100"), std::nullopt);  // no best fit to 'A'
  EXPECT_EQ(cp.encode(u""), std::string());
}

}  // namespace
}  // namespace vantrel
