// Opens the window, presses "Connect" with the port the environment leads to
// the reader, then shows every page in turn, presses "Query Para" on it and
// saves a picture of the window: <dir>/<page>.png, and <dir>/README.md
// listing them. Then the Tag Monitor at work: the reader (given tags) set up
// through the pages to read in timing mode and send to the monitor in client
// mode, and once more with the Frame Format page at ASCII while the reader
// sends HEX. Says which texts do not fit their controls, if any.
//   page_pictures <dir>
#include "MainWindow.h"
#include "MonitorProbe.h"
#include "TagReadingSetup.h"
#include "TextFitCheck.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

#include <cstdio>

namespace {

// "RF Parameter / Antenna  Power" -> "rf-parameter-antenna-power"
QString fileStem(const QString& page)
{
    static const QRegularExpression notWord(QStringLiteral("[^a-z0-9]+"));
    QString stem = page.toLower().replace(notWord, QStringLiteral("-"));
    while (stem.endsWith(u'-'))
        stem.chop(1);
    while (stem.startsWith(u'-'))
        stem.remove(0, 1);
    return stem;
}

void press(QWidget* window, const char* name)
{
    if (auto* button = window->findChild<QAbstractButton*>(QLatin1String(name)); button && button->isEnabled()) {
        button->click();
        settle();
    }
}

// Lets the monitor take what the reader sends for a while.
void receiveFor(int seconds)
{
    QTest::qWait(seconds * 1000);
    settle();
}

// The Tag Monitor receiving the reader's tags: <dir>/tag-monitor.png, and with
// the Frame Format page at ASCII while the reader sends HEX,
// tag-monitor-mismatch.png; saved is cleared when a picture cannot be saved.
// False when the reader cannot be set up.
bool pictureTheMonitor(MainWindow& window, const QDir& dir, QStringList& index, QStringList& misfits, bool& saved)
{
    tagreading::setUpReading(&window);
    const uint16_t port = monitortest::freePort();
    tagreading::showServerPort(&window, port);
    TagMonitorWindow* monitor = monitortest::pressCtrlT(&window);
    monitor->start();
    if (!tagreading::sendToServer(&window, window.readerHandle(), port))
        return false;
    press(&window, "Button3");   // "Update Reader": the reset starts the reading again
    receiveFor(8);
    const auto save = [&](const QString& file, const QString& title, const QString& caption) {
        saved = monitor->grab().save(dir.filePath(file)) && saved;
        index << QStringLiteral("## %1").arg(title) << QString() << caption << QString()
              << QStringLiteral("![%1](%2)").arg(title, file) << QString();
        for (const QString& finding : textFitFindings(monitor))
            misfits << title + QStringLiteral(": ") + finding;
        std::printf("%s\n", qPrintable(dir.filePath(file)));
    };
    save(QStringLiteral("tag-monitor.png"), QStringLiteral("Tag Monitor"),
         QStringLiteral("Ctrl+T: readersim reading its tags in timing mode and sending them in client mode, as the "
                        "pages set it up; the frames decoded as the Frame Format page sets them."));

    monitor->stop();
    tagreading::showSheet(&window, "PageControl1", 3);
    tagreading::setChecked(&window, "RadioButton10");   // "ASCII Code", not written to the reader
    monitor->clear();
    monitor->start();
    receiveFor(8);   // the reader connects again within 3 s
    save(QStringLiteral("tag-monitor-mismatch.png"), QStringLiteral("Tag Monitor, a format mismatch"),
         QStringLiteral("The Frame Format page switched to ASCII while the reader sends HEX: no tag, and every "
                        "byte counted as one that made no frame."));
    monitor->stop();
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <directory for the pictures>\n", argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(dir.path())) {
        std::fprintf(stderr, "cannot make %s\n", argv[1]);
        return 1;
    }

    MainWindow window;
    window.show();
    settle();
    press(&window, "Button1");   // "Connect"
    if (!window.findChild<QAbstractButton*>(QStringLiteral("BitBtn3"))->isEnabled()) {
        std::fprintf(stderr, "\"Connect\" failed: is the reader there?\n");
        return 1;
    }

    QStringList index{QStringLiteral("# The window's pages"), QString(),
                      QStringLiteral("Each page after \"Connect\" and \"Query Para\" against readersim, then the "
                                     "Tag Monitor at work, made by `scripts/screenshots.sh`."),
                      QString()};
    QStringList misfits;
    bool saved = true;
    forEachPage(&window, [&](const QString& page) {
        press(&window, "BitBtn3");   // "Query Para"
        const QString file = fileStem(page) + QStringLiteral(".png");
        saved = window.grab().save(dir.filePath(file)) && saved;
        index << QStringLiteral("## %1").arg(page) << QString() << QStringLiteral("![%1](%2)").arg(page, file) << QString();
        for (const QString& finding : textFitFindings(&window))
            misfits << page + QStringLiteral(": ") + finding;
        std::printf("%s\n", qPrintable(dir.filePath(file)));
    });

    if (!pictureTheMonitor(window, dir, index, misfits, saved)) {
        std::fprintf(stderr, "the reader could not be set up to send its tags\n");
        return 1;
    }

    QFile indexFile(dir.filePath(QStringLiteral("README.md")));
    if (!saved || !indexFile.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        std::fprintf(stderr, "cannot write the pictures into %s\n", argv[1]);
        return 1;
    }
    while (!index.isEmpty() && index.last().isEmpty())
        index.removeLast();
    QTextStream(&indexFile) << index.join(u'\n') << u'\n';
    for (const QString& misfit : misfits)
        std::fprintf(stderr, "does not fit: %s\n", qPrintable(misfit));
    return misfits.isEmpty() ? 0 : 3;
}
