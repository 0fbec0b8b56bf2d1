// "Query Para" and "Setup Para": which routine runs for the page showing.
#include "FakeReaderCalls.h"
#include "PageHarness.h"

#include "IntegerText.h"
#include "PageDispatch.h"
#include "ParamPages.h"

#include <QtTest>

Q_DECLARE_METATYPE(Page)

namespace {
// Page routines that write down what ran.
struct Recorder {
    QStringList ran;
    bool frequencySetupThrows = false;
};

class RecordingPage : public PageRoutines {
public:
    RecordingPage(Recorder& r, QString name) : r_(r), name_(std::move(name)) {}
    void query() override { r_.ran << name_ + ".query"; }
    void setup() override { r_.ran << name_ + ".setup"; }

private:
    Recorder& r_;
    QString name_;
};

class RecordingFrequency : public FrequencyRoutines {
public:
    explicit RecordingFrequency(Recorder& r) : r_(r) {}
    void query() override { r_.ran << "frequency.query"; }
    void setup() override
    {
        r_.ran << "frequency.setup";
        if (r_.frequencySetupThrows)
            throw ConversionError{QStringLiteral("")};
    }
    void refreshLists() override { r_.ran << "frequency.refresh"; }

private:
    Recorder& r_;
};

struct RecordingTargets {
    Recorder r;
    RecordingPage reader{r, "reader"}, antenna{r, "antenna"}, protocol{r, "protocol"}, comm{r, "comm"},
        frame{r, "frame"}, io{r, "io"};
    RecordingFrequency frequency{r};
    PageTargets targets() { return {&reader, &antenna, &frequency, &protocol, &comm, &frame, &io}; }
};
} // namespace

class PageDispatchTest : public QObject {
    Q_OBJECT

private slots:
    void routes_data();
    void routes();
    void frequencySetupStoppedSkipsTheRefresh();
    void antennaPowerRunsFromTheTabShowing();
};

void PageDispatchTest::routes_data()
{
    QTest::addColumn<int>("outer");
    QTest::addColumn<int>("inner");
    QTest::addColumn<Page>("page");
    QTest::addColumn<QStringList>("query");
    QTest::addColumn<QStringList>("setup");

    QTest::newRow("Reader, Work Mode") << 0 << 0 << Page::Reader << QStringList{"reader.query"}
                                       << QStringList{"reader.setup"};
    QTest::newRow("Reader, Other Function") << 0 << 1 << Page::Reader << QStringList{"reader.query"}
                                            << QStringList{"reader.setup"};
    QTest::newRow("Antenna  Power") << 1 << 0 << Page::AntennaPower << QStringList{"antenna.query"}
                                    << QStringList{"antenna.setup"};
    QTest::newRow("Frequency: setup, then the list refresh")
        << 1 << 1 << Page::Frequency << QStringList{"frequency.query"}
        << QStringList{"frequency.setup", "frequency.refresh"};
    QTest::newRow("Supported Protocol") << 1 << 2 << Page::SupportedProtocol << QStringList{"protocol.query"}
                                        << QStringList{"protocol.setup"};
    QTest::newRow("RF Parameter, no inner page") << 1 << -1 << Page::None << QStringList{} << QStringList{};
    QTest::newRow("RF Parameter, inner page 3") << 1 << 3 << Page::None << QStringList{} << QStringList{};
    QTest::newRow("Communication Port") << 2 << 0 << Page::CommunicationPort << QStringList{"comm.query"}
                                        << QStringList{"comm.setup"};
    QTest::newRow("Frame Format") << 3 << 2 << Page::FrameFormat << QStringList{"frame.query"}
                                  << QStringList{"frame.setup"};
    QTest::newRow("I/O Parameter") << 4 << 1 << Page::IoParameter << QStringList{"io.query"}
                                   << QStringList{"io.setup"};
    QTest::newRow("no page showing") << -1 << 0 << Page::None << QStringList{} << QStringList{};
    QTest::newRow("outer page 5") << 5 << 0 << Page::None << QStringList{} << QStringList{};
}

void PageDispatchTest::routes()
{
    QFETCH(int, outer);
    QFETCH(int, inner);
    QFETCH(Page, page);
    QFETCH(QStringList, query);
    QFETCH(QStringList, setup);

    QCOMPARE(pageShowing(outer, inner), page);
    RecordingTargets t;
    dispatchQuery(page, t.targets());
    QCOMPARE(t.r.ran, query);
    t.r.ran.clear();
    dispatchSetup(page, t.targets());
    QCOMPARE(t.r.ran, setup);
}

void PageDispatchTest::frequencySetupStoppedSkipsTheRefresh()
{
    RecordingTargets t;
    t.r.frequencySetupThrows = true;
    QVERIFY_THROWS_EXCEPTION(ConversionError, dispatchSetup(Page::Frequency, t.targets()));
    QCOMPARE(t.r.ran, QStringList{"frequency.setup"});
}

void PageDispatchTest::antennaPowerRunsFromTheTabShowing()
{
    fake::reset();
    PageHarness tree;
    RecordingContext rec;
    ParamPages pages(tree.pageControl1, rec.context());

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

QTEST_MAIN(PageDispatchTest)
#include "PageDispatchTest.moc"
