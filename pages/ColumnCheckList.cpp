#include "ColumnCheckList.h"

#include "CaptionFit.h"

#include <QStyle>

ColumnCheckList::ColumnCheckList(int columns, QWidget* parent)
    : QListWidget(parent), columns_(columns), ownFont_(font())
{
    setFlow(QListView::TopToBottom);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The width left over beside the last whole column looks like the list's own.
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

void ColumnCheckList::doItemsLayout()
{
    fitColumns();
    QListWidget::doItemsLayout();
}

void ColumnCheckList::fitColumns()
{
    const int width = viewport()->width() + viewportMargins().right();
    const QString widest = count() > 0 ? item(count() - 1)->text() : QString();
    if (width == fittedWidth_ && widest == fittedText_)
        return;
    fittedWidth_ = width;
    fittedText_ = widest;

    const int column = width / columns_;
    setViewportMargins(0, 0, width - columns_ * column, 0);
    setFont(ownFont_);
    if (count() > 0) {
        const QModelIndex last = model()->index(count() - 1, 0);
        narrowFontToFit(this, [&] { return TextRoom{sizeHintForIndex(last).width(), column}; });
    }
    const int indicator = style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, this);
    setGridSize(QSize(column, qMax(fontMetrics().height(), indicator) + 2));
}
