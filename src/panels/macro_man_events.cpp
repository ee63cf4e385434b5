// The macro manager's event list: its lines, the right-click menu and the
// edits the menu makes to the selected macro's events.
#include <windows.h>

#include <algorithm>
#include <array>
#include <memory>

#include "model/macro_edit.h"
#include "panels/macro_man.h"
#include "skin/ex_menu.h"
#include "skin/lang_strings.h"
#include "win/win_util.h"

namespace vantrel::panels {
namespace {

std::wstring Text(size_t entry) { return skin::TextAt(MacroManagerTexts(), entry); }

}  // namespace

// The menu with its submenus: "Insert mouse button" opens one submenu per
// button, each with press, release and click. Declared so the top menu goes
// first: it detaches the submenus before they are destroyed.
class CDlgMacroMan::EventMenu {
 public:
  explicit EventMenu(HFONT font) : mouse(font), top(font) {
    for (int b = 0; b < 5; ++b) {
      buttons[b] = std::make_unique<skin::CExMenu>(font);
      for (int what = 0; what < 3; ++what)
        buttons[b]->AppendItem(MouseCommand(b, what), Text(23 + static_cast<size_t>(what)));
      mouse.AppendItem(0, Text(18 + static_cast<size_t>(b)), buttons[b].get());
    }
    top.AppendItem(kCmdRecordBefore, Text(12));
    top.AppendItem(kCmdRecordAfter, Text(13));
    top.AppendItem(kCmdInsertDelay, Text(14));
    top.AppendItem(0, Text(17), &mouse);
    top.AppendItem(kCmdEdit, Text(15));
    top.AppendItem(kCmdDelete, Text(16));
    // The submenus' items are measured by the top menu: wide enough for all.
    top.item_width = std::max({top.item_width, mouse.item_width, buttons[0]->item_width});
  }

  std::array<std::unique_ptr<skin::CExMenu>, 5> buttons;
  skin::CExMenu mouse;
  skin::CExMenu top;
};

std::uint32_t CDlgMacroMan::LineData(int line) const {
  HWND list = m_eventList.hwnd();
  if (!list || line < 0 || line >= static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)))
    return 0;
  return static_cast<std::uint32_t>(SendMessageW(list, LB_GETITEMDATA, line, 0));
}

void CDlgMacroMan::StoreBuffer() {
  if (current()) recorder_.CopyTo(*current());
}

void CDlgMacroMan::RebuildEventList() {
  HWND list = m_eventList.hwnd();
  if (!list) return;
  const EventListView view =
      BuildEventList(recorder_.events, recorder_.count, event_to_select_, line_to_select_);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const EventLine& line : view.lines) m_eventList.AddItem(win::ToWide(line.text), line.data);
  line_to_select_ = view.selected;
  if (view.selected >= 0) {
    // Scroll two lines of context below a selection in the middle into
    // view, then select the line itself (which keeps it in view).
    SendMessageW(list, LB_SETCURSEL, view.visible, 0);
    SendMessageW(list, LB_SETCURSEL, view.selected, 0);
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void CDlgMacroMan::ShowEventMenu() {
  if (recording()) return;
  if (!menu_font_) {
    menu_font_ = win::MakeFont(L"Arial", 15, 400, 0, DEFAULT_QUALITY);
  }
  EventMenu menu(menu_font_.get());
  POINT at{};
  GetCursorPos(&at);
  menu.top.TrackAt(hwnd(), at);  // the choice arrives as WM_COMMAND
}

void CDlgMacroMan::RunEventCommand(UINT id, int line) {
  // Without a macro there is nothing to edit; while recording the menu is
  // not offered.
  if (!current() || recording()) return;
  const std::uint32_t data = LineData(line);
  const bool has_line = data != 0;
  const int event = EventOfLine(data);
  switch (id) {
    case kCmdRecordBefore:
      recorder_.insert_position = has_line ? event : -1;
      StartRecording();
      return;
    case kCmdRecordAfter:
      recorder_.insert_position = has_line ? event + 1 : -1;
      StartRecording();
      return;
    case kCmdInsertDelay:
      if (!InsertDelayBefore(recorder_, data)) return;
      event_to_select_ = event - 1;
      line_to_select_ = line - 1;
      RebuildEventList();
      StoreBuffer();
      return;
    case kCmdEdit:
      if (KindOfLine(data) != kLinePause) return;
      SendMessageW(m_eventList.hwnd(), LB_SETCURSEL, line, 0);
      if (m_eventList.EditSelectedItem() < 0) return;
      edited_event_ = event;
      return;
    case kCmdDelete:
      if (!DeleteEventLine(recorder_, data)) return;
      event_to_select_ = event;
      line_to_select_ = line;
      StoreBuffer();
      RebuildEventList();
      return;
    default:
      break;
  }
  if (id < MouseCommand(0, 0) || id > MouseCommand(4, 2)) return;
  const int button = static_cast<int>(id - MouseCommand(0, 0)) / 3;
  const auto what = static_cast<MouseInsert>((id - MouseCommand(0, 0)) % 3);
  recorder_.insert_position = has_line ? event : -1;
  if (!InsertMouseEvents(recorder_, button, what)) return;
  event_to_select_ = recorder_.select_after_redraw;
  line_to_select_ = -1;
  RebuildEventList();
  StoreBuffer();
}

void CDlgMacroMan::OnPauseEditCancelled() {
  if (edited_event_ < 0) return;
  // Show the pause again, selected.
  event_to_select_ = edited_event_;
  line_to_select_ = -1;
  edited_event_ = -1;
  RebuildEventList();
}

void CDlgMacroMan::OnPauseEdited(int line) {
  const int event = edited_event_;
  edited_event_ = -1;
  if (!current() || event < 0 || event >= BoundedEventCount(recorder_.count)) return;
  HWND list = m_eventList.hwnd();
  const std::uint32_t data = LineData(line);
  if (data != EventLineData(event, kLinePause)) return;  // the list changed meanwhile
  const std::wstring text = win::ListItemText(list, line);
  const std::uint16_t pause = PauseFromText(win::ToU16(text));
  SendMessageW(list, LB_DELETESTRING, line, 0);
  const int at = static_cast<int>(
      SendMessageW(list, LB_INSERTSTRING, line,
                   reinterpret_cast<LPARAM>(win::ToWide(PauseText(pause)).c_str())));
  if (at >= 0) {
    SendMessageW(list, LB_SETITEMDATA, at, data);
    SendMessageW(list, LB_SETCURSEL, at, 0);
  }
  recorder_.events[event].delayMs = pause;
  StoreBuffer();
}

}  // namespace vantrel::panels
