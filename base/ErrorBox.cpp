#include "ErrorBox.h"

#include <QMessageBox>

namespace {
std::function<void(const QString&)>& testSink()
{
    static std::function<void(const QString&)> sink;
    return sink;
}
} // namespace

void setErrorBoxSinkForTesting(std::function<void(const QString&)> sink)
{
    testSink() = std::move(sink);
}

QString conversionErrorMessage(const ConversionError& error)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(error.text);
}

void showErrorBox(QWidget* parent, const QString& message)
{
    const QString text = message.endsWith(u'.') ? message : message + u'.';
    if (testSink()) {
        testSink()(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Setup"), text, QMessageBox::Ok, parent);
    box.exec();
}
