// The filter of the hexadecimal code fields: "0" to "9" and "A" to "F", with
// "a" to "f" taken as their capitals, so the field shows the bytes the way the
// reader's values are shown everywhere (upper-case pairs).
#pragma once

#include "KeystrokeFilter.h"

class HexFilter : public KeystrokeFilter {
    Q_OBJECT
public:
    explicit HexFilter(QObject* parent = nullptr) : KeystrokeFilter(parent) {}
    QChar admit(QChar c) const override;
};
