#include "monitor_window.h"

#include <string>

namespace pelox {
namespace {

using vantrel::SettingsRecord;

constexpr wchar_t kClassName[] = L"PeloxMonitorWindow";
constexpr int kIdStatus = 100;
constexpr UINT_PTR kAckTimer = 1;
constexpr int kWidth = 480, kHeight = 360;

MonitorContext* ContextOf(HWND hwnd) {
  return reinterpret_cast<MonitorContext*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

std::wstring Text16(const char16_t* text, size_t capacity) {
  size_t n = 0;
  while (n < capacity && text[n]) ++n;  // the section is untrusted: stay inside the field
  return std::wstring(reinterpret_cast<const wchar_t*>(text), n);
}

std::wstring StatusText(const MonitorContext& c) {
  const SettingsRecord& r = c.record;
  std::wstring s = L"Keyboard:  " + std::wstring(c.plugged ? L"plugged in" : L"unplugged");
  s += L"\r\nCurrent profile:  " + std::to_wstring(r.CurrentProfile + 1);
  s += L"\r\nLast notice:  " + c.last_notice;
  s += L"\r\nApplies received:  " + std::to_wstring(c.applies);
  s += L"\r\nChange flags:  " + DescribeFlags(r);
  if (r.CurrentProfile >= 0 && r.CurrentProfile < vantrel::kProfileCount) {
    const vantrel::ProfileSlot& p = r.profiles[r.CurrentProfile];
    s += L"\r\n\r\nActive profile \"" + Text16(p.ProFileName, vantrel::kProfileNameChars) + L"\"";
    s += L"\r\n  Lighting mode " + std::to_wstring(p.LtEffectType) + L", switch " +
         std::to_wstring(p.LtSwitch) + L", brightness " + std::to_wstring(p.iCrlSliderPos);
    s += L"\r\n  Colour RGB(" + std::to_wstring(p.iRGBRed) + L", " + std::to_wstring(p.iRGBGreen) +
         L", " + std::to_wstring(p.iRGBBlue) + L")";
    s += L"\r\n  Polling rate " + std::to_wstring(p.PollingRate) + L", response time " +
         std::to_wstring(p.iResponTime);
  }
  return s;
}

void Refresh(HWND hwnd) { SetDlgItemTextW(hwnd, kIdStatus, StatusText(*ContextOf(hwnd)).c_str()); }

void PostToConfigurator(WPARAM wp, LPARAM lp) {
  if (HWND target = FindWindowW(nullptr, kConfiguratorTitle)) {
    PostMessageW(target, WM_APPLY_ALL_SETTING, wp, lp);
  }
}

// Sends the acknowledgements that are due and arms the timer for the next.
void SendAcks(HWND hwnd, MonitorContext& c) {
  KillTimer(hwnd, kAckTimer);
  const DWORD now = GetTickCount();
  while (!c.pending_acks.empty() && static_cast<int>(now - c.pending_acks.front()) >= 0) {
    c.pending_acks.pop_front();
    PostToConfigurator(0, 1);
    c.log.Line(L"ack");
  }
  if (c.pending_acks.empty()) return;
  const DWORD wait = c.pending_acks.front() - now;
  SetTimer(hwnd, kAckTimer, wait ? wait : 1, nullptr);
}

void OnApplyNotice(HWND hwnd, MonitorContext& c, WPARAM wp, LPARAM lp) {
  if (wp == 2) {
    c.last_notice = L"profile " + std::to_wstring(lp + 1) + L" selected";
    c.log.Line(L"profile " + std::to_wstring(lp));
    Refresh(hwnd);
    return;
  }
  if (lp != 0 || wp > 1) {
    c.log.Line(L"ignored wparam=" + std::to_wstring(wp) + L" lparam=" + std::to_wstring(lp));
    return;
  }
  if (!c.link.Take(c.record)) {
    c.log.Line(L"apply mode=" + std::to_wstring(wp) + L" mutex timeout");
    return;
  }
  ++c.applies;
  c.plugged = c.record.KeyboardPlugIn != 0;
  c.log.Dump(c.record);
  c.last_notice =
      std::wstring(wp == 1 ? L"restore" : L"apply") + L" #" + std::to_wstring(c.applies);
  c.log.Line(L"apply mode=" + std::to_wstring(wp) + L" profile=" +
             std::to_wstring(c.record.CurrentProfile) + L" flags=" + DescribeFlags(c.record));
  Refresh(hwnd);
  if (c.options.no_ack) return;
  c.pending_acks.push_back(GetTickCount() + c.options.ack_delay_ms);
  SendAcks(hwnd, c);
}

void KeyboardProfile(HWND hwnd, MonitorContext& c, WPARAM p) {
  if (p >= static_cast<WPARAM>(vantrel::kProfileCount)) return;
  c.record.CurrentProfile = static_cast<int>(p);
  c.last_notice = L"keyboard switched to profile " + std::to_wstring(p + 1);
  c.log.Line(L"keyboard profile " + std::to_wstring(p));
  PostToConfigurator(p, 20);
  Refresh(hwnd);
}

void KeyboardLighting(HWND hwnd, MonitorContext& c, WPARAM code) {
  c.last_notice = L"keyboard switched lighting code " + std::to_wstring(code);
  c.log.Line(L"keyboard lighting " + std::to_wstring(code));
  PostToConfigurator(code, 30);
  Refresh(hwnd);
}

void KeyboardPlug(HWND hwnd, MonitorContext& c, bool plugged) {
  if (!c.link.SetPlugIn(plugged ? 1 : 0)) {
    c.log.Line(L"plug mutex timeout");
    return;
  }
  c.plugged = plugged;
  c.record.KeyboardPlugIn = plugged ? 1 : 0;
  c.last_notice = plugged ? L"keyboard plugged in" : L"keyboard unplugged";
  c.log.Line(plugged ? L"plug" : L"unplug");
  Refresh(hwnd);
}

HFONT UiFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

void CreateChildren(HWND hwnd, HFONT font) {
  HINSTANCE inst = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd, GWLP_HINSTANCE));
  auto child = [&](const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h,
                   int id) {
    HWND c = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, hwnd,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst, nullptr);
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  };
  child(L"EDIT", L"", WS_BORDER | ES_MULTILINE | ES_READONLY | WS_VSCROLL, 12, 12, 440, 180,
        kIdStatus);
  child(L"BUTTON", L"Keyboard side", BS_GROUPBOX, 12, 200, 440, 110, 0);
  child(L"STATIC", L"Profile:", 0, 24, 224, 60, 20, 0);
  child(L"STATIC", L"Lighting:", 0, 24, 254, 60, 20, 0);
  for (int i = 0; i < 4; ++i) {
    const std::wstring n = std::to_wstring(i + 1);
    child(L"BUTTON", n.c_str(), BS_PUSHBUTTON | WS_TABSTOP, 90 + i * 52, 220, 46, 24,
          kIdProfile1 + i);
    child(L"BUTTON", (L"Mode " + n).c_str(), BS_PUSHBUTTON | WS_TABSTOP, 90 + i * 52, 250, 46, 24,
          kIdLighting1 + i);
  }
  child(L"BUTTON", L"Unplug", BS_PUSHBUTTON | WS_TABSTOP, 320, 220, 120, 24, kIdUnplug);
  child(L"BUTTON", L"Plug in", BS_PUSHBUTTON | WS_TABSTOP, 320, 250, 120, 24, kIdPlugIn);
  child(L"STATIC", L"Notices arrive from the configurator window \"Vantrel\".", 0, 24, 282, 420, 20,
        0);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  MonitorContext* c = ContextOf(hwnd);
  switch (msg) {
    case WM_NCCREATE: {
      auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
      break;
    }
    case WM_CREATE: {
      HFONT font = UiFont();
      SetPropW(hwnd, L"PeloxFont", font);
      CreateChildren(hwnd, font);
      Refresh(hwnd);
      return 0;
    }
    case WM_CTLCOLORSTATIC:
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lp)) == kIdStatus) {
        SetBkColor(reinterpret_cast<HDC>(wp), GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      }
      break;
    case WM_COMMAND: {
      const int id = LOWORD(wp);
      if (id >= kIdProfile1 && id < kIdProfile1 + 4) KeyboardProfile(hwnd, *c, id - kIdProfile1);
      if (id >= kIdLighting1 && id < kIdLighting1 + 4)
        KeyboardLighting(hwnd, *c, id - kIdLighting1 + 1);
      if (id == kIdUnplug || id == kIdPlugIn) KeyboardPlug(hwnd, *c, id == kIdPlugIn);
      return 0;
    }
    case WM_PELOX_PROFILE:
      KeyboardProfile(hwnd, *c, wp);
      return 0;
    case WM_PELOX_LIGHTING:
      KeyboardLighting(hwnd, *c, wp);
      return 0;
    case WM_PELOX_PLUG:
      KeyboardPlug(hwnd, *c, wp != 0);
      return 0;
    case WM_APPLY_ALL_SETTING:
      OnApplyNotice(hwnd, *c, wp, lp);
      return 0;
    case WM_TIMER:
      if (wp == kAckTimer) SendAcks(hwnd, *c);
      return 0;
    case WM_DESTROY:
      DeleteObject(RemovePropW(hwnd, L"PeloxFont"));
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

HWND CreateMonitorWindow(HINSTANCE instance, MonitorContext& context) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = kClassName;
  if (!RegisterClassExW(&wc)) return nullptr;
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT r{0, 0, kWidth - 16, kHeight - 30};
  AdjustWindowRect(&r, style, FALSE);
  return CreateWindowExW(0, kClassName, kMonitorTitle, style, CW_USEDEFAULT, CW_USEDEFAULT,
                         r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance, &context);
}

}  // namespace pelox
