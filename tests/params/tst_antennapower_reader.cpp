// The "Antenna  Power" page through the real device library and the virtual
// reader over TCP: what a setup writes, a query brings back into the controls.
#include "PageTree.h"
#include "SimProcess.h"

#include "params/AntennaPowerPage.h"
#include "reader/Reader.h"

#include <QCheckBox>
#include <QComboBox>
#include <QtTest>

#include <cstdlib>

namespace {
const char* const gateName[4] = {"CheckBox8", "CheckBox13", "CheckBox14", "CheckBox15"};
const char* const powerName[4] = {"ComboBox18", "ComboBox19", "ComboBox20", "ComboBox21"};
const char* const workName[4] = {"CheckBox9", "CheckBox10", "CheckBox11", "CheckBox12"};
const char* const checkName[4] = {"CheckBox26", "CheckBox27", "CheckBox28", "CheckBox29"};

// What the operator sets on the page: four power positions and two 4-bit masks.
struct PageValues {
    QList<int> positions;
    int work = 0;
    int check = 0;
};
} // namespace

Q_DECLARE_METATYPE(PageValues)

class AntennaPowerReaderTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<PageTree> tree;

    template <typename W>
    W* get(const char* name)
    {
        W* widget = tree->pageControl1->findChild<W*>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }

    void put(const PageValues& v)
    {
        for (int i = 0; i < 4; ++i) {
            get<QCheckBox>(gateName[i])->setChecked(true);
            get<QComboBox>(powerName[i])->setCurrentIndex(v.positions[i]);
            get<QCheckBox>(workName[i])->setChecked(v.work >> i & 1);
            get<QCheckBox>(checkName[i])->setChecked(v.check >> i & 1);
        }
    }

    PageValues shown()
    {
        PageValues v;
        for (int i = 0; i < 4; ++i) {
            v.positions << get<QComboBox>(powerName[i])->currentIndex();
            v.work |= get<QCheckBox>(workName[i])->isChecked() << i;
            v.check |= get<QCheckBox>(checkName[i])->isChecked() << i;
        }
        return v;
    }

private slots:
    void setupThenQuery_data();
    void setupThenQuery();
};

void AntennaPowerReaderTest::setupThenQuery_data()
{
    QTest::addColumn<QStringList>("simOptions");
    QTest::addColumn<PageValues>("chosen");
    QTest::addColumn<PageValues>("afterQuery");
    QTest::addColumn<QStringList>("lines");

    const PageValues chosen{{0, 8, 10, 13}, 0xA, 0x9};
    QTest::newRow("every parameter accepted")
        << QStringList{} << chosen << chosen
        << QStringList{"Setup Power And Antenna Parameter Successfully !",
                       "Query Power and Antenna Parameter Successfully !"};
    QTest::newRow("extremes") << QStringList{} << PageValues{{13, 0, 13, 0}, 0xF, 0x0} << PageValues{{13, 0, 13, 0}, 0xF, 0x0}
                              << QStringList{"Setup Power And Antenna Parameter Successfully !",
                                             "Query Power and Antenna Parameter Successfully !"};
    // A refused read of channel 2 leaves its list as the operator last set it (position 5).
    QTest::newRow("reader refuses to read channel 2")
        << QStringList{"--fail-read", "208"} << chosen << PageValues{{0, 5, 10, 13}, 0xA, 0x9}
        << QStringList{"Setup Power And Antenna Parameter Successfully !", "Query Channel 2 Power Parameter Failed !",
                       "Query Power and Antenna Parameter Failed !"};
    // A refused write of the work mask keeps what the reader held before: none worked.
    QTest::newRow("reader refuses the work antenna mask")
        << QStringList{"--fail-write", "153"} << chosen << PageValues{{0, 8, 10, 13}, -1, 0x9}
        << QStringList{"Setup Work Antenna Parameter Failed !", "Setup Power And Antenna Parameter Failed !",
                       "Query Power and Antenna Parameter Successfully !"};
}

void AntennaPowerReaderTest::setupThenQuery()
{
    QFETCH(QStringList, simOptions);
    QFETCH(PageValues, chosen);
    QFETCH(PageValues, afterQuery);
    QFETCH(QStringList, lines);

    std::vector<std::string> args;
    for (const QString& option : simOptions)
        args.push_back(option.toStdString());
    SimProcess sim(args);
    QVERIFY(sim.tcpPort() != 0);
    qputenv("READER_TCP_PORT", QByteArray::number(sim.tcpPort()));

    uint32_t handle = 0;
    QCOMPARE(OpenReader(&handle, READER_PORT_TCP, "127.0.0.1"), uint16_t(READER_OK));

    tree = std::make_unique<PageTree>();
    RecordingContext rec;
    PageContext context = rec.context();
    context.handle = [handle] { return handle; };
    AntennaPowerPage page(tree->pageControl1->findChild<QWidget*>("TabSheet17"), context);

    put(chosen);
    page.setup();
    // Change every control, so the query has to bring each one back.
    put(PageValues{{5, 5, 5, 5}, chosen.work ^ 0xF, chosen.check ^ 0xF});
    // The work mask the reader held before the refused write is unknown to the
    // test: read it straight from the reader.
    if (afterQuery.work < 0) {
        uint8_t mask = 0;
        QCOMPARE(GetParameter(handle, 153, 1, &mask), uint16_t(READER_OK));
        afterQuery.work = mask & 0xF;
    }
    page.query();
    CloseReader(handle);

    QCOMPARE(rec.lines, lines);
    const PageValues back = shown();
    QCOMPARE(back.positions, afterQuery.positions);
    QCOMPARE(back.work, afterQuery.work);
    QCOMPARE(back.check, afterQuery.check);
    tree.reset();
}

QTEST_MAIN(AntennaPowerReaderTest)
#include "tst_antennapower_reader.moc"
