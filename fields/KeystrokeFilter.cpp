#include "KeystrokeFilter.h"

#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

QString KeystrokeFilter::filtered(const QString& text) const
{
    QString kept;
    kept.reserve(text.size());
    for (QChar c : text) {
        const QChar admitted = admit(c);
        if (!admitted.isNull())
            kept.append(admitted);
    }
    return kept;
}

QValidator::State KeystrokeFilter::validate(QString& input, int& pos) const
{
    // The cursor moves back by the number of characters dropped before it.
    const qsizetype cursor = std::clamp<qsizetype>(pos, 0, input.size());
    const QString before = filtered(input.left(cursor));
    const QString after = filtered(input.mid(cursor));
    input = before + after;
    pos = int(before.size());
    return Acceptable;
}

void KeystrokeFilter::installOn(QLineEdit* field)
{
    setParent(field);
    field->setValidator(this);
    field->installEventFilter(this);
}

bool KeystrokeFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QValidator::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    // Only printable input is judged here: editing keys, Enter and shortcuts
    // (whose text is a control character) keep their usual meaning.
    if (text.isEmpty() || (key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)))
        return false;
    for (QChar c : text)
        if (!c.isPrint() || !admit(c).isNull())
            return false;
    return true;
}
