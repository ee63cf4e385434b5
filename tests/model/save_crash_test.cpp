// Saves killed at random moments: a child process saves the profile store
// and the macro library in a loop, alternating between two versions, and is
// killed with SIGKILL; afterwards every stored file must be one of the two
// versions, whole. Never a mix, never empty, never missing.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "model/macro_store.h"
#include "model/profile_store.h"
#include "model/text.h"
#include "scratch_dir.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

std::string Bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Version {
  std::unique_ptr<SettingsRecord> record = std::make_unique<SettingsRecord>();
  MacroLibrary macros;
};

Version MakeVersion(int v) {
  Version out;
  ResetRecord(*out.record);
  ApplyFactoryDefaultsAll(*out.record);
  out.record->CurrentProfile = v;
  for (int p = 0; p < kProfileCount; ++p) {
    ToFixed(out.record->profiles[p].ProFileName, u"Version " + ToU16Decimal(v));
    for (KeyAssignment& k : out.record->profiles[p].MacroKeyInfo) k.macroIndex = v * 100 + p;
  }
  for (int m = 0; m < 40 + v; ++m) {
    auto macro = std::make_unique<MacroRecord>();
    std::memset(macro.get(), v + 1, sizeof(MacroRecord));
    ToFixed(macro->name, u"m" + ToU16Decimal(m));
    macro->eventCount = 50;
    out.macros.push_back(std::move(macro));
  }
  return out;
}

void Save(const Version& v, const ProfilePaths& paths, const fs::path& macro_file) {
  SaveAllProfiles(*v.record, paths);
  SaveMacroLibrary(v.macros, macro_file, true, paths.last_good(macro_file));
}

TEST(SaveCrash, EveryFileIsItsOldOrItsNewVersionAfterAKill) {
  const fs::path root = test::ScratchDir("save_crash", "run");
  const ProfilePaths paths{root / "data" / ""};
  const fs::path macro_file = paths.data_dir / kMacroFileName;
  const Version versions[2] = {MakeVersion(0), MakeVersion(1)};
  // What each file holds in either version (the saves update files in
  // place, so each version is taken after the other was saved over it).
  std::vector<fs::path> files = {paths.config_file(), macro_file};
  for (int p = 0; p < kProfileCount; ++p) files.push_back(paths.profile_file(p));
  std::vector<std::string> expected[2];
  Save(versions[1], paths, macro_file);
  for (int v : {0, 1}) {
    Save(versions[v], paths, macro_file);
    for (const fs::path& f : files) expected[v].push_back(Bytes(f));
  }

  std::mt19937 random(12345);
  int rounds = 0, checked = 0, lost = 0;
  for (; rounds < 200; ++rounds) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int v = 0;; v ^= 1) Save(versions[v], paths, macro_file);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    for (size_t i = 0; i < files.size(); ++i) {
      const std::string now = Bytes(files[i]);
      ++checked;
      if (now != expected[0][i] && now != expected[1][i]) {
        ++lost;
        ADD_FAILURE() << "round " << rounds << ": " << files[i] << " holds " << now.size()
                      << " bytes of neither version";
      }
    }
    if (lost) break;
  }
  EXPECT_EQ(lost, 0);
  std::printf("save crash: %d rounds killed, %d files checked, %d lost\n", rounds, checked, lost);
}

}  // namespace
}  // namespace vantrel
