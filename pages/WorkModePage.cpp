#include "WorkModePage.h"

#include "ControlBindings.h"
#include "PageWidgets.h"
#include "ParaTable.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

#include <array>

const QStringList WorkModePage::triggerItems = {QStringLiteral("ON"), QStringLiteral("OFF")};
const QStringList WorkModePage::matchLengthItems = {
    QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
    QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"),
};

namespace {

// Work mode byte: 1 master-slave, 2 timing, 3 triggering; the mode buttons in that order.
constexpr int firstModeNumber = 1;
constexpr int triggeringMode = 3;
constexpr int triggerOff = 1;             // position of "OFF" in a trigger list

constexpr uint8_t workModeAddress = paraAddress(Page::Reader, "work_mode");
constexpr uint8_t timerIntervalAddress = paraAddress(Page::Reader, "timer_interval");
constexpr uint8_t preCompareAddress = paraAddress(Page::Reader, "id_pre_compare");
constexpr uint8_t synchronizationAddress = paraAddress(Page::Reader, "synchronization");
constexpr uint8_t triggerAddress = paraAddress(Page::Reader, "triggers");
constexpr uint8_t autoDelayAddress = paraAddress(Page::Reader, "trigger_auto_delay_off");
constexpr uint8_t flushTimeOnAddress = paraAddress(Page::Reader, "flush_time_enabled");
constexpr uint8_t flushTimeAddress = paraAddress(Page::Reader, "flush_time");
constexpr uint8_t identificationAddress = paraAddress(Page::Reader, "identification_mode");
constexpr uint8_t matchOnAddress = paraAddress(Page::Reader, "id_feature_match");
constexpr uint8_t matchLengthAddress = paraAddress(Page::Reader, "id_feature_length");
constexpr uint8_t matchValueAddress = paraAddress(Page::Reader, "id_feature_value");
constexpr uint8_t offLineOnAddress = paraAddress(Page::Reader, "offline_function");   // written through SetOLEnable (the parameter table says so)
constexpr uint8_t offLineIntervalAddress = paraAddress(Page::Reader, "offline_interval");

// The match length list shows length - 1; the identification mode group mode - 1.
constexpr int matchLengthOffset = 1;
constexpr int identificationOffset = 1;
constexpr int synchronizationOffset = 0;

// The inner tab area is 420 x 264: small margins so both groups fit side by side.
QGridLayout* groupGrid(QWidget* group)
{
    return compactGrid(group, {6, 4, 6, 6}, 4, 6);
}

QLineEdit* numberField(const char* name, const char* text, int width, QWidget* parent)
{
    auto* field = named(new QLineEdit(QString::fromLatin1(text), parent), name);
    field->setFixedWidth(width);
    return field;
}

// A caption in front of control; the buddy ties the two together for the operator and for tests.
QLabel* captionOf(QWidget* control, const char* text)
{
    auto* caption = new QLabel(QString::fromLatin1(text), control->parentWidget());
    caption->setBuddy(control);
    return caption;
}

QFrame* panel(const char* name, QWidget* sheet)
{
    auto* frame = named(new QFrame(sheet), name);
    frame->setFrameShape(QFrame::StyledPanel);
    auto* sheetLayout = new QVBoxLayout;
    sheetLayout->setContentsMargins(2, 2, 2, 2);
    sheetLayout->addWidget(frame);
    placeInSheet(sheet, sheetLayout);
    return frame;
}

// A radio group: a titled box of exclusive buttons, one per item, in columns.
RadioSet radioGroup(const char* name, const char* title, const QStringList& items, int columns, QWidget* parent)
{
    auto* group = named(new QGroupBox(QString::fromLatin1(title), parent), name);
    auto* grid = groupGrid(group);
    QList<QRadioButton*> buttons;
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], group);
        grid->addWidget(button, i / columns, i % columns);
        buttons.append(button);
    }
    buttons.front()->setChecked(true);
    return RadioSet(buttons);
}

QGroupBox* groupOf(const RadioSet& set)
{
    return qobject_cast<QGroupBox*>(set.buttons().front()->parentWidget());
}

// The trigger byte: bit n set while trigger list n shows "ON"; bits 4 to 7 are
// written 0 and ignored when read.
Binding triggerBinding(std::array<QComboBox*, 4> triggers)
{
    return {
        [triggers] {
            uint8_t mask = 0;
            for (int bit = 0; bit < int(triggers.size()); ++bit)
                if (triggers[bit]->currentIndex() == 0)
                    mask |= uint8_t(1u << bit);
            return StepValue::byte(mask);
        },
        [triggers](const ParamBytes& bytes) {
            for (int bit = 0; bit < int(triggers.size()); ++bit)
                triggers[bit]->setCurrentIndex((bytes.at(0) >> bit) & 1u ? 0 : triggerOff);
        },
    };
}

// The match value goes out as the pairs of the hex field; it comes back in full
// and shows as many bytes as the length list shows when it arrives (none while
// the list shows no length).
Binding matchValueBinding(QLineEdit* value, QComboBox* length)
{
    Binding binding = hexStringBinding(value);
    binding.show = [value, length](const ParamBytes& bytes) {
        value->setText(hexPairs(bytes, length->currentIndex() + matchLengthOffset));
    };
    return binding;
}

struct WorkModeControls {
    RadioSet modes;                        // RadioButton3, 4, 5
    QLineEdit* timerInterval = nullptr;    // Edit7
    QCheckBox* preCompare = nullptr;       // CheckBox7
    QCheckBox* flushTimeOn = nullptr;      // CheckBox30
    QLineEdit* flushTime = nullptr;        // Edit70
    std::array<QComboBox*, 4> triggers{};  // ComboBox4, 5, 6, 15
    QLineEdit* autoDelay = nullptr;        // Edit4
};

WorkModeControls buildWorkMode(QWidget* sheet)
{
    WorkModeControls c;
    QFrame* frame = panel("Panel2", sheet);

    auto* modeRow = new QHBoxLayout;
    QList<QRadioButton*> modeButtons;
    const std::array<std::pair<const char*, const char*>, 3> modes{{
        {"RadioButton3", "Master-Slave Mode"}, {"RadioButton4", "Timing Mode"}, {"RadioButton5", "Triggering Mode"}}};
    for (const auto& [name, caption] : modes) {
        auto* button = namedRadio(name, caption, frame);
        modeRow->addWidget(button);
        modeButtons.append(button);
    }
    modeButtons.front()->setChecked(true);
    c.modes = RadioSet(modeButtons);

    auto* timer = named(new QGroupBox(QStringLiteral("Timer Parameter"), frame), "GroupBox6");
    auto* timerGrid = groupGrid(timer);
    c.timerInterval = numberField("Edit7", "10", 40, timer);
    c.preCompare = namedCheckBox("CheckBox7", "ID Pre-Compare", timer);
    c.flushTimeOn = namedCheckBox("CheckBox30", "Flush Time", timer);
    c.flushTime = numberField("Edit70", "8", 48, timer);
    c.preCompare->setChecked(true);
    c.flushTimeOn->setChecked(true);
    timerGrid->addWidget(captionOf(c.timerInterval, "Timer Interval"), 0, 0);
    timerGrid->addWidget(c.timerInterval, 0, 1);
    timerGrid->addWidget(new QLabel(QStringLiteral("X10 ms"), timer), 0, 2);
    timerGrid->addWidget(c.preCompare, 1, 0, 1, 3);
    timerGrid->addWidget(c.flushTimeOn, 2, 0);
    timerGrid->addWidget(c.flushTime, 2, 1);
    timerGrid->addWidget(new QLabel(QStringLiteral("S"), timer), 2, 2);
    timerGrid->setRowStretch(3, 1);

    auto* trigger = named(new QGroupBox(QStringLiteral("Trigger Parameter"), frame), "GroupBox1");
    auto* triggerGrid = groupGrid(trigger);
    const std::array<std::pair<const char*, const char*>, 4> triggers{{
        {"ComboBox4", "Trigger 1"}, {"ComboBox5", "Trigger 2"}, {"ComboBox6", "Trigger 3"}, {"ComboBox15", "Trigger 4"}}};
    for (int i = 0; i < int(triggers.size()); ++i) {
        auto* list = named(new QComboBox(trigger), triggers[i].first);
        list->addItems(WorkModePage::triggerItems);
        list->setCurrentIndex(triggerOff);
        list->setEnabled(false);
        c.triggers[i] = list;
        triggerGrid->addWidget(captionOf(list, triggers[i].second), i, 0);
        triggerGrid->addWidget(list, i, 1);
    }
    c.autoDelay = numberField("Edit4", "10", 40, trigger);
    c.autoDelay->setEnabled(false);
    triggerGrid->addWidget(captionOf(c.autoDelay, "Auto Delayed Time"), 4, 0);
    triggerGrid->addWidget(c.autoDelay, 4, 1);
    triggerGrid->addWidget(new QLabel(QStringLiteral("S"), trigger), 4, 2);

    auto* groups = new QHBoxLayout;
    groups->addWidget(timer);
    groups->addWidget(trigger);
    auto* column = new QVBoxLayout(frame);
    column->setContentsMargins(6, 6, 6, 6);
    column->addLayout(modeRow);
    column->addLayout(groups);
    column->addStretch(1);
    return c;
}

// Enabling rules of the Work Mode page.
void connectWorkModeRules(const WorkModeControls& c)
{
    // The trigger inputs matter in triggering mode only; their captions stay enabled.
    const QList<QWidget*> triggerInputs = {c.triggers[0], c.triggers[1], c.triggers[2], c.triggers[3], c.autoDelay};
    for (int i = 0; i < c.modes.buttons().size(); ++i) {
        const bool triggering = firstModeNumber + i == triggeringMode;
        QObject::connect(c.modes.buttons()[i], &QRadioButton::toggled, c.autoDelay, [triggerInputs, triggering](bool selected) {
            if (!selected)
                return;
            for (QWidget* input : triggerInputs)
                input->setEnabled(triggering);
        });
    }
    // Flush time only goes with pre-compare: switching pre-compare off clears and
    // locks it, switching it on checks it again; the flush time field follows.
    enableWhileChecked(c.flushTimeOn, c.flushTime);
    QCheckBox* flushTimeOn = c.flushTimeOn;
    QLineEdit* flushTime = c.flushTime;
    QObject::connect(c.preCompare, &QCheckBox::toggled, flushTimeOn, [flushTimeOn, flushTime](bool on) {
        flushTimeOn->setChecked(on);
        flushTimeOn->setEnabled(on);
        flushTime->setEnabled(flushTimeOn->isChecked());
    });
}

WorkModePage::InnerRoutines workModeRoutines(const WorkModeControls& c)
{
    const Binding mode = radioIndexBinding(c.modes, firstModeNumber);
    const Binding timerInterval = byteNumberBinding(c.timerInterval);
    const Binding preCompare = flagBinding(c.preCompare);
    const Binding flushTimeOn = flagBinding(c.flushTimeOn);
    const Binding flushTime = wordNumberBinding(c.flushTime);
    const Binding triggers = triggerBinding(c.triggers);
    const Binding autoDelay = byteNumberBinding(c.autoDelay);

    WorkModePage::InnerRoutines r;
    // The triggers and the flush time switch are written also while disabled.
    r.setup.steps = {
        writeStep(workModeAddress, mode, QStringLiteral("Setup Work Mode Parameter Failed !")),
        writeStep(timerIntervalAddress, timerInterval, QStringLiteral("Setup Timer Interval Parameter Failed !")),
        writeStep(preCompareAddress, preCompare, QStringLiteral("Setup Pre-Compare Parameter Failed !")),
        writeStep(flushTimeOnAddress, flushTimeOn, QStringLiteral("Setup Pre-Compare Enable Parameter Failed !")),
        writeStep(flushTimeAddress, flushTime, QStringLiteral("Setup Flush Time Parameter Failed !"))
            .onlyIf(whileChecked(c.flushTimeOn)),
        writeStep(triggerAddress, triggers, QStringLiteral("Setup Trigger Parameter Failed !")),
        writeStep(autoDelayAddress, autoDelay, QStringLiteral("Setup Trigger Auto Delay Off Time Parameter Failed !")),
    };
    // Pre-compare before the flush time switch: its rule sets the switch, which
    // the switch's own byte then overrides.
    r.query.steps = {
        readStep(workModeAddress, mode, QStringLiteral("Query Work Mode Parameter Failed !")),
        readStep(timerIntervalAddress, timerInterval, QStringLiteral("Query Timer Interval Parameter Failed !")),
        readStep(preCompareAddress, preCompare, QStringLiteral("Query Pre-Compare Parameter Failed !")),
        readStep(flushTimeOnAddress, flushTimeOn, QStringLiteral("Query Pre-Compare Enable Parameter Failed !")),
        readStep(flushTimeAddress, flushTime, QStringLiteral("Query Flush Time Parameter Failed !")),
        readStep(triggerAddress, triggers, QStringLiteral("Query Trigger Parameter Failed !")),
        readStep(autoDelayAddress, autoDelay, QStringLiteral("Query Trigger Auto Delay Off Time Parameter Failed !")),
    };
    return r;
}

struct OtherFunctionControls {
    QCheckBox* matchOn = nullptr;          // CheckBox65
    QComboBox* matchLength = nullptr;      // ComboBox26
    QLineEdit* matchValue = nullptr;       // Edit6
    QCheckBox* offLineOn = nullptr;        // CheckBox66
    QLineEdit* offLineInterval = nullptr;  // Edit72
    QLabel* offLineUnit = nullptr;         // Label102
    RadioSet identification;               // RadioGroup2
    RadioSet synchronization;              // RadioGroup5
};

OtherFunctionControls buildOtherFunction(QWidget* sheet)
{
    OtherFunctionControls c;
    QFrame* frame = panel("Panel4", sheet);

    auto* match = named(new QGroupBox(QStringLiteral("ID Feature Match"), frame), "GroupBox10");
    auto* matchGrid = groupGrid(match);
    c.matchOn = namedCheckBox("CheckBox65", "Enable IDF Function", match);
    c.matchLength = named(new QComboBox(match), "ComboBox26");
    c.matchLength->addItems(WorkModePage::matchLengthItems);
    c.matchLength->setCurrentIndex(int(WorkModePage::matchLengthItems.size()) - 1);
    c.matchLength->setEnabled(false);
    c.matchValue = named(new QLineEdit(match), "Edit6");
    c.matchValue->setEnabled(false);
    c.matchValue->setMinimumWidth(96);   // twelve hex digits
    matchGrid->addWidget(c.matchOn, 0, 0, 1, 2);
    matchGrid->addWidget(captionOf(c.matchLength, "Length(Byte)"), 1, 0);
    matchGrid->addWidget(c.matchLength, 1, 1, Qt::AlignLeft);
    matchGrid->addWidget(captionOf(c.matchValue, "Value"), 2, 0);
    matchGrid->addWidget(c.matchValue, 2, 1);

    auto* offLine = named(new QGroupBox(QStringLiteral("Off-Line Function"), frame), "GroupBox12");
    auto* offLineGrid = groupGrid(offLine);
    c.offLineOn = namedCheckBox("CheckBox66", "Enable Off-Line Function", offLine);
    c.offLineInterval = numberField("Edit72", "65535", 48, offLine);
    c.offLineInterval->setEnabled(false);
    c.offLineUnit = named(new QLabel(QStringLiteral("Second"), offLine), "Label102");
    c.offLineUnit->setEnabled(false);
    offLineGrid->addWidget(c.offLineOn, 0, 0, 1, 3);
    offLineGrid->addWidget(captionOf(c.offLineInterval, "Interval"), 1, 0);
    offLineGrid->addWidget(c.offLineInterval, 1, 1);
    offLineGrid->addWidget(c.offLineUnit, 1, 2);
    offLineGrid->setRowStretch(2, 1);

    c.identification = radioGroup("RadioGroup2", "Identification Mode",
                                  {QStringLiteral("Single Tag"), QStringLiteral("Multiple Tag")}, 2, frame);
    c.synchronization = radioGroup("RadioGroup5", "Synchronization", {QStringLiteral("Host"), QStringLiteral("Self")}, 2,
                                   frame);

    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setSpacing(6);
    grid->addWidget(match, 0, 0);
    grid->addWidget(offLine, 0, 1);
    grid->addWidget(groupOf(c.identification), 1, 0);
    grid->addWidget(groupOf(c.synchronization), 1, 1);
    grid->setRowStretch(2, 1);
    return c;
}

void connectOtherFunctionRules(const OtherFunctionControls& c)
{
    enableWhileChecked(c.matchOn, c.matchLength);
    enableWhileChecked(c.matchOn, c.matchValue);
    enableWhileChecked(c.offLineOn, c.offLineInterval);
    enableWhileChecked(c.offLineOn, c.offLineUnit);
}

WorkModePage::InnerRoutines otherFunctionRoutines(const OtherFunctionControls& c)
{
    const Binding matchOn = flagBinding(c.matchOn);
    const Binding matchLength = listIndexBinding(c.matchLength, matchLengthOffset);
    const Binding matchValue = matchValueBinding(c.matchValue, c.matchLength);
    const Binding offLineOn = flagBinding(c.offLineOn);
    const Binding offLineInterval = wordNumberBinding(c.offLineInterval);
    const Binding identification = radioGroupIndexBinding(c.identification, identificationOffset);
    const Binding synchronization = radioGroupIndexBinding(c.synchronization, synchronizationOffset);

    WorkModePage::InnerRoutines r;
    // The match length and value go with the match switch only; the value's byte
    // count comes from its text, not from the length list. A value of fewer than
    // two digits is not written.
    r.setup.steps = {
        writeStep(matchOnAddress, matchOn, QStringLiteral("Setup ID Feature Match Function Failedly !")),
        writeStep(matchLengthAddress, matchLength, QStringLiteral("Setup IDF Match Length Failedly !"))
            .onlyIf(whileChecked(c.matchOn)),
        writeStep(matchValueAddress, matchValue, QStringLiteral("Setup IDF Match Value Failedly !"))
            .onlyIf(whileChecked(c.matchOn)),
        writeStep(offLineOnAddress, offLineOn, QStringLiteral("Setup Off-Line Function Failedly !")),
        writeStep(offLineIntervalAddress, offLineInterval, QStringLiteral("Setup Off-Line Interval Failedly !"))
            .onlyIf(whileChecked(c.offLineOn)),
        writeStep(synchronizationAddress, synchronization,
                  QStringLiteral("Setup Synchronization Mode Parameter Failed !")),
        writeStep(identificationAddress, identification,
                  QStringLiteral("Setup Identification Mode Parameter Failed !")),
    };
    // Everything is read whatever the switches show. The length comes before the
    // value, which shows as many bytes as the length says.
    r.query.steps = {
        readStep(matchOnAddress, matchOn, QStringLiteral("查询特征值使能参数失败 !")),
        readStep(matchLengthAddress, matchLength, QStringLiteral("查询特征值匹配长度参数失败 !")),
        readStep(matchValueAddress, matchValue, QStringLiteral("查询特征值参数失败 !")),
        readStep(offLineOnAddress, offLineOn, QStringLiteral("查询离线功能使能参数失败 !")),
        readStep(offLineIntervalAddress, offLineInterval, QStringLiteral("查询离线功能保存记录时间间隔参数失败 !")),
        readStep(identificationAddress, identification,
                 QStringLiteral("Query Identification Mode Parameter Failed !")),
        readStep(synchronizationAddress, synchronization,
                 QStringLiteral("Query Synchronization Mode Parameter Failed !")),
    };
    return r;
}

void closeWithReaderLines(WorkModePage::InnerRoutines& r)
{
    r.setup.closing = {QStringLiteral("Setup Reader Parameter Successfully !"),
                       QStringLiteral("Setup Reader Parameter Failed !")};
    r.query.closing = {QStringLiteral("Query Reader Parameter Successfully !"),
                       QStringLiteral("Query Reader Parameter Failed !")};
}

} // namespace

WorkModePage::WorkModePage(QTabWidget* pageControl2, PageContext context)
    : readerTabs_(pageControl2), context_(std::move(context))
{
    const WorkModeControls workMode = buildWorkMode(readerTabs_->widget(workModeIndex));
    connectWorkModeRules(workMode);
    workMode_ = workModeRoutines(workMode);
    closeWithReaderLines(workMode_);

    const OtherFunctionControls otherFunction = buildOtherFunction(readerTabs_->widget(otherFunctionIndex));
    connectOtherFunctionRules(otherFunction);
    otherFunction_ = otherFunctionRoutines(otherFunction);
    closeWithReaderLines(otherFunction_);
}

const WorkModePage::InnerRoutines* WorkModePage::routinesShowing() const
{
    switch (readerTabs_->currentIndex()) {
    case workModeIndex:
        return &workMode_;
    case otherFunctionIndex:
        return &otherFunction_;
    default:
        return nullptr;
    }
}

void WorkModePage::query()
{
    if (const InnerRoutines* routines = routinesShowing())
        runRoutine(context_, routines->query);
}

void WorkModePage::setup()
{
    if (const InnerRoutines* routines = routinesShowing())
        runRoutine(context_, routines->setup);
}
