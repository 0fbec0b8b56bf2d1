#include "LinkChoice.h"

#include "PortName.h"
#include "Reader.h"

#include <QStringList>

PortChoice portChoice(const QString& portItem, const QString& ipAddressText)
{
    if (portItem == QLatin1String("TCP/IP"))
        return {READER_PORT_TCP, ipAddressText.toLocal8Bit()};
    if (const auto name = ports::portName(portItem.toStdString()); name && name->kind == READER_PORT_USB)
        return {READER_PORT_USB, std::nullopt};
    return {READER_PORT_SERIAL, portItem.toLocal8Bit()};
}

uint8_t stationNumber(std::optional<int> stationItem)
{
    if (stationItem && *stationItem >= 1 && *stationItem <= 10)
        return static_cast<uint8_t>(*stationItem);
    return READER_STATION_ANY;
}

QString versionLine(const QString& prefix, const std::array<uint8_t, 4>& version)
{
    QStringList parts;
    for (uint8_t part : version)
        parts << QString::number(part);
    return prefix + parts.join(u'.') + QStringLiteral(" !");
}
