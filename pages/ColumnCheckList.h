// A check list that shows its items in a fixed number of columns, filled top
// to bottom and wrapping into the next column. The columns share the list's
// width evenly and show whole (what is left over of the width stays empty),
// so columns beyond them scroll in whole; the font narrows, down to the floor
// every fitted text keeps, until the widest item fits its column.
#pragma once

#include <QFont>
#include <QListWidget>
#include <QString>

class ColumnCheckList : public QListWidget {
public:
    // The widest item is the last ("Freq n", n the highest).
    ColumnCheckList(int columns, QWidget* parent);

    void doItemsLayout() override;

private:
    void fitColumns();

    int columns_;
    QFont ownFont_;
    // The width and widest item the columns were last fitted for.
    int fittedWidth_ = -1;
    QString fittedText_;
};
