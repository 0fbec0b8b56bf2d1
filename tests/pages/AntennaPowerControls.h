// Designer names of the "Antenna  Power" page's controls, channel 1 to 4 in
// order, and what the page shows, for the page's tests and the window's
// profile tests.
#pragma once

#include "ControlFinder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QList>

namespace antennapower {

inline const char* const gateName[4] = {"CheckBox8", "CheckBox13", "CheckBox14", "CheckBox15"};    // "Channel n"
inline const char* const powerName[4] = {"ComboBox18", "ComboBox19", "ComboBox20", "ComboBox21"}; // power lists
inline const char* const workName[4] = {"CheckBox9", "CheckBox10", "CheckBox11", "CheckBox12"};    // "Antenna n"
inline const char* const checkName[4] = {"CheckBox26", "CheckBox27", "CheckBox28", "CheckBox29"};  // "Check n"

// Four power positions and the "Antenna n" and "Check n" boxes as 4-bit masks.
struct PageValues {
    QList<int> positions;
    int work = 0;
    int check = 0;
};

// What the page's controls under root show.
inline PageValues shown(QWidget* root)
{
    PageValues v;
    for (int i = 0; i < 4; ++i) {
        v.positions << child<QComboBox>(root, powerName[i])->currentIndex();
        v.work |= child<QCheckBox>(root, workName[i])->isChecked() << i;
        v.check |= child<QCheckBox>(root, checkName[i])->isChecked() << i;
    }
    return v;
}

} // namespace antennapower
