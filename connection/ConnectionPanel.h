// The "Communication Settings" group: port, baud rate or IP address, station,
// and the "Connect", "Disconnect" and "Update Reader" buttons with the life of
// the link they drive.
#pragma once

#include "LinkChoice.h"

#include <QGroupBox>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// What the group needs from the window around it.
struct LinkHooks {
    uint32_t* handle = nullptr;                                        // the window's one reader handle
    std::function<void(const QString&)> log;                          // one numbered line in the message log
    std::function<void(const QString&, const QString&)> showLinkStatus; // status bar panels 0 and 1
    std::function<void(bool)> enablePageButtons;                      // "Query Para" and "Setup Para"
    std::function<void()> afterConnect;                               // the frequency reads after a connect
};

class ConnectionPanel : public QGroupBox {
    Q_OBJECT
public:
    ConnectionPanel(QWidget* parent, LinkHooks hooks);

    // The selected port item as shown, e.g. "COM3" or "TCP/IP".
    QString portName() const;

    // The port the link is open on, as "Connect" gave it to the library; nothing while it is closed.
    const std::optional<PortChoice>& openLink() const { return openLink_; }
    // The text of the IP address field.
    QString ipAddress() const;

public slots:
    void connectReader();     // "Connect"
    void disconnectReader();  // "Disconnect"
    void updateReader();      // "Update Reader": baud rate, reset, close
    void portChosen();        // a port item chosen in "Comm Port"
    void stationChanged();    // a station chosen or typed

private:
    void buildControls();
    // Every enabled state that follows the link, in one place.
    void setLinkOpen(bool open);
    // The selected station item, or none when the box holds typed text.
    std::optional<int> selectedStationItem() const;
    void logVersions();

    LinkHooks hooks_;
    bool serialLink_ = false;   // the last "Connect" went over a serial port ("COM1".."COM8")
    std::optional<PortChoice> openLink_;

    QLabel* portLabel_ = nullptr;
    QComboBox* portList_ = nullptr;
    QLabel* rateOrAddressLabel_ = nullptr;
    QComboBox* baudRateList_ = nullptr;
    QLineEdit* ipAddressField_ = nullptr;
    QLabel* stationLabel_ = nullptr;
    QComboBox* stationBox_ = nullptr;
    QPushButton* connectButton_ = nullptr;
    QPushButton* disconnectButton_ = nullptr;
    QPushButton* updateButton_ = nullptr;
};
