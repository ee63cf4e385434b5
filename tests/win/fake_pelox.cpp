// Stands in for the monitor exe beside the shell tests: proves it was
// launched by leaving a file in the data folder, then ends at once (it
// opens no window, so the program goes on without a monitor).
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t dir[MAX_PATH]{};
  const DWORD n = GetEnvironmentVariableW(L"VANTREL_DATA_DIR", dir, MAX_PATH - 32);
  if (n == 0 || n >= MAX_PATH - 32) return 1;
  lstrcatW(dir, L"\\pelox_started");
  HANDLE f = CreateFileW(dir, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
  return 0;
}
