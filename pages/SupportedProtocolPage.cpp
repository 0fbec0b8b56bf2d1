#include "SupportedProtocolPage.h"

#include "ControlBindings.h"
#include "PageWidgets.h"
#include "ParaTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include <array>

const QStringList SupportedProtocolPage::tidLengthItems = {
    QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"),
};

namespace {

// One bit of the protocol mask and its box; bits 3 and 7 have none and are written 0.
struct ProtocolBit {
    int bit;
    const char* box;
    const char* caption;
};

constexpr std::array<ProtocolBit, 6> protocolBits{{
    {0, "CheckBox23", "ISO18000-6B"},
    {1, "CheckBox24", "EPC Class 1"},
    {2, "CheckBox25", "Gen 2  EPC"},
    {4, "CheckBox35", "Rail Tag"},
    {5, "CheckBox36", "Container Tag"},
    {6, "CheckBox40", "Gen 2  TID"},
}};

constexpr const Para& protocolMask = paraNamed(Page::SupportedProtocol, "protocols");
constexpr const Para& tidLength = paraNamed(Page::SupportedProtocol, "gen2_tid_length");   // the list shows 4 to 7

struct Controls {
    QList<QCheckBox*> maskBits;    // bit n of the mask, nullptr where no box stands
    QComboBox* tidLength = nullptr;
};

Controls buildControls(QWidget* sheet)
{
    Controls c;
    c.maskBits = QList<QCheckBox*>(8, nullptr);

    auto* group = named(new QGroupBox(QStringLiteral("Protocol Selection"), sheet), "GroupBox14");
    auto* grid = groupGrid(group, {{10, 8, 10, 8}, 12, 10});
    int row = 0;
    for (const ProtocolBit& protocol : protocolBits) {
        QCheckBox* box = namedCheckBox(protocol.box, protocol.caption, group);
        c.maskBits[protocol.bit] = box;
        grid->addWidget(box, row++, 0);
    }

    // "Length" stands beside "Gen 2  TID", which it belongs to.
    auto* length = named(new QLabel(QStringLiteral("Length"), group), "Label103");
    length->setEnabled(false);
    c.tidLength = named(new QComboBox(group), "ComboBox27");
    c.tidLength->addItems(SupportedProtocolPage::tidLengthItems);
    c.tidLength->setCurrentIndex(0);
    c.tidLength->setEnabled(false);
    grid->addLayout(fieldRow(length, c.tidLength, nullptr, 0, 6), row - 1, 1);
    grid->setColumnStretch(1, 1);

    // The rule of "Gen 2  TID": the label, then the list, enabled while it is checked.
    QCheckBox* tid = c.maskBits[6];
    enableWhileChecked(tid, length);
    enableWhileChecked(tid, c.tidLength);

    auto* column = new QVBoxLayout;
    column->setContentsMargins(4, 4, 4, 4);
    column->addWidget(group);
    column->addStretch(1);
    placeInSheet(sheet, column);
    return c;
}

} // namespace

SupportedProtocolPage::SupportedProtocolPage(QWidget* sheet, PageContext context)
    : StepPage(std::move(context))
{
    const Controls c = buildControls(sheet);
    // Neither routine has a line of its own per parameter: failures show in the closing line.
    const std::vector<ParaRow> rows{row(protocolMask, c.maskBits), row(tidLength, c.tidLength)};
    setup_ = setupRoutine(rows, {QStringLiteral("Setup Supported Protocol Parameter Successfully !"),
                                 QStringLiteral("Setup Supported Protocol Parameter Failed !")});
    query_ = queryRoutine(rows, {QStringLiteral("Query Supported Protocol Parameter Successfully !"),
                                 QStringLiteral("Query Supported Protocol Parameter Failed !")});
}
