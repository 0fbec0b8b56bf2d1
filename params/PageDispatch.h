// Which page routine "Query Para" and "Setup Para" run, by the index of the
// page showing in the outer tab control and, on "RF Parameter", in its inner one.
#pragma once

#include "PageRoutines.h"

enum class PageShowing {
    None,               // no page routine: nothing runs, nothing is logged
    Reader,             // both inner pages: the routine looks at the inner page itself
    AntennaPower,
    Frequency,
    SupportedProtocol,
    CommunicationPort,
    FrameFormat,
    IoParameter,
};

// outerIndex: PageControl1's current index; rfInnerIndex: PageControl5's.
PageShowing pageShowing(int outerIndex, int rfInnerIndex);

struct PageTargets {
    PageRoutines* reader = nullptr;
    PageRoutines* antennaPower = nullptr;
    FrequencyRoutines* frequency = nullptr;
    PageRoutines* supportedProtocol = nullptr;
    PageRoutines* communicationPort = nullptr;
    PageRoutines* frameFormat = nullptr;
    PageRoutines* ioParameter = nullptr;
};

// Runs the query routine of the page showing.
void dispatchQuery(PageShowing page, const PageTargets& targets);

// Runs the setup routine of the page showing; on "Frequency" the list refresh
// follows, unless the setup routine stopped on a conversion error (which leaves).
void dispatchSetup(PageShowing page, const PageTargets& targets);
