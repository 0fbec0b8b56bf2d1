#include "IoPage.h"

#include "ControlBindings.h"
#include "PageWidgets.h"
#include "ParaTable.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <array>

namespace {

constexpr const Para& buzzer = paraNamed(Page::IoParameter, "buzzer");
constexpr const Para& matchCheckInterval = paraNamed(Page::IoParameter, "id_match_check_interval");
constexpr const Para& idMatch = paraNamed(Page::IoParameter, "id_match");
constexpr const Para& relayAutoOn = paraNamed(Page::IoParameter, "relay_auto_on");
constexpr const Para& relayAutoOff = paraNamed(Page::IoParameter, "relay_auto_off");

// One relay of "Relay Parameter": bit n - 1 of the auto-on and auto-off masks,
// and its delay time, whose parameter and field numbers do not follow the relay's.
struct Relay {
    const char* autoOn;
    const char* autoOff;
    const char* delayLabel;
    const char* delay;
    const char* unit;
    const Para& delayTime;
    const char* setupFailure;
    const char* queryFailure;
};

constexpr std::array<Relay, 4> relays{{
    {"CheckBox49", "CheckBox48", "Label123", "Edit82", "Label125", paraNamed(Page::IoParameter, "relay1_delay"),
     "Setup Relay 1 Delay Time Parameter Failed !", "Query Relay 1 Delay Time Parameter Failed !"},
    {"CheckBox51", "CheckBox50", "Label124", "Edit83", "Label126", paraNamed(Page::IoParameter, "relay2_delay"),
     "Setup Relay 2 Delay Time Parameter Failed !", "Query Relay 2 Delay Time Parameter Failed !"},
    {"CheckBox52", "CheckBox57", "Label121", "Edit81", "Label122", paraNamed(Page::IoParameter, "relay3_delay"),
     "Setup Relay 3 Delay Time Parameter Failed !", "Query Relay 3 Delay Time Parameter Failed !"},
    {"CheckBox58", "CheckBox59", "Label127", "Edit84", "Label128", paraNamed(Page::IoParameter, "relay4_delay"),
     "Setup Relay 4 Delay Time Parameter Failed !", "Query Relay 4 Delay Time Parameter Failed !"},
}};

// The relays the ID match output switches on: bits 4 to 7 of the ID match byte.
constexpr std::array<const char*, 4> matchRelayNames{"CheckBox53", "CheckBox54", "CheckBox60", "CheckBox61"};

// The ID match byte.
constexpr uint8_t matchEnableBit = 0x01;
constexpr uint8_t dismatchEnableBit = 0x02;
constexpr uint8_t continueBit = 0x04;
constexpr uint8_t onceBit = 0x08;
constexpr int firstMatchRelayBit = 4;

constexpr int delayFieldCharacters = 3;

struct IdMatchControls {
    QCheckBox* match = nullptr;
    QCheckBox* dismatch = nullptr;
    QLineEdit* interval = nullptr;
    std::array<QCheckBox*, 4> relays{};
    QRadioButton* continuing = nullptr;
    QRadioButton* once = nullptr;
    QList<QWidget*> dismatchOnly;     // usable only under "ID Dismatch Enable"
};

struct Controls {
    QList<QCheckBox*> autoOn;
    QList<QCheckBox*> autoOff;
    std::array<QLineEdit*, 4> delays{};
    QCheckBox* beep = nullptr;
    IdMatchControls id;
};

// Room for a delay or an interval of three digits.
constexpr int secondsFieldWidth = 40;

// Twelve rows of relays must fit the sheet's height: no room between rows.
constexpr GridSpacing tightSpacing{{6, 2, 6, 2}, 6, 0};

// A row of label, field and unit stands indented under the box it belongs to.
constexpr int rowIndent = 16;
constexpr int rowSpacing = 4;

QGroupBox* buildRelayGroup(Controls& c, QWidget* parent)
{
    auto* group = named(new QGroupBox(QStringLiteral("Relay Parameter"), parent), "GroupBox21");
    auto* grid = groupGrid(group, tightSpacing);
    for (int i = 0; i < int(relays.size()); ++i) {
        const Relay& relay = relays[i];
        const QString number = QString::number(i + 1);
        auto* autoOn = named(new QCheckBox(QStringLiteral("Relay %1 Auto On").arg(number), group), relay.autoOn);
        auto* autoOff = named(new QCheckBox(QStringLiteral("Relay %1 Auto Delay Off").arg(number), group), relay.autoOff);
        auto* label = namedLabel(relay.delayLabel, QStringLiteral("Delay Time"), group, false);
        c.delays[i] = numberField(relay.delay, "20", group, secondsFieldWidth);
        c.delays[i]->setEnabled(false);
        c.delays[i]->setMaxLength(delayFieldCharacters);
        auto* unit = namedLabel(relay.unit, QStringLiteral("S"), group, false);
        grid->addWidget(autoOn, 3 * i, 0);
        grid->addWidget(autoOff, 3 * i + 1, 0);
        grid->addLayout(fieldRow(label, c.delays[i], unit, rowIndent, rowSpacing), 3 * i + 2, 0);
        // Rules R1 to R4: a relay's delay time is usable only while it switches off by itself.
        for (QWidget* w : QList<QWidget*>{label, c.delays[i], unit})
            enableWhileChecked(autoOff, w);
        c.autoOn.append(autoOn);
        c.autoOff.append(autoOff);
    }
    grid->setRowStretch(12, 1);
    return group;
}

// Rule D: the interval, the relays and "Continue"/"Once" of the group are
// usable only under "ID Dismatch Enable".
void applyDismatchRule(const IdMatchControls& id)
{
    for (QWidget* w : id.dismatchOnly)
        w->setEnabled(id.dismatch->isChecked());
}

// "ID Match Enable" and "ID Dismatch Enable" exclude each other; both may be clear.
void connectIdRules(const IdMatchControls& id)
{
    QObject::connect(id.dismatch, &QCheckBox::toggled, id.dismatch, [id](bool checked) {
        if (checked)
            id.match->setChecked(false);
        applyDismatchRule(id);
    });
    // Rule M: clearing "ID Match Enable" changes nothing else.
    QObject::connect(id.match, &QCheckBox::toggled, id.match, [id](bool checked) {
        if (!checked)
            return;
        id.dismatch->setChecked(false);
        applyDismatchRule(id);
    });
}

QGroupBox* buildIdMatchGroup(IdMatchControls& id, QWidget* parent)
{
    auto* group = named(new QGroupBox(QStringLiteral("ID Match/Dismatch"), parent), "GroupBox23");
    auto* grid = groupGrid(group, tightSpacing);
    id.match = namedCheckBox("CheckBox55", "ID Match Enable", group);
    id.dismatch = namedCheckBox("CheckBox56", "ID Dismatch Enable", group);
    grid->addWidget(id.match, 0, 0, 1, 2);
    grid->addWidget(id.dismatch, 1, 0, 1, 2);

    auto* label = namedLabel("Label130", QStringLiteral("Check Interval"), group, false);
    id.interval = numberField("Edit86", "10", group, secondsFieldWidth);
    id.interval->setEnabled(false);
    auto* unit = namedLabel("Label131", QStringLiteral("秒"), group, false);
    grid->addLayout(fieldRow(label, id.interval, unit, rowIndent, rowSpacing), 2, 0, 1, 2);
    id.dismatchOnly = {label, id.interval, unit};

    for (int i = 0; i < int(matchRelayNames.size()); ++i) {
        id.relays[i] = named(new QCheckBox(QStringLiteral("Relay %1 Auto On").arg(i + 1), group), matchRelayNames[i]);
        grid->addWidget(id.relays[i], 3 + i, 0, 1, 2);
        id.dismatchOnly.append(id.relays[i]);
    }
    id.continuing = namedRadio("RadioButton14", "Continue", group);
    id.continuing->setChecked(true);
    id.once = namedRadio("RadioButton15", "Once", group);
    grid->addWidget(id.continuing, 7, 0);
    grid->addWidget(id.once, 7, 1);
    id.dismatchOnly << id.continuing << id.once;
    grid->setRowStretch(8, 1);

    applyDismatchRule(id);
    connectIdRules(id);
    return group;
}

Controls buildControls(QWidget* sheet)
{
    Controls c;
    auto* panel = named(new QFrame(sheet), "Panel12");
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addWidget(buildRelayGroup(c, panel));

    auto* right = new QVBoxLayout;
    right->setSpacing(4);
    auto* buzzer = named(new QGroupBox(QStringLiteral("Buzzer"), panel), "GroupBox18");
    auto* buzzerGrid = groupGrid(buzzer, tightSpacing);
    c.beep = namedCheckBox("CheckBox39", "Beep", buzzer);
    buzzerGrid->addWidget(c.beep, 0, 0);
    right->addWidget(buzzer);
    right->addWidget(buildIdMatchGroup(c.id, panel), 1);
    row->addLayout(right);

    // "Query Para", "Setup Para" and "Quit" stand in front of the sheet's right part.
    auto* outer = new QHBoxLayout;
    outer->setContentsMargins(6, 2, 6, 2);
    outer->addWidget(panel);
    outer->addStretch(1);
    placeInSheet(sheet, outer);
    return c;
}

// The ID match byte. "ID Match Enable" alone gives bit 0. "ID Dismatch Enable"
// (which wins should both be checked) gives bit 1 with the group's relays in
// bits 4 to 7 and "Continue" (bit 2) or else "Once" (bit 3). A byte read sets
// every box from its own bit, the match box first, so that with both bits set
// the dismatch box clears it; bit 3 is not read: "Once" is the other of "Continue".
// The page's own: the mask's bits are not independent, dismatch clears match.
Binding idMatchBinding(const IdMatchControls& id)
{
    const RadioSet modes({id.continuing, id.once});
    return ownBinding(idMatch, ValueKind::Mask, {
        [id] {
            uint8_t byte = 0;
            if (id.match->isChecked())
                byte = matchEnableBit;
            if (id.dismatch->isChecked()) {
                byte = dismatchEnableBit;
                for (int i = 0; i < int(id.relays.size()); ++i)
                    if (id.relays[i]->isChecked())
                        byte |= uint8_t(1u << (firstMatchRelayBit + i));
                byte |= id.continuing->isChecked() ? continueBit : onceBit;
            }
            return StepValue::byte(byte);
        },
        [id, modes](const ParaBytes& bytes) {
            const uint8_t byte = bytes.at(0);
            id.match->setChecked(byte & matchEnableBit);
            id.dismatch->setChecked(byte & dismatchEnableBit);
            for (int i = 0; i < int(id.relays.size()); ++i)
                id.relays[i]->setChecked((byte >> (firstMatchRelayBit + i)) & 1u);
            modes.select(byte & continueBit ? 0 : 1);
        },
    });
}

} // namespace

IoPage::IoPage(QWidget* sheet, PageContext context)
    : StepPage(std::move(context))
{
    const Controls c = buildControls(sheet);
    const ParaRow beep = row(buzzer, c.beep, QStringLiteral("Setup Buzzer Parameter Failed !"),
                             QStringLiteral("Query Buzzer Parameter Failed !"));
    // The failure lines are the ones the reader's operators know, spelling and blanks included.
    const ParaRow autoOn = row(relayAutoOn, c.autoOn, QStringLiteral("Setup Relay Auto On Parameter Failed ! "),
                               QStringLiteral("Query Relay Auoto On Parameter Failed ! "));
    const ParaRow autoOff = row(relayAutoOff, c.autoOff, QStringLiteral("Setup Relay Auto Off Parameter Failed ! "),
                                QStringLiteral("Query Relay Auoto Off Parameter Failed ! "));
    std::vector<ParaRow> delays;
    for (int i = 0; i < int(relays.size()); ++i)
        delays.push_back(row(relays[i].delayTime, c.delays[i], QString::fromLatin1(relays[i].setupFailure),
                             QString::fromLatin1(relays[i].queryFailure)));
    const ParaRow match = row(idMatch, idMatchBinding(c.id), QStringLiteral("Setup ID Match Parameter Failed !"),
                              QStringLiteral("Query ID Match Parameter Failed !"));
    const ParaRow checkInterval = row(matchCheckInterval, c.id.interval,
                                      QStringLiteral("Setup ID Match Check Time Parameter Failed !"),
                                      QStringLiteral("Query ID Match Check Time Parameter Failed !"));

    // Setup writes every value, whatever the enabled states show; the query
    // reads the check interval before the ID match byte.
    setup_ = setupRoutine({beep, autoOn, autoOff, delays[0], delays[1], delays[2], delays[3], match, checkInterval},
                          {QStringLiteral("Setup I/O Parameter Successfully !"), QStringLiteral("Setup I/O Parameter Failed !")});
    query_ = queryRoutine({beep, autoOn, autoOff, delays[0], delays[1], delays[2], delays[3], checkInterval, match},
                          {QStringLiteral("Query I/O Parameter Successfully !"), QStringLiteral("Query I/O Parameter Failed !")});
}
