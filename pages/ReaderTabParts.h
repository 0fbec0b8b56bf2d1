// What the two inner pages of the "Reader" tab, "Work Mode" and "Other
// Function", share: their framed panel, the spacing of their grids and their
// closing lines.
#pragma once

#include "PageStep.h"
#include "PageWidgets.h"

#include <QFrame>
#include <QVBoxLayout>

namespace readertab {

// Both pages of the tab end their routines with the same lines.
inline const ClosingLines setupLines{QStringLiteral("Setup Reader Parameter Successfully !"),
                                     QStringLiteral("Setup Reader Parameter Failed !")};
inline const ClosingLines queryLines{QStringLiteral("Query Reader Parameter Successfully !"),
                                     QStringLiteral("Query Reader Parameter Failed !")};

// The inner tab area is 420 x 264: small margins so both groups fit side by side.
inline constexpr GridSpacing groupSpacing{{6, 4, 6, 6}, 4, 6};

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
