#include "TagMonitorShortcut.h"

#include "ConnectionPanel.h"
#include "ErrorBox.h"
#include "ParamPages.h"
#include "Reader.h"
#include "TagMonitorWindow.h"

#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

namespace {

constexpr const Para& serverPort = paraNamed(Page::CommunicationPort, "server_port");

// Runs form, which takes a value from the pages' controls; a field holding no
// number fails it as it would fail "Setup Para", with the field's text.
template <typename T>
Converted<T> fromControls(const std::function<Converted<T>()>& form)
{
    try {
        return form();
    } catch (const ConversionError& error) {
        QString why = conversionErrorMessage(error);
        why.chop(why.endsWith(u'.') ? 1 : 0);   // the monitor's line ends the sentence
        return Converted<T>::fail(why.toStdString());
    }
}

} // namespace

TagMonitorShortcut::TagMonitorShortcut(QWidget* window, ParamPages* pages, const ConnectionPanel* connection)
    : QObject(window), window_(window), pages_(pages), connection_(connection)
{
    setObjectName(QStringLiteral("TagMonitorShortcut"));
    auto* key = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_T), window);
    connect(key, &QShortcut::activated, this, &TagMonitorShortcut::open);
}

TagMonitorWindow* TagMonitorShortcut::open()
{
    if (!monitor_) {
        TagMonitorSources sources{
            [this] {
                return fromControls<tagframe::FormatBytes>([this] {
                    return tagframe::formatBytesFrom([this](const Para& para) { return pages_->setupBytes(para); });
                });
            },
            [this] {
                return fromControls<uint16_t>([this]() -> Converted<uint16_t> {
                    const std::optional<ParaBytes> bytes = pages_->setupBytes(serverPort);
                    if (!bytes)
                        return Converted<uint16_t>::fail("no value");
                    return Converted<uint16_t>::ok(uint16_t(numberFromBytes(serverPort, *bytes)));
                });
            },
            [this]() -> std::optional<QString> {
                const std::optional<PortChoice> link = connection_->openLink();
                if (!link || link->kind != READER_PORT_TCP || !link->text)
                    return std::nullopt;
                return QString::fromLocal8Bit(*link->text);
            },
        };
        monitor_ = new TagMonitorWindow(std::move(sources), connection_->ipAddress(), window_);
    }
    monitor_->show();
    monitor_->raise();
    monitor_->activateWindow();
    return monitor_;
}
