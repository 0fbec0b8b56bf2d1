#include "ProtocolPage.h"

// The page's controls and routines are still to come; until then its routines run nothing.

ProtocolPage::ProtocolPage(QWidget* sheet, PageContext context)
    : sheet_(sheet), context_(std::move(context))
{
}

void ProtocolPage::query() {}
void ProtocolPage::setup() {}
