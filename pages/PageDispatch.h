// Which page routine "Query Para" and "Setup Para" run, by the index of the
// page showing in the outer tab control and, on "RF Parameter", in its inner one.
#pragma once

#include "Page.h"
#include "PageRoutines.h"

// outerIndex: PageControl1's current index; rfInnerIndex: PageControl5's.
Page pageShowing(int outerIndex, int rfInnerIndex);

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
void dispatchQuery(Page page, const PageTargets& targets);

// Runs the setup routine of the page showing; on "Frequency" the list refresh
// follows, unless the setup routine stopped on a conversion error (which leaves).
void dispatchSetup(Page page, const PageTargets& targets);
