#include "HeldKeys.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {

// The keys that press the button with the focus.
bool pressesButton(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space || key == Qt::Key_Select;
}

class HeldKeyFilter : public QObject {
public:
    explicit HeldKeyFilter(QWidget* window) : QObject(window), window_(window)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const bool shortcutCheck = event->type() == QEvent::ShortcutOverride;
        if ((!shortcutCheck && event->type() != QEvent::KeyPress) || !watched->isWidgetType())
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const auto* widget = static_cast<QWidget*>(watched);
        if (!key->isAutoRepeat() || widget->window() != window_)
            return false;
        if (shortcutCheck) {
            // The repeat is the focus widget's key: no shortcut fires.
            event->accept();
            return true;
        }
        return qobject_cast<const QAbstractButton*>(widget) && pressesButton(key->key());
    }

private:
    QWidget* window_;
};

} // namespace

void ignoreHeldKeys(QWidget* window)
{
    new HeldKeyFilter(window);
}
