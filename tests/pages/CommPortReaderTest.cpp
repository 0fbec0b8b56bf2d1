// The "Communication Port" page through the real device library and the
// virtual reader over TCP: what a setup writes, a query brings back into the controls.
#include "CommPortControls.h"
#include "ReaderPageFixture.h"

#include "CommPortPage.h"

#include <QtTest>

using namespace commport;

namespace {
// Every control of the page, client mode on, none at its start value.
const QVariantMap clientSetting{
    {"CheckBox3", false}, {"Edit97", "5000"},
    {"Edit115", "02"}, {"Edit116", "54"}, {"Edit117", "44"}, {"Edit118", "0A"}, {"Edit119", "BC"}, {"Edit120", "DE"},
    {"Edit98", "10"}, {"Edit99", "1"}, {"Edit100", "2"}, {"Edit101", "3"},
    {"Edit102", "255"}, {"Edit103", "255"}, {"Edit104", "0"}, {"Edit105", "0"},
    {"Edit106", "10"}, {"Edit107", "1"}, {"Edit108", "2"}, {"Edit109", "254"},
    {"CheckBox2", true}, {"Edit114", "6000"}, {"Edit112", "10"}, {"Edit111", "1"}, {"Edit110", "2"}, {"Edit113", "100"},
    {"ComboBox12", 2}, {"Edit3", "7"}, {"CheckBox5", true}, {"RadioButton7", true}, {"CheckBox6", true},
    {"ComboBox11", 1}, {"ComboBox9", 2}, {"Edit1", "20"}, {"Edit2", "30"},
};

// Every control changed from setting: the query has to bring each one back.
QVariantMap otherThan(const QVariantMap& setting)
{
    QVariantMap other;
    for (auto it = setting.begin(); it != setting.end(); ++it) {
        const QVariant& v = it.value();
        if (it.key().startsWith(QLatin1String("RadioButton")))
            other.insert(v.toBool() ? "RadioButton8" : "RadioButton7", true);
        else if (v.typeId() == QMetaType::Bool)
            other.insert(it.key(), !v.toBool());
        else if (v.typeId() == QMetaType::Int)
            other.insert(it.key(), v.toInt() == 0 ? 1 : 0);
        else
            other.insert(it.key(), "99");   // a number and a MAC byte alike
    }
    return other;
}
} // namespace

class CommPortReaderTest : public QObject {
    Q_OBJECT

private slots:
    void setupThenQuery_data()
    {
        QTest::addColumn<QVariantMap>("setting");
        QTest::newRow("client mode") << clientSetting;
        QVariantMap server = clientSetting;
        server.insert({{"CheckBox2", false}, {"CheckBox3", true}, {"RadioButton8", true}, {"CheckBox5", false},
                       {"CheckBox6", false}, {"ComboBox12", 4}, {"ComboBox11", 0}, {"ComboBox9", 9}});
        server.remove("RadioButton7");
        for (const char* serverField : {"Edit114", "Edit112", "Edit111", "Edit110", "Edit113"})
            server.remove(serverField);   // not written in server mode, nor read back
        QTest::newRow("server mode, DHCP, passive") << server;
    }

    void setupThenQuery()
    {
        QFETCH(QVariantMap, setting);

        ReaderPageFixture reader;
        QVERIFY2(reader.failure().isEmpty(), qPrintable(reader.failure()));
        QWidget* sheet = reader.sheet("TabSheet4");
        CommPortPage page(sheet, reader.context);

        reader.setupThenQuery(page, [&] { put(sheet, setting); }, [&] { put(sheet, otherThan(setting)); });

        QCOMPARE(reader.rec.lines, (QStringList{"Setup Communication Parameter Successfully !",
                                                "Query Communication Parameter Successfully !"}));
        QCOMPARE(shown(sheet, setting), setting);
    }
};

QTEST_MAIN(CommPortReaderTest)
#include "CommPortReaderTest.moc"
