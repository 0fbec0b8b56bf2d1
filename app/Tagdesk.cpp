// Start-up: the application titled "Setup", one main window, the event loop.
#include "MainWindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // The application title is the error box's caption. It is deliberately not
    // the display name: Qt would append that to the window title on Linux.
    QApplication::setApplicationName(QStringLiteral("Setup"));

    MainWindow window;
    window.show();
    return app.exec();
}
