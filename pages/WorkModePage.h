// The "Work Mode" page of the "Reader" tab: the work mode, the timer and the
// trigger inputs, their enabling rules and routines.
#pragma once

#include "StepPage.h"

#include <QStringList>

class QWidget;

class WorkModePage : public StepPage {
public:
    // sheet is TabSheet3; the page's controls are built into it.
    WorkModePage(QWidget* sheet, PageContext context);

    // The items of the trigger lists: "ON" (item 0) sets the trigger's bit.
    static const QStringList triggerItems;
};
