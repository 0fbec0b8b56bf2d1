#include "MainWindow.h"

#include "AccessibleNames.h"
#include "CaptionFit.h"
#include "ConnectionPanel.h"
#include "FieldRules.h"
#include "HeldKeys.h"
#include "LogoImage.h"
#include "MessageLog.h"
#include "NamedWidgets.h"
#include "PageTree.h"
#include "ParamPages.h"
#include "ProfileShortcuts.h"
#include "Reader.h"
#include "ReaderOperation.h"
#include "StatusPanels.h"
#include "TagMonitorShortcut.h"
#include "WindowFont.h"

#include <QCloseEvent>
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
    auto* b = named(new QPushButton(text, parent), name);
    b->setGeometry(geometry);
    b->setEnabled(enabled);
    // Enter presses it as Space does, once it has the focus.
    b->setAutoDefault(true);
    return b;
}

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("UHF Tagdesk(V1.4.0.6\uFF09"));
    // Single border: minimize and close, no maximize, no resizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);
    setFont(windowFont());
    nameDropDownsByLabel();

    logo_ = new LogoImage(this, {19, 16, 155, 102});

    // Tab follows the order the controls are made in: the tab pages with the
    // buttons that act on them, then the link settings, "Clear Info" and the log.
    PagePlaces places;
    pageTabs_ = buildPageTree(this, places);
    // Created after the tab pages, so they stand in front of them whichever page shows.
    queryButton_ = button(this, "BitBtn3", QStringLiteral("Query Para"), {630, 154, 75, 24}, false);
    setupButton_ = button(this, "BitBtn4", QStringLiteral("Setup Para"), {630, 186, 75, 24}, false);
    quitButton_ = button(this, "Button4", QStringLiteral("Quit"), {630, 250, 75, 24}, true);
    takeInputWhileBusy(quitButton_);
    ignoreHeldKeys(this);

    connection_ = new ConnectionPanel(this, LinkHooks{
        &readerHandle_,
        [this](const QString& message) { log(message); },
        [this](const QString& port, const QString& link) { statusPanels_->showLinkStatus(port, link); },
        [this](bool open) {
            linkOpen_ = open;
            queryButton_->setEnabled(open);
            setupButton_->setEnabled(open);
        },
        // Part of the connect's operation: a conversion error ends the connect with the error box.
        [this] { pages_->afterConnect(); },
    });
    connection_->move(14, 124);

    clearButton_ = button(this, "BitBtn2", QStringLiteral("Clear Info"), {47, 287, 90, 25}, true);

    messageLog_ = new MessageLog(this);
    messageLog_->setGeometry(11, 322, 718, 146);

    statusPanels_ = new StatusPanels(this);
    statusPanels_->setGeometry(0, kClientHeight - kStatusBarHeight, kClientWidth, kStatusBarHeight);
    statusPanels_->showLinkStatus(connection_->portName() + QStringLiteral(":Close"), QString());

    connect(clearButton_, &QPushButton::clicked, this, &MainWindow::clearLog);
    connect(queryButton_, &QPushButton::clicked, this, &MainWindow::queryShowingPage);
    connect(setupButton_, &QPushButton::clicked, this, &MainWindow::setupShowingPage);
    connect(quitButton_, &QPushButton::clicked, this, &MainWindow::quit);

    // Each page is built when first wanted, with its field rules and its texts
    // fitted as it shows, and again as queries change them.
    pages_ = std::make_unique<ParamPages>(places,
                                          PageContext{
                                              [this] { return readerHandle_; },
                                              [this](const QString& message) { log(message); },
                                          },
                                          [](QWidget* sheet) {
                                              attachFieldRules(sheet);
                                              keepCaptionsFitted(sheet);
                                          });
    new ProfileShortcuts(this, pages_.get(), ReaderLink{[this] { return readerHandle_; }, [this] { return linkOpen_; }},
                         [this](const QString& message) { log(message); });
    new TagMonitorShortcut(this, pages_.get(), connection_);
    attachFieldRules(this);
    keepCaptionsFitted(this);

    placeOnScreen();
}

MainWindow::~MainWindow() = default;

void MainWindow::log(const QString& message)
{
    messageLog_->log(message);
}

void MainWindow::placeOnScreen()
{
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        move(available.center() - QPoint(kClientWidth / 2, kClientHeight / 2));
    }
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!shownBefore_ && !event->spontaneous()) {
        shownBefore_ = true;
        firstShown();
    }
}

void MainWindow::firstShown()
{
    messageLog_->clearLog();
    log(QStringLiteral("Program Running !"));
    pageTabs_->setCurrentIndex(0);
    for (const char* inner : {"PageControl2", "PageControl5"})
        if (auto* tabs = pageTabs_->findChild<QTabWidget*>(QLatin1String(inner)))
            tabs->setCurrentIndex(0);
}

void MainWindow::clearLog()
{
    messageLog_->clearLog();
}

void MainWindow::queryShowingPage()
{
    runReaderOperation(this, [&] { pages_->query(); });
}

void MainWindow::setupShowingPage()
{
    runReaderOperation(this, [&] { pages_->setup(); });
}

void MainWindow::quit()
{
    if (afterReaderOperation([this] { quit(); }))
        return;   // during an operation: once the call in flight has returned
    // Closes whatever the handle names, connected or not; the outcome does not matter.
    CloseReader(readerHandle_);
    close();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // The close box during an operation: the window closes once the call in flight has returned.
    if (afterReaderOperation([this] { close(); }))
        event->ignore();
    else
        QWidget::closeEvent(event);
}
