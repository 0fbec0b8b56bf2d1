#include "AntennaPowerPage.h"

#include "ControlBindings.h"
#include "PageWidgets.h"
#include "ParaTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>

#include <array>

// Display texts only, never parsed: their trailing blanks are part of them.
const QStringList AntennaPowerPage::powerItems = {
    QStringLiteral("20 "),   QStringLiteral("21"),   QStringLiteral("22 "),  QStringLiteral("23 "),
    QStringLiteral("24  "),  QStringLiteral("25  "), QStringLiteral("26   "), QStringLiteral("27   "),
    QStringLiteral("27.5"),  QStringLiteral("28  "), QStringLiteral("28.5"), QStringLiteral("29   "),
    QStringLiteral("29.5"),  QStringLiteral("30 "),
};

namespace {

// One power channel: its gate box, its power list and unit label, its parameter.
struct PowerChannel {
    const char* gate;
    const char* caption;
    const char* list;
    const char* unit;
    const Para& power;
    const char* setupFailure;
    const char* queryFailure;
};

constexpr std::array<PowerChannel, 4> powerChannels{{
    {"CheckBox8", "Channel 1", "ComboBox18", "Label19", paraNamed(Page::AntennaPower, "channel1_power"),
     "Setup Channel 1 Power Parameter Failed !", "Query Channel 1 Power Parameter Failed !"},
    {"CheckBox13", "Channel 2", "ComboBox19", "Label26", paraNamed(Page::AntennaPower, "channel2_power"),
     "Setup Channel 2 Power Parameter Failed !", "Query Channel 2 Power Parameter Failed !"},
    {"CheckBox14", "Channel 3", "ComboBox20", "Label27", paraNamed(Page::AntennaPower, "channel3_power"),
     "Setup Channel 3 Power Parameter Failed !", "Query Channel 3 Power Parameter Failed !"},
    {"CheckBox15", "Channel 4", "ComboBox21", "Label28", paraNamed(Page::AntennaPower, "channel4_power"),
     "Setup Channel 4 Power Parameter Failed !", "Query Channel 4 Power Parameter Failed !"},
}};

// One antenna port: bit n - 1 of the work mask (its box) and of the check mask.
struct AntennaPort {
    const char* work;
    const char* workCaption;
    const char* check;
    const char* checkCaption;
};

constexpr std::array<AntennaPort, 4> antennaPorts{{
    {"CheckBox9", "Antenna 1", "CheckBox26", "Check 1"},
    {"CheckBox10", "Antenna 2", "CheckBox27", "Check 2"},
    {"CheckBox11", "Antenna 3", "CheckBox28", "Check 3"},
    {"CheckBox12", "Antenna 4", "CheckBox29", "Check 4"},
}};

constexpr const Para& workAntennas = paraNamed(Page::AntennaPower, "work_antennas");
constexpr const Para& checkedAntennas = paraNamed(Page::AntennaPower, "checked_antennas");
constexpr int initialPowerPosition = 13; // "30 "

// The inner tab area is 420 x 264: margins and spacing kept small so both groups fit side by side.
constexpr GridSpacing groupSpacing{{6, 6, 6, 6}, 4, 8};

struct Controls {
    std::array<QCheckBox*, 4> gates{};
    std::array<QComboBox*, 4> powers{};
    QList<QCheckBox*> work;
    QList<QCheckBox*> check;
};

Controls buildControls(QWidget* sheet)
{
    Controls c;
    auto* power = named(new QGroupBox(QStringLiteral("Power Setting"), sheet), "GroupBox3");
    auto* powerGrid = groupGrid(power, groupSpacing);
    for (int i = 0; i < int(powerChannels.size()); ++i) {
        const PowerChannel& channel = powerChannels[i];
        c.gates[i] = namedCheckBox(channel.gate, channel.caption, power);
        c.powers[i] = named(new QComboBox(power), channel.list);
        c.powers[i]->addItems(AntennaPowerPage::powerItems);
        c.powers[i]->setCurrentIndex(initialPowerPosition);
        c.powers[i]->setEnabled(false);
        // Wide enough for "28.5", not for the trailing blanks: the page has 420 pixels.
        c.powers[i]->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        c.powers[i]->setMinimumContentsLength(4);
        // The list stands beside its channel's gate box, which names it.
        nameControl(c.powers[i], QStringLiteral("%1 power").arg(c.gates[i]->text()));
        auto* unit = describeUnit(c.powers[i], named(new QLabel(QStringLiteral("dBm"), power), channel.unit));
        powerGrid->addWidget(c.gates[i], i, 0);
        powerGrid->addWidget(c.powers[i], i, 1);
        powerGrid->addWidget(unit, i, 2);
        enableWhileChecked(c.gates[i], c.powers[i]);
    }

    auto* antenna = named(new QGroupBox(QStringLiteral("Antenna Setting"), sheet), "GroupBox16");
    auto* antennaGrid = groupGrid(antenna, groupSpacing);
    for (int i = 0; i < int(antennaPorts.size()); ++i) {
        const AntennaPort& port = antennaPorts[i];
        QCheckBox* work = namedCheckBox(port.work, port.workCaption, antenna);
        QCheckBox* check = namedCheckBox(port.check, port.checkCaption, antenna);
        check->setEnabled(false);
        antennaGrid->addWidget(work, i, 0);
        antennaGrid->addWidget(check, i, 1);
        // Disabling a check box greys it only: it keeps its state and is still written.
        enableWhileChecked(work, check);
        c.work.append(work);
        c.check.append(check);
    }

    auto* row = new QHBoxLayout;
    row->addWidget(power, 3);
    row->addWidget(antenna, 2);
    auto* column = new QVBoxLayout;
    column->setContentsMargins(4, 4, 4, 4);
    column->addLayout(row);
    column->addStretch(1);
    placeInSheet(sheet, column);
    return c;
}

} // namespace

AntennaPowerPage::AntennaPowerPage(QWidget* sheet, PageContext context)
    : StepPage(std::move(context))
{
    const Controls c = buildControls(sheet);

    // A channel's power is written only while its gate box is checked, and read
    // whatever it shows (the gate boxes stay as they are); both masks always.
    std::vector<ParaRow> rows;
    for (int i = 0; i < int(powerChannels.size()); ++i) {
        const PowerChannel& channel = powerChannels[i];
        rows.push_back(row(channel.power, c.powers[i], QString::fromLatin1(channel.setupFailure),
                           QString::fromLatin1(channel.queryFailure))
                           .setupOnlyIf(whileChecked(c.gates[i])));
    }
    rows.push_back(row(workAntennas, c.work, QStringLiteral("Setup Work Antenna Parameter Failed !"),
                       QStringLiteral("Query Work Antenna Parameter Failed !")));
    rows.push_back(row(checkedAntennas, c.check, QStringLiteral("Setup Antenna Check Parameter Failed !"),
                       QStringLiteral("Query Antenna Check Parameter Failed !")));

    setup_ = setupRoutine(rows, {QStringLiteral("Setup Power And Antenna Parameter Successfully !"),
                                 QStringLiteral("Setup Power And Antenna Parameter Failed !")});
    query_ = queryRoutine(rows, {QStringLiteral("Query Power and Antenna Parameter Successfully !"),
                                 QStringLiteral("Query Power and Antenna Parameter Failed !")});
}
