// "tagdesk --check-link": "Connect" with the window's defaults, the log on the
// given stream, and an exit status that tells an opened link from a failed one.
#include "TestClasses.h"
#include "FormFixture.h"

#include "LinkCheck.h"
#include "Reader.h"

#include <QTextStream>

using namespace formtest;

class LinkCheckTest : public QObject {
    Q_OBJECT
private slots:
    void outcome_data()
    {
        QTest::addColumn<QString>("failingFunction");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("exitStatus");
        QTest::addColumn<QString>("logLine");
        QTest::newRow("reader answers") << QString() << 0 << 0 << QStringLiteral("Open Reader Successfully !");
        QTest::newRow("port may not be opened") << QStringLiteral("OpenReader") << int(READER_ACCESS_DENIED) << 1 << QStringLiteral("Open Reader Failed !");
        QTest::newRow("reader silent") << QStringLiteral("StopRFwork") << int(READER_TIMEOUT) << 1 << QStringLiteral("Open Reader Failed !");
    }

    void outcome()
    {
        QFETCH(QString, failingFunction);
        QFETCH(int, status);
        QFETCH(int, exitStatus);
        QFETCH(QString, logLine);
        auto form = showForm();
        if (!failingFunction.isEmpty())
            fake::failNext(failingFunction.toStdString(), static_cast<uint16_t>(status));

        QString printed;
        QTextStream out(&printed);
        QCOMPARE(checkLink(*form, out), exitStatus);
        out.flush();

        QVERIFY2(printed.contains(logLine), qPrintable(printed));
        const auto opens = fake::callsOf("OpenReader");
        QCOMPARE(opens.size(), std::size_t{1});
        QCOMPARE(opens.front().text.value_or(""), std::string("COM1"));
        if (exitStatus == 0)
            QVERIFY2(printed.contains(QStringLiteral("Reader Firmware Version is V 1.2.0.3")), qPrintable(printed));
    }
};

TEST_CLASS(LinkCheckTest)
#include "LinkCheckTest.moc"
