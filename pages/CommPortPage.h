// The "Communication Port" page: its controls, enabling rules and routines.
#pragma once

#include "PageContext.h"
#include "PageRoutines.h"

class QWidget;

class CommPortPage : public PageRoutines {
public:
    // sheet is TabSheet4; the page's controls are built into it.
    CommPortPage(QWidget* sheet, PageContext context);

    void query() override;
    void setup() override;

private:
    QWidget* sheet_;
    PageContext context_;
};
