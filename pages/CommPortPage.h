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

    // The lists' items; the reader keeps an item's position plus the list's offset.
    static const QStringList baudRateItems;   // offset 0
    static const QStringList wiegandItems;    // offset 1, for both protocol parameters
    static const QStringList intervalItems;   // offset 1, units of 100 ms
};
