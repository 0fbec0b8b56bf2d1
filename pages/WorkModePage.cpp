#include "WorkModePage.h"

// The tab's controls and routines are still to come; until then its routines run nothing.

WorkModePage::WorkModePage(QTabWidget* pageControl2, PageContext context)
    : readerTabs_(pageControl2), context_(std::move(context))
{
}

void WorkModePage::query() {}
void WorkModePage::setup() {}
