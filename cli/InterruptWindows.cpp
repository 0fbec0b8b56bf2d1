// Windows: a console control handler. Ctrl+C counts as SIGINT and Ctrl+Break
// as SIGTERM; the first is taken (the program goes on and stops its writes),
// a second is left to the system's own handler, which ends the program.
// Closing the console window, logging off and shutting down end it at once,
// as the system allows no time for a summary then.
#include "Interrupt.h"

#include <windows.h>

struct InterruptWatch::Listener {
    static inline std::atomic<InterruptWatch*> active{nullptr};

    static BOOL WINAPI onConsoleEvent(DWORD event)
    {
        InterruptWatch* watch = active.load();
        if (watch == nullptr || (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT))
            return FALSE;
        return watch->takeFirst(event == CTRL_C_EVENT ? SIGINT : SIGTERM) ? TRUE : FALSE;
    }
};

InterruptWatch::InterruptWatch()
{
    Listener::active = this;
    ::SetConsoleCtrlHandler(&Listener::onConsoleEvent, TRUE);
}

InterruptWatch::~InterruptWatch()
{
    ::SetConsoleCtrlHandler(&Listener::onConsoleEvent, FALSE);
    Listener::active = nullptr;
}
