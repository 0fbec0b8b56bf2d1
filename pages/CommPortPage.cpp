#include "CommPortPage.h"

// The page's controls and routines are still to come; until then its routines run nothing.

CommPortPage::CommPortPage(QWidget* sheet, PageContext context)
    : sheet_(sheet), context_(std::move(context))
{
}

void CommPortPage::query() {}
void CommPortPage::setup() {}
