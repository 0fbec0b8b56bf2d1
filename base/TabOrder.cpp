#include "TabOrder.h"

#include <QList>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>

void tabIntoSheetFromItsTabs(QWidget* sheet)
{
    // A tab control keeps its sheets in a stacked widget of its own.
    QWidget* stack = sheet->parentWidget();
    auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    if (!tabs)
        return;
    QList<QWidget*> controls;
    for (QWidget* w = sheet->nextInFocusChain(); w != sheet; w = w->nextInFocusChain())
        if (w->focusPolicy() != Qt::NoFocus && sheet->isAncestorOf(w))
            controls.append(w);
    QWidget* previous = tabs->tabBar();
    for (QWidget* control : controls) {
        QWidget::setTabOrder(previous, control);
        previous = control;
    }
}
