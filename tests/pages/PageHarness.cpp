#include "PageHarness.h"

#include "PageTree.h"
#include "WindowFont.h"

PageHarness::PageHarness() : window(new QWidget)
{
    window->setFont(windowFont());
    window->resize(740, 560);
    pageControl1 = buildPageTree(window.get());
    pageControl2 = pageControl1->findChild<QTabWidget*>(QStringLiteral("PageControl2"));
    pageControl5 = pageControl1->findChild<QTabWidget*>(QStringLiteral("PageControl5"));
}

void PageHarness::show(int outer, int inner)
{
    pageControl1->setCurrentIndex(outer);
    if (outer == 0)
        pageControl2->setCurrentIndex(inner);
    if (outer == 1)
        pageControl5->setCurrentIndex(inner);
}

PageContext RecordingContext::context()
{
    PageContext context;
    context.handle = [] { return uint32_t(7); };
    context.log = [this](const QString& line) { lines.append(line); };
    return context;
}
