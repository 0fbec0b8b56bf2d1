// The "Frequency" page: its controls, enabling rules and routines.
#pragma once

#include "PageContext.h"
#include "PageRoutines.h"

class QWidget;

class FrequencyPage : public FrequencyRoutines {
public:
    // sheet is TabSheet18; the page's controls are built into it.
    FrequencyPage(QWidget* sheet, PageContext context);

    void query() override;
    void setup() override;

    // Reads the frequency plan and the hopping settings back into the page and
    // rebuilds the channel lists; logs nothing.
    void refreshLists() override;

    // Reads the three plan parameters again after a connect, logging only the
    // reads that fail.
    void readPlan();

private:
    QWidget* sheet_;
    PageContext context_;
};
