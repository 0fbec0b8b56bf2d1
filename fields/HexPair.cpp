#include "HexPair.h"

std::optional<uint8_t> hexDigitValue(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return uint8_t(c.unicode() - u'0');
    if (c >= u'A' && c <= u'F')
        return uint8_t(c.unicode() - u'A' + 10);
    if (c >= u'a' && c <= u'f')
        return uint8_t(c.unicode() - u'a' + 10);
    return std::nullopt;
}

std::optional<uint8_t> hexPairToByte(const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    const std::optional<uint8_t> high = hexDigitValue(text.at(0));
    if (!high)
        return std::nullopt;
    if (text.size() == 1)
        return high;
    const std::optional<uint8_t> low = hexDigitValue(text.at(1));
    if (!low)
        return std::nullopt;
    return uint8_t(*high * 16 + *low);
}
