// A page whose "Query Para" and "Setup Para" each run one routine of steps.
// The page builds its controls and fills setup_ and query_ in its constructor;
// running them is the same for every such page.
#pragma once

#include "PageContext.h"
#include "PageRoutines.h"
#include "PageStep.h"

class StepPage : public PageRoutines {
public:
    void query() override { runRoutine(context_, query_); }
    void setup() override { runRoutine(context_, setup_); }
    void showStored(const StoredLookup& lookup) override { ::showStored(query_, lookup); }
    std::optional<StepValue> setupValue(const Para& para) override { return formedValue(setup_, para); }

protected:
    explicit StepPage(PageContext context) : context_(std::move(context)) {}

    PageContext context_;
    Routine setup_;
    Routine query_;
};
