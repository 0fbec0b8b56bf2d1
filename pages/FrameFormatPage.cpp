#include "FrameFormatPage.h"

#include "ControlBindings.h"
#include "PageWidgets.h"
#include "ParaTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <array>

namespace {

constexpr const Para& dataFormat = paraNamed(Page::FrameFormat, "data_format");
constexpr const Para& tagIdWindow = paraNamed(Page::FrameFormat, "tag_id_window");
constexpr const Para& outputMode = paraNamed(Page::FrameFormat, "output_mode");
constexpr const Para& outputInterval = paraNamed(Page::FrameFormat, "output_interval");
constexpr const Para& frameFields = paraNamed(Page::FrameFormat, "frame_fields");
constexpr const Para& preambleCode = paraNamed(Page::FrameFormat, "preamble_code");
constexpr const Para& endCode = paraNamed(Page::FrameFormat, "end_code");
constexpr const Para& outputPorts = paraNamed(Page::FrameFormat, "output_ports");

// A check box standing for one bit of a mask byte.
struct MaskBox {
    const char* name;
    const char* caption;
    int bit;
};

// The output ports in screen order, two a row; their bits follow another order.
constexpr std::array<MaskBox, 8> outputPortBoxes{{
    {"CheckBox4", "Wiegand", 2},
    {"CheckBox31", "RS-232", 0},
    {"CheckBox32", "RS-485", 1},
    {"CheckBox33", "TCP/IP", 4},
    {"CheckBox34", "USB", 3},
    {"CheckBox41", "CAN", 5},
    {"CheckBox42", "USB-Keyboard", 7},
    {"CheckBox43", "COM-Keyboard", 6},
}};

constexpr int tagIdWindowItems = 12;   // start 0 to 11, length 1 to 12
constexpr int defaultTagIdLength = 7;  // item "8"
// Both codes end the same way and hold as many bytes: one field rule serves both.
static_assert(endCode.fill == preambleCode.fill && endCode.readLength == preambleCode.readLength);

struct Controls {
    QRadioButton* realTime = nullptr;
    QRadioButton* timing = nullptr;
    QLineEdit* interval = nullptr;
    QList<QWidget*> intervalRow;   // its label, the field, its unit
    QList<QCheckBox*> portsByBit = QList<QCheckBox*>(8, nullptr);
    QRadioButton* hex = nullptr;
    QRadioButton* ascii = nullptr;
    QCheckBox* preamble = nullptr;
    QLineEdit* preambleCode = nullptr;
    QCheckBox* readerNum = nullptr;
    QCheckBox* tagId = nullptr;
    QComboBox* tagIdLength = nullptr;
    QComboBox* tagIdStart = nullptr;
    QCheckBox* endCode = nullptr;
    QLineEdit* endCodeText = nullptr;
};

// Room for a code's four bytes as eight hex digits, and for an interval of five digits.
constexpr int codeFieldWidth = 72;
constexpr int intervalFieldWidth = 54;

QComboBox* numberList(const char* name, int first, int current, QWidget* parent)
{
    auto* list = named(new QComboBox(parent), name);
    for (int i = 0; i < tagIdWindowItems; ++i)
        list->addItem(QString::number(first + i));
    list->setCurrentIndex(current);
    list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return list;
}

// Both groups side by side must end before the buttons at the sheet's right.
constexpr GridSpacing groupSpacing{{3, 4, 3, 4}, 2, 4};

// Rule A: the interval is usable only under "Timing Output".
void applyTimingRule(QRadioButton* timing, const QList<QWidget*>& intervalRow)
{
    for (QWidget* w : intervalRow)
        w->setEnabled(timing->isChecked());
}

QGroupBox* buildOutputGroup(Controls& c, QWidget* parent)
{
    auto* group = named(new QGroupBox(QStringLiteral("Output"), parent), "GroupBox9");
    auto* grid = groupGrid(group, groupSpacing);
    c.realTime = namedRadio("RadioButton1", "Real-time Output", group);
    c.realTime->setChecked(true);
    c.timing = namedRadio("RadioButton2", "Timing Output", group);
    grid->addWidget(c.realTime, 0, 0, 1, 2);
    grid->addWidget(c.timing, 1, 0, 1, 2);

    auto* intervalLabel = namedLabel("Label14", QStringLiteral("Interval："), group, false);
    c.interval = numberField("Edit78", "20", group, intervalFieldWidth);
    c.interval->setEnabled(false);
    auto* unit = namedLabel("Label110", QStringLiteral("S"), group, false);
    grid->addLayout(fieldRow(intervalLabel, c.interval, unit), 2, 0, 1, 2);

    for (int i = 0; i < int(outputPortBoxes.size()); ++i) {
        const MaskBox& port = outputPortBoxes[i];
        QCheckBox* box = namedCheckBox(port.name, port.caption, group);
        c.portsByBit[port.bit] = box;
        grid->addWidget(box, 3 + i / 2, i % 2);
    }
    grid->setRowStretch(7, 1);

    c.intervalRow = {intervalLabel, c.interval, unit};
    for (QRadioButton* mode : {c.realTime, c.timing}) {
        QObject::connect(mode, &QRadioButton::toggled, group,
                         [timing = c.timing, row = c.intervalRow](bool selected) {
                             if (selected)
                                 applyTimingRule(timing, row);
                         });
    }
    return group;
}

QGroupBox* buildFrameGroup(Controls& c, QWidget* parent)
{
    auto* group = named(new QGroupBox(QStringLiteral("Data Frame Format"), parent), "GroupBox4");
    auto* grid = groupGrid(group, groupSpacing);
    c.hex = namedRadio("RadioButton6", "HEX Code", group);
    c.hex->setChecked(true);
    c.ascii = namedRadio("RadioButton10", "ASCII Code", group);
    grid->addWidget(c.hex, 0, 0);
    grid->addWidget(c.ascii, 0, 1);

    c.preamble = namedCheckBox("CheckBox44", "Preamble Code", group);
    grid->addWidget(c.preamble, 1, 0, 1, 2);
    auto* preambleLabel = namedLabel("Label111", QStringLiteral("Code："), group, false);
    c.preambleCode = numberField("Edit79", "", group, codeFieldWidth);
    c.preambleCode->setEnabled(false);
    grid->addLayout(fieldRow(preambleLabel, c.preambleCode), 2, 0, 1, 2);

    c.readerNum = namedCheckBox("CheckBox45", "Reader Num", group);
    c.readerNum->setChecked(true);
    grid->addWidget(c.readerNum, 3, 0, 1, 2);
    c.tagId = namedCheckBox("CheckBox46", "Tag ID", group);
    c.tagId->setChecked(true);
    grid->addWidget(c.tagId, 4, 0, 1, 2);
    auto* lengthLabel = namedLabel("Label113", QStringLiteral("Length："), group);
    c.tagIdLength = numberList("ComboBox8", 1, defaultTagIdLength, group);
    auto* startLabel = namedLabel("Label120", QStringLiteral("Start："), group);
    c.tagIdStart = numberList("ComboBox10", 0, 0, group);
    tieLabel(lengthLabel, c.tagIdLength);
    tieLabel(startLabel, c.tagIdStart);
    auto* windowRow = new QHBoxLayout;
    windowRow->setSpacing(2);
    windowRow->addWidget(lengthLabel);
    windowRow->addWidget(c.tagIdLength);
    windowRow->addSpacing(4);
    windowRow->addWidget(startLabel);
    windowRow->addWidget(c.tagIdStart);
    windowRow->addStretch(1);
    grid->addLayout(windowRow, 5, 0, 1, 2);

    c.endCode = namedCheckBox("CheckBox47", "End Code", group);
    grid->addWidget(c.endCode, 6, 0, 1, 2);
    auto* endLabel = namedLabel("Label112", QStringLiteral("Code："), group, false);
    c.endCodeText = numberField("Edit80", "", group, codeFieldWidth);
    c.endCodeText->setEnabled(false);
    grid->addLayout(fieldRow(endLabel, c.endCodeText), 7, 0, 1, 2);
    grid->setRowStretch(8, 1);

    // Rows in order, then the two lists of the tag ID window.
    QWidget::setTabOrder(c.endCodeText, c.tagIdLength);
    QWidget::setTabOrder(c.tagIdLength, c.tagIdStart);

    // Rules B, C and D.
    enableWhileChecked(c.preamble, preambleLabel);
    enableWhileChecked(c.preamble, c.preambleCode);
    for (QWidget* w : QList<QWidget*>{lengthLabel, c.tagIdLength, startLabel, c.tagIdStart})
        enableWhileChecked(c.tagId, w);
    enableWhileChecked(c.endCode, endLabel);
    enableWhileChecked(c.endCode, c.endCodeText);
    return group;
}

Controls buildControls(QWidget* sheet)
{
    Controls c;
    auto* panel = named(new QFrame(sheet), "Panel1");
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    row->addWidget(buildOutputGroup(c, panel));
    row->addWidget(buildFrameGroup(c, panel));

    // "Query Para", "Setup Para" and "Quit" stand in front of the sheet's right part.
    auto* outer = new QHBoxLayout;
    outer->setContentsMargins(4, 6, 4, 6);
    outer->addWidget(panel);
    outer->addStretch(1);
    placeInSheet(sheet, outer);
    return c;
}

// The tag ID window in one byte: the start's index in the high nibble, the
// length (index + 1) in the low nibble. Either list without a selection writes
// nothing; a nibble naming no item leaves its list without one. The page's own:
// no other parameter packs two lists into one byte.
Binding tagIdWindowBinding(QComboBox* start, QComboBox* length)
{
    const auto itemOrNone = [](int index) { return index >= 0 && index < tagIdWindowItems ? index : -1; };
    return ownBinding(tagIdWindow, ValueKind::Byte, {
        [start, length] {
            if (start->currentIndex() < 0 || length->currentIndex() < 0)
                return StepValue::missing();
            return StepValue::byte(uint8_t(start->currentIndex() * 16 + length->currentIndex() + 1));
        },
        [start, length, itemOrNone](const ParaBytes& bytes) {
            start->setCurrentIndex(itemOrNone(bytes.at(0) >> 4));
            length->setCurrentIndex(itemOrNone((bytes.at(0) & 0x0F) - 1));
        },
    });
}

} // namespace

FrameFormatPage::FrameFormatPage(QWidget* sheet, PageContext context)
    : StepPage(std::move(context))
{
    const Controls c = buildControls(sheet);
    // After the output mode is read, the interval's enabled state is brought in
    // line with it once more, even when the mode read is the one shown.
    QRadioButton* timing = c.timing;
    const QList<QWidget*> intervalRow = c.intervalRow;
    // The reader tells the output mode by bit 0 alone, the data format by the whole byte.
    const Binding mode = thenRun(bindingFor(outputMode, twoSettings(c.realTime, c.timing, SecondSetting::WhenBitZero)),
                                 [timing, intervalRow] { applyTimingRule(timing, intervalRow); });
    // Bits 0 to 3 carry no flag.
    const QList<QCheckBox*> fieldBoxes{nullptr, nullptr, nullptr, nullptr, c.endCode, c.tagId, c.readerNum, c.preamble};

    // Failure lines as the reader's operators know them, trailing blanks included.
    const std::vector<ParaRow> rows{
        row(outputMode, mode, QStringLiteral("Setup Output Mode Parameter Failed !"),
            QStringLiteral("Query Output Mode Parameter Failed !")),
        row(outputInterval, c.interval, QStringLiteral("Setup Output Interval Parameter Failed !"),
            QStringLiteral("Query Output Interval Parameter Failed !")),
        row(outputPorts, c.portsByBit, QStringLiteral("Setup Communication Port Parameter Failed !"),
            QStringLiteral("Query Communication Port Parameter Failed !")),
        row(dataFormat, twoSettings(c.hex, c.ascii, SecondSetting::AtItsCode),
            QStringLiteral("Setup Output Format Parameter Failed !"), QStringLiteral("Query Output Format Parameter Failed ! ")),
        row(frameFields, fieldBoxes, QStringLiteral("Setup Output Frame Flag Parameter Failed !"),
            QStringLiteral("Query Output Frame Flag Parameter Failed ! ")),
        row(tagIdWindow, tagIdWindowBinding(c.tagIdStart, c.tagIdLength),
            QStringLiteral("Setup Output Start Byte Parameter Failed !"),
            QStringLiteral("Query Output Start Byte Parameter Failed ! ")),
        row(preambleCode, c.preambleCode, QStringLiteral("Setup Preamble Code Parameter Failed !"),
            QStringLiteral("Query Preamble Code Parameter Failed ! ")),
        row(endCode, c.endCodeText, QStringLiteral("Setup End Code Parameter Failed !"),
            QStringLiteral("Query End Code Parameter Failed !")),
    };
    // Setup writes every value, whatever the enabled states show.
    setup_ = setupRoutine(rows,
                          {QStringLiteral("Setup Output Frame Format Parameter Successfully !"),
                           QStringLiteral("Setup Output Frame Format Parameter Failed !")});
    query_ = queryRoutine(rows,
                          {QStringLiteral("Query Output Frame Format Parameter Successfully ! "),
                           QStringLiteral("Query Output Frame Format Parameter Failed !")});
}
