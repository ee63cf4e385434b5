// The command line's jobs (model/command_line.h), done without the main
// window: the record is the monitor's when it runs, else the stored files',
// as at start-up; a job that applies does what Apply does (change scan,
// copy into the section, saves, notice) and waits at most five seconds for
// the monitor's answer in a hidden window titled "Vantrel", no waiting
// window. Messages go to the console the program was started from, or to
// its redirected output; /? without either shows the usage in the skinned
// notice box.
#pragma once

#include "model/command_line.h"

namespace vantrel::shell {

// Runs `command` (not Window) and returns the process's exit code.
int RunCommand(const Command& command);

}  // namespace vantrel::shell
