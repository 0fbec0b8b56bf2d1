#include "RangeRule.h"

#include "IntegerText.h"

#include <QLineEdit>

std::optional<QString> rangeReplacement(const QString& text, const RangeLimits& limits)
{
    const std::optional<qint32> value = parseInteger(text);
    if (!value) {
        if (limits.notANumberText)
            return QString::fromLatin1(limits.notANumberText);
        return std::nullopt;
    }
    // No lower limit: the digit filter keeps signs out of the field.
    if (*value > limits.upperLimit)
        return limits.outOfRangeText ? QString::fromLatin1(limits.outOfRangeText) : QString::number(limits.upperLimit);
    return std::nullopt;
}

namespace {
void enforce(QLineEdit* field, const RangeLimits& limits)
{
    if (std::optional<QString> replacement = rangeReplacement(field->text(), limits))
        field->setText(*replacement); // emits textChanged again: the new text passes the rule
}
} // namespace

void attachRangeRule(QLineEdit* field, const RangeLimits& limits)
{
    QObject::connect(field, &QLineEdit::textChanged, field, [field, limits] { enforce(field, limits); });
    enforce(field, limits);
}
