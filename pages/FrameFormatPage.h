// The "Frame Format" page: its controls, enabling rules and routines.
#pragma once

#include "PageContext.h"
#include "PageRoutines.h"

class QWidget;

class FrameFormatPage : public PageRoutines {
public:
    // sheet is TabSheet2; the page's controls are built into it.
    FrameFormatPage(QWidget* sheet, PageContext context);

    void query() override;
    void setup() override;

private:
    QWidget* sheet_;
    PageContext context_;
};
