// The main window as it starts: title, size, where each control stands, the
// tab-page tree, the first log line, the status bar and the buttons.
#include "TestClasses.h"
#include "FormFixture.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
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
    void geometry_data();
    void geometry();
    void tabTree_data();
    void tabTree();
    void opensOnFirstTabs();
    void enabledAtStart_data();
    void enabledAtStart();
    void statusBarAtStart();
    void firstLogLine();
    void connectionGroupAtStart();
    void captionsFit_data();
    void captionsFit();
};

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

void WindowTest::geometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");

    QTest::newRow("Image1") << "Image1" << QRect(19, 16, 155, 102);
    QTest::newRow("PageControl1") << "PageControl1" << QRect(188, 11, 541, 301);
    QTest::newRow("GroupBox2") << "GroupBox2" << QRect(14, 124, 165, 155);
    QTest::newRow("BitBtn2") << "BitBtn2" << QRect(47, 287, 90, 25);
    QTest::newRow("BitBtn3") << "BitBtn3" << QRect(630, 154, 75, 24);
    QTest::newRow("BitBtn4") << "BitBtn4" << QRect(630, 186, 75, 24);
    QTest::newRow("Button4") << "Button4" << QRect(630, 250, 75, 24);
    QTest::newRow("Memo1") << "Memo1" << QRect(11, 322, 718, 146);
    QTest::newRow("StatusBar1 at the bottom edge") << "StatusBar1" << QRect(0, 478, 741, 20);
    QTest::newRow("PageControl2") << "PageControl2" << QRect(8, 4, 420, 264);
    QTest::newRow("PageControl5") << "PageControl5" << QRect(8, 4, 420, 264);
    // Inside the "Communication Settings" group.
    QTest::newRow("ComboBox1") << "ComboBox1" << QRect(70, 14, 80, 21);
    QTest::newRow("ComboBox2") << "ComboBox2" << QRect(70, 37, 80, 21);
    QTest::newRow("Edit71 where ComboBox2 is") << "Edit71" << QRect(69, 38, 80, 21);
    QTest::newRow("ComboBox7") << "ComboBox7" << QRect(70, 61, 80, 21);
    QTest::newRow("Button1") << "Button1" << QRect(10, 90, 60, 25);
    QTest::newRow("Button2") << "Button2" << QRect(84, 89, 66, 25);
    QTest::newRow("Button3") << "Button3" << QRect(40, 120, 75, 25);
}

void WindowTest::geometry()
{
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    auto form = showForm();
    QCOMPARE(child(form.get(), qPrintable(name))->geometry(), rect);
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
    QCOMPARE(names, sheets);
    QCOMPARE(texts, captions);
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

void WindowTest::captionsFit_data()
{
    QTest::addColumn<QString>("name");
    for (const char* name : {"Button1", "Button2", "Button3", "BitBtn2", "BitBtn3", "BitBtn4", "Button4"})
        QTest::newRow(name) << name;
}

void WindowTest::captionsFit()
{
    QFETCH(QString, name);
    auto form = showForm();
    auto* button = child<QPushButton>(form.get(), qPrintable(name));
    const int textWidth = QFontMetrics(button->font()).horizontalAdvance(button->text());
    QVERIFY2(textWidth <= button->width() - 4,
             qPrintable(QStringLiteral("'%1' needs %2 px in %3").arg(button->text()).arg(textWidth).arg(button->width())));
    QCOMPARE(button->font().pointSize(), 8);
}

TEST_CLASS(WindowTest)
#include "WindowTest.moc"
