// Workload A: four files, each with 13 integer and 12 text keys in
// [Settings] and 34 struct values (114, 8, 32 x 780 and 16 bytes) in
// [Data], written and then read back. Through IniFile (one load, the batch,
// one save; then a load and the reads), with and without the flush; under
// Windows also through the platform's private-profile functions, one call
// per value, in the same run. Every value read back is checked.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "model/ini_file.h"
#include "model/text.h"

#ifdef _WIN32
#include <windows.h>
#endif

using namespace vantrel;
namespace fs = std::filesystem;

namespace {

struct Value {
  std::u16string key;
  std::vector<std::uint8_t> bytes;
};

struct Workload {
  std::vector<std::u16string> int_keys, text_keys, texts;
  std::vector<Value> structs;
};

std::u16string Num2(int i) { return (i < 10 ? u"0" : u"") + ToU16Decimal(i); }

Workload MakeWorkload() {
  Workload w;
  for (int i = 0; i < 13; ++i) w.int_keys.push_back(u"Int" + Num2(i));
  for (int i = 0; i < 12; ++i) {
    w.text_keys.push_back(u"Text" + Num2(i));
    w.texts.push_back(u"some text value " + ToU16Decimal(i));
  }
  auto add = [&](std::u16string key, std::size_t n) {
    Value v{std::move(key), std::vector<std::uint8_t>(n)};
    for (std::size_t i = 0; i < n; ++i) v.bytes[i] = static_cast<std::uint8_t>(i * 31 + n);
    w.structs.push_back(std::move(v));
  };
  add(u"Header", 114);
  add(u"Flags", 8);
  for (int i = 0; i < 32; ++i) add(u"Record" + Num2(i), 780);
  add(u"Trailer", 16);
  return w;
}

double MedianMs(int runs, const std::function<void(int)>& fn) {
  std::vector<double> t;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    fn(i);
    t.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
  }
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

int g_mismatches = 0;
void Check(bool ok) { g_mismatches += !ok; }

void OursA(const Workload& w, const fs::path& dir, bool flush) {
  for (int f = 0; f < 4; ++f) {
    const fs::path file = dir / ("file" + std::to_string(f) + ".ini");
    {
      IniFile ini(file);
      ini.Load();
      for (std::size_t i = 0; i < w.int_keys.size(); ++i)
        ini.WriteInt(u"Settings", w.int_keys[i], static_cast<std::int32_t>(i * 1000 - 3));
      for (std::size_t i = 0; i < w.text_keys.size(); ++i)
        ini.WriteString(u"Settings", w.text_keys[i], w.texts[i]);
      for (const Value& v : w.structs) ini.WriteStruct(u"Data", v.key, v.bytes);
      Check(ini.Save(flush) == IniSaveResult::Ok);
    }
    IniFile ini(file);
    Check(ini.Load());
    for (std::size_t i = 0; i < w.int_keys.size(); ++i)
      Check(ini.ReadInt(u"Settings", w.int_keys[i], -1) == static_cast<std::int32_t>(i * 1000 - 3));
    for (std::size_t i = 0; i < w.text_keys.size(); ++i)
      Check(ini.ReadString(u"Settings", w.text_keys[i], u"", 256) == w.texts[i]);
    std::uint8_t buf[780];
    for (const Value& v : w.structs) {
      Check(ini.ReadStruct(u"Data", v.key, std::span(buf, v.bytes.size())) &&
            std::memcmp(buf, v.bytes.data(), v.bytes.size()) == 0);
    }
  }
}

#ifdef _WIN32
const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

void PlatformA(const Workload& w, const fs::path& dir) {
  for (int f = 0; f < 4; ++f) {
    const std::wstring file = (dir / ("file" + std::to_string(f) + ".ini")).wstring();
    for (std::size_t i = 0; i < w.int_keys.size(); ++i) {
      std::u16string text = ToU16Decimal(static_cast<std::int64_t>(i) * 1000 - 3);
      WritePrivateProfileStringW(L"Settings", W(w.int_keys[i]), W(text), file.c_str());
    }
    for (std::size_t i = 0; i < w.text_keys.size(); ++i)
      WritePrivateProfileStringW(L"Settings", W(w.text_keys[i]), W(w.texts[i]), file.c_str());
    for (const Value& v : w.structs) {
      WritePrivateProfileStructW(L"Data", W(v.key), const_cast<std::uint8_t*>(v.bytes.data()),
                                 static_cast<UINT>(v.bytes.size()), file.c_str());
    }
    for (std::size_t i = 0; i < w.int_keys.size(); ++i) {
      Check(static_cast<std::int32_t>(
                GetPrivateProfileIntW(L"Settings", W(w.int_keys[i]), -1, file.c_str())) ==
            static_cast<std::int32_t>(i * 1000 - 3));
    }
    wchar_t text[256];
    for (std::size_t i = 0; i < w.text_keys.size(); ++i) {
      DWORD n =
          GetPrivateProfileStringW(L"Settings", W(w.text_keys[i]), L"", text, 256, file.c_str());
      Check(std::u16string(reinterpret_cast<char16_t*>(text), n) == w.texts[i]);
    }
    std::uint8_t buf[780];
    for (const Value& v : w.structs) {
      Check(GetPrivateProfileStructW(L"Data", W(v.key), buf, static_cast<UINT>(v.bytes.size()),
                                     file.c_str()) &&
            std::memcmp(buf, v.bytes.data(), v.bytes.size()) == 0);
    }
  }
}
#endif

fs::path RunDir(const fs::path& root, const char* what, int run) {
  fs::path dir = root / (std::string(what) + std::to_string(run));
  fs::create_directories(dir);
  return dir;
}

}  // namespace

int main() {
  const char* tmp = std::getenv("VANTREL_TEST_TMP");
  const fs::path root =
      fs::path(tmp ? fs::path(tmp) : fs::temp_directory_path()) /
      ("ini_bench_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  fs::remove_all(root);
  const Workload w = MakeWorkload();
  const int runs = 9;
  // Each run writes new files, as a first save of the settings would.
  const double ours_flush = MedianMs(runs, [&](int r) { OursA(w, RunDir(root, "of", r), true); });
  const double ours_no_flush =
      MedianMs(runs, [&](int r) { OursA(w, RunDir(root, "on", r), false); });
  std::printf("workload A (4 files, 236 writes + 236 reads), median of %d runs\n", runs);
  std::printf("  IniFile, flushed save : %8.2f ms\n", ours_flush);
  std::printf("  IniFile, no flush     : %8.2f ms\n", ours_no_flush);
#ifdef _WIN32
  const double platform = MedianMs(runs, [&](int r) { PlatformA(w, RunDir(root, "p", r)); });
  std::printf("  private-profile calls : %8.2f ms\n", platform);
  std::printf("  ratio, flushed save   : %8.1fx\n", platform / ours_flush);
  std::printf("  ratio, no flush       : %8.1fx\n", platform / ours_no_flush);
#endif
  std::printf("  mismatches            : %d\n", g_mismatches);
  std::error_code ec;
  fs::remove_all(root, ec);
  return g_mismatches == 0 ? 0 : 1;
}
