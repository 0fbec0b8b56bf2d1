// How a page's controls show a parameter, chosen by the parameter's value kind
// (ParaTable.h) and converted through the parameter table's own conversions
// (ParaValue.h), so a page names the parameter and the control, nothing more.
// Each binding gives both directions: the bytes a setup step writes and what a
// query step puts back into the controls. A control of a kind the parameter
// cannot take stops the program as the page is built: every row's binding
// comes from here, so every row goes through that check.
#pragma once

#include "PageStep.h"
#include "RadioSet.h"

#include <QList>
#include <QString>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QRadioButton;
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

// ---- Controls that show a kind otherwise than its plain control, by the policy they differ in.

// Choice of two settings: one check box (checked: the second setting) or two
// radio buttons. Written as the code of the setting shown (the first's while
// no button is selected); a byte read selects the setting secondWhen names.
struct TwoSettings {
    QAbstractButton* first = nullptr;   // none for a check box
    QAbstractButton* second = nullptr;
    SecondSetting secondWhen = SecondSetting::AtItsCode;
};
TwoSettings twoSettings(QCheckBox* second, SecondSetting secondWhen);
TwoSettings twoSettings(QRadioButton* first, QRadioButton* second, SecondSetting secondWhen);
Binding bindingFor(const Para& para, TwoSettings settings);

// Flag that counts only while other settings hold: written 1 while the box is
// checked and holds() says so, else 0; read back into the box as a plain flag.
struct OnlyWhile {
    QCheckBox* box = nullptr;
    std::function<bool()> holds;
};
Binding bindingFor(const Para& para, OnlyWhile flag);

// Mask of on/off lists: list n shows onItem while bit n is set, else offItem;
// bits without a list are written 0 and ignored when read.
struct OnOffItems {
    QList<QComboBox*> lists;
    int onItem = 0;
    int offItem = 1;
};
Binding bindingFor(const Para& para, OnOffItems items);

// HexBytes shown as long as a length list says: written as the field writes
// (bindingFor above), read back as the first n bytes, n being lengthPara's
// code at the list's position; empty while the list shows no length.
struct LengthFrom {
    QLineEdit* field = nullptr;
    QComboBox* lengthList = nullptr;
    const Para* lengthPara = nullptr;
};
Binding bindingFor(const Para& para, LengthFrom value);

// An encoding that belongs to one page alone (the page says why): its
// binding, the parameter checked to be of the kind the encoding takes.
Binding ownBinding(const Para& para, ValueKind kind, Binding binding);

// A row of the parameter bound to control by its kind.
template <typename Control>
ParaRow row(const Para& para, Control control, QString setupFailure = {}, QString queryFailure = {})
{
    return row(para, bindingFor(para, std::move(control)), std::move(setupFailure), std::move(queryFailure));
}

// The same binding, with rule run after every value shown.
Binding thenRun(Binding binding, std::function<void()> rule);
