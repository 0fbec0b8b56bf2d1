// Small helpers every page uses to build its controls and enabling rules.
#pragma once

#include "AccessibleNames.h"
#include "NamedWidgets.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMargins>
#include <QRadioButton>
#include <QString>
#include <QWidget>

inline QCheckBox* namedCheckBox(const char* name, const char* caption, QWidget* parent)
{
    return named(new QCheckBox(QString::fromLatin1(caption), parent), name);
}

inline QRadioButton* namedRadio(const char* name, const char* caption, QWidget* parent)
{
    return named(new QRadioButton(QString::fromLatin1(caption), parent), name);
}

// An unnamed caption in front of control, in control's parent, which it names
// to a screen reader.
inline QLabel* captionOf(QWidget* control, const char* text)
{
    return tieLabel(new QLabel(QString::fromLatin1(text), control->parentWidget()), control);
}

// A label under its designer name; name may be null for a caption the designer
// left unnamed.
inline QLabel* namedLabel(const char* name, const QString& text, QWidget* parent, bool enabled = true)
{
    auto* label = new QLabel(text, parent);
    if (name)
        named(label, name);
    label->setEnabled(enabled);
    return label;
}

// The margins and spacing of a group's grid: the pages are dense, and each
// gives the room it can spare.
struct GridSpacing {
    QMargins margins;
    int horizontal = 0;
    int vertical = 0;
};

// The grid of a group, every page's.
inline QGridLayout* groupGrid(QWidget* group, GridSpacing spacing)
{
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(spacing.margins);
    grid->setHorizontalSpacing(spacing.horizontal);
    grid->setVerticalSpacing(spacing.vertical);
    return grid;
}

// A field for a number or a code under its designer name, width pixels wide.
// Its input rule widens it should a font need more for its widest value
// (fields/FieldRules.cpp); a field without one calls fitWidestValue.
inline QLineEdit* numberField(const char* name, const char* text, QWidget* parent, int width)
{
    auto* field = named(new QLineEdit(QString::fromLatin1(text), parent), name);
    field->setFixedWidth(width);
    return field;
}

// A label, its field and the field's unit (if any) side by side, the rest of
// the row empty; the label names the field, the unit describes it. indent:
// room before the label (a row belonging to the box above it); spacing
// between the three, -1 for the enclosing layout's.
inline QHBoxLayout* fieldRow(QLabel* label, QWidget* field, QLabel* unit = nullptr, int indent = 0, int spacing = -1)
{
    tieLabel(label, field);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(indent, 0, 0, 0);
    if (spacing >= 0)
        row->setSpacing(spacing);
    row->addWidget(label);
    row->addWidget(field);
    if (unit)
        row->addWidget(describeUnit(field, unit));
    row->addStretch(1);
    return row;
}

// The rule "target enabled exactly while box is checked". toggled fires on
// every change of state, from the operator or a query, and not when the box is
// set to the state it has. Disabling only greys the target out.
inline void enableWhileChecked(QCheckBox* box, QWidget* target)
{
    QObject::connect(box, &QCheckBox::toggled, target, &QWidget::setEnabled);
}

// Puts a page's layout into its tab sheet, inside whatever layout the sheet already has.
inline void placeInSheet(QWidget* sheet, QLayout* pageLayout)
{
    if (QLayout* existing = sheet->layout())
        existing->addItem(pageLayout);
    else
        sheet->setLayout(pageLayout);
}
