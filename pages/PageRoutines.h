// What "Query Para" and "Setup Para" call on a page.
#pragma once

class PageRoutines {
public:
    virtual ~PageRoutines() = default;
    virtual void query() = 0;
    virtual void setup() = 0;
};

// The "Frequency" page also refreshes its channel lists from the reader after
// every setup (and after a connect).
class FrequencyRoutines : public PageRoutines {
public:
    virtual void refreshLists() = 0;
};
