// The "Antenna  Power" page through the real device library and the virtual
// reader over TCP: what a setup writes, a query brings back into the controls.
#include "AntennaPowerControls.h"
#include "ControlFinder.h"
#include "PageHarness.h"
#include "SimProcess.h"

#include "AntennaPowerPage.h"
#include "Reader.h"

#include <QCheckBox>
#include <QComboBox>
#include <QtTest>

#include <cstdlib>

using namespace antennapower;

namespace {
// What the operator sets on the page: four power positions and two 4-bit masks.
struct PageValues {
    QList<int> positions;
    int work = 0;
    int check = 0;
};

// Sets the page's controls under root to v, every channel checked.
void put(QWidget* root, const PageValues& v)
{
    for (int i = 0; i < 4; ++i) {
        child<QCheckBox>(root, gateName[i])->setChecked(true);
        child<QComboBox>(root, powerName[i])->setCurrentIndex(v.positions[i]);
        child<QCheckBox>(root, workName[i])->setChecked(v.work >> i & 1);
        child<QCheckBox>(root, checkName[i])->setChecked(v.check >> i & 1);
    }
}

// What the page's controls under root show.
PageValues shown(QWidget* root)
{
    PageValues v;
    for (int i = 0; i < 4; ++i) {
        v.positions << child<QComboBox>(root, powerName[i])->currentIndex();
        v.work |= child<QCheckBox>(root, workName[i])->isChecked() << i;
        v.check |= child<QCheckBox>(root, checkName[i])->isChecked() << i;
    }
    return v;
}
} // namespace

Q_DECLARE_METATYPE(PageValues)

class AntennaPowerReaderTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<PageHarness> tree;

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

    tree = std::make_unique<PageHarness>();
    RecordingContext rec;
    PageContext context = rec.context();
    context.handle = [handle] { return handle; };
    AntennaPowerPage page(tree->pageControl1->findChild<QWidget*>("TabSheet17"), context);

    put(tree->pageControl1, chosen);
    page.setup();
    // Change every control, so the query has to bring each one back.
    put(tree->pageControl1, PageValues{{5, 5, 5, 5}, chosen.work ^ 0xF, chosen.check ^ 0xF});
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
    const PageValues back = shown(tree->pageControl1);
    QCOMPARE(back.positions, afterQuery.positions);
    QCOMPARE(back.work, afterQuery.work);
    QCOMPARE(back.check, afterQuery.check);
    tree.reset();
}

QTEST_MAIN(AntennaPowerReaderTest)
#include "AntennaPowerReaderTest.moc"
