#include "WorkModePage.h"

#include "ControlBindings.h"
#include "ReaderTabParts.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <array>

const QStringList WorkModePage::triggerItems = {QStringLiteral("ON"), QStringLiteral("OFF")};

namespace {

using namespace readertab;

// The mode buttons in the order of the work mode's codes: master-slave, timing, triggering.
constexpr int triggeringPosition = 2;
constexpr int triggerOn = 0;              // positions of "ON" and "OFF" in a trigger list
constexpr int triggerOff = 1;

constexpr const Para& workMode = paraNamed(Page::Reader, "work_mode");
constexpr const Para& timerInterval = paraNamed(Page::Reader, "timer_interval");
constexpr const Para& preCompare = paraNamed(Page::Reader, "id_pre_compare");
constexpr const Para& triggers = paraNamed(Page::Reader, "triggers");
constexpr const Para& autoDelayOff = paraNamed(Page::Reader, "trigger_auto_delay_off");
constexpr const Para& flushTimeEnabled = paraNamed(Page::Reader, "flush_time_enabled");
constexpr const Para& flushTime = paraNamed(Page::Reader, "flush_time");

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
    auto* timerGrid = groupGrid(timer, groupSpacing);
    c.timerInterval = numberField("Edit7", "10", timer, 40);
    c.preCompare = namedCheckBox("CheckBox7", "ID Pre-Compare", timer);
    c.flushTimeOn = namedCheckBox("CheckBox30", "Flush Time", timer);
    c.flushTime = numberField("Edit70", "8", timer, 48);
    c.preCompare->setChecked(true);
    c.flushTimeOn->setChecked(true);
    timerGrid->addWidget(captionOf(c.timerInterval, "Timer Interval"), 0, 0);
    timerGrid->addWidget(c.timerInterval, 0, 1);
    timerGrid->addWidget(describeUnit(c.timerInterval, new QLabel(QStringLiteral("X10 ms"), timer)), 0, 2);
    timerGrid->addWidget(c.preCompare, 1, 0, 1, 3);
    timerGrid->addWidget(c.flushTimeOn, 2, 0);
    timerGrid->addWidget(c.flushTime, 2, 1);
    // The flush time field stands beside its switch, which names it.
    nameControl(c.flushTime, c.flushTimeOn->text());
    timerGrid->addWidget(describeUnit(c.flushTime, new QLabel(QStringLiteral("S"), timer)), 2, 2);
    timerGrid->setRowStretch(3, 1);

    auto* trigger = named(new QGroupBox(QStringLiteral("Trigger Parameter"), frame), "GroupBox1");
    auto* triggerGrid = groupGrid(trigger, groupSpacing);
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
    c.autoDelay = numberField("Edit4", "10", trigger, 40);
    c.autoDelay->setEnabled(false);
    triggerGrid->addWidget(captionOf(c.autoDelay, "Auto Delayed Time"), 4, 0);
    triggerGrid->addWidget(c.autoDelay, 4, 1);
    triggerGrid->addWidget(describeUnit(c.autoDelay, new QLabel(QStringLiteral("S"), trigger)), 4, 2);

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
        const bool triggering = i == triggeringPosition;
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

} // namespace

WorkModePage::WorkModePage(QWidget* sheet, PageContext context)
    : StepPage(std::move(context))
{
    const WorkModeControls c = buildWorkMode(sheet);
    connectWorkModeRules(c);

    const ParaRow mode = row(workMode, c.modes, QStringLiteral("Setup Work Mode Parameter Failed !"),
                             QStringLiteral("Query Work Mode Parameter Failed !"));
    const ParaRow timer = row(timerInterval, c.timerInterval, QStringLiteral("Setup Timer Interval Parameter Failed !"),
                              QStringLiteral("Query Timer Interval Parameter Failed !"));
    const ParaRow compare = row(preCompare, c.preCompare, QStringLiteral("Setup Pre-Compare Parameter Failed !"),
                                QStringLiteral("Query Pre-Compare Parameter Failed !"));
    const ParaRow flushOn = row(flushTimeEnabled, c.flushTimeOn, QStringLiteral("Setup Pre-Compare Enable Parameter Failed !"),
                                QStringLiteral("Query Pre-Compare Enable Parameter Failed !"));
    const ParaRow flush = row(flushTime, c.flushTime, QStringLiteral("Setup Flush Time Parameter Failed !"),
                              QStringLiteral("Query Flush Time Parameter Failed !"))
                              .setupOnlyIf(whileChecked(c.flushTimeOn));
    // Bit n set while trigger list n shows "ON"; bits 4 to 7 are written 0 and ignored when read.
    const ParaRow trigger = row(triggers, OnOffItems{{c.triggers.begin(), c.triggers.end()}, triggerOn, triggerOff},
                                QStringLiteral("Setup Trigger Parameter Failed !"),
                                QStringLiteral("Query Trigger Parameter Failed !"));
    const ParaRow autoDelay = row(autoDelayOff, c.autoDelay,
                                  QStringLiteral("Setup Trigger Auto Delay Off Time Parameter Failed !"),
                                  QStringLiteral("Query Trigger Auto Delay Off Time Parameter Failed !"));

    // The triggers and the flush time switch are written also while disabled.
    // Pre-compare is read before the flush time switch: its rule sets the
    // switch, which the switch's own byte then overrides.
    const std::vector<ParaRow> rows{mode, timer, compare, flushOn, flush, trigger, autoDelay};
    setup_ = setupRoutine(rows, setupLines);
    query_ = queryRoutine(rows, queryLines);
}
