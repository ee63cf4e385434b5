// What a screen reader reads of a running window: every control of the
// window titled as the first argument ("Vantrel" when none is given; "-"
// for the window in the foreground, a dialog without a title say) in
// the order it is enumerated, one line each with its role, state, name and
// value, written to the file named by the second argument (reader.txt
// when none is given).
//   wine reader_demo.exe Vantrel Z:\tmp\reader.txt
#include <oleacc.h>
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr GUID kIidAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

std::wstring Take(BSTR text) {
  std::wstring out = text ? text : L"";
  SysFreeString(text);
  return out;
}

std::wstring States(long state) {
  std::wstring out;
  for (long bit = 1; bit > 0 && bit <= state; bit <<= 1) {
    if (!(state & bit)) continue;
    wchar_t text[64] = L"";
    GetStateTextW(static_cast<DWORD>(bit), text, 64);
    if (!out.empty()) out += L", ";
    out += text;
  }
  return out;
}

void Describe(FILE* out, HWND h, int depth) {
  IAccessible* acc = nullptr;
  if (FAILED(AccessibleObjectFromWindow(h, OBJID_CLIENT, kIidAccessible,
                                        reinterpret_cast<void**>(&acc))) ||
      !acc)
    return;
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR text = nullptr;
  const std::wstring name = acc->get_accName(self, &text) == S_OK ? Take(text) : L"";
  text = nullptr;
  const std::wstring value = acc->get_accValue(self, &text) == S_OK ? Take(text) : L"";
  VARIANT v{};
  wchar_t role[64] = L"";
  if (acc->get_accRole(self, &v) == S_OK && v.vt == VT_I4)
    GetRoleTextW(static_cast<DWORD>(v.lVal), role, 64);
  VariantInit(&v);
  const long state = acc->get_accState(self, &v) == S_OK && v.vt == VT_I4 ? v.lVal : 0;
  acc->Release();
  if (!IsWindowVisible(h)) return;
  fwprintf(out, L"%*ls%ls | %ls%ls%ls\n", depth * 2, L"", role, name.c_str(),
           value.empty() ? L"" : L" = ", value.c_str());
  if (state) fwprintf(out, L"%*ls  (%ls)\n", depth * 2, L"", States(state).c_str());
}

struct Walk {
  FILE* out;
  HWND parent;
  int depth;
};

BOOL CALLBACK Child(HWND h, LPARAM lp) {
  const Walk& walk = *reinterpret_cast<Walk*>(lp);
  if (GetParent(h) != walk.parent) return TRUE;  // grandchildren come with their parent
  Describe(walk.out, h, walk.depth);
  Walk below{walk.out, h, walk.depth + 1};
  EnumChildWindows(h, Child, reinterpret_cast<LPARAM>(&below));
  return TRUE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const wchar_t* title = __argc > 1 ? __wargv[1] : L"Vantrel";
  const wchar_t* file = __argc > 2 ? __wargv[2] : L"reader.txt";
  HWND window = std::wstring(title) == L"-" ? GetForegroundWindow() : FindWindowW(nullptr, title);
  if (!window) return 1;
  // The window's objects live in its own process and come over COM.
  CoInitialize(nullptr);
  FILE* out = _wfopen(file, L"w, ccs=UTF-8");
  if (!out) return 2;
  Describe(out, window, 0);
  Walk walk{out, window, 1};
  EnumChildWindows(window, Child, reinterpret_cast<LPARAM>(&walk));
  fclose(out);
  CoUninitialize();
  return 0;
}
