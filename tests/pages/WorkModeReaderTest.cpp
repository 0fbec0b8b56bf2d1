// The "Reader" tab through the real device library and the virtual reader over
// TCP: what a setup writes, a query on a freshly built page brings back.
#include "ReaderPageFixture.h"

#include "ParamPages.h"

#include <QtTest>

class WorkModeReaderTest : public QObject {
    Q_OBJECT

private slots:
    void setupThenQuery_data()
    {
        QTest::addColumn<QStringList>("simOptions");
        QTest::addColumn<int>("inner");
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<QStringList>("readBack");   // where the query shows other than chosen
        QTest::addColumn<QStringList>("lines");

        const QStringList workMode{"RadioButton5=1", "Edit7=50", "Edit70=300", "ComboBox4=0", "ComboBox6=0", "Edit4=7"};
        const QStringList otherFunction{"CheckBox65=1", "ComboBox26=2", "Edit6=0AFF10", "CheckBox66=1", "Edit72=300",
                                        "RadioGroup2/Single Tag=1", "RadioGroup5/Self=1"};
        QTest::newRow("work mode") << QStringList{} << 0 << workMode << QStringList{}
                                   << QStringList{"Setup Reader Parameter Successfully !", "Query Reader Parameter Successfully !"};
        QTest::newRow("other function") << QStringList{} << 1 << otherFunction << QStringList{}
                                        << QStringList{"Setup Reader Parameter Successfully !", "Query Reader Parameter Successfully !"};
        QTest::newRow("reader refuses the off-line switch")
            << QStringList{"--fail-write", "87"} << 1 << otherFunction << QStringList{"CheckBox66=0"}
            << QStringList{"Setup Off-Line Function Failedly !", "Setup Reader Parameter Failed !",
                           "Query Reader Parameter Successfully !"};
    }

    void setupThenQuery()
    {
        QFETCH(QStringList, simOptions);
        QFETCH(int, inner);
        QFETCH(QStringList, chosen);
        QFETCH(QStringList, readBack);
        QFETCH(QStringList, lines);

        ReaderPageFixture reader(simOptions);
        QVERIFY2(reader.failure().isEmpty(), qPrintable(reader.failure()));

        ParamPages writtenPages(reader.tree.places, reader.context);
        writtenPages.buildAll();
        reader.tree.show(0, inner);
        QWidget* writtenSheet = reader.tree.pageControl2->currentWidget();
        applySheetValues(writtenSheet, chosen);
        writtenPages.setup();
        applySheetValues(writtenSheet, readBack);
        const QStringList expected = sheetValues(writtenSheet);

        // A fresh page at its start state, built by the query: it has to bring every value back.
        PageHarness read;
        ParamPages readPages(read.places, reader.context);
        read.show(0, inner);
        readPages.query();

        QCOMPARE(reader.rec.lines, lines);
        QCOMPARE(sheetValues(read.pageControl2->currentWidget()), expected);
    }
};

QTEST_MAIN(WorkModeReaderTest)
#include "WorkModeReaderTest.moc"
