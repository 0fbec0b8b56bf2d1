// The link's life cycle through the "Communication Settings" group: which
// library calls each button makes, with which arguments, and what the log,
// the status bar and the buttons show afterwards.
#include "TestClasses.h"
#include "FormFixture.h"

#include "Reader.h"

#include <QLineEdit>
#include <QPushButton>

using namespace formtest;

namespace {

// One library call as text: "OpenReader(1,COM1)", "CloseReader(7)",
// "OpenReader(3,NULL)", "SelectStation(255)". Parameter reads and writes are
// the pages' affair and are left out.
QStringList linkCalls()
{
    QStringList out;
    for (const fake::Call& call : fake::callsOf()) {
        if (call.function == "GetParameter" || call.function == "SetParameter")
            continue;
        QStringList args;
        if (call.function == "OpenReader") {
            args << QString::number(call.args.at(0))
                 << (call.text ? QStringLiteral("\"%1\"").arg(QString::fromStdString(*call.text)) : QStringLiteral("NULL"));
        } else if (call.function == "SelectStation") {
            args << QString::number(call.args.at(0));
        } else {
            args << QString::number(call.handle);
            for (int arg : call.args)
                args << QString::number(arg);
        }
        out << QStringLiteral("%1(%2)").arg(QString::fromStdString(call.function), args.join(u','));
    }
    return out;
}

// Enabled states of "Connect", "Disconnect", "Update Reader", "Query Para", "Setup Para".
QString linkButtons(QWidget* form)
{
    QString out;
    for (const char* name : {"Button1", "Button2", "Button3", "BitBtn3", "BitBtn4"})
        out += child(form, name)->isEnabled() ? u'1' : u'0';
    return out;
}

const QString kDisconnected = QStringLiteral("10000");
const QString kConnected = QStringLiteral("01111");

void connectOver(QWidget* form, const QString& port)
{
    choose(form, "ComboBox1", port);
    click(form, "Button1");
}

// A window connected over connectPort, then showing portNow, with the calls
// made so far forgotten.
std::unique_ptr<MainWindow> connectedShowing(const QString& connectPort, const QString& portNow)
{
    auto form = showForm();
    connectOver(form.get(), connectPort);
    choose(form.get(), "ComboBox1", portNow);
    fake::reader().calls.clear();
    return form;
}

// The next call of function answers status; 0 leaves it to succeed.
void failNextWith(const char* function, int status)
{
    if (status)
        fake::failNext(function, uint16_t(status));
}

} // namespace

class ConnectionPanelTest : public QObject {
    Q_OBJECT
private slots:
    void connect_data();
    void connect();
    void versionLines_data();
    void versionLines();
    void station_data();
    void station();
    void updateReader_data();
    void updateReader();
    void disconnect_data();
    void disconnect();
    void quit_data();
    void quit();
    void closeBoxDoesNotCloseReader();
    void portChange_data();
    void portChange();
};

void ConnectionPanelTest::connect_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("ipText");
    QTest::addColumn<int>("openStatus");
    QTest::addColumn<int>("stopStatus");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<bool>("success");

    const QStringList versions{"GetFirmwareVersion(7)", "GetSdkVersion(7)"};
    QTest::newRow("COM1") << "COM1" << "" << 0 << 0 << QStringList{"OpenReader(1,\"COM1\")", "StopRFwork(7)"} + versions << true;
    QTest::newRow("COM8") << "COM8" << "" << 0 << 0 << QStringList{"OpenReader(1,\"COM8\")", "StopRFwork(7)"} + versions << true;
    QTest::newRow("USB passes no text") << "USB" << "" << 0 << 0 << QStringList{"OpenReader(3,NULL)", "StopRFwork(7)"} + versions << true;
    QTest::newRow("TCP/IP passes the field") << "TCP/IP" << "192.168.0.178" << 0 << 0
                                             << QStringList{"OpenReader(2,\"192.168.0.178\")", "StopRFwork(7)"} + versions << true;
    QTest::newRow("TCP/IP empty field unchanged") << "TCP/IP" << "" << int(READER_BAD_ARGUMENT) << 0
                                                  << QStringList{"OpenReader(2,\"\")", "CloseReader(0)"} << false;
    QTest::newRow("TCP/IP malformed field unchanged") << "TCP/IP" << " 10.0.0.300x " << int(READER_BAD_ARGUMENT) << 0
                                                      << QStringList{"OpenReader(2,\" 10.0.0.300x \")", "CloseReader(0)"} << false;
    QTest::newRow("COM3 open fails") << "COM3" << "" << int(READER_OPEN_FAILED) << 0
                                     << QStringList{"OpenReader(1,\"COM3\")", "CloseReader(0)"} << false;
    QTest::newRow("USB reader silent: the opened link is closed") << "USB" << "" << 0 << int(READER_TIMEOUT)
                                                                  << QStringList{"OpenReader(3,NULL)", "StopRFwork(7)", "CloseReader(7)"} << false;
    QTest::newRow("TCP/IP reader silent") << "TCP/IP" << "127.0.0.1" << 0 << int(READER_TIMEOUT)
                                          << QStringList{"OpenReader(2,\"127.0.0.1\")", "StopRFwork(7)", "CloseReader(7)"} << false;
}

void ConnectionPanelTest::connect()
{
    QFETCH(QString, port);
    QFETCH(QString, ipText);
    QFETCH(int, openStatus);
    QFETCH(int, stopStatus);
    QFETCH(QStringList, calls);
    QFETCH(bool, success);

    auto form = showForm();
    choose(form.get(), "ComboBox1", port);
    child<QLineEdit>(form.get(), "Edit71")->setText(ipText);
    fake::reader().calls.clear();
    failNextWith("OpenReader", openStatus);
    failNextWith("StopRFwork", stopStatus);

    click(form.get(), "Button1");

    QCOMPARE(linkCalls(), calls);
    const QStringList messages = logMessages(form.get());
    if (success) {
        QCOMPARE(messages.mid(1, 3), (QStringList{"Open Reader Successfully !", "Reader Firmware Version is V 1.2.0.3 !",
                                                  "Reader SDK Version is V 2.1.0.0 !"}));
        QCOMPARE(panel(form.get(), 0), port + ":Open");
        QCOMPARE(panel(form.get(), 1), QStringLiteral("Communication Valid"));
        QCOMPARE(linkButtons(form.get()), kConnected);
        QCOMPARE(form->readerHandle(), 7u);
    } else {
        QCOMPARE(messages, (QStringList{"Program Running !", "Open Reader Failed !"}));
        QCOMPARE(panel(form.get(), 0), port + ":Close");
        QCOMPARE(panel(form.get(), 1), QStringLiteral("Communication Invalid"));
        QVERIFY2(linkButtons(form.get()) == kDisconnected, "a failed connect leaves the buttons as they were");
    }
}

void ConnectionPanelTest::versionLines_data()
{
    QTest::addColumn<int>("firmwareStatus");
    QTest::addColumn<int>("sdkStatus");
    QTest::addColumn<bool>("failedCallsWrite");
    QTest::addColumn<QString>("firmwareLine");
    QTest::addColumn<QString>("sdkLine");

    QTest::newRow("both answer") << 0 << 0 << false << "Reader Firmware Version is V 1.2.0.3 !" << "Reader SDK Version is V 2.1.0.0 !";
    QTest::newRow("SDK fails silently: firmware numbers stay in the buffer")
        << 0 << int(READER_BAD_HANDLE) << false << "Reader Firmware Version is V 1.2.0.3 !" << "Reader SDK Version is V 1.2.0.3 !";
    QTest::newRow("firmware fails silently: four zeros")
        << int(READER_TIMEOUT) << 0 << false << "Reader Firmware Version is V 0.0.0.0 !" << "Reader SDK Version is V 2.1.0.0 !";
    QTest::newRow("both fail silently") << int(READER_TIMEOUT) << int(READER_TIMEOUT) << false
                                        << "Reader Firmware Version is V 0.0.0.0 !" << "Reader SDK Version is V 0.0.0.0 !";
    QTest::newRow("statuses are ignored when the buffer is written")
        << int(READER_TIMEOUT) << int(READER_TIMEOUT) << true << "Reader Firmware Version is V 1.2.0.3 !" << "Reader SDK Version is V 2.1.0.0 !";
}

void ConnectionPanelTest::versionLines()
{
    QFETCH(int, firmwareStatus);
    QFETCH(int, sdkStatus);
    QFETCH(bool, failedCallsWrite);
    QFETCH(QString, firmwareLine);
    QFETCH(QString, sdkLine);

    auto form = showForm();
    fake::reader().versionsWriteBuffer = failedCallsWrite;
    failNextWith("GetFirmwareVersion", firmwareStatus);
    failNextWith("GetSdkVersion", sdkStatus);

    click(form.get(), "Button1");

    const QStringList messages = logMessages(form.get());
    QCOMPARE(messages.mid(1, 3), (QStringList{"Open Reader Successfully !", firmwareLine, sdkLine}));
    QVERIFY2(linkButtons(form.get()) == kConnected, "a failed version read does not fail the connect");
}

void ConnectionPanelTest::station_data()
{
    QTest::addColumn<QString>("action");  // "choose:<item>" or "type:<text>", ';' between actions
    QTest::addColumn<QStringList>("callsOnChange");
    QTest::addColumn<QStringList>("callsOnConnect");

    const QStringList open{"OpenReader(1,\"COM1\")", "StopRFwork(7)", "GetFirmwareVersion(7)", "GetSdkVersion(7)"};
    QTest::newRow("Station 3") << "choose:Station 3" << QStringList{"SelectStation(3)"} << QStringList{"SelectStation(3)"} + open;
    QTest::newRow("Station 10") << "choose:Station 10" << QStringList{"SelectStation(10)"} << QStringList{"SelectStation(10)"} + open;
    QTest::newRow("Arbitrary chosen selects any station at once, not at connect")
        << "choose:Station 2;choose:Arbitrary" << QStringList{"SelectStation(2)", "SelectStation(255)"} << open;
    QTest::newRow("typed text means any station") << "type:7" << QStringList{"SelectStation(255)"} << QStringList{"SelectStation(255)"} + open;
    QTest::newRow("every keystroke counts") << "type:St 4"
                                            << QStringList{"SelectStation(255)", "SelectStation(255)", "SelectStation(255)", "SelectStation(255)"}
                                            << QStringList{"SelectStation(255)"} + open;
    QTest::newRow("typed, then Arbitrary chosen again") << "type:x;choose:Arbitrary"
                                                        << QStringList{"SelectStation(255)", "SelectStation(255)"} << open;
    QTest::newRow("typed, then Station 5 chosen") << "type:x;choose:Station 5"
                                                  << QStringList{"SelectStation(255)", "SelectStation(5)"}
                                                  << QStringList{"SelectStation(5)"} + open;
}

void ConnectionPanelTest::station()
{
    QFETCH(QString, action);
    QFETCH(QStringList, callsOnChange);
    QFETCH(QStringList, callsOnConnect);

    auto form = showForm();
    auto* combo = child<QComboBox>(form.get(), "ComboBox7");
    QVERIFY2(fake::callsOf("SelectStation").empty(), "building the window selects no station");

    for (const QString& step : action.split(u';')) {
        const QString what = step.section(u':', 0, 0);
        const QString value = step.section(u':', 1);
        if (what == QLatin1String("choose")) {
            choose(form.get(), "ComboBox7", value);
        } else {
            combo->lineEdit()->selectAll();
            QTest::keyClicks(combo->lineEdit(), value);
        }
    }
    QCOMPARE(linkCalls(), callsOnChange);

    fake::reader().calls.clear();
    click(form.get(), "Button1");
    QCOMPARE(linkCalls(), callsOnConnect);
}

void ConnectionPanelTest::updateReader_data()
{
    QTest::addColumn<QString>("connectPort");
    QTest::addColumn<QString>("portAtUpdate");
    QTest::addColumn<int>("baudStatus");
    QTest::addColumn<int>("resetStatus");
    QTest::addColumn<int>("closeStatus");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QString>("logLine");
    QTest::addColumn<QString>("panel0");
    QTest::addColumn<QString>("panel1");

    const QString ok = QStringLiteral("Update Reader Parameter Successfully !");
    const QString failed = QStringLiteral("Update Reader Parameter Failed !");
    const QStringList serial{"SetBaudRate(7,0)", "ResetReader(7)", "CloseReader(7)"};
    const QStringList other{"ResetReader(7)", "CloseReader(7)"};

    QTest::newRow("COM1 sets the baud rate") << "COM1" << "COM1" << 0 << 0 << 0 << serial << ok << "COM1:Close" << "";
    QTest::newRow("COM8 sets the baud rate") << "COM8" << "COM8" << 0 << 0 << 0 << serial << ok << "COM8:Close" << "";
    QTest::newRow("TCP/IP skips the baud rate") << "TCP/IP" << "TCP/IP" << 0 << 0 << 0 << other << ok << "TCP/IP:Close" << "";
    QTest::newRow("USB skips the baud rate") << "USB" << "USB" << 0 << 0 << 0 << other << ok << "USB:Close" << "";
    QTest::newRow("link type is the connect's, port text the present one")
        << "COM2" << "TCP/IP" << 0 << 0 << 0 << serial << ok << "TCP/IP:Close" << "";
    QTest::newRow("TCP/IP link, COM4 chosen later") << "TCP/IP" << "COM4" << 0 << 0 << 0 << other << ok << "COM4:Close" << "";
    QTest::newRow("baud rate refused") << "COM2" << "COM2" << int(READER_REFUSED) << 0 << 0 << serial << failed << "COM2:Close" << "";
    QTest::newRow("reset refused") << "COM5" << "COM5" << 0 << int(READER_REFUSED) << 0 << serial << failed << "COM5:Close" << "";
    QTest::newRow("close fails: status bar unchanged")
        << "USB" << "USB" << 0 << 0 << int(READER_LINK_LOST) << other << failed << "USB:Open" << "Communication Valid";
    QTest::newRow("all three fail, every call still made")
        << "COM6" << "COM6" << int(READER_TIMEOUT) << int(READER_TIMEOUT) << int(READER_TIMEOUT) << serial << failed
        << "COM6:Open" << "Communication Valid";
}

void ConnectionPanelTest::updateReader()
{
    QFETCH(QString, connectPort);
    QFETCH(QString, portAtUpdate);
    QFETCH(int, baudStatus);
    QFETCH(int, resetStatus);
    QFETCH(int, closeStatus);
    QFETCH(QStringList, calls);
    QFETCH(QString, logLine);
    QFETCH(QString, panel0);
    QFETCH(QString, panel1);

    auto form = connectedShowing(connectPort, portAtUpdate);
    failNextWith("SetBaudRate", baudStatus);
    failNextWith("ResetReader", resetStatus);
    failNextWith("CloseReader", closeStatus);
    const int linesBefore = logMessages(form.get()).size();

    click(form.get(), "Button3");

    QCOMPARE(linkCalls(), calls);
    QCOMPARE(logMessages(form.get()).mid(linesBefore), QStringList{logLine});
    QCOMPARE(panel(form.get(), 0), panel0);
    QCOMPARE(panel(form.get(), 1), panel1);
    QVERIFY2(linkButtons(form.get()) == kDisconnected, "after Update Reader only Connect is enabled, whatever the outcome");
}

void ConnectionPanelTest::disconnect_data()
{
    QTest::addColumn<QString>("connectPort");
    QTest::addColumn<QString>("portAtDisconnect");
    QTest::addColumn<int>("closeStatus");

    QTest::newRow("COM1") << "COM1" << "COM1" << 0;
    QTest::newRow("TCP/IP, close status ignored") << "TCP/IP" << "TCP/IP" << int(READER_LINK_LOST);
    QTest::newRow("port changed while connected") << "USB" << "COM3" << 0;
}

void ConnectionPanelTest::disconnect()
{
    QFETCH(QString, connectPort);
    QFETCH(QString, portAtDisconnect);
    QFETCH(int, closeStatus);

    auto form = connectedShowing(connectPort, portAtDisconnect);
    failNextWith("CloseReader", closeStatus);
    const QStringList logBefore = logMessages(form.get());

    click(form.get(), "Button2");

    QCOMPARE(linkCalls(), QStringList{"CloseReader(7)"});
    QCOMPARE(panel(form.get(), 0), portAtDisconnect + ":Close");
    QCOMPARE(panel(form.get(), 1), QString());
    QCOMPARE(linkButtons(form.get()), kDisconnected);
    QVERIFY2(logMessages(form.get()) == logBefore, "Disconnect logs nothing");

    // The handle is kept: the next connect over a dead port closes it again.
    fake::reader().calls.clear();
    fake::failNext("OpenReader", READER_OPEN_FAILED);
    click(form.get(), "Button1");
    QCOMPARE(linkCalls().last(), QStringLiteral("CloseReader(7)"));
}

void ConnectionPanelTest::quit_data()
{
    QTest::addColumn<bool>("connectFirst");
    QTest::addColumn<int>("closeStatus");
    QTest::addColumn<QString>("closeCall");

    QTest::newRow("before any connect") << false << 0 << "CloseReader(0)";
    QTest::newRow("before any connect, close refused") << false << int(READER_BAD_HANDLE) << "CloseReader(0)";
    QTest::newRow("while connected") << true << 0 << "CloseReader(7)";
}

void ConnectionPanelTest::quit()
{
    QFETCH(bool, connectFirst);
    QFETCH(int, closeStatus);
    QFETCH(QString, closeCall);

    auto form = showForm();
    if (connectFirst)
        click(form.get(), "Button1");
    fake::reader().calls.clear();
    failNextWith("CloseReader", closeStatus);

    click(form.get(), "Button4");

    QCOMPARE(linkCalls(), QStringList{closeCall});
    QVERIFY2(!form->isVisible(), "Quit closes the window");
}

void ConnectionPanelTest::closeBoxDoesNotCloseReader()
{
    auto form = showForm();
    click(form.get(), "Button1");
    fake::reader().calls.clear();
    QVERIFY(form->close());
    QCOMPARE(linkCalls(), QStringList{});
}

void ConnectionPanelTest::portChange_data()
{
    QTest::addColumn<QStringList>("ports");       // chosen in this order; "key:Up"/"key:Down" as the operator's arrow keys
    QTest::addColumn<QString>("label2");
    QTest::addColumn<bool>("ipShown");
    QTest::addColumn<int>("baudIndex");           // after the last choice

    QTest::newRow("COM1 to COM2 resets the baud rate") << QStringList{"COM2"} << "Baud Rate" << false << 0;
    QTest::newRow("COM1 chosen again resets it too") << QStringList{"COM1"} << "Baud Rate" << false << 0;
    QTest::newRow("USB resets it") << QStringList{"USB"} << "Baud Rate" << false << 0;
    QTest::newRow("TCP/IP shows the address, keeps the baud rate") << QStringList{"TCP/IP"} << "IP Address" << true << 3;
    QTest::newRow("back from TCP/IP to COM7") << QStringList{"TCP/IP", "COM7"} << "Baud Rate" << false << 0;
    QTest::newRow("arrow key from COM1 to COM2") << QStringList{"key:Down"} << "Baud Rate" << false << 0;
    QTest::newRow("arrow keys up through USB to TCP/IP") << QStringList{"key:Up", "key:Up"} << "IP Address" << true << 0;
}

void ConnectionPanelTest::portChange()
{
    QFETCH(QStringList, ports);
    QFETCH(QString, label2);
    QFETCH(bool, ipShown);
    QFETCH(int, baudIndex);

    auto form = showForm();
    auto* baud = child<QComboBox>(form.get(), "ComboBox2");
    baud->setCurrentIndex(3);
    fake::reader().calls.clear();
    const QString panelBefore = panel(form.get(), 0);

    auto* portBox = child<QComboBox>(form.get(), "ComboBox1");
    for (const QString& port : ports) {
        if (port == QLatin1String("key:Down"))
            QTest::keyClick(portBox, Qt::Key_Down);
        else if (port == QLatin1String("key:Up"))
            QTest::keyClick(portBox, Qt::Key_Up);
        else
            choose(form.get(), "ComboBox1", port);
    }

    QCOMPARE(child<QLabel>(form.get(), "Label2")->text(), label2);
    QCOMPARE(child(form.get(), "Edit71")->isVisible(), ipShown);
    QCOMPARE(baud->isVisible(), !ipShown);
    QCOMPARE(baud->currentIndex(), baudIndex);
    QCOMPARE(baud->itemText(0), QStringLiteral("9600   bps"));
    QVERIFY2(panel(form.get(), 0) == panelBefore, "choosing a port leaves the status bar alone");
    QVERIFY2(fake::callsOf().empty(), "choosing a port calls no library function");
}

TEST_CLASS(ConnectionPanelTest)
#include "ConnectionPanelTest.moc"
