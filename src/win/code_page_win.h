// The system ANSI code page (CP_ACP) as the model's CodePage pair, for INI
// files without a byte-order mark. Installed at start-up with
// SetSystemCodePage(&SystemAnsiCodePage()).
#pragma once

#include "model/ini_file.h"

namespace vantrel {

const CodePage& SystemAnsiCodePage();

}  // namespace vantrel
