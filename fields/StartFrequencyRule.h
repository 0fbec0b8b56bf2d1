// The rule of the start frequency field (units of 10 kHz): when the operator
// leaves the field, a number outside 86000 to 96000 (860 to 960 MHz) is put
// back to 92000, and a text that is not a number is reported with the error
// box and left for the operator to mend.
#pragma once

#include "ParaTable.h"

#include <QObject>
#include <QtGlobal>

class QLineEdit;

namespace startFrequency {
// The range the reader keeps (ParaTable.h), and what a number outside it becomes.
inline constexpr const Para& para = paraNamed(Page::Frequency, "start_frequency");
constexpr qint32 lowest = para.min;
constexpr qint32 highest = para.max;
constexpr const char* fallbackText = "92000";
} // namespace startFrequency

class StartFrequencyRule : public QObject {
    Q_OBJECT
public:
    // Watches field (which becomes the parent) for the loss of the focus.
    static void installOn(QLineEdit* field);

    // Applies the rule to field's text now.
    static void check(QLineEdit* field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit StartFrequencyRule(QObject* parent) : QObject(parent) {}
};
