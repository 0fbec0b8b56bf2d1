#include "TabOrder.h"

#include <QList>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>

QTabWidget* tabControlOf(const QWidget* sheet)
{
    // A tab control keeps its sheets in a stacked widget of its own.
    QWidget* stack = sheet->parentWidget();
    return stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
}

void tabIntoSheetFromItsTabs(QWidget* sheet)
{
    QTabWidget* tabs = tabControlOf(sheet);
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
