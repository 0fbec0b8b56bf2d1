// What the window calls on a parameter page: "Query Para" and "Setup Para"
// while the page shows, a profile's bytes shown in its controls, and the reads
// that follow a connect.
#pragma once

#include "PageStep.h"

class PageRoutines {
public:
    virtual ~PageRoutines() = default;
    virtual void query() = 0;
    virtual void setup() = 0;
    // Puts stored bytes into the page's controls through its query routine (showStored in PageStep.h).
    virtual void showStored(const StoredLookup& lookup) = 0;
    // What "Setup Para" would write to para now, without writing it (formedValue
    // in PageStep.h); nullopt when the page does not write para.
    virtual std::optional<StepValue> setupValue(const Para&) { return std::nullopt; }
    // After a successful connect; most pages read nothing then.
    virtual void afterConnect() {}
};
