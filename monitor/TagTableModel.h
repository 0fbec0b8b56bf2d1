// The table of tags a monitor shows: a row a tag of its tally (ID, reader
// number, reads, first seen, last seen), brought up to date by refresh() only,
// so that the window redraws the table at the pace it chooses, not a read's.
#pragma once

#include "TagTally.h"

#include <QAbstractTableModel>

// A tag's ID window as upper-case hexadecimal pairs, "E20068161234".
QString tagIdText(const tagframe::TagRead& tag);
// Its reader number in decimal, or nothing when the frames hold none.
QString readerNumberText(const tagframe::TagRead& tag);
// The milliseconds since the epoch of a time the tally keeps, as QDateTime takes them.
qint64 msSinceEpoch(tagframe::WallTime time);

class TagTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { IdColumn, ReaderColumn, ReadsColumn, FirstSeenColumn, LastSeenColumn, ColumnCount };

    TagTableModel(tagframe::TagTally& tally, QObject* parent = nullptr);

    // Shows what the tally counted since the last refresh: new rows, changed rows, or none after a clear.
    void refresh();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    tagframe::TagTally& tally_;
    int shownRows_ = 0;
};
