#include "PageTree.h"

namespace {
QWidget* sheet(const char* name)
{
    auto* widget = new QWidget;
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QTabWidget* tabs(const char* name, QWidget* parent)
{
    auto* widget = new QTabWidget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}
} // namespace

PageTree::PageTree() : pageControl1(new QTabWidget)
{
    pageControl1->setObjectName(QStringLiteral("PageControl1"));
    pageControl1->resize(640, 360);

    QWidget* reader = sheet("TabSheet1");
    pageControl2 = tabs("PageControl2", reader);
    pageControl2->addTab(sheet("TabSheet3"), QStringLiteral("Work Mode"));
    pageControl2->addTab(sheet("TabSheet5"), QStringLiteral("Other Function"));

    QWidget* rf = sheet("TabSheet8");
    pageControl5 = tabs("PageControl5", rf);
    pageControl5->addTab(sheet("TabSheet17"), QStringLiteral("Antenna  Power"));
    pageControl5->addTab(sheet("TabSheet18"), QStringLiteral("Frequency"));
    pageControl5->addTab(sheet("TabSheet19"), QStringLiteral("Supported Protocol"));

    pageControl1->addTab(reader, QStringLiteral("Reader"));
    pageControl1->addTab(rf, QStringLiteral("RF Parameter"));
    pageControl1->addTab(sheet("TabSheet4"), QStringLiteral("Communication Port"));
    pageControl1->addTab(sheet("TabSheet2"), QStringLiteral("Frame Format"));
    pageControl1->addTab(sheet("TabSheet9"), QStringLiteral("I/O Parameter"));
}

void PageTree::show(int outer, int inner)
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
