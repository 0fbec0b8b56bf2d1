// StatusBar1: three panels, left to right 75, 130 and 50 pixels wide, text
// centred. Panel 0 shows the port and whether it is open, panel 1 whether the
// reader answers, panel 2 nothing.
#pragma once

#include <QStatusBar>

class QLabel;

class StatusPanels : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusPanels(QWidget* parent = nullptr);

    // The one way the panels change: port state ("COM1:Close") and link state
    // ("Communication Valid", "Communication Invalid" or empty).
    void showLinkStatus(const QString& portState, const QString& linkState);

private:
    QLabel* panels_[3] = {};
};
