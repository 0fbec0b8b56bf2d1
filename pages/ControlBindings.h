// Bindings between the usual kinds of controls and a parameter's bytes. Each
// gives both directions: the bytes a setup step writes and what a query step
// puts back into the controls.
#pragma once

#include "PageStep.h"
#include "RadioSet.h"

#include <QList>
#include <QString>

class QCheckBox;
class QComboBox;
class QLineEdit;

// A step's condition: the box is checked when the step comes.
std::function<bool()> whileChecked(QCheckBox* box);

// A flag byte: 1 when the box is checked, else 0; reads back checked exactly when the byte is 1.
Binding flagBinding(QCheckBox* box);

// Bit n of one byte <-> box n (bit 0 the least significant). Bits without a box
// (beyond the list, or a nullptr in it) are written 0 and ignored when read;
// boxes are set in bit order, so each box's rule runs as its state changes.
Binding checkMaskBinding(QList<QCheckBox*> boxes);

// A list selection: item index + offset as one byte. A list showing no
// selection writes nothing (the step fails); a byte matching no item leaves the
// list with no selection.
Binding listIndexBinding(QComboBox* list, int offset);

// The same for a radio set.
Binding radioIndexBinding(RadioSet set, int offset);

// A decimal number field as one byte: the low 8 bits of its value. The field
// must hold a whole number (ConversionError otherwise).
Binding byteNumberBinding(QLineEdit* field);

// A decimal number field as two bytes, high byte first.
Binding wordNumberBinding(QLineEdit* field);

// A hexadecimal field as a byte string of variable length: one byte per pair
// of digits, an odd last digit ignored; fewer than two digits write nothing.
// Read back as upper-case pairs of every byte read.
Binding hexStringBinding(QLineEdit* field);

// "A1B2" -> {0xA1, 0xB2}: character 2i is the high nibble of byte i.
ParamBytes bytesFromHexPairs(const QString& text);
// {0xA1, 0x05} -> "A105".
QString hexPairs(const ParamBytes& bytes, int count = -1);

// --- Track bars and check lists -------------------------------------------
class QListWidget;
class QSlider;

// A track bar's position as one byte; a byte read is clamped to the bar's range.
Binding sliderBinding(QSlider* bar);

// A check list as a bit mask of byteCount bytes: item i is bit i % 8 of byte
// i / 8 (bit 0 the least significant). Items beyond the mask are written as
// nothing and shown unchecked when read.
Binding checkListMaskBinding(QListWidget* list, int byteCount);

// --- Radio groups -------------------------------------------------------------

// A radio group's item index + offset as one byte. Unlike radioIndexBinding, a
// byte past the last item selects the last item (a radio group's index stops at
// its last item); a byte below the offset leaves the group with no selection,
// and a group with no selection writes nothing (the step fails).
Binding radioGroupIndexBinding(RadioSet group, int offset);
