// The yardstick: one empty QWidget of the window's size, same Qt, same probe.
#include "ShownProbe.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    const auto start = mainStarted();
    QApplication app(argc, argv);
    reportFirstExpose(app, start);
    QWidget widget;
    widget.resize(741, 498);
    widget.show();
    return app.exec();
}
