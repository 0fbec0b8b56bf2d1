// The test double as the page tests see it: its calls in the short forms the
// tests compare, and bytes put into its memory.
#pragma once

#include "FakeReader.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <string>

namespace fakecalls {

// A write as the tests spell it: the address, then the bytes as upper-case hex
// pairs ("153:0A", "72:0D0A").
inline QString write(int address, const QByteArray& bytes)
{
    return QStringLiteral("%1:%2").arg(address).arg(QString::fromLatin1(bytes.toHex().toUpper()));
}

inline QString write(int address, int byte)
{
    return write(address, QByteArray(1, char(byte)));
}

inline QString write(const fake::Call& call)
{
    return write(call.args.at(0), QByteArray(reinterpret_cast<const char*>(call.bytes.data()), qsizetype(call.bytes.size())));
}

// Each SetParameter as "address:HEX", in call order.
inline QStringList writes()
{
    QStringList out;
    for (const auto& call : fake::callsOf("SetParameter"))
        out << write(call);
    return out;
}

// The addresses GetParameter was called with, in order.
inline QList<int> reads()
{
    QList<int> out;
    for (const auto& call : fake::callsOf("GetParameter"))
        out << call.args.at(0);
    return out;
}

// Every call in order: a SetParameter as "address:HEX", a GetParameter as its
// address, SetOLEnable as "OL:flag", any other call by its name.
inline QStringList sequence()
{
    QStringList out;
    for (const auto& call : fake::callsOf()) {
        if (call.function == "SetParameter")
            out << write(call);
        else if (call.function == "GetParameter")
            out << QString::number(call.args.at(0));
        else if (call.function == "SetOLEnable")
            out << QStringLiteral("OL:%1").arg(call.args.at(0));
        else
            out << QString::fromStdString(call.function);
    }
    return out;
}

// How many calls were made to function, or to any function when it is empty.
inline int count(const std::string& function = {})
{
    return int(fake::callsOf(function).size());
}

// Puts bytes into the reader's memory from address on.
inline void putMemory(int address, const QByteArray& bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i)
        fake::reader().memory[std::size_t(address + i)] = uint8_t(bytes[i]);
}

// Puts "address:HEX" pairs, separated by spaces, into the reader's memory.
inline void putMemory(const QString& pairs)
{
    for (const QString& pair : pairs.split(u' ', Qt::SkipEmptyParts))
        putMemory(pair.section(u':', 0, 0).toInt(), QByteArray::fromHex(pair.section(u':', 1).toLatin1()));
}

} // namespace fakecalls
