// The "Frame Format" page: how the reader sends out the tag data it reads: at
// once or at an interval, on which of its ports, and how each data frame is
// made up (HEX or ASCII, preamble code, reader number, tag ID window, end code).
#pragma once

#include "StepPage.h"

class QWidget;

class FrameFormatPage : public StepPage {
public:
    // sheet is TabSheet2; the page's controls are built into it.
    FrameFormatPage(QWidget* sheet, PageContext context);
};
