// How the "Communication Settings" choices turn into library arguments: the
// port kind and text for OpenReader, the station number for SelectStation.
#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

struct PortChoice {
    uint8_t kind = 0;                // READER_PORT_SERIAL, READER_PORT_TCP or READER_PORT_USB
    std::optional<QByteArray> text;  // the port text; none for USB (OpenReader gets NULL)
};

// From the selected port item ("TCP/IP", "USB", "COM1".."COM8") and the IP
// address field. The address goes to the library exactly as typed ("192.168.1.200"
// or "192.168.1.200:5000"): the library judges it.
PortChoice portChoice(const QString& portItem, const QString& ipAddressText);

// The station item index (0 "Arbitrary", 1..10 "Station 1".."Station 10"), or
// none when the operator has typed into the box: gives 1..10 or 255 (any station).
uint8_t stationNumber(std::optional<int> stationItem);

// "Reader Firmware Version is V " + "1.2.0.3" + " !": the four bytes as
// unsigned decimals in buffer order.
QString versionLine(const QString& prefix, const std::array<uint8_t, 4>& version);
