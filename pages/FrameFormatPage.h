// The "Frame Format" page: how the reader sends out the tag data it reads: at
// once or at an interval, on which of its ports, and how each data frame is
// made up (HEX or ASCII, preamble code, reader number, tag ID window, end code).
#pragma once

#include "ParaTable.h"
#include "StepPage.h"

class QWidget;

class FrameFormatPage : public StepPage {
public:
    // sheet is TabSheet2; the page's controls are built into it.
    FrameFormatPage(QWidget* sheet, PageContext context);

    // The preamble and end codes: one byte per pair of hex digits, at most the
    // parameter's length; read back up to the first byte holding codeEnd.
    static constexpr int codeBytes = findPara(paraAddress(Page::FrameFormat, "preamble_code"))->readLength;
    static constexpr uint8_t codeEnd = findPara(paraAddress(Page::FrameFormat, "preamble_code"))->fill;
};
