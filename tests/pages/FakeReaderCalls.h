// The test double's calls in the short forms the page tests compare.
#pragma once

#include "FakeReader.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace outerpage {

// Each SetParameter as "address:bytes", the bytes as upper-case hex pairs, in call order.
inline QStringList writes()
{
    QStringList out;
    for (const auto& call : fake::callsOf("SetParameter")) {
        QString bytes;
        for (uint8_t b : call.bytes)
            bytes += QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
        out << QStringLiteral("%1:%2").arg(call.args.at(0)).arg(bytes);
    }
    return out;
}

// The addresses GetParameter was called with, in order.
inline QList<int> readAddresses()
{
    QList<int> out;
    for (const auto& call : fake::callsOf("GetParameter"))
        out << call.args.at(0);
    return out;
}

} // namespace outerpage
