// Ctrl+T over the test double: the Tag Monitor takes, at every Start, the frame
// format and server port the pages' controls give as "Setup Para" would form
// them, without a library call, and keeps off the port of the main window's link.
#include "TestClasses.h"
#include "FormFixture.h"
#include "MonitorProbe.h"
#include "TagReadingSetup.h"

#include <QPushButton>
#include <QRadioButton>

using namespace formtest;
using namespace monitortest;
using namespace tagreading;

namespace monitorshortcuttest {

// What the operator does in the main window before pressing Ctrl+T and Start.
using Arrange = std::function<void(MainWindow&, TagMonitorWindow&, uint16_t port)>;

// The Communication Port and Frame Format pages, built as their sheets first show.
void buildMonitorPages(QWidget* form)
{
    showSheet(form, "PageControl1", 2);
    showSheet(form, "PageControl1", 3);
}

} // namespace monitorshortcuttest

Q_DECLARE_METATYPE(monitorshortcuttest::Arrange)

using namespace monitorshortcuttest;

class TagMonitorShortcutTest : public QObject {
    Q_OBJECT
private slots:
    void startsFromThePages_data();
    void startsFromThePages();
    void aChangeOnThePageShowsAtTheNextStart();
};

void TagMonitorShortcutTest::startsFromThePages_data()
{
    QTest::addColumn<Arrange>("arrange");
    QTest::addColumn<QString>("line");   // the monitor's last message; PORT: the server port typed

    const auto serverPort = [](MainWindow& form, TagMonitorWindow&, uint16_t port) {
        setText(&form, "Edit114", QString::number(port));
    };
    QTest::newRow("the pages' defaults, client mode off")
        << Arrange(serverPort)
        << "Listening on port PORT for readers in client mode; frames as the Frame Format page sets them: "
           "HEX code, 9 bytes a frame: reader number, ID bytes 0 to 7.";
    QTest::newRow("ASCII code, both codes typed, eight ID bytes from byte 2")
        << Arrange([serverPort](MainWindow& form, TagMonitorWindow& monitor, uint16_t port) {
               serverPort(form, monitor, port);
               setChecked(&form, "RadioButton10");
               setChecked(&form, "CheckBox44");
               setText(&form, "Edit79", QStringLiteral("02"));
               setChecked(&form, "CheckBox47");
               setText(&form, "Edit80", QStringLiteral("0D0A"));
               choose(&form, "ComboBox10", QStringLiteral("2"));
           })
        << "Listening on port PORT for readers in client mode; frames as the Frame Format page sets them: "
           "ASCII code, 21 bytes a frame: preamble 02, reader number, ID bytes 2 to 9, end code 0D 0A.";
    QTest::newRow("no tag ID length chosen: no format")
        << Arrange([serverPort](MainWindow& form, TagMonitorWindow& monitor, uint16_t port) {
               serverPort(form, monitor, port);
               child<QComboBox>(&form, "ComboBox8")->setCurrentIndex(-1);
           })
        << "Cannot start: the Frame Format page gives no frame format (frame_format.tag_id_window: no value).";
    QTest::newRow("an empty server port field")
        << Arrange([](MainWindow& form, TagMonitorWindow&, uint16_t) { setText(&form, "Edit114", QString()); })
        << "Cannot start: the Communication Port page's server port: '' is not a valid integer value.";
    QTest::newRow("the link open on the reader's own port")
        << Arrange([](MainWindow& form, TagMonitorWindow& monitor, uint16_t port) {
               choose(&form, "ComboBox1", QStringLiteral("TCP/IP"));
               setText(&form, "Edit71", QStringLiteral("127.0.0.1:%1").arg(port));
               click(&form, "Button1");
               monitor.findChild<QRadioButton*>(QStringLiteral("ReaderRadio"))->setChecked(true);
               monitor.findChild<QLineEdit*>(QStringLiteral("ReaderAddressEdit"))->setText(QStringLiteral("127.0.0.1:%1").arg(port));
           })
        << "Cannot start: the main window's link is open on 127.0.0.1:PORT, the port the Tag Monitor would use. "
           "Press \"Disconnect\" there first, or receive on another port.";
}

void TagMonitorShortcutTest::startsFromThePages()
{
    QFETCH(Arrange, arrange);
    QFETCH(QString, line);

    auto form = showForm();
    buildMonitorPages(form.get());
    TagMonitorWindow* monitor = pressCtrlT(form.get());
    QVERIFY(monitor && monitor->isVisible());
    const uint16_t port = freePort();
    arrange(*form, *monitor, port);
    const auto callsBefore = fake::reader().calls.size();
    QTest::mouseClick(monitor->findChild<QPushButton*>(QStringLiteral("StartButton")), Qt::LeftButton);

    QCOMPARE(monitorMessages(monitor).last(), QString(line).replace(QStringLiteral("PORT"), QString::number(port)));
    QCOMPARE(fake::reader().calls.size(), callsBefore);
}

void TagMonitorShortcutTest::aChangeOnThePageShowsAtTheNextStart()
{
    auto form = showForm();
    buildMonitorPages(form.get());
    TagMonitorWindow* monitor = pressCtrlT(form.get());
    setText(form.get(), "Edit114", QString::number(freePort()));
    monitor->start();
    setChecked(form.get(), "RadioButton10");
    monitor->stop();
    monitor->start();
    QVERIFY2(monitorMessages(monitor).last().endsWith(QStringLiteral("ASCII code, 18 bytes a frame: reader number, ID bytes 0 to 7.")),
             qPrintable(monitorMessages(monitor).join(" | ")));
    QCOMPARE(pressCtrlT(form.get()), monitor);   // one monitor, still running
    QVERIFY(monitor->running());
}

TEST_CLASS(TagMonitorShortcutTest)
#include "TagMonitorShortcutTest.moc"
