// The "I/O Parameter" page through the real device library and the virtual
// reader over TCP: what a setup writes, a query brings back into the controls.
#include "ControlFinder.h"
#include "ReaderPageFixture.h"

#include "IoPage.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

namespace {
// What the operator sets: boxes checked in this order (the others clear first), then the numbers.
struct Choice {
    QStringList checked;
    QStringList numbers;   // Edit82, Edit83, Edit81, Edit84, Edit86
};

const char* const numberFields[5] = {"Edit82", "Edit83", "Edit81", "Edit84", "Edit86"};

// What the page shows before the query: every control other than the chosen values.
const Choice scrambled{{"CheckBox55"}, {"1", "1", "1", "1", "1"}};

void put(QWidget* sheet, const Choice& c)
{
    for (QCheckBox* box : sheet->findChildren<QCheckBox*>())
        box->setChecked(false);
    child<QRadioButton>(sheet, "RadioButton14")->setChecked(true);
    for (const QString& name : c.checked)
        child<QAbstractButton>(sheet, name)->setChecked(true);
    for (int i = 0; i < 5; ++i)
        child<QLineEdit>(sheet, numberFields[i])->setText(c.numbers[i]);
}
} // namespace

Q_DECLARE_METATYPE(Choice)

class IoReaderTest : public QObject {
    Q_OBJECT

private slots:
    void setupThenQuery_data();
    void setupThenQuery();
};

void IoReaderTest::setupThenQuery_data()
{
    QTest::addColumn<QStringList>("simOptions");
    QTest::addColumn<Choice>("chosen");
    QTest::addColumn<Choice>("afterQuery");
    QTest::addColumn<QStringList>("lines");

    const Choice chosen{{"CheckBox39", "CheckBox49", "CheckBox52", "CheckBox50", "CheckBox59", "CheckBox56",
                         "CheckBox54", "CheckBox61", "RadioButton15"},
                        {"255", "7", "30", "0", "60"}};
    QTest::newRow("every parameter accepted")
        << QStringList{} << chosen << chosen
        << QStringList{"Setup I/O Parameter Successfully !", "Query I/O Parameter Successfully !"};
    // A refused read of the ID match byte leaves its controls as they were before the query.
    Choice kept = chosen;
    kept.checked = QStringList{"CheckBox39", "CheckBox49", "CheckBox52", "CheckBox50", "CheckBox59", "CheckBox55"};
    QTest::newRow("reader refuses to read the ID match byte")
        << QStringList{"--fail-read", "187"} << chosen << kept
        << QStringList{"Setup I/O Parameter Successfully !", "Query ID Match Parameter Failed !",
                       "Query I/O Parameter Failed !"};
}

void IoReaderTest::setupThenQuery()
{
    QFETCH(QStringList, simOptions);
    QFETCH(Choice, chosen);
    QFETCH(Choice, afterQuery);
    QFETCH(QStringList, lines);

    ReaderPageFixture reader(simOptions);
    QVERIFY2(reader.failure().isEmpty(), qPrintable(reader.failure()));
    QWidget* sheet = reader.sheet("TabSheet9");
    IoPage page(sheet, reader.context);

    put(sheet, afterQuery);
    const auto expected = sheetValues(sheet);
    reader.setupThenQuery(page, [&] { put(sheet, chosen); }, [&] { put(sheet, scrambled); });

    QCOMPARE(reader.rec.lines, lines);
    QCOMPARE(sheetValues(sheet), expected);
}

QTEST_MAIN(IoReaderTest)
#include "IoReaderTest.moc"
