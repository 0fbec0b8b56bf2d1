// The "Reader" tab's inner pages "Work Mode" and "Other Function" against the
// device library's test double.
#include "TestClasses.h"
#include "FakePageFixture.h"
#include "FakeReaderCalls.h"

#include "RadioSet.h"
#include "ParamPages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

// A test program compiles its files as one: what this file defines stays in its namespace.
namespace workmodepagetest {

using namespace fakecalls;

namespace {
const auto [setupOk, setupFailed, queryOk, queryFailed] = closingLines("Reader Parameter");
const char* const modeName[3] = {"RadioButton3", "RadioButton4", "RadioButton5"};
const char* const triggerName[4] = {"ComboBox4", "ComboBox5", "ComboBox6", "ComboBox15"};
} // namespace

// The two pages run as "Query Para" and "Setup Para" run them: the inner page showing.
class WorkModePageTest : public QObject, FakePageFixture<ParamPages, QTabWidget> {
    Q_OBJECT

    RadioSet modes() { return RadioSet({at<QRadioButton>("RadioButton3"), at<QRadioButton>("RadioButton4"), at<QRadioButton>("RadioButton5")}); }
    RadioSet group(const char* name) { return RadioSet(at<QGroupBox>(name)->findChildren<QRadioButton*>()); }

private slots:
    void init()
    {
        build("PageControl2");
        page = std::make_unique<ParamPages>(tree->places, rec->context());
        page->buildAll();
    }

    void startsAsTheOperatorFirstSeesIt()
    {
        QCOMPARE(modes().selectedIndex(), 0);
        QVERIFY(at<QCheckBox>("CheckBox7")->isChecked() && at<QCheckBox>("CheckBox30")->isChecked());
        QCOMPARE(at<QLineEdit>("Edit70")->text(), "8");
        QCOMPARE(at<QComboBox>("ComboBox26")->currentText(), "6");
        QCOMPARE(at<QLineEdit>("Edit72")->text(), "65535");
        QCOMPARE(group("RadioGroup2").selectedIndex(), 0);
        QCOMPARE(group("RadioGroup5").selectedIndex(), 0);
        for (const char* name : {"ComboBox4", "ComboBox5", "ComboBox6", "ComboBox15", "Edit4", "ComboBox26", "Edit6", "Edit72", "Label102"})
            QVERIFY2(!at(name)->isEnabled(), name);
        for (const char* name : triggerName)
            QCOMPARE(at<QComboBox>(name)->currentText(), "OFF");
    }

    void workModeSetup_data()
    {
        QTest::addColumn<int>("mode");        // 0: none selected
        QTest::addColumn<bool>("preCompare");
        QTest::addColumn<bool>("flushOn");
        QTest::addColumn<QString>("flushTime");
        QTest::addColumn<int>("triggersOn");  // bit n: trigger n + 1 "ON"
        QTest::addColumn<QString>("written");
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("start state") << 1 << true << true << "8" << 0 << "128:01 129:0A 141:01 147:01 148:0008 145:00 146:0A" << QStringList{setupOk};
        QTest::newRow("triggering, all on, 65535") << 3 << true << true << "65535" << 0xF << "128:03 129:0A 141:01 147:01 148:FFFF 145:0F 146:0A" << QStringList{setupOk};
        QTest::newRow("timing, triggers 1 3, 256") << 2 << true << true << "256" << 0x5 << "128:02 129:0A 141:01 147:01 148:0100 145:05 146:0A" << QStringList{setupOk};
        QTest::newRow("flush time off: 148 not written") << 1 << true << false << "8" << 0 << "128:01 129:0A 141:01 147:00 145:00 146:0A" << QStringList{setupOk};
        QTest::newRow("pre-compare off writes locked flush switch") << 1 << false << false << "8" << 0 << "128:01 129:0A 141:00 147:00 145:00 146:0A" << QStringList{setupOk};
        QTest::newRow("no mode: 128 not written") << 0 << true << true << "8" << 0 << "129:0A 141:01 147:01 148:0008 145:00 146:0A"
                                                  << QStringList{"Setup Work Mode Parameter Failed !", setupFailed};
    }
    void workModeSetup()
    {
        QFETCH(int, mode);
        QFETCH(bool, preCompare);
        QFETCH(bool, flushOn);
        QFETCH(QString, flushTime);
        QFETCH(int, triggersOn);
        QFETCH(QString, written);
        QFETCH(QStringList, lines);

        modes().select(mode - 1);
        at<QCheckBox>("CheckBox7")->setChecked(preCompare);
        at<QCheckBox>("CheckBox30")->setChecked(flushOn);
        at<QLineEdit>("Edit70")->setText(flushTime);
        for (int i = 0; i < 4; ++i)
            at<QComboBox>(triggerName[i])->setCurrentIndex(triggersOn >> i & 1 ? 0 : 1);
        page->setup();
        QCOMPARE(sequence().join(u' '), written);
        QCOMPARE(rec->lines, lines);
    }

    void workModeQuery_data()
    {
        QTest::addColumn<int>("startMode");
        QTest::addColumn<bool>("startPreCompare");
        QTest::addColumn<QString>("memory");
        QTest::addColumn<int>("mode");          // button selected after the query, 0: none
        QTest::addColumn<bool>("triggersEnabled");
        QTest::addColumn<QString>("boxes");     // CheckBox7, CheckBox30 checked/enabled, Edit70 enabled: "1 1/1 1"
        QTest::addColumn<QString>("shown");     // Edit7 Edit70 Edit4 and the triggers "ON" as a mask

        QTest::newRow("triggering") << 1 << true << "128:03 129:32 141:01 147:01 148:012C 145:F5 146:07" << 3 << true << "1 1/1 1" << "50 300 7 5";
        QTest::newRow("master-slave") << 3 << true << "128:01 141:01 147:01 148:FFFF 145:0A" << 1 << false << "1 1/1 1" << "0 65535 0 10";
        QTest::newRow("mode 0 keeps trigger state") << 3 << true << "128:00 141:01 147:01" << 0 << true << "1 1/1 1" << "0 0 0 0";
        QTest::newRow("mode 4 none selected") << 2 << true << "128:04 141:01 147:01" << 0 << false << "1 1/1 1" << "0 0 0 0";
        QTest::newRow("pre-compare off, flush on") << 1 << true << "128:01 141:00 147:01" << 1 << false << "0 1/0 1" << "0 0 0 0";
        QTest::newRow("pre-compare off, flush off") << 1 << true << "128:01 141:00 147:00" << 1 << false << "0 0/0 0" << "0 0 0 0";
        QTest::newRow("pre-compare on again, flush off") << 1 << false << "128:01 141:01 147:00" << 1 << false << "1 0/1 0" << "0 0 0 0";
        QTest::newRow("flag byte 2 is off") << 1 << true << "128:01 141:02 147:02" << 1 << false << "0 0/0 0" << "0 0 0 0";
    }
    void workModeQuery()
    {
        QFETCH(int, startMode);
        QFETCH(bool, startPreCompare);
        QFETCH(QString, memory);
        QFETCH(int, mode);
        QFETCH(bool, triggersEnabled);
        QFETCH(QString, boxes);
        QFETCH(QString, shown);

        at<QRadioButton>(modeName[startMode - 1])->click();
        at<QCheckBox>("CheckBox7")->setChecked(startPreCompare);
        putMemory(memory);
        page->query();
        QCOMPARE(rec->lines, QStringList{queryOk});
        QCOMPARE(sequence().join(u' '), "128 129 141 147 148 145 146");
        QCOMPARE(modes().selectedIndex(), mode - 1);
        for (const char* name : {"ComboBox4", "ComboBox5", "ComboBox6", "ComboBox15", "Edit4"})
            QCOMPARE(at(name)->isEnabled(), triggersEnabled);
        auto* flushOn = at<QCheckBox>("CheckBox30");
        QCOMPARE(QStringLiteral("%1 %2/%3 %4").arg(at<QCheckBox>("CheckBox7")->isChecked()).arg(flushOn->isChecked())
                     .arg(flushOn->isEnabled()).arg(at("Edit70")->isEnabled()), boxes);
        int triggersOn = 0;
        for (int i = 0; i < 4; ++i)
            triggersOn |= (at<QComboBox>(triggerName[i])->currentText() == "ON") << i;
        QCOMPARE(QStringLiteral("%1 %2 %3 %4").arg(at<QLineEdit>("Edit7")->text(), at<QLineEdit>("Edit70")->text(),
                                                   at<QLineEdit>("Edit4")->text()).arg(triggersOn), shown);
    }

    void otherFunctionSetup_data()
    {
        QTest::addColumn<bool>("matchOn");
        QTest::addColumn<int>("length");       // ComboBox26 index, -1: none
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("offLineOn");
        QTest::addColumn<QString>("interval");
        QTest::addColumn<int>("identification");
        QTest::addColumn<int>("synchronization");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("start state") << false << 5 << "" << false << "65535" << 0 << 0 << "178:00 OL:0 142:00 150:01" << QStringList{setupOk};
        QTest::newRow("IDF: odd digit ignored") << true << 1 << "A1B2C" << false << "1" << 1 << 1 << "178:01 179:02 180:A1B2 OL:0 142:01 150:02" << QStringList{setupOk};
        QTest::newRow("IDF: one digit, no value") << true << 3 << "A" << false << "1" << 0 << 0 << "178:01 179:04 OL:0 142:00 150:01" << QStringList{setupOk};
        QTest::newRow("IDF: six bytes") << true << 5 << "0123456789AB" << false << "1" << 0 << 0 << "178:01 179:06 180:0123456789AB OL:0 142:00 150:01" << QStringList{setupOk};
        QTest::newRow("off-line on, 65535") << false << 5 << "" << true << "65535" << 0 << 0 << "178:00 OL:1 84:FFFF 142:00 150:01" << QStringList{setupOk};
        QTest::newRow("off-line on, 8") << false << 5 << "" << true << "8" << 0 << 0 << "178:00 OL:1 84:0008 142:00 150:01" << QStringList{setupOk};
        QTest::newRow("no length selected") << true << -1 << "A1" << false << "1" << 0 << 0 << "178:01 180:A1 OL:0 142:00 150:01"
                                            << QStringList{"Setup IDF Match Length Failedly !", setupFailed};
        QTest::newRow("no mode, no sync") << false << 5 << "" << false << "1" << -1 << -1 << "178:00 OL:0"
                                          << QStringList{"Setup Synchronization Mode Parameter Failed !", "Setup Identification Mode Parameter Failed !", setupFailed};
    }
    void otherFunctionSetup()
    {
        QFETCH(bool, matchOn);
        QFETCH(int, length);
        QFETCH(QString, value);
        QFETCH(bool, offLineOn);
        QFETCH(QString, interval);
        QFETCH(int, identification);
        QFETCH(int, synchronization);
        QFETCH(QString, written);
        QFETCH(QStringList, lines);

        tree->show(0, 1);
        at<QCheckBox>("CheckBox65")->setChecked(matchOn);
        at<QComboBox>("ComboBox26")->setCurrentIndex(length);
        at<QLineEdit>("Edit6")->setText(value);
        at<QCheckBox>("CheckBox66")->setChecked(offLineOn);
        at<QLineEdit>("Edit72")->setText(interval);
        group("RadioGroup2").select(identification);
        group("RadioGroup5").select(synchronization);
        page->setup();
        QCOMPARE(sequence().join(u' '), written);
        QCOMPARE(rec->lines, lines);
    }

    void otherFunctionQuery_data()
    {
        QTest::addColumn<QString>("memory");
        QTest::addColumn<QString>("shown");    // CheckBox65 ComboBox26 "Edit6" CheckBox66 Edit72 RadioGroup2 RadioGroup5
        QTest::addColumn<bool>("matchEnabled");
        QTest::addColumn<bool>("offLineEnabled");

        QTest::newRow("IDF on, length 3") << "178:01 179:03 180:0AFF10000000 87:01 84:012C 150:01 142:00" << "1 3 '0AFF10' 1 300 0 0" << true << true;
        QTest::newRow("length 6") << "178:01 179:06 180:0123456789AB 150:02 142:01" << "1 6 '0123456789AB' 0 0 1 1" << true << false;
        QTest::newRow("length 0: none, empty value") << "179:00 180:AB 150:00 142:02" << "0  '' 0 0 -1 1" << false << false;
        QTest::newRow("length 7: none; past the last") << "179:07 180:AB 150:03 142:FF" << "0  '' 0 0 1 1" << false << false;
        QTest::newRow("off-line flag 2 is off") << "87:02 84:FFFF 150:FF" << "0  '' 0 65535 1 0" << false << false;
    }
    void otherFunctionQuery()
    {
        QFETCH(QString, memory);
        QFETCH(QString, shown);
        QFETCH(bool, matchEnabled);
        QFETCH(bool, offLineEnabled);

        tree->show(0, 1);
        putMemory(memory);
        page->query();
        QCOMPARE(rec->lines, QStringList{queryOk});
        QCOMPARE(sequence().join(u' '), "178 179 180 87 84 150 142");
        QCOMPARE(QStringLiteral("%1 %2 '%3' %4 %5 %6 %7").arg(at<QCheckBox>("CheckBox65")->isChecked())
                     .arg(at<QComboBox>("ComboBox26")->currentText(), at<QLineEdit>("Edit6")->text())
                     .arg(at<QCheckBox>("CheckBox66")->isChecked()).arg(at<QLineEdit>("Edit72")->text())
                     .arg(group("RadioGroup2").selectedIndex()).arg(group("RadioGroup5").selectedIndex()), shown);
        QCOMPARE(at("ComboBox26")->isEnabled() && at("Edit6")->isEnabled(), matchEnabled);
        QCOMPARE(at("Edit72")->isEnabled() && at("Label102")->isEnabled(), offLineEnabled);
    }

    void failedLengthReadKeepsTheLengthShown()
    {
        tree->show(0, 1);
        at<QComboBox>("ComboBox26")->setCurrentIndex(1);
        putMemory("179:05 180:A1B2C3D4E5F6");
        fake::reader().failGet[179] = 0x20;
        page->query();
        QCOMPARE(at<QLineEdit>("Edit6")->text(), "A1B2");
        QCOMPARE(rec->lines, (QStringList{"查询特征值匹配长度参数失败 !", queryFailed}));
    }


    void fitsTheInnerTabArea()
    {
        tree->window->show();
        for (int inner : {0, 1}) {
            tree->show(0, inner);
            const QString shortfall = roomShortfall(tree->pageControl2->currentWidget());
            QVERIFY2(shortfall.isEmpty(), qPrintable(shortfall));
        }
    }
};

TEST_CLASS(WorkModePageTest)
} // namespace workmodepagetest
#include "WorkModePageTest.moc"
