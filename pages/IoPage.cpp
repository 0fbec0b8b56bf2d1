#include "IoPage.h"

// The page's controls and routines are still to come; until then its routines run nothing.

IoPage::IoPage(QWidget* sheet, PageContext context)
    : sheet_(sheet), context_(std::move(context))
{
}

void IoPage::query() {}
void IoPage::setup() {}
