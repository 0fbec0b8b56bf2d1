#include "TagMonitorWindow.h"

#include "AccessibleNames.h"
#include "ListenPlace.h"
#include "NamedWidgets.h"
#include "PrintableText.h"
#include "RatePlot.h"
#include "TagCsv.h"
#include "TagReceiver.h"
#include "TagTableModel.h"
#include "WholeFile.h"
#include "WindowFont.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHostAddress>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTableView>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Lines the messages keep; older ones go.
constexpr int messageLines = 500;

QPushButton* button(QWidget* parent, const char* name, const QString& text)
{
    auto* b = named(new QPushButton(text, parent), name);
    // Enter presses it as Space does, once it has the focus.
    b->setAutoDefault(true);
    return b;
}

// A text the window writes and the operator reads, lines high; Tab leaves it
// as it leaves every other control.
QPlainTextEdit* readOnlyLines(QWidget* parent, const char* name, int lines)
{
    auto* text = named(new QPlainTextEdit(parent), name);
    text->setReadOnly(true);
    text->setTabChangesFocus(true);
    text->setFixedHeight(text->fontMetrics().lineSpacing() * lines + 10);
    return text;
}

QLabel* statusPanel(QStatusBar* bar, const char* name)
{
    auto* panel = named(new QLabel(bar), name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar->addWidget(panel);
    return panel;
}

QString fromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

TagMonitorWindow::TagMonitorWindow(TagMonitorSources sources, const QString& readerAddress, QWidget* parent)
    : QWidget(parent, Qt::Window), sources_(std::move(sources))
{
    setObjectName(QStringLiteral("TagMonitorWindow"));
    setWindowTitle(QStringLiteral("Tag Monitor"));
    setFont(windowFont());
    clock_.start();

    receiver_ = new TagReceiver(
        [this](std::span<const tagframe::TagRead> reads) {
            // One table for every reader: its rows are told apart by reader number and ID alone.
            const tagframe::WallTime now = std::chrono::system_clock::now();
            for (const tagframe::TagRead& read : reads)
                tally_.add({}, read, now);
            rate_.add(reads.size(), clock_.elapsed());
        },
        this);
    connect(receiver_, &TagReceiver::note, this, &TagMonitorWindow::note);
    connect(receiver_, &TagReceiver::stopped, this, [this](const QString& why) {
        note(why);
        ended();
    });

    model_ = new TagTableModel(tally_, this);
    refreshTimer_ = new QTimer(this);
    refreshTimer_->setInterval(refreshMs);
    connect(refreshTimer_, &QTimer::timeout, this, &TagMonitorWindow::refresh);

    buildControls(readerAddress);
    chooseFile_ = [this] {
        return QFileDialog::getSaveFileName(this, QStringLiteral("Save Tags as CSV"), {},
                                            QStringLiteral("CSV files (*.csv);;All files (*)"));
    };
    setRunning(false);
    refresh();
    resize(800, 540);
}

TagMonitorWindow::~TagMonitorWindow() = default;

void TagMonitorWindow::buildControls(const QString& readerAddress)
{
    auto* source = named(new QGroupBox(QStringLiteral("Receive tags from"), this), "SourceGroup");
    auto* sourceGrid = new QGridLayout(source);
    serverChoice_ = named(new QRadioButton(QStringLiteral("Readers in client mode, on the Communication Port page's server port"), source),
                          "ServerRadio");
    serverChoice_->setChecked(true);
    readerChoice_ = named(new QRadioButton(QStringLiteral("The reader's own TCP port"), source), "ReaderRadio");
    auto* addressLabel = named(new QLabel(QStringLiteral("Address"), source), "ReaderAddressLabel");
    readerAddress_ = named(new QLineEdit(readerAddress, source), "ReaderAddressEdit");
    readerAddress_->setPlaceholderText(QStringLiteral("192.168.1.200 or 192.168.1.200:4001"));
    readerAddress_->setMaxLength(int(QStringLiteral("255.255.255.255:65535").size()));
    tieLabel(addressLabel, readerAddress_);
    sourceGrid->addWidget(serverChoice_, 0, 0, 1, 3);
    sourceGrid->addWidget(readerChoice_, 1, 0);
    sourceGrid->addWidget(addressLabel, 1, 1);
    sourceGrid->addWidget(readerAddress_, 1, 2);
    sourceGrid->setColumnStretch(2, 1);
    connect(readerChoice_, &QRadioButton::toggled, this, [this] { setRunning(running()); });

    startButton_ = button(this, "StartButton", QStringLiteral("&Start"));
    stopButton_ = button(this, "StopButton", QStringLiteral("S&top"));
    clearButton_ = button(this, "ClearButton", QStringLiteral("C&lear"));
    saveButton_ = button(this, "SaveButton", QStringLiteral("Save as CS&V..."));
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {startButton_, stopButton_, clearButton_, saveButton_})
        buttons->addWidget(b);
    buttons->addStretch(1);
    connect(startButton_, &QPushButton::clicked, this, &TagMonitorWindow::start);
    connect(stopButton_, &QPushButton::clicked, this, &TagMonitorWindow::stop);
    connect(clearButton_, &QPushButton::clicked, this, &TagMonitorWindow::clear);
    connect(saveButton_, &QPushButton::clicked, this, &TagMonitorWindow::saveAsCsv);

    auto* tagsLabel = named(new QLabel(QStringLiteral("Tags"), this), "TagsLabel");
    table_ = named(new QTableView(this), "TagTable");
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Tab leaves the table; the arrow keys move within it.
    table_->setTabKeyNavigation(false);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
    table_->horizontalHeader()->setStretchLastSection(true);
    // Room for the widest value of each column: a whole ID, a read count, a time.
    const QFontMetrics metrics = table_->fontMetrics();
    const int padding = 2 * metrics.averageCharWidth() + 4;
    table_->setColumnWidth(TagTableModel::IdColumn, metrics.horizontalAdvance(QString(2 * tagframe::idSize, u'D')) + padding);
    table_->setColumnWidth(TagTableModel::ReaderColumn, metrics.horizontalAdvance(QStringLiteral("Reader")) + padding);
    table_->setColumnWidth(TagTableModel::ReadsColumn, metrics.horizontalAdvance(QStringLiteral("00000000")) + padding);
    for (const int time : {TagTableModel::FirstSeenColumn, TagTableModel::LastSeenColumn})
        table_->setColumnWidth(time, metrics.horizontalAdvance(QStringLiteral("00:00:00.000")) + padding);
    tieLabel(tagsLabel, table_);
    nameControl(table_, tagsLabel->text());

    auto* plotLabel = named(new QLabel(QStringLiteral("Reads a second, last minute"), this), "RatePlotLabel");
    plot_ = named(new RatePlot(this), "RatePlot");
    tieLabel(plotLabel, plot_);
    nameControl(plot_, plotLabel->text());

    auto* strayLabel = named(new QLabel(QStringLiteral("Last bytes that made no frame"), this), "StraySampleLabel");
    straySample_ = readOnlyLines(this, "StraySampleText", 3);
    // The escaped bytes hold no blank: the lines break anywhere, so all of them show.
    straySample_->setWordWrapMode(QTextOption::WrapAnywhere);
    tieLabel(strayLabel, straySample_);

    auto* messagesLabel = named(new QLabel(QStringLiteral("Messages"), this), "MessagesLabel");
    messages_ = readOnlyLines(this, "MessageList", 5);
    messages_->setMaximumBlockCount(messageLines);
    tieLabel(messagesLabel, messages_);

    auto* status = named(new QStatusBar(this), "MonitorStatusBar");
    status->setSizeGripEnabled(false);
    tagCount_ = statusPanel(status, "TagCountPanel");
    totalReads_ = statusPanel(status, "TotalReadsPanel");
    readRate_ = statusPanel(status, "ReadRatePanel");
    strayCount_ = statusPanel(status, "StrayCountPanel");

    auto* plotColumn = new QVBoxLayout;
    plotColumn->addWidget(plotLabel);
    plotColumn->addWidget(plot_, 1);
    auto* tableColumn = new QVBoxLayout;
    tableColumn->addWidget(tagsLabel);
    tableColumn->addWidget(table_, 1);
    auto* middle = new QHBoxLayout;
    middle->addLayout(tableColumn, 3);
    middle->addLayout(plotColumn, 1);

    auto* outer = new QVBoxLayout(this);
    outer->addWidget(source);
    outer->addLayout(buttons);
    outer->addLayout(middle, 1);
    outer->addWidget(strayLabel);
    outer->addWidget(straySample_);
    outer->addWidget(messagesLabel);
    outer->addWidget(messages_);
    outer->addWidget(status);

    // Escape closes the monitor, which stops it.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
}

bool TagMonitorWindow::running() const
{
    return receiver_->running();
}

void TagMonitorWindow::setRunning(bool running)
{
    startButton_->setEnabled(!running);
    stopButton_->setEnabled(running);
    serverChoice_->setEnabled(!running);
    readerChoice_->setEnabled(!running);
    readerAddress_->setEnabled(!running && readerChoice_->isChecked());
}

void TagMonitorWindow::note(const QString& line)
{
    messages_->appendPlainText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")) + QStringLiteral("  ") + line);
}

std::optional<tagframe::Format> TagMonitorWindow::formatFromPage()
{
    const Converted<tagframe::FormatBytes> bytes = sources_.frameFormat();
    if (!bytes) {
        note(QStringLiteral("Cannot start: the Frame Format page gives no frame format (%1).").arg(fromStd(bytes.error)));
        return std::nullopt;
    }
    const tagframe::Format format(*bytes.result);
    if (format.frameSize() == 0)
        note(QStringLiteral("The Frame Format page's frames hold nothing, so a reader sends none: every byte that comes is one that made no frame."));
    return format;
}

void TagMonitorWindow::start()
{
    if (running())
        return;
    const std::optional<tagframe::Format> format = formatFromPage();
    if (!format)
        return;
    const std::optional<QString> link = sources_.linkAddress ? sources_.linkAddress() : std::nullopt;
    tally_.clear();
    fullNoted_ = false;
    rate_.restart(clock_.elapsed());
    const bool started = readerChoice_->isChecked() ? startConnecting(*format, link) : startListening(*format, link);
    refresh();
    if (!started)
        return;
    setRunning(true);
    refreshTimer_->start();
}

namespace {
QString linkInTheWay(const TcpEndpoint& link)
{
    return QStringLiteral("Cannot start: the main window's link is open on %1, the port the Tag Monitor would use. "
                          "Press \"Disconnect\" there first, or receive on another port.")
        .arg(link.text());
}
} // namespace

bool TagMonitorWindow::startListening(const tagframe::Format& format, const std::optional<QString>& link)
{
    const Converted<uint16_t> port = sources_.serverPort();
    if (!port) {
        note(QStringLiteral("Cannot start: the Communication Port page's server port: %1.").arg(fromStd(port.error)));
        return false;
    }
    if (*port.result == 0) {
        note(QStringLiteral("Cannot start: the Communication Port page's server port is 0, on which no reader connects."));
        return false;
    }
    if (const std::optional<TcpEndpoint> linkEnd = link ? readerEndpoint(*link) : std::nullopt;
        linkEnd && linkOnLocalPort(*linkEnd, *port.result)) {
        note(linkInTheWay(*linkEnd));
        return false;
    }
    if (const std::optional<QString> why = receiver_->listen(*port.result, format)) {
        note(QStringLiteral("Cannot listen on port %1: %2.").arg(*port.result).arg(*why));
        return false;
    }
    note(QStringLiteral("Listening on port %1 for readers in client mode; frames as the Frame Format page sets them: %2.")
             .arg(*port.result)
             .arg(fromStd(format.description())));
    return true;
}

bool TagMonitorWindow::startConnecting(const tagframe::Format& format, const std::optional<QString>& link)
{
    const std::optional<TcpEndpoint> reader = readerEndpoint(readerAddress_->text());
    if (!reader) {
        note(QStringLiteral("Cannot start: \"%1\" is no reader address; type one as 192.168.1.200 or 192.168.1.200:4001.")
                 .arg(readerAddress_->text()));
        return false;
    }
    if (const std::optional<TcpEndpoint> linkEnd = link ? readerEndpoint(*link) : std::nullopt; linkEnd && *linkEnd == *reader) {
        note(linkInTheWay(*linkEnd));
        return false;
    }
    note(QStringLiteral("Connecting to the reader at %1; frames as the Frame Format page sets them: %2.")
             .arg(reader->text(), fromStd(format.description())));
    receiver_->connectTo(QHostAddress(reader->address), reader->port, format);
    return true;
}

void TagMonitorWindow::stop()
{
    if (!running())
        return;
    receiver_->stop();
    note(QStringLiteral("Stopped."));
    ended();
}

void TagMonitorWindow::ended()
{
    refreshTimer_->stop();
    refresh();
    setRunning(false);
}

void TagMonitorWindow::clear()
{
    tally_.clear();
    fullNoted_ = false;
    rate_.restart(clock_.elapsed());
    receiver_->forgetStray();
    refresh();
}

void TagMonitorWindow::refresh()
{
    rate_.advance(clock_.elapsed());
    model_->refresh();
    const uint64_t stray = receiver_->strayBytes();
    tagCount_->setText(QStringLiteral("Tags: %1%2").arg(tally_.rows().size()).arg(tally_.full() ? QStringLiteral(" (full)") : QString()));
    totalReads_->setText(QStringLiteral("Reads: %1").arg(tally_.reads()));
    readRate_->setText(QStringLiteral("Reads a second: %1").arg(rate_.lastSecond()));
    strayCount_->setText(QStringLiteral("Bytes that made no frame: %1").arg(stray));
    if (const QString sample = QString::fromLatin1(escapedBytes(receiver_->straySample())); sample != straySample_->toPlainText())
        straySample_->setPlainText(sample);
    plot_->showSeconds(rate_.lastMinute());
    if (tally_.full() && !fullNoted_) {
        fullNoted_ = true;
        note(QStringLiteral("The table holds %1 tags, as many as it lists: reads of further tags count in the total only.")
                 .arg(tally_.cap()));
    }
}

void TagMonitorWindow::saveAsCsv()
{
    if (const QString path = chooseFile_(); !path.isEmpty())
        saveCsvTo(path);
}

void TagMonitorWindow::saveCsvTo(const QString& path)
{
    if (const std::string why = writeWholeFile(path.toStdString(), tagCsv(*model_, tally_)); !why.empty()) {
        note(QStringLiteral("Cannot save %1: %2.").arg(path, fromStd(why)));
        return;
    }
    note(QStringLiteral("Saved %1 tags to %2.").arg(tally_.rows().size()).arg(path));
}

void TagMonitorWindow::closeEvent(QCloseEvent* event)
{
    stop();
    QWidget::closeEvent(event);
}
