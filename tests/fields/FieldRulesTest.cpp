// The page fields' input rules, driven through real QLineEdits the way the
// operator and the page routines reach them: keys, paste, setText, focus.
#include "TestClasses.h"
#include "ControlFinder.h"

#include "ErrorBox.h"
#include "FieldRules.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QValidator>

#include <memory>

namespace {
// Every field with a rule, plus two that must stay without one, with the
// defaults the pages give them.
const QList<std::pair<const char*, const char*>> pageFields = {
    {"Edit7", "10"}, {"Edit70", "8"}, {"Edit4", "10"}, {"Edit72", "65535"}, {"Edit6", ""},
    {"Edit1", "8"}, {"Edit2", "12"}, {"Edit3", "0"},
    {"Edit98", "192"}, {"Edit99", "168"}, {"Edit100", "0"}, {"Edit101", "178"},
    {"Edit102", "255"}, {"Edit103", "255"}, {"Edit104", "255"}, {"Edit105", "0"},
    {"Edit106", "192"}, {"Edit107", "168"}, {"Edit108", "0"}, {"Edit109", "254"},
    {"Edit112", "192"}, {"Edit111", "168"}, {"Edit110", "0"}, {"Edit113", "1"},
    {"Edit97", "4001"}, {"Edit114", "10000"},
    {"Edit115", "FF"}, {"Edit116", "FF"}, {"Edit117", "FF"}, {"Edit118", "FF"}, {"Edit119", "FF"}, {"Edit120", "FF"},
    {"Edit75", "92000"}, {"Edit76", "20"}, {"Edit77", "20"}, {"Edit16", ""},
    {"Edit79", ""}, {"Edit80", ""}, {"Edit78", "20"},
    {"Edit82", "20"}, {"Edit83", "20"}, {"Edit81", "20"}, {"Edit84", "20"}, {"Edit86", "10"},
    {"Edit71", "192.168.0.178"},
};

const char* const sharedByteFields[] = {
    "Edit98", "Edit99", "Edit100", "Edit101", "Edit102", "Edit103", "Edit104",
    "Edit105", "Edit106", "Edit107", "Edit108", "Edit109", "Edit110", "Edit111",
    "Edit112", "Edit113", "Edit82", "Edit83", "Edit81", "Edit84", "Edit86",
};
} // namespace

class FieldRulesTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QWidget> root;
    QStringList errorBoxes;

    QLineEdit* field(const QString& name) { return child<QLineEdit>(root.get(), name); }

    // Makes field the focus of a shown, active window, as the operator would.
    bool focusOn(QLineEdit* edit)
    {
        edit->setFocus(Qt::MouseFocusReason);
        return QTest::qWaitFor([edit] { return edit->hasFocus(); }, 1000);
    }

private slots:
    void init()
    {
        root = std::make_unique<QWidget>();
        for (const auto& [name, text] : pageFields) {
            auto* edit = new QLineEdit(QString::fromUtf8(text), root.get());
            edit->setObjectName(QString::fromLatin1(name));
        }
        attachFieldRules(root.get());
        errorBoxes.clear();
        setErrorBoxSinkForTesting([this](const QString& text) { errorBoxes << text; });
    }

    void cleanup()
    {
        setErrorBoxSinkForTesting({});
        root.reset();
    }

    // The operator selects the whole text and types over it.
    void typing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expected");

        QTest::newRow("byte above its limit") << "Edit7" << "300" << "255";
        QTest::newRow("flush time above 65535 gives 8") << "Edit70" << "65536" << "8";
        QTest::newRow("flush time at 65535 stays") << "Edit70" << "65535" << "65535";
        QTest::newRow("off-line interval") << "Edit72" << "99999" << "65535";
        QTest::newRow("off-line interval: five digits") << "Edit72" << "123456" << "12345";
        QTest::newRow("output interval") << "Edit78" << "70000" << "65535";
        QTest::newRow("IP byte") << "Edit98" << "256" << "255";
        QTest::newRow("IP byte: three digits") << "Edit101" << "1234" << "123";
        QTest::newRow("relay delay: three digits") << "Edit84" << "0255" << "025";
        QTest::newRow("check interval has no length limit") << "Edit86" << "0255" << "0255";
        QTest::newRow("signs, letters and blanks refused") << "Edit3" << "1a-2 +" << "12";
        QTest::newRow("port 300") << "Edit97" << "300" << "300";
        QTest::newRow("port: a sixth digit refused") << "Edit97" << "123456" << "12345";
        QTest::newRow("port above 65535") << "Edit97" << "70000" << "65535";
        QTest::newRow("client port above 65535") << "Edit114" << "99999" << "65535";
        QTest::newRow("frequency interval above a byte") << "Edit76" << "300" << "255";
        QTest::newRow("frequency points above a byte") << "Edit77" << "256" << "255";
        QTest::newRow("start frequency: digits only, no check while typing") << "Edit75" << "9x2" << "92";
        QTest::newRow("hex: lower case shown as upper case") << "Edit6" << "a" << "A";
        QTest::newRow("hex: g and blank refused") << "Edit6" << "ag 1" << "A1";
        QTest::newRow("hex: twelve characters") << "Edit6" << "abcdef0123456" << "ABCDEF012345";
        QTest::newRow("preamble: eight characters") << "Edit79" << "123456789" << "12345678";
        QTest::newRow("end code: hex only") << "Edit80" << "0d0a,z" << "0D0A";
        QTest::newRow("MAC byte: two characters") << "Edit115" << "fff" << "FF";
        QTest::newRow("link address has no rule") << "Edit71" << "10.0.0.7" << "10.0.0.7";
    }

    void typing()
    {
        QFETCH(QString, name);
        QFETCH(QString, keys);
        QFETCH(QString, expected);
        QLineEdit* edit = field(name);
        edit->selectAll();
        QTest::keyClicks(edit, keys);
        QCOMPARE(edit->text(), expected);
    }

    // A key the filter refuses does nothing at all: the text, the selection and
    // the undo history stay, and the text is not reported as changed.
    void refusedKeyLeavesFieldAlone_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<char>("key");

        QTest::newRow("letter in a number") << "Edit7" << "12" << 'x';
        QTest::newRow("minus in a number") << "Edit97" << "4001" << '-';
        QTest::newRow("blank in a number") << "Edit86" << "10" << ' ';
        QTest::newRow("g in a hex code") << "Edit6" << "AB" << 'g';
        QTest::newRow("blank in a MAC byte") << "Edit116" << "FF" << ' ';
    }

    void refusedKeyLeavesFieldAlone()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(char, key);
        QLineEdit* edit = field(name);
        edit->setText(text);
        edit->selectAll();
        QSignalSpy changes(edit, &QLineEdit::textChanged);
        QTest::keyClick(edit, key);
        QCOMPARE(edit->text(), text);
        QCOMPARE(edit->selectedText(), text);
        QCOMPARE(changes.count(), 0);
    }

    // Emptying a field with a change rule brings back its not-a-number text at
    // once; the 16-bit ports and the frequency plan fields have none and stay
    // empty until a routine's conversion stops at them.
    void emptying_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");

        QTest::newRow("Edit7") << "Edit7" << "10";
        QTest::newRow("Edit70") << "Edit70" << "8";
        QTest::newRow("Edit4") << "Edit4" << "10";
        QTest::newRow("Edit72") << "Edit72" << "65535";
        QTest::newRow("Edit1") << "Edit1" << "8";
        QTest::newRow("Edit2") << "Edit2" << "12";
        QTest::newRow("Edit3") << "Edit3" << "0";
        QTest::newRow("Edit78") << "Edit78" << "65535";
        for (const char* name : sharedByteFields)
            QTest::newRow(name) << name << "255";
        QTest::newRow("Edit76") << "Edit76" << "";
        QTest::newRow("Edit77") << "Edit77" << "";
        QTest::newRow("Edit97") << "Edit97" << "";
        QTest::newRow("Edit114") << "Edit114" << "";
        QTest::newRow("Edit75") << "Edit75" << "";
    }

    void emptying()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QLineEdit* edit = field(name);
        edit->setText(QStringLiteral("7"));
        edit->end(false);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), expected);
    }

    // A routine's setText passes the same rules: the replaced text shows at
    // once, and the replacement is one more change that settles (no loop).
    void routineSetsText_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("changes");

        QTest::newRow("byte above its limit") << "Edit7" << "300" << "255" << 2;
        QTest::newRow("byte within its limit") << "Edit3" << "12" << "12" << 1;
        QTest::newRow("flush time above 65535") << "Edit70" << "70000" << "8" << 2;
        QTest::newRow("too large for 32 bits") << "Edit7" << "4294967296" << "10" << 2;
        QTest::newRow("empty") << "Edit7" << "" << "10" << 2;
        QTest::newRow("frequency interval") << "Edit76" << "300" << "255" << 2;
        QTest::newRow("port above 65535") << "Edit97" << "70000" << "65535" << 2;
        QTest::newRow("empty port stays") << "Edit97" << "" << "" << 1;
        QTest::newRow("letters dropped from a number") << "Edit7" << "1x2" << "12" << 1;
        QTest::newRow("hex shown upper case") << "Edit6" << "0aff10" << "0AFF10" << 1;
        QTest::newRow("start frequency not checked on change") << "Edit75" << "151535" << "151535" << 1;
    }

    void routineSetsText()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QFETCH(int, changes);
        QLineEdit* edit = field(name);
        edit->setText(QStringLiteral("9"));
        QSignalSpy spy(edit, &QLineEdit::textChanged);
        edit->setText(text);
        QCOMPARE(edit->text(), expected);
        QCOMPARE(spy.count(), changes);
    }

    // Pasted text loses the characters the filter refuses and keeps the rest,
    // at the cursor, with the cursor after what was kept.
    void paste_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("expectedCursor");

        QTest::newRow("digits kept from a mixed paste") << "Edit76" << "" << 0 << "1a2" << "12" << 2;
        QTest::newRow("into the middle") << "Edit2" << "19" << 1 << " 2-" << "129" << 2;
        QTest::newRow("pasted number within its limit") << "Edit7" << "1" << 1 << "x00" << "100" << 3;
        QTest::newRow("pasted number above its limit") << "Edit7" << "3" << 1 << "00" << "255" << 3;
        QTest::newRow("nothing kept") << "Edit3" << "5" << 1 << "abc" << "5" << 1;
        QTest::newRow("port: five characters") << "Edit97" << "" << 0 << "1234567" << "12345" << 5;
        QTest::newRow("hex code with separators") << "Edit6" << "" << 0 << "de:ad:be:ef" << "DEADBEEF" << 8;
        QTest::newRow("hex into the middle") << "Edit79" << "AB" << 1 << "c-d" << "ACDB" << 3;
        QTest::newRow("MAC byte") << "Edit118" << "" << 0 << "0x" << "0" << 1;
    }

    void paste()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(int, cursor);
        QFETCH(QString, pasted);
        QFETCH(QString, expected);
        QFETCH(int, expectedCursor);
        QLineEdit* edit = field(name);
        edit->setText(text);
        edit->setCursorPosition(cursor);
        QApplication::clipboard()->setText(pasted);
        if (QApplication::clipboard()->text() != pasted)
            QSKIP("this platform has no clipboard");
        edit->paste();
        QCOMPARE(edit->text(), expected);
        QCOMPARE(edit->cursorPosition(), expectedCursor);
    }

    // Leaving the start frequency field: a number outside 86000 to 96000 is
    // put back to 92000; a text that is no number is reported and kept.
    void startFrequencyOnLeaving_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("errorBox");

        QTest::newRow("85999") << "85999" << "92000" << "";
        QTest::newRow("86000") << "86000" << "86000" << "";
        QTest::newRow("96000") << "96000" << "96000" << "";
        QTest::newRow("96001") << "96001" << "92000" << "";
        QTest::newRow("0") << "0" << "92000" << "";
        QTest::newRow("read back above 96000") << "151535" << "92000" << "";
        QTest::newRow("empty") << "" << "" << "'' is not a valid integer value.";
        QTest::newRow("too large for 32 bits") << "2147483648" << "2147483648"
                                               << "'2147483648' is not a valid integer value.";
    }

    void startFrequencyOnLeaving()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QFETCH(QString, errorBox);
        QLineEdit* start = field(QStringLiteral("Edit75"));
        root->show();
        QApplication::setActiveWindow(root.get());
        QVERIFY(QTest::qWaitForWindowActive(root.get()));
        QVERIFY(focusOn(start));
        start->setText(text);
        QVERIFY(focusOn(field(QStringLiteral("Edit76"))));
        QCOMPARE(start->text(), expected);
        QCOMPARE(errorBoxes, errorBox.isEmpty() ? QStringList() : QStringList{errorBox});
    }

    // Switching to another window or opening the field's menu is not leaving
    // the field: no check (and so no error box popping up again and again).
    void startFrequencyFocusReasons_data()
    {
        QTest::addColumn<int>("reason");
        QTest::addColumn<bool>("checked");

        QTest::newRow("Tab") << int(Qt::TabFocusReason) << true;
        QTest::newRow("mouse") << int(Qt::MouseFocusReason) << true;
        QTest::newRow("other window") << int(Qt::ActiveWindowFocusReason) << false;
        QTest::newRow("context menu") << int(Qt::PopupFocusReason) << false;
    }

    void startFrequencyFocusReasons()
    {
        QFETCH(int, reason);
        QFETCH(bool, checked);
        QLineEdit* start = field(QStringLiteral("Edit75"));
        start->setText(QStringLiteral("99999"));
        QFocusEvent leave(QEvent::FocusOut, Qt::FocusReason(reason));
        QApplication::sendEvent(start, &leave);
        QCOMPARE(start->text(), checked ? QStringLiteral("92000") : QStringLiteral("99999"));
    }

    // Values a page put in before the rules were attached are mended by them.
    void attachMendsEarlierText_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");

        QTest::newRow("lower-case MAC default") << "Edit115" << "ff" << "FF";
        QTest::newRow("byte above its limit") << "Edit7" << "300" << "255";
        QTest::newRow("empty flush time") << "Edit70" << "" << "8";
        QTest::newRow("MAC text longer than a byte") << "Edit117" << "FFF" << "FF";
    }

    void attachMendsEarlierText()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QWidget page;
        auto* edit = new QLineEdit(text, &page);
        edit->setObjectName(name);
        attachFieldRules(&page);
        QCOMPARE(edit->text(), expected);
    }

    // Pages that do not exist yet are skipped; attaching again adds no second
    // rule (one error box, not two); fields without a rule get no filter.
    void attachment()
    {
        QWidget page;
        auto* start = new QLineEdit(QString(), &page);
        start->setObjectName(QStringLiteral("Edit75"));
        auto* readOnly = new QLineEdit(QStringLiteral("920 MHz"), &page);
        readOnly->setObjectName(QStringLiteral("Edit16"));
        attachFieldRules(&page);
        attachFieldRules(&page);
        attachFieldRules(nullptr);

        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(start, &leave);
        QCOMPARE(errorBoxes.size(), 1);
        QVERIFY(!readOnly->validator());
        QCOMPARE(readOnly->maxLength(), QLineEdit().maxLength());
    }
};

TEST_CLASS(FieldRulesTest)
#include "FieldRulesTest.moc"
