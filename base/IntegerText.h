// Turning a field's text into a number, the one way every routine does it.
#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// Thrown when a routine needs a whole number and the field holds something else.
// Carries the offending text for the error box.
struct ConversionError {
    QString text;
};

// A signed 32-bit decimal number, or nothing when the text is empty, holds any
// other character or does not fit.
std::optional<qint32> parseInteger(const QString& text);

// The same, throwing ConversionError when the text is not a number.
qint32 toInteger(const QString& text);
