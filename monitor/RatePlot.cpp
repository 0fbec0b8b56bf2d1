#include "RatePlot.h"

#include "ReadRate.h"

#include <QPainter>

#include <algorithm>

RatePlot::RatePlot(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void RatePlot::showSeconds(std::vector<uint64_t> seconds)
{
    if (seconds == seconds_)
        return;
    seconds_ = std::move(seconds);
    const uint64_t peak = seconds_.empty() ? 0 : *std::max_element(seconds_.begin(), seconds_.end());
    setAccessibleDescription(QStringLiteral("%1 reads in the last second, at most %2 a second")
                                 .arg(seconds_.empty() ? 0 : seconds_.back())
                                 .arg(peak));
    update();
}

void RatePlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    painter.setPen(palette().mid().color());
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    const uint64_t peak = seconds_.empty() ? 0 : *std::max_element(seconds_.begin(), seconds_.end());
    const QFontMetrics metrics = fontMetrics();
    painter.setPen(palette().text().color());
    painter.drawText(rect().adjusted(4, 2, -4, -2), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("max %1/s").arg(peak));
    painter.drawText(rect().adjusted(4, 2, -4, -2), Qt::AlignRight | Qt::AlignBottom, QStringLiteral("now"));
    if (peak == 0)
        return;

    // Bars below the caption line and above the "now" line, a slot for each second of the minute.
    const QRectF area = QRectF(rect()).adjusted(2, metrics.height() + 4, -2, -(metrics.height() + 4));
    const double slot = area.width() / ReadRate::seconds;
    const double first = area.right() - slot * double(seconds_.size());
    for (std::size_t i = 0; i < seconds_.size(); ++i) {
        const double height = area.height() * double(seconds_[i]) / double(peak);
        painter.fillRect(QRectF(first + slot * double(i), area.bottom() - height, std::max(1.0, slot - 1), height),
                         palette().highlight());
    }
}
