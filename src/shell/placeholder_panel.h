// A page the main window hosts before its real implementation exists: the
// page's own skin (pictures and outline, no buttons) and nothing to fill.
#pragma once

#include "panels/panel.h"

namespace vantrel::shell {

class PlaceholderPanel : public panels::Panel {
 public:
  PlaceholderPanel(const win::DialogTemplate& t, const wchar_t* skin_file, SettingsRecord& record)
      : Panel(t, Drag::Parent, record), skin_file_(skin_file) {}

  void PutSettingToControl() override {}

 protected:
  bool OnCreate(const CREATESTRUCTW&) override {
    ApplySkin({skin_file_, {}}, {});
    return true;
  }

 private:
  const wchar_t* skin_file_;
};

}  // namespace vantrel::shell
