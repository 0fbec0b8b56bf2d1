// The main window (designer name Form1): logo, tab pages, communication settings, the buttons
// beside the pages, the message log and the status bar.
#pragma once

#include <QWidget>

#include <cstdint>
#include <memory>

class ConnectionPanel;
class LogoImage;
class MessageLog;
class ParamPages;
class QPushButton;
class QTabWidget;
class StatusPanels;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Appends one numbered line to the message log.
    void log(const QString& message);

    uint32_t readerHandle() const { return readerHandle_; }

public slots:
    void clearLog();          // "Clear Info"
    void queryShowingPage();  // "Query Para"
    void setupShowingPage();  // "Setup Para"
    void quit();              // "Quit"

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The first showing of the window: a fresh log and the first page of every tab control.
    void firstShown();
    void placeOnScreen();

    // The one reader handle: 0 until the first connect, kept after a disconnect.
    uint32_t readerHandle_ = 0;
    bool linkOpen_ = false;   // from a connect to a disconnect
    bool shownBefore_ = false;

    LogoImage* logo_ = nullptr;
    QTabWidget* pageTabs_ = nullptr;
    ConnectionPanel* connection_ = nullptr;
    QPushButton* clearButton_ = nullptr;
    QPushButton* queryButton_ = nullptr;
    QPushButton* setupButton_ = nullptr;
    QPushButton* quitButton_ = nullptr;
    MessageLog* messageLog_ = nullptr;
    StatusPanels* statusPanels_ = nullptr;
    std::unique_ptr<ParamPages> pages_;
};
