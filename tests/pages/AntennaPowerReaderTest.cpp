// The "Antenna  Power" page through the real device library and the virtual
// reader over TCP: what a setup writes, a query brings back into the controls.
#include "AntennaPowerControls.h"
#include "ReaderPageFixture.h"

#include "AntennaPowerPage.h"
#include "Reader.h"

#include <QtTest>

using namespace antennapower;

Q_DECLARE_METATYPE(PageValues)

class AntennaPowerReaderTest : public QObject {
    Q_OBJECT

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

    ReaderPageFixture reader(simOptions);
    QVERIFY2(reader.failure().isEmpty(), qPrintable(reader.failure()));
    QWidget* tree = reader.tree.pageControl1;
    AntennaPowerPage page(reader.sheet("TabSheet17"), reader.context);

    put(tree, chosen);
    page.setup();
    // Change every control, so the query has to bring each one back.
    put(tree, PageValues{{5, 5, 5, 5}, chosen.work ^ 0xF, chosen.check ^ 0xF});
    // The work mask the reader held before the refused write is unknown to the
    // test: read it straight from the reader.
    if (afterQuery.work < 0) {
        uint8_t mask = 0;
        QCOMPARE(GetParameter(reader.handle(), 153, 1, &mask), uint16_t(READER_OK));
        afterQuery.work = mask & 0xF;
    }
    page.query();

    QCOMPARE(reader.rec.lines, lines);
    const PageValues back = shown(tree);
    QCOMPARE(back.positions, afterQuery.positions);
    QCOMPARE(back.work, afterQuery.work);
    QCOMPARE(back.check, afterQuery.check);
}

QTEST_MAIN(AntennaPowerReaderTest)
#include "AntennaPowerReaderTest.moc"
