// The "Frequency" page against the device library's test double.
#include "TestClasses.h"
#include "FakePageFixture.h"
#include "FakeReaderCalls.h"

#include "FrequencyPage.h"
#include "IntegerText.h"
#include "ParamPages.h"
#include "TextFitCheck.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QtTest>

// A test program compiles its files as one: what this file defines stays in its namespace.
namespace frequencypagetest {

using namespace fakecalls;

namespace {
const auto [setupOk, setupFailed, queryOk, queryFailed] = closingLines("Frequency Parameter");
} // namespace

class FrequencyPageTest : public QObject, FakePageFixture<FrequencyPage> {
    Q_OBJECT

    QListWidget* channels() { return at<QListWidget>("CheckListBox1"); }
    QComboBox* fixedChannel() { return at<QComboBox>("ComboBox13"); }
    QAction* action(const char* name) { return child<QAction>(tree->pageControl1, name); }

    // Channels checked in the check list, numbered from 1.
    QList<int> checkedChannels()
    {
        QList<int> out;
        for (int i = 0; i < channels()->count(); ++i)
            if (channels()->item(i)->checkState() == Qt::Checked)
                out << i + 1;
        return out;
    }
    void check(const QList<int>& channelNumbers)
    {
        for (int n : channelNumbers)
            channels()->item(n - 1)->setCheckState(Qt::Checked);
    }
    // A plan read that leaves the lists with this many channels.
    void readPlanOf(int points)
    {
        putMemory(80, QByteArray::fromHex("1770"));
        putMemory(82, QByteArray(1, char(50)));
        putMemory(83, QByteArray(1, char(points)));
        putMemory(160, QByteArray::fromHex("011e"));   // fixed on channel 1, hops of 300 ms
        page->refreshLists();
        fake::reset();
    }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale::c());
        build("TabSheet18");
    }
    void cleanup()
    {
        tearDown();
        QLocale::setDefault(QLocale::system());
    }

    void startsAsTheOperatorFirstSeesIt();
    void modeRules_data();
    void modeRules();
    void setupWrites_data();
    void setupWrites();
    void queryShows_data();
    void queryShows();
    void rebuiltItemTexts_data();
    void rebuiltItemTexts();
    void channelsBeyondTheMask();
    void failedReadsKeepTheControls_data();
    void failedReadsKeepTheControls();
    void planReadReportsOnlyFailures();
    void conversionErrorStopsTheRoutine();
    void setupParaRefreshesSilently();
    void fitsTheInnerTabArea();
};

void FrequencyPageTest::startsAsTheOperatorFirstSeesIt()
{
    QCOMPARE(fixedChannel()->count(), 50);
    QCOMPARE(fixedChannel()->itemText(0), QStringLiteral("1----902.5MHz"));
    QCOMPARE(fixedChannel()->itemText(1), QStringLiteral("2----903.0MHz"));
    QCOMPARE(fixedChannel()->itemText(9), QStringLiteral("10---907.0MHz"));
    QCOMPARE(fixedChannel()->itemText(49), QStringLiteral("50---927.0MHz"));
    QVERIFY2(fixedChannel()->currentIndex() == -1, "no fixed channel is chosen at start");
    QVERIFY(!fixedChannel()->isEnabled() && !fixedChannel()->isEditable());
    QCOMPARE(channels()->count(), 50);
    QCOMPARE(channels()->item(49)->text(), QStringLiteral("Freq 50"));
    QVERIFY(checkedChannels().isEmpty() && channels()->isEnabled());
    auto* bar = at<QSlider>("TrackBar14");
    QCOMPARE(QList<int>({bar->minimum(), bar->maximum(), bar->value()}), QList<int>({5, 100, 30}));
    QVERIFY(bar->isEnabled());
    QCOMPARE(at<QLineEdit>("Edit16")->text(), QStringLiteral("300"));
    QVERIFY(!at("Edit16")->isEnabled());
    for (const char* field : {"Edit75", "Edit76", "Edit77"})
        QVERIFY2(!at(field)->isEnabled(), field);
    QVERIFY(!at<QRadioButton>("RadioButton11")->isChecked() && !at<QRadioButton>("RadioButton12")->isChecked());
    QCOMPARE(action("SelectAll")->text(), QStringLiteral("全选"));
    QCOMPARE(action("UnselectAll")->text(), QStringLiteral("全不选"));
    QVERIFY(action("SelectAll")->isVisible() && action("UnselectAll")->isVisible());

    at<QCheckBox>("CheckBox1")->setChecked(true);
    for (const char* field : {"Edit75", "Edit76", "Edit77"})
        QVERIFY2(at(field)->isEnabled(), "Must Setting enables the plan fields");
    at<QSlider>("TrackBar14")->setValue(7);
    QCOMPARE(at<QLineEdit>("Edit16")->text(), QStringLiteral("70"));
}

void FrequencyPageTest::modeRules_data()
{
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<bool>("hopping");
    QTest::newRow("Fixed") << "RadioButton11" << false;
    QTest::newRow("Hopping") << "RadioButton12" << true;
}

void FrequencyPageTest::modeRules()
{
    QFETCH(QString, clicked);
    QFETCH(bool, hopping);

    at<QRadioButton>(clicked)->click();
    QCOMPARE(fixedChannel()->isEnabled(), !hopping);
    QVERIFY2(fixedChannel()->currentIndex() == 0, "either mode goes back to channel 1");
    for (QWidget* w : {static_cast<QWidget*>(channels()), at("TrackBar14"), at("Edit16")})
        QCOMPARE(w->isEnabled(), hopping);
    QCOMPARE(action("SelectAll")->isVisible(), hopping);
    QCOMPARE(action("UnselectAll")->isVisible(), hopping);

    action("SelectAll")->trigger();
    QCOMPARE(checkedChannels().size(), 50);
    action("UnselectAll")->trigger();
    QVERIFY(checkedChannels().isEmpty());
}

void FrequencyPageTest::setupWrites_data()
{
    QTest::addColumn<bool>("mustSetting");
    QTest::addColumn<QStringList>("plan");       // Edit75, Edit76, Edit77
    QTest::addColumn<QString>("mode");           // "", "RadioButton11" or "RadioButton12"
    QTest::addColumn<int>("fixedPosition");
    QTest::addColumn<QList<int>>("checked");
    QTest::addColumn<int>("hopInterval");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("closing");

    const QStringList defaults{"92000", "20", "20"};
    QTest::newRow("fixed channel 3 without Must Setting")
        << false << QStringList{"95000", "7", "9"} << "RadioButton11" << 2 << QList<int>{1} << 30
        << QStringList{"161:1E", "160:03"} << setupOk;
    QTest::newRow("hopping 92000 / 50 / 50 on channels 1, 2, 9, 50")
        << true << QStringList{"92000", "50", "50"} << "RadioButton12" << 0 << QList<int>{1, 2, 9, 50} << 30
        << QStringList{"80:1770", "82:32", "83:32", "161:1E", "162:03010000000002", "160:00"} << setupOk;
    QTest::newRow("start 86000, fastest hops")
        << true << QStringList{"86000", "0", "1"} << "RadioButton11" << 49 << QList<int>{} << 5
        << QStringList{"80:0000", "82:00", "83:01", "161:05", "160:32"} << setupOk;
    QTest::newRow("start 96000, slowest hops")
        << true << QStringList{"96000", "255", "255"} << "RadioButton12" << 0 << QList<int>{} << 100
        << QStringList{"80:2710", "82:FF", "83:FF", "161:64", "162:00000000000000", "160:00"} << setupOk;
    QTest::newRow("a start read back above 96000 goes back as read")
        << true << QStringList{"151535", "20", "20"} << "RadioButton12" << 0 << QList<int>{} << 30
        << QStringList{"80:FFFF", "82:14", "83:14", "161:1E", "162:00000000000000", "160:00"} << setupOk;
    // Nobody chose a mode, or a channel: 160 keeps what the reader has.
    QTest::newRow("no mode chosen")
        << false << defaults << "" << -1 << QList<int>{3} << 30 << QStringList{"161:1E"} << setupFailed;
    QTest::newRow("fixed with no channel chosen")
        << false << defaults << "RadioButton11" << -1 << QList<int>{} << 30 << QStringList{"161:1E"} << setupFailed;
}

void FrequencyPageTest::setupWrites()
{
    QFETCH(bool, mustSetting);
    QFETCH(QStringList, plan);
    QFETCH(QString, mode);
    QFETCH(int, fixedPosition);
    QFETCH(QList<int>, checked);
    QFETCH(int, hopInterval);
    QFETCH(QStringList, expected);
    QFETCH(QString, closing);

    at<QCheckBox>("CheckBox1")->setChecked(mustSetting);
    at<QLineEdit>("Edit75")->setText(plan[0]);
    at<QLineEdit>("Edit76")->setText(plan[1]);
    at<QLineEdit>("Edit77")->setText(plan[2]);
    if (!mode.isEmpty())
        at<QRadioButton>(mode)->setChecked(true);
    fixedChannel()->setCurrentIndex(fixedPosition);
    check(checked);
    at<QSlider>("TrackBar14")->setValue(hopInterval);

    page->setup();
    QCOMPARE(writes(), expected);
    QCOMPARE(sequence().mid(0, expected.size()), expected);   // the list refresh reads after the writes
    QCOMPARE(rec->lines, QStringList{closing});
}

void FrequencyPageTest::queryShows_data()
{
    QTest::addColumn<QByteArray>("memory");       // 80, 81, 82, 83 | 160, 161, 162 .. 168
    QTest::addColumn<QString>("start");
    QTest::addColumn<QStringList>("items");       // every item of the fixed-channel list
    QTest::addColumn<int>("fixedPosition");
    QTest::addColumn<bool>("hopping");
    QTest::addColumn<QList<int>>("checked");
    QTest::addColumn<int>("hopInterval");
    QTest::addColumn<QList<int>>("addresses");

    const QList<int> withMask{80, 82, 83, 161, 160, 162};
    const QList<int> noMask{80, 82, 83, 161, 160};
    QTest::newRow("hopping over 92000 / 50 / 4")
        << QByteArray::fromHex("17703204" "001e0a00000000000000") << "92000"
        << QStringList{"1----920 MHz", "2----920.5 MHz", "3----921 MHz", "4----921.5 MHz"} << 0 << true
        << QList<int>{2, 4} << 30 << withMask;
    QTest::newRow("fixed on channel 3 of 4, hop interval 3 clamped to 5")
        << QByteArray::fromHex("17703204" "0303ff00000000000000") << "92000"
        << QStringList{"1----920 MHz", "2----920.5 MHz", "3----921 MHz", "4----921.5 MHz"} << 2 << false
        << QList<int>{} << 5 << noMask;
    QTest::newRow("fixed beyond the list, hop interval 200 clamped to 100")
        << QByteArray::fromHex("ffff0102" "19c8ffffffffffffff") << "151535"
        << QStringList{"1----1515.35 MHz", "2----1515.36 MHz"} << -1 << false << QList<int>{} << 100 << noMask;
    QTest::newRow("no channels")
        << QByteArray::fromHex("00001400" "0014ffffffffffffffff") << "86000" << QStringList{} << -1 << true
        << QList<int>{} << 20 << withMask;
}

void FrequencyPageTest::queryShows()
{
    QFETCH(QByteArray, memory);
    QFETCH(QString, start);
    QFETCH(QStringList, items);
    QFETCH(int, fixedPosition);
    QFETCH(bool, hopping);
    QFETCH(QList<int>, checked);
    QFETCH(int, hopInterval);
    QFETCH(QList<int>, addresses);

    putMemory(80, memory.left(4));
    putMemory(160, memory.mid(4));
    check({1, 2, 3, 4});   // check marks are lost whenever the lists are rebuilt
    page->query();

    QCOMPARE(rec->lines, QStringList{queryOk});
    QCOMPARE(reads(), addresses);
    QCOMPARE(at<QLineEdit>("Edit75")->text(), start);
    QStringList shown;
    for (int i = 0; i < fixedChannel()->count(); ++i)
        shown << fixedChannel()->itemText(i);
    QCOMPARE(shown, items);
    QCOMPARE(channels()->count(), items.size());
    if (!items.isEmpty())
        QCOMPARE(channels()->item(items.size() - 1)->text(), QStringLiteral("Freq %1").arg(items.size()));
    QCOMPARE(fixedChannel()->currentIndex(), fixedPosition);
    QCOMPARE(at<QRadioButton>("RadioButton12")->isChecked(), hopping);
    QCOMPARE(at<QRadioButton>("RadioButton11")->isChecked(), !hopping);
    QCOMPARE(fixedChannel()->isEnabled(), !hopping);
    QCOMPARE(channels()->isEnabled(), hopping);
    QCOMPARE(action("SelectAll")->isVisible(), hopping);
    QCOMPARE(checkedChannels(), checked);
    QCOMPARE(at<QSlider>("TrackBar14")->value(), hopInterval);
    QCOMPARE(at<QLineEdit>("Edit16")->text(), QString::number(hopInterval * 10));
    QCOMPARE(at<QLineEdit>("Edit77")->text(), QString::number(items.size()));

    // A hopping setup writes back what was read; on an empty list, an all-zero mask.
    if (hopping) {
        std::vector<uint8_t> mask(7, 0);
        for (int n : checked)
            mask[std::size_t((n - 1) / 8)] |= uint8_t(1u << ((n - 1) % 8));
        fake::reset();
        page->setup();
        QCOMPARE(fake::callsOf("SetParameter").at(1).args.at(0), 162);
        QCOMPARE(fake::callsOf("SetParameter").at(1).bytes, mask);
    }
}

void FrequencyPageTest::rebuiltItemTexts_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QByteArray>("plan");     // 80, 81, 82
    QTest::addColumn<QStringList>("items");

    QTest::newRow("92000 / 25, full stop")
        << QLocale::c() << QByteArray::fromHex("177019")
        << QStringList{"1----920 MHz", "2----920.25 MHz", "3----920.5 MHz"};
    QTest::newRow("92000 / 25, comma")
        << QLocale(QLocale::German, QLocale::Germany) << QByteArray::fromHex("177019")
        << QStringList{"1----920 MHz", "2----920,25 MHz", "3----920,5 MHz"};
    QTest::newRow("no thousands separator")
        << QLocale(QLocale::English, QLocale::UnitedStates) << QByteArray::fromHex("ffffff")
        << QStringList{"1----1515.35 MHz", "2----1517.9 MHz", "3----1520.45 MHz"};
    QTest::newRow("86000 / 1")
        << QLocale::c() << QByteArray::fromHex("000001")
        << QStringList{"1----860 MHz", "2----860.01 MHz", "3----860.02 MHz"};
}

void FrequencyPageTest::rebuiltItemTexts()
{
    QFETCH(QLocale, locale);
    QFETCH(QByteArray, plan);
    QFETCH(QStringList, items);

    QLocale::setDefault(locale);
    putMemory(80, plan + QByteArray(1, char(3)));
    page->query();
    QStringList shown;
    for (int i = 0; i < fixedChannel()->count(); ++i)
        shown << fixedChannel()->itemText(i);
    QCOMPARE(shown, items);
}

void FrequencyPageTest::channelsBeyondTheMask()
{
    putMemory(80, QByteArray::fromHex("17700a3c"));      // 60 channels
    putMemory(160, QByteArray::fromHex("001effffffffffffff"));
    page->query();
    QCOMPARE(channels()->count(), 60);
    QCOMPARE(checkedChannels().size(), 56);
    QVERIFY2(!(channels()->item(56)->flags() & Qt::ItemIsUserCheckable), "channel 57 cannot be checked");

    action("UnselectAll")->trigger();
    action("SelectAll")->trigger();
    QCOMPARE(checkedChannels().size(), 56);
    channels()->item(59)->setCheckState(Qt::Checked);   // even if something checks it, it is not written
    fake::reset();
    page->setup();
    QCOMPARE(writes(), (QStringList{"161:1E", "162:FFFFFFFFFFFFFF", "160:00"}));
}

void FrequencyPageTest::failedReadsKeepTheControls_data()
{
    QTest::addColumn<int>("failing");
    QTest::addColumn<QList<int>>("addresses");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("listLength");
    QTest::addColumn<QList<int>>("checked");
    QTest::addColumn<int>("hopInterval");
    QTest::addColumn<int>("fixedPosition");

    QList<int> all20;
    for (int n = 1; n <= 20; ++n)
        all20 << n;
    QTest::newRow("83: the lists stay, the mask checks them")
        << 83 << QList<int>{80, 82, 83, 161, 160, 162} << QStringList{queryFailed} << 20 << all20 << 80 << 0;
    QTest::newRow("160: no mode change, no mask read")
        << 160 << QList<int>{80, 82, 83, 161, 160} << QStringList{queryFailed} << 4 << QList<int>{} << 80 << -1;
    QTest::newRow("161: the only read with a line of its own")
        << 161 << QList<int>{80, 82, 83, 161, 160, 162}
        << QStringList{"Query Freq-Hopping Interval Parameter Failed ! !", queryFailed} << 4 << QList<int>{1, 2, 3, 4} << 30 << 0;
}

void FrequencyPageTest::failedReadsKeepTheControls()
{
    QFETCH(int, failing);
    QFETCH(QList<int>, addresses);
    QFETCH(QStringList, lines);
    QFETCH(int, listLength);
    QFETCH(QList<int>, checked);
    QFETCH(int, hopInterval);
    QFETCH(int, fixedPosition);

    readPlanOf(20);       // fixed on channel 1 of 20
    at<QRadioButton>("RadioButton12")->setChecked(true);
    check({2, 3});
    putMemory(80, QByteArray::fromHex("17703204"));
    putMemory(160, QByteArray::fromHex("0050ffffffffffffff"));
    fake::reader().failGet[failing] = 0x20;
    page->query();

    QCOMPARE(reads(), addresses);
    QCOMPARE(rec->lines, lines);
    QCOMPARE(channels()->count(), listLength);
    QCOMPARE(fixedChannel()->count(), listLength);
    QCOMPARE(at<QLineEdit>("Edit77")->text(), QString::number(listLength));
    QCOMPARE(checkedChannels(), checked);
    QCOMPARE(at<QSlider>("TrackBar14")->value(), hopInterval);
    QVERIFY2(fixedChannel()->currentIndex() == fixedPosition, "rebuilt lists show no channel until a mode read chooses one");
}



void FrequencyPageTest::planReadReportsOnlyFailures()
{
    page->readPlan();
    QCOMPARE(reads(), (QList<int>{80, 82, 83}));
    QVERIFY(rec->lines.isEmpty());

    fake::reader().answerNothing = true;
    page->readPlan();
    QCOMPARE(rec->lines, (QStringList{"Query Start Frequency Parameter Failed !", "Query Frequency Interval Parameter Failed !",
                                      "Query Frequency Points Parameter Failed !"}));
}

void FrequencyPageTest::conversionErrorStopsTheRoutine()
{
    // Setup: an emptied step field stops after the start frequency was written.
    at<QCheckBox>("CheckBox1")->setChecked(true);
    at<QLineEdit>("Edit76")->setText(QString());
    QVERIFY_THROWS_EXCEPTION(ConversionError, page->setup());
    QCOMPARE(writes(), QStringList{"80:1770"});
    QVERIFY(rec->lines.isEmpty());

    // A rebuild from an emptied step field stops the query there; the lists
    // are left empty together, with no closing line.
    fake::reset();
    putMemory(80, QByteArray::fromHex("17700005"));
    fake::reader().failGet[82] = 0x20;
    QVERIFY_THROWS_EXCEPTION(ConversionError, page->query());
    QCOMPARE(reads(), (QList<int>{80, 82, 83}));
    QCOMPARE(channels()->count(), fixedChannel()->count());
    QVERIFY(rec->lines.isEmpty());

    // With no channels to list there is nothing to convert.
    putMemory(83, QByteArray(1, 0));
    page->query();
    QCOMPARE(rec->lines, QStringList{queryFailed});
}

void FrequencyPageTest::setupParaRefreshesSilently()
{
    // The whole page tree, so "Setup Para" goes through the window's dispatch.
    page.reset();
    tree = std::make_unique<PageHarness>();
    ParamPages pages(tree->places, rec->context());
    pages.buildAll();
    tree->show(1, 1);
    putMemory(80, QByteArray::fromHex("17703214"));       // the reader's plan: 20 channels
    putMemory(160, QByteArray::fromHex("00140300000000000000"));
    at<QLineEdit>("Edit77")->setText(QStringLiteral("9"));   // not written without "Must Setting"
    at<QRadioButton>("RadioButton11")->click();
    fixedChannel()->setCurrentIndex(4);
    check({1, 7});
    fake::reader().failGet[82] = 0x20;        // the refresh's failures are not logged

    pages.setup();
    QCOMPARE(rec->lines, QStringList{setupOk});
    QCOMPARE(writes(), (QStringList{"161:1E", "160:05"}));
    QCOMPARE(reads(), (QList<int>{80, 82, 83, 161, 160}));
    QCOMPARE(at<QLineEdit>("Edit77")->text(), QStringLiteral("20"));
    QCOMPARE(fixedChannel()->currentIndex(), 4);
    QVERIFY2(checkedChannels().isEmpty(), "fixed mode: the rebuilt lists carry no check marks");

    // After a connect: the refresh, then the plan read, whose failures alone are logged.
    fake::reset();
    rec->lines.clear();
    fake::reader().failGet[83] = 0x20;
    pages.afterConnect();
    QCOMPARE(reads(), (QList<int>{80, 82, 83, 161, 160, 162, 80, 82, 83}));
    QCOMPARE(rec->lines, QStringList{"Query Frequency Points Parameter Failed !"});
}

void FrequencyPageTest::fitsTheInnerTabArea()
{
    QVERIFY(tree->showWindow(1, 1));
    const QString shortfall = roomShortfall(sheet);
    QVERIFY2(shortfall.isEmpty(), qPrintable(shortfall));
    // Columns of channels running down before they wrap, a quarter of the list
    // wide or as wide as their texts need, whichever is more.
    QListWidget* list = channels();
    const QRect first = list->visualItemRect(list->item(0));
    const QRect second = list->visualItemRect(list->item(1));
    QCOMPARE(second.left(), first.left());
    QVERIFY(second.top() > first.top());
    QVERIFY(first.width() >= list->viewport()->width() / 4);
    const int indicator = list->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, list);
    QVERIFY2(first.width() >= indicator + list->fontMetrics().horizontalAdvance(list->item(49)->text()),
             "a channel's text is not cut");

    // The reader's usual 20 channels: every one whole in view, nothing to scroll to.
    readPlanOf(20);
    settle();
    QVERIFY(!list->horizontalScrollBar()->isVisible());
    for (int i = 0; i < list->count(); ++i)
        QVERIFY2(list->viewport()->rect().contains(list->visualItemRect(list->item(i))), qPrintable(list->item(i)->text()));
}

TEST_CLASS(FrequencyPageTest)
} // namespace frequencypagetest
#include "FrequencyPageTest.moc"
