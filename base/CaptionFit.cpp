#include "CaptionFit.h"

#include "TextRoom.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QVariant>

namespace {

// Narrower than this a text is no longer easy to read: clip instead.
constexpr int kNarrowestStretch = 70;
// Free pixels kept between a text and the control beside it.
constexpr int kClearance = 3;
// The most a control placed by hand widens when narrowing is not enough.
constexpr int kMostExtraWidth = 6;
constexpr int kNormalStretch = 100;
// A text is narrowed in steps of this many percent: texts narrowed alike share
// one font, and a step mostly suffices where a font's widths do not shrink
// evenly, so fewer fonts are loaded.
constexpr int kStretchStep = 4;

// The font a control had before any fitting (an empty QFont: it inherits).
constexpr char kOwnFont[] = "captionFitOwnFont";
// The text and width the control was last fitted for.
constexpr char kFittedFor[] = "captionFitFittedFor";
constexpr char kKeeperName[] = "captionKeeper";

QFont ownFont(QWidget* control)
{
    QVariant own = control->property(kOwnFont);
    if (!own.isValid()) {
        own = control->testAttribute(Qt::WA_SetFont) ? control->font() : QFont();
        control->setProperty(kOwnFont, own);
    }
    return own.value<QFont>();
}

int stretchOf(const QFont& font)
{
    return font.stretch() > 0 ? font.stretch() : kNormalStretch;
}

// A group box's font reaches every control inside it: before the title's font
// narrows, the controls inside keep their stretch as their own.
void keepStretchOfChildren(QWidget* box)
{
    for (QWidget* child : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow())
            continue;
        QFont own = ownFont(child);
        own.setStretch(stretchOf(own));
        child->setProperty(kOwnFont, own);
        QFont now = child->font();
        now.setStretch(stretchOf(now));
        child->setFont(now);
    }
}

TextRoom measure(const QWidget* control, int roomOverride)
{
    TextRoom fit = textRoom(control).value_or(TextRoom{});
    if (roomOverride >= 0)
        fit.room = roomOverride;
    return fit;
}

// Narrows the control's present font until its text fits (in roomOverride
// pixels when given, else in the room its style gives it) or the floor is
// reached. Whether it fits in the end.
bool narrowToFit(QWidget* control, int roomOverride = -1)
{
    if (measure(control, roomOverride).fits())
        return true;
    if (qobject_cast<QGroupBox*>(control))
        keepStretchOfChildren(control);
    return narrowFontToFit(control, [&] { return measure(control, roomOverride); });
}

bool layoutHolds(QLayout* layout, const QWidget* widget)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget() == widget || (item->layout() && layoutHolds(item->layout(), widget)))
            return true;
    }
    return false;
}

bool placedByHand(const QWidget* control)
{
    const QWidget* parent = control->parentWidget();
    return parent && !control->isWindow() && !(parent->layout() && layoutHolds(parent->layout(), control));
}

// How far right a control placed by hand may reach: up to the nearest control
// standing to its right on its row (hidden ones too, as they may show), or the
// edge of its parent, less the clearance.
int rightLimit(const QWidget* control)
{
    const QWidget* parent = control->parentWidget();
    const QRect own = control->geometry();
    int limit = parent->width() - kClearance;
    for (const QObject* object : parent->children()) {
        if (!object->isWidgetType() || object == control)
            continue;
        const QRect other = static_cast<const QWidget*>(object)->geometry();
        if (static_cast<const QWidget*>(object)->isWindow() || other.left() <= own.left() || other.bottom() < own.top()
            || other.top() > own.bottom())
            continue;
        limit = qMin(limit, other.left() - kClearance);
    }
    return limit;
}

// A label placed by hand and reading from the left grows to the right.
QLabel* growingLabel(QWidget* control)
{
    auto* label = qobject_cast<QLabel*>(control);
    if (!label || !placedByHand(label) || !(label->alignment() & Qt::AlignLeft) || !textRoom(label))
        return nullptr;
    return label;
}

bool labelFits(QLabel* label)
{
    const TextRoom fit = *textRoom(label);
    const int around = label->width() - fit.room;
    return fit.fits() && label->x() + around + fit.needed <= rightLimit(label);
}

void fitGrowingLabel(QLabel* label)
{
    const int around = label->width() - textRoom(label)->room;
    const int widest = rightLimit(label) - label->x();
    if (widest <= around)
        return;
    narrowToFit(label, widest - around);
    label->resize(qMin(widest, around + textRoom(label)->needed), label->height());
}

// A control placed by hand whose text does not fit at the floor: a few pixels
// more width where nothing stands beside it.
void widenToFit(QWidget* control)
{
    const TextRoom fit = *textRoom(control);
    const int extra = fit.needed - fit.room;
    if (extra > 0 && extra <= kMostExtraWidth && control->geometry().right() + extra < rightLimit(control))
        control->resize(control->width() + extra, control->height());
}

QString fittedFor(const QWidget* control)
{
    return textKey(control) + u'\x1f' + QString::number(control->width());
}

bool fitsNow(QWidget* control)
{
    if (QLabel* label = growingLabel(control))
        return labelFits(label);
    const std::optional<TextRoom> fit = textRoom(control);
    return !fit || fit->fits();
}

// Fits the control afresh from the font it had before any fitting.
void fit(QWidget* control)
{
    control->setFont(ownFont(control));
    if (textRoom(control)) {
        if (QLabel* label = growingLabel(control)) {
            if (!labelFits(label))
                fitGrowingLabel(label);
        } else if (!narrowToFit(control) && placedByHand(control)) {
            widenToFit(control);
        }
    }
    control->setProperty(kFittedFor, fittedFor(control));
}

// Fits the control again if its text changed since, or if it no longer fits
// a room it was not yet fitted for. A control left unfitted at the floor is
// not tried again in the same room, so painting never repeats itself.
void keepFitted(QWidget* control)
{
    const QString last = control->property(kFittedFor).toString();
    const bool sameText = last.section(u'\x1f', 0, 0) == textKey(control) && !last.isEmpty();
    if (sameText && (last == fittedFor(control) || fitsNow(control)))
        return;
    fit(control);
}

bool showsText(const QWidget* widget)
{
    return qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QLabel*>(widget)
        || qobject_cast<const QComboBox*>(widget) || qobject_cast<const QGroupBox*>(widget);
}

// Fits a control just before it paints: by then its page shows and its layout
// has given it its room.
class CaptionKeeper : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            keepFitted(static_cast<QWidget*>(watched));
        return false;
    }
};

} // namespace

bool narrowFontToFit(QWidget* control, const std::function<TextRoom()>& measure)
{
    TextRoom fit = measure();
    if (fit.fits())
        return true;
    const QFont start = control->font();
    int stretch = stretchOf(start);
    const int floor = stretch * kNarrowestStretch / kNormalStretch;
    while (stretch > floor && fit.needed > 0) {
        // Widths shrink less than the stretch: aim half a step below the proportional one.
        const int proportional = stretch * qMax(fit.room, 0) / fit.needed - kStretchStep / 2;
        stretch = qMax(floor, qMin(stretch - 1, proportional) / kStretchStep * kStretchStep);
        QFont narrowed = start;
        narrowed.setStretch(stretch);
        control->setFont(narrowed);
        fit = measure();
        if (fit.fits())
            return true;
    }
    return false;
}

void fitWidestValue(QLineEdit* field, const QString& widest, int mostWidth)
{
    const TextRoom fit = fieldTextRoom(field, widest);
    const int width = qMin(field->width() + fit.needed - fit.room, mostWidth);
    if (field->maximumWidth() < width)
        field->setMaximumWidth(width);
    // Resizes a field placed by hand; a layout gives the field at least this.
    if (field->minimumWidth() < width)
        field->setMinimumWidth(width);
    narrowFontToFit(field, [field, &widest] { return fieldTextRoom(field, widest); });
}

void fitCaption(QAbstractButton* button)
{
    fit(button);
}

void fitCaption(QLabel* label, int availableWidth)
{
    label->setFont(ownFont(label));
    narrowToFit(label, availableWidth);
    label->adjustSize();
    label->setProperty(kFittedFor, fittedFor(label));
}

void keepCaptionsFitted(QWidget* root)
{
    QObject* keeper = root->findChild<QObject*>(QLatin1String(kKeeperName), Qt::FindDirectChildrenOnly);
    if (!keeper) {
        keeper = new CaptionKeeper(root);
        keeper->setObjectName(QLatin1String(kKeeperName));
    }
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        if (!showsText(widget))
            continue;
        widget->installEventFilter(keeper);
        if (widget->isVisible())
            keepFitted(widget);
    }
}
