// The "Communication Port" page: the reader's own interfaces (Ethernet with its
// client mode, RS-485, Wiegand output), their enabling rules and routines.
#pragma once

#include "StepPage.h"

#include <QStringList>

class QWidget;

class CommPortPage : public StepPage {
public:
    // sheet is TabSheet4; the page's controls are built into it.
    CommPortPage(QWidget* sheet, PageContext context);

    // The lists' items, in the order of their parameter's codes (ParaTable.h).
    static const QStringList rs485BaudRateItems;   // parameter 131's codes: 0 is 9600 bit/s
    static const QStringList wiegandItems;         // both protocol parameters, 132 and 135
    static const QStringList intervalItems;        // units of 100 ms, from 1
};
