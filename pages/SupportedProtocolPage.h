// The "Supported Protocol" page: its controls, enabling rules and routines.
#pragma once

#include "PageContext.h"
#include "PageRoutines.h"

class QWidget;

class SupportedProtocolPage : public PageRoutines {
public:
    // sheet is TabSheet19; the page's controls are built into it.
    SupportedProtocolPage(QWidget* sheet, PageContext context);

    void query() override;
    void setup() override;

private:
    QWidget* sheet_;
    PageContext context_;
};
