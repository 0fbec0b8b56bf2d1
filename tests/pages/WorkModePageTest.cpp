// The "Reader" tab's inner page "Work Mode" against the device library's test double.
#include "TestClasses.h"
#include "FakePageFixture.h"
#include "FakeReaderCalls.h"

#include "RadioSet.h"
#include "ParamPages.h"

#include <QCheckBox>
#include <QComboBox>
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

// The page runs as "Query Para" and "Setup Para" run it: the inner page showing.
class WorkModePageTest : public QObject, FakePageFixture<ParamPages, QTabWidget> {
    Q_OBJECT

    RadioSet modes() { return RadioSet({at<QRadioButton>("RadioButton3"), at<QRadioButton>("RadioButton4"), at<QRadioButton>("RadioButton5")}); }

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
        for (const char* name : {"ComboBox4", "ComboBox5", "ComboBox6", "ComboBox15", "Edit4"})
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

    void fitsTheInnerTabArea()
    {
        tree->window->show();
        tree->show(0, 0);
        const QString shortfall = roomShortfall(tree->pageControl2->currentWidget());
        QVERIFY2(shortfall.isEmpty(), qPrintable(shortfall));
    }
};

TEST_CLASS(WorkModePageTest)
} // namespace workmodepagetest
#include "WorkModePageTest.moc"
