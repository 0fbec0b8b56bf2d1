// Finds a control of the window or of a page by its designer name (its
// objectName). A missing control ends the test run at once, naming it, rather
// than failing later on a null pointer.
#pragma once

#include <QObject>
#include <QString>
#include <QWidget>

template <typename T = QWidget>
T* child(const QObject* root, const QString& name)
{
    T* widget = root->findChild<T*>(name);
    if (!widget)
        qFatal("no control named %s", qPrintable(name));
    return widget;
}
