// The "I/O Parameter" page: the reader's four relays (switching on by
// themselves, switching off after a delay), its buzzer, and the ID match or
// dismatch output with its check interval, relays and continue/once choice.
#pragma once

#include "StepPage.h"

class QWidget;

class IoPage : public StepPage {
public:
    // sheet is TabSheet9; the page's controls are built into it.
    IoPage(QWidget* sheet, PageContext context);
};
