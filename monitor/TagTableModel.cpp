#include "TagTableModel.h"

#include <QDateTime>

#include <algorithm>

QString tagIdText(const tagframe::TagRead& tag)
{
    return QString::fromStdString(idText(tag));
}

QString readerNumberText(const tagframe::TagRead& tag)
{
    return tag.readerNumber ? QString::number(*tag.readerNumber) : QString();
}

qint64 msSinceEpoch(tagframe::WallTime time)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
}

namespace {
QString timeText(tagframe::WallTime time)
{
    return QDateTime::fromMSecsSinceEpoch(msSinceEpoch(time)).toString(QStringLiteral("HH:mm:ss.zzz"));
}
} // namespace

TagTableModel::TagTableModel(tagframe::TagTally& tally, QObject* parent) : QAbstractTableModel(parent), tally_(tally) {}

void TagTableModel::refresh()
{
    const tagframe::TagTally::Changed changed = tally_.takeChanged();
    const int rows = int(tally_.rows().size());
    if (rows < shownRows_) {
        beginResetModel();
        shownRows_ = rows;
        endResetModel();
        return;
    }
    if (rows > shownRows_) {
        beginInsertRows({}, shownRows_, rows - 1);
        shownRows_ = rows;
        endInsertRows();
    }
    // Rows just inserted are drawn anew anyway; dataChanged covers the range once.
    const int first = int(changed.first);
    const int end = std::min(int(changed.end), shownRows_);
    if (first < end)
        emit dataChanged(index(first, 0), index(end - 1, ColumnCount - 1), {Qt::DisplayRole});
}

int TagTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shownRows_;
}

int TagTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TagTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= shownRows_)
        return {};
    if (role == Qt::TextAlignmentRole)
        return index.column() == IdColumn ? QVariant(Qt::AlignLeft | Qt::AlignVCenter) : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    const tagframe::TagRow& row = tally_.rows()[std::size_t(index.row())];
    switch (index.column()) {
    case IdColumn:
        return tagIdText(row.tag);
    case ReaderColumn:
        return readerNumberText(row.tag);
    case ReadsColumn:
        return QString::number(row.reads);
    case FirstSeenColumn:
        return timeText(row.first);
    case LastSeenColumn:
        return timeText(row.last);
    default:
        return {};
    }
}

QVariant TagTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    switch (section) {
    case IdColumn:
        return QStringLiteral("Tag ID");
    case ReaderColumn:
        return QStringLiteral("Reader");
    case ReadsColumn:
        return QStringLiteral("Reads");
    case FirstSeenColumn:
        return QStringLiteral("First Seen");
    case LastSeenColumn:
        return QStringLiteral("Last Seen");
    default:
        return {};
    }
}
