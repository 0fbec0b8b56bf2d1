// Start-up of the main window, as the program does it, up to its first expose.
#include "ShownProbe.h"
#include "MainWindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    const auto start = mainStarted();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Setup"));
    reportFirstExpose(app, start);
    MainWindow form;
    form.show();
    return app.exec();
}
