// CDlgWarning: the skinned confirm-or-cancel box. Its kind picks the texts:
// 0 the main window's "restore all profiles" warning, 1, 3 and 4 the macro
// manager's, kRestoreBackup the one before a complete backup replaces
// everything, kNotice a message with OK only (Notify below). Runs modally;
// 1 = OK.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "skin/bitmap_btn.h"
#include "skin/lang_strings.h"
#include "skin/skinned_dialog.h"

namespace vantrel::skin {

class CDlgWarning : public SkinnedDialog {
 public:
  CDlgWarning();

  static constexpr int kNotice = 5;
  static constexpr int kRestoreBackup = 6;
  int kind = 0;          // set before RunModal
  std::wstring message;  // kNotice: the text shown

  CBitmapBtn m_btnOK, m_btnCancel, m_btnClose;
  const TextTable& texts() const { return texts_; }
  // The entry the kind shows as its message (1, or 5 for kinds 3 and 4).
  size_t message_entry() const { return kind == 3 || kind == 4 ? 5 : 1; }
  // The text painted as the message.
  const std::wstring& message_text() const;

 protected:
  bool OnCreate(const CREATESTRUCTW& cs) override;
  bool OnCommand(HWND control, UINT id, UINT code) override;
  void PaintTexts(HDC dc) override;
  bool SwallowsKey(WPARAM vk) const override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  // Cancel, or the close button where a notice has no Cancel.
  CBitmapBtn* CancelButton() override;

 private:
  TextTable texts_;
  RECT button_row_{};  // a notice's two button places in the picture
};

// Message ids of the notices (lang.dll); %s in a text takes the names of
// `files`.
enum NoticeText : UINT {
  kNoticeNotPublished = 1504,
  kNoticeNotSaved = 1505,
  kNoticeNotRead = 1506,
  kNoticeRestored = 1507,
  kNoticeMacrosNotRead = 1508,
  kNoticeExportStored = 1509,
  kNoticeExportFailed = 1510,
  kNoticeNotABackup = 1534,
};
// The message of notice `text` with the names of `files` (no folders).
std::wstring NoticeMessage(UINT text, const std::vector<std::filesystem::path>& files = {});
// Shows it in the skinned box, owned by `owner`, until the user presses OK.
void Notify(HWND owner, UINT text, const std::vector<std::filesystem::path>& files = {});

}  // namespace vantrel::skin
