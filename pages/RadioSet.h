// A set of radio buttons that one value selects, able to show no selection.
#pragma once

#include <QList>

class QRadioButton;

class RadioSet {
public:
    RadioSet() = default;
    explicit RadioSet(QList<QRadioButton*> buttons) : buttons_(std::move(buttons)) {}

    // Position of the selected button, -1 when none is.
    int selectedIndex() const;

    // Selects the button at index; any index outside the set clears the set.
    void select(int index) const;

    // Unselects every button. Exclusive buttons refuse to unselect the last
    // selected one, so exclusivity (their own or their button group's) is
    // lifted for the moment.
    void clear() const;

    const QList<QRadioButton*>& buttons() const { return buttons_; }

private:
    QList<QRadioButton*> buttons_;
};
