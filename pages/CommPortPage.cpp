#include "CommPortPage.h"

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

const QStringList CommPortPage::rs485BaudRateItems = {
    QStringLiteral("9600bps"), QStringLiteral("19200bps"), QStringLiteral("38400bps"),
    QStringLiteral("57600bps"), QStringLiteral("115200bps"),
};
const QStringList CommPortPage::wiegandItems = {QStringLiteral("Wiegand 26"), QStringLiteral("Wiegand 34")};
const QStringList CommPortPage::intervalItems = {
    QStringLiteral("100ms"), QStringLiteral("200ms"), QStringLiteral("300ms"), QStringLiteral("400ms"),
    QStringLiteral("500ms"), QStringLiteral("600ms"), QStringLiteral("700ms"), QStringLiteral("800ms"),
    QStringLiteral("900ms"), QStringLiteral("1000ms"),
};

namespace {

constexpr const Para& connectionMode = paraNamed(Page::CommunicationPort, "connection_mode");
constexpr const Para& dhcp = paraNamed(Page::CommunicationPort, "dhcp");
constexpr const Para& macAddress = paraNamed(Page::CommunicationPort, "mac_address");
constexpr const Para& ipAddress = paraNamed(Page::CommunicationPort, "ip_address");
constexpr const Para& subnetMask = paraNamed(Page::CommunicationPort, "subnet_mask");
constexpr const Para& gateway = paraNamed(Page::CommunicationPort, "gateway");
constexpr const Para& port = paraNamed(Page::CommunicationPort, "port");
constexpr const Para& serverIpAddress = paraNamed(Page::CommunicationPort, "server_ip_address");
constexpr const Para& serverPort = paraNamed(Page::CommunicationPort, "server_port");
constexpr const Para& readerNumberPara = paraNamed(Page::CommunicationPort, "reader_number");
constexpr const Para& rs485BaudRate = paraNamed(Page::CommunicationPort, "rs485_baud_rate");
constexpr const Para& rs485Protocol = paraNamed(Page::CommunicationPort, "rs485_protocol");
constexpr const Para& ackTransfer = paraNamed(Page::CommunicationPort, "ack_transfer");
constexpr const Para& rs485TransferMode = paraNamed(Page::CommunicationPort, "rs485_transfer_mode");
constexpr const Para& wiegandProtocol = paraNamed(Page::CommunicationPort, "wiegand_protocol");
constexpr const Para& wiegandPulseWidth = paraNamed(Page::CommunicationPort, "wiegand_pulse_width");
constexpr const Para& wiegandPulsePeriod = paraNamed(Page::CommunicationPort, "wiegand_pulse_period");
constexpr const Para& wiegandInterval = paraNamed(Page::CommunicationPort, "wiegand_interval");
constexpr const Para& idBuffered = paraNamed(Page::CommunicationPort, "id_buffered");

constexpr int initialInterval = 9; // "1000ms"

// A four-byte address: its label and its fields left to right, byte i in field i.
struct AddressRow {
    const char* label;   // designer name, nullptr where the label has none
    const char* caption;
    std::array<const char*, 4> fields;
    std::array<const char*, 4> defaults;
};

const AddressRow ipRow{"Label33", "IP Address", {"Edit98", "Edit99", "Edit100", "Edit101"}, {"192", "168", "0", "178"}};
const AddressRow subnetRow{"Label49", "Subnet", {"Edit102", "Edit103", "Edit104", "Edit105"}, {"255", "255", "255", "0"}};
const AddressRow gatewayRow{nullptr, "Gateway", {"Edit106", "Edit107", "Edit108", "Edit109"}, {"192", "168", "0", "254"}};
// The server's fields are not numbered in screen order.
const AddressRow serverIpRow{"Label117", "IP Address", {"Edit112", "Edit111", "Edit110", "Edit113"}, {"192", "168", "0", "1"}};

constexpr std::array<const char*, 6> macFields{"Edit115", "Edit116", "Edit117", "Edit118", "Edit119", "Edit120"};

struct Controls {
    QCheckBox* dhcp = nullptr;
    QLineEdit* port = nullptr;
    QList<QLineEdit*> ip, subnet, gateway, mac;
    QList<QWidget*> dhcpLocked;      // what DHCP greys out: the IP address and subnet rows
    QCheckBox* clientMode = nullptr;
    QLineEdit* serverPort = nullptr;
    QList<QLineEdit*> serverIp;
    QList<QWidget*> clientOnly;      // what only client mode enables: the server rows
    QComboBox* baudRate = nullptr;
    QLineEdit* readerNumber = nullptr;
    QCheckBox* idBuffered = nullptr;
    QCheckBox* ackTransfer = nullptr;
    QRadioButton* active = nullptr;
    QRadioButton* passive = nullptr;
    QComboBox* wiegandProtocol = nullptr;
    QComboBox* wiegandInterval = nullptr;
    QLineEdit* pulseWidth = nullptr;
    QLineEdit* pulsePeriod = nullptr;
};

// ---- Building the controls -------------------------------------------------

// Fields just wide enough for their values: a byte's three digits, a port's
// five, a MAC byte's two hexadecimal ones.
constexpr int byteFieldWidth = 31;
constexpr int portFieldWidth = 45;
constexpr int macFieldWidth = 26;

constexpr GridSpacing groupSpacing{{4, 2, 4, 3}, 4, 3};

// Fields that together hold one value under one label, which stands for the
// first: each is named "<label>, octet n".
void nameOctets(QLabel* label, const QList<QLineEdit*>& octets)
{
    tieLabel(label, octets.front());
    for (int i = 0; i < octets.size(); ++i)
        nameControl(octets[i], QStringLiteral("%1, octet %2").arg(label->text()).arg(i + 1));
}

// Puts row's label in column 0 and its four fields side by side in column 1.
QList<QLineEdit*> addAddressRow(QGroupBox* group, QGridLayout* grid, int row, const AddressRow& address,
                                QLabel** labelOut)
{
    QLabel* caption = namedLabel(address.label, QString::fromLatin1(address.caption), group);
    auto* fields = new QHBoxLayout;
    fields->setSpacing(2);
    QList<QLineEdit*> edits;
    for (int i = 0; i < 4; ++i) {
        edits.append(numberField(address.fields[i], address.defaults[i], group, byteFieldWidth));
        fields->addWidget(edits.last());
    }
    nameOctets(caption, edits);
    fields->addStretch(1);
    grid->addWidget(caption, row, 0);
    grid->addLayout(fields, row, 1);
    if (labelOut)
        *labelOut = caption;
    return edits;
}

// A check box on the left, "Port Num" and its port field on the right, in one row.
QHBoxLayout* checkAndPortRow(QCheckBox* box, QLabel* portLabel, QLineEdit* port)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    row->addWidget(box);
    row->addStretch(1);
    row->addWidget(portLabel);
    row->addWidget(port);
    return row;
}

QGroupBox* buildTcpIp(QWidget* parent, Controls& c)
{
    auto* group = named(new QGroupBox(QStringLiteral("TCP/IP "), parent), "GroupBox19");
    QGridLayout* grid = groupGrid(group, groupSpacing);

    c.dhcp = namedCheckBox("CheckBox3", "DHCP Enable", group);
    c.port = numberField("Edit97", "4001", group, portFieldWidth);
    QLabel* portLabel = captionOf(c.port, "Port Num");
    grid->addLayout(checkAndPortRow(c.dhcp, portLabel, c.port), 0, 0, 1, 2);

    QLabel* ipLabel = nullptr;
    QLabel* subnetLabel = nullptr;
    c.ip = addAddressRow(group, grid, 1, ipRow, &ipLabel);
    c.subnet = addAddressRow(group, grid, 2, subnetRow, &subnetLabel);
    c.gateway = addAddressRow(group, grid, 3, gatewayRow, nullptr);
    c.dhcpLocked << ipLabel;
    for (QLineEdit* edit : c.ip)
        c.dhcpLocked << edit;
    c.dhcpLocked << subnetLabel;
    for (QLineEdit* edit : c.subnet)
        c.dhcpLocked << edit;

    // The MAC fields under their label, so the six of them need no wider a group.
    auto* macRow = new QHBoxLayout;
    macRow->setSpacing(2);
    for (const char* name : macFields) {
        c.mac.append(numberField(name, "FF", group, macFieldWidth));
        macRow->addWidget(c.mac.last());
    }
    macRow->addStretch(1);
    QLabel* macLabel = namedLabel(nullptr, QStringLiteral("MAC Addr"), group);
    nameOctets(macLabel, c.mac);
    grid->addWidget(macLabel, 4, 0);
    grid->addLayout(macRow, 5, 0, 1, 2);

    auto* separator = new QFrame(group);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    grid->addWidget(separator, 6, 0, 1, 2);

    c.clientMode = namedCheckBox("CheckBox2", "Client Mode", group);
    c.serverPort = numberField("Edit114", "10000", group, portFieldWidth);
    QLabel* serverPortLabel = tieLabel(namedLabel("Label118", QStringLiteral("Port Num"), group), c.serverPort);
    grid->addLayout(checkAndPortRow(c.clientMode, serverPortLabel, c.serverPort), 7, 0, 1, 2);
    QLabel* serverIpLabel = nullptr;
    c.serverIp = addAddressRow(group, grid, 8, serverIpRow, &serverIpLabel);
    c.clientOnly << serverPortLabel << serverIpLabel << c.serverPort;
    for (QLineEdit* edit : c.serverIp)
        c.clientOnly << edit;
    for (QWidget* widget : c.clientOnly)
        widget->setEnabled(false);

    grid->setRowStretch(9, 1);
    return group;
}

QComboBox* list(QWidget* parent, const char* name, const QStringList& items, int current)
{
    auto* box = named(new QComboBox(parent), name);
    box->addItems(items);
    box->setCurrentIndex(current);
    return box;
}

QGroupBox* buildRs485(QWidget* parent, Controls& c)
{
    auto* group = named(new QGroupBox(QStringLiteral("RS-485 Parameter"), parent), "GroupBox8");
    QGridLayout* grid = groupGrid(group, groupSpacing);

    c.baudRate = list(group, "ComboBox12", CommPortPage::rs485BaudRateItems, 0);
    grid->addWidget(captionOf(c.baudRate, "Baud Rate"), 0, 0);
    grid->addWidget(c.baudRate, 0, 1);
    c.readerNumber = numberField("Edit3", "0", group, byteFieldWidth);
    grid->addWidget(captionOf(c.readerNumber, "Reader Num"), 1, 0);
    grid->addWidget(c.readerNumber, 1, 1, Qt::AlignLeft);

    c.idBuffered = namedCheckBox("CheckBox5", "ID Buffered", group);
    c.idBuffered->setChecked(true);
    c.ackTransfer = namedCheckBox("CheckBox6", "Ack Tranfer", group);
    c.ackTransfer->setEnabled(false);
    grid->addWidget(c.idBuffered, 2, 0);
    grid->addWidget(c.ackTransfer, 2, 1);

    // One exclusive pair: the two are the group's only radio buttons.
    c.active = namedRadio("RadioButton7", "Active", group);
    c.passive = namedRadio("RadioButton8", "Passive", group);
    c.passive->setChecked(true);
    grid->addWidget(c.active, 3, 0);
    grid->addWidget(c.passive, 3, 1);
    grid->setColumnStretch(2, 1);
    return group;
}

QGroupBox* buildWiegand(QWidget* parent, Controls& c)
{
    auto* group = named(new QGroupBox(QStringLiteral("Wiegand Parameter"), parent), "GroupBox7");
    QGridLayout* grid = groupGrid(group, groupSpacing);

    c.wiegandProtocol = list(group, "ComboBox11", CommPortPage::wiegandItems, 0);
    grid->addWidget(captionOf(c.wiegandProtocol, "Protocol"), 0, 0);
    grid->addWidget(c.wiegandProtocol, 0, 1, 1, 2);
    c.wiegandInterval = list(group, "ComboBox9", CommPortPage::intervalItems, initialInterval);
    grid->addWidget(captionOf(c.wiegandInterval, "Interval"), 1, 0);
    grid->addWidget(c.wiegandInterval, 1, 1, 1, 2);

    c.pulseWidth = numberField("Edit1", "8", group, byteFieldWidth);
    grid->addWidget(captionOf(c.pulseWidth, "Pulse Width"), 2, 0);
    grid->addWidget(c.pulseWidth, 2, 1);
    grid->addWidget(describeUnit(c.pulseWidth, namedLabel(nullptr, QStringLiteral("X10us"), group)), 2, 2);
    c.pulsePeriod = numberField("Edit2", "12", group, byteFieldWidth);
    grid->addWidget(captionOf(c.pulsePeriod, "Pulse Period"), 3, 0);
    grid->addWidget(c.pulsePeriod, 3, 1);
    grid->addWidget(describeUnit(c.pulsePeriod, namedLabel(nullptr, QStringLiteral("X100us"), group)), 3, 2);
    grid->setColumnStretch(3, 1);
    return group;
}

Controls buildControls(QWidget* sheet)
{
    Controls c;
    auto* panel = named(new QFrame(sheet), "Panel11");
    panel->setFrameShape(QFrame::StyledPanel);

    // Built in the order Tab visits them: TCP/IP on the left, then the column on the right.
    QGroupBox* tcpIp = buildTcpIp(panel, c);
    auto* right = new QVBoxLayout;
    right->setSpacing(4);
    right->addWidget(buildRs485(panel, c));
    right->addWidget(buildWiegand(panel, c));
    right->addStretch(1);
    auto* groups = new QHBoxLayout(panel);
    groups->setContentsMargins(2, 2, 2, 2);
    groups->setSpacing(3);
    groups->addWidget(tcpIp);
    groups->addLayout(right);

    // The outer tab's buttons stand in front of the sheet from x = 442: the panel
    // keeps to its left by taking no more than its content needs.
    auto* row = new QHBoxLayout;
    row->addWidget(panel);
    row->addStretch(1);
    auto* column = new QVBoxLayout;
    column->setContentsMargins(3, 3, 3, 3);
    column->addLayout(row);
    column->addStretch(1);
    placeInSheet(sheet, column);
    return c;
}

} // namespace

CommPortPage::CommPortPage(QWidget* sheet, PageContext context)
    : StepPage(std::move(context))
{
    const Controls c = buildControls(sheet);

    // DHCP brings its own address and subnet: their rows are greyed while it is on.
    for (QWidget* widget : c.dhcpLocked)
        QObject::connect(c.dhcp, &QCheckBox::toggled, widget, [widget](bool on) { widget->setEnabled(!on); });
    for (QWidget* widget : c.clientOnly)
        enableWhileChecked(c.clientMode, widget);

    // "Ack Tranfer" applies only to buffered IDs sent actively; its own state is kept.
    QCheckBox* ack = c.ackTransfer;
    QCheckBox* buffered = c.idBuffered;
    QRadioButton* active = c.active;
    const std::function<bool()> ackApplies = [buffered, active] { return buffered->isChecked() && active->isChecked(); };
    const std::function<void()> enableAckTransfer = [ack, ackApplies] { ack->setEnabled(ackApplies()); };
    QObject::connect(c.idBuffered, &QCheckBox::toggled, ack, enableAckTransfer);
    for (QRadioButton* button : {c.active, c.passive})
        QObject::connect(button, &QRadioButton::toggled, ack, [enableAckTransfer](bool selected) {
            if (selected)
                enableAckTransfer();
        });

    const RadioSet transferMode({c.passive, c.active});
    const auto clientMode = whileChecked(c.clientMode);
    // Both routines take the parameters in one order; the server's only in client mode,
    // as "Client Mode" shows when the step comes (after the query has read it).
    const std::vector<ParaRow> rows{
        row(dhcp, c.dhcp, QStringLiteral("Setup DHCP Parameter Failed !"), QStringLiteral("Query DHCP Parameter Failed !")),
        row(port, c.port, QStringLiteral("Setup Port Number Parameter Failed !"),
            QStringLiteral("Query Port Number Parameter Failed !")),
        row(macAddress, c.mac, QStringLiteral("Setup MAC Address Parameter Failed !"),
            QStringLiteral("Query MAC Address Parameter Failed !")),
        row(ipAddress, c.ip, QStringLiteral("Setup IP Address Parameter Failed !"),
            QStringLiteral("Query IP Address Parameter Failed !")),
        row(subnetMask, c.subnet, QStringLiteral("Setup Subnet Mask Parameter Failed !"),
            QStringLiteral("Query Subnet Mask Parameter Failed !")),
        row(gateway, c.gateway, QStringLiteral("Setup Default Gateway Parameter Failed !"),
            QStringLiteral("Query Default Gateway Parameter Failed !")),
        // Read before the server's port and address: its rule unlocks or locks their fields first.
        // The reader tells client mode by bit 0 alone.
        row(connectionMode, twoSettings(c.clientMode, SecondSetting::WhenBitZero),
            QStringLiteral("Setup Client Mode Parameter Failed !"), QStringLiteral("Query Client Mode Parameter Failed !")),
        row(serverPort, c.serverPort, QStringLiteral("Setup Client Port Number Parameter Failed !"),
            QStringLiteral("Query Port Number Parameter Failed !"))
            .onlyIf(clientMode),
        row(serverIpAddress, c.serverIp, QStringLiteral("Setup IP Address Parameter Failed !"),
            QStringLiteral("Query IP Address Parameter Failed !"))
            .onlyIf(clientMode),
        // One list for both protocols: the RS-485 protocol is coded as the
        // Wiegand protocol is, shown from 132 first, then replaced by 135.
        row(rs485Protocol, bindingFor(wiegandProtocol, c.wiegandProtocol), QStringLiteral("Setup RS-485 Parameter Failed !"),
            QStringLiteral("Query RS-485 Protocol Parameter Failed !")),
        row(rs485BaudRate, c.baudRate, QStringLiteral("Setup RS-485 Baud Rate Parameter Failed !"),
            QStringLiteral("Query RS-485 Baud Rate Parameter Failed !")),
        row(readerNumberPara, c.readerNumber, QStringLiteral("Setup Reader Number Parameter Failed !"),
            QStringLiteral("Query Reader Number Parameter Failed !")),
        // The ack rule runs once more after each of these two reads, changed or not.
        row(idBuffered, thenRun(bindingFor(idBuffered, c.idBuffered), enableAckTransfer),
            QStringLiteral("Setup ID Buffered Parameter Failed !"), QStringLiteral("Query ID Buffered Parameter Failed !")),
        row(rs485TransferMode, thenRun(bindingFor(rs485TransferMode, transferMode), enableAckTransfer),
            QStringLiteral("Setup RS-485 Tranfer Mode Parameter Failed !"),
            QStringLiteral("Query RS-485 Transfer Mode Parameter Failed !")),
        // Ack transfer is on only where it applies, whatever "Ack Tranfer" itself shows.
        row(ackTransfer, OnlyWhile{c.ackTransfer, ackApplies}, QStringLiteral("Setup Ack Transfer Parameter Failed !"),
            QStringLiteral("Query Ack Transfer Parameter Failed !")),
        row(wiegandProtocol, c.wiegandProtocol, QStringLiteral("Setup Wiegand Protocol Parameter Failed !"),
            QStringLiteral("Query Wiegand Protocol Parameter Failed !")),
        row(wiegandInterval, c.wiegandInterval, QStringLiteral("Setup Wiegand Interval Parameter Failed !"),
            QStringLiteral("Query Wiegand Interval Parameter Failed !")),
        row(wiegandPulseWidth, c.pulseWidth, QStringLiteral("Setup Wiegand Pulse Width Parameter Failed !"),
            QStringLiteral("Query Wiegand Pulse Width Parameter Failed !")),
        row(wiegandPulsePeriod, c.pulsePeriod, QStringLiteral("Setup Wiegand Pulse Period Parameter Failed !"),
            QStringLiteral("Query Wiegand Pulse Period Parameter Failed !")),
    };
    setup_ = setupRoutine(rows, {QStringLiteral("Setup Communication Parameter Successfully !"),
                                 QStringLiteral("Setup Communication Parameter Failed !")});
    query_ = queryRoutine(rows, {QStringLiteral("Query Communication Parameter Successfully !"),
                                 QStringLiteral("Query Communication Parameter Failed !")});
}
