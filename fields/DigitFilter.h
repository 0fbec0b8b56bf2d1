// The filter of the decimal number fields: "0" to "9" only, so a field never
// holds a sign, a blank or a separator.
#pragma once

#include "KeystrokeFilter.h"

class DigitFilter : public KeystrokeFilter {
    Q_OBJECT
public:
    explicit DigitFilter(QObject* parent = nullptr) : KeystrokeFilter(parent) {}
    QChar admit(QChar c) const override;
};
