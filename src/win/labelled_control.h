// A system control (an edit, a list) of one of our windows, given the name
// and description a screen reader reads; its value and role stay the
// system's (an edit's text, the edit role).
//
//   win::LabelledControl key_field_;
//   key_field_.Attach(GetDlgItem(hwnd(), 1000), L"Key", L"Press the key...");
#pragma once

#include <windows.h>

#include <string>

#include "win/window.h"

namespace vantrel::win {

class LabelledControl : public Window {
 public:
  // Subclasses `control`; false when it is null or taken already.
  bool Attach(HWND control, std::wstring name, std::wstring description = {}) {
    name_ = std::move(name);
    description_ = std::move(description);
    return Subclass(control);
  }
  bool Describe(AccessibleInfo& info) const override {
    info.name = name_;
    info.description = description_;
    return true;
  }

 private:
  std::wstring name_, description_;
};

}  // namespace vantrel::win
