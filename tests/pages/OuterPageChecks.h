// What the "Frame Format" and "I/O Parameter" page tests share: the writes the
// test double saw, and where an outer page's controls stand on its sheet.
#pragma once

#include "FakeReader.h"

#include <QString>
#include <QStringList>
#include <QWidget>

namespace outerpage {

// Each SetParameter as "address:bytes", the bytes as upper-case hex pairs, in call order.
inline QStringList writes()
{
    QStringList out;
    for (const auto& call : fake::callsOf("SetParameter")) {
        QString bytes;
        for (uint8_t b : call.bytes)
            bytes += QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
        out << QStringLiteral("%1:%2").arg(call.args.at(0)).arg(bytes);
    }
    return out;
}

// The addresses GetParameter was called with, in order.
inline QList<int> readAddresses()
{
    QList<int> out;
    for (const auto& call : fake::callsOf("GetParameter"))
        out << call.args.at(0);
    return out;
}

// On the outer tabs "Query Para", "Setup Para" and "Quit" stand in front of the
// sheet from x = 442 on.
constexpr int rightEdgeOfControls = 436;

// Controls of a shown sheet that reach under the buttons or below the sheet,
// or are squeezed below the size they need to show their text.
inline QStringList misplacedControls(QWidget* sheet)
{
    QStringList out;
    for (QWidget* w : sheet->findChildren<QWidget*>()) {
        if (w->objectName().isEmpty() || !w->isVisible())
            continue;
        const QRect r(w->mapTo(sheet, QPoint(0, 0)), w->size());
        if (r.right() >= rightEdgeOfControls || r.bottom() >= sheet->height())
            out << QStringLiteral("%1 at %2,%3 %4x%5").arg(w->objectName()).arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
        else if (w->width() < w->minimumSizeHint().width() || w->height() < w->minimumSizeHint().height())
            out << QStringLiteral("%1 squeezed").arg(w->objectName());
    }
    return out;
}

} // namespace outerpage
