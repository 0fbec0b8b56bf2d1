// The "Supported Protocol" page against the device library's test double.
#include "TestClasses.h"
#include "FakePageFixture.h"
#include "FakeReaderCalls.h"

#include "SupportedProtocolPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QtTest>

// A test program compiles its files as one: what this file defines stays in its namespace.
namespace supportedprotocolpagetest {

using namespace fakecalls;

namespace {
// The six boxes in the order of their mask bits 0, 1, 2, 4, 5, 6.
const char* const boxName[6] = {"CheckBox23", "CheckBox24", "CheckBox25", "CheckBox35", "CheckBox36", "CheckBox40"};
const int boxBit[6] = {0, 1, 2, 4, 5, 6};

const auto [setupOk, setupFailed, queryOk, queryFailed] = closingLines("Supported Protocol Parameter");
} // namespace

class SupportedProtocolPageTest : public QObject, FakePageFixture<SupportedProtocolPage> {
    Q_OBJECT

    QComboBox* tidLength() { return at<QComboBox>("ComboBox27"); }

    int boxesShown()
    {
        int mask = 0;
        for (int i = 0; i < 6; ++i)
            mask |= at<QCheckBox>(boxName[i])->isChecked() << boxBit[i];
        return mask;
    }

private slots:
    void init() { build("TabSheet19"); }
    void cleanup() { tearDown(); }

    void startsAsTheOperatorFirstSeesIt();
    void setupWrites_data();
    void setupWrites();
    void queryShows_data();
    void queryShows();
    void failures_data();
    void failures();
    void fitsTheInnerTabArea();
};

void SupportedProtocolPageTest::startsAsTheOperatorFirstSeesIt()
{
    QCOMPARE(tidLength()->currentText(), QStringLiteral("4"));
    QVERIFY(!at("Label103")->isEnabled() && !tidLength()->isEnabled() && !tidLength()->isEditable());

    at<QCheckBox>("CheckBox40")->setChecked(true);
    QVERIFY2(at("Label103")->isEnabled() && tidLength()->isEnabled(), "Gen 2  TID enables its length");
    tidLength()->setCurrentIndex(3);
    at<QCheckBox>("CheckBox40")->setChecked(false);
    QVERIFY(!at("Label103")->isEnabled() && !tidLength()->isEnabled());
    QVERIFY2(tidLength()->currentIndex() == 3, "disabling the list keeps its selection");
}

void SupportedProtocolPageTest::setupWrites_data()
{
    QTest::addColumn<int>("boxes");       // mask bits of the boxes checked
    QTest::addColumn<int>("position");    // of the length list
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("nothing checked") << 0x00 << 0 << QStringList{"98:00", "66:04"};
    QTest::newRow("all six: bits 3 and 7 stay 0") << 0x77 << 3 << QStringList{"98:77", "66:07"};
    QTest::newRow("Gen 2 EPC and TID, 6") << 0x44 << 2 << QStringList{"98:44", "66:06"};
    QTest::newRow("length written with TID unchecked") << 0x10 << 1 << QStringList{"98:10", "66:05"};
}

void SupportedProtocolPageTest::setupWrites()
{
    QFETCH(int, boxes);
    QFETCH(int, position);
    QFETCH(QStringList, expected);

    for (int i = 0; i < 6; ++i)
        at<QCheckBox>(boxName[i])->setChecked(boxes >> boxBit[i] & 1);
    tidLength()->setCurrentIndex(position);
    page->setup();
    QCOMPARE(writes(), expected);
    QCOMPARE(rec->lines, QStringList{setupOk});
}

void SupportedProtocolPageTest::queryShows_data()
{
    QTest::addColumn<int>("mask");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("boxes");
    QTest::addColumn<int>("position");
    QTest::addColumn<QStringList>("setupAfter");
    QTest::addColumn<QString>("setupLine");

    QTest::newRow("0xFF checks all six") << 0xFF << 7 << 0x77 << 3 << QStringList{"98:77", "66:07"} << setupOk;
    QTest::newRow("Gen 2 EPC only") << 0x04 << 4 << 0x04 << 0 << QStringList{"98:04", "66:04"} << setupOk;
    // A length matching no item: nobody chose one, so none is written back.
    QTest::newRow("length 9") << 0x40 << 9 << 0x40 << -1 << QStringList{"98:40"} << setupFailed;
    QTest::newRow("length 3") << 0x00 << 3 << 0x00 << -1 << QStringList{"98:00"} << setupFailed;
}

void SupportedProtocolPageTest::queryShows()
{
    QFETCH(int, mask);
    QFETCH(int, length);
    QFETCH(int, boxes);
    QFETCH(int, position);
    QFETCH(QStringList, setupAfter);
    QFETCH(QString, setupLine);

    // Start from the opposite of what will be read, so every box has to change.
    for (int i = 0; i < 6; ++i)
        at<QCheckBox>(boxName[i])->setChecked(!(boxes >> boxBit[i] & 1));
    tidLength()->setCurrentIndex(1);
    fake::reader().memory[98] = uint8_t(mask);
    fake::reader().memory[66] = uint8_t(length);
    page->query();
    QCOMPARE(rec->lines, QStringList{queryOk});
    QCOMPARE(boxesShown(), boxes);
    QCOMPARE(tidLength()->currentIndex(), position);
    const bool tid = boxes & 0x40;
    QVERIFY2(at("Label103")->isEnabled() == tid && tidLength()->isEnabled() == tid,
             "the length is offered exactly while Gen 2  TID is checked");

    fake::reset();
    rec->lines.clear();
    page->setup();
    QCOMPARE(writes(), setupAfter);
    QCOMPARE(rec->lines, QStringList{setupLine});
}

void SupportedProtocolPageTest::failures_data()
{
    QTest::addColumn<bool>("setup");
    QTest::addColumn<int>("failing");
    QTest::addColumn<int>("calls");

    QTest::newRow("setup, 98 refused: 66 still written") << true << 98 << 2;
    QTest::newRow("query, 98 refused") << false << 98 << 2;
}

void SupportedProtocolPageTest::failures()
{
    QFETCH(bool, setup);
    QFETCH(int, failing);
    QFETCH(int, calls);

    at<QCheckBox>("CheckBox24")->setChecked(true);
    fake::reader().memory[98] = 0x7F;
    fake::reader().memory[66] = 6;
    fake::reader().failGet[failing] = 0x20;
    fake::reader().failSet[failing] = 0x20;
    setup ? page->setup() : page->query();
    QCOMPARE(rec->lines, QStringList{setup ? setupFailed : queryFailed});
    QCOMPARE(count(), calls);
    QVERIFY2(boxesShown() == 0x02, "a failed read leaves the boxes as they were");
    QCOMPARE(tidLength()->currentIndex(), setup ? 0 : 2);
}

void SupportedProtocolPageTest::fitsTheInnerTabArea()
{
    QVERIFY(tree->showWindow(1, 2));
    const QString shortfall = roomShortfall(sheet);
    QVERIFY2(shortfall.isEmpty(), qPrintable(shortfall));
}

TEST_CLASS(SupportedProtocolPageTest)
} // namespace supportedprotocolpagetest
#include "SupportedProtocolPageTest.moc"
