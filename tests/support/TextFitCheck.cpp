#include "TextFitCheck.h"

#include "FieldRuleTable.h"
#include "StartFrequencyRule.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>

#include <map>
#include <memory>
#include <optional>

namespace {

// Drawn text may differ by a pixel of anti-aliasing where it starts elsewhere.
constexpr int kInkTolerance = 1;
// An item view draws an item's text this far in from its text area, each side:
// the style's focus frame margin and one pixel.
constexpr int kItemTextFocusMarginExtra = 1;

QString controlName(const QWidget* widget)
{
    if (!widget->objectName().isEmpty())
        return widget->objectName();
    QString name = QString::fromLatin1(widget->metaObject()->className());
    for (const QWidget* up = widget->parentWidget(); up; up = up->parentWidget())
        if (!up->objectName().isEmpty())
            return name + QStringLiteral(" in ") + up->objectName();
    return name;
}

// An edit field of the window's own, not the one inside an editable list.
const QLineEdit* ownField(const QWidget* widget)
{
    auto* field = qobject_cast<const QLineEdit*>(widget);
    if (!field || field->objectName().isEmpty() || qobject_cast<const QComboBox*>(field->parentWidget()))
        return nullptr;
    return field;
}

// The fields with no input rule, and the widest value each is given: the
// reader's address in "Communication Settings", the longest hopping interval
// (100 steps of 10 ms), the reader's address and port in the Tag Monitor.
const std::map<QString, QString> fieldsWithoutRule{
    {QStringLiteral("Edit71"), QStringLiteral("255.255.255.255")},
    {QStringLiteral("Edit16"), QStringLiteral("1000")},
    {QStringLiteral("ReaderAddressEdit"), QStringLiteral("255.255.255.255:65535")},
};

QString widestOf(const QFontMetrics& metrics, QStringView characters, int count)
{
    QChar widest = characters.front();
    for (const QChar c : characters)
        if (metrics.horizontalAdvance(c) > metrics.horizontalAdvance(widest))
            widest = c;
    return QString(count, widest);
}

// The widest value a field must show whole: a number field's largest number,
// a code field's longest code (of its widest digit); nothing for a field
// the check knows no value for.
std::optional<QString> widestValue(const QLineEdit* field)
{
    const QString name = field->objectName();
    for (const FieldRule& rule : fieldRules) {
        if (name != QLatin1String(rule.name.data(), qsizetype(rule.name.size())))
            continue;
        if (rule.startFrequency)
            return QString::number(startFrequency::highest);
        if (rule.range)
            return QString::number(rule.range->upperLimit);
        if (rule.maxLength == 0)
            return std::nullopt;
        const QString alphabet = rule.filter == CharacterFilter::Hex ? QStringLiteral("0123456789ABCDEF")
                                                                     : QStringLiteral("0123456789");
        return widestOf(field->fontMetrics(), alphabet, rule.maxLength);
    }
    if (const auto known = fieldsWithoutRule.find(name); known != fieldsWithoutRule.end())
        return known->second;
    return std::nullopt;
}

bool showsOwnText(const QWidget* widget)
{
    if (auto* label = qobject_cast<const QLabel*>(widget))
        return !label->wordWrap();
    return ownField(widget) || qobject_cast<const QCheckBox*>(widget) || qobject_cast<const QRadioButton*>(widget)
        || qobject_cast<const QPushButton*>(widget) || qobject_cast<const QComboBox*>(widget)
        || qobject_cast<const QGroupBox*>(widget);
}

// The texts a control can show: its caption, title or label, or each item of
// a list (any of which the list shows once chosen).
QStringList textsOf(const QWidget* widget)
{
    if (const QLineEdit* field = ownField(widget)) {
        const std::optional<QString> widest = widestValue(field);
        return widest ? QStringList{*widest} : QStringList{};
    }
    if (auto* button = qobject_cast<const QAbstractButton*>(widget))
        return {button->text()};
    if (auto* label = qobject_cast<const QLabel*>(widget))
        return {label->text()};
    if (auto* box = qobject_cast<const QGroupBox*>(widget))
        return {box->title()};
    QStringList items;
    if (auto* list = qobject_cast<const QComboBox*>(widget))
        for (int i = 0; i < list->count(); ++i)
            items << list->itemText(i);
    return items;
}

// A new control of the same kind as control, showing text in its font and
// style, with what decides where its text goes; not on screen.
std::unique_ptr<QWidget> standIn(const QWidget* control, const QString& text)
{
    std::unique_ptr<QWidget> copy;
    if (auto* field = qobject_cast<const QLineEdit*>(control)) {
        // Its text ends where the cursor stands after a query or a keystroke.
        auto* own = new QLineEdit(text);
        own->setFrame(field->hasFrame());
        own->setAlignment(field->alignment());
        own->setTextMargins(field->textMargins());
        own->setContentsMargins(field->contentsMargins());
        own->setReadOnly(field->isReadOnly());
        copy.reset(own);
    } else if (auto* list = qobject_cast<const QComboBox*>(control)) {
        auto* own = new QComboBox;
        own->setEditable(list->isEditable());
        own->setFrame(list->hasFrame());
        own->setIconSize(list->iconSize());
        own->addItem(text);
        copy.reset(own);
    } else if (auto* label = qobject_cast<const QLabel*>(control)) {
        auto* own = new QLabel(text);
        own->setTextFormat(label->textFormat());
        own->setAlignment(label->alignment());
        own->setMargin(label->margin());
        own->setIndent(label->indent());
        own->setFrameStyle(label->frameStyle());
        own->setLineWidth(label->lineWidth());
        own->setMidLineWidth(label->midLineWidth());
        own->setContentsMargins(label->contentsMargins());
        if (label->buddy())
            own->setBuddy(own);   // a buddy makes '&' mark a shortcut
        copy.reset(own);
    } else if (auto* box = qobject_cast<const QGroupBox*>(control)) {
        auto* own = new QGroupBox(text);
        own->setAlignment(box->alignment());
        own->setFlat(box->isFlat());
        own->setCheckable(box->isCheckable());
        copy.reset(own);
    } else if (auto* button = qobject_cast<const QAbstractButton*>(control)) {
        QAbstractButton* own = nullptr;
        if (qobject_cast<const QCheckBox*>(control)) {
            own = new QCheckBox(text);
        } else if (qobject_cast<const QRadioButton*>(control)) {
            own = new QRadioButton(text);
        } else {
            auto* push = new QPushButton(text);
            push->setFlat(qobject_cast<const QPushButton*>(control)->isFlat());
            push->setDefault(qobject_cast<const QPushButton*>(control)->isDefault());
            own = push;
        }
        own->setIcon(button->icon());
        own->setIconSize(button->iconSize());
        copy.reset(own);
    }
    QFont font = control->font();
    font.setResolveMask(QFont::AllPropertiesResolved);
    copy->setFont(font);
    if (control->style() != QApplication::style())
        copy->setStyle(control->style());
    copy->setLayoutDirection(control->layoutDirection());
    copy->setEnabled(control->isEnabled());
    return copy;
}

QImage drawn(QWidget* widget, const QSize& size)
{
    widget->resize(size);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    // An editable list draws its text in its edit field, a child of its own.
    const bool children = qobject_cast<QComboBox*>(widget) != nullptr;
    widget->render(&image, QPoint(), QRegion(),
                   children ? QWidget::DrawWindowBackground | QWidget::DrawChildren : QWidget::DrawWindowBackground);
    return image;
}

// The pixels where two drawings of a control differ.
QRect difference(const QImage& a, const QImage& b)
{
    QRect differ;
    for (int y = 0; y < a.height(); ++y) {
        const auto* left = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* right = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            if (left[x] != right[x])
                differ |= QRect(x, y, 1, 1);
    }
    return differ;
}

struct TextInk {
    QRect shown;    // where the control, at its size, draws the text
    int whole = 0;  // how wide the text is drawn where the control has room to spare
};

// Where the text is drawn: the pixels in which a control of the same kind
// showing it differs from one showing no text. A group box without a title
// draws its frame higher; its title is told apart by the colour of its text
// instead (which no style draws a frame in).
TextInk inkOf(const QWidget* control, const QString& text)
{
    const std::unique_ptr<QWidget> with = standIn(control, text);
    std::unique_ptr<QWidget> without;
    if (qobject_cast<const QGroupBox*>(control)) {
        without = standIn(control, text);
        QPalette marked = without->palette();
        marked.setColor(QPalette::WindowText, QColor(255, 0, 255));
        without->setPalette(marked);
    } else {
        without = standIn(control, QString());
    }
    const QSize roomy = control->size() + QSize(2 * with->fontMetrics().horizontalAdvance(text) + 40, 0);
    return {difference(drawn(with.get(), control->size()), drawn(without.get(), control->size())),
            difference(drawn(with.get(), roomy), drawn(without.get(), roomy)).width()};
}

// The pixels a text may take: a button's keep kTextClearance pixels clear of
// the frame the style draws around it (a caption touching its frame is not
// cut, but does not read as fitting); any other control's text may run to
// where the control cuts it.
int roomFor(const QWidget* control, const TextInk& ink)
{
    if (!qobject_cast<const QPushButton*>(control))
        return ink.shown.width();
    const int edge = control->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, control) + kTextClearance;
    return qMin(ink.shown.right(), control->width() - 1 - edge) - qMax(ink.shown.left(), edge) + 1;
}

struct CutText {
    QString text;
    int needed = 0;
    int room = 0;
};

// The control's text that falls shortest of its room, when one does.
std::optional<CutText> cutText(const QWidget* control)
{
    std::optional<CutText> worst;
    for (const QString& text : textsOf(control)) {
        if (text.trimmed().isEmpty())
            continue;
        const TextInk ink = inkOf(control, text);
        const CutText fit{text, ink.whole, roomFor(control, ink)};
        if (fit.needed - fit.room > kInkTolerance && (!worst || fit.needed - fit.room > worst->needed - worst->room))
            worst = fit;
    }
    return worst;
}

bool isControl(const QWidget* widget)
{
    return widget->isVisible() && !widget->isWindow() && !widget->objectName().isEmpty()
        && !widget->objectName().startsWith(QLatin1String("qt_"));
}

bool inLayout(const QWidget* widget)
{
    for (const QLayout* layout : widget->parentWidget()->findChildren<QLayout*>())
        if (layout->indexOf(widget) >= 0)
            return true;
    return false;
}

// What a control covers in its parent: its rectangle, or for a label the
// stretch its text's ink takes, with room for the eye on either side where
// the label is placed by hand (a layout keeps its own spacing).
QRect footprint(const QWidget* widget)
{
    auto* label = qobject_cast<const QLabel*>(widget);
    if (!label || label->wordWrap() || label->text().trimmed().isEmpty())
        return widget->geometry();
    const QRect ink = inkOf(label, label->text()).shown;
    const int clearance = inLayout(label) ? 0 : kTextClearance;
    return QRect(widget->x() + ink.left() - clearance, widget->y(), ink.width() + 2 * clearance, widget->height());
}

// Controls meant to hold others, in front of which a control may stand.
bool isContainer(const QWidget* widget)
{
    return qobject_cast<const QTabWidget*>(widget) || qobject_cast<const QGroupBox*>(widget)
        || widget->metaObject() == &QWidget::staticMetaObject || widget->metaObject() == &QFrame::staticMetaObject;
}

void findOverlaps(const QWidget* parent, QStringList& findings)
{
    QList<const QWidget*> controls;
    for (QObject* object : parent->children())
        if (object->isWidgetType() && isControl(static_cast<QWidget*>(object)))
            controls << static_cast<QWidget*>(object);
    QList<QRect> covered;
    for (const QWidget* control : controls)
        covered << footprint(control);
    for (qsizetype i = 0; i < controls.size(); ++i) {
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            const QWidget* a = controls[i];
            const QWidget* b = controls[j];
            if ((isContainer(a) && a->geometry().contains(b->geometry()))
                || (isContainer(b) && b->geometry().contains(a->geometry())))
                continue;
            const QRect common = covered[i].intersected(covered[j]);
            if (!common.isEmpty())
                findings << QStringLiteral("%1 and %2 overlap by %3 x %4 px")
                                .arg(controlName(a), controlName(b))
                                .arg(common.width())
                                .arg(common.height());
        }
    }
}

QList<QTabWidget*> tabControlsWithin(QWidget* root, const QTabWidget* outer)
{
    QList<QTabWidget*> found;
    for (QTabWidget* tabs : root->findChildren<QTabWidget*>()) {
        QWidget* up = tabs->parentWidget();
        while (up && up != root && !qobject_cast<QTabWidget*>(up))
            up = up->parentWidget();
        if (up == root || up == outer)
            found << tabs;
    }
    return found;
}

void walkTabs(QTabWidget* tabs, const QString& path, const std::function<void(const QString&)>& visit)
{
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        settle();
        const QString page = path.isEmpty() ? tabs->tabText(i) : path + QStringLiteral(" / ") + tabs->tabText(i);
        const QList<QTabWidget*> inner = tabControlsWithin(tabs->widget(i), tabs);
        if (inner.isEmpty())
            visit(page);
        for (QTabWidget* innerTabs : inner)
            walkTabs(innerTabs, page, visit);
    }
    tabs->setCurrentIndex(0);
    settle();
}

// Each item of a list: its text within the room the style gives it in the
// item, and the item, where the view shows it at all, shown whole rather than
// cut by the view's edge or a scroll bar (items scrolled wholly away are fine).
void findListItemMisfits(const QListView* list, QStringList& findings)
{
    const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + kItemTextFocusMarginExtra;
    for (int row = 0; list->model() && row < list->model()->rowCount(); ++row) {
        const QModelIndex index = list->model()->index(row, list->modelColumn());
        QStyleOptionViewItem option;
        option.initFrom(list);
        option.rect = list->visualRect(index);
        option.text = index.data().toString();
        option.features = QStyleOptionViewItem::HasDisplay;
        if (index.data(Qt::CheckStateRole).isValid())
            option.features |= QStyleOptionViewItem::HasCheckIndicator;
        const int room = list->style()->subElementRect(QStyle::SE_ItemViewItemText, &option, list).width() - 2 * margin;
        const int needed = option.fontMetrics.horizontalAdvance(option.text);
        if (needed > room)
            findings << QStringLiteral("%1: item '%2' needs %3 px, has %4").arg(controlName(list), option.text).arg(needed).arg(room);
        const QRect view = list->viewport()->rect();
        if (option.rect.intersects(view) && !view.contains(option.rect))
            findings << QStringLiteral("%1: item '%2' shows only in part").arg(controlName(list), option.text);
    }
}

} // namespace

QStringList textFitFindings(QWidget* root)
{
    QStringList findings;
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* widget : widgets) {
        if (!widget->isVisible())
            continue;
        if (const QLineEdit* field = ownField(widget); field && !widestValue(field))
            findings << QStringLiteral("%1: the widest value it must show is not known").arg(controlName(widget));
        if (showsOwnText(widget))
            if (const std::optional<CutText> cut = cutText(widget))
                findings << QStringLiteral("%1: '%2' needs %3 px, has %4")
                                .arg(controlName(widget), cut->text)
                                .arg(cut->needed)
                                .arg(cut->room);
        if (auto* list = qobject_cast<QListView*>(widget))
            findListItemMisfits(list, findings);
        findOverlaps(widget, findings);
    }
    return findings;
}

void forEachPage(QWidget* root, const std::function<void(const QString& page)>& visit)
{
    settle();
    for (QTabWidget* tabs : tabControlsWithin(root, nullptr))
        walkTabs(tabs, QString(), visit);
}

void settle()
{
    for (int round = 0; round < 5; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}
