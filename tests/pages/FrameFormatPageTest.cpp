// The "Frame Format" page against the device library's test double.
#include "TestClasses.h"
#include "FakePageFixture.h"
#include "FakeReaderCalls.h"
#include "OuterPageChecks.h"

#include "FieldRules.h"
#include "FrameFormatPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

// A test program compiles its files as one: what this file defines stays in its namespace.
namespace frameformatpagetest {

using namespace fakecalls;

namespace {
const QString setupOk = QStringLiteral("Setup Output Frame Format Parameter Successfully !");
const QString setupFailed = QStringLiteral("Setup Output Frame Format Parameter Failed !");
const QString queryOk = QStringLiteral("Query Output Frame Format Parameter Successfully ! ");
const QString queryFailed = QStringLiteral("Query Output Frame Format Parameter Failed !");

// The port boxes by bit, bit 0 first.
const char* const portByBit[8] = {"CheckBox31", "CheckBox32", "CheckBox4", "CheckBox34",
                                  "CheckBox33", "CheckBox41", "CheckBox43", "CheckBox42"};
// "Preamble Code", "Reader Num", "Tag ID", "End Code": frame flag bits 7 to 4.
const char* const flagBoxes[4] = {"CheckBox44", "CheckBox45", "CheckBox46", "CheckBox47"};

// The controls each frame box's rule enables.
const QMap<QString, QStringList> enabledBy = {
    {"RadioButton2", {"Label14", "Edit78", "Label110"}},
    {"CheckBox44", {"Label111", "Edit79"}},
    {"CheckBox46", {"Label113", "ComboBox8", "Label120", "ComboBox10"}},
    {"CheckBox47", {"Label112", "Edit80"}},
};

// Four code bytes, zeros included.
QByteArray code(const char* bytes)
{
    return QByteArray(bytes, 4);
}
} // namespace

class FrameFormatPageTest : public QObject, FakePageFixture<FrameFormatPage> {
    Q_OBJECT

    // Each rule's controls are enabled exactly as its box (or "Timing Output") says.
    void verifyEnabledStates()
    {
        for (auto it = enabledBy.begin(); it != enabledBy.end(); ++it) {
            const bool on = at<QAbstractButton>(it.key())->isChecked();
            for (const QString& name : it.value())
                QVERIFY2(at(name)->isEnabled() == on, qPrintable(name + " follows " + it.key()));
        }
    }

private slots:
    void init() { build("TabSheet2"); }
    void cleanup() { tearDown(); }

    void setupWrites_data();
    void setupWrites();
    void queryShows_data();
    void queryShows();
    void tagIdWindowWithoutSelectionIsNotWritten_data();
    void tagIdWindowWithoutSelectionIsNotWritten();
    void codeFieldsTakeHexOnly();
    void failingReadKeepsItsControls_data();
    void failingReadKeepsItsControls();
    void fitsLeftOfTheButtons();
};

void FrameFormatPageTest::setupWrites_data()
{
    QTest::addColumn<QStringList>("checked");   // boxes and radio buttons the operator checks
    QTest::addColumn<QStringList>("unchecked");
    QTest::addColumn<QString>("interval");
    QTest::addColumn<int>("start");             // ComboBox10 index
    QTest::addColumn<int>("length");            // ComboBox8 index
    QTest::addColumn<QString>("preamble");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QStringList>("written");

    const QStringList none;
    QTest::newRow("defaults: codes empty, interval written under real time")
        << none << none << "20" << 0 << 7 << "" << ""
        << QStringList{"68:00", "69:0014", "130:00", "64:00", "71:60", "65:08"};
    QTest::newRow("timing 300, USB-Keyboard is bit 7")
        << QStringList{"RadioButton2", "CheckBox42"} << none << "300" << 2 << 7 << "" << ""
        << QStringList{"68:01", "69:012C", "130:80", "64:00", "71:60", "65:28"};
    QTest::newRow("COM-Keyboard is bit 6, ASCII")
        << QStringList{"CheckBox43", "RadioButton10"} << none << "65535" << 11 << 11 << "" << ""
        << QStringList{"68:00", "69:FFFF", "130:40", "64:01", "71:60", "65:BC"};
    QTest::newRow("every port, flags 0x90, codes of their own length")
        << QStringList{"CheckBox4", "CheckBox31", "CheckBox32", "CheckBox33", "CheckBox34", "CheckBox41",
                       "CheckBox42", "CheckBox43", "CheckBox44", "CheckBox47"}
        << QStringList{"CheckBox45", "CheckBox46"} << "0" << 0 << 0 << "0A0D" << "12345678"
        << QStringList{"68:00", "69:0000", "130:FF", "64:00", "71:90", "65:01", "72:0A0D", "76:12345678"};
    QTest::newRow("an odd last digit is dropped, one digit writes nothing")
        << none << none << "20" << 0 << 7 << "ABC" << "7"
        << QStringList{"68:00", "69:0014", "130:00", "64:00", "71:60", "65:08", "72:AB"};
    // Without the window's hex filter a lower-case digit counts as its upper-case one.
    QTest::newRow("lower case without the filter")
        << none << none << "20" << 0 << 7 << "02" << "ab"
        << QStringList{"68:00", "69:0014", "130:00", "64:00", "71:60", "65:08", "72:02", "76:AB"};
}

void FrameFormatPageTest::setupWrites()
{
    QFETCH(QStringList, checked);
    QFETCH(QStringList, unchecked);
    QFETCH(QString, interval);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, preamble);
    QFETCH(QString, end);
    QFETCH(QStringList, written);

    for (const QString& name : checked)
        at<QAbstractButton>(name)->setChecked(true);
    for (const QString& name : unchecked)
        at<QAbstractButton>(name)->setChecked(false);
    at<QLineEdit>("Edit78")->setText(interval);
    at<QComboBox>("ComboBox10")->setCurrentIndex(start);
    at<QComboBox>("ComboBox8")->setCurrentIndex(length);
    at<QLineEdit>("Edit79")->setText(preamble);
    at<QLineEdit>("Edit80")->setText(end);
    verifyEnabledStates();

    page->setup();
    QCOMPARE(writes(), written);
    QCOMPARE(rec->lines, QStringList{setupOk});
}

void FrameFormatPageTest::queryShows_data()
{
    QTest::addColumn<QByteArray>("memory");     // bytes from address 64 to 79
    QTest::addColumn<int>("ports");             // byte at 130
    QTest::addColumn<QStringList>("checked");   // every box and radio button checked afterwards
    QTest::addColumn<QString>("interval");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("preamble");
    QTest::addColumn<QString>("end");

    //                 64    65    66  67  68    69    70    71    72 .. 75                76 .. 79
    const auto memory = [](char format, char window, char mode, char hi, char lo, char flags,
                           const char* preamble, const char* end) {
        return QByteArray() + format + window + '\0' + '\0' + mode + hi + lo + flags + code(preamble) + code(end);
    };
    QTest::newRow("frame flags 0x90")
        << memory(0, 0x28, 0, 0x01, 0x2C, char(0x90), "\x0A\x0D\xFF\x00", "\x12\x34\x56\x78") << 0x80
        << QStringList{"RadioButton1", "CheckBox42", "RadioButton6", "CheckBox44", "CheckBox47"}
        << "300" << 2 << 7 << "0A0D" << "12345678";
    QTest::newRow("mode 3 is timing, format 2 is HEX, code starting with 0xFF is empty")
        << memory(2, 0x0C, 3, char(0xFF), char(0xFF), 0x60, "\xFF\x01\x02\x03", "\x0D\x0A\xFF\xFF") << 0x41
        << QStringList{"RadioButton2", "CheckBox31", "CheckBox43", "RadioButton6", "CheckBox45", "CheckBox46"}
        << "65535" << 0 << 11 << "" << "0D0A";
    QTest::newRow("ASCII, every flag, low bits ignored")
        << memory(1, 0x01, 0, 0, 0, char(0xFF), "\x02\xFF\x00\x00", "\xFF\xFF\xFF\xFF") << 0xFF
        << QStringList{"RadioButton1", "CheckBox4", "CheckBox31", "CheckBox32", "CheckBox33", "CheckBox34",
                       "CheckBox41", "CheckBox42", "CheckBox43", "RadioButton10", "CheckBox44", "CheckBox45",
                       "CheckBox46", "CheckBox47"}
        << "0" << 0 << 0 << "02" << "";
    QTest::newRow("window naming no length")
        << memory(0, 0x50, 0, 0, 20, 0x00, "\x00\x00\x00\x00", "\xFF\x00\x00\x00") << 0
        << QStringList{"RadioButton1", "RadioButton6"} << "20" << 5 << -1 << "00000000" << "";
    QTest::newRow("window naming no start, length 13")
        << memory(0, char(0xCD), 0, 0, 20, 0x20, "\xFF\x00\x00\x00", "\xFF\x00\x00\x00") << 0
        << QStringList{"RadioButton1", "RadioButton6", "CheckBox46"} << "20" << -1 << -1 << "" << "";
}

void FrameFormatPageTest::queryShows()
{
    QFETCH(QByteArray, memory);
    QFETCH(int, ports);
    QFETCH(QStringList, checked);
    QFETCH(QString, interval);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, preamble);
    QFETCH(QString, end);

    // Start from the opposite of the defaults where the page lets us, so every rule has to run.
    for (const char* name : {"RadioButton2", "RadioButton10", "CheckBox44", "CheckBox47"})
        at<QAbstractButton>(name)->setChecked(true);
    at<QCheckBox>("CheckBox46")->setChecked(false);
    at<QLineEdit>("Edit79")->setText("EE");
    at<QLineEdit>("Edit80")->setText("EE");
    putMemory(64, memory);
    fake::reader().memory[130] = uint8_t(ports);

    page->query();
    QCOMPARE(rec->lines, QStringList{queryOk});
    QCOMPARE(reads(), (QList<int>{68, 69, 130, 64, 71, 65, 72, 76}));
    for (QAbstractButton* button : sheet->findChildren<QAbstractButton*>())
        QVERIFY2(button->isChecked() == checked.contains(button->objectName()), qPrintable(button->objectName()));
    QCOMPARE(at<QLineEdit>("Edit78")->text(), interval);
    QCOMPARE(at<QComboBox>("ComboBox10")->currentIndex(), start);
    QCOMPARE(at<QComboBox>("ComboBox8")->currentIndex(), length);
    QCOMPARE(at<QLineEdit>("Edit79")->text(), preamble);
    QCOMPARE(at<QLineEdit>("Edit80")->text(), end);
    verifyEnabledStates();
}

void FrameFormatPageTest::tagIdWindowWithoutSelectionIsNotWritten_data()
{
    QTest::addColumn<int>("windowByte");
    QTest::newRow("no length (low nibble 0)") << 0x30;
    QTest::newRow("no length (low nibble 13)") << 0x0D;
    QTest::newRow("no start (high nibble 12)") << 0xC4;
    QTest::newRow("neither") << 0xFF;
}

void FrameFormatPageTest::tagIdWindowWithoutSelectionIsNotWritten()
{
    QFETCH(int, windowByte);

    fake::reader().memory[65] = uint8_t(windowByte);
    putMemory(72, QByteArray(8, char(0xFF)));
    page->query();
    fake::reset();
    rec->lines.clear();

    page->setup();
    QCOMPARE(writes(), (QStringList{"68:00", "69:0000", "130:00", "64:00", "71:00"}));
    QCOMPARE(rec->lines, (QStringList{"Setup Output Start Byte Parameter Failed !", setupFailed}));
}

void FrameFormatPageTest::codeFieldsTakeHexOnly()
{
    attachFieldRules(tree->window.get());
    at<QCheckBox>("CheckBox44")->setChecked(true);
    at<QCheckBox>("CheckBox47")->setChecked(true);
    QTest::keyClicks(at("Edit79"), "ab");
    QTest::keyClicks(at("Edit80"), "0d-0a 0102030405");
    QCOMPARE(at<QLineEdit>("Edit79")->text(), "AB");
    QCOMPARE(at<QLineEdit>("Edit80")->text(), "0D0A0102");

    page->setup();
    QCOMPARE(writes().mid(6), (QStringList{"72:AB", "76:0D0A0102"}));
}

void FrameFormatPageTest::failingReadKeepsItsControls_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<QString>("line");

    QTest::newRow("output mode") << 68 << "Query Output Mode Parameter Failed !";
    QTest::newRow("interval") << 69 << "Query Output Interval Parameter Failed !";
    QTest::newRow("ports") << 130 << "Query Communication Port Parameter Failed !";
    QTest::newRow("format") << 64 << "Query Output Format Parameter Failed ! ";
    QTest::newRow("flags") << 71 << "Query Output Frame Flag Parameter Failed ! ";
    QTest::newRow("window") << 65 << "Query Output Start Byte Parameter Failed ! ";
    QTest::newRow("preamble") << 72 << "Query Preamble Code Parameter Failed ! ";
    QTest::newRow("end code") << 76 << "Query End Code Parameter Failed !";
}

void FrameFormatPageTest::failingReadKeepsItsControls()
{
    QFETCH(int, address);
    QFETCH(QString, line);

    putMemory(64, QByteArray("\x01\x35\x00\x00\x01\x00\x07\x90\x0A\xFF\x00\x00\x0D\xFF\x00\x00", 16));
    fake::reader().memory[130] = 0x01;
    fake::reader().failGet[address] = 0x20;
    page->query();
    QCOMPARE(rec->lines, (QStringList{line, queryFailed}));

    // The failed parameter's controls keep the defaults; every other one shows the reader's.
    const auto expect = [address](int a, auto read, auto kept) { return a == address ? kept : read; };
    QCOMPARE(at<QRadioButton>("RadioButton2")->isChecked(), expect(68, true, false));
    QCOMPARE(at<QLineEdit>("Edit78")->text(), expect(69, QString("7"), QString("20")));
    QCOMPARE(at<QCheckBox>("CheckBox31")->isChecked(), expect(130, true, false));
    QCOMPARE(at<QRadioButton>("RadioButton10")->isChecked(), expect(64, true, false));
    QCOMPARE(at<QCheckBox>("CheckBox44")->isChecked(), expect(71, true, false));
    QCOMPARE(at<QComboBox>("ComboBox10")->currentIndex(), expect(65, 3, 0));
    QCOMPARE(at<QComboBox>("ComboBox8")->currentIndex(), expect(65, 4, 7));
    QCOMPARE(at<QLineEdit>("Edit79")->text(), expect(72, QString("0A"), QString()));
    QCOMPARE(at<QLineEdit>("Edit80")->text(), expect(76, QString("0D"), QString()));
    verifyEnabledStates();
}



void FrameFormatPageTest::fitsLeftOfTheButtons()
{
    QVERIFY(tree->showWindow(3));
    QCOMPARE(outerpage::misplacedControls(tree->pageControl1->currentWidget()), QStringList());
}

TEST_CLASS(FrameFormatPageTest)
} // namespace frameformatpagetest
#include "FrameFormatPageTest.moc"
