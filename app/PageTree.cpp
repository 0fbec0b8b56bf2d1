#include "PageTree.h"

#include "AntennaPowerPage.h"
#include "CommPortPage.h"
#include "FrameFormatPage.h"
#include "FrequencyPage.h"
#include "IoPage.h"
#include "OtherFunctionPage.h"
#include "SupportedProtocolPage.h"
#include "WorkModePage.h"

#include <QApplication>
#include <QKeySequence>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>

#include <initializer_list>

namespace {

struct Sheet {
    const char* name;
    const char* caption;
    // The page module on the sheet; none for a sheet that holds inner tabs.
    PagePlace page{};
};

QTabWidget* tabControl(QWidget* parent, const char* name)
{
    auto* tabs = new QTabWidget(parent);
    tabs->setObjectName(QLatin1String(name));
    // Tabs light up under the mouse.
    tabs->tabBar()->setAttribute(Qt::WA_Hover);
    return tabs;
}

QWidget* addSheet(QTabWidget* tabs, const Sheet& sheet, PagePlaces& places)
{
    auto* page = new QWidget;
    page->setObjectName(QLatin1String(sheet.name));
    tabs->addTab(page, QString::fromUtf8(sheet.caption));
    if (sheet.page.build) {
        PagePlace place = sheet.page;
        place.sheet = page;
        places.push_back(place);
    }
    return page;
}

// Both inner tab controls stand at 8, 4 in their sheet and measure 420 x 264.
void addInnerTabs(QWidget* sheet, const char* name, std::initializer_list<Sheet> sheets, PagePlaces& places)
{
    QTabWidget* inner = tabControl(sheet, name);
    inner->setGeometry(8, 4, 420, 264);
    for (const Sheet& s : sheets)
        addSheet(inner, s, places);
}

// Ctrl+PageDown and Ctrl+PageUp turn to the next and previous page, as Qt's
// Ctrl+Tab and Ctrl+Shift+Tab do: the pages of the innermost tab control that
// holds the focus, else the outer one. As shortcuts of the window they come
// before the focused control, so a drop-down list or a slider does not take
// them as a page step of its own.
void turnPagesWithCtrlPageKeys(QTabWidget* outer)
{
    for (const int step : {1, -1}) {
        const QKeySequence keys(Qt::CTRL | (step > 0 ? Qt::Key_PageDown : Qt::Key_PageUp));
        QObject::connect(new QShortcut(keys, outer, nullptr, nullptr, Qt::WindowShortcut), &QShortcut::activated, outer,
                         [outer, step] {
                             QTabWidget* tabs = outer;
                             for (QWidget* w = QApplication::focusWidget(); w && outer->isAncestorOf(w); w = w->parentWidget())
                                 if (auto* inner = qobject_cast<QTabWidget*>(w)) {
                                     tabs = inner;
                                     break;
                                 }
                             tabs->setCurrentIndex((tabs->currentIndex() + step + tabs->count()) % tabs->count());
                         });
    }
}

} // namespace

QTabWidget* buildPageTree(QWidget* parent, PagePlaces& places)
{
    QTabWidget* outer = tabControl(parent, "PageControl1");
    outer->setGeometry(188, 11, 541, 301);

    // A sheet a line: a page added to an inner tab control is one more line.
    QWidget* reader = addSheet(outer, {"TabSheet1", "Reader"}, places);
    addInnerTabs(reader, "PageControl2",
                 {
                     {"TabSheet3", "Work Mode", buildPage<WorkModePage>},
                     {"TabSheet5", "Other Function", buildPage<OtherFunctionPage>},
                 },
                 places);

    QWidget* rf = addSheet(outer, {"TabSheet8", "RF Parameter"}, places);
    addInnerTabs(rf, "PageControl5",
                 {
                     {"TabSheet17", "Antenna  Power", buildPage<AntennaPowerPage>},
                     {"TabSheet18", "Frequency", buildPage<FrequencyPage>},
                     {"TabSheet19", "Supported Protocol", buildPage<SupportedProtocolPage>},
                 },
                 places);

    // The outer tab bar is full: a sixth tab does not fit its caption.

    addSheet(outer, {"TabSheet4", "Communication Port", buildPage<CommPortPage>}, places);
    addSheet(outer, {"TabSheet2", "Frame Format", buildPage<FrameFormatPage>}, places);
    addSheet(outer, {"TabSheet9", "I/O Parameter", buildPage<IoPage>}, places);
    turnPagesWithCtrlPageKeys(outer);
    return outer;
}
