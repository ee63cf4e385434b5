// Apply and start-up cost of the profile store: SaveAllProfiles then
// LoadAllProfiles of four full profiles (every key assignment filled). On
// Windows the same work is also done key by key through the platform's
// private-profile functions, the baseline this store replaces.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "model/profile_store.h"
#include "model/text.h"

#ifdef _WIN32
#include "private_profile_io.h"
#include "win/file_io_win.h"
#endif

namespace {

using namespace vantrel;

std::unique_ptr<SettingsRecord> FullRecord() {
  auto r = std::make_unique<SettingsRecord>();
  ResetRecord(*r);
  ApplyFactoryDefaultsAll(*r);
  r->CurrentProfile = 2;
  r->KeyboardPlugIn = 1;
  for (int p = 0; p < kProfileCount; ++p) {
    ProfileSlot& s = r->profiles[p];
    ToFixed(s.ProFileName, u"Profile " + ToU16Decimal(p));
    ToFixed(s.GameFile, u"C:\\Games\\Title " + ToU16Decimal(p) + u"\\game.exe");
    for (int k = 0; k < kKeyAssignments; ++k) {
      KeyAssignment& e = s.MacroKeyInfo[k];
      e.entryIndex = std::uint8_t(k);
      e.actionType = std::uint8_t(1 + k % 6);
      e.keyCode = std::uint16_t(0x04 + k);
      e.macroIndex = k;
      ToFixed(e.macroName, u"Macro " + ToU16Decimal(k));
      e.eventCount = kMacroEvents;
      e.repeatCount = 3;
      for (int i = 0; i < kMacroEvents; ++i) e.events[i] = 0x00010004u + i * 0x100 + k;
      ToFixed(e.programPath, u"C:\\Program Files\\Tool\\tool" + ToU16Decimal(k) + u".exe");
    }
  }
  return r;
}

// In the "changed" scenario each run changes one value in every profile and
// the active profile, as an apply that touched each file would, so every
// file is really rewritten (both sides skip writes that change nothing).
void Touch(SettingsRecord& r, int run) {
  r.CurrentProfile = run % kProfileCount;
  for (ProfileSlot& s : r.profiles) s.iRGBRed = run % 256;
}

// One way of doing the work; its time is the median run. A run that another
// process on the machine slowed down says nothing about either side, and
// the sides take turns run by run, so a slow stretch of the machine falls
// on all of them alike.
struct Side {
  std::function<void()> run;
  std::vector<double> ms;
  double Median() const { return bench::Median(ms); }
};

void RunInTurn(SettingsRecord& in, bool change, std::vector<Side*> sides, int runs) {
  Touch(in, 0);
  for (Side* side : sides) side->run();  // warm-up: files exist afterwards, as in steady use
  for (int i = 1; i <= runs; ++i) {
    if (change) Touch(in, i);
    for (Side* side : sides) {
      const bench::Clock::time_point start = bench::Clock::now();
      side->run();
      side->ms.push_back(bench::MillisecondsSince(start));
    }
  }
}

bool SameProfiles(const SettingsRecord& a, const SettingsRecord& b) {
  return a.CurrentProfile == b.CurrentProfile && a.KeyboardPlugIn == b.KeyboardPlugIn &&
         std::memcmp(a.profiles, b.profiles, sizeof a.profiles) == 0;
}

}  // namespace

int main() {
#ifdef _WIN32
  win::UsePlatformFileIo();  // files read and saved as the program does
#endif
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / "vantrel-profile-bench";
  fs::remove_all(root);
  auto in = FullRecord();
  auto out = std::make_unique<SettingsRecord>();
  auto out_unflushed = std::make_unique<SettingsRecord>();
  const int runs = 21;

  for (bool change : {false, true}) {
    const char* scenario = change ? "one value changed per file" : "nothing changed";
    ProfilePaths flushed_paths{root / "flushed" / ""}, unflushed_paths{root / "unflushed" / ""};
    Side flushed{[&] {
      SaveAllProfiles(*in, flushed_paths, true);
      LoadAllProfiles(*out, flushed_paths, true);
    }};
    Side unflushed{[&] {
      SaveAllProfiles(*in, unflushed_paths, false);
      LoadAllProfiles(*out_unflushed, unflushed_paths, false);
    }};
    std::vector<Side*> sides{&flushed, &unflushed};
#ifdef _WIN32
    ProfilePaths platform_paths{root / "platform" / ""};
    fs::create_directories(platform_paths.config_dir());
    auto via_platform = std::make_unique<SettingsRecord>();
    Side platform{[&] {
      reference::SaveAll(*in, platform_paths);
      reference::LoadAll(*via_platform, platform_paths);
    }};
    sides.push_back(&platform);
#endif
    RunInTurn(*in, change, sides, runs);
    if (!SameProfiles(*in, *out) || !SameProfiles(*in, *out_unflushed)) {
      std::printf("profile store: loaded record differs from the saved one\n");
      return 1;
    }
    const double ours = flushed.Median(), ours_unflushed = unflushed.Median();
    std::printf(
        "[%s] profile store, save+load of 4 full profiles: %.3f ms with flush, %.3f ms without\n",
        scenario, ours, ours_unflushed);
#ifdef _WIN32
    if (!SameProfiles(*in, *via_platform)) {
      std::printf("private-profile functions: loaded record differs from the saved one\n");
      return 1;
    }
    const double baseline = platform.Median();
    std::printf("[%s] private-profile functions, same work: %.3f ms\n", scenario, baseline);
    std::printf("[%s] speed-up: %.1fx with flush, %.1fx without (target 20x)\n", scenario,
                baseline / ours, baseline / ours_unflushed);
#endif
  }
  fs::remove_all(root);
  return 0;
}
