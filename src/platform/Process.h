#pragma once

#include <string>

namespace telvorn {

// The operating system's side of the receiver start-up.

// Blocks the thread.
void SleepMilliseconds(int milliseconds);
// The process's current folder, where the log file goes; "." when unknown.
std::string WorkingFolder();
// Ends the program at once with exit status 1: no shutdown, so nothing of
// this run is saved.
[[noreturn]] void EndProgramNow();

} // namespace telvorn
