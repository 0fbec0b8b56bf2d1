// What the Tag Monitor counts, without a window: the tally's rows (one a tag
// and reader number, in the order first read, capped) and the reads a second
// over the last minute as seconds pass with and without reads.
#include "TestClasses.h"
#include "ReadRate.h"
#include "TagTableModel.h"
#include "TagTally.h"

#include <QTest>

namespace tagcounts {

// A read of the tag whose ID is the hex text id, from reader, or with no reader number when reader < 0.
tagframe::TagRead read(int reader, const QByteArray& id)
{
    tagframe::TagRead r;
    if (reader >= 0)
        r.readerNumber = uint8_t(reader);
    const QByteArray bytes = QByteArray::fromHex(id);
    r.idLength = uint8_t(bytes.size());
    std::copy(bytes.begin(), bytes.end(), r.idBytes.begin());
    return r;
}

struct Read {
    int reader;
    QByteArray id;
    int64_t atMs;
};

} // namespace tagcounts

Q_DECLARE_METATYPE(QList<tagcounts::Read>)

using namespace tagcounts;

class TagCountsTest : public QObject {
    Q_OBJECT
private slots:
    void tally_data();
    void tally();
    void rate_data();
    void rate();
};

void TagCountsTest::tally_data()
{
    QTest::addColumn<int>("cap");
    QTest::addColumn<QList<Read>>("reads");
    // A row a tag: "ID reader reads first last".
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<qulonglong>("unlisted");

    QTest::newRow("one tag read three times: first and last seen")
        << 10 << QList<Read>{{1, "E200", 100}, {1, "E200", 200}, {1, "E200", 300}} << QStringList{"E200 1 3 100 300"} << 0ull;
    QTest::newRow("the same ID from two readers is two tags, in the order first read")
        << 10 << QList<Read>{{2, "E200", 100}, {1, "E200", 150}, {2, "E200", 200}}
        << QStringList{"E200 2 2 100 200", "E200 1 1 150 150"} << 0ull;
    QTest::newRow("a frame without reader number is a tag of its own")
        << 10 << QList<Read>{{-1, "E200", 100}, {0, "E200", 150}} << QStringList{"E200  1 100 100", "E200 0 1 150 150"} << 0ull;
    QTest::newRow("IDs that differ only in length are two tags")
        << 10 << QList<Read>{{1, "E200", 100}, {1, "E20000", 100}} << QStringList{"E200 1 1 100 100", "E20000 1 1 100 100"} << 0ull;
    QTest::newRow("a full table: further tags count in the total only, listed ones go on counting")
        << 2 << QList<Read>{{1, "01", 100}, {1, "02", 110}, {1, "03", 120}, {1, "01", 130}, {1, "04", 140}}
        << QStringList{"01 1 2 100 130", "02 1 1 110 110"} << 2ull;
}

void TagCountsTest::tally()
{
    QFETCH(int, cap);
    QFETCH(QList<Read>, reads);
    QFETCH(QStringList, rows);
    QFETCH(qulonglong, unlisted);

    tagframe::TagTally tally{std::size_t(cap)};
    for (const Read& r : reads)
        tally.add({}, read(r.reader, r.id), tagframe::WallTime(std::chrono::milliseconds(r.atMs)));

    QStringList got;
    for (const tagframe::TagRow& row : tally.rows())
        got << QStringLiteral("%1 %2 %3 %4 %5")
                   .arg(tagIdText(row.tag), readerNumberText(row.tag))
                   .arg(row.reads)
                   .arg(msSinceEpoch(row.first))
                   .arg(msSinceEpoch(row.last));
    QCOMPARE(got, rows);
    QCOMPARE(tally.reads(), qulonglong(reads.size()));
    QCOMPARE(tally.unlisted(), unlisted);
    const tagframe::TagTally::Changed changed = tally.takeChanged();
    QCOMPARE(changed.end, tally.rows().size());
    QCOMPARE(tally.takeChanged().end, std::size_t(0));
}

void TagCountsTest::rate_data()
{
    // Reads: "ms:count" from a start at 0; then the rate is looked at, at nowMs.
    QTest::addColumn<QStringList>("reads");
    QTest::addColumn<int>("nowMs");
    QTest::addColumn<qulonglong>("lastSecond");
    QTest::addColumn<QList<qulonglong>>("minute");

    QTest::newRow("the first second is not whole yet") << QStringList{"0:5", "900:5"} << 999 << 0ull << QList<qulonglong>{};
    QTest::newRow("whole seconds, with one that had no read")
        << QStringList{"0:5", "900:5", "2500:7"} << 3000 << 7ull << QList<qulonglong>{10, 0, 7};
    QTest::newRow("seconds with no read since the last one count 0")
        << QStringList{"0:5"} << 4200 << 0ull << QList<qulonglong>{5, 0, 0, 0};
    QTest::newRow("a minute and more: the oldest seconds go")
        << QStringList{"0:1", "1000:2", "61500:3"} << 62000 << 3ull << (QList<qulonglong>(59, 0) << 3);
    QTest::newRow("two minutes without reads: nothing of before is left")
        << QStringList{"0:9", "500:9"} << 125000 << 0ull << QList<qulonglong>(60, 0);
}

void TagCountsTest::rate()
{
    QFETCH(QStringList, reads);
    QFETCH(int, nowMs);
    QFETCH(qulonglong, lastSecond);
    QFETCH(QList<qulonglong>, minute);

    ReadRate rate;
    rate.restart(1'000'000);   // any steady clock's start
    for (const QString& r : reads)
        rate.add(r.section(u':', 1).toULongLong(), 1'000'000 + r.section(u':', 0, 0).toLongLong());
    rate.advance(1'000'000 + nowMs);
    QCOMPARE(rate.lastSecond(), lastSecond);
    const std::vector<uint64_t> got = rate.lastMinute();
    QCOMPARE(QList<qulonglong>(got.begin(), got.end()), minute);
}

TEST_CLASS(TagCountsTest)
#include "TagCountsTest.moc"
