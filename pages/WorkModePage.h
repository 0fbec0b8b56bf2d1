// The "Reader" tab: its inner pages "Work Mode" and "Other Function", their
// controls, enabling rules and the one query and setup routine serving both.
#pragma once

#include "PageContext.h"
#include "PageRoutines.h"

class QTabWidget;

class WorkModePage : public PageRoutines {
public:
    // pageControl2 holds TabSheet3 "Work Mode" and TabSheet5 "Other Function";
    // the routines take the parameters of the inner page showing only.
    WorkModePage(QTabWidget* pageControl2, PageContext context);

    void query() override;
    void setup() override;

private:
    QTabWidget* readerTabs_;
    PageContext context_;
};
