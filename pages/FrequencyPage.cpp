#include "FrequencyPage.h"

#include "CaptionFit.h"
#include "ColumnCheckList.h"
#include "ControlBindings.h"
#include "IntegerText.h"
#include "PageWidgets.h"
#include "ParaTable.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

namespace {

constexpr const Para& startFrequency = paraNamed(Page::Frequency, "start_frequency");
constexpr const Para& frequencyInterval = paraNamed(Page::Frequency, "frequency_interval");
constexpr const Para& frequencyPoints = paraNamed(Page::Frequency, "frequency_points");
constexpr const Para& channelMode = paraNamed(Page::Frequency, "channel_mode");   // 0 hopping, n fixed on channel n
constexpr const Para& hoppingInterval = paraNamed(Page::Frequency, "hopping_interval");
constexpr const Para& hoppingChannels = paraNamed(Page::Frequency, "hopping_channels");
constexpr int maskChannels = 8 * hoppingChannels.readLength;   // the hopping mask holds channels 1 to 56

constexpr int hopIntervalMsPerStep = 10;       // the track bar counts in 10 ms

// A channel of the check list; channels beyond the hopping mask are listed
// but cannot be checked.
QListWidgetItem* addHoppingChannel(QListWidget* list, int channel)
{
    auto* item = new QListWidgetItem(QStringLiteral("Freq %1").arg(channel), list);
    item->setCheckState(Qt::Unchecked);
    if (channel > maskChannels)
        item->setFlags(item->flags() & ~(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled));
    return item;
}

void checkEveryChannel(QListWidget* list, Qt::CheckState state)
{
    for (int i = 0; i < list->count(); ++i) {
        QListWidgetItem* item = list->item(i);
        if (item->flags() & Qt::ItemIsUserCheckable)
            item->setCheckState(state);
    }
}

// The rule of both mode buttons, run when one becomes selected: the fixed
// channel list is offered only in fixed mode, the hopping controls only in
// hopping mode; the fixed channel goes back to channel 1.
void followMode(const FrequencyPage::Controls& c, bool fixedSelected)
{
    c.fixedChannel->setEnabled(fixedSelected);
    c.fixedChannel->setCurrentIndex(0);
    const bool hopping = c.hopping->isChecked();
    c.hoppingChannels->setEnabled(hopping);
    c.selectAll->setVisible(hopping);
    c.unselectAll->setVisible(hopping);
    c.hopInterval->setEnabled(hopping);
    c.hopIntervalMs->setEnabled(hopping);
}

// Wide enough for a start frequency of six digits.
constexpr int planFieldWidth = 48;

// The plan group: "Must Setting", then each field under its label, its unit beside it.
QGroupBox* buildPlanGroup(QWidget* sheet, FrequencyPage::Controls& c)
{
    auto* group = named(new QGroupBox(QStringLiteral("Frequency Setting"), sheet), "GroupBox5");
    auto* grid = groupGrid(group, {{4, 4, 4, 4}, 3, 3});
    c.mustSetting = namedCheckBox("CheckBox1", "Must Setting", group);
    c.start = numberField("Edit75", "92000", group, planFieldWidth);
    c.step = numberField("Edit76", "20", group, planFieldWidth);
    c.points = numberField("Edit77", "20", group, planFieldWidth);
    grid->addWidget(c.mustSetting, 0, 0, 1, 2);
    grid->addWidget(tieLabel(namedLabel("Label36", QStringLiteral("Start Freq"), group), c.start), 1, 0, 1, 2);
    grid->addWidget(c.start, 2, 0);
    grid->addWidget(describeUnit(c.start, namedLabel("Label108", QStringLiteral("10kHz"), group)), 2, 1);
    grid->addWidget(tieLabel(namedLabel("Label106", QStringLiteral("Freq Interval"), group), c.step), 3, 0, 1, 2);
    grid->addWidget(c.step, 4, 0);
    grid->addWidget(describeUnit(c.step, namedLabel("Label109", QStringLiteral("10kHz"), group)), 4, 1);
    grid->addWidget(tieLabel(namedLabel("Label107", QStringLiteral("Freq Points"), group), c.points), 5, 0, 1, 2);
    grid->addWidget(c.points, 6, 0);
    grid->setRowStretch(7, 1);

    // The plan fields are offered, in this order, only while "Must Setting" is checked.
    for (QLineEdit* field : {c.start, c.step, c.points}) {
        field->setEnabled(false);
        enableWhileChecked(c.mustSetting, field);
    }
    return group;
}

QGroupBox* buildHoppingGroup(QWidget* sheet, FrequencyPage::Controls& c)
{
    auto* group = named(new QGroupBox(QStringLiteral("Freq-Hopping Setting"), sheet), "GroupBox15");
    auto* grid = groupGrid(group, {{2, 4, 2, 4}, 4, 4});

    c.fixed = namedRadio("RadioButton11", "Fixed", group);
    c.hopping = namedRadio("RadioButton12", "Hopping", group);

    c.fixedChannel = named(new QComboBox(group), "ComboBox13");
    for (int channel = 1; channel <= FrequencyPage::initialChannels; ++channel)
        c.fixedChannel->addItem(FrequencyPage::initialChannelItem(channel));
    c.fixedChannel->setCurrentIndex(-1);   // adding to an empty list selected the first item
    c.fixedChannel->setEnabled(false);
    c.fixedChannel->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    c.fixedChannel->setMinimumContentsLength(15);

    c.hoppingChannels = named(new ColumnCheckList(4, group), "CheckListBox1");
    for (int channel = 1; channel <= FrequencyPage::initialChannels; ++channel)
        addHoppingChannel(c.hoppingChannels, channel);

    auto* menu = named(new QMenu(c.hoppingChannels), "PopupMenu2");
    c.selectAll = named(menu->addAction(QStringLiteral("全选")), "SelectAll");
    c.unselectAll = named(menu->addAction(QStringLiteral("全不选")), "UnselectAll");
    c.hoppingChannels->setContextMenuPolicy(Qt::CustomContextMenu);
    QListWidget* list = c.hoppingChannels;
    QObject::connect(list, &QWidget::customContextMenuRequested, menu, [list, menu](const QPoint& at) {
        // In fixed mode both entries are hidden: the list offers no menu at all.
        for (const QAction* action : menu->actions())
            if (action->isVisible()) {
                menu->popup(list->viewport()->mapToGlobal(at));
                return;
            }
    });
    QObject::connect(c.selectAll, &QAction::triggered, list, [list] { checkEveryChannel(list, Qt::Checked); });
    QObject::connect(c.unselectAll, &QAction::triggered, list, [list] { checkEveryChannel(list, Qt::Unchecked); });

    c.hopInterval = named(new QSlider(Qt::Horizontal, group), "TrackBar14");
    c.hopInterval->setRange(5, 100);
    c.hopInterval->setSingleStep(1);
    c.hopInterval->setTickPosition(QSlider::NoTicks);
    c.hopInterval->setValue(30);
    c.hopIntervalMs = numberField("Edit16", "300", group, 44);
    c.hopIntervalMs->setReadOnly(true);
    c.hopIntervalMs->setEnabled(false);
    fitWidestValue(c.hopIntervalMs, QString::number(c.hopInterval->maximum() * hopIntervalMsPerStep));
    QLineEdit* ms = c.hopIntervalMs;
    QObject::connect(c.hopInterval, &QSlider::valueChanged, ms,
                     [ms](int position) { ms->setText(QString::number(position * hopIntervalMsPerStep)); });

    grid->addWidget(c.fixed, 0, 0);
    grid->addWidget(c.fixedChannel, 0, 1, 1, 3, Qt::AlignLeft);
    grid->addWidget(c.hopping, 1, 0, 1, 4);
    grid->addWidget(c.hoppingChannels, 2, 0, 1, 4);
    grid->addWidget(c.hopInterval, 3, 0, 1, 2);
    grid->addWidget(c.hopIntervalMs, 3, 2);
    grid->addWidget(describeUnit(c.hopIntervalMs, namedLabel("Label48", QStringLiteral("ms"), group)), 3, 3);
    // No label of their own: each is named after the mode it belongs to.
    nameControl(c.fixedChannel, QStringLiteral("Fixed channel"));
    nameControl(c.hoppingChannels, QStringLiteral("Hopping channels"));
    nameControl(c.hopInterval, QStringLiteral("Hopping interval"));
    nameControl(c.hopIntervalMs, QStringLiteral("Hopping interval"));
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);

    const FrequencyPage::Controls* controls = &c;
    QObject::connect(c.fixed, &QRadioButton::toggled, group, [controls](bool on) {
        if (on)
            followMode(*controls, true);
    });
    QObject::connect(c.hopping, &QRadioButton::toggled, group, [controls](bool on) {
        if (on)
            followMode(*controls, false);
    });
    return group;
}

// The channel byte: 0 in hopping mode, else the fixed channel's number. With
// neither mode chosen, or no fixed channel, nobody chose a value: none is written.
StepValue channelModeValue(const FrequencyPage::Controls& c)
{
    if (c.hopping->isChecked())
        return StepValue::byte(0);
    const int position = c.fixedChannel->currentIndex();
    if (!c.fixed->isChecked() || position < 0)
        return StepValue::missing();
    return StepValue::byte(static_cast<uint8_t>(position + 1));
}

} // namespace

QString FrequencyPage::initialChannelItem(int channel)
{
    const double mhz = 902.5 + 0.5 * (channel - 1);
    return QStringLiteral("%1%2%3MHz")
        .arg(channel)
        .arg(channel < 10 ? QStringLiteral("----") : QStringLiteral("---"))
        .arg(mhz, 0, 'f', 1);
}

QString FrequencyPage::channelItem(int channel, qint32 start, qint32 step)
{
    const double mhz = (double(start) + double(step) * (channel - 1)) / 100.0;
    // Shortest form up to 15 significant digits; only the separator is the user's.
    QString frequency = QString::number(mhz, 'g', 15);
    frequency.replace(QLatin1Char('.'), QLocale().decimalPoint());
    return QStringLiteral("%1----%2 MHz").arg(channel).arg(frequency);
}

FrequencyPage::FrequencyPage(QWidget* sheet, PageContext context)
    : StepPage(std::move(context))
{
    // The inner tab area is 420 x 264: the plan group kept narrow, so the four
    // columns of channels get the rest.
    auto* groups = new QHBoxLayout;
    groups->setContentsMargins(2, 2, 2, 2);
    groups->setSpacing(4);
    QGroupBox* plan = buildPlanGroup(sheet, c_);
    plan->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    groups->addWidget(plan);
    groups->addWidget(buildHoppingGroup(sheet, c_), 1);
    placeInSheet(sheet, groups);

    const auto mustSetting = whileChecked(c_.mustSetting);
    QRadioButton* hopping = c_.hopping;
    // The channel lists are rebuilt from the plan each time the number of channels is read.
    Binding pointsBinding = bindingFor(frequencyPoints, c_.points);
    pointsBinding.show = [this, show = pointsBinding.show](const ParaBytes& bytes) {
        show(bytes);
        rebuildChannelLists(int(numberFromBytes(frequencyPoints, bytes)));
    };

    // The plan is written only with "Must Setting"; the hop interval always; the
    // mask in hopping mode only, and read only after the mode read says hopping.
    const ParaRow start = row(startFrequency, c_.start).setupOnlyIf(mustSetting);
    const ParaRow step = row(frequencyInterval, c_.step).setupOnlyIf(mustSetting);
    const ParaRow count = row(frequencyPoints, pointsBinding).setupOnlyIf(mustSetting);
    const ParaRow hopInterval = row(hoppingInterval, c_.hopInterval, QStringLiteral("Setup Freq-Hopping Parameter Failed !"),
                                    QStringLiteral("Query Freq-Hopping Interval Parameter Failed ! !"));
    const ParaRow mask = row(hoppingChannels, c_.hoppingChannels)
                             .setupOnlyIf([hopping] { return hopping->isChecked(); })
                             .queryOnlyIf([this] { return hoppingModeRead_; });
    // The page's own: the channel byte holds the mode and the fixed channel at once.
    const ParaRow mode = row(channelMode, ownBinding(channelMode, ValueKind::Byte,
                                                     {[this] { return channelModeValue(c_); },
                                                      [this](const ParaBytes& bytes) { showMode(bytes.at(0)); }}));

    setup_ = setupRoutine({start, step, count, hopInterval, mask, mode},
                          {QStringLiteral("Setup Frequency Parameter Successfully !"),
                           QStringLiteral("Setup Frequency Parameter Failed !")});
    // The plan first, since the channel lists are rebuilt from it.
    query_ = queryRoutine({start, step, count, hopInterval, mode, mask},
                          {QStringLiteral("Query Frequency Parameter Successfully !"),
                           QStringLiteral("Query Frequency Parameter Failed !")});
    refresh_ = withoutLines(query_);

    // The plan read after a connect only reports which plan parameters the reader does not answer.
    planRead_ = queryRoutine({row(startFrequency, Binding{}, {}, QStringLiteral("Query Start Frequency Parameter Failed !")),
                              row(frequencyInterval, Binding{}, {}, QStringLiteral("Query Frequency Interval Parameter Failed !")),
                              row(frequencyPoints, Binding{}, {}, QStringLiteral("Query Frequency Points Parameter Failed !"))},
                             {});
}

void FrequencyPage::rebuildChannelLists(int channels)
{
    c_.hoppingChannels->clear();
    c_.fixedChannel->clear();
    if (channels == 0)
        return;
    // The plan as the page shows it now. Converted before any item is added,
    // so that a field that holds no number leaves both lists equally long.
    const qint32 start = toInteger(c_.start->text());
    const qint32 step = toInteger(c_.step->text());
    for (int channel = 1; channel <= channels; ++channel) {
        addHoppingChannel(c_.hoppingChannels, channel);
        c_.fixedChannel->addItem(channelItem(channel, start, step));
    }
    // Adding to an empty list selected the first item: no channel is chosen until a read chooses one.
    c_.fixedChannel->setCurrentIndex(-1);
}

void FrequencyPage::showMode(uint8_t mode)
{
    if (mode != 0) {
        c_.fixed->setChecked(true);   // its rule runs if it was not selected
        const int position = mode - 1;
        c_.fixedChannel->setCurrentIndex(position < c_.fixedChannel->count() ? position : -1);
        return;
    }
    c_.hopping->setChecked(true);     // its rule runs if it was not selected,
    followMode(c_, false);            // and once more in any case
    hoppingModeRead_ = true;
}

void FrequencyPage::readBack(const Routine& routine)
{
    hoppingModeRead_ = false;
    runRoutine(context_, routine);
}

void FrequencyPage::query()
{
    readBack(query_);
}

// "Setup Para" brings the channel lists back from the reader after the setup,
// unless the setup stopped on a conversion error (which leaves).
void FrequencyPage::setup()
{
    runRoutine(context_, setup_);
    refreshLists();
}

void FrequencyPage::afterConnect()
{
    refreshLists();
    readPlan();
}

void FrequencyPage::refreshLists()
{
    readBack(refresh_);
}

void FrequencyPage::readPlan()
{
    runRoutine(context_, planRead_);
}
