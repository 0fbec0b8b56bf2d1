#include "StartFrequencyRule.h"

#include "ErrorBox.h"
#include "IntegerText.h"

#include <QFocusEvent>
#include <QLineEdit>

void StartFrequencyRule::installOn(QLineEdit* field)
{
    field->installEventFilter(new StartFrequencyRule(field));
}

void StartFrequencyRule::check(QLineEdit* field)
{
    const QString text = field->text();
    const std::optional<qint32> value = parseInteger(text);
    if (!value) {
        showErrorBox(field->window(), conversionErrorMessage(ConversionError{text}));
        return;
    }
    if (*value < startFrequency::lowest || *value > startFrequency::highest)
        field->setText(QString::fromLatin1(startFrequency::fallbackText));
}

bool StartFrequencyRule::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        // The operator leaves the field for another control. Switching to
        // another window or opening the field's context menu is not leaving it;
        // reacting to those would also show the box again whenever a box
        // takes the focus.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            check(static_cast<QLineEdit*>(watched));
    }
    return QObject::eventFilter(watched, event);
}
