// Small helpers every page uses to build its controls and enabling rules.
#pragma once

#include "NamedWidgets.h"

#include <QCheckBox>
#include <QLayout>
#include <QString>
#include <QWidget>

inline QCheckBox* namedCheckBox(const char* name, const char* caption, QWidget* parent)
{
    return named(new QCheckBox(QString::fromLatin1(caption), parent), name);
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
