// Start-up of the main window, as the program does it, up to its first expose.
#include "ShownProbe.h"
#include "app/Main.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    const auto start = mainStarted();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Setup"));
    reportFirstExpose(app, start);
    TForm1 form;
    form.show();
    return app.exec();
}
