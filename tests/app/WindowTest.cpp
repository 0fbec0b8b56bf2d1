// The main window as it starts: title, size, how the controls stand to one
// another, the tab-page tree, the first log line, the status bar, the buttons;
// the window busy; a held key.
#include "TestClasses.h"
#include "FormFixture.h"
#include "ProfileShortcuts.h"
#include "Reader.h"
#include "TextFitCheck.h"

#include <QApplication>
#include <QCursor>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QLocale>
#include <QStatusBar>
#include <QTabWidget>
#include <QTime>

using namespace formtest;

class WindowTest : public QObject {
    Q_OBJECT
private slots:
    void titleAndFrame();
    void placement();
    void tabTree_data();
    void tabTree();
    void opensOnFirstTabs();
    void enabledAtStart_data();
    void enabledAtStart();
    void statusBarAtStart();
    void firstLogLine();
    void connectionGroupAtStart();
    void openingPageNarrowsOnlyTextsThatNeedIt();
    void busyWhileTalkingToTheReader_data();
    void busyWhileTalkingToTheReader();
    void inputDuringAQuery_data();
    void inputDuringAQuery();
    void heldKeyStartsOneOperation_data();
    void heldKeyStartsOneOperation();
};

namespace {
// The cursor over the window: Qt::WaitCursor while it is busy, else -1.
int cursorNow()
{
    return QGuiApplication::overrideCursor() ? QGuiApplication::overrideCursor()->shape() : -1;
}
struct PaintCount : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override { return paints += event->type() == QEvent::Paint, false; }
};
} // namespace

void WindowTest::titleAndFrame()
{
    auto form = showForm();
    QCOMPARE(form->objectName(), QStringLiteral("Form1"));
    QCOMPARE(form->windowTitle(), QString::fromUtf8("UHF Tagdesk(V1.4.0.6\xEF\xBC\x89"));
    QVERIFY2(QGuiApplication::applicationDisplayName() == QCoreApplication::applicationName(),
             "no display name is set that Qt would append to the title");
    QCOMPARE(form->size(), QSize(741, 498));
    QCOMPARE(form->minimumSize(), form->maximumSize());
    QVERIFY2(!(form->windowFlags() & Qt::WindowMaximizeButtonHint), "no maximize box");
    QVERIFY(form->windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(form->windowFlags() & Qt::WindowSystemMenuHint);
    QCOMPARE(form->font().pointSize(), 8);
}

void WindowTest::placement()
{
    auto form = showForm();
    // No control reaches past the edge of what holds it.
    for (QWidget* control : form->findChildren<QWidget*>()) {
        if (control->isVisible() && !control->isWindow() && !control->objectName().isEmpty()
            && !control->objectName().startsWith(QLatin1String("qt_")))
            QVERIFY2(control->parentWidget()->rect().contains(control->geometry()), qPrintable(control->objectName()));
    }
    const QRect statusBar = child(form.get(), "StatusBar1")->geometry();
    QVERIFY2(statusBar.left() == 0 && statusBar.width() == form->width() && statusBar.bottom() == form->height() - 1,
             "the status bar runs along the bottom edge");
    // The address field for TCP/IP takes the place of the baud rate list, reaching
    // further right where the widest address needs it.
    const QRect address = child(form.get(), "Edit71")->geometry();
    const QRect baudRates = child(form.get(), "ComboBox2")->geometry();
    QVERIFY(qAbs(address.x() - baudRates.x()) <= 1 && qAbs(address.y() - baudRates.y()) <= 1);
    QCOMPARE(address.height(), baudRates.height());
    QVERIFY(address.width() >= baudRates.width());
    QCOMPARE(child(form.get(), "PageControl2")->geometry(), child(form.get(), "PageControl5")->geometry());
    // The log under the tab pages; the page buttons one above the other in front of them.
    QVERIFY(child(form.get(), "Memo1")->y() > child(form.get(), "PageControl1")->geometry().bottom());
    const QRect pages = child(form.get(), "PageControl1")->geometry();
    int above = pages.top();
    for (const char* name : {"BitBtn3", "BitBtn4", "Button4"}) {
        const QRect button = child(form.get(), name)->geometry();
        QVERIFY2(pages.contains(button) && button.top() > above, name);
        above = button.bottom();
    }
}

void WindowTest::tabTree_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("parentSheet");
    QTest::addColumn<QStringList>("sheets");
    QTest::addColumn<QStringList>("captions");

    QTest::newRow("PageControl1") << "PageControl1" << ""
                                  << QStringList{"TabSheet1", "TabSheet8", "TabSheet4", "TabSheet2", "TabSheet9"}
                                  << QStringList{"Reader", "RF Parameter", "Communication Port", "Frame Format", "I/O Parameter"};
    QTest::newRow("PageControl2") << "PageControl2" << "TabSheet1" << QStringList{"TabSheet3", "TabSheet5"}
                                  << QStringList{"Work Mode", "Other Function"};
    QTest::newRow("PageControl5") << "PageControl5" << "TabSheet8" << QStringList{"TabSheet17", "TabSheet18", "TabSheet19"}
                                  << QStringList{"Antenna  Power", "Frequency", "Supported Protocol"};
}

void WindowTest::tabTree()
{
    QFETCH(QString, control);
    QFETCH(QString, parentSheet);
    QFETCH(QStringList, sheets);
    QFETCH(QStringList, captions);

    auto form = showForm();
    auto* tabs = child<QTabWidget>(form.get(), qPrintable(control));
    QStringList names, texts;
    for (int i = 0; i < tabs->count(); ++i) {
        names << tabs->widget(i)->objectName();
        texts << tabs->tabText(i);
    }
    // The window's own sheets come first; a page added later follows them.
    QCOMPARE(names.mid(0, sheets.size()), sheets);
    QCOMPARE(texts.mid(0, captions.size()), captions);
    if (!parentSheet.isEmpty())
        QCOMPARE(tabs->parentWidget()->objectName(), parentSheet);
}

void WindowTest::opensOnFirstTabs()
{
    fake::reset();
    setErrorBoxSinkForTesting([](const QString&) {});
    MainWindow form;
    // Whatever a page module left showing, the window opens on the first tabs.
    for (const char* name : {"PageControl1", "PageControl2", "PageControl5"})
        child<QTabWidget>(&form, name)->setCurrentIndex(1);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    for (const char* name : {"PageControl1", "PageControl2", "PageControl5"})
        QVERIFY2(child<QTabWidget>(&form, name)->currentIndex() == 0, name);
}

void WindowTest::enabledAtStart_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("Connect") << "Button1" << true;
    QTest::newRow("Disconnect") << "Button2" << false;
    QTest::newRow("Update Reader") << "Button3" << false;
    QTest::newRow("Query Para") << "BitBtn3" << false;
    QTest::newRow("Setup Para") << "BitBtn4" << false;
    QTest::newRow("Clear Info") << "BitBtn2" << true;
    QTest::newRow("Quit") << "Button4" << true;
    QTest::newRow("Communication Settings") << "GroupBox2" << true;
    QTest::newRow("the log can be typed into") << "Memo1" << true;
}

void WindowTest::enabledAtStart()
{
    QFETCH(QString, name);
    QFETCH(bool, enabled);
    auto form = showForm();
    QCOMPARE(child(form.get(), qPrintable(name))->isEnabled(), enabled);
    QVERIFY2(!child<QPlainTextEdit>(form.get(), "Memo1")->isReadOnly(), "the log is not read-only");
}

void WindowTest::statusBarAtStart()
{
    auto form = showForm();
    QCOMPARE(panel(form.get(), 0), QStringLiteral("COM1:Close"));
    QCOMPARE(panel(form.get(), 1), QString());
    QCOMPARE(panel(form.get(), 2), QString());
    const int widths[3] = {75, 130, 50};
    for (int i = 0; i < 3; ++i) {
        auto* label = child<QLabel>(form.get(), qPrintable(QStringLiteral("StatusBar1Panel%1").arg(i)));
        QCOMPARE(label->width(), widths[i]);
        QCOMPARE(label->alignment(), Qt::AlignCenter);
    }
    // Panels left to right.
    QVERIFY(child(form.get(), "StatusBar1Panel0")->x() < child(form.get(), "StatusBar1Panel1")->x());
    QVERIFY(child(form.get(), "StatusBar1Panel1")->x() < child(form.get(), "StatusBar1Panel2")->x());
}

void WindowTest::firstLogLine()
{
    const QTime before = QTime::currentTime();
    auto form = showForm();
    const QList<LogLine> lines = logLines(form.get());
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines[0].number, 1);
    QCOMPARE(lines[0].message, QStringLiteral("Program Running !"));
    QVERIFY2(isLongTimeSince(lines[0].time, before), qPrintable("not the time of day in the long format: " + lines[0].time));
    QVERIFY2(!child<QPlainTextEdit>(form.get(), "Memo1")->toPlainText().contains("Memo1"),
             "the designer's placeholder is never seen");
}

void WindowTest::connectionGroupAtStart()
{
    auto form = showForm();
    QCOMPARE(child<QGroupBox>(form.get(), "GroupBox2")->title(), QStringLiteral("Communication Settings"));
    QCOMPARE(child<QComboBox>(form.get(), "ComboBox1")->currentText(), QStringLiteral("COM1"));
    QCOMPARE(child<QComboBox>(form.get(), "ComboBox1")->count(), 10);
    QCOMPARE(child<QComboBox>(form.get(), "ComboBox2")->currentText(), QStringLiteral("9600   bps"));
    QCOMPARE(child<QComboBox>(form.get(), "ComboBox7")->currentText(), QStringLiteral("Arbitrary"));
    QCOMPARE(child<QComboBox>(form.get(), "ComboBox7")->count(), 11);
    QVERIFY(child<QComboBox>(form.get(), "ComboBox7")->isEditable());
    QCOMPARE(child<QLabel>(form.get(), "Label2")->text(), QStringLiteral("Baud Rate"));
    QVERIFY(child(form.get(), "Edit71")->isHidden());
    QVERIFY(child(form.get(), "ComboBox2")->isVisible());
}

// The page the window opens on is built as the window shows, and fitted once
// laid out: no text of it is narrowed that fits in the window's font.
void WindowTest::openingPageNarrowsOnlyTextsThatNeedIt()
{
    auto form = showForm();
    settle();
    for (QWidget* control : child(form.get(), "TabSheet3")->findChildren<QWidget*>()) {
        // A stretch of 0 or 100: the font's own width.
        if (control->isVisible() && control->font().stretch() % 100 != form->font().stretch() % 100) {
            control->setFont(form->font());
            QVERIFY2(!textFitFindings(control).isEmpty(), qPrintable(control->objectName() + " is narrowed though it fits"));
        }
    }
}

void WindowTest::busyWhileTalkingToTheReader_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("readerAnswers");
    QTest::addColumn<bool>("errorBox");   // on the Frequency page, the start frequency emptied and not read
    QTest::newRow("Connect") << "Button1" << true << false;
    QTest::newRow("Connect, the reader silent") << "Button1" << false << false;
    QTest::newRow("Setup Para") << "BitBtn4" << true << false;
    QTest::newRow("Query Para, every call failing") << "BitBtn3" << false << false;
    QTest::newRow("Query Para ended by the error box") << "BitBtn3" << true << true;
    QTest::newRow("Update Reader, every call failing") << "Button3" << false << false;
}

// The cursor says busy at every library call of an operation, and is normal
// again when the error box shows and once the operation has ended.
void WindowTest::busyWhileTalkingToTheReader()
{
    QFETCH(QString, button);
    QFETCH(bool, readerAnswers);
    QFETCH(bool, errorBox);
    auto form = showForm();
    if (button != "Button1")
        click(form.get(), "Button1");
    if (errorBox) {
        child<QTabWidget>(form.get(), "PageControl5")->setCurrentIndex(1);   // "RF Parameter" / "Frequency"
        child<QTabWidget>(form.get(), "PageControl1")->setCurrentIndex(1);
        fake::reader().failGet[80] = READER_TIMEOUT;
        fake::reader().memory[83] = 4;   // four channels listed from the emptied field
        child<QLineEdit>(form.get(), "Edit75")->clear();
    }
    QList<int> atCalls, atBox;
    setErrorBoxSinkForTesting([&](const QString&) { atBox << cursorNow(); });
    fake::reader().answerNothing = !readerAnswers;
    fake::reader().onCall = [&](const std::string&) { atCalls << cursorNow(); };
    click(form.get(), qPrintable(button));
    fake::reader().onCall = {};

    QVERIFY(!atCalls.isEmpty());
    QCOMPARE(atCalls, QList<int>(atCalls.size(), Qt::WaitCursor));
    QCOMPARE(atBox, errorBox ? QList<int>{-1} : QList<int>{});
    QCOMPARE(cursorNow(), -1);
}

void WindowTest::inputDuringAQuery_data()
{
    QTest::addColumn<QString>("input");   // pressed while the second read is in flight, then a station typed
    QTest::newRow("Query Para and Setup Para: nothing starts") << "BitBtn3 BitBtn4";
    QTest::newRow("Quit: the query ends after the read in flight") << "Button4";
    QTest::newRow("the close box: the same, the reader left open") << "close";
}

// During "Query Para" the window repaints between calls and takes no input but
// "Quit"; "Quit" and the close box end the query after the call in flight and
// close the window.
void WindowTest::inputDuringAQuery()
{
    QFETCH(QString, input);
    auto form = showForm();
    click(form.get(), "Button1");
    fake::reader().calls.clear();
    PaintCount count;
    form->installEventFilter(&count);
    int reads = 0;
    int paintsAt[4] = {};   // at the first three reads
    fake::reader().onCall = [&](const std::string& function) {
        if (function != "GetParameter" || ++reads > 3 || (paintsAt[reads] = count.paints, reads != 2))
            return;
        form->update();
        for (const QString& button : input.split(u' '))
            input == "close" ? void(form->close()) : click(form.get(), qPrintable(button));
        QTest::keyClicks(child(form.get(), "ComboBox7"), QStringLiteral("5"));
    };
    const qsizetype linesBefore = logMessages(form.get()).size();
    click(form.get(), "BitBtn3");
    fake::reader().onCall = {};

    const bool quit = input == "Button4";
    const std::vector<std::string> calls = fake::callNames();
    QCOMPARE(fake::callsOf("GetParameter").size(), calls.size() - quit);   // no other call: no station, no setup
    QCOMPARE(cursorNow(), -1);
    if (input.startsWith("BitBtn")) {
        QCOMPARE(logMessages(form.get()).size(), linesBefore + 1);   // one closing line: one query
        QVERIFY2(paintsAt[3] > paintsAt[2], "the window repaints between two calls");
    } else {
        QCOMPARE(reads, 2);
        QCOMPARE(calls.back(), std::string(quit ? "CloseReader" : "GetParameter"));
        QVERIFY(!form->isVisible());
    }
}

void WindowTest::heldKeyStartsOneOperation_data()
{
    QTest::addColumn<QString>("focus");   // the button with the focus; none for a shortcut
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("connected");
    const int none = Qt::NoModifier;
    const int control = Qt::ControlModifier;
    const QString enter = QStringLiteral("\r");
    QTest::newRow("Setup Para, Return") << "BitBtn4" << int(Qt::Key_Return) << none << enter << true;
    QTest::newRow("Setup Para, Enter") << "BitBtn4" << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << enter << true;
    QTest::newRow("Setup Para, Space") << "BitBtn4" << int(Qt::Key_Space) << none << " " << true;
    QTest::newRow("Query Para, Return") << "BitBtn3" << int(Qt::Key_Return) << none << enter << true;
    QTest::newRow("Connect, Return") << "Button1" << int(Qt::Key_Return) << none << enter << false;
    QTest::newRow("Disconnect, Return") << "Button2" << int(Qt::Key_Return) << none << enter << true;
    QTest::newRow("Update Reader, Return") << "Button3" << int(Qt::Key_Return) << none << enter << true;
    QTest::newRow("Ctrl+S") << "" << int(Qt::Key_S) << control << "" << true;
    QTest::newRow("Ctrl+O") << "" << int(Qt::Key_O) << control << "" << false;
}

// A key held down on the window (its press, the repeats the keyboard sends
// while it is held, its release) does what one press does: one operation,
// whichever button has the focus or whichever shortcut it is.
void WindowTest::heldKeyStartsOneOperation()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(bool, connected);
    const auto mods = Qt::KeyboardModifiers(modifiers);
    struct Outcome {
        std::vector<std::string> calls;
        QStringList lines;
        int filesAsked = 0;
    };
    const auto press = [&](int repeats) {
        Outcome outcome;
        auto form = showForm();
        form->findChild<ProfileShortcuts*>()->setFileChooser([&](bool) { return ++outcome.filesAsked, QString(); });
        if (connected)
            click(form.get(), "Button1");
        form->activateWindow();
        if (!QTest::qWaitForWindowActive(form.get()))
            qWarning("window not active");
        if (!focus.isEmpty())
            child(form.get(), qPrintable(focus))->setFocus();
        fake::reader().calls.clear();
        const qsizetype linesBefore = logMessages(form.get()).size();
        QTest::simulateEvent(form->windowHandle(), true, key, mods, text, false);
        for (int i = 0; i < repeats; ++i)
            QTest::simulateEvent(form->windowHandle(), true, key, mods, text, true);
        QTest::simulateEvent(form->windowHandle(), false, key, mods, text, false);
        outcome.calls = fake::callNames();
        outcome.lines = logMessages(form.get()).mid(linesBefore);
        return outcome;
    };
    const Outcome once = press(0);
    const Outcome held = press(10);
    QVERIFY2(!once.calls.empty() || once.filesAsked == 1, "one press starts the operation");
    QCOMPARE(held.calls, once.calls);
    QCOMPARE(held.lines, once.lines);
    QCOMPARE(held.filesAsked, once.filesAsked);
}

TEST_CLASS(WindowTest)
#include "WindowTest.moc"
