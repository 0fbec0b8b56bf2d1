// Reports, once, when a program's first window is exposed on screen: the
// milliseconds since main() began and the process's resident memory. Then it
// ends the event loop. Shared by the window's start-up benchmark and the bare
// widget it is compared with.
#pragma once

#include <chrono>

class QApplication;

// Call first thing in main().
std::chrono::steady_clock::time_point mainStarted();

// Prints "shown <ms since main> <VmRSS kB> <VmHWM kB>" on the first expose
// of any window, flushes, and quits the application. The kernel updates VmHWM
// lazily, so at that moment it can trail VmRSS by a few pages.
void reportFirstExpose(QApplication& app, std::chrono::steady_clock::time_point start);
