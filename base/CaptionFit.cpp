#include "CaptionFit.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QLabel>

namespace {

// Room a push button keeps between its frame and its caption, each side.
constexpr int kButtonCaptionInset = 5;
// Narrower than this a caption is no longer easy to read: clip instead.
constexpr int kNarrowestStretch = 70;

void narrowToFit(QWidget* widget, const QString& text, int availableWidth)
{
    // Start again from the inherited font: the text may have changed.
    widget->setFont(QFont());
    QFont font = widget->font();
    const int needed = QFontMetrics(font).horizontalAdvance(text);
    if (needed <= availableWidth || needed == 0)
        return;
    font.setStretch(qMax(kNarrowestStretch, availableWidth * 100 / needed));
    widget->setFont(font);
}

} // namespace

void fitCaption(QAbstractButton* button)
{
    narrowToFit(button, button->text(), button->width() - 2 * kButtonCaptionInset);
}

void fitCaption(QLabel* label, int availableWidth)
{
    narrowToFit(label, label->text(), availableWidth);
    label->adjustSize();
}
