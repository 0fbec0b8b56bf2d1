#include "FrameFormatPage.h"

// The page's controls and routines are still to come; until then its routines run nothing.

FrameFormatPage::FrameFormatPage(QWidget* sheet, PageContext context)
    : sheet_(sheet), context_(std::move(context))
{
}

void FrameFormatPage::query() {}
void FrameFormatPage::setup() {}
