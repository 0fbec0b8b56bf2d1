// Opens the window, presses "Connect" with the port the environment leads to
// the reader, then shows every page in turn, presses "Query Para" on it and
// saves a picture of the window: <dir>/<page>.png, and <dir>/README.md
// listing them. Says which texts do not fit their controls, if any.
//   page_pictures <dir>
#include "MainWindow.h"
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
                      QStringLiteral("Each page after \"Connect\" and \"Query Para\" against readersim, "
                                     "made by `scripts/screenshots.sh`."),
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
