// The "Frequency" page through the real device library and the virtual reader
// over TCP: what a setup writes, a query brings back; and a connect of the
// whole window fills the channel lists from the reader's plan.
#include "ReaderPageFixture.h"
#include "WindowProbe.h"

#include "ErrorBox.h"
#include "FrequencyPage.h"
#include "MainWindow.h"
#include "Reader.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QRadioButton>
#include <QSlider>
#include <QtTest>

namespace {
// What the operator sets on the page.
struct PageValues {
    QStringList plan;          // Edit75, Edit76, Edit77
    bool hopping = false;
    int fixedPosition = -1;
    QList<int> checked;        // channels, from 1
    int hopInterval = 30;
};

QStringList comboItems(QComboBox* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->itemText(i);
    return out;
}

QList<int> checkedChannels(QListWidget* list)
{
    QList<int> out;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked)
            out << i + 1;
    return out;
}

void put(QWidget* root, const PageValues& v)
{
    child<QCheckBox>(root, "CheckBox1")->setChecked(true);
    child<QLineEdit>(root, "Edit75")->setText(v.plan[0]);
    child<QLineEdit>(root, "Edit76")->setText(v.plan[1]);
    child<QLineEdit>(root, "Edit77")->setText(v.plan[2]);
    child<QRadioButton>(root, v.hopping ? "RadioButton12" : "RadioButton11")->setChecked(true);
    child<QComboBox>(root, "ComboBox13")->setCurrentIndex(v.fixedPosition);
    auto* list = child<QListWidget>(root, "CheckListBox1");
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setCheckState(v.checked.contains(i + 1) ? Qt::Checked : Qt::Unchecked);
    child<QSlider>(root, "TrackBar14")->setValue(v.hopInterval);
}

PageValues shown(QWidget* root)
{
    PageValues v;
    for (const char* field : {"Edit75", "Edit76", "Edit77"})
        v.plan << child<QLineEdit>(root, field)->text();
    v.hopping = child<QRadioButton>(root, "RadioButton12")->isChecked();
    v.fixedPosition = child<QComboBox>(root, "ComboBox13")->currentIndex();
    v.checked = checkedChannels(child<QListWidget>(root, "CheckListBox1"));
    v.hopInterval = child<QSlider>(root, "TrackBar14")->value();
    return v;
}
} // namespace

Q_DECLARE_METATYPE(PageValues)

class FrequencyReaderTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale::c());
        setErrorBoxSinkForTesting([](const QString& text) { QFAIL(qPrintable("error box: " + text)); });
    }
    void setupThenQuery_data();
    void setupThenQuery();
    void connectFillsTheListsFromThePlan_data();
    void connectFillsTheListsFromThePlan();
};

void FrequencyReaderTest::setupThenQuery_data()
{
    QTest::addColumn<QStringList>("simOptions");
    QTest::addColumn<PageValues>("chosen");
    QTest::addColumn<PageValues>("afterQuery");
    QTest::addColumn<QStringList>("lines");

    const PageValues hopping{{"91000", "25", "30"}, true, 0, {1, 5, 30}, 45};
    QTest::newRow("hopping over three of 30 channels")
        << QStringList{} << hopping << hopping
        << QStringList{"Setup Frequency Parameter Successfully !", "Query Frequency Parameter Successfully !"};
    const PageValues fixed{{"96000", "50", "12"}, false, 11, {}, 100};
    QTest::newRow("fixed on channel 12 of 12")
        << QStringList{} << fixed << fixed
        << QStringList{"Setup Frequency Parameter Successfully !", "Query Frequency Parameter Successfully !"};
    // The reader keeps its hopping mode, over the empty mask the plan's setup wrote.
    QTest::newRow("reader refuses the channel byte")
        << QStringList{"--fail-write", "160"} << fixed << PageValues{{"96000", "50", "12"}, true, 0, {}, 100}
        << QStringList{"Setup Frequency Parameter Failed !", "Query Frequency Parameter Successfully !"};
}

void FrequencyReaderTest::setupThenQuery()
{
    QFETCH(QStringList, simOptions);
    QFETCH(PageValues, chosen);
    QFETCH(PageValues, afterQuery);
    QFETCH(QStringList, lines);

    ReaderPageFixture reader(simOptions);
    QVERIFY2(reader.failure().isEmpty(), qPrintable(reader.failure()));
    QWidget* tree = reader.tree.pageControl1;
    FrequencyPage page(reader.sheet("TabSheet18"), reader.context);

    // The plan first, so the lists have the channels the choice needs.
    put(tree, PageValues{chosen.plan, true, 0, {}, 30});
    page.setup();
    page.refreshLists();
    reader.rec.lines.clear();
    reader.setupThenQuery(page, [&] { put(tree, chosen); },
                          [&] { put(tree, PageValues{{"86000", "1", "1"}, !chosen.hopping, 0, {1}, 5}); });

    QCOMPARE(reader.rec.lines, lines);
    const PageValues back = shown(tree);
    QCOMPARE(back.plan, afterQuery.plan);
    QCOMPARE(back.hopping, afterQuery.hopping);
    QCOMPARE(back.fixedPosition, afterQuery.fixedPosition);
    QCOMPARE(back.checked, afterQuery.checked);
    QCOMPARE(back.hopInterval, afterQuery.hopInterval);
    QCOMPARE(child<QComboBox>(tree, "ComboBox13")->count(), afterQuery.plan[2].toInt());
}

void FrequencyReaderTest::connectFillsTheListsFromThePlan_data()
{
    QTest::addColumn<QStringList>("simOptions");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<int>("fixedPosition");
    QTest::addColumn<QStringList>("frequencyLines");

    QTest::newRow("the reader's plan")
        << QStringList{} << QStringList{"1----935 MHz", "2----935.25 MHz", "3----935.5 MHz", "4----935.75 MHz"} << 2
        << QStringList{};
    // No number of channels: the lists keep the 50 channels the window opened with.
    QTest::newRow("reader refuses the number of channels")
        << QStringList{"--fail-read", "83"} << QStringList{"1----902.5MHz", "2----903.0MHz", "3----903.5MHz", "4----904.0MHz"}
        << 2 << QStringList{"Query Frequency Points Parameter Failed !"};
}

void FrequencyReaderTest::connectFillsTheListsFromThePlan()
{
    QFETCH(QStringList, simOptions);
    QFETCH(QStringList, items);
    QFETCH(int, fixedPosition);
    QFETCH(QStringList, frequencyLines);

    ReaderPageFixture reader(simOptions);
    QVERIFY2(reader.failure().isEmpty(), qPrintable(reader.failure()));

    // A plan other than the window's: 935.00 MHz, 250 kHz apart, 4 channels, fixed on channel 3.
    const uint8_t start[2] = {0x1D, 0x4C};
    const uint8_t step = 25, points = 4, channel = 3;
    QCOMPARE(SetParameter(reader.handle(), 80, 2, start), uint16_t(READER_OK));
    QCOMPARE(SetParameter(reader.handle(), 82, 1, &step), uint16_t(READER_OK));
    QCOMPARE(SetParameter(reader.handle(), 83, 1, &points), uint16_t(READER_OK));
    QCOMPARE(SetParameter(reader.handle(), 160, 1, &channel), uint16_t(READER_OK));
    reader.closeReader();

    MainWindow form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    formtest::choose(&form, "ComboBox1", QStringLiteral("TCP/IP"));
    child<QLineEdit>(&form, "Edit71")->setText(QStringLiteral("127.0.0.1"));
    formtest::click(&form, "Button1");

    const QStringList log = formtest::logMessages(&form);
    QCOMPARE(log.mid(0, 2), (QStringList{"Program Running !", "Open Reader Successfully !"}));
    QCOMPARE(log.mid(4), frequencyLines);
    auto* combo = child<QComboBox>(&form, "ComboBox13");
    QCOMPARE(comboItems(combo).mid(0, 4), items);
    QCOMPARE(child<QListWidget>(&form, "CheckListBox1")->count(), combo->count());
    QVERIFY2(child<QRadioButton>(&form, "RadioButton11")->isChecked(), "the reader's fixed mode is shown");
    QCOMPARE(combo->currentIndex(), fixedPosition);
    QVERIFY(combo->isEnabled() && !child(&form, "CheckListBox1")->isEnabled());
    if (frequencyLines.isEmpty()) {
        QCOMPARE(combo->count(), 4);
        QCOMPARE(child<QLineEdit>(&form, "Edit75")->text(), QStringLiteral("93500"));
        QCOMPARE(child<QLineEdit>(&form, "Edit77")->text(), QStringLiteral("4"));
    }
    formtest::click(&form, "Button2");
}

QTEST_MAIN(FrequencyReaderTest)
#include "FrequencyReaderTest.moc"
