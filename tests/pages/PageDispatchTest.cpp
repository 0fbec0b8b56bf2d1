// "Query Para" and "Setup Para": the page showing runs, found by where the tab
// tree placed it; a profile's bytes and the reads after a connect reach every
// page; every page against a reader that answers nothing.
#include "TestClasses.h"
#include "CommPortControls.h"
#include "ControlStates.h"
#include "FakeReaderCalls.h"
#include "PageHarness.h"
#include "WindowProbe.h"

#include "ParamPages.h"

#include <QtTest>

namespace {
// What the recording pages did, "TabSheet4.query" and so on.
QStringList ran;

class RecordingPage : public PageRoutines {
public:
    explicit RecordingPage(QWidget* sheet) : name_(sheet->objectName()) {}
    void query() override { ran << name_ + ".query"; }
    void setup() override { ran << name_ + ".setup"; }
    void showStored(const StoredLookup&) override { ran << name_ + ".stored"; }
    void afterConnect() override { ran << name_ + ".connect"; }

private:
    QString name_;
};

std::unique_ptr<PageRoutines> recordingPage(QWidget* sheet, const PageContext&)
{
    return std::make_unique<RecordingPage>(sheet);
}

// The window's tree with a recording page on every place it has for a page.
struct RecordingTree {
    PageHarness tree;
    std::unique_ptr<ParamPages> pages;
    RecordingTree()
    {
        ran.clear();
        PagePlaces places = tree.places;
        for (PagePlace& place : places)
            place.build = recordingPage;
        pages = std::make_unique<ParamPages>(places, PageContext{});
    }
};
} // namespace

class PageDispatchTest : public QObject {
    Q_OBJECT

private slots:
    void routes_data();
    void routes();
    void storedBytesAndConnectReachEveryPageInTreeOrder();
    void antennaPowerRunsFromTheTabShowing();
    void silentReaderOnEveryPage_data();
    void silentReaderOnEveryPage();
};

void PageDispatchTest::routes_data()
{
    QTest::addColumn<int>("outer");
    QTest::addColumn<int>("inner");
    QTest::addColumn<QString>("sheet");

    QTest::newRow("Reader, Work Mode") << 0 << 0 << "TabSheet3";
    QTest::newRow("Reader, Other Function") << 0 << 1 << "TabSheet5";
    QTest::newRow("Antenna  Power") << 1 << 0 << "TabSheet17";
    QTest::newRow("Frequency") << 1 << 1 << "TabSheet18";
    QTest::newRow("Supported Protocol") << 1 << 2 << "TabSheet19";
    QTest::newRow("Communication Port") << 2 << 0 << "TabSheet4";
    QTest::newRow("Frame Format, the RF inner page elsewhere") << 3 << 2 << "TabSheet2";
    QTest::newRow("I/O Parameter") << 4 << 1 << "TabSheet9";
}

void PageDispatchTest::routes()
{
    QFETCH(int, outer);
    QFETCH(int, inner);
    QFETCH(QString, sheet);

    RecordingTree t;
    // The other tab control shows another inner page than the first: only the one shown counts.
    t.tree.show(0, 1);
    t.tree.show(1, 2);
    t.tree.show(outer, inner);
    t.pages->query();
    t.pages->setup();
    QCOMPARE(ran, (QStringList{sheet + ".query", sheet + ".setup"}));
}

void PageDispatchTest::storedBytesAndConnectReachEveryPageInTreeOrder()
{
    RecordingTree t;
    t.pages->showStored([](uint8_t) { return std::nullopt; });
    t.pages->afterConnect();
    // Every page the tree placed, in its order; the window's own among them in theirs.
    QStringList sheets;
    for (const PagePlace& place : t.tree.places)
        sheets << place.sheet->objectName();
    const QStringList ownPages{"TabSheet3", "TabSheet5", "TabSheet17", "TabSheet18", "TabSheet19",
                               "TabSheet4", "TabSheet2", "TabSheet9"};
    QCOMPARE(formtest::inOrderOf(sheets, ownPages), ownPages);
    QStringList expected;
    for (const QString& how : {".stored", ".connect"})
        for (const QString& sheet : sheets)
            expected << sheet + how;
    QCOMPARE(ran, expected);
}

void PageDispatchTest::antennaPowerRunsFromTheTabShowing()
{
    fake::reset();
    PageHarness tree;
    RecordingContext rec;
    ParamPages pages(tree.places, rec.context());

    tree.show(1, 0);
    pages.query();
    QCOMPARE(fakecalls::count("GetParameter"), 6);
    QCOMPARE(rec.lines, QStringList{"Query Power and Antenna Parameter Successfully !"});

    fake::reset();
    rec.lines.clear();
    tree.show(1, 1);
    tree.show(1, 0);
    pages.setup();
    QCOMPARE(fakecalls::count("SetParameter"), 2);
    QCOMPARE(rec.lines, QStringList{"Setup Power And Antenna Parameter Successfully !"});
}

void PageDispatchTest::silentReaderOnEveryPage_data()
{
    QTest::addColumn<int>("outer");
    QTest::addColumn<int>("inner");
    QTest::addColumn<QVariantMap>("settings");   // so that the routine takes every step it has
    QTest::addColumn<bool>("setup");
    QTest::addColumn<int>("calls");
    QTest::addColumn<int>("lines");              // failure lines, the routine's own closing line last

    const auto rows = [](const char* page, int outer, int inner, const QVariantMap& settings, int setupCalls,
                         int setupLines, int queryCalls, int queryLines) {
        QTest::addRow("%s, setup", page) << outer << inner << settings << true << setupCalls << setupLines;
        QTest::addRow("%s, query", page) << outer << inner << settings << false << queryCalls << queryLines;
    };
    rows("Work Mode", 0, 0, {}, 7, 8, 7, 8);
    rows("Other Function", 0, 1, {}, 4, 5, 7, 8);
    rows("Antenna  Power, every channel", 1, 0,
         {{"CheckBox8", true}, {"CheckBox13", true}, {"CheckBox14", true}, {"CheckBox15", true}}, 6, 7, 6, 7);
    // Setup writes the plan and the hopping settings, then refreshes the lists without a line.
    rows("Frequency, hopping, Must Setting", 1, 1, {{"CheckBox1", true}, {"RadioButton12", true}}, 6 + 5, 2, 5, 2);
    rows("Supported Protocol", 1, 2, {{"CheckBox24", true}}, 2, 1, 2, 1);
    rows("Communication Port, client mode", 2, 0, {{"CheckBox2", true}}, 19, 20, 19, 20);
    rows("Frame Format, both codes", 3, 0, {{"Edit79", "02"}, {"Edit80", "0D0A"}}, 8, 9, 8, 9);
    rows("I/O Parameter", 4, 0, {}, 9, 10, 9, 10);
}

void PageDispatchTest::silentReaderOnEveryPage()
{
    QFETCH(int, outer);
    QFETCH(int, inner);
    QFETCH(QVariantMap, settings);
    QFETCH(bool, setup);
    QFETCH(int, calls);
    QFETCH(int, lines);

    fake::reset();
    PageHarness tree;
    RecordingContext rec;
    ParamPages pages(tree.places, rec.context());
    pages.buildAll();
    tree.show(outer, inner);
    QWidget* sheet = outer == 0 ? tree.pageControl2->currentWidget()
                   : outer == 1 ? tree.pageControl5->currentWidget()
                                : tree.pageControl1->currentWidget();
    commport::put(sheet, settings);
    const QList<ControlState> before = controlStates(sheet);

    fake::reader().answerNothing = true;
    setup ? pages.setup() : pages.query();

    QCOMPARE(fakecalls::count(), calls);
    QVERIFY2(rec.lines.size() == lines, qPrintable(rec.lines.join(" | ")));
    const QString closing = rec.lines.last();
    QVERIFY2(closing.startsWith(setup ? "Setup " : "Query ") && closing.endsWith(" Failed !"), qPrintable(closing));
    const auto changed = firstDifference(before, controlStates(sheet));
    QVERIFY2(!changed, qPrintable(QStringLiteral("a failed call changed a control: ") + changed.value_or(QString())));
}

TEST_CLASS(PageDispatchTest)
#include "PageDispatchTest.moc"
