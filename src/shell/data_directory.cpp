#include "shell/data_directory.h"

// <windows.h> must come before the headers that build on it.
// clang-format off
#include <windows.h>
#include <shlobj.h>
// clang-format on

#include <cwchar>

namespace vantrel::shell {
namespace {

std::wstring Compute() {
  wchar_t buffer[MAX_PATH * 2]{};
  const DWORD n = GetEnvironmentVariableW(L"VANTREL_DATA_DIR", buffer, MAX_PATH * 2);
  if (n > 0 && n < MAX_PATH * 2) {
    std::wstring dir(buffer, n);
    if (dir.back() != L'\\' && dir.back() != L'/') dir += L'\\';
    return dir;
  }
  wchar_t appdata[MAX_PATH]{};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, appdata))) {
    return {};
  }
  return std::wstring(appdata) + L"\\Vantrel\\";
}

}  // namespace

const std::wstring& DataDirectory() {
  static const std::wstring dir = Compute();
  return dir;
}

}  // namespace vantrel::shell
