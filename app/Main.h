// The main window Form1: logo, tab pages, communication settings, the buttons
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

class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Appends one numbered line to the message log.
    void log(const QString& message);

    uint32_t readerHandle() const { return readerHandle_; }

public slots:
    void BitBtn2Click(); // "Clear Info"
    void BitBtn3Click(); // "Query Para"
    void BitBtn4Click(); // "Setup Para"
    void Button4Click(); // "Quit"

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void placeOnScreen();

    // The one reader handle: 0 until the first connect, kept after a disconnect.
    uint32_t readerHandle_ = 0;
    bool shownBefore_ = false;

    LogoImage* image1_ = nullptr;
    QTabWidget* pageControl1_ = nullptr;
    ConnectionPanel* groupBox2_ = nullptr;
    QPushButton* bitBtn2_ = nullptr;
    QPushButton* bitBtn3_ = nullptr;
    QPushButton* bitBtn4_ = nullptr;
    QPushButton* button4_ = nullptr;
    MessageLog* memo1_ = nullptr;
    StatusPanels* statusBar1_ = nullptr;
    std::unique_ptr<ParamPages> pages_;
};
