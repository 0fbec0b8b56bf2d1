#include "FrequencyPage.h"

// The page's controls and routines are still to come; until then its routines run nothing.

FrequencyPage::FrequencyPage(QWidget* sheet, PageContext context)
    : sheet_(sheet), context_(std::move(context))
{
}

void FrequencyPage::query() {}
void FrequencyPage::setup() {}
void FrequencyPage::refreshLists() {}
void FrequencyPage::readPlan() {}
