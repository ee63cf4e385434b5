// Load and save of a full macro library (99 macros, 50 events each) through
// IniFile, with and without the flush; under Windows also the platform's
// private-profile struct functions doing the same, measured in the same run.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "model/macro_store.h"
#include "model/text.h"

#ifdef _WIN32
#include <windows.h>

#include "private_profile_io.h"
#include "win/file_io_win.h"
#endif

using namespace vantrel;
using bench::MedianMs;
namespace fs = std::filesystem;

namespace {

MacroLibrary FullLibrary() {
  MacroLibrary lib;
  for (int i = 0; i < kMacroLibraryMax; ++i) {
    auto m = std::make_unique<MacroRecord>();
    ToFixed(m->name, u"Macro " + ToU16Decimal(i));
    m->repeatCount = i % 256;
    m->eventCount = kMacroEvents;
    for (int e = 0; e < kMacroEvents; ++e) {
      m->events[e] = {static_cast<std::uint8_t>(4 + (i + e) % 30),
                      static_cast<std::uint8_t>(e % 2 + 1), static_cast<std::uint16_t>(e * 7 + i)};
    }
    lib.push_back(std::move(m));
  }
  return lib;
}

#ifdef _WIN32
std::size_t PlatformLoad(const std::wstring& file) {
  const int n = static_cast<int>(GetPrivateProfileIntW(L"Macros", L"number", -1, file.c_str()));
  std::size_t loaded = 0;
  MacroRecord m;
  for (int i = 0; i < n && i < kMacroLoadCap; ++i) {
    if (GetPrivateProfileStructW(L"Macros", std::to_wstring(i).c_str(), &m, sizeof m,
                                 file.c_str())) {
      ++loaded;
    }
  }
  return loaded;
}
#endif

}  // namespace

int main() {
#ifdef _WIN32
  win::UsePlatformFileIo();  // files read and saved as the program does
#endif
  const fs::path dir = fs::temp_directory_path() / "vantrel_macro_bench";
  fs::create_directories(dir);
  const fs::path file = dir / "sequence.dat";
  const MacroLibrary lib = FullLibrary();
  constexpr int kRuns = 15;
  // A save that cannot replace the file would time nothing worth comparing.
  if (!SaveMacroLibrary(lib, file, true) || !SaveMacroLibrary(lib, file, false)) {
    std::puts("macro_bench: saving sequence.dat failed");
    return 1;
  }

  const double save_flush = MedianMs(kRuns, [&] { SaveMacroLibrary(lib, file, true); });
  const double save = MedianMs(kRuns, [&] { SaveMacroLibrary(lib, file, false); });
  std::size_t loaded = 0;
  const double load = MedianMs(kRuns, [&] {
    MacroLibrary l;
    LoadMacroLibrary(l, file);
    loaded = l.size();
  });
  std::printf("macro_bench: %d macros x %d events, median of %d runs\n", kMacroLibraryMax,
              kMacroEvents, kRuns);
  std::printf("  IniFile save (flush)     %8.3f ms\n", save_flush);
  std::printf("  IniFile save (no flush)  %8.3f ms\n", save);
  std::printf("  IniFile load             %8.3f ms  (%zu macros)\n", load, loaded);

#ifdef _WIN32
  const std::wstring wfile = (dir / "sequence_platform.dat").wstring();
  const double psave = MedianMs(5, [&] { reference::SaveMacros(lib, wfile); });
  std::size_t ploaded = 0;
  const double pload = MedianMs(5, [&] { ploaded = PlatformLoad(wfile); });
  std::printf("  platform save            %8.3f ms\n", psave);
  std::printf("  platform load            %8.3f ms  (%zu macros)\n", pload, ploaded);
  std::printf("  ratio save (flush)    %7.1fx\n", psave / save_flush);
  std::printf("  ratio save (no flush) %7.1fx\n", psave / save);
  std::printf("  ratio load            %7.1fx\n", pload / load);
  std::printf("  ratio load+save (flush)    %7.1fx\n", (psave + pload) / (save_flush + load));
  std::printf("  ratio load+save (no flush) %7.1fx\n", (psave + pload) / (save + load));
#endif
  fs::remove_all(dir);
  return 0;
}
