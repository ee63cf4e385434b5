// Workload A: four files, each with 13 integer and 12 text keys in
// [Settings] and 34 struct values (114, 8, 32 x 780 and 16 bytes) in
// [Data], written and then read back. Through IniFile (one load, the batch,
// one save; then a load and the reads), with and without the flush; under
// Windows also through the platform's private-profile functions, one call
// per value, in the same run. Every value read back is checked.
//
// Then the shapes that used to blow up (a file of line breaks, one huge
// section, many tiny keys or sections, very long lines): the heap a parse
// takes beyond the file's own bytes, per byte of file, and the time per MB;
// and a macro file of N struct values read back key by key. Each figure is
// given for IniFile and for the pre-index layer kept in ini_baseline.h,
// measured in the same run. Heap bytes are counted by the global operator
// new and delete this program replaces.
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "bench_timing.h"
#include "ini_baseline.h"
#include "model/ini_file.h"
#include "model/macro_store.h"
#include "model/text.h"

#ifdef _WIN32
#include <windows.h>
#endif

using namespace vantrel;
using bench::MedianMs;
namespace fs = std::filesystem;
using vantrel::bench_baseline::BaselineIniFile;

// Every allocation carries its size in front, so that the live total and its
// peak can be kept (one thread: the benchmark runs nothing in parallel).
namespace heap {
std::size_t live = 0, peak = 0;
constexpr std::size_t kHead = alignof(std::max_align_t);
void* Take(std::size_t n) {
  auto* p = static_cast<unsigned char*>(std::malloc(n + kHead));
  if (!p) throw std::bad_alloc();
  std::memcpy(p, &n, sizeof n);
  live += n;
  peak = std::max(peak, live);
  return p + kHead;
}
void Give(void* q) {
  if (!q) return;
  auto* p = static_cast<unsigned char*>(q) - kHead;
  std::size_t n;
  std::memcpy(&n, p, sizeof n);
  live -= n;
  std::free(p);
}
}  // namespace heap

void* operator new(std::size_t n) { return heap::Take(n); }
void* operator new[](std::size_t n) { return heap::Take(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  try {
    return heap::Take(n);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t n, const std::nothrow_t& t) noexcept { return operator new(n, t); }
void operator delete(void* p) noexcept { heap::Give(p); }
void operator delete[](void* p) noexcept { heap::Give(p); }
void operator delete(void* p, std::size_t) noexcept { heap::Give(p); }
void operator delete[](void* p, std::size_t) noexcept { heap::Give(p); }

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

int g_mismatches = 0;
void Check(bool ok) { g_mismatches += !ok; }

template <class Ini>
void OursA(const Workload& w, const fs::path& dir, bool flush) {
  for (int f = 0; f < 4; ++f) {
    const fs::path file = dir / ("file" + std::to_string(f) + ".ini");
    {
      Ini ini(file);
      ini.Load();
      for (std::size_t i = 0; i < w.int_keys.size(); ++i)
        ini.WriteInt(u"Settings", w.int_keys[i], static_cast<std::int32_t>(i * 1000 - 3));
      for (std::size_t i = 0; i < w.text_keys.size(); ++i)
        ini.WriteString(u"Settings", w.text_keys[i], w.texts[i]);
      for (const Value& v : w.structs) ini.WriteStruct(u"Data", v.key, v.bytes);
      Check(ini.Save(flush) == IniSaveResult::Ok);
    }
    Ini ini(file);
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

// A file of `bytes` bytes or a little more, made of `head` and then `line`
// (given the line number) until it is that long.
std::vector<std::uint8_t> Shape(std::size_t bytes, std::string_view head,
                                const std::function<std::string(std::size_t)>& line) {
  std::vector<std::uint8_t> out(head.begin(), head.end());
  out.reserve(bytes + 256);
  for (std::size_t i = 0; out.size() < bytes; ++i) {
    std::string l = line(i);
    out.insert(out.end(), l.begin(), l.end());
  }
  return out;
}

std::vector<std::uint8_t> Wide(const std::vector<std::uint8_t>& ansi) {
  std::vector<std::uint8_t> out{0xFF, 0xFE};
  for (std::uint8_t b : ansi) out.insert(out.end(), {b, 0});
  return out;
}

struct Weight {
  double extra_per_byte;  // peak heap of the parse beyond the file's own copy
  double kept_per_byte;   // what the parsed document keeps beyond that copy
  double ms_per_mb;
};

template <class Ini>
Weight Weigh(const std::vector<std::uint8_t>& file, int runs) {
  const double mb = static_cast<double>(file.size()) / (1 << 20);
  Weight w{};
  std::vector<double> times;
  for (int r = 0; r < runs; ++r) {
    const std::size_t before = heap::live;
    heap::peak = before;
    const auto start = std::chrono::steady_clock::now();
    {
      Ini ini;
      ini.LoadBytes(file);
      if (r == 0) {
        w.kept_per_byte = (static_cast<double>(heap::live - before) - file.size()) / file.size();
        w.extra_per_byte = (static_cast<double>(heap::peak - before) - file.size()) / file.size();
      }
      Check(ini.ReadString(u"s", u"missing", u"d") == u"d");
    }
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
  }
  std::sort(times.begin(), times.end());
  w.ms_per_mb = times[times.size() / 2] / mb;
  return w;
}

void ShapeLine(const char* name, const std::vector<std::uint8_t>& file, bool baseline) {
  const Weight ours = Weigh<IniFile>(file, 5);
  std::printf("  %-28s %6.2f B/B peak %6.2f kept %8.2f ms/MB", name, ours.extra_per_byte,
              ours.kept_per_byte, ours.ms_per_mb);
  if (baseline) {
    const Weight old = Weigh<BaselineIniFile>(file, 1);
    std::printf(" | before %7.2f B/B %8.1f ms/MB | %6.1fx faster", old.extra_per_byte,
                old.ms_per_mb, old.ms_per_mb / ours.ms_per_mb);
  }
  std::printf("\n");
}

void Shapes(std::size_t bytes, bool baseline) {
  std::printf(
      "\nparse of %.0f MB files by shape: heap beyond the file's copy, per byte of file, at its "
      "peak"
      "\nand kept; time per MB (median of 5; the layer before: one run)\n",
      static_cast<double>(bytes) / (1 << 20));
  auto num = [](std::size_t i) { return std::to_string(i); };
  ShapeLine("line breaks, LF", Shape(bytes, "", [](std::size_t) { return "\n"; }), baseline);
  ShapeLine("line breaks, CRLF", Shape(bytes, "", [](std::size_t) { return "\r\n"; }), baseline);
  ShapeLine("line breaks, UTF-16", Wide(Shape(bytes / 2, "", [](std::size_t) { return "\r\n"; })),
            baseline);
  ShapeLine("one section of many keys",
            Shape(bytes, "[s]\r\n", [&](std::size_t i) { return "Key" + num(i) + "=value\r\n"; }),
            baseline);
  ShapeLine("tiny keys a=1", Shape(bytes, "[s]\n", [](std::size_t) { return "a=1\n"; }), baseline);
  ShapeLine("tiny distinct keys",
            Shape(bytes, "[s]\n", [&](std::size_t i) { return num(i) + "=1\n"; }), baseline);
  ShapeLine("tiny keys, UTF-16",
            Wide(Shape(bytes / 2, "[s]\n", [&](std::size_t i) { return num(i) + "=1\n"; })),
            baseline);
  ShapeLine("names without '='", Shape(bytes, "[s]\n", [](std::size_t) { return "a\n"; }),
            baseline);
  ShapeLine("distinct names without '='",
            Shape(bytes, "[s]\n", [&](std::size_t i) { return "n" + num(i) + "\n"; }), baseline);
  // 1-byte names, all different within each section: the most index
  // entries a file can hold per byte.
  std::string names;
  for (int b = 0x21; b < 0x100; ++b)
    if (b != 0x7F && b != 0xA0) names.push_back(static_cast<char>(b));
  ShapeLine("1-byte names, many sections",
            Shape(bytes, "",
                  [&](std::size_t i) {
                    const std::size_t k = i % (names.size() + 1);
                    if (k == 0) return "[" + num(i) + "]\n";
                    return std::string(1, names[k - 1]) + "\n";
                  }),
            baseline);
  ShapeLine("tiny sections [a]", Shape(bytes, "", [](std::size_t) { return "[a]\n"; }), baseline);
  ShapeLine("tiny sections []", Shape(bytes, "", [](std::size_t) { return "[]\n"; }), baseline);
  ShapeLine("tiny distinct sections",
            Shape(bytes, "", [&](std::size_t i) { return "[" + num(i) + "]\n"; }), baseline);
  ShapeLine(
      "very long lines",
      Shape(bytes, "[s]\r\n",
            [&](std::size_t i) { return "k" + num(i) + "=" + std::string(1 << 20, 'x') + "\r\n"; }),
      baseline);
  ShapeLine("long lines, code page text",
            Shape(bytes, "[s]\r\n",
                  [&](std::size_t i) {
                    return "k\xE9" + num(i) + "=" + std::string(4000, '\xE9') + "\r\n";
                  }),
            baseline);
}

// The macro file as the program saves it: [Macros], number=N, then the keys
// "0".."N-1" holding 308-byte struct values; read back as the loader does.
std::vector<std::uint8_t> MacroFile(int n, bool wide) {
  std::vector<std::uint8_t> record(sizeof(MacroRecord));
  for (std::size_t i = 0; i < record.size(); ++i) record[i] = static_cast<std::uint8_t>(i * 7);
  std::string text = "[Macros]\r\nnumber=" + std::to_string(n) + "\r\n";
  const std::u16string hex = EncodeStructValue(record);
  for (int i = 0; i < n; ++i)
    text += std::to_string(i) + "=" + std::string(hex.begin(), hex.end()) + "\r\n";
  std::vector<std::uint8_t> ansi(text.begin(), text.end());
  return wide ? Wide(ansi) : ansi;
}

template <class Ini>
double MacroLoadMs(const std::vector<std::uint8_t>& file, int runs) {
  return MedianMs(runs, [&](int) {
    Ini ini;
    ini.LoadBytes(file);
    const int n = ini.ReadInt(u"Macros", u"number", -1);
    MacroRecord m;
    int ok = 0;
    for (int i = 0; i < n; ++i)
      ok += ini.ReadStruct(u"Macros", ToU16Decimal(i),
                           {reinterpret_cast<std::uint8_t*>(&m), sizeof m});
    Check(ok == n);
  });
}

void MacroFiles(bool baseline) {
  std::printf("\nmacro file: load and read N struct values key by key\n");
  const struct {
    int n;
    bool wide;
  } kFiles[] = {{1000, true}, {4000, true}, {16000, true}, {1000, false}, {16000, false}};
  for (const auto& f : kFiles) {
    const std::vector<std::uint8_t> file = MacroFile(f.n, f.wide);
    const double mb = static_cast<double>(file.size()) / (1 << 20);
    const double ours = MacroLoadMs<IniFile>(file, 5);
    std::printf("  N=%-6d %-6s %6.2f MB %8.2f ms (%6.2f ms/MB)", f.n, f.wide ? "UTF-16" : "ANSI",
                mb, ours, ours / mb);
    if (baseline) {
      const double old = MacroLoadMs<BaselineIniFile>(file, 3);
      std::printf(" | before %9.2f ms (%8.2f ms/MB) | %6.1fx faster", old, old / mb, old / ours);
    }
    std::printf("\n");
  }
}

fs::path RunDir(const fs::path& root, const char* what, int run) {
  fs::path dir = root / (std::string(what) + std::to_string(run));
  fs::create_directories(dir);
  return dir;
}

}  // namespace

int main(int argc, char** argv) {
  // ini_bench [MB of each shape] [--no-baseline]
  const std::size_t shape_mb = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 4;
  const bool baseline = !(argc > 2 && std::string(argv[2]) == "--no-baseline");
  const char* tmp = std::getenv("VANTREL_TEST_TMP");
  const fs::path root =
      fs::path(tmp ? fs::path(tmp) : fs::temp_directory_path()) /
      ("ini_bench_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  fs::remove_all(root);
  const Workload w = MakeWorkload();
  const int runs = 9;
  // Each run writes new files, as a first save of the settings would.
  // The two layers take turns run by run, so a slow stretch of the machine
  // falls on both.
  std::vector<double> t[4];
  for (int r = 0; r < runs; ++r) {
    auto time = [&](int slot, auto fn) {
      const auto start = std::chrono::steady_clock::now();
      fn();
      t[slot].push_back(
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
              .count());
    };
    time(0, [&] { OursA<IniFile>(w, RunDir(root, "of", r), true); });
    time(1, [&] { OursA<IniFile>(w, RunDir(root, "on", r), false); });
    time(2, [&] { OursA<BaselineIniFile>(w, RunDir(root, "bf", r), true); });
    time(3, [&] { OursA<BaselineIniFile>(w, RunDir(root, "bn", r), false); });
  }
  auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  const double ours_flush = median(t[0]), ours_no_flush = median(t[1]);
  std::printf("workload A (4 files, 236 writes + 236 reads), median of %d runs, %u cores\n", runs,
              std::thread::hardware_concurrency());
  std::printf("  IniFile, flushed save : %8.2f ms   (before: %8.2f ms)\n", ours_flush,
              median(t[2]));
  std::printf("  IniFile, no flush     : %8.2f ms   (before: %8.2f ms)\n", ours_no_flush,
              median(t[3]));
#ifdef _WIN32
  const double platform = MedianMs(runs, [&](int r) { PlatformA(w, RunDir(root, "p", r)); });
  std::printf("  private-profile calls : %8.2f ms\n", platform);
  std::printf("  ratio, flushed save   : %8.1fx\n", platform / ours_flush);
  std::printf("  ratio, no flush       : %8.1fx\n", platform / ours_no_flush);
#endif
  Shapes(shape_mb << 20, baseline);
  MacroFiles(baseline);
  std::printf("  mismatches            : %d\n", g_mismatches);
  std::error_code ec;
  fs::remove_all(root, ec);
  return g_mismatches == 0 ? 0 : 1;
}
