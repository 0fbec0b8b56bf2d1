#include "PageTree.h"

#include <QTabBar>
#include <QTabWidget>
#include <QWidget>

#include <initializer_list>

namespace {

struct Sheet {
    const char* name;
    const char* caption;
};

QTabWidget* tabControl(QWidget* parent, const char* name)
{
    auto* tabs = new QTabWidget(parent);
    tabs->setObjectName(QLatin1String(name));
    // Tabs light up under the mouse.
    tabs->tabBar()->setAttribute(Qt::WA_Hover);
    return tabs;
}

QWidget* addSheet(QTabWidget* tabs, const Sheet& sheet)
{
    auto* page = new QWidget;
    page->setObjectName(QLatin1String(sheet.name));
    tabs->addTab(page, QString::fromUtf8(sheet.caption));
    return page;
}

// Both inner tab controls stand at 8, 4 in their sheet and measure 420 x 264.
void addInnerTabs(QWidget* sheet, const char* name, std::initializer_list<Sheet> sheets)
{
    QTabWidget* inner = tabControl(sheet, name);
    inner->setGeometry(8, 4, 420, 264);
    for (const Sheet& s : sheets)
        addSheet(inner, s);
}

} // namespace

QTabWidget* buildPageTree(QWidget* parent)
{
    QTabWidget* outer = tabControl(parent, "PageControl1");
    outer->setGeometry(188, 11, 541, 301);

    QWidget* reader = addSheet(outer, {"TabSheet1", "Reader"});
    addInnerTabs(reader, "PageControl2", {{"TabSheet3", "Work Mode"}, {"TabSheet5", "Other Function"}});

    QWidget* rf = addSheet(outer, {"TabSheet8", "RF Parameter"});
    addInnerTabs(rf, "PageControl5",
                 {{"TabSheet17", "Antenna  Power"}, {"TabSheet18", "Frequency"}, {"TabSheet19", "Supported Protocol"}});

    addSheet(outer, {"TabSheet4", "Communication Port"});
    addSheet(outer, {"TabSheet2", "Frame Format"});
    addSheet(outer, {"TabSheet9", "I/O Parameter"});
    return outer;
}
