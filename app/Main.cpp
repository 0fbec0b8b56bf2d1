#include "Main.h"

#include "ErrorBox.h"
#include "FieldRules.h"
#include "LogoImage.h"
#include "MessageLog.h"
#include "PageTree.h"
#include "StatusPanels.h"
#include "WindowFont.h"
#include "params/ParamPages.h"
#include "reader/ConnectionPanel.h"
#include "reader/Reader.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTabWidget>

namespace {

constexpr int kClientWidth = 741;
constexpr int kClientHeight = 498;
constexpr int kStatusBarHeight = 20;

QPushButton* button(QWidget* parent, const char* name, const QString& text, const QRect& geometry, bool enabled)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(geometry);
    b->setEnabled(enabled);
    return b;
}

} // namespace

TForm1::TForm1(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("UHF Tagdesk(V1.4.0.6\uFF09"));
    // Single border: minimize and close, no maximize, no resizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);
    setFont(windowFont());

    image1_ = new LogoImage(this);
    image1_->setGeometry(19, 16, 155, 102);

    pageControl1_ = buildPageTree(this);

    groupBox2_ = new ConnectionPanel(this, LinkHooks{
        &readerHandle_,
        [this](const QString& message) { log(message); },
        [this](const QString& port, const QString& link) { statusBar1_->showLinkStatus(port, link); },
        [this](bool open) {
            bitBtn3_->setEnabled(open);
            bitBtn4_->setEnabled(open);
        },
        [this] { runGuarded(this, [&] { pages_->afterConnect(); }); },
    });
    groupBox2_->setGeometry(14, 124, 165, 155);

    bitBtn2_ = button(this, "BitBtn2", QStringLiteral("Clear Info"), {47, 287, 90, 25}, true);
    // Created after the tab pages, so they stand in front of them whichever page shows.
    bitBtn3_ = button(this, "BitBtn3", QStringLiteral("Query Para"), {630, 154, 75, 24}, false);
    bitBtn4_ = button(this, "BitBtn4", QStringLiteral("Setup Para"), {630, 186, 75, 24}, false);
    button4_ = button(this, "Button4", QStringLiteral("Quit"), {630, 250, 75, 24}, true);

    memo1_ = new MessageLog(this);
    memo1_->setGeometry(11, 322, 718, 146);

    statusBar1_ = new StatusPanels(this);
    statusBar1_->setGeometry(0, kClientHeight - kStatusBarHeight, kClientWidth, kStatusBarHeight);
    statusBar1_->showLinkStatus(groupBox2_->portName() + QStringLiteral(":Close"), QString());

    connect(bitBtn2_, &QPushButton::clicked, this, &TForm1::BitBtn2Click);
    connect(bitBtn3_, &QPushButton::clicked, this, &TForm1::BitBtn3Click);
    connect(bitBtn4_, &QPushButton::clicked, this, &TForm1::BitBtn4Click);
    connect(button4_, &QPushButton::clicked, this, &TForm1::Button4Click);

    pages_ = std::make_unique<ParamPages>(pageControl1_, PageContext{
        [this] { return readerHandle_; },
        [this](const QString& message) { log(message); },
        this,
    });
    attachFieldRules(this);

    placeOnScreen();
}

TForm1::~TForm1() = default;

void TForm1::log(const QString& message)
{
    memo1_->log(message);
}

void TForm1::placeOnScreen()
{
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        move(available.center() - QPoint(kClientWidth / 2, kClientHeight / 2));
    }
}

void TForm1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!shownBefore_ && !event->spontaneous()) {
        shownBefore_ = true;
        FormShow();
    }
}

void TForm1::FormShow()
{
    memo1_->clearLog();
    log(QStringLiteral("Program Running !"));
    pageControl1_->setCurrentIndex(0);
    for (const char* inner : {"PageControl2", "PageControl5"})
        if (auto* tabs = pageControl1_->findChild<QTabWidget*>(QLatin1String(inner)))
            tabs->setCurrentIndex(0);
}

void TForm1::BitBtn2Click()
{
    memo1_->clearLog();
}

void TForm1::BitBtn3Click()
{
    runGuarded(this, [&] { pages_->query(); });
}

void TForm1::BitBtn4Click()
{
    runGuarded(this, [&] { pages_->setup(); });
}

void TForm1::Button4Click()
{
    // Closes whatever the handle names, connected or not; the outcome does not matter.
    CloseReader(readerHandle_);
    close();
}
