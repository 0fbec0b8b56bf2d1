// Reader profiles across every page of the window, through the real device
// library and readersim. A reader holding other values than readersim's own on
// every page is saved with Ctrl+S; a fresh window loads the profile with Ctrl+O
// and must then show, control by control, what a window shows that pressed
// "Query Para" on every page against that reader. A window connected to a
// second, untouched reader loads the profile too, presses "Setup Para" on every
// page, and that reader must then hold the profile, but for what it refused.
#include "TestClasses.h"
#include "ControlStates.h"
#include "SimArguments.h"
#include "SimProcess.h"
#include "TextFitCheck.h"
#include "WindowProbe.h"

#include "ErrorBox.h"
#include "FrequencyPage.h"
#include "MainWindow.h"
#include "ProfileFormat.h"
#include "ProfileShortcuts.h"
#include "Reader.h"
#include "ReaderTransfer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

using namespace formtest;

namespace {

struct ParamWrite {
    uint8_t address;
    std::vector<uint8_t> bytes;
};
using ParamWrites = std::vector<ParamWrite>;

// Values unlike readersim's defaults and unlike what a fresh window shows, on
// every page. The RS-485 and Wiegand protocols share one list on the page, so
// they hold the same value; the codes and the match value are as long as the
// page writes them.
const ParamWrites otherValues = {
    // Communication Port: client mode with DHCP, buffered IDs sent actively with ack.
    {3, {3}}, {4, {1}}, {6, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}}, {12, {10, 0, 0, 7}},
    {16, {255, 255, 0, 0}}, {20, {10, 0, 0, 1}}, {24, {0x1F, 0x90}}, {26, {10, 0, 0, 9}}, {30, {0x23, 0x28}},
    {100, {7}}, {131, {3}}, {132, {2}}, {133, {1}}, {134, {1}}, {135, {2}}, {136, {12}}, {137, {20}},
    {139, {4}}, {140, {1}},
    // Frame Format: timing output in ASCII, a two-byte preamble, a one-byte end code.
    {64, {1}}, {65, {0x23}}, {68, {1}}, {69, {0x00, 0x05}}, {71, {0x50}}, {72, {0xAA, 0xBB, 0xFF, 0xFF}},
    {76, {0x0D, 0x0A, 0x0B, 0xFF}}, {130, {0x05}},
    // Frequency: another plan of 30 channels, hopping over some of them.
    {80, {0x10, 0x9A}}, {82, {25}}, {83, {30}}, {160, {0}}, {161, {40}},
    {162, {0x55, 0xAA, 0x3F, 0, 0, 0, 0}},
    // Supported Protocol.
    {98, {0x45}}, {66, {6}},
    // Work Mode: triggering, pre-compare with flush time, triggers 2 and 4.
    {128, {3}}, {129, {25}}, {141, {1}}, {147, {1}}, {148, {0x00, 0x1E}}, {145, {0x0A}}, {146, {9}},
    // Other Function: ID feature match of 4 bytes, off-line saving, one tag, self synchronised.
    {178, {1}}, {179, {4}}, {180, {0xE2, 0x80, 0x11, 0x05, 0, 0}}, {87, {1}}, {84, {0x01, 0x2C}},
    {150, {1}}, {142, {1}},
    // Antenna Power.
    {192, {10}}, {208, {12}}, {224, {4}}, {240, {2}}, {153, {0x0B}}, {154, {0x09}},
    // I/O Parameter: buzzer off, relay masks and delays, ID dismatch with relays 1 and 3.
    {101, {0}}, {155, {3}}, {156, {4}}, {190, {5}}, {191, {6}}, {186, {9}}, {187, {0x56}},
    {188, {0x05}}, {189, {0x0A}},
};

void writeThroughLibrary(uint16_t tcpPort, const ParamWrites& writes)
{
    qputenv("READER_TCP_PORT", QByteArray::number(tcpPort));
    uint32_t handle = 0;
    QCOMPARE(OpenReader(&handle, 2, "127.0.0.1"), READER_OK);
    for (const ParamWrite& w : writes) {
        const uint16_t status = w.address == 87 ? SetOLEnable(handle, w.bytes.front())
                                                : SetParameter(handle, w.address, uint8_t(w.bytes.size()), w.bytes.data());
        QVERIFY2(status == READER_OK, qPrintable(QStringLiteral("write of %1 refused").arg(w.address)));
    }
    CloseReader(handle);
}

std::unique_ptr<MainWindow> openWindow()
{
    auto form = std::make_unique<MainWindow>();
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        qWarning("window not exposed");
    return form;
}

void connectTo(MainWindow& form, uint16_t tcpPort)
{
    qputenv("READER_TCP_PORT", QByteArray::number(tcpPort));
    choose(&form, "ComboBox1", QStringLiteral("TCP/IP"));
    child<QLineEdit>(&form, "Edit71")->setText(QStringLiteral("127.0.0.1"));
    click(&form, "Button1");
    QVERIFY2(logMessages(&form).contains(QStringLiteral("Open Reader Successfully !")),
             qPrintable(logMessages(&form).join(" | ")));
}

// The operator presses Ctrl+S or Ctrl+O; the file dialog gives path.
void pressProfileKey(MainWindow& form, Qt::Key key, const QString& path)
{
    child<ProfileShortcuts>(&form, QStringLiteral("ProfileShortcuts"))->setFileChooser([path](bool) { return path; });
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, key, Qt::ControlModifier);
}

using PageStates = QMap<QString, QList<ControlState>>;   // by the page's tab captions

// Every page in turn, after pressing button ("BitBtn3" Query Para, "BitBtn4"
// Setup Para) on it when one is given: what its controls show.
PageStates everyPage(MainWindow& form, const char* button = nullptr)
{
    PageStates states;
    forEachPage(&form, [&](const QString& page) {
        if (button) {
            click(&form, button);
            settle();
        }
        states.insert(page, controlStates(pageShowing(&form)));
    });
    return states;
}

// The first page whose controls differ, naming the page and the control.
QString firstDifference(const PageStates& loaded, const PageStates& queried, const QStringList& skipped = {})
{
    if (loaded.keys() != queried.keys())
        return QStringLiteral("pages differ: ") + loaded.keys().join(", ") + " <-> " + queried.keys().join(", ");
    for (auto page = loaded.cbegin(); page != loaded.cend(); ++page)
        if (const auto difference = firstDifference(*page, queried.value(page.key()),
                                                    [&](const QString& name) { return skipped.contains(name); }))
            return page.key() + QStringLiteral(": ") + *difference;
    return {};
}

QStringList checkedItems(MainWindow& form, const char* listName)
{
    QStringList checked;
    auto* list = child<QListWidget>(&form, listName);
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked)
            checked << list->item(i)->text();
    return checked;
}

} // namespace

Q_DECLARE_METATYPE(ParamWrites)

class ProfilePagesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void everyPageLoadedAndWritten_data();
    void everyPageLoadedAndWritten();

private:
    QStringList errorBoxes;
};

void ProfilePagesTest::initTestCase()
{
    setErrorBoxSinkForTesting([this](const QString& text) { errorBoxes << text; });
}

void ProfilePagesTest::everyPageLoadedAndWritten_data()
{
    QTest::addColumn<ParamWrites>("values");
    // Controls a query leaves alone in that reader's mode, and which show the profile's values after loading it.
    QTest::addColumn<QStringList>("notQueried");
    // What the pages' setup leaves unwritten in that mode, so the second reader keeps its own.
    QTest::addColumn<QStringList>("notWritten");
    // readersim's options for the second reader, and the failure lines of the setup they cause.
    QTest::addColumn<QStringList>("refusedByB");
    QTest::addColumn<QStringList>("setupFailures");
    // Ctrl+Shift+Enter in place of "Setup Para" on each page.
    QTest::addColumn<bool>("byShortcut");

    QTest::newRow("client mode, hopping: every parameter queried and written")
        << otherValues << QStringList{} << QStringList{} << QStringList{} << QStringList{} << false;

    // In server mode the page neither reads nor writes the server's address and
    // port; on a fixed channel the frequency page neither reads nor writes the hopping mask.
    ParamWrites serverFixed = otherValues;
    serverFixed.push_back({3, {2}});
    serverFixed.push_back({160, {7}});
    const QStringList serverFixedNotQueried{"Edit114", "Edit110", "Edit111", "Edit112", "Edit113", "CheckListBox1"};
    const QStringList serverFixedNotWritten{"communication_port.server_ip_address", "communication_port.server_port",
                                            "frequency.hopping_channels"};
    QTest::newRow("server mode, fixed channel 7")
        << serverFixed << serverFixedNotQueried << serverFixedNotWritten << QStringList{} << QStringList{} << true;

    // A refused write is logged on its page and keeps the reader's own value;
    // the pages write everything else. The off-line switch goes through its own call.
    QTest::newRow("second reader refuses the off-line switch, work antennas, channel, TID length, preamble")
        << serverFixed << serverFixedNotQueried
        << QStringList{"communication_port.server_ip_address", "communication_port.server_port",
                       "supported_protocol.gen2_tid_length", "frame_format.preamble_code", "reader.offline_function",
                       "antenna_power.work_antennas", "frequency.channel_mode", "frequency.hopping_channels"}
        << QStringList{"--fail-write", "87,153,160,66,72"}
        << QStringList{"Setup Off-Line Function Failedly !", "Setup Reader Parameter Failed !",
                       "Setup Work Antenna Parameter Failed !", "Setup Power And Antenna Parameter Failed !",
                       "Setup Frequency Parameter Failed !", "Setup Supported Protocol Parameter Failed !",
                       "Setup Preamble Code Parameter Failed !", "Setup Output Frame Format Parameter Failed !"}
        << true;

    // What the pages cannot carry: one list shows both protocols and writes the
    // Wiegand one to both; an end code is written as long as it is, so a shorter
    // one leaves the rest of the second reader's longer code (CR LF) in place.
    // tagdesk-cli verify names both.
    ParamWrites unlikeProtocols = otherValues;
    unlikeProtocols.push_back({132, {1}});
    unlikeProtocols.push_back({76, {0x0D, 0xFF, 0xFF, 0xFF}});
    QTest::newRow("RS-485 protocol unlike the Wiegand one, end code shorter than the second reader's")
        << unlikeProtocols << QStringList{} << QStringList{"frame_format.end_code", "communication_port.rs485_protocol"}
        << QStringList{} << QStringList{} << false;
}

void ProfilePagesTest::everyPageLoadedAndWritten()
{
    QFETCH(ParamWrites, values);
    QFETCH(QStringList, notQueried);
    QFETCH(QStringList, notWritten);
    QFETCH(QStringList, refusedByB);
    QFETCH(QStringList, setupFailures);
    QFETCH(bool, byShortcut);
    errorBoxes.clear();
    // The reader's own values: a profile of reader A leaves every other reader its own.
    const QStringList ownFields{"Edit98", "Edit99", "Edit100", "Edit101", "Edit115", "Edit116", "Edit117", "Edit118",
                                "Edit119", "Edit120", "Edit3"};
    const QStringList ownValues{"communication_port.mac_address", "communication_port.ip_address",
                                "communication_port.reader_number"};

    QTemporaryDir folder;
    const QString stateA = folder.filePath("a.mem");
    {
        SimProcess writer({"--no-pty", "--state", stateA.toStdString()});
        writeThroughLibrary(writer.tcpPort(), values);
        if (QTest::currentTestFailed())
            return;
    }
    SimProcess readerA({"--no-pty", "--state", stateA.toStdString()});
    SimProcess readerB(simArguments(QStringList{"--no-pty", "--state", folder.filePath("b.mem")} + refusedByB));
    const QString profile = folder.filePath("site.toml");

    // The window on reader A saves it, then queries every page.
    const auto queried = openWindow();
    connectTo(*queried, readerA.tcpPort());
    // The connect reads the reader's channel plan into the channel lists.
    QCOMPARE(child<QComboBox>(queried.get(), "ComboBox13")->count(), 30);
    QCOMPARE(child<QListWidget>(queried.get(), "CheckListBox1")->count(), 30);
    pressProfileKey(*queried, Qt::Key_S, profile);
    QCOMPARE(logMessages(queried.get()).last(), QStringLiteral("Save Profile %1 Successfully !").arg(profile));
    const PageStates shownByQuery = everyPage(*queried, "BitBtn3");
    QVERIFY2(!logMessages(queried.get()).join(u'\n').contains(QLatin1String("Failed")),
             qPrintable(logMessages(queried.get()).join(" | ")));
    QVERIFY2(shownByQuery.size() >= 8, qPrintable(shownByQuery.keys().join(", ")));

    // A fresh window, connected to nothing, loads the profile.
    const auto fresh = openWindow();
    const PageStates atStart = everyPage(*fresh);
    pressProfileKey(*fresh, Qt::Key_O, profile);
    QCOMPARE(logMessages(fresh.get()).mid(logMessages(fresh.get()).size() - 2),
             (QStringList{QStringLiteral("Load Profile %1 Successfully !").arg(profile),
                          QStringLiteral("Load Profile Kept MAC address, IP address, reader number : the reader's MAC "
                                         "address is unknown: no reader is connected !")}));
    const PageStates shownByProfile = everyPage(*fresh);
    for (auto page = atStart.cbegin(); page != atStart.cend(); ++page)
        QVERIFY2(firstDifference(*page, shownByProfile.value(page.key())),
                 qPrintable(page.key() + QStringLiteral(": the profile changed no control")));
    const QString difference = firstDifference(shownByProfile, shownByQuery, notQueried + ownFields);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    // With no reader to tell whose the profile is, the fields of a reader's own values keep what they showed.
    QCOMPARE(child<QLineEdit>(fresh.get(), "Edit98")->text(), QStringLiteral("192"));
    QCOMPARE(child<QLineEdit>(fresh.get(), "Edit3")->text(), QStringLiteral("0"));
    // The channel lists are the profile's plan: 30 channels from 902.50 MHz in steps of 250 kHz.
    auto* fixedChannels = child<QComboBox>(fresh.get(), "ComboBox13");
    QCOMPARE(fixedChannels->count(), 30);
    QCOMPARE(fixedChannels->itemText(1), FrequencyPage::channelItem(2, 90250, 25));
    QCOMPARE(child<QListWidget>(fresh.get(), "CheckListBox1")->count(), 30);

    // What a query leaves alone, the profile still shows: the server's port and
    // address, the hopping channels (greyed in fixed mode).
    if (!notQueried.isEmpty()) {
        QCOMPARE(child<QLineEdit>(fresh.get(), "Edit114")->text(), QStringLiteral("9000"));
        QCOMPARE(child<QLineEdit>(fresh.get(), "Edit112")->text(), QStringLiteral("10"));
        QCOMPARE(child<QLineEdit>(fresh.get(), "Edit113")->text(), QStringLiteral("9"));
        QVERIFY(!child<QLineEdit>(fresh.get(), "Edit114")->isEnabled());
        QCOMPARE(checkedItems(*fresh, "CheckListBox1"),
                 (QStringList{"Freq 1", "Freq 3", "Freq 5", "Freq 7", "Freq 10", "Freq 12", "Freq 14", "Freq 16",
                              "Freq 17", "Freq 18", "Freq 19", "Freq 20", "Freq 21", "Freq 22"}));
        QVERIFY(!child<QListWidget>(fresh.get(), "CheckListBox1")->isEnabled());
    }

    // A window on reader B (readersim's defaults) queries every page, then loads
    // the profile over what B showed; the operator ticks "Must Setting" and the
    // four power channels, then presses "Setup Para" on every page.
    const auto writing = openWindow();
    connectTo(*writing, readerB.tcpPort());
    everyPage(*writing, "BitBtn3");
    const auto ownTexts = [&] {
        QStringList texts;
        for (const QString& field : ownFields)
            texts << child<QLineEdit>(writing.get(), qPrintable(field))->text();
        return texts;
    };
    const QStringList queriedOwn = ownTexts();
    pressProfileKey(*writing, Qt::Key_O, profile);
    QVERIFY2(logMessages(writing.get()).last().startsWith(
                 QStringLiteral("Load Profile Kept MAC address, IP address, reader number : the profile is another "
                                "reader's")),
             qPrintable(logMessages(writing.get()).last()));
    const PageStates loadedOverB = everyPage(*writing);
    const QString overB = firstDifference(loadedOverB, shownByQuery, notQueried + ownFields);
    QVERIFY2(overB.isEmpty(), qPrintable(QStringLiteral("over reader B's values: ") + overB));
    // The fields of B's own values show B's, as its query did.
    QCOMPARE(ownTexts(), queriedOwn);
    for (const char* box : {"CheckBox1", "CheckBox8", "CheckBox13", "CheckBox14", "CheckBox15"})
        child<QCheckBox>(writing.get(), box)->setChecked(true);
    const int linesBefore = int(logMessages(writing.get()).size());
    if (byShortcut) {
        writing->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(writing.get()));
        QTest::keyClick(writing.get(), Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
    } else {
        everyPage(*writing, "BitBtn4");
    }
    const QStringList setupLines = logMessages(writing.get()).mid(linesBefore);
    QVERIFY2(setupLines.size() >= 8, qPrintable(setupLines.join(" | ")));
    QCOMPARE(setupLines.filter(QStringLiteral("Failed")), setupFailures);

    const VerifyOutcome verified = verifyReader(writing->readerHandle(), loadProfile(profile.toStdString()));
    QVERIFY(verified.failures.empty());
    QStringList differing;
    for (const ValueDifference& d : verified.differences)
        differing << QString::fromStdString(d.name);
    for (const QString& own : ownValues)
        QVERIFY2(differing.removeOne(own), qPrintable(own + QStringLiteral(": B took A's own value")));
    QCOMPARE(differing, notWritten);
    QVERIFY2(errorBoxes.isEmpty(), qPrintable(errorBoxes.join(" | ")));
}

TEST_CLASS(ProfilePagesTest)
#include "ProfilePagesTest.moc"
