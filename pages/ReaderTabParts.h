// What the two inner pages of the "Reader" tab, "Work Mode" and "Other
// Function", share: their framed panel, dense grids, captions and closing lines.
#pragma once

#include "PageStep.h"
#include "PageWidgets.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace readertab {

// Both pages of the tab end their routines with the same lines.
inline const ClosingLines setupLines{QStringLiteral("Setup Reader Parameter Successfully !"),
                                     QStringLiteral("Setup Reader Parameter Failed !")};
inline const ClosingLines queryLines{QStringLiteral("Query Reader Parameter Successfully !"),
                                     QStringLiteral("Query Reader Parameter Failed !")};

// The inner tab area is 420 x 264: small margins so both groups fit side by side.
inline QGridLayout* groupGrid(QWidget* group)
{
    return compactGrid(group, {6, 4, 6, 6}, 4, 6);
}

inline QLineEdit* numberField(const char* name, const char* text, int width, QWidget* parent)
{
    auto* field = named(new QLineEdit(QString::fromLatin1(text), parent), name);
    field->setFixedWidth(width);
    return field;
}

inline QFrame* panel(const char* name, QWidget* sheet)
{
    auto* frame = named(new QFrame(sheet), name);
    frame->setFrameShape(QFrame::StyledPanel);
    auto* sheetLayout = new QVBoxLayout;
    sheetLayout->setContentsMargins(2, 2, 2, 2);
    sheetLayout->addWidget(frame);
    placeInSheet(sheet, sheetLayout);
    return frame;
}

} // namespace readertab
