#include "StatusPanels.h"

#include <QLabel>

namespace {
constexpr int kPanelWidths[3] = {75, 130, 50};
}

StatusPanels::StatusPanels(QWidget* parent)
    : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusBar1"));
    // The window has a fixed size: nothing to grip.
    setSizeGripEnabled(false);
    for (int i = 0; i < 3; ++i) {
        auto* panel = new QLabel(this);
        panel->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
        panel->setAlignment(Qt::AlignCenter);
        panel->setFixedWidth(kPanelWidths[i]);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        addWidget(panel);
        panels_[i] = panel;
    }
}

void StatusPanels::showLinkStatus(const QString& portState, const QString& linkState)
{
    panels_[0]->setText(portState);
    panels_[1]->setText(linkState);
}
