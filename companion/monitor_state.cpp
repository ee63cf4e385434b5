#include "monitor_state.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>

#include "model/ini_file.h"
#include "model/key_codes.h"
#include "model/profile_store.h"

namespace pelox {

using vantrel::SettingsRecord;

namespace {

std::wstring WithSlash(std::wstring dir) {
  if (!dir.empty() && dir.back() != L'\\' && dir.back() != L'/') dir += L'\\';
  return dir;
}

bool ValueOf(const std::wstring& word, const wchar_t* key, std::wstring& value) {
  const size_t n = std::wcslen(key);
  if (word.compare(0, n, key) != 0) return false;
  value = word.substr(n);
  return true;
}

}  // namespace

Options ParseOptions(const wchar_t* command_line) {
  Options options;
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(command_line, &argc);
  for (int i = 0; argv && i < argc; ++i) {
    const std::wstring word = argv[i];
    std::wstring value;
    if (word == L"--unplugged") {
      options.unplugged = true;
    } else if (word == L"--no-ack") {
      options.no_ack = true;
    } else if (ValueOf(word, L"--ack-delay=", value)) {
      options.ack_delay_ms = static_cast<unsigned>(std::wcstoul(value.c_str(), nullptr, 10));
      if (options.ack_delay_ms > 600000) options.ack_delay_ms = 600000;
    } else if (ValueOf(word, L"--log=", value)) {
      options.log_dir = WithSlash(value);
    } else if (ValueOf(word, L"--data=", value)) {
      options.data_dir = WithSlash(value);
    }
  }
  if (argv) LocalFree(argv);
  if (options.data_dir.empty()) options.data_dir = DefaultDataDir();
  return options;
}

std::wstring DefaultDataDir() {
  wchar_t appdata[MAX_PATH]{};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appdata))) return L"";
  return WithSlash(appdata) + L"Vantrel\\";
}

void SeedFromStoredFiles(SettingsRecord& record, const std::wstring& data_dir) {
  vantrel::ResetRecord(record);
  const vantrel::ProfilePaths paths{std::filesystem::path(data_dir)};
  vantrel::IniFile config(paths.config_file());
  config.Load();
  record.CurrentProfile = config.ReadInt(u"Setting", u"CurrentProfile", 0);
  vantrel::ClampCurrentProfile(record);
  for (int p = 0; p < vantrel::kProfileCount; ++p) {
    vantrel::ProfileSlot& slot = record.profiles[p];
    vantrel::IniFile profile(paths.profile_file(p));
    if (!profile.Load()) {
      vantrel::ApplyFactoryDefaults(slot, p);
      continue;
    }
    vantrel::ReadProfileSection(slot, profile);
    // As the configurator does: a key map that is missing or damaged is the
    // factory map, not zeros.
    std::uint8_t map[sizeof slot.standardkey];
    if (!profile.ReadStruct(u"Setting", u"standardkey", map))
      std::copy(vantrel::FactoryKeyMap.begin(), vantrel::FactoryKeyMap.end(), slot.standardkey);
  }
}

MonitorLink::~MonitorLink() {
  if (view_) UnmapViewOfFile(view_);
  if (section_) CloseHandle(section_);
  if (mutex_) CloseHandle(mutex_);
}

bool MonitorLink::Create(const SettingsRecord& seed) {
  // The mutex first, owned from the start, so a configurator that opens
  // the section before it is seeded waits instead of reading zeros (a
  // record without a keyboard, which would close it).
  mutex_ = CreateMutexW(nullptr, TRUE, kMutexName);
  if (!mutex_) return false;
  // Names a configurator still holds from an earlier monitor are ours to
  // take over: the mutex is then not owned yet.
  if (GetLastError() == ERROR_ALREADY_EXISTS && !Lock()) return false;
  section_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                sizeof(SettingsRecord), kSectionName);
  if (section_) view_ = MapViewOfFile(section_, FILE_MAP_ALL_ACCESS, 0, 0, 0);
  MEMORY_BASIC_INFORMATION info{};
  if (view_ && (!VirtualQuery(view_, &info, sizeof info) || info.RegionSize < sizeof seed)) {
    UnmapViewOfFile(view_);  // someone else's section, too short for the record
    view_ = nullptr;
  }
  if (view_) std::memcpy(view_, &seed, sizeof seed);
  ReleaseMutex(mutex_);
  return view_ != nullptr;
}

bool MonitorLink::Lock() {
  // An owner that died while holding the mutex hands it over abandoned: the
  // record it guards is whole (copies are single blocks), so go on.
  const DWORD r = WaitForSingleObject(mutex_, kMutexWaitMs);
  return r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
}

bool MonitorLink::Publish(const SettingsRecord& record) {
  if (!Lock()) return false;
  std::memcpy(view_, &record, sizeof record);
  ReleaseMutex(mutex_);
  return true;
}

bool MonitorLink::Take(SettingsRecord& record) {
  if (!Lock()) return false;
  std::memcpy(&record, view_, sizeof record);
  ReleaseMutex(mutex_);
  return true;
}

bool MonitorLink::SetPlugIn(int value) {
  if (!Lock()) return false;
  static_cast<SettingsRecord*>(view_)->KeyboardPlugIn = value;
  ReleaseMutex(mutex_);
  return true;
}

void EventLog::Line(const std::wstring& text) {
  if (dir_.empty()) return;
  FILE* f = _wfopen((dir_ + L"pelox.log").c_str(), L"ab");
  if (!f) return;
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                    nullptr, 0, nullptr, nullptr);
  std::string utf8(n > 0 ? n : 0, '\0');
  if (n > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), n,
                        nullptr, nullptr);
  }
  utf8 += "\r\n";
  fwrite(utf8.data(), 1, utf8.size(), f);
  fclose(f);
}

void EventLog::Dump(const SettingsRecord& record) {
  if (dir_.empty()) return;
  wchar_t name[32];
  swprintf(name, 32, L"publish-%04d.bin", ++dumps_);
  FILE* f = _wfopen((dir_ + name).c_str(), L"wb");
  if (!f) return;
  fwrite(&record, 1, sizeof record, f);
  fclose(f);
}

namespace {

template <size_t N>
void AddPerProfile(std::wstring& out, const wchar_t* name, const std::int32_t (&flags)[N]) {
  for (size_t p = 0; p < N; ++p) {
    if (flags[p]) out += std::wstring(L" ") + name + L"[" + std::to_wstring(p) + L"]";
  }
}

}  // namespace

std::wstring DescribeFlags(const SettingsRecord& r) {
  std::wstring out;
  for (int p = 0; p < vantrel::kFlagEntries; ++p) {
    int keys = 0;
    for (int k = 0; k < vantrel::kKeyAssignments; ++k) keys += r.MacroKeyInfoChanged[p][k] != 0;
    if (keys) out += L" MacroKeyInfo[" + std::to_wstring(p) + L"]x" + std::to_wstring(keys);
  }
  AddPerProfile(out, L"Lighting", r.LightingChanged);
  if (r.CurrentProfileChanged) out += L" CurrentProfile";
  AddPerProfile(out, L"StandardKey", r.StandardKeyChanged);
  AddPerProfile(out, L"ModifyKey", r.ModifyKeyChanged);
  AddPerProfile(out, L"ProfileImported", r.ProfileImported);
  if (r.HddKeyboardChanged) out += L" HddKeyboard";
  AddPerProfile(out, L"DefaultsRestored", r.DefaultsRestored);
  AddPerProfile(out, L"Advanced", r.AdvancedChanged);
  return out.empty() ? L"none" : out.substr(1);
}

}  // namespace pelox
