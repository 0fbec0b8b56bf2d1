#include "SupportedProtocolPage.h"

// The page's controls and routines are still to come; until then its routines run nothing.

SupportedProtocolPage::SupportedProtocolPage(QWidget* sheet, PageContext context)
    : sheet_(sheet), context_(std::move(context))
{
}

void SupportedProtocolPage::query() {}
void SupportedProtocolPage::setup() {}
