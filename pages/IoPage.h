// The "I/O Parameter" page: its controls, enabling rules and routines.
#pragma once

#include "PageContext.h"
#include "PageRoutines.h"

class QWidget;

class IoPage : public PageRoutines {
public:
    // sheet is TabSheet9; the page's controls are built into it.
    IoPage(QWidget* sheet, PageContext context);

    void query() override;
    void setup() override;

private:
    QWidget* sheet_;
    PageContext context_;
};
