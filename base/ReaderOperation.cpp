#include "ReaderOperation.h"

#include "ErrorBox.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>

namespace {

// Thrown between two calls once the operation is to end for a quit.
struct OperationEnded {};

struct Operation {
    QWidget* window = nullptr;
    std::function<void()> finish;   // what waits for the operation's end
};

Operation* running = nullptr;
QPointer<QWidget> inputTaker;

bool isOperatorInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

// Holds back the operator's input to the window, "Quit" excepted, and every
// keyboard shortcut.
class InputHold : public QObject {
public:
    explicit InputHold(QWidget* window) : window_(window) { QCoreApplication::instance()->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Shortcut)
            return true;
        if (!isOperatorInput(event->type()) || !watched->isWidgetType())
            return false;
        auto* widget = static_cast<QWidget*>(watched);
        if (widget->window() != window_ || (inputTaker && (widget == inputTaker || inputTaker->isAncestorOf(widget))))
            return false;
        if (event->type() == QEvent::ShortcutOverride)
            event->accept();   // the key is the widget's: no shortcut fires
        return true;
    }

private:
    QWidget* window_;
};

// The busy cursor, the held input and the running operation, for as long as it runs.
class OperationScope {
public:
    explicit OperationScope(Operation* operation) : hold_(operation->window)
    {
        running = operation;
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
    ~OperationScope()
    {
        QGuiApplication::restoreOverrideCursor();
        running = nullptr;
    }
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;

private:
    InputHold hold_;
};

} // namespace

void runReaderOperation(QWidget* window, const std::function<void()>& operation)
{
    if (running)
        return;
    Operation current{window->window(), {}};
    runGuarded(window, [&] {
        OperationScope scope(&current);
        try {
            operation();
        } catch (const OperationEnded&) {
        }
    });
    if (current.finish)
        current.finish();
}

void betweenReaderCalls()
{
    if (!running)
        return;
    // Input to the window is held: a click here starts nothing, "Quit" asks for the end.
    QCoreApplication::processEvents();
    if (running->finish)
        throw OperationEnded{};
}

bool afterReaderOperation(std::function<void()> finish)
{
    if (!running)
        return false;
    if (!running->finish)
        running->finish = std::move(finish);
    return true;
}

void takeInputWhileBusy(QWidget* control)
{
    inputTaker = control;
}
