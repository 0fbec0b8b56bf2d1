#include "HexFilter.h"

QChar HexFilter::admit(QChar c) const
{
    if ((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F'))
        return c;
    if (c >= u'a' && c <= u'f')
        return QChar(c.unicode() - u'a' + u'A');
    return QChar();
}
