#include "DigitFilter.h"

QChar DigitFilter::admit(QChar c) const
{
    return (c >= u'0' && c <= u'9') ? c : QChar();
}
