// The "Frame Format" page through the real device library and the virtual
// reader over TCP: what a setup writes, a query brings back into the controls.
#include "ControlFinder.h"
#include "ReaderPageFixture.h"

#include "FrameFormatPage.h"

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

    ReaderPageFixture reader(simOptions);
    QVERIFY2(reader.failure().isEmpty(), qPrintable(reader.failure()));
    QWidget* sheet = reader.sheet("TabSheet2");
    FrameFormatPage page(sheet, reader.context);

    put(sheet, afterQuery);
    const auto expected = sheetValues(sheet);
    reader.setupThenQuery(page, [&] { put(sheet, chosen); },
                          [&] { put(sheet, Choice{{"CheckBox45", "CheckBox31"}, "1", "EE", "EE", 0, 0}); });

    QCOMPARE(reader.rec.lines, lines);
    QCOMPARE(sheetValues(sheet), expected);
}

QTEST_MAIN(FrameFormatReaderTest)
#include "FrameFormatReaderTest.moc"
