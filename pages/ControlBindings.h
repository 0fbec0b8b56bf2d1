// How a page's controls show a parameter, chosen by the parameter's value kind
// (ParaTable.h) and converted through the parameter table's own conversions
// (ParaValue.h), so a page names the parameter and the control, nothing more.
// Each binding gives both directions: the bytes a setup step writes and what a
// query step puts back into the controls. A control of a kind the parameter
// cannot take stops the program as the page is built.
#pragma once

#include "PageStep.h"
#include "RadioSet.h"

#include <QList>
#include <QString>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QSlider;

// A step's condition: the box is checked when the step comes.
std::function<bool()> whileChecked(QCheckBox* box);

// One field.
// Byte, Word, StartFrequency: a decimal number; its low bits are written (300
// in one byte is 44); the field must hold a whole number (ConversionError otherwise).
// HexBytes: hexadecimal pairs, an odd last digit ignored; a field of fewer than
// two digits writes nothing, one holding no hexadecimal text no value (the step
// fails). Shown as upper-case pairs of the value's bytes (hexValueLength).
Binding bindingFor(const Para& para, QLineEdit* field);

// Flag: 1 while the box is checked, else 0; checked exactly when the byte read is 1.
Binding bindingFor(const Para& para, QCheckBox* box);

// Choice, and a Byte offered as its numbers from its minimum: the item at
// position i is the code first + i. A list showing no selection writes nothing
// (the step fails); a code matching no item leaves the list with no selection.
Binding bindingFor(const Para& para, QComboBox* list);

// The same for a radio set; pastLast says where a code past the last button
// points: nowhere (a set of buttons) or to the last (a radio group).
Binding bindingFor(const Para& para, RadioSet set, PastLast pastLast = PastLast::None);

// Mask: box n is bit n. Bits without a box (beyond the list, or a nullptr in it)
// are written 0 and ignored when read; boxes are set in bit order, so each box's
// rule runs as its state changes.
Binding bindingFor(const Para& para, QList<QCheckBox*> bitBoxes);

// ChannelMask: item i of a check list is bit i. Items beyond the mask are
// written as nothing and shown unchecked.
Binding bindingFor(const Para& para, QListWidget* list);

// Byte: a track bar's position; a number read is clamped to the bar's range.
Binding bindingFor(const Para& para, QSlider* bar);

// One field a byte.
// Ipv4: decimal numbers, byte i in field i (its low 8 bits).
// HexBytes: two hexadecimal digits a field (one digit gives its value: F is
// 0F); a field giving no byte leaves the value incomplete: nothing is written
// and the step fails.
Binding bindingFor(const Para& para, QList<QLineEdit*> fields);

// A row of the parameter bound to control by its kind.
template <typename Control>
ParaRow row(const Para& para, Control control, QString setupFailure = {}, QString queryFailure = {})
{
    return row(para, bindingFor(para, control), std::move(setupFailure), std::move(queryFailure));
}

// The first count bytes (all, where fewer) as upper-case hexadecimal pairs: {0xA1, 0x05} -> "A105".
QString hexPairs(const ParaBytes& bytes, std::size_t count);

// The same binding, with rule run after every value shown.
Binding thenRun(Binding binding, std::function<void()> rule);
