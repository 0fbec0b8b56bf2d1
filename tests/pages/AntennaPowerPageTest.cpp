// The "Antenna  Power" page against the device library's test double.
#include "TestClasses.h"
#include "AntennaPowerControls.h"
#include "FakePageFixture.h"
#include "FakeReaderCalls.h"

#include "AntennaPowerPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QtTest>

// A test program compiles its files as one: what this file defines stays in its namespace.
namespace antennapowerpagetest {

using namespace antennapower;
using namespace fakecalls;

namespace {
const int powerAddress[4] = {192, 208, 224, 240};

const QString setupOk = QStringLiteral("Setup Power And Antenna Parameter Successfully !");
const QString setupFailed = QStringLiteral("Setup Power And Antenna Parameter Failed !");
const QString queryOk = QStringLiteral("Query Power and Antenna Parameter Successfully !");
const QString queryFailed = QStringLiteral("Query Power and Antenna Parameter Failed !");
} // namespace

class AntennaPowerPageTest : public QObject, FakePageFixture<AntennaPowerPage> {
    Q_OBJECT

    QCheckBox* box(const char* name) { return at<QCheckBox>(name); }
    QComboBox* power(int channel) { return at<QComboBox>(powerName[channel]); }

private slots:
    void init() { build("TabSheet17"); }
    void cleanup() { tearDown(); }

    void startsAsTheOperatorFirstSeesIt_data();
    void startsAsTheOperatorFirstSeesIt();
    void powerCodes_data();
    void powerCodes();
    void powerOutsideTheListIsNotWritten_data();
    void powerOutsideTheListIsNotWritten();
    void masks_data();
    void masks();
    void disabledCheckBoxIsStillWritten();
    void failingReads_data();
    void failingReads();
    void fitsTheInnerTabArea();
};

void AntennaPowerPageTest::startsAsTheOperatorFirstSeesIt_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("enabled");

    const char* const captions[] = {"Channel 1", "Channel 2", "Channel 3", "Channel 4"};
    for (int i = 0; i < 4; ++i) {
        QTest::newRow(gateName[i]) << gateName[i] << captions[i] << true;
        QTest::newRow(workName[i]) << workName[i] << QStringLiteral("Antenna %1").arg(i + 1) << true;
        QTest::newRow(checkName[i]) << checkName[i] << QStringLiteral("Check %1").arg(i + 1) << false;
        QTest::newRow(powerName[i]) << powerName[i] << QStringLiteral("30 ") << false;
    }
    QTest::newRow("GroupBox3") << "GroupBox3" << "Power Setting" << true;
    QTest::newRow("GroupBox16") << "GroupBox16" << "Antenna Setting" << true;
    for (const char* label : {"Label19", "Label26", "Label27", "Label28"})
        QTest::newRow(label) << label << "dBm" << true;
}

void AntennaPowerPageTest::startsAsTheOperatorFirstSeesIt()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(bool, enabled);

    QWidget* widget = child(tree->pageControl1, name);
    QCOMPARE(widget->isEnabled(), enabled);
    if (auto* check = qobject_cast<QCheckBox*>(widget)) {
        QCOMPARE(check->text(), caption);
        QVERIFY(!check->isChecked());
    } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
        QCOMPARE(list->currentText(), caption);
        QCOMPARE(list->currentIndex(), 13);
        QVERIFY(!list->isEditable());
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        QCOMPARE(group->title(), caption);
    } else {
        QCOMPARE(qobject_cast<QLabel*>(widget)->text(), caption);
    }
}

void AntennaPowerPageTest::powerCodes_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");

    const char* const texts[] = {"20 ", "21", "22 ", "23 ", "24  ", "25  ", "26   ",
                                 "27   ", "27.5", "28  ", "28.5", "29   ", "29.5", "30 "};
    for (int position = 0; position < 14; ++position)
        QTest::addRow("%d \"%s\"", position, texts[position]) << position << texts[position] << position + 2;
}

void AntennaPowerPageTest::powerCodes()
{
    QFETCH(int, position);
    QFETCH(QString, text);
    QFETCH(int, code);

    // Setup: every channel checked, each at this position, written in channel order.
    for (int i = 0; i < 4; ++i) {
        box(gateName[i])->setChecked(true);
        QCOMPARE(power(i)->itemText(position), text);
        power(i)->setCurrentIndex(position);
    }
    page->setup();
    QCOMPARE(writes(), (QStringList{write(192, code), write(208, code), write(224, code), write(240, code), "153:00", "154:00"}));
    QCOMPARE(rec->lines, QStringList{setupOk});

    // Query: each channel's code selects its position, whatever the gate boxes show.
    for (int i = 0; i < 4; ++i) {
        box(gateName[i])->setChecked(false);
        power(i)->setCurrentIndex(position == 0 ? 1 : 0);
        fake::reader().memory[powerAddress[i]] = uint8_t(code);
    }
    page->query();
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(power(i)->currentIndex(), position);
        QVERIFY2(!power(i)->isEnabled() && !box(gateName[i])->isChecked(),
                 "a query leaves the gate boxes and the lists' enabled state alone");
    }
    QCOMPARE(rec->lines.last(), queryOk);
}

void AntennaPowerPageTest::powerOutsideTheListIsNotWritten_data()
{
    QTest::addColumn<int>("code");
    QTest::newRow("0") << 0;
    QTest::newRow("1") << 1;
    QTest::newRow("16") << 16;
    QTest::newRow("255") << 255;
}

void AntennaPowerPageTest::powerOutsideTheListIsNotWritten()
{
    QFETCH(int, code);

    fake::reader().memory[208] = uint8_t(code);
    fake::reader().memory[192] = 5;
    page->query();
    QCOMPARE(power(1)->currentIndex(), -1);
    QCOMPARE(power(0)->currentIndex(), 3);

    fake::reset();
    rec->lines.clear();
    box("CheckBox8")->setChecked(true);
    box("CheckBox13")->setChecked(true);
    page->setup();
    QVERIFY2(!writes().contains("208:01"), "a list with no selection must not write a code nobody chose");
    QCOMPARE(writes(), (QStringList{"192:05", "153:00", "154:00"}));
    QCOMPARE(rec->lines, (QStringList{"Setup Channel 2 Power Parameter Failed !", setupFailed}));
}

void AntennaPowerPageTest::masks_data()
{
    QTest::addColumn<int>("workRead");
    QTest::addColumn<int>("checkRead");
    QTest::addColumn<int>("workShown");    // bits 0 to 3: the antenna boxes checked
    QTest::addColumn<int>("checkShown");

    QTest::newRow("none") << 0x00 << 0x00 << 0x0 << 0x0;
    QTest::newRow("antennas 2 and 4") << 0x0A << 0x02 << 0xA << 0x2;
    QTest::newRow("high bits ignored") << 0xF5 << 0xF0 << 0x5 << 0x0;
    QTest::newRow("all, checks without their antennas") << 0x0F << 0x0F << 0xF << 0xF;
    QTest::newRow("checks of unworked ports") << 0x01 << 0x0E << 0x1 << 0xE;
}

void AntennaPowerPageTest::masks()
{
    QFETCH(int, workRead);
    QFETCH(int, checkRead);
    QFETCH(int, workShown);
    QFETCH(int, checkShown);

    // Start from the opposite of what will be read, so every box has to change.
    for (int i = 0; i < 4; ++i) {
        box(workName[i])->setChecked(!(workShown >> i & 1));
        box(checkName[i])->setChecked(!(checkShown >> i & 1));
    }
    fake::reader().memory[153] = uint8_t(workRead);
    fake::reader().memory[154] = uint8_t(checkRead);
    page->query();
    QCOMPARE(rec->lines, QStringList{queryOk});
    for (int i = 0; i < 4; ++i) {
        const bool worked = workShown >> i & 1;
        QCOMPARE(box(workName[i])->isChecked(), worked);
        QCOMPARE(box(checkName[i])->isChecked(), bool(checkShown >> i & 1));
        QVERIFY2(box(checkName[i])->isEnabled() == worked, "a Check box is enabled exactly when its antenna is worked");
    }

    // Setup writes the boxes back as they are, the high bits zero.
    page->setup();
    QCOMPARE(writes(), (QStringList{write(153, workShown), write(154, checkShown)}));
    QCOMPARE(rec->lines.last(), setupOk);
}

void AntennaPowerPageTest::disabledCheckBoxIsStillWritten()
{
    box("CheckBox9")->setChecked(true);
    box("CheckBox26")->setChecked(true);
    box("CheckBox9")->setChecked(false);
    QVERIFY(!box("CheckBox26")->isEnabled());
    QVERIFY2(box("CheckBox26")->isChecked(), "disabling a Check box keeps its state");
    page->setup();
    QCOMPARE(writes(), (QStringList{"153:00", "154:01"}));
}

void AntennaPowerPageTest::failingReads_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<QString>("line");

    QTest::newRow("channel 2") << 208 << "Query Channel 2 Power Parameter Failed !";
    QTest::newRow("channel 4") << 240 << "Query Channel 4 Power Parameter Failed !";
    QTest::newRow("work antennas") << 153 << "Query Work Antenna Parameter Failed !";
    QTest::newRow("antenna checks") << 154 << "Query Antenna Check Parameter Failed !";
}

void AntennaPowerPageTest::failingReads()
{
    QFETCH(int, address);
    QFETCH(QString, line);

    for (int i = 0; i < 4; ++i)
        fake::reader().memory[powerAddress[i]] = uint8_t(3 + i);   // positions 1 to 4
    fake::reader().memory[153] = 0x0F;
    fake::reader().memory[154] = 0x0F;
    fake::reader().failGet[address] = 0x20;

    page->query();
    QCOMPARE(rec->lines, (QStringList{line, queryFailed}));
    QCOMPARE(count("GetParameter"), 6);
    for (int i = 0; i < 4; ++i) {
        const bool failed = powerAddress[i] == address;
        QCOMPARE(power(i)->currentIndex(), failed ? 13 : 1 + i);
        QCOMPARE(box(workName[i])->isChecked(), address != 153);
        QCOMPARE(box(checkName[i])->isChecked(), address != 154);
    }
}



void AntennaPowerPageTest::fitsTheInnerTabArea()
{
    QVERIFY(tree->showWindow(1, 0));
    const QString shortfall = roomShortfall(sheet);
    QVERIFY2(shortfall.isEmpty(), qPrintable(shortfall));
    for (const char* name : {"GroupBox3", "GroupBox16"}) {
        const QRect group = child(tree->pageControl1, name)->geometry();
        QVERIFY2(sheet->rect().contains(group), name);
    }
}

TEST_CLASS(AntennaPowerPageTest)
} // namespace antennapowerpagetest
#include "AntennaPowerPageTest.moc"
