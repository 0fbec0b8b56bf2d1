// The "I/O Parameter" page against the device library's test double.
#include "TestClasses.h"
#include "FakePageFixture.h"
#include "FakeReaderCalls.h"
#include "OuterPageChecks.h"

#include "IoPage.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

// A test program compiles its files as one: what this file defines stays in its namespace.
namespace iopagetest {

using namespace fakecalls;

namespace {
const auto [setupOk, setupFailed, queryOk, queryFailed] = closingLines("I/O Parameter");

// Relay n's "Auto Delay Off" box and the delay-time row it enables.
const QMap<QString, QStringList> relayDelayRows = {
    {"CheckBox48", {"Label123", "Edit82", "Label125"}},
    {"CheckBox50", {"Label124", "Edit83", "Label126"}},
    {"CheckBox57", {"Label121", "Edit81", "Label122"}},
    {"CheckBox59", {"Label127", "Edit84", "Label128"}},
};
// Usable only under "ID Dismatch Enable".
const QStringList dismatchOnly = {"Label130", "Edit86", "Label131", "CheckBox53", "CheckBox54",
                                  "CheckBox60", "CheckBox61", "RadioButton14", "RadioButton15"};
// The delay fields of relays 1 to 4, and the check interval, in the order the setup writes them.
const char* const numberFields[5] = {"Edit82", "Edit83", "Edit81", "Edit84", "Edit86"};

const QStringList defaultWrites = {"101:00", "188:00", "189:00", "155:14", "156:14",
                                   "190:14", "191:14", "187:00", "186:0A"};
} // namespace

class IoPageTest : public QObject, FakePageFixture<IoPage> {
    Q_OBJECT

    QStringList checkedButtons()
    {
        QStringList out;
        for (QAbstractButton* b : sheet->findChildren<QAbstractButton*>())
            if (b->isChecked())
                out << b->objectName();
        out.sort();
        return out;
    }

    void verifyEnabledStates()
    {
        for (auto it = relayDelayRows.begin(); it != relayDelayRows.end(); ++it)
            for (const QString& name : it.value())
                QVERIFY2(at(name)->isEnabled() == at<QCheckBox>(it.key())->isChecked(), qPrintable(name));
        const bool dismatch = at<QCheckBox>("CheckBox56")->isChecked();
        for (const QString& name : dismatchOnly)
            QVERIFY2(at(name)->isEnabled() == dismatch, qPrintable(name + " follows ID Dismatch Enable"));
    }

private slots:
    void init() { build("TabSheet9"); }
    void cleanup() { tearDown(); }

    void setupWrites_data();
    void setupWrites();
    void queryShows_data();
    void queryShows();
    void idBoxesExcludeEachOther();
    void singleFailingCall_data();
    void singleFailingCall();
    void fitsLeftOfTheButtons();
};

void IoPageTest::setupWrites_data()
{
    QTest::addColumn<QStringList>("clicks");    // boxes and radio buttons checked, in this order
    QTest::addColumn<QStringList>("numbers");   // Edit82, Edit83, Edit81, Edit84, Edit86
    QTest::addColumn<QStringList>("changed");   // the writes that differ from the defaults'

    const QStringList defaults{"20", "20", "20", "20", "10"};
    QTest::newRow("defaults: delays written with their boxes clear") << QStringList{} << defaults << QStringList{};
    QTest::newRow("every Auto On box, relay 3 delay off")
        << QStringList{"CheckBox49", "CheckBox51", "CheckBox52", "CheckBox58", "CheckBox57", "CheckBox39"} << defaults
        << QStringList{"101:01", "188:0F", "189:04"};
    QTest::newRow("dismatch, relays 1 and 3, once")
        << QStringList{"CheckBox56", "CheckBox53", "CheckBox60", "RadioButton15"} << defaults << QStringList{"187:5A"};
    QTest::newRow("dismatch, continue, no relay") << QStringList{"CheckBox56"} << defaults << QStringList{"187:06"};
    QTest::newRow("match with the group's relays left checked")
        << QStringList{"CheckBox56", "CheckBox54", "CheckBox61", "CheckBox55"} << defaults << QStringList{"187:01"};
    QTest::newRow("dismatch, then match, then neither")
        << QStringList{"CheckBox56", "CheckBox55", "!CheckBox55"} << defaults << QStringList{};
    QTest::newRow("numbers: low 8 bits, 255 as 0xFF")
        << QStringList{} << QStringList{"255", "0", "1", "300", "256"}
        << QStringList{"155:FF", "156:00", "190:01", "191:2C", "186:00"};
}

void IoPageTest::setupWrites()
{
    QFETCH(QStringList, clicks);
    QFETCH(QStringList, numbers);
    QFETCH(QStringList, changed);

    for (const QString& click : clicks) {
        const bool clear = click.startsWith(u'!');
        at<QAbstractButton>(clear ? click.mid(1) : click)->setChecked(!clear);
    }
    for (int i = 0; i < 5; ++i)
        at<QLineEdit>(numberFields[i])->setText(numbers[i]);
    verifyEnabledStates();

    page->setup();
    QStringList expected = defaultWrites;
    for (const QString& write : changed) {
        const QString address = write.section(u':', 0, 0) + u':';
        for (QString& w : expected)
            if (w.startsWith(address))
                w = write;
    }
    QCOMPARE(writes(), expected);
    QCOMPARE(rec->lines, QStringList{setupOk});
}

void IoPageTest::queryShows_data()
{
    QTest::addColumn<QList<int>>("bytes");      // at 101, 188, 189, 155, 156, 190, 191, 186, 187
    QTest::addColumn<QStringList>("checked");   // every button checked afterwards
    QTest::addColumn<QStringList>("numbers");   // Edit82, Edit83, Edit81, Edit84, Edit86

    QTest::newRow("0x0A: dismatch, once")
        << QList<int>{1, 0x0F, 0x00, 1, 2, 3, 4, 5, 0x0A}
        << QStringList{"CheckBox39", "CheckBox49", "CheckBox51", "CheckBox52", "CheckBox58", "CheckBox56", "RadioButton15"}
        << QStringList{"1", "2", "3", "4", "5"};
    QTest::newRow("0x0E: bit 2 decides continue")
        << QList<int>{2, 0xF0, 0x04, 255, 0, 20, 20, 10, 0x0E}
        << QStringList{"CheckBox57", "CheckBox56", "RadioButton14"} << QStringList{"255", "0", "20", "20", "10"};
    QTest::newRow("0x03: only dismatch stays")
        << QList<int>{0, 0, 0x0F, 20, 20, 20, 20, 10, 0x03}
        << QStringList{"CheckBox48", "CheckBox50", "CheckBox57", "CheckBox59", "CheckBox56", "RadioButton15"}
        << QStringList{"20", "20", "20", "20", "10"};
    QTest::newRow("0xF1: match, relays shown but disabled")
        << QList<int>{0, 0, 0, 20, 20, 20, 20, 10, 0xF1}
        << QStringList{"CheckBox55", "CheckBox53", "CheckBox54", "CheckBox60", "CheckBox61", "RadioButton15"}
        << QStringList{"20", "20", "20", "20", "10"};
}

void IoPageTest::queryShows()
{
    QFETCH(QList<int>, bytes);
    QFETCH(QStringList, checked);
    QFETCH(QStringList, numbers);

    // Start with "ID Match Enable" and a delay box checked, so the rules must undo them.
    at<QCheckBox>("CheckBox55")->setChecked(true);
    at<QCheckBox>("CheckBox48")->setChecked(true);
    const int addresses[9] = {101, 188, 189, 155, 156, 190, 191, 186, 187};
    for (int i = 0; i < 9; ++i)
        fake::reader().memory[addresses[i]] = uint8_t(bytes[i]);

    page->query();
    QCOMPARE(rec->lines, QStringList{queryOk});
    QCOMPARE(reads(), (QList<int>{101, 188, 189, 155, 156, 190, 191, 186, 187}));
    checked.sort();
    QCOMPARE(checkedButtons(), checked);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(at<QLineEdit>(numberFields[i])->text(), numbers[i]);
    verifyEnabledStates();
}

void IoPageTest::idBoxesExcludeEachOther()
{
    at<QCheckBox>("CheckBox56")->setChecked(true);
    verifyEnabledStates();
    at<QCheckBox>("CheckBox55")->setChecked(true);
    QVERIFY2(!at<QCheckBox>("CheckBox56")->isChecked(), "checking ID Match Enable clears ID Dismatch Enable");
    verifyEnabledStates();
    at<QCheckBox>("CheckBox56")->setChecked(true);
    QVERIFY2(!at<QCheckBox>("CheckBox55")->isChecked(), "checking ID Dismatch Enable clears ID Match Enable");
    at<QCheckBox>("CheckBox56")->setChecked(false);
    QVERIFY(!at<QCheckBox>("CheckBox55")->isChecked());
    verifyEnabledStates();
}

void IoPageTest::singleFailingCall_data()
{
    QTest::addColumn<bool>("setup");
    QTest::addColumn<int>("address");
    QTest::addColumn<QString>("line");

    const QList<std::pair<int, const char*>> parameters = {
        {101, "Buzzer Parameter Failed !"}, {155, "Relay 1 Delay Time Parameter Failed !"},
        {156, "Relay 2 Delay Time Parameter Failed !"}, {190, "Relay 3 Delay Time Parameter Failed !"},
        {191, "Relay 4 Delay Time Parameter Failed !"}, {187, "ID Match Parameter Failed !"},
        {186, "ID Match Check Time Parameter Failed !"},
    };
    for (const auto& [address, tail] : parameters) {
        QTest::addRow("setup %d", address) << true << address << QStringLiteral("Setup ") + tail;
        QTest::addRow("query %d", address) << false << address << QStringLiteral("Query ") + tail;
    }
    QTest::newRow("setup 188") << true << 188 << "Setup Relay Auto On Parameter Failed ! ";
    QTest::newRow("setup 189") << true << 189 << "Setup Relay Auto Off Parameter Failed ! ";
    QTest::newRow("query 188") << false << 188 << "Query Relay Auoto On Parameter Failed ! ";
    QTest::newRow("query 189") << false << 189 << "Query Relay Auoto Off Parameter Failed ! ";
}

void IoPageTest::singleFailingCall()
{
    QFETCH(bool, setup);
    QFETCH(int, address);
    QFETCH(QString, line);

    (setup ? fake::reader().failSet : fake::reader().failGet)[address] = 0x20;
    setup ? page->setup() : page->query();
    QCOMPARE(rec->lines, (QStringList{line, setup ? setupFailed : queryFailed}));
    QCOMPARE(count(), 9);
}



void IoPageTest::fitsLeftOfTheButtons()
{
    QVERIFY(tree->showWindow(4));
    QCOMPARE(outerpage::misplacedControls(tree->pageControl1->currentWidget()), QStringList());
}

TEST_CLASS(IoPageTest)
} // namespace iopagetest
#include "IoPageTest.moc"
