// What the "Frame Format" and "I/O Parameter" page tests share: where an outer
// page's controls stand on its sheet.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

namespace outerpage {

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
