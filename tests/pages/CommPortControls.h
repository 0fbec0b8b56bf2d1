// Sets and reads a page's controls by designer name, for the "Communication
// Port" page's tests and the tests of every page. A value is a bool
// for a check box or radio button (selected), an int for a list (item index)
// and a string for an edit field.
#pragma once

#include "ControlFinder.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QVariantMap>

namespace commport {

inline void put(QWidget* root, const QVariantMap& values)
{
    for (auto it = values.begin(); it != values.end(); ++it) {
        QWidget* widget = child(root, it.key());
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            button->setChecked(it.value().toBool());
        else if (auto* list = qobject_cast<QComboBox*>(widget))
            list->setCurrentIndex(it.value().toInt());
        else
            qobject_cast<QLineEdit*>(widget)->setText(it.value().toString());
    }
}

// What the controls named in like show now, in the same kinds.
inline QVariantMap shown(QWidget* root, const QVariantMap& like)
{
    QVariantMap out;
    for (auto it = like.begin(); it != like.end(); ++it) {
        QWidget* widget = child(root, it.key());
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            out[it.key()] = button->isChecked();
        else if (auto* list = qobject_cast<QComboBox*>(widget))
            out[it.key()] = list->currentIndex();
        else
            out[it.key()] = qobject_cast<QLineEdit*>(widget)->text();
    }
    return out;
}

} // namespace commport
