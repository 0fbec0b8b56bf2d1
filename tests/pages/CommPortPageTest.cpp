// The "Communication Port" page against the device library's test double.
#include "TestClasses.h"
#include "CommPortControls.h"
#include "FakePageFixture.h"
#include "FakeReaderCalls.h"

#include "CommPortPage.h"
#include "ErrorBox.h"
#include "FieldRules.h"
#include "RadioSet.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

// A test program compiles its files as one: what this file defines stays in its namespace.
namespace commportpagetest {

using namespace commport;
using namespace fakecalls;

namespace {
const auto [setupOk, setupFailed, queryOk, queryFailed] = closingLines("Communication Parameter");

// The setup of the page as it starts: "address:HEX", in call order.
const QStringList defaultWrites{"4:00", "24:0FA1", "6:FFFFFFFFFFFF", "12:C0A800B2", "16:FFFFFF00",
                                "20:C0A800FE", "3:02", "132:01", "131:00", "100:00", "140:01", "134:00",
                                "133:00", "135:01", "139:0A", "136:08", "137:0C"};

qsizetype indexOfAddress(const QStringList& list, const QString& prefix)
{
    for (qsizetype i = 0; i < list.size(); ++i)
        if (list[i].startsWith(prefix))
            return i;
    return -1;
}

// defaultWrites with each change "address:bytes" in place of that address's write
// ("address:" alone: not written); the server's writes go in after the connection mode.
QStringList withChanges(const QStringList& changes)
{
    QStringList out = defaultWrites;
    for (const QString& change : changes) {
        const QString address = change.section(u':', 0, 0) + u':';
        const qsizetype at = indexOfAddress(out, address);
        if (at >= 0 && change.endsWith(u':'))
            out.removeAt(at);
        else if (at >= 0)
            out[at] = change;
        else
            out.insert(indexOfAddress(out, QStringLiteral("3:")) + (address == "26:" ? 2 : 1), change);
    }
    return out;
}

const QStringList clientFields{"Label118", "Label117", "Edit114", "Edit112", "Edit111", "Edit110", "Edit113"};
const QStringList dhcpFields{"Label33", "Edit98", "Edit99", "Edit100", "Edit101", "Label49", "Edit102", "Edit103",
                             "Edit104", "Edit105"};
} // namespace

class CommPortPageTest : public QObject, FakePageFixture<CommPortPage> {
    Q_OBJECT

    bool enabled(const QString& name) { return child(sheet, name)->isEnabled(); }

private slots:
    void init() { build("TabSheet4"); }
    void cleanup() { tearDown(); }

    void setupWrites_data()
    {
        QTest::addColumn<QVariantMap>("controls");
        QTest::addColumn<QStringList>("changes");
        QTest::newRow("as the page starts") << QVariantMap{} << QStringList{};
        QTest::newRow("client mode") << QVariantMap{{"CheckBox2", true}}
                                     << QStringList{"3:03", "30:2710", "26:C0A80001"};
        QTest::newRow("server fields in screen order")
            << QVariantMap{{"CheckBox2", true}, {"Edit112", "10"}, {"Edit111", "11"}, {"Edit110", "12"}, {"Edit113", "13"}}
            << QStringList{"3:03", "30:2710", "26:0A0B0C0D"};
        QTest::newRow("port beyond 16 bits, no field rule") << QVariantMap{{"Edit97", "70000"}} << QStringList{"24:1170"};
        QTest::newRow("DHCP on, addresses still written") << QVariantMap{{"CheckBox3", true}} << QStringList{"4:01"};
        QTest::newRow("MAC digits, one-digit field") << QVariantMap{{"Edit115", "0A"}, {"Edit116", "F"}, {"Edit120", "1"}}
                                                   << QStringList{"6:0A0FFFFFFF01"};
        QTest::newRow("ack with passive") << QVariantMap{{"CheckBox6", true}} << QStringList{};
        QTest::newRow("ack, buffered, active") << QVariantMap{{"CheckBox6", true}, {"RadioButton7", true}}
                                               << QStringList{"134:01", "133:01"};
        QTest::newRow("ack, active, not buffered")
            << QVariantMap{{"CheckBox6", true}, {"RadioButton7", true}, {"CheckBox5", false}}
            << QStringList{"140:00", "134:01"};
        QTest::newRow("lists at their last items")
            << QVariantMap{{"ComboBox11", 1}, {"ComboBox12", 4}, {"ComboBox9", 0}, {"Edit3", "300"}}
            << QStringList{"132:02", "131:04", "100:2C", "135:02", "139:01"};
    }
    void setupWrites()
    {
        QFETCH(QVariantMap, controls);
        QFETCH(QStringList, changes);
        put(sheet, controls);
        page->setup();
        QCOMPARE(writes(), withChanges(changes));
        QCOMPARE(rec->lines, QStringList{setupOk});
    }

    void queryShows_data()
    {
        QTest::addColumn<QVariantMap>("memory");   // "address" -> bytes
        QTest::addColumn<QVariantMap>("expected");
        QTest::addColumn<QStringList>("enabledNames");
        QTest::addColumn<QStringList>("disabledNames");
        QTest::addColumn<QStringList>("afterSetup"); // changes a following setup writes

        const auto bytes = [](const char* hex) { return QByteArray::fromHex(hex); };
        const QVariantMap base{{"24", bytes("1388")}, {"6", bytes("001A2B3C4DFF")}, {"12", bytes("0A000001")},
                               {"16", bytes("FFFF0000")}, {"20", bytes("0A0000FE")}, {"132", bytes("01")},
                               {"135", bytes("01")}, {"139", bytes("0A")}, {"136", bytes("08")}, {"137", bytes("0C")}, {"30", bytes("1388")}, {"26", bytes("0A000002")}};
        const auto with = [&](QVariantMap more) {
            for (auto it = base.begin(); it != base.end(); ++it)
                if (!more.contains(it.key()))
                    more.insert(it.key(), it.value());
            return more;
        };
        const QVariantMap shownBase{{"Edit97", "5000"}, {"Edit115", "00"}, {"Edit116", "1A"}, {"Edit120", "FF"},
                                    {"Edit98", "10"}, {"Edit101", "1"}, {"Edit105", "0"}, {"Edit109", "254"}};
        const QStringList baseWrites{"24:1388", "6:001A2B3C4DFF", "12:0A000001", "16:FFFF0000",
                                     "20:0A0000FE", "140:00", "100:00", "131:00"};
        const auto plus = [&](QStringList more) { return baseWrites + more; };
        const auto show = [&](QVariantMap more) {
            more.insert(shownBase);
            return more;
        };

        for (const char* mode : {"01", "03"})
            QTest::addRow("connection mode %s", mode)
                << with({{"3", bytes(mode)}}) << show({{"CheckBox2", true}, {"Edit114", "5000"}, {"Edit112", "10"}, {"Edit113", "2"}})
                << clientFields << QStringList{} << plus({"3:03", "30:1388", "26:0A000002"});
        for (const char* mode : {"00", "02"})
            QTest::addRow("connection mode %s", mode)
                << with({{"3", bytes(mode)}, {"CheckBox2", true}}) << show({{"CheckBox2", false}, {"Edit112", "192"}})
                << QStringList{} << clientFields << plus({});
        QTest::newRow("DHCP on") << with({{"4", bytes("01")}}) << show({{"CheckBox3", true}})
                                 << QStringList{"Edit106", "Edit97", "Edit115"} << dhcpFields << plus({"4:01"});
        QTest::newRow("active, buffered") << with({{"134", bytes("01")}, {"140", bytes("01")}})
                                          << QVariantMap{{"RadioButton7", true}, {"RadioButton8", false}}
                                          << QStringList{"CheckBox6"} << QStringList{} << plus({"140:01", "134:01"});
        QTest::newRow("active, not buffered") << with({{"134", bytes("01")}, {"133", bytes("01")}})
                                              << QVariantMap{{"RadioButton7", true}, {"CheckBox6", true}}
                                              << QStringList{} << QStringList{"CheckBox6"} << plus({"134:01"});
        // Values matching no item: nothing is written for them (no choice was made).
        QTest::newRow("no item matches")
            << with({{"RadioButton7", true}, {"134", bytes("02")}, {"140", bytes("01")}, {"131", bytes("05")}, {"132", bytes("00")},
                     {"135", bytes("03")}, {"139", bytes("0B")}})
            << QVariantMap{{"RadioButton7", false}, {"RadioButton8", false}, {"ComboBox12", -1}, {"ComboBox11", -1},
                           {"ComboBox9", -1}}
            << QStringList{} << QStringList{"CheckBox6"} << plus({"140:01", "131:", "132:", "134:", "135:", "139:"});
        QTest::newRow("T16 replaces T10") << with({{"132", bytes("02")}, {"135", bytes("01")}})
                                          << QVariantMap{{"ComboBox11", 0}} << QStringList{} << QStringList{} << plus({});
    }
    void queryShows()
    {
        QFETCH(QVariantMap, memory);
        QFETCH(QVariantMap, expected);
        QFETCH(QStringList, enabledNames);
        QFETCH(QStringList, disabledNames);
        QFETCH(QStringList, afterSetup);

        // A control name in memory is the state the page shows before the query.
        for (auto it = memory.begin(); it != memory.end(); ++it) {
            if (!it.key().front().isDigit())
                put(sheet, {{it.key(), it.value()}});
            else
                putMemory(it.key().toInt(), it.value().toByteArray());
        }
        page->query();
        QCOMPARE(rec->lines, QStringList{queryOk});
        QCOMPARE(shown(sheet, expected), expected);
        for (const QString& name : enabledNames)
            QVERIFY2(enabled(name), qPrintable(name + " enabled"));
        for (const QString& name : disabledNames)
            QVERIFY2(!enabled(name), qPrintable(name + " disabled"));
        QCOMPARE(count("GetParameter"), child<QCheckBox>(sheet, "CheckBox2")->isChecked() ? 19 : 17);

        const bool anyUnset = afterSetup.contains("134:");
        page->setup();
        QCOMPARE(writes(), withChanges(afterSetup));
        QCOMPARE(rec->lines.last(), anyUnset ? setupFailed : setupOk);
    }

    void failedSteps_data()
    {
        QTest::addColumn<QVariantMap>("controls");
        QTest::addColumn<bool>("neitherRadio");
        QTest::addColumn<bool>("setup");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("calls");
        QTest::newRow("empty MAC field") << QVariantMap{{"Edit117", ""}} << false << true
                                         << QStringList{"Setup MAC Address Parameter Failed !", setupFailed} << 16;
        QTest::newRow("neither radio") << QVariantMap{} << true << true
                                       << QStringList{"Setup RS-485 Tranfer Mode Parameter Failed !", setupFailed} << 16;
        // A failed read of the connection mode: the server steps follow what the box showed.
        QTest::newRow("T7 fails in client mode") << QVariantMap{{"CheckBox2", true}} << false << false
                                                 << QStringList{"Query Client Mode Parameter Failed !", queryFailed} << 19;
    }
    void failedSteps()
    {
        QFETCH(QVariantMap, controls);
        QFETCH(bool, neitherRadio);
        QFETCH(bool, setup);
        QFETCH(QStringList, lines);
        QFETCH(int, calls);
        put(sheet, controls);
        if (neitherRadio)
            RadioSet({child<QRadioButton>(sheet, "RadioButton8")}).clear();
        fake::reader().failGet[3] = 0x20;
        setup ? page->setup() : page->query();
        QCOMPARE(rec->lines, lines);
        QCOMPARE(count(), calls);
        QCOMPARE(child<QCheckBox>(sheet, "CheckBox2")->isChecked(), controls.value("CheckBox2").toBool());
    }

    void queryFailureKeepsTheRs485Protocol()
    {
        fake::reader().memory[132] = 2;
        fake::reader().failGet[135] = 0x20;
        page->query();
        QCOMPARE(child<QComboBox>(sheet, "ComboBox11")->currentIndex(), 1);
        QCOMPARE(rec->lines, (QStringList{"Query Wiegand Protocol Parameter Failed !", queryFailed}));
    }

    void emptyPortStopsTheRoutine_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("clientMode");
        QTest::addColumn<int>("writesMade");
        QTest::newRow("Edit97") << "Edit97" << false << 1;
        QTest::newRow("Edit114 in client mode") << "Edit114" << true << 7;
    }
    void emptyPortStopsTheRoutine()
    {
        QFETCH(QString, field);
        QFETCH(bool, clientMode);
        QFETCH(int, writesMade);
        attachFieldRules(sheet);
        put(sheet, {{field, ""}, {"CheckBox2", clientMode}});
        QStringList boxes;
        setErrorBoxSinkForTesting([&](const QString& text) { boxes << text; });
        runGuarded(nullptr, [&] { page->setup(); });
        setErrorBoxSinkForTesting({});
        QCOMPARE(boxes, QStringList{"'' is not a valid integer value."});
        QCOMPARE(writes(), withChanges({"3:03"}).mid(0, writesMade));
        QVERIFY2(rec->lines.isEmpty(), "a stopped routine logs no closing line");
    }

    void portAbove16BitsIsHeld_data()
    {
        QTest::addColumn<QString>("field");
        QTest::newRow("Edit97") << "Edit97";
        QTest::newRow("Edit114") << "Edit114";
    }
    void portAbove16BitsIsHeld()
    {
        QFETCH(QString, field);
        attachFieldRules(sheet);
        put(sheet, {{"CheckBox2", true}});   // a disabled field takes no keys
        auto* edit = child<QLineEdit>(sheet, field);
        edit->clear();
        QTest::keyClicks(edit, "700001");
        QCOMPARE(edit->text(), QStringLiteral("65535"));
    }


    void enablingRules()
    {
        QVERIFY(!enabled("CheckBox6") && !enabled("Edit114") && enabled("Edit98"));
        put(sheet, {{"CheckBox3", true}, {"CheckBox2", true}, {"RadioButton7", true}, {"CheckBox6", true}});
        for (const QString& name : dhcpFields)
            QVERIFY2(!enabled(name), qPrintable(name));
        for (const QString& name : clientFields)
            QVERIFY2(enabled(name), qPrintable(name));
        QVERIFY(enabled("CheckBox6"));
        put(sheet, {{"CheckBox5", false}});
        QVERIFY2(!enabled("CheckBox6") && child<QCheckBox>(sheet, "CheckBox6")->isChecked(),
                 "ID Buffered cleared greys Ack Tranfer and keeps its state");
        put(sheet, {{"CheckBox5", true}, {"RadioButton8", true}});
        QVERIFY(!enabled("CheckBox6"));
    }

    void fitsLeftOfTheButtons()
    {
        QVERIFY(tree->showWindow(2));
        // The server address fields carry bytes 0 to 3 from left to right.
        QWidget* previous = nullptr;
        for (const char* name : {"Edit112", "Edit111", "Edit110", "Edit113"}) {
            QWidget* edit = child(sheet, name);
            QVERIFY(!previous || previous->x() < edit->x());
            previous = edit;
        }
        for (QWidget* widget : sheet->findChildren<QWidget*>()) {
            if (widget->isWindow() || !widget->isVisibleTo(sheet))
                continue;   // the lists' pop-ups
            const QRect area(widget->mapTo(sheet, QPoint(0, 0)), widget->size());
            QVERIFY2(area.right() < 436 && area.bottom() < sheet->height(),
                     qPrintable(QStringLiteral("%1 reaches %2, %3").arg(widget->objectName()).arg(area.right()).arg(area.bottom())));
            // Texts are not clipped: a field's widest text, "10000" or "FF", fits between its margins.
            const auto* edit = qobject_cast<QLineEdit*>(widget);
            const int needed = edit ? edit->fontMetrics().horizontalAdvance(edit->text()) + 8
                                    : widget->minimumSizeHint().width();
            QVERIFY2(widget->width() >= needed, qPrintable(widget->objectName()));
        }
    }
};

TEST_CLASS(CommPortPageTest)
} // namespace commportpagetest
#include "CommPortPageTest.moc"
