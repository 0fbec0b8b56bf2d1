// The shape every page routine shares: the success flag, failure lines, no
// stop on a failed call, one closing line, lists with no selection, lengths
// from the parameter table, and a conversion error ending the routine; the
// bindings by value kind at their edges; stored bytes shown without the reader.
#include "TestClasses.h"
#include "FakeReaderCalls.h"
#include "PageHarness.h"

#include "ErrorBox.h"
#include "IntegerText.h"
#include "ControlBindings.h"
#include "PageStep.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

// A test program compiles its files as one: what this file defines stays in its namespace.
namespace pagestepstest {

namespace {
const ClosingLines closing{QStringLiteral("done"), QStringLiteral("failed")};

enum ValueKind { Bytes, NoSelection, Nothing };

QByteArray bytesOf(const std::vector<uint8_t>& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

// One step of a routine, as a page's row gives it.
Step writeStep(int address, std::function<StepValue()> value, QString failure = {},
               std::function<bool()> when = {})
{
    ParaRow r = row(*findPara(address), Binding{std::move(value), {}}, std::move(failure));
    r.setupWhen = std::move(when);
    return setupRoutine({r}, {}).steps.front();
}
Step readStep(int address, std::function<void(const ParaBytes&)> show, QString failure = {})
{
    return queryRoutine({row(*findPara(address), Binding{{}, std::move(show)}, {}, std::move(failure))}, {}).steps.front();
}
} // namespace

class PageStepsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { fake::reset(); }

    void writes_data();
    void writes();
    void reads_data();
    void reads();
    void failedCallsNeverStopTheRoutine();
    void conversionErrorEndsTheRoutine_data();
    void conversionErrorEndsTheRoutine();
    void routineWithoutLines();
    void numberFields_data();
    void numberFields();
    void listWithoutSelection_data();
    void listWithoutSelection();
    void radioSetClearsOnUnknownValue_data();
    void radioSetClearsOnUnknownValue();
    void hexStrings_data();
    void hexStrings();
    void maskBitsWithoutBox();
    void storedBytesShowEveryReadAndWriteNothing();
};

void PageStepsTest::writes_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("taken");           // the step's condition
    QTest::addColumn<QString>("failure");
    QTest::addColumn<bool>("refused");         // the reader refuses writes there
    QTest::addColumn<QString>("call");         // expected library call, empty for none
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QStringList>("log");

    const QString msg = QStringLiteral("Setup X Failed !");
    QTest::newRow("written") << 153 << int(Bytes) << QByteArray("\x05") << true << msg << false
                             << "SetParameter" << QByteArray("\x05") << QStringList{"done"};
    QTest::newRow("refused: its line, then the failure line")
        << 153 << int(Bytes) << QByteArray("\x05") << true << msg << true << "SetParameter" << QByteArray("\x05")
        << QStringList{msg, "failed"};
    QTest::newRow("refused, no line of its own") << 153 << int(Bytes) << QByteArray("\x05") << true << QString() << true
                                                 << "SetParameter" << QByteArray("\x05") << QStringList{"failed"};
    QTest::newRow("condition false: no call, no line") << 153 << int(Bytes) << QByteArray("\x05") << false << msg
                                                       << false << QString() << QByteArray() << QStringList{"done"};
    QTest::newRow("no selection: no call, its line") << 192 << int(NoSelection) << QByteArray() << true << msg << false
                                                     << QString() << QByteArray() << QStringList{msg, "failed"};
    QTest::newRow("no selection, no line of its own") << 192 << int(NoSelection) << QByteArray() << true << QString()
                                                      << false << QString() << QByteArray() << QStringList{"failed"};
    QTest::newRow("nothing to write: no call, flag kept") << 72 << int(Nothing) << QByteArray() << true << msg << false
                                                          << QString() << QByteArray() << QStringList{"done"};
    QTest::newRow("variable parameter, shorter write") << 72 << int(Bytes) << QByteArray("\xAA\xBB\xCC") << true << msg
                                                       << false << "SetParameter" << QByteArray("\xAA\xBB\xCC")
                                                       << QStringList{"done"};
    QTest::newRow("variable parameter, longer than it holds") << 72 << int(Bytes) << QByteArray("\x01\x02\x03\x04\x05")
                                                              << true << msg << false << QString() << QByteArray()
                                                              << QStringList{msg, "failed"};
    QTest::newRow("fixed two-byte parameter given one byte") << 24 << int(Bytes) << QByteArray("\x01") << true << msg
                                                             << false << QString() << QByteArray()
                                                             << QStringList{msg, "failed"};
    QTest::newRow("off-line flag goes through SetOLEnable") << 87 << int(Bytes) << QByteArray("\x01") << true << msg
                                                            << false << "SetOLEnable" << QByteArray()
                                                            << QStringList{"done"};
}

void PageStepsTest::writes()
{
    QFETCH(int, address);
    QFETCH(int, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, taken);
    QFETCH(QString, failure);
    QFETCH(bool, refused);
    QFETCH(QString, call);
    QFETCH(QByteArray, sent);
    QFETCH(QStringList, log);

    if (refused)
        fake::reader().failSet[address] = 0x20;
    const ParaBytes data(bytes.begin(), bytes.end());
    const auto value = [kind, data] {
        if (kind == NoSelection)
            return StepValue::missing();
        if (kind == Nothing)
            return StepValue::nothing();
        return StepValue::bytes(data);
    };
    RecordingContext rec;
    const Routine routine{{writeStep(address, value, failure, [taken] { return taken; })}, closing};
    const bool success = runRoutine(rec.context(), routine);

    QCOMPARE(rec.lines, log);
    QCOMPARE(success, log.last() == "done");
    const auto calls = fake::callsOf();
    if (call.isEmpty()) {
        QVERIFY2(calls.empty(), "the step must not call the library");
        return;
    }
    QCOMPARE(calls.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(calls[0].function), call);
    QCOMPARE(calls[0].handle, uint32_t(7));
    if (call == "SetOLEnable") {
        QCOMPARE(calls[0].args, std::vector<int>{1});
        return;
    }
    QCOMPARE(calls[0].args, (std::vector<int>{address, int(sent.size())}));
    QCOMPARE(bytesOf(calls[0].bytes), sent);
}

void PageStepsTest::reads_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<int>("length");        // bytes asked for and shown
    QTest::addColumn<QStringList>("log");

    QTest::newRow("one byte") << 153 << false << 1 << QStringList{"done"};
    QTest::newRow("hopping mask, full length") << 162 << false << 7 << QStringList{"done"};
    QTest::newRow("variable parameter read in full") << 180 << false << 6 << QStringList{"done"};
    QTest::newRow("refused: nothing shown") << 153 << true << 0 << QStringList{"Query X Failed !", "failed"};
}

void PageStepsTest::reads()
{
    QFETCH(int, address);
    QFETCH(bool, refused);
    QFETCH(int, length);
    QFETCH(QStringList, log);

    for (int i = 0; i < 7; ++i)
        fake::reader().memory[address + i] = uint8_t(0xA0 + i);
    if (refused)
        fake::reader().failGet[address] = 0x12;
    std::optional<ParaBytes> shown;
    RecordingContext rec;
    const Routine routine{{readStep(address, [&](const ParaBytes& b) { shown = b; }, "Query X Failed !")}, closing};
    runRoutine(rec.context(), routine);

    QCOMPARE(rec.lines, log);
    QCOMPARE(shown.has_value(), !refused);
    if (shown) {
        QCOMPARE(int(shown->size()), length);
        QCOMPARE(shown->back(), uint8_t(0xA0 + length - 1));
        QCOMPARE(fake::callsOf("GetParameter").at(0).args, (std::vector<int>{address, length}));
    }
}

void PageStepsTest::failedCallsNeverStopTheRoutine()
{
    fake::reader().answerNothing = true;
    RecordingContext rec;
    const auto one = [] { return StepValue::byte(1); };
    const Routine routine{{writeStep(129, one, "first"), writeStep(141, one), writeStep(146, one, "third")}, closing};
    QVERIFY(!runRoutine(rec.context(), routine));
    QCOMPARE(fakecalls::count("SetParameter"), 3);
    QCOMPARE(rec.lines, (QStringList{"first", "third", "failed"}));
}

void PageStepsTest::conversionErrorEndsTheRoutine_data()
{
    QTest::addColumn<bool>("inRead");
    QTest::newRow("forming a value to write") << false;
    QTest::newRow("putting bytes read into the page") << true;
}

void PageStepsTest::conversionErrorEndsTheRoutine()
{
    QFETCH(bool, inRead);

    QLineEdit field(QStringLiteral("abc"));
    const auto one = [] { return StepValue::byte(1); };
    // A read whose bytes go through a field that must hold a number, as a
    // channel list rebuilt from the plan fields does.
    const auto showThroughField = [&field](const ParaBytes&) { toInteger(field.text()); };
    RecordingContext rec;
    const Routine routine{{writeStep(129, one, "before"),
                           inRead ? readStep(148, showThroughField, "bad field")
                                  : writeStep(148, bindingFor(*findPara(148), &field).value, "bad field"),
                           writeStep(146, one, "after")},
                          closing};

    QString shown;
    setErrorBoxSinkForTesting([&](const QString& text) { shown = text; });
    runGuarded(nullptr, [&] { runRoutine(rec.context(), routine); });
    setErrorBoxSinkForTesting({});

    QCOMPARE(shown, QStringLiteral("'abc' is not a valid integer value."));
    const auto calls = fake::callsOf();
    QCOMPARE(calls.size(), std::size_t(inRead ? 2 : 1));
    QCOMPARE(calls[0].args.at(0), 129);
    QVERIFY2(fakecalls::count("SetParameter") == 1, "nothing is written after the stop");
    QVERIFY2(rec.lines.isEmpty(), "a stopped routine logs no closing line");
}

void PageStepsTest::routineWithoutLines()
{
    fake::reader().answerNothing = true;
    RecordingContext rec;
    const auto one = [] { return StepValue::byte(1); };
    const Routine routine{{writeStep(161, one, "its line"), readStep(83, [](const ParaBytes&) {}, "its line")}, closing};
    QVERIFY(!runRoutine(rec.context(), withoutLines(routine)));
    QCOMPARE(fakecalls::count(), 2);
    QVERIFY2(rec.lines.isEmpty(), "a routine without lines logs nothing, failures included");
}

void PageStepsTest::numberFields_data()
{
    QTest::addColumn<bool>("twoBytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QString>("readBack");

    QTest::newRow("byte") << false << "200" << QByteArray("\xC8") << "200";
    QTest::newRow("byte keeps the low 8 bits") << false << "300" << QByteArray("\x2C") << "44";
    QTest::newRow("byte of -1") << false << "-1" << QByteArray("\xFF") << "255";
    QTest::newRow("word, high byte first") << true << "4660" << QByteArray("\x12\x34") << "4660";
    QTest::newRow("word 65535") << true << "65535" << QByteArray("\xFF\xFF") << "65535";
    QTest::newRow("word 256") << true << "256" << QByteArray("\x01\x00", 2) << "256";
}

void PageStepsTest::numberFields()
{
    QFETCH(bool, twoBytes);
    QFETCH(QString, text);
    QFETCH(QByteArray, written);
    QFETCH(QString, readBack);

    QLineEdit field(text);
    const Binding binding = bindingFor(*findPara(twoBytes ? 148 : 129), &field);
    const StepValue value = binding.value();
    QCOMPARE(bytesOf(value.data()), written);
    field.clear();
    binding.show(value.data());
    QCOMPARE(field.text(), readBack);
}

void PageStepsTest::listWithoutSelection_data()
{
    QTest::addColumn<int>("address");  // its first code: 131 0, 128 1, 192 2, 66 (a number from 4) 4
    QTest::addColumn<int>("byteRead");
    QTest::addColumn<int>("index");   // index shown after the read

    QTest::newRow("first code 0, first item") << 131 << 0 << 0;
    QTest::newRow("first code 1, last item") << 128 << 3 << 2;
    QTest::newRow("first code 1, byte 0 matches none") << 128 << 0 << -1;
    QTest::newRow("first code 2, above the last item") << 192 << 5 << -1;
    QTest::newRow("a number from 4, byte 255") << 66 << 255 << -1;
}

void PageStepsTest::listWithoutSelection()
{
    QFETCH(int, address);
    QFETCH(int, byteRead);
    QFETCH(int, index);

    QComboBox list;
    list.addItems({"a", "b", "c"});
    list.setCurrentIndex(1);
    const Binding binding = bindingFor(*findPara(address), &list);
    binding.show({uint8_t(byteRead)});
    QCOMPARE(list.currentIndex(), index);

    const StepValue value = binding.value();
    if (index < 0) {
        QVERIFY2(value.kind() == StepValue::Kind::Missing, "a list with no selection has no value to write");
    } else {
        QCOMPARE(value.data(), ParaBytes{uint8_t(byteRead)});
    }
}

void PageStepsTest::radioSetClearsOnUnknownValue_data()
{
    QTest::addColumn<bool>("inButtonGroup");
    QTest::newRow("sibling buttons") << false;
    QTest::newRow("buttons of an exclusive button group") << true;
}

void PageStepsTest::radioSetClearsOnUnknownValue()
{
    QFETCH(bool, inButtonGroup);

    QWidget parent;
    auto* one = new QRadioButton(&parent);
    auto* two = new QRadioButton(&parent);
    QButtonGroup group;
    if (inButtonGroup) {
        group.addButton(one);
        group.addButton(two);
    }
    const RadioSet set({one, two});
    const Para& identification = *findPara(150);   // codes 1 and 2
    const Binding binding = bindingFor(identification, set);
    QSignalSpy selected(two, &QRadioButton::toggled);

    binding.show({2});
    QVERIFY(two->isChecked());
    QCOMPARE(binding.value().data(), ParaBytes{2});

    binding.show({9});
    QVERIFY2(!one->isChecked() && !two->isChecked(), "a value matching no button leaves the set with none selected");
    QVERIFY(binding.value().kind() == StepValue::Kind::Missing);
    QCOMPARE(selected.count(), 2);   // selected, then unselected: no rule runs on toggled(false)

    binding.show({1});
    QVERIFY2(one->isChecked() && !two->isChecked(), "the set stays exclusive after being cleared");
    two->setChecked(true);
    QVERIFY(!one->isChecked());

    // A radio group's index stops at its last item; below its first it shows none.
    const Binding radioGroup = bindingFor(identification, set, PastLast::Last);
    radioGroup.show({9});
    QVERIFY2(two->isChecked(), "a code past the last item selects the last");
    radioGroup.show({0});
    QVERIFY(!one->isChecked() && !two->isChecked());
}

void PageStepsTest::hexStrings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("written");   // empty: nothing written
    QTest::addColumn<QString>("readBack");

    QTest::newRow("pairs, high nibble first") << "A1B2" << QByteArray("\xA1\xB2") << "A1B2";
    QTest::newRow("odd last digit ignored") << "0AFF1" << QByteArray("\x0A\xFF") << "0AFF";
    QTest::newRow("one digit writes nothing") << "7" << QByteArray() << "";
    QTest::newRow("empty writes nothing") << "" << QByteArray() << "";
    QTest::newRow("lower case counts as upper") << "a1" << QByteArray("\xA1") << "A1";
}

void PageStepsTest::hexStrings()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, written);
    QFETCH(QString, readBack);

    QLineEdit field(text);
    const Binding binding = bindingFor(*findPara(180), &field);   // 1 to 6 bytes
    const StepValue value = binding.value();
    if (written.isEmpty()) {
        QVERIFY(value.kind() == StepValue::Kind::Nothing);
    } else {
        QCOMPARE(bytesOf(value.data()), written);
    }
    field.setText(QStringLiteral("junk"));
    binding.show(value.data());
    QCOMPARE(field.text(), readBack);
}

void PageStepsTest::maskBitsWithoutBox()
{
    QCheckBox bit0, bit2, bit7;
    const Binding binding = bindingFor(*findPara(153), QList<QCheckBox*>{&bit0, nullptr, &bit2, nullptr, nullptr,
                                                                          nullptr, nullptr, &bit7});

    binding.show({0xFF});
    QVERIFY(bit0.isChecked() && bit2.isChecked() && bit7.isChecked());
    QCOMPARE(binding.value().data(), ParaBytes{0x85});   // bits without a box are written 0

    binding.show({0x7A});
    QVERIFY2(!bit0.isChecked() && !bit2.isChecked() && !bit7.isChecked(), "bits without a box are ignored when read");
    QCOMPARE(binding.value().data(), ParaBytes{0x00});
}

// Stored bytes (a profile's) stand in for the reader: every read step takes
// them, also one whose condition does not hold; an address without bytes keeps
// its control; nothing is written or called.
void PageStepsTest::storedBytesShowEveryReadAndWriteNothing()
{
    const StoredLookup lookup = [](uint8_t address) -> std::optional<ParaBytes> {
        if (address == 30)
            return ParaBytes{0x23, 0x28};
        if (address == 153)
            return ParaBytes{0x05};
        if (address == 154)
            return ParaBytes{0x05, 0x06};   // not the parameter's length
        return std::nullopt;
    };
    QMap<int, ParaBytes> shown;
    const auto show = [&shown](int address) { return [&shown, address](const ParaBytes& b) { shown[address] = b; }; };
    Routine routine{{readStep(153, show(153), "Query A Failed !"), readStep(30, show(30), "Query B Failed !"),
                     readStep(154, show(154), "Query C Failed !"), readStep(155, show(155), "Query C Failed !"),
                     writeStep(129, [] { return StepValue::byte(1); }, "Setup D Failed !")},
                    closing};
    routine.steps[1].when = [] { return false; };

    showStored(routine, lookup);
    QCOMPARE(shown.keys(), (QList<int>{30, 153}));
    QCOMPARE(shown[30], (ParaBytes{0x23, 0x28}));
    QVERIFY2(fake::reader().calls.empty(), "stored bytes call the library");
}

TEST_CLASS(PageStepsTest)
} // namespace pagestepstest
#include "PageStepsTest.moc"
