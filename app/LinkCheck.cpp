#include "LinkCheck.h"

#include "NamedWidgets.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextStream>

int checkLink(QWidget& window, QTextStream& out)
{
    auto* connectButton = findNamed<QPushButton>(&window, "Button1");
    auto* messageLog = findNamed<QPlainTextEdit>(&window, "Memo1");
    if (connectButton == nullptr || messageLog == nullptr)
        return 1;
    connectButton->click();
    // The button disables itself once the link is open.
    const bool opened = !connectButton->isEnabled();
    out << messageLog->toPlainText() << '\n';
    return opened ? 0 : 1;
}
