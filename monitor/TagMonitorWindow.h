// The Tag Monitor: a window of its own that shows the tags a reader sends, as
// the frame format the Frame Format page sets cuts them, so that a wrong
// setting shows at once (no tags, or bytes that make no frame). It receives
// either as the server that readers in client mode connect to, on the
// Communication Port page's server port, or from the reader's own TCP port.
// Live: a table of tags, the total reads, reads a second and a plot of them
// over the last minute, the bytes that made no frame; Clear, Save as CSV.
// Table, figures and plot are redrawn at most ten times a second, whatever
// the rate of reads.
#pragma once

#include "ParaValue.h"
#include "ReadRate.h"
#include "TagFormat.h"
#include "TagTally.h"

#include <QElapsedTimer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTableView;
class QTimer;
class RatePlot;
class TagReceiver;
class TagTableModel;

// What the monitor takes from the main window, each at the moment of Start.
struct TagMonitorSources {
    // The frame format the Frame Format page's controls make now.
    std::function<Converted<tagframe::FormatBytes>()> frameFormat;
    // The server port the Communication Port page's controls give now.
    std::function<Converted<uint16_t>()> serverPort;
    // The address text ("127.0.0.1", "192.168.1.200:5000") of the main
    // window's link while it is open over TCP/IP; nothing otherwise.
    std::function<std::optional<QString>()> linkAddress;
};

class TagMonitorWindow : public QWidget {
    Q_OBJECT
public:
    // The least time between two redraws of the table, the figures and the plot.
    static constexpr int refreshMs = 100;
    // The most tags the table lists at once; the docs and the window's message name it.
    static constexpr std::size_t maxTags = 10000;

    // readerAddress: what the reader's address field offers at first.
    TagMonitorWindow(TagMonitorSources sources, const QString& readerAddress, QWidget* parent = nullptr);
    ~TagMonitorWindow() override;

    // Asks for the CSV file to save to; an empty path cancels. Tests replace it.
    using FileChooser = std::function<QString()>;
    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

    const tagframe::TagTally& tally() const { return tally_; }
    bool running() const;

public slots:
    // Begins afresh with the format and port the pages give now; says in the
    // messages why not when it cannot.
    void start();
    void stop();
    void clear();
    void saveAsCsv();
    void saveCsvTo(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls(const QString& readerAddress);
    std::optional<tagframe::Format> formatFromPage();
    bool startListening(const tagframe::Format& format, const std::optional<QString>& link);
    bool startConnecting(const tagframe::Format& format, const std::optional<QString>& link);
    void ended();
    void setRunning(bool running);
    void refresh();
    void note(const QString& line);

    TagMonitorSources sources_;
    FileChooser chooseFile_;
    tagframe::TagTally tally_{maxTags};
    ReadRate rate_;
    QElapsedTimer clock_;
    bool fullNoted_ = false;

    TagReceiver* receiver_ = nullptr;
    TagTableModel* model_ = nullptr;
    QTimer* refreshTimer_ = nullptr;

    QRadioButton* serverChoice_ = nullptr;
    QRadioButton* readerChoice_ = nullptr;
    QLineEdit* readerAddress_ = nullptr;
    QPushButton* startButton_ = nullptr;
    QPushButton* stopButton_ = nullptr;
    QPushButton* clearButton_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QTableView* table_ = nullptr;
    RatePlot* plot_ = nullptr;
    QPlainTextEdit* straySample_ = nullptr;
    QPlainTextEdit* messages_ = nullptr;
    QLabel* tagCount_ = nullptr;
    QLabel* totalReads_ = nullptr;
    QLabel* readRate_ = nullptr;
    QLabel* strayCount_ = nullptr;
};
