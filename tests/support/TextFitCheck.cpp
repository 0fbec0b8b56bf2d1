#include "TextFitCheck.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QTabWidget>
#include <QTextDocument>

#include <optional>

namespace {

// QLineEdit keeps this much between its contents edge and its text, each side.
constexpr int kLineEditTextMargin = 2;
// An item view draws an item's text this far in from its text area, each side:
// the style's focus frame margin and one pixel.
constexpr int kItemTextFocusMarginExtra = 1;

struct TextRoom {
    QString text;
    int needed = 0;
    int room = 0;
};

QString withoutTrailingBlanks(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    return text.left(end);
}

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

// Width of a button's text, '&' marking a shortcut drawn as an underline.
int buttonTextWidth(const QFontMetrics& metrics, const QString& text)
{
    return metrics.size(Qt::TextShowMnemonic, withoutTrailingBlanks(text)).width();
}

QStyleOptionButton buttonOption(const QAbstractButton* button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    return option;
}

int iconAllowance(const QStyleOptionButton& option)
{
    return option.icon.isNull() ? 0 : option.iconSize.width() + 4;
}

std::optional<TextRoom> checkOrRadioRoom(const QAbstractButton* button, QStyle::SubElement contents)
{
    if (button->text().isEmpty())
        return std::nullopt;
    const QStyleOptionButton option = buttonOption(button);
    const QRect area = button->style()->subElementRect(contents, &option, button);
    return TextRoom{button->text(), buttonTextWidth(option.fontMetrics, button->text()),
                    area.width() - iconAllowance(option)};
}

std::optional<TextRoom> pushButtonRoom(const QPushButton* button)
{
    if (button->text().isEmpty())
        return std::nullopt;
    QStyleOptionButton option = buttonOption(button);
    if (button->isDefault())
        option.features |= QStyleOptionButton::DefaultButton;
    if (button->isFlat())
        option.features |= QStyleOptionButton::Flat;
    const QRect area = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    return TextRoom{button->text(), buttonTextWidth(option.fontMetrics, button->text()),
                    area.width() - iconAllowance(option)};
}

bool isRichText(const QLabel* label)
{
    return label->textFormat() == Qt::RichText
        || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
}

int labelTextWidth(const QLabel* label)
{
    if (isRichText(label)) {
        QTextDocument document;
        document.setDefaultFont(label->font());
        document.setDocumentMargin(0);
        document.setHtml(label->text());
        return qCeil(document.idealWidth());
    }
    int widest = 0;
    for (const QString& line : label->text().split(u'\n'))
        widest = qMax(widest, label->fontMetrics().horizontalAdvance(withoutTrailingBlanks(line)));
    return widest;
}

// Where a label draws: its contents less its margin and, for a framed label, its indent.
QRect labelTextArea(const QLabel* label)
{
    QRect area = label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(), -label->margin());
    int indent = label->indent();
    if (indent < 0 && label->frameWidth() > 0)
        indent = label->fontMetrics().horizontalAdvance(u'x') / 2;
    if (indent > 0) {
        if (label->alignment() & Qt::AlignLeft)
            area.setLeft(area.left() + indent);
        else if (label->alignment() & Qt::AlignRight)
            area.setRight(area.right() - indent);
    }
    return area;
}

std::optional<TextRoom> labelRoom(const QLabel* label)
{
    if (label->text().isEmpty() || label->wordWrap())
        return std::nullopt;
    return TextRoom{label->text(), labelTextWidth(label), labelTextArea(label).width()};
}

// The drop-down list's texts and the room of its edit field: the current text
// and every item, any of which the list shows once chosen.
std::optional<TextRoom> comboRoom(const QComboBox* combo)
{
    QStringList texts{combo->currentText()};
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);

    TextRoom widest;
    if (QLineEdit* edit = combo->lineEdit()) {
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.rect = edit->rect();
        option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
        const QRect contents = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit)
                                   .marginsRemoved(edit->textMargins());
        widest.room = contents.width() - 2 * kLineEditTextMargin;
        // A line edit scrolls its text once the text and the caret's column do not fit.
        for (const QString& text : texts) {
            const int needed = edit->fontMetrics().horizontalAdvance(text) + 1;
            if (needed > widest.needed)
                widest = {text, needed, widest.room};
        }
    } else {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = false;
        option.frame = combo->hasFrame();
        option.subControls = QStyle::SC_All;
        option.currentText = combo->currentText();
        const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
        // The style draws the text one pixel in from either side of the field.
        widest.room = field.width() - 2;
        for (const QString& text : texts) {
            const int needed = combo->fontMetrics().horizontalAdvance(withoutTrailingBlanks(text));
            if (needed > widest.needed)
                widest = {text, needed, widest.room};
        }
    }
    if (widest.text.isEmpty())
        return std::nullopt;
    return widest;
}

std::optional<TextRoom> groupTitleRoom(const QGroupBox* box)
{
    if (box->title().isEmpty())
        return std::nullopt;
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.lineWidth = 1;
    option.midLineWidth = 0;
    option.textAlignment = box->alignment();
    option.features = box->isFlat() ? QStyleOptionFrame::Flat : QStyleOptionFrame::None;
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    if (box->isCheckable())
        option.subControls |= QStyle::SC_GroupBoxCheckBox;
    const QRect title = box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    // The style sizes the title's rectangle to the text; what lies beyond the box is cut off.
    return TextRoom{box->title(), title.width(), box->width() - title.left()};
}

std::optional<TextRoom> textRoom(const QWidget* widget)
{
    if (auto* box = qobject_cast<const QCheckBox*>(widget))
        return checkOrRadioRoom(box, QStyle::SE_CheckBoxContents);
    if (auto* radio = qobject_cast<const QRadioButton*>(widget))
        return checkOrRadioRoom(radio, QStyle::SE_RadioButtonContents);
    if (auto* button = qobject_cast<const QPushButton*>(widget))
        return pushButtonRoom(button);
    if (auto* label = qobject_cast<const QLabel*>(widget))
        return labelRoom(label);
    if (auto* combo = qobject_cast<const QComboBox*>(widget))
        return comboRoom(combo);
    if (auto* box = qobject_cast<const QGroupBox*>(widget))
        return groupTitleRoom(box);
    return std::nullopt;
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

bool isControl(const QWidget* widget)
{
    return widget->isVisible() && !widget->isWindow() && !widget->objectName().isEmpty()
        && !widget->objectName().startsWith(QLatin1String("qt_"));
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

// What a control covers in its parent: its rectangle, or for a label the
// stretch its text takes, with room for the eye on either side where the
// label is placed by hand (a layout keeps its own spacing).
QRect footprint(const QWidget* widget)
{
    auto* label = qobject_cast<const QLabel*>(widget);
    if (!label || label->text().isEmpty() || label->wordWrap())
        return widget->geometry();
    QLayout* layout = label->parentWidget()->layout();
    const int clearance = layout && layoutHolds(layout, label) ? 0 : kTextClearance;
    const QRect area = labelTextArea(label);
    const int width = labelTextWidth(label);
    int left = area.left();
    if (label->alignment() & Qt::AlignRight)
        left = area.right() + 1 - width;
    else if (label->alignment() & Qt::AlignHCenter)
        left = area.left() + (area.width() - width) / 2;
    return QRect(widget->x() + left - clearance, widget->y(), width + 2 * clearance, widget->height());
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
    for (qsizetype i = 0; i < controls.size(); ++i) {
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            const QWidget* a = controls[i];
            const QWidget* b = controls[j];
            if ((isContainer(a) && a->geometry().contains(b->geometry()))
                || (isContainer(b) && b->geometry().contains(a->geometry())))
                continue;
            const QRect common = footprint(a).intersected(footprint(b));
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

} // namespace

QStringList textFitFindings(QWidget* root)
{
    QStringList findings;
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* widget : widgets) {
        if (!widget->isVisible())
            continue;
        if (const std::optional<TextRoom> fit = textRoom(widget); fit && fit->needed > fit->room)
            findings << QStringLiteral("%1: '%2' needs %3 px, has %4")
                            .arg(controlName(widget), fit->text)
                            .arg(fit->needed)
                            .arg(fit->room);
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
