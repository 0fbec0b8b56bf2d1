#include "ReaderPageFixture.h"

#include "Reader.h"

#include <QAbstractButton>
#include <QByteArray>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

ReaderPageFixture::ReaderPageFixture(const QStringList& simOptions) : sim_(simArguments(simOptions))
{
    context = rec.context();
    context.handle = [this] { return handle_; };
    if (sim_.tcpPort() == 0) {
        failure_ = QStringLiteral("readersim serves no TCP port");
        return;
    }
    qputenv("READER_TCP_PORT", QByteArray::number(sim_.tcpPort()));
    const uint16_t status = OpenReader(&handle_, READER_PORT_TCP, "127.0.0.1");
    if (status != READER_OK)
        failure_ = QStringLiteral("OpenReader gave status %1").arg(status);
}

ReaderPageFixture::~ReaderPageFixture()
{
    closeReader();
}

void ReaderPageFixture::closeReader()
{
    if (handle_ != 0)
        CloseReader(handle_);
    handle_ = 0;
}

void ReaderPageFixture::setupThenQuery(PageRoutines& page, const std::function<void()>& choose,
                                       const std::function<void()>& change)
{
    choose();
    page.setup();
    change();
    page.query();
}

namespace {
QString keyOf(QWidget* w)
{
    auto* button = qobject_cast<QRadioButton*>(w);
    return button && w->objectName().isEmpty() ? w->parentWidget()->objectName() + '/' + button->text() : w->objectName();
}
} // namespace

QStringList sheetValues(QWidget* sheet)
{
    QStringList out;
    for (QWidget* w : sheet->findChildren<QWidget*>()) {
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            out << keyOf(w) + '=' + QString::number(button->isChecked());
        else if (auto* list = qobject_cast<QComboBox*>(w))
            out << keyOf(w) + '=' + QString::number(list->currentIndex());
        else if (auto* field = qobject_cast<QLineEdit*>(w); field && !qobject_cast<QComboBox*>(w->parentWidget()))
            out << keyOf(w) + '=' + field->text();
    }
    return out;
}

void applySheetValues(QWidget* sheet, const QStringList& settings)
{
    for (QWidget* w : sheet->findChildren<QWidget*>()) {
        for (const QString& setting : settings) {
            if (setting.section('=', 0, 0) != keyOf(w))
                continue;
            const QString value = setting.section('=', 1);
            if (auto* button = qobject_cast<QAbstractButton*>(w))
                button->setChecked(value == "1");
            else if (auto* list = qobject_cast<QComboBox*>(w))
                list->setCurrentIndex(value.toInt());
            else if (auto* field = qobject_cast<QLineEdit*>(w))
                field->setText(value);
        }
    }
}
