// Controls carry their designer names as objectName: the window, the pages, the
// tests and outside tools find them by it.
#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>

// Gives widget its designer name.
template <typename W>
W* named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// The control named name below root; a missing one is a fault of the program.
template <typename W>
W* findNamed(const QObject* root, const char* name)
{
    W* widget = root->findChild<W*>(QString::fromLatin1(name));
    Q_ASSERT_X(widget, "findNamed", name);
    return widget;
}
