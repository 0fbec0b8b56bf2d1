#include "ConnectionPanel.h"

#include "LinkChoice.h"
#include "app/CaptionFit.h"
#include "Reader.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <array>

namespace {

const QString kTcpIpItem = QStringLiteral("TCP/IP");
constexpr int kArbitraryItem = 0;

// Heights of one-line fields and of buttons at the window's 8-point font.
constexpr int kFieldHeight = 21;
constexpr int kButtonHeight = 25;
// Labels end where the fields beside them begin.
constexpr int kLabelLeft = 11;
constexpr int kLabelWidth = 70 - kLabelLeft - 1;

template <typename T>
T* named(QWidget* parent, const char* name)
{
    auto* widget = new T(parent);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, int x, int y)
{
    auto* l = named<QLabel>(parent, name);
    l->setText(text);
    l->move(x, y);
    fitCaption(l, kLabelWidth);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, int x, int y, int width)
{
    auto* b = named<QPushButton>(parent, name);
    b->setText(text);
    b->setGeometry(x, y, width, kButtonHeight);
    fitCaption(b);
    return b;
}

} // namespace

ConnectionPanel::ConnectionPanel(QWidget* parent, LinkHooks hooks)
    : QGroupBox(QStringLiteral("Communication Settings"), parent), hooks_(std::move(hooks))
{
    setObjectName(QStringLiteral("GroupBox2"));
    buildControls();

    // Operator choices only: a routine setting the port selection runs no rule.
    connect(comboBox1_, &QComboBox::activated, this, &ConnectionPanel::ComboBox1Change);
    // The station box reacts to every change of its text, typed or chosen.
    connect(comboBox7_, &QComboBox::editTextChanged, this, &ConnectionPanel::ComboBox7Change);
    connect(button1_, &QPushButton::clicked, this, &ConnectionPanel::Button1Click);
    connect(button2_, &QPushButton::clicked, this, &ConnectionPanel::Button2Click);
    connect(button3_, &QPushButton::clicked, this, &ConnectionPanel::Button3Click);
}

void ConnectionPanel::buildControls()
{
    label1_ = label(this, "Label1", QStringLiteral("Comm Port"), kLabelLeft, 20);

    comboBox1_ = named<QComboBox>(this, "ComboBox1");
    comboBox1_->addItems({kTcpIpItem, QStringLiteral("USB"), QStringLiteral("COM1"), QStringLiteral("COM2"),
                          QStringLiteral("COM3"), QStringLiteral("COM4"), QStringLiteral("COM5"),
                          QStringLiteral("COM6"), QStringLiteral("COM7"), QStringLiteral("COM8")});
    comboBox1_->setCurrentIndex(comboBox1_->findText(QStringLiteral("COM1")));
    comboBox1_->setGeometry(70, 14, 80, kFieldHeight);

    label2_ = label(this, "Label2", QStringLiteral("Baud Rate"), kLabelLeft, 43);

    comboBox2_ = named<QComboBox>(this, "ComboBox2");
    comboBox2_->addItems({QStringLiteral("9600   bps"), QStringLiteral("19200  bps"), QStringLiteral("38400  bps"),
                          QStringLiteral("57600  bps"), QStringLiteral("115200 bps")});
    comboBox2_->setCurrentIndex(0);
    comboBox2_->setGeometry(70, 37, 80, kFieldHeight);

    edit71_ = named<QLineEdit>(this, "Edit71");
    edit71_->setText(QStringLiteral("192.168.0.178"));
    edit71_->setGeometry(69, 38, 80, kFieldHeight);
    edit71_->hide();

    label23_ = label(this, "Label23", QStringLiteral("Station"), kLabelLeft, 66);

    comboBox7_ = named<QComboBox>(this, "ComboBox7");
    comboBox7_->setEditable(true);
    // Typed text stays typed text: no completion into an item, no new items on Enter.
    comboBox7_->setCompleter(nullptr);
    comboBox7_->setInsertPolicy(QComboBox::NoInsert);
    comboBox7_->addItem(QStringLiteral("Arbitrary"));
    for (int station = 1; station <= 10; ++station)
        comboBox7_->addItem(QStringLiteral("Station %1").arg(station));
    comboBox7_->setCurrentIndex(kArbitraryItem);
    comboBox7_->setGeometry(70, 61, 80, kFieldHeight);

    button1_ = button(this, "Button1", QStringLiteral("Connect"), 10, 90, 60);
    button2_ = button(this, "Button2", QStringLiteral("Disconnect"), 84, 89, 66);
    button3_ = button(this, "Button3", QStringLiteral("Update Reader"), 40, 120, 75);
    // No link at start: only "Connect" is enabled.
    button2_->setEnabled(false);
    button3_->setEnabled(false);
}

QString ConnectionPanel::portName() const
{
    return comboBox1_->currentText();
}

void ConnectionPanel::setLinkOpen(bool open)
{
    button1_->setEnabled(!open);
    button2_->setEnabled(open);
    button3_->setEnabled(open);
    if (hooks_.enablePageButtons)
        hooks_.enablePageButtons(open);
}

std::optional<int> ConnectionPanel::selectedStationItem() const
{
    // Once the operator edits the text, the box no longer shows an item.
    const int index = comboBox7_->currentIndex();
    if (index < 0 || comboBox7_->currentText() != comboBox7_->itemText(index))
        return std::nullopt;
    return index;
}

void ConnectionPanel::Button1Click()
{
    const std::optional<int> station = selectedStationItem();
    if (station != kArbitraryItem)
        SelectStation(stationNumber(station));

    const PortChoice port = portChoice(comboBox1_->currentText(), edit71_->text());
    serialLink_ = port.kind == READER_PORT_SERIAL;

    uint16_t status = OpenReader(hooks_.handle, port.kind, port.text ? port.text->constData() : nullptr);
    if (status == READER_OK)
        status = StopRFwork(*hooks_.handle);

    if (status != READER_OK) {
        hooks_.log(QStringLiteral("Open Reader Failed !"));
        hooks_.showLinkStatus(portName() + QStringLiteral(":Close"), QStringLiteral("Communication Invalid"));
        // Whatever the library may have opened is closed again.
        CloseReader(*hooks_.handle);
        return;
    }

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
    GetSdkVersion(*hooks_.handle, version.data());
    hooks_.log(versionLine(QStringLiteral("Reader SDK Version is V "), version));
}

void ConnectionPanel::Button2Click()
{
    CloseReader(*hooks_.handle);
    setLinkOpen(false);
    hooks_.showLinkStatus(portName() + QStringLiteral(":Close"), QString());
}

void ConnectionPanel::Button3Click()
{
    bool success = true;
    // The baud rate is a serial line's affair only.
    if (serialLink_ && SetBaudRate(*hooks_.handle, 0) != READER_OK)
        success = false;
    if (ResetReader(*hooks_.handle) != READER_OK)
        success = false;
    if (CloseReader(*hooks_.handle) == READER_OK)
        hooks_.showLinkStatus(portName() + QStringLiteral(":Close"), QString());
    else
        success = false;
    setLinkOpen(false);
    hooks_.log(success ? QStringLiteral("Update Reader Parameter Successfully !")
                       : QStringLiteral("Update Reader Parameter Failed !"));
}

void ConnectionPanel::ComboBox1Change()
{
    const bool tcpIp = comboBox1_->currentText() == kTcpIpItem;
    label2_->setText(tcpIp ? QStringLiteral("IP Address") : QStringLiteral("Baud Rate"));
    fitCaption(label2_, kLabelWidth);
    edit71_->setVisible(tcpIp);
    comboBox2_->setVisible(!tcpIp);
    if (!tcpIp)
        comboBox2_->setCurrentIndex(0);
}

void ConnectionPanel::ComboBox7Change()
{
    SelectStation(stationNumber(selectedStationItem()));
}
