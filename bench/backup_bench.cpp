// The complete backup against the way it is done without one: a backup
// written, then read and applied (four full profiles and 99 macros), and
// the four profiles exported and imported one by one through the profile
// transfer functions, in the same run. The one-by-one side moves no macro
// library, so it does less than the backup.
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
#include "model/backup.h"
#include "model/profile_transfer.h"
#include "model/text.h"

#ifdef _WIN32
#include "win/file_io_win.h"
#endif

namespace {

using namespace vantrel;
namespace fs = std::filesystem;

std::unique_ptr<SettingsRecord> FullRecord() {
  auto r = std::make_unique<SettingsRecord>();
  ResetRecord(*r);
  ApplyFactoryDefaultsAll(*r);
  r->CurrentProfile = 2;
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

MacroLibrary FullLibrary() {
  MacroLibrary lib;
  for (int i = 0; i < kMacroLibraryMax; ++i) {
    auto m = std::make_unique<MacroRecord>();
    ToFixed(m->name, u"Library macro " + ToU16Decimal(i));
    m->repeatCount = i % 256;
    m->eventCount = kMacroEvents;
    for (int e = 0; e < kMacroEvents; ++e)
      m->events[e] = {std::uint8_t(4 + (i + e) % 30), std::uint8_t(e % 2 + 1),
                      std::uint16_t(e * 7 + i)};
    lib.push_back(std::move(m));
  }
  return lib;
}

// One step of the work; its time is the median run. The steps take turns
// run by run, so a slow stretch of the machine falls on all of them alike.
struct Side {
  const char* what;
  std::function<void()> run;
  std::vector<double> ms;
  double Median() const { return bench::Median(ms); }
};

void RunInTurn(const std::vector<Side*>& sides, int runs) {
  for (Side* side : sides) side->run();  // warm-up: files exist afterwards, as in steady use
  for (int i = 0; i < runs; ++i) {
    for (Side* side : sides) {
      const bench::Clock::time_point start = bench::Clock::now();
      side->run();
      side->ms.push_back(bench::MillisecondsSince(start));
    }
  }
}

// Where the restore and the imports start: nothing of the full record yet,
// so the check afterwards shows they moved every profile.
std::unique_ptr<SettingsRecord> FactoryRecord() {
  auto r = std::make_unique<SettingsRecord>();
  ResetRecord(*r);
  ApplyFactoryDefaultsAll(*r);
  return r;
}

bool SameProfiles(const SettingsRecord& a, const SettingsRecord& b) {
  return std::memcmp(a.profiles, b.profiles, sizeof a.profiles) == 0;
}

}  // namespace

int main() {
#ifdef _WIN32
  win::UsePlatformFileIo();  // files read and saved as the program does
#endif
  const fs::path root = fs::temp_directory_path() / "vantrel-backup-bench";
  fs::remove_all(root);
  const auto in = FullRecord();
  const MacroLibrary library = FullLibrary();
  const fs::path backup_file = root / (u"all" + std::u16string(kBackupExtension));
  ProfilePaths paths{root / "data" / ""};

  auto restored = FactoryRecord();
  MacroLibrary restored_library;
  BackupResult restore_result = BackupResult::Ok;
  bool save_ok = true;
  Side save{"backup written",
            [&] { save_ok = SaveBackupFile(*in, library, backup_file) && save_ok; }};
  Side restore{"backup read and applied", [&] {
                 const BackupResult r = RestoreBackupFile(backup_file, *restored, restored_library);
                 if (r != BackupResult::Ok) restore_result = r;
               }};

  auto exporter = std::make_unique<SettingsRecord>(*in);
  auto imported = FactoryRecord();
  MacroLibrary imported_library;
  bool transfer_ok = true;
  auto profile_file = [&](int p) { return root / "out" / ("P" + std::to_string(p) + ".gkp"); };
  Side exports{"4 profiles exported", [&] {
                 for (int p = 0; p < kProfileCount; ++p) {
                   exporter->CurrentProfile = p;
                   transfer_ok = ExportProfileTo(*exporter, paths, profile_file(p)) ==
                                     ExportResult::Written &&
                                 transfer_ok;
                 }
               }};
  Side imports{"4 profiles imported", [&] {
                 for (int p = 0; p < kProfileCount; ++p) {
                   imported->CurrentProfile = p;
                   transfer_ok =
                       ImportProfileFrom(*imported, imported_library, paths, profile_file(p)) &&
                       transfer_ok;
                 }
               }};
  fs::create_directories(root / "out");
  RunInTurn({&save, &restore, &exports, &imports}, 21);

  if (!save_ok || restore_result != BackupResult::Ok || !SameProfiles(*restored, *in) ||
      restored_library.size() < library.size()) {
    std::printf("backup: restored record differs from the saved one\n");
    return 1;
  }
  if (!transfer_ok || !SameProfiles(*imported, *in)) {
    std::printf("export/import: imported record differs from the exported one\n");
    return 1;
  }
  const double backup = save.Median() + restore.Median();
  const double one_by_one = exports.Median() + imports.Median();
  for (Side* s : {&save, &restore, &exports, &imports})
    std::printf("%-26s %8.3f ms\n", s->what, s->Median());
  std::printf("backup file: %llu bytes\n",
              static_cast<unsigned long long>(fs::file_size(backup_file)));
  std::printf(
      "complete backup (4 profiles + %d macros): %.3f ms; profiles one by one: %.3f ms; "
      "one by one / backup: %.2fx\n",
      kMacroLibraryMax, backup, one_by_one, one_by_one / backup);
  fs::remove_all(root);
  return 0;
}
