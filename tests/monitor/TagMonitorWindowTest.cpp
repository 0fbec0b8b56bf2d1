// The Tag Monitor on its own, fed over loopback: as the server readers in
// client mode connect to (several at once, frames in odd pieces, garbage, a
// frame cut by the connection's end) and as the client of a reader's own port;
// every way a start is refused but those of the pages (tests/app); a full table; Clear and Save as CSV.
#include "TestClasses.h"
#include "MonitorProbe.h"

#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

using namespace monitortest;

namespace monitorwindowtest {

// What the main window would give the monitor, as a test sets it.
struct Pages {
    Converted<tagframe::FormatBytes> format = Converted<tagframe::FormatBytes>::ok(hexFormat());
    Converted<uint16_t> serverPort = Converted<uint16_t>::ok(freePort());
    std::optional<QString> link;

    TagMonitorSources sources()
    {
        return {[this] { return format; }, [this] { return serverPort; }, [this] { return link; }};
    }
};

const QByteArray tagA = "E2006816123456789ABCDEF0";
const QByteArray tagB = "E2006816123456789ABCDEF1";

// Writes data to socket in pieces of piece bytes, each given its own moment.
void sendInPieces(QTcpSocket& socket, const QByteArray& data, int piece)
{
    for (int at = 0; at < data.size(); at += piece) {
        socket.write(data.mid(at, piece));
        socket.flush();
        QTest::qWait(1);
    }
}

// Starts monitor as the server on the pages' port, and connects reader to it.
bool listenWithReader(const Pages& pages, TagMonitorWindow& monitor, QTcpSocket& reader)
{
    monitor.start();
    reader.connectToHost(QHostAddress::LocalHost, pages.serverPort.result.value());
    return reader.waitForConnected(3000);
}

QString withPort(QString text, uint16_t port)
{
    return text.replace(QStringLiteral("PORT"), QString::number(port));
}

} // namespace monitorwindowtest

using namespace monitorwindowtest;

class TagMonitorWindowTest : public QObject {
    Q_OBJECT
private slots:
    void receives_data();
    void receives();
    void refuses_data();
    void refuses();
    void fullTable();
    void clearAndSaveAsCsv();
};

void TagMonitorWindowTest::receives_data()
{
    QTest::addColumn<bool>("fromReaderPort");       // else: readers in client mode connect to the monitor
    QTest::addColumn<bool>("ascii");                // the page's format: example 2, else example 1
    QTest::addColumn<QList<QByteArray>>("streams"); // a connection each, closed once sent
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<int>("stray");
    QTest::addColumn<QString>("sample");

    const QByteArray a1 = hexFrame(1, tagA), b1 = hexFrame(1, tagB);
    QTest::newRow("two readers at once, frames in 5-byte pieces")
        << false << false << QList<QByteArray>{a1 + b1 + a1, hexFrame(2, tagA)}
        << QStringList{"E2006816123456789ABCDEF0 1 2", "E2006816123456789ABCDEF1 1 1", "E2006816123456789ABCDEF0 2 1"} << 0
        << "";
    QTest::newRow("garbage before a frame and a frame cut by the connection's end make no frame")
        << false << false << QList<QByteArray>{"xyz" + a1 + b1.left(7)} << QStringList{"E2006816123456789ABCDEF0 1 1"}
        << 10 << R"(xyz\x02\x01\xE2\x00h\x16\x12)";
    QTest::newRow("the reader's own port") << true << false << QList<QByteArray>{a1 + a1 + a1}
                                           << QStringList{"E2006816123456789ABCDEF0 1 3"} << 0 << "";
    QTest::newRow("ASCII frames by an ASCII format: the ID window as it cuts it")
        << false << true << QList<QByteArray>{asciiFrame(10, tagA)} << QStringList{"6816123456789ABC 10 1"} << 0 << "";
    QTest::newRow("HEX frames by an ASCII format: no read, every byte made no frame")
        << false << true << QList<QByteArray>{a1 + b1} << QStringList{} << 32 << "*";
}

void TagMonitorWindowTest::receives()
{
    QFETCH(bool, fromReaderPort);
    QFETCH(bool, ascii);
    QFETCH(QList<QByteArray>, streams);
    QFETCH(QStringList, rows);
    QFETCH(int, stray);
    QFETCH(QString, sample);

    Pages pages;
    pages.format = Converted<tagframe::FormatBytes>::ok(ascii ? asciiFormat() : hexFormat());
    QTcpServer reader;   // the reader's own port, for the monitor to connect to
    QVERIFY(reader.listen(QHostAddress::LocalHost, 0));
    TagMonitorWindow monitor(pages.sources(), QStringLiteral("127.0.0.1:%1").arg(reader.serverPort()));
    monitor.show();
    if (fromReaderPort)
        monitor.findChild<QRadioButton*>(QStringLiteral("ReaderRadio"))->setChecked(true);
    QTest::mouseClick(monitor.findChild<QPushButton*>(QStringLiteral("StartButton")), Qt::LeftButton);
    QVERIFY2(monitor.running(), qPrintable(monitorMessages(&monitor).join(" | ")));

    std::vector<std::unique_ptr<QTcpSocket>> sockets;
    for (const QByteArray& stream : streams) {
        if (fromReaderPort) {
            QVERIFY(reader.waitForNewConnection(3000));
            sockets.emplace_back(reader.nextPendingConnection());
        } else {
            sockets.push_back(std::make_unique<QTcpSocket>());
            sockets.back()->connectToHost(QHostAddress::LocalHost, pages.serverPort.result.value());
            QVERIFY(sockets.back()->waitForConnected(3000));
        }
        sendInPieces(*sockets.back(), stream, 5);
    }
    for (auto& socket : sockets)
        socket->disconnectFromHost();

    QTRY_COMPARE(panelText(&monitor, "StrayCountPanel"), QStringLiteral("Bytes that made no frame: %1").arg(stray));
    QTRY_COMPARE(shownTags(&monitor), rows);
    qulonglong reads = 0;
    for (const QString& row : rows)
        reads += row.section(u' ', 2).toULongLong();
    QCOMPARE(panelText(&monitor, "TotalReadsPanel"), QStringLiteral("Reads: %1").arg(reads));
    if (!fromReaderPort) {
        const QRegularExpression left(QStringLiteral(R"(^The reader at 127\.0\.0\.1:\d+ left\.$)"));
        QTRY_COMPARE(monitorMessages(&monitor).filter(left).size(), streams.size());
    }
    if (sample != QLatin1String("*"))
        QCOMPARE(monitor.findChild<QPlainTextEdit*>(QStringLiteral("StraySampleText"))->toPlainText(), sample);
}

void TagMonitorWindowTest::refuses_data()
{
    // PORT stands for a port nothing else uses; "link" is the main window's link, if open.
    QTest::addColumn<bool>("fromReaderPort");
    QTest::addColumn<int>("serverPort");        // -1: PORT
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("portTaken");
    QTest::addColumn<QString>("line");          // the last message
    QTest::addColumn<bool>("runs");

    QTest::newRow("server port 0") << false << 0 << "" << "" << false
                                   << "Cannot start: the Communication Port page's server port is 0, on which no reader connects."
                                   << false;
    QTest::newRow("the link holds the port to listen on")
        << false << -1 << "127.0.0.1:PORT" << "" << false
        << "Cannot start: the main window's link is open on 127.0.0.1:PORT, the port the Tag Monitor would use. "
           "Press \"Disconnect\" there first, or receive on another port."
        << false;
    QTest::newRow("the link holds the reader's port, named by the library's default port")
        << true << -1 << "127.0.0.1" << "127.0.0.1:PORT" << false
        << "Cannot start: the main window's link is open on 127.0.0.1:PORT, the port the Tag Monitor would use. "
           "Press \"Disconnect\" there first, or receive on another port."
        << false;
    QTest::newRow("a link to another reader does not hold the port to listen on")
        << false << -1 << "192.0.2.7:PORT" << "" << false
        << "Listening on port PORT for readers in client mode; frames as the Frame Format page sets them: "
           "HEX code, 16 bytes a frame: preamble 02, reader number, ID bytes 0 to 11, end code 0D 0A."
        << true;
    QTest::newRow("a port another program listens on") << false << -1 << "" << "" << true
                                                        << "Cannot listen on port PORT: The bound address is already in use."
                                                        << false;
    QTest::newRow("no address") << true << -1 << "" << "reader.local" << false
                                << "Cannot start: \"reader.local\" is no reader address; type one as 192.168.1.200 "
                                   "or 192.168.1.200:4001."
                                << false;
    QTest::newRow("nobody at the reader's port") << true << -1 << "" << "127.0.0.1:PORT" << false
                                                 << "The connection to the reader at 127.0.0.1:PORT failed: Connection refused."
                                                 << false;
}

void TagMonitorWindowTest::refuses()
{
    QFETCH(bool, fromReaderPort);
    QFETCH(int, serverPort);
    QFETCH(QString, link);
    QFETCH(QString, address);
    QFETCH(bool, portTaken);
    QFETCH(QString, line);
    QFETCH(bool, runs);

    const uint16_t port = freePort();
    qputenv("READER_TCP_PORT", QByteArray::number(port));
    Pages pages;
    pages.serverPort = Converted<uint16_t>::ok(serverPort < 0 ? port : uint16_t(serverPort));
    if (!link.isEmpty())
        pages.link = withPort(link, port);
    QTcpServer other;
    if (portTaken)
        QVERIFY(other.listen(QHostAddress::AnyIPv4, port));

    TagMonitorWindow monitor(pages.sources(), withPort(address, port));
    monitor.findChild<QRadioButton*>(fromReaderPort ? "ReaderRadio" : "ServerRadio")->setChecked(true);
    monitor.start();
    QTRY_COMPARE(monitorMessages(&monitor).value(monitorMessages(&monitor).size() - 1), withPort(line, port));
    QCOMPARE(monitor.running(), runs);
    QCOMPARE(monitor.findChild<QPushButton*>(QStringLiteral("StartButton"))->isEnabled(), !runs);
    qunsetenv("READER_TCP_PORT");
}

void TagMonitorWindowTest::fullTable()
{
    Pages pages;
    TagMonitorWindow monitor(pages.sources(), QString());
    QTcpSocket reader;
    QVERIFY(listenWithReader(pages, monitor, reader));

    // One tag more than the table lists, and the first once more.
    QByteArray stream;
    const int tags = int(TagMonitorWindow::maxTags) + 1;
    for (int i = 0; i < tags; ++i)
        stream += hexFrame(1, "E200" + QByteArray::number(i, 16).rightJustified(20, '0'));
    stream += hexFrame(1, "E200" + QByteArray(20, '0'));
    reader.write(stream);

    QTRY_COMPARE(panelText(&monitor, "TotalReadsPanel"), QStringLiteral("Reads: %1").arg(tags + 1));
    QTRY_COMPARE(panelText(&monitor, "TagCountPanel"), QStringLiteral("Tags: %1 (full)").arg(TagMonitorWindow::maxTags));
    QCOMPARE(shownTags(&monitor).first(), QStringLiteral("E20000000000000000000000 1 2"));
    const QString fullLine = QStringLiteral("The table holds %1 tags, as many as it lists: reads of further tags count in the total only.")
                                 .arg(TagMonitorWindow::maxTags);
    QCOMPARE(monitorMessages(&monitor).count(fullLine), 1);
}

void TagMonitorWindowTest::clearAndSaveAsCsv()
{
    Pages pages;
    TagMonitorWindow monitor(pages.sources(), QString());
    QTcpSocket reader;
    QVERIFY(listenWithReader(pages, monitor, reader));
    reader.write("??" + hexFrame(1, tagA) + hexFrame(7, tagB) + hexFrame(1, tagA));
    QTRY_COMPARE(shownTags(&monitor).size(), 2);
    QTest::mouseClick(monitor.findChild<QPushButton*>(QStringLiteral("StopButton")), Qt::LeftButton);
    QVERIFY(!monitor.running());

    QTemporaryDir folder;
    monitor.setFileChooser([&] { return folder.filePath(QStringLiteral("tags.csv")); });
    QTest::mouseClick(monitor.findChild<QPushButton*>(QStringLiteral("SaveButton")), Qt::LeftButton);
    QFile saved(folder.filePath(QStringLiteral("tags.csv")));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(saved.readAll()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], QStringLiteral("Tag ID,Reader,Reads,First Seen,Last Seen"));
    const QString time = QStringLiteral(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}(Z|[+-]\d\d:\d\d))");
    QVERIFY2(QRegularExpression(QStringLiteral("^E2006816123456789ABCDEF0,1,2,%1,%1$").arg(time)).match(lines[1]).hasMatch(),
             qPrintable(lines[1]));
    QVERIFY2(QRegularExpression(QStringLiteral("^E2006816123456789ABCDEF1,7,1,%1,%1$").arg(time)).match(lines[2]).hasMatch(),
             qPrintable(lines[2]));
    QCOMPARE(monitorMessages(&monitor).last(), QStringLiteral("Saved 2 tags to %1.").arg(saved.fileName()));

    // A file that cannot be written is a line, and the table stays.
    monitor.saveCsvTo(folder.filePath(QStringLiteral("no/such/folder/tags.csv")));
    QVERIFY2(monitorMessages(&monitor).last().startsWith(QStringLiteral("Cannot save ")), qPrintable(monitorMessages(&monitor).last()));

    QTest::mouseClick(monitor.findChild<QPushButton*>(QStringLiteral("ClearButton")), Qt::LeftButton);
    QCOMPARE(shownTags(&monitor), QStringList());
    QCOMPARE(panelText(&monitor, "TotalReadsPanel"), QStringLiteral("Reads: 0"));
    QCOMPARE(panelText(&monitor, "StrayCountPanel"), QStringLiteral("Bytes that made no frame: 0"));
    QCOMPARE(monitor.findChild<QPlainTextEdit*>(QStringLiteral("StraySampleText"))->toPlainText(), QString());
}

TEST_CLASS(TagMonitorWindowTest)
#include "TagMonitorWindowTest.moc"
