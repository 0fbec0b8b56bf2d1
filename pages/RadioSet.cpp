#include "RadioSet.h"

#include <QButtonGroup>
#include <QRadioButton>

int RadioSet::selectedIndex() const
{
    for (int i = 0; i < buttons_.size(); ++i)
        if (buttons_[i]->isChecked())
            return i;
    return -1;
}

void RadioSet::select(int index) const
{
    if (index < 0 || index >= buttons_.size()) {
        clear();
        return;
    }
    buttons_[index]->setChecked(true);
}

void RadioSet::clear() const
{
    for (QRadioButton* button : buttons_) {
        if (!button->isChecked())
            continue;
        // Sibling buttons are exclusive by autoExclusive, grouped ones by their group.
        QButtonGroup* group = button->group();
        const bool groupExclusive = group && group->exclusive();
        const bool autoExclusive = button->autoExclusive();
        if (group)
            group->setExclusive(false);
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setAutoExclusive(autoExclusive);
        if (group)
            group->setExclusive(groupExclusive);
    }
}
