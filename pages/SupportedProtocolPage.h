// The "Supported Protocol" page: which air protocols and tag kinds the reader
// handles, and the length that goes with "Gen 2  TID".
#pragma once

#include "PageContext.h"
#include "PageRoutines.h"
#include "PageStep.h"

#include <QStringList>

class QWidget;

class SupportedProtocolPage : public PageRoutines {
public:
    // sheet is TabSheet19; the page's controls are built into it.
    SupportedProtocolPage(QWidget* sheet, PageContext context);

    void query() override;
    void setup() override;

    // The TID length list's items; an item's position + 4 is the length the reader keeps.
    static const QStringList tidLengthItems;
    static constexpr int tidLengthOffset = 4;

private:
    PageContext context_;
    Routine setup_;
    Routine query_;
};
