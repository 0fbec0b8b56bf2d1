#include "TagCsv.h"

#include "TagTableModel.h"

#include <QDateTime>
#include <QStringList>

namespace {
QString isoTime(tagframe::WallTime time)
{
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(msSinceEpoch(time));
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODateWithMs);
}
} // namespace

std::string tagCsv(const TagTableModel& model, const tagframe::TagTally& tally)
{
    // No field can hold a comma, a quote or a line break: IDs are hex digits, the rest numbers and times.
    QStringList header;
    for (int column = 0; column < TagTableModel::ColumnCount; ++column)
        header << model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    QString text = header.join(u',') + u'\n';
    for (const tagframe::TagRow& row : tally.rows()) {
        text += QStringList{tagIdText(row.tag), readerNumberText(row.tag), QString::number(row.reads),
                            isoTime(row.first), isoTime(row.last)}
                    .join(u',');
        text += u'\n';
    }
    return text.toStdString();
}
