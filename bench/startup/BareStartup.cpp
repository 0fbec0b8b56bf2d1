// The yardstick: one empty QWidget of the window's size, same Qt, same probe.
// With --text it shows one label too: the least a window showing any text
// pays (the font configuration loaded, a font opened), which an empty widget
// never pays before it shows.
#include "ShownProbe.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>

int main(int argc, char* argv[])
{
    const auto start = mainStarted();
    QApplication app(argc, argv);
    reportFirstExpose(app, start);
    QWidget widget;
    widget.resize(741, 498);
    if (argc > 1 && std::strcmp(argv[1], "--text") == 0)
        new QLabel(QStringLiteral("Program Running !"), &widget);
    widget.show();
    return app.exec();
}
