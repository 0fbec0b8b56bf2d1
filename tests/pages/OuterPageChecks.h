// What the "Frame Format" and "I/O Parameter" page tests share: where an outer
// page's controls stand on its sheet, and what they show.
#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QMap>
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

// What every check box, radio button, edit field and list of the sheet shows,
// by designer name: "1"/"0", the text, or the selected index.
inline QMap<QString, QString> shownValues(QWidget* sheet)
{
    QMap<QString, QString> out;
    for (QAbstractButton* b : sheet->findChildren<QAbstractButton*>())
        out[b->objectName()] = b->isChecked() ? "1" : "0";
    for (QLineEdit* e : sheet->findChildren<QLineEdit*>())
        out[e->objectName()] = e->text();
    for (QComboBox* c : sheet->findChildren<QComboBox*>())
        out[c->objectName()] = QString::number(c->currentIndex());
    return out;
}

} // namespace outerpage
