// The "Reader" tab through the real device library and the virtual reader over
// TCP: what a setup writes, a query on a freshly built page brings back.
#include "PageHarness.h"
#include "SimProcess.h"

#include "Reader.h"
#include "WorkModePage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

namespace {
// A value control's key: its designer name, or "RadioGroupN/item" for a radio group's button.
QString keyOf(QWidget* w)
{
    auto* button = qobject_cast<QRadioButton*>(w);
    return button && w->objectName().isEmpty() ? w->parentWidget()->objectName() + '/' + button->text() : w->objectName();
}

// Every value control of the inner page as "key=value", in creation order.
QStringList snapshot(QWidget* sheet)
{
    QStringList out;
    for (QWidget* w : sheet->findChildren<QWidget*>()) {
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            out << keyOf(w) + '=' + QString::number(button->isChecked());
        else if (auto* list = qobject_cast<QComboBox*>(w))
            out << keyOf(w) + '=' + QString::number(list->currentIndex());
        else if (auto* field = qobject_cast<QLineEdit*>(w); field && !qobject_cast<QComboBox*>(w->parentWidget()))
            out << keyOf(w) + '=' + field->text();
    }
    return out;
}

// Sets the controls named in "key=value" settings, in order, as the operator would.
void apply(QWidget* sheet, const QStringList& settings)
{
    for (QWidget* w : sheet->findChildren<QWidget*>()) {
        for (const QString& setting : settings) {
            if (setting.section('=', 0, 0) != keyOf(w))
                continue;
            const QString value = setting.section('=', 1);
            if (auto* button = qobject_cast<QAbstractButton*>(w))
                button->setChecked(value == "1");
            else if (auto* list = qobject_cast<QComboBox*>(w))
                list->setCurrentIndex(value.toInt());
            else if (auto* field = qobject_cast<QLineEdit*>(w))
                field->setText(value);
        }
    }
}

} // namespace

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

        std::vector<std::string> args;
        for (const QString& option : simOptions)
            args.push_back(option.toStdString());
        SimProcess sim(args);
        QVERIFY(sim.tcpPort() != 0);
        qputenv("READER_TCP_PORT", QByteArray::number(sim.tcpPort()));
        uint32_t handle = 0;
        QCOMPARE(OpenReader(&handle, READER_PORT_TCP, "127.0.0.1"), uint16_t(READER_OK));

        RecordingContext rec;
        PageContext context = rec.context();
        context.handle = [handle] { return handle; };

        PageHarness written;
        WorkModePage writer(written.pageControl2, context);
        written.show(0, inner);
        QWidget* writtenSheet = written.pageControl2->currentWidget();
        apply(writtenSheet, chosen);
        writer.setup();
        apply(writtenSheet, readBack);
        const QStringList expected = snapshot(writtenSheet);

        // A fresh page at its start state: the query has to bring every value back.
        PageHarness read;
        WorkModePage reader(read.pageControl2, context);
        read.show(0, inner);
        reader.query();
        CloseReader(handle);

        QCOMPARE(rec.lines, lines);
        QCOMPARE(snapshot(read.pageControl2->currentWidget()), expected);
    }
};

QTEST_MAIN(WorkModeReaderTest)
#include "WorkModeReaderTest.moc"
