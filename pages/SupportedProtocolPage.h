// The "Supported Protocol" page: which air protocols and tag kinds the reader
// handles, and the length that goes with "Gen 2  TID".
#pragma once

#include "StepPage.h"

#include <QStringList>

class QWidget;

class SupportedProtocolPage : public StepPage {
public:
    // sheet is TabSheet19; the page's controls are built into it.
    SupportedProtocolPage(QWidget* sheet, PageContext context);

    // The TID length list's items, from the parameter's least length on.
    static const QStringList tidLengthItems;
};
