// The "Frame Format" page through the real device library and the virtual
// reader over TCP: what a setup writes, a query brings back into the controls.
#include "ControlFinder.h"
#include "OuterPageChecks.h"
#include "PageHarness.h"
#include "SimProcess.h"

#include "FrameFormatPage.h"
#include "Reader.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

namespace {
// What the operator sets: the buttons checked (the others clear), the texts, the list indices.
struct Choice {
    QStringList checked;
    QString interval, preamble, end;
    int start = 0, length = 0;
};

const QStringList everyBox = {"CheckBox4", "CheckBox31", "CheckBox32", "CheckBox33", "CheckBox34", "CheckBox41",
                              "CheckBox42", "CheckBox43", "CheckBox44", "CheckBox45", "CheckBox46", "CheckBox47"};

void put(QWidget* root, const Choice& c)
{
    for (const QString& name : everyBox)
        child<QCheckBox>(root, name)->setChecked(c.checked.contains(name));
    child<QRadioButton>(root, c.checked.contains("RadioButton2") ? "RadioButton2" : "RadioButton1")->setChecked(true);
    child<QRadioButton>(root, c.checked.contains("RadioButton10") ? "RadioButton10" : "RadioButton6")->setChecked(true);
    child<QLineEdit>(root, "Edit78")->setText(c.interval);
    child<QLineEdit>(root, "Edit79")->setText(c.preamble);
    child<QLineEdit>(root, "Edit80")->setText(c.end);
    child<QComboBox>(root, "ComboBox10")->setCurrentIndex(c.start);
    child<QComboBox>(root, "ComboBox8")->setCurrentIndex(c.length);
}
} // namespace

Q_DECLARE_METATYPE(Choice)

class FrameFormatReaderTest : public QObject {
    Q_OBJECT

private slots:
    void setupThenQuery_data();
    void setupThenQuery();
};

void FrameFormatReaderTest::setupThenQuery_data()
{
    QTest::addColumn<QStringList>("simOptions");
    QTest::addColumn<Choice>("chosen");
    QTest::addColumn<Choice>("afterQuery");
    QTest::addColumn<QStringList>("lines");

    const Choice chosen{{"RadioButton2", "RadioButton10", "CheckBox42", "CheckBox32", "CheckBox44", "CheckBox46", "CheckBox47"},
                        "300", "0A0D", "ABCDEF01", 3, 4};
    QTest::newRow("every parameter accepted")
        << QStringList{} << chosen << chosen
        << QStringList{"Setup Output Frame Format Parameter Successfully !",
                       "Query Output Frame Format Parameter Successfully ! "};
    // A refused preamble write leaves the reader's own code: STX.
    Choice kept = chosen;
    kept.preamble = "02";
    QTest::newRow("reader refuses the preamble code")
        << QStringList{"--fail-write", "72"} << chosen << kept
        << QStringList{"Setup Preamble Code Parameter Failed !", "Setup Output Frame Format Parameter Failed !",
                       "Query Output Frame Format Parameter Successfully ! "};
}

void FrameFormatReaderTest::setupThenQuery()
{
    QFETCH(QStringList, simOptions);
    QFETCH(Choice, chosen);
    QFETCH(Choice, afterQuery);
    QFETCH(QStringList, lines);

    std::vector<std::string> args;
    for (const QString& option : simOptions)
        args.push_back(option.toStdString());
    SimProcess sim(args);
    QVERIFY(sim.tcpPort() != 0);
    qputenv("READER_TCP_PORT", QByteArray::number(sim.tcpPort()));
    uint32_t handle = 0;
    QCOMPARE(OpenReader(&handle, READER_PORT_TCP, "127.0.0.1"), uint16_t(READER_OK));

    PageHarness tree;
    RecordingContext rec;
    PageContext context = rec.context();
    context.handle = [handle] { return handle; };
    QWidget* sheet = tree.pageControl1->findChild<QWidget*>("TabSheet2");
    FrameFormatPage page(sheet, context);

    put(sheet, afterQuery);
    const auto expected = outerpage::shownValues(sheet);
    put(sheet, chosen);
    page.setup();
    // Change every control, so the query has to bring each one back.
    put(sheet, Choice{{"CheckBox45", "CheckBox31"}, "1", "EE", "EE", 0, 0});
    page.query();
    CloseReader(handle);

    QCOMPARE(rec.lines, lines);
    QCOMPARE(outerpage::shownValues(sheet), expected);
}

QTEST_MAIN(FrameFormatReaderTest)
#include "FrameFormatReaderTest.moc"
