// The profile store's files written and read key by key through the
// platform's private-profile functions (Windows only): the baseline of the
// profile benchmark and the reference the Wine tests compare the store with.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "model/macro_library.h"
#include "model/profile_store.h"
#include "model/text.h"

namespace vantrel::reference {

inline std::wstring W(std::u16string_view s) { return std::wstring(s.begin(), s.end()); }

inline const wchar_t* const kIntKeys[16] = {
    L"MediaOption", L"HDDKeyboard", L"LtSwitch",      L"LtEffectType", L"LtFlag",       L"iRGBRed",
    L"iRGBGreen",   L"iRGBBlue",    L"iCrlSliderPos", L"iResponTime",  L"iLtPulsation", L"LtColor",
    L"LtControl",   L"LtSaving",    L"LtTimeout",     L"PollingRate"};

inline std::array<std::int32_t*, 16> IntFields(ProfileSlot& s) {
  return {&s.MediaOption,   &s.HDDKeyboard, &s.LtSwitch,     &s.LtEffectType,
          &s.LtFlag,        &s.iRGBRed,     &s.iRGBGreen,    &s.iRGBBlue,
          &s.iCrlSliderPos, &s.iResponTime, &s.iLtPulsation, &s.LtColor,
          &s.LtControl,     &s.LtSaving,    &s.LtTimeout,    &s.PollingRate};
}

inline void SaveProfile(const ProfileSlot& slot, const std::wstring& file) {
  ProfileSlot& s = const_cast<ProfileSlot&>(slot);  // the Struct API takes void*
  const wchar_t* f = file.c_str();
  WritePrivateProfileStringW(L"Setting", L"ProFileName", W(FromFixed(s.ProFileName)).c_str(), f);
  WritePrivateProfileStringW(L"Setting", L"GameFile", W(FromFixed(s.GameFile)).c_str(), f);
  auto ints = IntFields(s);
  for (int i = 0; i < 16; ++i)
    WritePrivateProfileStringW(L"Setting", kIntKeys[i], std::to_wstring(*ints[i]).c_str(), f);
  for (int i = 0; i < 6; ++i)
    WritePrivateProfileStringW(L"Setting", (L"ModifyKey" + std::to_wstring(i)).c_str(),
                               std::to_wstring(s.ModifyKey[i]).c_str(), f);
  WritePrivateProfileStructW(L"Setting", L"standardkey", s.standardkey, 114, f);
  WritePrivateProfileStructW(L"Setting", L"GKey", s.GKey, 8, f);
  for (int k = 0; k < kKeyAssignments; ++k)
    WritePrivateProfileStructW(L"Setting", (L"MacroKeyInfo" + std::to_wstring(k)).c_str(),
                               &s.MacroKeyInfo[k], 780, f);
  WritePrivateProfileStructW(L"Setting", L"apmLightInfo", s.apmLightInfo, 16, f);
}

inline void LoadProfile(ProfileSlot& s, const std::wstring& file) {
  const wchar_t* f = file.c_str();
  GetPrivateProfileStringW(L"Setting", L"ProFileName", L"",
                           reinterpret_cast<wchar_t*>(s.ProFileName), 250, f);
  GetPrivateProfileStringW(L"Setting", L"GameFile", L"", reinterpret_cast<wchar_t*>(s.GameFile),
                           500, f);
  auto ints = IntFields(s);
  for (int i = 0; i < 16; ++i)
    *ints[i] = static_cast<std::int32_t>(GetPrivateProfileIntW(L"Setting", kIntKeys[i], -1, f));
  for (int i = 0; i < 6; ++i)
    s.ModifyKey[i] = static_cast<std::int32_t>(
        GetPrivateProfileIntW(L"Setting", (L"ModifyKey" + std::to_wstring(i)).c_str(), -1, f));
  GetPrivateProfileStructW(L"Setting", L"standardkey", s.standardkey, 114, f);
  GetPrivateProfileStructW(L"Setting", L"GKey", s.GKey, 8, f);
  for (int k = 0; k < kKeyAssignments; ++k)
    GetPrivateProfileStructW(L"Setting", (L"MacroKeyInfo" + std::to_wstring(k)).c_str(),
                             &s.MacroKeyInfo[k], 780, f);
  GetPrivateProfileStructW(L"Setting", L"apmLightInfo", s.apmLightInfo, 16, f);
}

// SaveAllProfiles, key by key.
// sequence.dat as the program would write it with the platform's
// functions: one call per key, each opening, parsing and rewriting the file.
inline void SaveMacros(const MacroLibrary& lib, const std::wstring& file) {
  DeleteFileW(file.c_str());
  WritePrivateProfileStringW(L"Macros", L"number", std::to_wstring(lib.size()).c_str(),
                             file.c_str());
  for (std::size_t i = 0; i < lib.size(); ++i) {
    WritePrivateProfileStructW(L"Macros", std::to_wstring(i).c_str(), lib[i].get(),
                               sizeof(MacroRecord), file.c_str());
  }
}

inline void SaveAll(const SettingsRecord& r, const ProfilePaths& paths) {
  const std::wstring config = paths.config_file().wstring();
  WritePrivateProfileStringW(L"Setting", L"CurrentProfile",
                             std::to_wstring(r.CurrentProfile).c_str(), config.c_str());
  WritePrivateProfileStringW(L"Setting", L"KeyboardPlugIn",
                             std::to_wstring(r.KeyboardPlugIn).c_str(), config.c_str());
  for (int p = 0; p < kProfileCount; ++p)
    SaveProfile(r.profiles[p], paths.profile_file(p).wstring());
}

// LoadAllProfiles, key by key, including the "Default<p>" copies.
inline void LoadAll(SettingsRecord& r, const ProfilePaths& paths) {
  const std::wstring config = paths.config_file().wstring();
  r.CurrentProfile = static_cast<std::int32_t>(
      GetPrivateProfileIntW(L"Setting", L"CurrentProfile", -1, config.c_str()));
  r.KeyboardPlugIn = static_cast<std::int32_t>(
      GetPrivateProfileIntW(L"Setting", L"KeyboardPlugIn", -1, config.c_str()));
  for (int p = 0; p < kProfileCount; ++p) {
    LoadProfile(r.profiles[p], paths.profile_file(p).wstring());
    const std::wstring name = L"Default" + std::to_wstring(p);
    WritePrivateProfileStructW(name.c_str(), name.c_str(), &r.profiles[p], sizeof(ProfileSlot),
                               config.c_str());
  }
}

}  // namespace vantrel::reference
