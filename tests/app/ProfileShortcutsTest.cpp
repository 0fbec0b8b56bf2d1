// Ctrl+S and Ctrl+O in the window over the test double: saving reads the
// reader and nothing else; loading fills the pages' controls through their own
// query bindings without a single library call; each logs one line.
#include "TestClasses.h"
#include "AntennaPowerControls.h"
#include "FormFixture.h"

#include "ProfileFormat.h"
#include "ProfileShortcuts.h"
#include "Reader.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace antennapower;
using namespace formtest;

namespace {

// Every choice set to a code with a setting and every number in its range, so
// the whole memory reads as a profile.
void fillReaderMemory()
{
    auto& memory = fake::reader().memory;
    for (const Para& para : paraTable) {
        if (para.kind == ValueKind::Choice)
            memory[para.address] = para.choices.back().code;
        if (para.kind == ValueKind::Byte)
            memory[para.address] = uint8_t(para.min);
    }
    memory[192] = 10;   // 27.5 dBm
    memory[153] = 0x05;
    memory[80] = 0x17;
    memory[81] = 0x70;
}

} // namespace

class ProfileShortcutsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> form;
    QTemporaryDir folder;
    QString chosen;   // what the file dialog would give

    ProfileShortcuts* shortcuts() { return form->findChild<ProfileShortcuts*>(QStringLiteral("ProfileShortcuts")); }

    void press(Qt::Key key)
    {
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(form.get(), key, Qt::ControlModifier);
    }

    QString writeProfile(const QString& name, const QByteArray& text)
    {
        QFile file(folder.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(text);
        return file.fileName();
    }

private slots:
    void init()
    {
        form = showForm();
        fillReaderMemory();
        shortcuts()->setFileChooser([this](bool) { return chosen; });
    }
    void cleanup() { form.reset(); }

    void ctrlOShowsAProfileWithoutCallingTheReader()
    {
        chosen = writeProfile("site.toml", "format = 1\n[antenna_power]\nchannel1_power = 27.5\nchannel2_power = \"20\"\n"
                                           "work_antennas = [\"antenna2\", \"antenna4\"]\n"
                                           "checked_antennas = [\"antenna1\", \"antenna4\"]\n");
        auto* readerTabs = child<QTabWidget>(form.get(), "PageControl2");
        readerTabs->setCurrentIndex(1);
        const int linesBefore = logMessages(form.get()).size();
        fake::reader().calls.clear();

        press(Qt::Key_O);

        QVERIFY2(fake::callNames().empty(), "loading a profile calls the library");
        const PageValues v = shown(form.get());
        // Channels 3 and 4 are not in the profile: their lists keep the start's "30 ".
        QCOMPARE(v.positions, (QList<int>{8, 0, 13, 13}));
        QCOMPARE(v.work, 0xA);
        QCOMPARE(v.check, 0x9);
        // The check boxes' enabling rules ran as after a query: "Check 2" follows "Antenna 2".
        QVERIFY(child<QCheckBox>(form.get(), checkName[1])->isEnabled());
        QCOMPARE(readerTabs->currentIndex(), 1);
        const QStringList lines = logMessages(form.get()).mid(linesBefore);
        QCOMPARE(lines, QStringList{QStringLiteral("Load Profile %1 Successfully !").arg(chosen)});
    }

    // A person may shorten a code in a profile: it shows as the page reads back
    // that code once written, not followed by bytes of 0.
    void valuesShorterThanTheirFieldShowAsWritten_data()
    {
        QTest::addColumn<QByteArray>("entries");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("shown");
        QTest::newRow("preamble of one byte") << QByteArray("[frame_format]\npreamble_code = \"AA\"\n") << "Edit79" << "AA";
        QTest::newRow("end code of two bytes") << QByteArray("[frame_format]\nend_code = \"0D0A\"\n") << "Edit80" << "0D0A";
        QTest::newRow("end code of four bytes") << QByteArray("[frame_format]\nend_code = \"01020304\"\n") << "Edit80"
                                                << "01020304";
        QTest::newRow("match value shorter than the match length")
            << QByteArray("[reader]\nid_feature_length = 3\nid_feature_value = \"E280\"\n") << "Edit6" << "E28000";
    }
    void valuesShorterThanTheirFieldShowAsWritten()
    {
        QFETCH(QByteArray, entries);
        QFETCH(QString, field);
        QFETCH(QString, shown);
        chosen = writeProfile("short.toml", "format = 1\n" + entries);
        press(Qt::Key_O);
        QCOMPARE(child<QLineEdit>(form.get(), field)->text(), shown);
    }

    // A profile without the start frequency rebuilds the channel lists from the
    // start field as the operator left it: a field holding no number ends the
    // load with the error box, as "Query Para" would, and one line in the log.
    void aFieldHoldingNoNumberEndsTheLoadWithTheErrorBox()
    {
        QStringList boxes;
        form = showForm(&boxes);
        shortcuts()->setFileChooser([this](bool) { return chosen; });
        child<QTabWidget>(form.get(), "PageControl5")->setCurrentIndex(1);   // "RF Parameter" / "Frequency"
        child<QTabWidget>(form.get(), "PageControl1")->setCurrentIndex(1);
        child<QCheckBox>(form.get(), "CheckBox1")->setChecked(true);
        child<QLineEdit>(form.get(), "Edit75")->clear();
        chosen = writeProfile("points.toml", "format = 1\n[frequency]\nfrequency_points = 10\n");
        const int linesBefore = logMessages(form.get()).size();
        press(Qt::Key_O);
        QCOMPARE(boxes, QStringList{"'' is not a valid integer value."});
        QCOMPARE(logMessages(form.get()).mid(linesBefore),
                 QStringList{QStringLiteral("Load Profile Failed : %1 !").arg(chosen)});
    }

    void aRefusedProfileChangesNoControl()
    {
        chosen = writeProfile("bad.toml", "format = 1\n[antenna_power]\nwork_antennas = [\"antenna2\"]\n"
                                          "channel1_power = 31\n");
        child<QTabWidget>(form.get(), "PageControl1")->setCurrentIndex(1);   // "RF Parameter" / "Antenna  Power"
        const PageValues before = shown(form.get());
        const int linesBefore = logMessages(form.get()).size();
        press(Qt::Key_O);
        const PageValues after = shown(form.get());
        QCOMPARE(after.positions, before.positions);
        QCOMPARE(after.work, before.work);
        const QStringList lines = logMessages(form.get()).mid(linesBefore);
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines[0].startsWith(QStringLiteral("Load Profile Failed : %1:4: antenna_power.channel1_power: ")
                                         .arg(chosen)),
                 qPrintable(lines[0]));
    }

    void ctrlSSavesWhatTheReaderHolds()
    {
        chosen = folder.filePath("saved.toml");
        const int linesBefore = logMessages(form.get()).size();
        fake::reader().calls.clear();
        press(Qt::Key_S);

        // One long read holds the whole table.
        QCOMPARE(fake::callNames(), std::vector<std::string>{"GetParameter"});
        const Profile saved = loadProfile(chosen.toStdString());
        QCOMPARE(saved.entries.size(), paraTable.size());
        QVERIFY(saved.find(*findPara(192))->value == ParaValue(std::string("27.5")));
        QVERIFY(saved.find(*findPara(80))->value == ParaValue(92000LL));
        QCOMPARE(logMessages(form.get()).mid(linesBefore),
                 QStringList{QStringLiteral("Save Profile %1 Successfully !").arg(chosen)});
    }

    // A file's name with a line break or a terminal's escape sequence shows
    // escaped: one log line a save or a load, none forged.
    void fileNamesShowEscapedInTheLog()
    {
        chosen = folder.filePath(QStringLiteral("site\n12:00:00 Setup Para Successfully !\x1b[2J.toml"));
        const QString shownName = folder.filePath(QStringLiteral("site\\n12:00:00 Setup Para Successfully !\\x1B[2J.toml"));
        const int linesBefore = logMessages(form.get()).size();
        press(Qt::Key_S);
        press(Qt::Key_O);
        QCOMPARE(logMessages(form.get()).mid(linesBefore, 2),
                 (QStringList{QStringLiteral("Save Profile %1 Successfully !").arg(shownName),
                              QStringLiteral("Load Profile %1 Successfully !").arg(shownName)}));
    }

    // Another reader's profile keeps the connected reader's own MAC address, IP
    // address and reader number in their fields, on Ctrl+O and again on the
    // shortcut that writes every page (the reader may have changed between);
    // the reader's own profile restores them. One log line names what was kept.
    void theReadersOwnValuesStayItsOwn_data()
    {
        QTest::addColumn<bool>("connected");
        QTest::addColumn<QByteArray>("macAtLoad");    // the reader's MAC address at Ctrl+O
        QTest::addColumn<QByteArray>("macAtWrite");   // ... at the shortcut
        QTest::addColumn<QString>("keptOnLoad");      // the reason in the log's line; "" for none
        QTest::addColumn<QString>("ipShown");         // Edit98 after Ctrl+O
        QTest::addColumn<QString>("keptOnWrite");
        QTest::addColumn<QByteArray>("ipWritten");    // SetParameter 12's bytes; "" when none
        const QByteArray profileMac = QByteArray::fromHex("021122334455");
        const QByteArray otherMac = QByteArray::fromHex("025444000001");
        const QString other = QStringLiteral("the profile is another reader's (MAC address 021122334455; this reader's "
                                             "025444000001)");
        const QByteArray readersIp = QByteArray::fromHex("C0A801C8");
        QTest::newRow("no reader connected") << false << otherMac << otherMac
            << "the reader's MAC address is unknown: no reader is connected" << "192" << "" << QByteArray();
        QTest::newRow("another reader's profile") << true << otherMac << otherMac << other << "192" << other << readersIp;
        QTest::newRow("the reader's own profile") << true << profileMac << profileMac << "" << "10" << ""
                                                 << QByteArray::fromHex("0A000009");
        QTest::newRow("another reader connected after the load") << true << profileMac << otherMac << "" << "10" << other
                                                                << readersIp;
    }
    void theReadersOwnValuesStayItsOwn()
    {
        QFETCH(bool, connected);
        QFETCH(QByteArray, macAtLoad);
        QFETCH(QByteArray, macAtWrite);
        QFETCH(QString, keptOnLoad);
        QFETCH(QString, ipShown);
        QFETCH(QString, keptOnWrite);
        QFETCH(QByteArray, ipWritten);
        auto& memory = fake::reader().memory;
        const auto setMac = [&memory](const QByteArray& mac) { std::copy(mac.begin(), mac.end(), memory.begin() + 6); };
        setMac(macAtLoad);
        for (const auto& [address, byte] : {std::pair{12, 192}, {13, 168}, {14, 1}, {15, 200}, {100, 1}})
            memory[address] = uint8_t(byte);
        if (connected)
            click(form.get(), "Button1");
        chosen = writeProfile("other.toml", "format = 1\n[communication_port]\nmac_address = \"021122334455\"\n"
                                            "ip_address = \"10.0.0.9\"\nreader_number = 7\n[io_parameter]\nbuzzer = false\n");
        const QString kept = QStringLiteral("Kept MAC address, IP address, reader number : %1 !");

        int linesBefore = logMessages(form.get()).size();
        press(Qt::Key_O);
        QStringList expected{QStringLiteral("Load Profile %1 Successfully !").arg(chosen)};
        if (!keptOnLoad.isEmpty())
            expected << QStringLiteral("Load Profile ") + kept.arg(keptOnLoad);
        QCOMPARE(logMessages(form.get()).mid(linesBefore), expected);
        QCOMPARE(child<QLineEdit>(form.get(), "Edit98")->text(), ipShown);

        setMac(macAtWrite);
        fake::reader().calls.clear();
        linesBefore = logMessages(form.get()).size();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(form.get(), Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
        const QStringList lines = logMessages(form.get()).mid(linesBefore);
        const std::vector<fake::Call> writes = fake::callsOf("SetParameter");
        if (!connected) {
            QCOMPARE(lines, QStringList{"Setup Every Page Failed : No Reader Connected !"});
            QVERIFY(writes.empty());
            return;
        }
        // Every page's closing line, in the tree's order, after the line of what was kept.
        QStringList closing = lines.filter(QStringLiteral(" Successfully !"));
        QCOMPARE(closing.size(), pageSheets(form.get()).size());
        const QStringList ownPages{"Setup Reader Parameter Successfully !", "Setup Reader Parameter Successfully !",
                                   "Setup Power And Antenna Parameter Successfully !",
                                   "Setup Frequency Parameter Successfully !",
                                   "Setup Supported Protocol Parameter Successfully !",
                                   "Setup Communication Parameter Successfully !",
                                   "Setup Output Frame Format Parameter Successfully !",
                                   "Setup I/O Parameter Successfully !"};
        QCOMPARE(inOrderOf(closing, ownPages), ownPages);
        QCOMPARE(lines.front() == QStringLiteral("Setup Every Page ") + kept.arg(keptOnWrite), !keptOnWrite.isEmpty());
        const auto ip = std::find_if(writes.begin(), writes.end(), [](const fake::Call& c) { return c.args[0] == 12; });
        QVERIFY(ip != writes.end());
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(ip->bytes.data()), int(ip->bytes.size())), ipWritten);
    }

    void theShortcutWantsALoadedProfile()
    {
        click(form.get(), "Button1");
        fake::reader().calls.clear();
        const int linesBefore = logMessages(form.get()).size();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(form.get(), Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(logMessages(form.get()).mid(linesBefore), QStringList{"Setup Every Page Failed : No Profile Loaded (Ctrl+O) !"});
        QVERIFY(fake::callsOf("SetParameter").empty());
    }

    void aReadThatFailsSavesNothing()
    {
        chosen = folder.filePath("unsaved.toml");
        fake::reader().failGet[208] = READER_TIMEOUT;
        const int linesBefore = logMessages(form.get()).size();
        press(Qt::Key_S);
        QVERIFY(!QFile::exists(chosen));
        QCOMPARE(logMessages(form.get()).mid(linesBefore),
                 QStringList{QStringLiteral("Save Profile Failed : antenna_power.channel2_power: no answer from the "
                                            "reader !")});
    }
};

TEST_CLASS(ProfileShortcutsTest)
#include "ProfileShortcutsTest.moc"
