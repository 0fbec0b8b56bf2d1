// What the Tag Monitor's tests send and read: tag frames as docs/tag-output.md
// lays them out for its first two worked examples, and the window's table,
// status panels and messages as the operator reads them; Ctrl+T.
#pragma once

#include "TagFormat.h"
#include "TagMonitorWindow.h"

#include <QAbstractItemModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTcpServer>
#include <QTest>

namespace monitortest {

// Example 1: HEX code, preamble 02, reader number, the whole ID, end code 0D 0A.
inline tagframe::FormatBytes hexFormat()
{
    return {0x00, 0x0C, 0xF0, {0x02, 0xFF, 0xFF, 0xFF}, {0x0D, 0x0A, 0xFF, 0xFF}};
}

// Example 2: ASCII code, eight ID bytes from byte 2, the same codes.
inline tagframe::FormatBytes asciiFormat()
{
    return {0x01, 0x28, 0xF0, {0x02, 0xFF, 0xFF, 0xFF}, {0x0D, 0x0A, 0xFF, 0xFF}};
}

// A frame of example 1 for the 12-byte ID written as 24 hex digits.
inline QByteArray hexFrame(uint8_t reader, const QByteArray& id)
{
    return QByteArray("\x02", 1) + char(reader) + QByteArray::fromHex(id) + "\r\n";
}

// A frame of example 2 for the same.
inline QByteArray asciiFrame(uint8_t reader, const QByteArray& id)
{
    return "\x02" + QByteArray(1, char(reader)).toHex().toUpper() + id.mid(4, 16).toUpper() + "\r\n";
}

// Ctrl+T in the main window: the Tag Monitor it opens.
inline TagMonitorWindow* pressCtrlT(QWidget* form)
{
    form->activateWindow();
    if (!QTest::qWaitForWindowActive(form))
        qWarning("window not active");
    QTest::keyClick(form, Qt::Key_T, Qt::ControlModifier);
    return form->findChild<TagMonitorWindow*>(QStringLiteral("TagMonitorWindow"));
}

// A TCP port nothing listens on just now.
inline uint16_t freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// The table as shown: "ID reader reads" a row.
inline QStringList shownTags(const QWidget* monitor)
{
    const QAbstractItemModel* model = monitor->findChild<QTableView*>(QStringLiteral("TagTable"))->model();
    QStringList rows;
    for (int row = 0; row < model->rowCount(); ++row)
        rows << QStringLiteral("%1 %2 %3").arg(model->index(row, 0).data().toString(), model->index(row, 1).data().toString(),
                                                model->index(row, 2).data().toString());
    return rows;
}

inline QString panelText(const QWidget* monitor, const char* name)
{
    return monitor->findChild<QLabel*>(QLatin1String(name))->text();
}

// The messages without their times.
inline QStringList monitorMessages(const QWidget* monitor)
{
    QStringList lines = monitor->findChild<QPlainTextEdit*>(QStringLiteral("MessageList"))->toPlainText().split(u'\n');
    for (QString& line : lines)
        line = line.section(QStringLiteral("  "), 1);
    lines.removeAll(QString());
    return lines;
}

} // namespace monitortest
