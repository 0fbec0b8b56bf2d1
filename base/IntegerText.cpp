#include "IntegerText.h"

std::optional<qint32> parseInteger(const QString& text)
{
    // Optional sign, then decimal digits only: no blanks, no hex, no thousands separators.
    static const auto isDigits = [](QStringView digits) {
        if (digits.isEmpty())
            return false;
        for (QChar c : digits)
            if (c < u'0' || c > u'9')
                return false;
        return true;
    };
    QStringView view(text);
    if (!view.isEmpty() && (view.front() == u'-' || view.front() == u'+')) {
        if (!isDigits(view.mid(1)))
            return std::nullopt;
    } else if (!isDigits(view)) {
        return std::nullopt;
    }
    bool ok = false;
    const qint32 value = text.toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

qint32 toInteger(const QString& text)
{
    if (auto value = parseInteger(text))
        return *value;
    throw ConversionError{text};
}
