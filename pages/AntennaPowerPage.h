// The "Antenna  Power" page: the RF power of the reader's four power channels,
// which antenna ports it works with and which of them it checks.
#pragma once

#include "StepPage.h"

#include <QStringList>

class QWidget;

class AntennaPowerPage : public StepPage {
public:
    // sheet is TabSheet17; the page's controls are built into it.
    AntennaPowerPage(QWidget* sheet, PageContext context);

    // The power list's items, one for each power code of the parameter table, in order.
    static const QStringList powerItems;
};
