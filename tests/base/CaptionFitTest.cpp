// Fitting texts to their controls: every kind of control, placed by hand or by
// a layout, gets its font narrowed just enough; texts that fit are left alone;
// a text changed later is fitted again. The check of tests/support judges the
// outcome, and is itself shown to find what is not fitted.
#include "TestClasses.h"
#include "CaptionFit.h"
#include "TextFitCheck.h"
#include "WindowFont.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <functional>
#include <memory>

namespace {

// A shown window in the window's font; fitted when `fitted`.
struct Stage {
    std::unique_ptr<QWidget> window{new QWidget};

    Stage()
    {
        window->setFont(windowFont());
        window->resize(400, 300);
    }
    int textWidth(const QString& text) const { return QFontMetrics(window->font()).horizontalAdvance(text); }
    void show(bool fitted)
    {
        if (fitted)
            keepCaptionsFitted(window.get());
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qWarning("window not exposed");
        settle();
    }
};

const QStringList baudRates{"9600   bps", "19200  bps", "38400  bps", "57600  bps", "115200 bps"};

int stretchOf(const QWidget* widget)
{
    return widget->font().stretch() > 0 ? widget->font().stretch() : 100;
}

struct Case {
    const char* name;
    const char* finding;   // what the check says before fitting
    std::function<QWidget*(Stage&)> build;   // returns the control whose text is too wide
};

const QList<Case> tooWide{
    {"list placed by hand", "ComboBox2: '115200 bps' needs",
     [](Stage& s) {
         auto* list = new QComboBox(s.window.get());
         list->setObjectName("ComboBox2");
         list->addItems(baudRates);
         list->setGeometry(70, 37, 80, 21);
         return list;
     }},
    {"editable list", "ComboBox7: 'Station 10' needs",
     [](Stage& s) {
         auto* list = new QComboBox(s.window.get());
         list->setObjectName("ComboBox7");
         list->setEditable(true);
         list->addItems({"Arbitrary", "Station 1", "Station 10"});
         list->setGeometry(70, 61, 80, 21);
         return list;
     }},
    {"check box squeezed by its layout", "CheckBox1: 'Enable the reader's buzzer' needs",
     [](Stage& s) {
         auto* row = new QWidget(s.window.get());
         row->setGeometry(0, 0, s.textWidth("Enable the reader's buzzer") + 10, 30);
         auto* layout = new QHBoxLayout(row);
         auto* box = new QCheckBox("Enable the reader's buzzer", row);
         box->setObjectName("CheckBox1");
         layout->addWidget(box);
         return box;
     }},
    {"radio button placed by hand", "RadioButton1: 'Wiegand 26 output' needs",
     [](Stage& s) {
         auto* radio = new QRadioButton("Wiegand 26 output", s.window.get());
         radio->setObjectName("RadioButton1");
         radio->setGeometry(10, 10, s.textWidth("Wiegand 26 output") + 12, 17);
         return radio;
     }},
    {"button placed by hand", "Button1: 'Update Reader' needs",
     [](Stage& s) {
         auto* button = new QPushButton("Update Reader", s.window.get());
         button->setObjectName("Button1");
         button->setGeometry(10, 10, s.textWidth("Update Reader") + 2, 25);
         return button;
     }},
    {"group title", "GroupBox1: 'Communication Settings' needs",
     [](Stage& s) {
         auto* box = new QGroupBox("Communication Settings", s.window.get());
         box->setObjectName("GroupBox1");
         box->setGeometry(10, 10, s.textWidth("Communication Settings") - 6, 80);
         auto* inside = new QCheckBox("Check 1", box);
         inside->setObjectName("CheckBox2");
         inside->move(8, 30);
         return box;
     }},
    {"label touching the list beside it", "ComboBox1 and Label1 overlap",
     [](Stage& s) {
         auto* list = new QComboBox(s.window.get());
         list->setObjectName("ComboBox1");
         list->addItems({"COM1"});
         list->setGeometry(70, 14, 80, 21);
         auto* label = new QLabel("Comm Port", s.window.get());
         label->setObjectName("Label1");
         // Wide enough to touch the list in any sans serif at 8 points.
         label->move(70 - s.textWidth("Comm Port") + 2, 20);
         label->adjustSize();
         return label;
     }},
};

} // namespace

class CaptionFitTest : public QObject {
    Q_OBJECT
private slots:
    void checkFindsTooWideTexts();
    void fittedTextsFit();
    void fittingTextsAreLeftAlone();
    void placesAndOwnFontsKept();
    void changedTextsFittedAgain();
    void widenedWhereNarrowingIsNotEnough();
    void containedControlIsNoOverlap();
};

void CaptionFitTest::checkFindsTooWideTexts()
{
    for (const Case& c : tooWide) {
        Stage stage;
        c.build(stage);
        stage.show(false);
        const QStringList findings = textFitFindings(stage.window.get());
        QVERIFY2(findings.size() == 1 && findings.first().startsWith(QLatin1String(c.finding)),
                 qPrintable(QStringLiteral("%1: %2").arg(c.name, findings.join(" | "))));
    }
}

void CaptionFitTest::fittedTextsFit()
{
    for (const Case& c : tooWide) {
        Stage stage;
        QWidget* control = c.build(stage);
        stage.show(true);
        const QStringList findings = textFitFindings(stage.window.get());
        QVERIFY2(findings.isEmpty(), qPrintable(QStringLiteral("%1: %2").arg(c.name, findings.join(" | "))));
        QVERIFY2(stretchOf(control) < 100 || qobject_cast<QLabel*>(control), c.name);
        QVERIFY2(stretchOf(control) >= 70, c.name);
        QCOMPARE(control->font().pointSize(), 8);
    }
}

void CaptionFitTest::fittingTextsAreLeftAlone()
{
    Stage stage;
    auto* list = new QComboBox(stage.window.get());
    list->addItems({"COM1", "COM2"});
    list->setGeometry(10, 10, 80, 21);
    auto* label = new QLabel("Station", stage.window.get());
    label->move(10, 40);
    label->adjustSize();
    const QRect labelPlace = label->geometry();
    stage.show(true);
    for (QWidget* control : {static_cast<QWidget*>(list), static_cast<QWidget*>(label)}) {
        QCOMPARE(stretchOf(control), 100);
        QVERIFY2(!control->testAttribute(Qt::WA_SetFont), "the font is still the window's");
    }
    QCOMPARE(label->geometry(), labelPlace);
}

void CaptionFitTest::placesAndOwnFontsKept()
{
    Stage stage;
    QWidget* list = tooWide[0].build(stage);
    auto* group = qobject_cast<QGroupBox*>(tooWide[5].build(stage));
    group->move(200, 100);
    auto* bold = new QLabel("Antenna Check Parameter", stage.window.get());
    QFont boldFont = bold->font();
    boldFont.setBold(true);
    bold->setFont(boldFont);
    bold->setGeometry(10, 200, QFontMetrics(boldFont).horizontalAdvance("Antenna Check Parameter") - 8, 15);
    bold->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    stage.show(true);

    QCOMPARE(list->geometry(), QRect(70, 37, 80, 21));
    QVERIFY(bold->font().bold());
    QVERIFY(stretchOf(bold) < 100);
    QCOMPARE(bold->x(), 10);
    QVERIFY2(stretchOf(stage.window->findChild<QCheckBox*>("CheckBox2")) == 100,
             "a group's narrowed title does not narrow the controls inside it");
}

void CaptionFitTest::changedTextsFittedAgain()
{
    Stage stage;
    auto* list = qobject_cast<QComboBox*>(tooWide[0].build(stage));
    auto* label = new QLabel("Baud Rate", stage.window.get());
    label->setObjectName("Label2");
    label->move(11, 43);
    label->adjustSize();
    stage.show(true);
    QVERIFY(stretchOf(list) < 100);

    // A query rebuilds the list with short items, then long ones again.
    list->clear();
    list->addItems({"1", "2"});
    settle();
    QCOMPARE(stretchOf(list), 100);
    list->clear();
    list->addItems({"921600 bps", "1"});
    settle();
    label->setText("Reader Port");
    settle();
    const QStringList findings = textFitFindings(stage.window.get());
    QVERIFY2(findings.isEmpty(), qPrintable(findings.join(" | ")));
    QVERIFY(stretchOf(list) < 100);
    QCOMPARE(label->pos(), QPoint(11, 43));
}

void CaptionFitTest::widenedWhereNarrowingIsNotEnough()
{
    // At the narrowest font the text is still 3 pixels too wide: with room beside it the box widens.
    for (bool roomBeside : {true, false}) {
        Stage stage;
        const QString text = "Antenna 1";
        auto* box = new QCheckBox(text, stage.window.get());
        box->setObjectName("CheckBox9");
        QFont narrowest = stage.window->font();
        narrowest.setStretch(70);
        const int textRoom = QFontMetrics(narrowest).horizontalAdvance(text) - 3;
        box->setGeometry(10, 10, 100, 17);
        QStyleOptionButton option;
        option.initFrom(box);
        const int around = 100 - box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box).width();
        box->resize(around + textRoom, 17);
        const int width = box->width();
        if (!roomBeside) {
            auto* next = new QCheckBox("Check 1", stage.window.get());
            next->setObjectName("CheckBox26");
            next->move(box->geometry().right() + 2, 10);
        }
        stage.show(true);
        QCOMPARE(stretchOf(box), 70);
        QCOMPARE(box->width(), roomBeside ? width + 3 : width);
        QCOMPARE(textFitFindings(stage.window.get()).isEmpty(), roomBeside);
    }
}

void CaptionFitTest::containedControlIsNoOverlap()
{
    Stage stage;
    auto* tabs = new QTabWidget(stage.window.get());
    tabs->setObjectName("PageControl1");
    tabs->addTab(new QWidget, "Reader");
    tabs->setGeometry(10, 10, 300, 200);
    auto* button = new QPushButton("Query Para", stage.window.get());
    button->setObjectName("BitBtn3");
    button->setGeometry(200, 100, 90, 24);
    stage.show(true);
    const QStringList findings = textFitFindings(stage.window.get());
    QVERIFY2(findings.isEmpty(), qPrintable(findings.join(" | ")));
}

TEST_CLASS(CaptionFitTest)
#include "CaptionFitTest.moc"
