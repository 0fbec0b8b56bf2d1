// Small helpers every page uses to build its controls and enabling rules.
#pragma once

#include "AccessibleNames.h"
#include "NamedWidgets.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLayout>
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

// The grid of a group with the page's own margins and spacing: the pages are
// dense, and each gives the room it can spare.
inline QGridLayout* compactGrid(QWidget* group, QMargins margins, int horizontalSpacing, int verticalSpacing)
{
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(margins);
    grid->setHorizontalSpacing(horizontalSpacing);
    grid->setVerticalSpacing(verticalSpacing);
    return grid;
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
