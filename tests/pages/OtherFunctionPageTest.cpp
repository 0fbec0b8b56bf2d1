// The "Reader" tab's inner page "Other Function" against the device library's
// test double.
#include "TestClasses.h"
#include "FakePageFixture.h"
#include "FakeReaderCalls.h"

#include "RadioSet.h"
#include "ParamPages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

// A test program compiles its files as one: what this file defines stays in its namespace.
namespace otherfunctionpagetest {

using namespace fakecalls;

namespace {
const auto [setupOk, setupFailed, queryOk, queryFailed] = closingLines("Reader Parameter");
} // namespace

// The page runs as "Query Para" and "Setup Para" run it: the inner page showing.
class OtherFunctionPageTest : public QObject, FakePageFixture<ParamPages, QTabWidget> {
    Q_OBJECT

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
        QCOMPARE(at<QComboBox>("ComboBox26")->currentText(), "6");
        QCOMPARE(at<QLineEdit>("Edit72")->text(), "65535");
        QCOMPARE(group("RadioGroup2").selectedIndex(), 0);
        QCOMPARE(group("RadioGroup5").selectedIndex(), 0);
        for (const char* name : {"ComboBox26", "Edit6", "Edit72", "Label102"})
            QVERIFY2(!at(name)->isEnabled(), name);
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
        tree->show(0, 1);
        const QString shortfall = roomShortfall(tree->pageControl2->currentWidget());
        QVERIFY2(shortfall.isEmpty(), qPrintable(shortfall));
    }
};

TEST_CLASS(OtherFunctionPageTest)
} // namespace otherfunctionpagetest
#include "OtherFunctionPageTest.moc"
