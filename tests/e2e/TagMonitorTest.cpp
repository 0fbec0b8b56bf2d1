// The Tag Monitor end to end: readersim reads a tag field in timing mode and,
// in client mode, sends its frames to the monitor, all of it set up through
// the window's pages and "Setup Para" as an operator would, then "Update
// Reader" to start the reading again. The monitor shows each tag readersim was
// given, and nothing else; with the Frame Format page switched to ASCII
// after the reader was set to HEX, it shows no read and counts the bytes.
#include "TestClasses.h"
#include "MonitorProbe.h"
#include "SimArguments.h"
#include "SimProcess.h"
#include "TagReadingSetup.h"

#include "ErrorBox.h"
#include "MainWindow.h"

#include <QTemporaryDir>
#include <QTest>

using namespace formtest;
using namespace monitortest;
using namespace tagreading;

namespace tagmonitore2e {

const QStringList tagIds{"E2006816123456789ABCDEF0", "E2006816123456789ABCDEF1", "E2006816123456789ABCDEF2"};

} // namespace tagmonitore2e

using namespace tagmonitore2e;

class TagMonitorTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setErrorBoxSinkForTesting([](const QString& text) { QFAIL(qPrintable("error box: " + text)); }); }
    void readersimTagsShown_data();
    void readersimTagsShown();
};

void TagMonitorTest::readersimTagsShown_data()
{
    QTest::addColumn<bool>("pageToAscii");   // the page switched to ASCII after "Setup Para" wrote HEX
    QTest::newRow("the page's format: every tag readersim was given") << false;
    QTest::newRow("the page at ASCII, the reader at HEX: no read, bytes that made no frame") << true;
}

void TagMonitorTest::readersimTagsShown()
{
    QFETCH(bool, pageToAscii);

    QTemporaryDir folder;
    const QString tagFile = folder.filePath(QStringLiteral("tags.txt"));
    QFile file(tagFile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    for (const QString& id : tagIds)
        file.write((id + QStringLiteral(" * 20\n")).toLatin1());
    file.close();
    SimProcess sim(simArguments({QStringLiteral("--tags"), tagFile}));
    qputenv("READER_TCP_PORT", QByteArray::number(sim.tcpPort()));

    MainWindow form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    choose(&form, "ComboBox1", QStringLiteral("TCP/IP"));
    setText(&form, "Edit71", QStringLiteral("127.0.0.1"));
    click(&form, "Button1");
    QVERIFY(child(&form, "BitBtn4")->isEnabled());

    setUpReading(&form);
    if (pageToAscii)
        setChecked(&form, "RadioButton10");
    const uint16_t monitorPort = freePort();
    showServerPort(&form, monitorPort);

    // The monitor listens before the reader is told to connect, which it then does at once.
    TagMonitorWindow* monitor = pressCtrlT(&form);
    monitor->start();
    QVERIFY2(monitor->running(), qPrintable(monitorMessages(monitor).join(" | ")));
    QVERIFY(sendToServer(&form, form.readerHandle(), monitorPort));
    const QStringList log = logMessages(&form);
    QVERIFY2(!log.join(u'\n').contains(QLatin1String("Failed")), qPrintable(log.join(" | ")));
    click(&form, "Button3");   // "Update Reader": the reset starts reading again

    if (pageToAscii) {
        // Three HEX frames' worth that made no frame.
        QTRY_VERIFY_WITH_TIMEOUT(panelText(monitor, "StrayCountPanel").section(u' ', -1).toInt() >= 48, 10000);
        QCOMPARE(panelText(monitor, "TotalReadsPanel"), QStringLiteral("Reads: 0"));
        QCOMPARE(shownTags(monitor), QStringList());
        return;
    }
    QTRY_COMPARE_WITH_TIMEOUT(shownTags(monitor).size(), tagIds.size(), 10000);
    QStringList shownIds;
    for (const QString& row : shownTags(monitor)) {
        shownIds << row.section(u' ', 0, 0);
        QCOMPARE(row.section(u' ', 1, 1), QStringLiteral("0"));   // the Communication Port page's reader number
    }
    shownIds.sort();
    QCOMPARE(shownIds, tagIds);
    QCOMPARE(panelText(monitor, "StrayCountPanel"), QStringLiteral("Bytes that made no frame: 0"));
    QVERIFY2(monitorMessages(monitor).join(u'\n').contains(QLatin1String("A reader at 127.0.0.1:")),
             qPrintable(monitorMessages(monitor).join(" | ")));
}

TEST_CLASS(TagMonitorTest)
#include "TagMonitorTest.moc"
