#include "WindowFont.h"

#include <QFontDatabase>
#include <QStringList>

QFont windowFont()
{
    const QString designFamily = QStringLiteral("MS Sans Serif");
    if (QFontDatabase::families().contains(designFamily, Qt::CaseInsensitive))
        return QFont(designFamily, 8);
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(8);
    return font;
}
