// An operation that talks to the reader: a page routine, a connect, "Update
// Reader", a profile read from the reader. Every library call blocks the
// window's one thread, so while an operation runs the window says it is busy:
// a busy cursor over it, gone again on every way out. Between two library calls
// it repaints what was uncovered meanwhile, and it takes no input but that of
// "Quit", so no click starts a second operation in the middle of the first.
// "Quit" and the close box during an operation end it after the call in flight.
#pragma once

#include <functional>

class QWidget;

// Runs operation as the window's one reader operation; nothing when one runs
// already. A ConversionError ends it where it stands and shows the error box
// once the busy cursor is gone.
void runReaderOperation(QWidget* window, const std::function<void()>& operation);

// Between two library calls of an operation: the window repaints, and an
// operation that a quit waits for ends here. Nothing outside an operation.
void betweenReaderCalls();

// While an operation runs: finish waits for its end, after the library call in
// flight (a second request while one waits is dropped), and the answer is
// true. With none running: false, and finish is not run.
bool afterReaderOperation(std::function<void()> finish);

// The one control of the window still taking the operator's input while an
// operation runs (the window's "Quit").
void takeInputWhileBusy(QWidget* control);
