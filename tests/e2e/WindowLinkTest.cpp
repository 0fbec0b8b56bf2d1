// The window over the real device library, talking to readersim: connect,
// version lines, status bar, then "Disconnect" or "Update Reader".
#include "TestClasses.h"
#include "SimArguments.h"
#include "SimProcess.h"
#include "WindowProbe.h"
#include "ErrorBox.h"
#include "MainWindow.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>

using namespace formtest;

class WindowLinkTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void connectAndClose_data();
    void connectAndClose();
};

void WindowLinkTest::initTestCase()
{
    setErrorBoxSinkForTesting([](const QString& text) { QFAIL(qPrintable("error box: " + text)); });
}

void WindowLinkTest::connectAndClose_data()
{
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("closeButton");   // "Button2" Disconnect, "Button3" Update Reader
    QTest::addColumn<bool>("answers");

    QTest::newRow("TCP/IP, Disconnect") << QStringList{} << "TCP/IP" << "Button2" << true;
    QTest::newRow("TCP/IP, Update Reader") << QStringList{} << "TCP/IP" << "Button3" << true;
    QTest::newRow("COM1 over the pseudo-terminal, Update Reader") << QStringList{} << "COM1" << "Button3" << true;
    QTest::newRow("TCP/IP, silent reader") << QStringList{"--silent"} << "TCP/IP" << "" << false;
}

void WindowLinkTest::connectAndClose()
{
    QFETCH(QStringList, simArgs);
    QFETCH(QString, port);
    QFETCH(QString, closeButton);
    QFETCH(bool, answers);

    SimProcess sim(simArguments(simArgs));
    qputenv("READER_TCP_PORT", QByteArray::number(sim.tcpPort()));
    qputenv("READER_COM1", QByteArray::fromStdString(sim.ptyPath()));

    MainWindow form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    choose(&form, "ComboBox1", port);
    child<QLineEdit>(&form, "Edit71")->setText(QStringLiteral("127.0.0.1"));

    click(&form, "Button1");

    if (!answers) {
        QCOMPARE(logMessages(&form), (QStringList{"Program Running !", "Open Reader Failed !"}));
        QCOMPARE(panel(&form, 0), port + ":Close");
        QCOMPARE(panel(&form, 1), QStringLiteral("Communication Invalid"));
        QVERIFY(child(&form, "Button1")->isEnabled());
        return;
    }

    const QStringList afterConnect = logMessages(&form);
    QVERIFY2(afterConnect.size() >= 4, qPrintable(afterConnect.join(" | ")));
    QCOMPARE(afterConnect.mid(0, 3),
             (QStringList{"Program Running !", "Open Reader Successfully !", "Reader Firmware Version is V 1.4.0.6 !"}));
    QVERIFY2(QRegularExpression(QStringLiteral("^Reader SDK Version is V \\d+\\.\\d+\\.\\d+\\.\\d+ !$")).match(afterConnect[3]).hasMatch(),
             qPrintable(afterConnect[3]));
    QVERIFY2(afterConnect[3] != QLatin1String("Reader SDK Version is V 0.0.0.0 !"), "the library reports its version");
    QVERIFY2(!afterConnect.join(u'\n').contains(QLatin1String("Failed")), qPrintable(afterConnect.join(" | ")));
    QCOMPARE(panel(&form, 0), port + ":Open");
    QCOMPARE(panel(&form, 1), QStringLiteral("Communication Valid"));
    QVERIFY(!child(&form, "Button1")->isEnabled());
    QVERIFY(child(&form, "Button2")->isEnabled());
    QVERIFY(form.readerHandle() != 0);

    click(&form, qPrintable(closeButton));

    QCOMPARE(panel(&form, 0), port + ":Close");
    QCOMPARE(panel(&form, 1), QString());
    QVERIFY(child(&form, "Button1")->isEnabled());
    QVERIFY(!child(&form, "Button2")->isEnabled());
    if (closeButton == QLatin1String("Button3"))
        QCOMPARE(logMessages(&form).last(), QStringLiteral("Update Reader Parameter Successfully !"));
    else
        QCOMPARE(logMessages(&form), afterConnect);
}

TEST_CLASS(WindowLinkTest)
#include "WindowLinkTest.moc"
