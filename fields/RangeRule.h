// The change rule of a number field: whenever the text changes (typed, pasted,
// or set by a routine) a value above the field's upper limit is replaced by the
// field's out-of-range text, and a text that is not a number by its
// not-a-number text where it has one. The replacement is itself a change and
// passes the rule again, so the texts must be numbers within the limit.
#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

class QLineEdit;

struct RangeLimits {
    qint32 upperLimit;
    // nullptr: the upper limit itself.
    const char* outOfRangeText;
    // nullptr: a text that is not a number stays, and the routine reading the
    // field stops at it with the error box.
    const char* notANumberText;
};

// The text that replaces text under limits, or nothing when text may stay.
std::optional<QString> rangeReplacement(const QString& text, const RangeLimits& limits);

// Runs the rule on every change of field's text, and once now on its current text.
void attachRangeRule(QLineEdit* field, const RangeLimits& limits);
