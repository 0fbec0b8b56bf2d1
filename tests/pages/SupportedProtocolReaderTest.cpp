// The "Supported Protocol" page through the real device library and the
// virtual reader over TCP: what a setup writes, a query brings back.
#include "ReaderPageFixture.h"

#include "SupportedProtocolPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QtTest>

namespace {
const char* const boxName[6] = {"CheckBox23", "CheckBox24", "CheckBox25", "CheckBox35", "CheckBox36", "CheckBox40"};

// The six boxes as bits 0 to 5 (screen order), and the length list's position.
void put(QWidget* root, int boxes, int position)
{
    for (int i = 0; i < 6; ++i)
        child<QCheckBox>(root, boxName[i])->setChecked(boxes >> i & 1);
    child<QComboBox>(root, "ComboBox27")->setCurrentIndex(position);
}

int boxesShown(QWidget* root)
{
    int boxes = 0;
    for (int i = 0; i < 6; ++i)
        boxes |= child<QCheckBox>(root, boxName[i])->isChecked() << i;
    return boxes;
}
} // namespace

class SupportedProtocolReaderTest : public QObject {
    Q_OBJECT

private slots:
    void setupThenQuery_data();
    void setupThenQuery();
};

void SupportedProtocolReaderTest::setupThenQuery_data()
{
    QTest::addColumn<QStringList>("simOptions");
    QTest::addColumn<int>("boxes");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("positionBack");
    QTest::addColumn<QStringList>("lines");

    const QStringList ok{"Setup Supported Protocol Parameter Successfully !", "Query Supported Protocol Parameter Successfully !"};
    QTest::newRow("Gen 2 EPC and TID, length 6") << QStringList{} << 0x24 << 2 << 2 << ok;
    QTest::newRow("all six, length 7") << QStringList{} << 0x3F << 3 << 3 << ok;
    QTest::newRow("none, length 4") << QStringList{} << 0x00 << 0 << 0 << ok;
    // The refused length keeps the reader's own (4).
    QTest::newRow("reader refuses the length")
        << QStringList{"--fail-write", "66"} << 0x21 << 3 << 0
        << QStringList{"Setup Supported Protocol Parameter Failed !", "Query Supported Protocol Parameter Successfully !"};
}

void SupportedProtocolReaderTest::setupThenQuery()
{
    QFETCH(QStringList, simOptions);
    QFETCH(int, boxes);
    QFETCH(int, position);
    QFETCH(int, positionBack);
    QFETCH(QStringList, lines);

    ReaderPageFixture reader(simOptions);
    QVERIFY2(reader.failure().isEmpty(), qPrintable(reader.failure()));
    QWidget* tree = reader.tree.pageControl1;
    SupportedProtocolPage page(reader.sheet("TabSheet19"), reader.context);

    reader.setupThenQuery(page, [&] { put(tree, boxes, position); }, [&] { put(tree, boxes ^ 0x3F, 1); });

    QCOMPARE(reader.rec.lines, lines);
    QCOMPARE(boxesShown(tree), boxes);
    QCOMPARE(child<QComboBox>(tree, "ComboBox27")->currentIndex(), positionBack);
    const bool tid = boxes & 0x20;
    QCOMPARE(child(tree, "ComboBox27")->isEnabled(), tid);
}

QTEST_MAIN(SupportedProtocolReaderTest)
#include "SupportedProtocolReaderTest.moc"
