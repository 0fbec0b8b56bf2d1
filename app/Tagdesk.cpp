// Start-up: the application titled "Setup", one main window, the event loop.
#include "LinkCheck.h"
#include "MainWindow.h"
#include "StartOptions.h"

#include <QApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    answerInformationOptions(argc, argv);
    QApplication app(argc, argv);
    const StartOptions options = startOptions();
    // The application title is the error box's caption. It is deliberately not
    // the display name: Qt would append that to the window title on Linux.
    QApplication::setApplicationName(QStringLiteral("Setup"));
    // Ties the window to its desktop entry (its icon and name in the task bar).
    QApplication::setDesktopFileName(QStringLiteral("org.tagdesk.Tagdesk"));

    MainWindow window;
    window.show();
    if (options.checkLink) {
        QTextStream out(stdout);
        return checkLink(window, out);
    }
    return app.exec();
}
