// How a screen reader learns what a control is: from the label that stands
// for it, the unit beside it, or a name of its own where no label stands.
// None of this changes what the window shows.
#pragma once

class QLabel;
class QString;
class QWidget;

// Ties label to the control it describes (its buddy): the control is
// announced by the label's text, and follows it when the text changes.
QLabel* tieLabel(QLabel* label, QWidget* control);

// The unit shown beside control ("X10 ms", "10kHz", "S") becomes its
// accessible description.
QLabel* describeUnit(QWidget* control, QLabel* unit);

// A name for a control that no label of its own describes ("IP Address, octet 2").
void nameControl(QWidget* control, const QString& name);

// Drop-down lists are announced by their label too. Qt on Linux names a
// drop-down list after its current item and leaves the label to a relation,
// so a field announces "OFF" or "30"; installed once, before the first list
// is asked for its name.
void nameDropDownsByLabel();
