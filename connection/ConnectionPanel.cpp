#include "ConnectionPanel.h"

#include "AccessibleNames.h"
#include "CaptionFit.h"
#include "LinkChoice.h"
#include "NamedWidgets.h"
#include "Reader.h"
#include "ReaderOperation.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <array>

namespace {

const QString kTcpIpItem = QStringLiteral("TCP/IP");
constexpr int kArbitraryItem = 0;

// The group's size in the window; its controls are placed by hand within it.
constexpr QSize kGroupSize{165, 155};
// Heights of one-line fields and of buttons at the window's 8-point font.
constexpr int kFieldHeight = 21;
constexpr int kButtonHeight = 25;
constexpr int kLabelLeft = 11;
// Free pixels a field keeps from the group's right edge and its frame.
constexpr int kRightClearance = 5;
// The widest address the reader's field must show whole.
const QString kWidestAddress = QStringLiteral("255.255.255.255");

QLabel* label(QWidget* parent, const char* name, const QString& text, int x, int y)
{
    auto* l = named(new QLabel(parent), name);
    l->setText(text);
    l->move(x, y);
    // Sized to its text; the window fits the text within the room up to the field beside it.
    l->adjustSize();
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, int x, int y, int width)
{
    auto* b = named(new QPushButton(parent), name);
    b->setText(text);
    b->setGeometry(x, y, width, kButtonHeight);
    // Enter presses it as Space does, once it has the focus.
    b->setAutoDefault(true);
    fitCaption(b);
    return b;
}

} // namespace

ConnectionPanel::ConnectionPanel(QWidget* parent, LinkHooks hooks)
    : QGroupBox(QStringLiteral("Communication Settings"), parent), hooks_(std::move(hooks))
{
    setObjectName(QStringLiteral("GroupBox2"));
    resize(kGroupSize);
    buildControls();

    // Operator choices only: a routine setting the port selection runs no rule.
    connect(portList_, &QComboBox::activated, this, &ConnectionPanel::portChosen);
    // The station box reacts to every change of its text, typed or chosen.
    connect(stationBox_, &QComboBox::editTextChanged, this, &ConnectionPanel::stationChanged);
    connect(connectButton_, &QPushButton::clicked, this, [this] { runReaderOperation(this, [this] { connectReader(); }); });
    connect(disconnectButton_, &QPushButton::clicked, this,
            [this] { runReaderOperation(this, [this] { disconnectReader(); }); });
    connect(updateButton_, &QPushButton::clicked, this, [this] { runReaderOperation(this, [this] { updateReader(); }); });
}

void ConnectionPanel::buildControls()
{
    portLabel_ = label(this, "Label1", QStringLiteral("Comm Port"), kLabelLeft, 20);

    portList_ = named(new QComboBox(this), "ComboBox1");
    portList_->addItems({kTcpIpItem, QStringLiteral("USB"), QStringLiteral("COM1"), QStringLiteral("COM2"),
                          QStringLiteral("COM3"), QStringLiteral("COM4"), QStringLiteral("COM5"),
                          QStringLiteral("COM6"), QStringLiteral("COM7"), QStringLiteral("COM8")});
    portList_->setCurrentIndex(portList_->findText(QStringLiteral("COM1")));
    portList_->setGeometry(70, 14, 80, kFieldHeight);
    tieLabel(portLabel_, portList_);

    rateOrAddressLabel_ = label(this, "Label2", QStringLiteral("Baud Rate"), kLabelLeft, 43);

    baudRateList_ = named(new QComboBox(this), "ComboBox2");
    baudRateList_->addItems({QStringLiteral("9600   bps"), QStringLiteral("19200  bps"), QStringLiteral("38400  bps"),
                          QStringLiteral("57600  bps"), QStringLiteral("115200 bps")});
    baudRateList_->setCurrentIndex(0);
    baudRateList_->setGeometry(70, 37, 80, kFieldHeight);
    tieLabel(rateOrAddressLabel_, baudRateList_);

    ipAddressField_ = named(new QLineEdit(this), "Edit71");
    ipAddressField_->setText(QStringLiteral("192.168.0.178"));
    ipAddressField_->setGeometry(69, 38, 80, kFieldHeight);
    // Wider than the lists above and below where the address needs it, up to the group's frame.
    fitWidestValue(ipAddressField_, kWidestAddress, width() - kRightClearance - ipAddressField_->x());
    ipAddressField_->hide();

    stationLabel_ = label(this, "Label23", QStringLiteral("Station"), kLabelLeft, 66);

    stationBox_ = named(new QComboBox(this), "ComboBox7");
    stationBox_->setEditable(true);
    // Typed text stays typed text: no completion into an item, no new items on Enter.
    stationBox_->setCompleter(nullptr);
    stationBox_->setInsertPolicy(QComboBox::NoInsert);
    stationBox_->addItem(QStringLiteral("Arbitrary"));
    for (int station = 1; station <= 10; ++station)
        stationBox_->addItem(QStringLiteral("Station %1").arg(station));
    stationBox_->setCurrentIndex(kArbitraryItem);
    stationBox_->setGeometry(70, 61, 80, kFieldHeight);
    tieLabel(stationLabel_, stationBox_);

    connectButton_ = button(this, "Button1", QStringLiteral("Connect"), 10, 90, 60);
    disconnectButton_ = button(this, "Button2", QStringLiteral("Disconnect"), 84, 89, 66);
    updateButton_ = button(this, "Button3", QStringLiteral("Update Reader"), 40, 120, 75);
    // No link at start: only "Connect" is enabled.
    disconnectButton_->setEnabled(false);
    updateButton_->setEnabled(false);
}

QString ConnectionPanel::portName() const
{
    return portList_->currentText();
}

QString ConnectionPanel::ipAddress() const
{
    return ipAddressField_->text();
}

void ConnectionPanel::setLinkOpen(bool open)
{
    if (!open)
        openLink_.reset();
    connectButton_->setEnabled(!open);
    disconnectButton_->setEnabled(open);
    updateButton_->setEnabled(open);
    if (hooks_.enablePageButtons)
        hooks_.enablePageButtons(open);
}

std::optional<int> ConnectionPanel::selectedStationItem() const
{
    // Once the operator edits the text, the box no longer shows an item.
    const int index = stationBox_->currentIndex();
    if (index < 0 || stationBox_->currentText() != stationBox_->itemText(index))
        return std::nullopt;
    return index;
}

void ConnectionPanel::connectReader()
{
    const std::optional<int> station = selectedStationItem();
    if (station != kArbitraryItem)
        SelectStation(stationNumber(station));

    const PortChoice port = portChoice(portList_->currentText(), ipAddressField_->text());
    serialLink_ = port.kind == READER_PORT_SERIAL;

    uint16_t status = OpenReader(hooks_.handle, port.kind, port.text ? port.text->constData() : nullptr);
    betweenReaderCalls();
    if (status == READER_OK) {
        status = StopRFwork(*hooks_.handle);
        betweenReaderCalls();
    }

    if (status != READER_OK) {
        hooks_.log(QStringLiteral("Open Reader Failed !"));
        hooks_.showLinkStatus(portName() + QStringLiteral(":Close"), QStringLiteral("Communication Invalid"));
        // Whatever the library may have opened is closed again.
        CloseReader(*hooks_.handle);
        return;
    }

    openLink_ = port;
    hooks_.log(QStringLiteral("Open Reader Successfully !"));
    hooks_.showLinkStatus(portName() + QStringLiteral(":Open"), QStringLiteral("Communication Valid"));
    setLinkOpen(true);
    logVersions();
    if (hooks_.afterConnect)
        hooks_.afterConnect();
}

void ConnectionPanel::logVersions()
{
    // One buffer for both calls, not cleared in between: a call that fails
    // without writing leaves the previous numbers in place.
    std::array<uint8_t, 4> version{};
    GetFirmwareVersion(*hooks_.handle, version.data());
    hooks_.log(versionLine(QStringLiteral("Reader Firmware Version is V "), version));
    betweenReaderCalls();
    GetSdkVersion(*hooks_.handle, version.data());
    hooks_.log(versionLine(QStringLiteral("Reader SDK Version is V "), version));
    betweenReaderCalls();
}

void ConnectionPanel::disconnectReader()
{
    CloseReader(*hooks_.handle);
    setLinkOpen(false);
    hooks_.showLinkStatus(portName() + QStringLiteral(":Close"), QString());
}

void ConnectionPanel::updateReader()
{
    bool success = true;
    // The line rate is a serial link's affair only: back to the reader's default.
    if (serialLink_) {
        if (SetBaudRate(*hooks_.handle, READER_LINK_RATE_115200) != READER_OK)
            success = false;
        betweenReaderCalls();
    }
    if (ResetReader(*hooks_.handle) != READER_OK)
        success = false;
    betweenReaderCalls();
    if (CloseReader(*hooks_.handle) == READER_OK)
        hooks_.showLinkStatus(portName() + QStringLiteral(":Close"), QString());
    else
        success = false;
    setLinkOpen(false);
    hooks_.log(success ? QStringLiteral("Update Reader Parameter Successfully !")
                       : QStringLiteral("Update Reader Parameter Failed !"));
}

void ConnectionPanel::portChosen()
{
    const bool tcpIp = portList_->currentText() == kTcpIpItem;
    rateOrAddressLabel_->setText(tcpIp ? QStringLiteral("IP Address") : QStringLiteral("Baud Rate"));
    ipAddressField_->setVisible(tcpIp);
    baudRateList_->setVisible(!tcpIp);
    // The label names whichever of the two shows.
    tieLabel(rateOrAddressLabel_, tcpIp ? static_cast<QWidget*>(ipAddressField_) : baudRateList_);
    if (!tcpIp)
        baudRateList_->setCurrentIndex(0);
}

void ConnectionPanel::stationChanged()
{
    SelectStation(stationNumber(selectedStationItem()));
}
