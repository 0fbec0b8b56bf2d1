// The "Reader" tab: its inner pages "Work Mode" and "Other Function", their
// controls, enabling rules and the one query and setup routine serving both.
#pragma once

#include "PageContext.h"
#include "PageRoutines.h"
#include "PageStep.h"

#include <QStringList>

class QTabWidget;

class WorkModePage : public PageRoutines {
public:
    // pageControl2 holds TabSheet3 "Work Mode" and TabSheet5 "Other Function";
    // the routines take the parameters of the inner page showing only.
    WorkModePage(QTabWidget* pageControl2, PageContext context);

    void query() override;
    void setup() override;

    // Positions of the inner pages in PageControl2.
    static constexpr int workModeIndex = 0;
    static constexpr int otherFunctionIndex = 1;

    // The items of the trigger lists: "ON" (item 0) sets the trigger's bit.
    static const QStringList triggerItems;
    // The match length list: item index + 1 is the length in bytes.
    static const QStringList matchLengthItems;

    // The query and setup routine of one inner page.
    struct InnerRoutines {
        Routine setup;
        Routine query;
    };

private:
    const InnerRoutines* routinesShowing() const;

    QTabWidget* readerTabs_;
    PageContext context_;
    InnerRoutines workMode_;
    InnerRoutines otherFunction_;
};
