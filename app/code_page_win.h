// The system ("ANSI") code page for the model's INI files, through
// WideCharToMultiByte/MultiByteToWideChar with CP_ACP.
#pragma once

#include "model/ini_file.h"

namespace vantrel::app {

const CodePage& AnsiCodePage();

}  // namespace vantrel::app
