// The "Other Function" page of the "Reader" tab: ID feature match, the
// off-line function, the identification mode and the synchronization source.
#pragma once

#include "StepPage.h"

#include <QStringList>

class QWidget;

class OtherFunctionPage : public StepPage {
public:
    // sheet is TabSheet5; the page's controls are built into it.
    OtherFunctionPage(QWidget* sheet, PageContext context);

    // The match length list: item i is the length i + 1 in bytes.
    static const QStringList matchLengthItems;
};
