// Designer names of the "Antenna  Power" page's controls, channel 1 to 4 in
// order, for the page's tests over the test double and over readersim.
#pragma once

namespace antennapower {

inline const char* const gateName[4] = {"CheckBox8", "CheckBox13", "CheckBox14", "CheckBox15"};    // "Channel n"
inline const char* const powerName[4] = {"ComboBox18", "ComboBox19", "ComboBox20", "ComboBox21"}; // power lists
inline const char* const workName[4] = {"CheckBox9", "CheckBox10", "CheckBox11", "CheckBox12"};    // "Antenna n"
inline const char* const checkName[4] = {"CheckBox26", "CheckBox27", "CheckBox28", "CheckBox29"};  // "Check n"

} // namespace antennapower
