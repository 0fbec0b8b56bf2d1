#include "TextRoom.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>

namespace {

// Room a push button keeps between its frame and its caption, each side.
constexpr int kButtonCaptionInset = 3;
// A line edit keeps this much between its contents and its text, each side,
// and one column for the caret.
constexpr int kLineEditTextMargin = 2;
constexpr int kCaretWidth = 1;
// A drop-down list draws its text one pixel in from either side of the field.
constexpr int kListTextInset = 1;

// Blanks at the end of a text align it with its neighbours' texts; they show nothing.
QString visiblePart(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    return text.left(end);
}

int captionWidth(const QFontMetrics& metrics, const QString& text)
{
    return metrics.size(Qt::TextShowMnemonic, visiblePart(text)).width();
}

std::optional<TextRoom> buttonRoom(const QAbstractButton* button, int inset)
{
    if (button->text().isEmpty())
        return std::nullopt;
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox*>(button))
        contents = QStyle::SE_CheckBoxContents;
    else if (qobject_cast<const QRadioButton*>(button))
        contents = QStyle::SE_RadioButtonContents;
    else if (!qobject_cast<const QPushButton*>(button))
        return std::nullopt;
    int room = button->style()->subElementRect(contents, &option, button).width() - 2 * inset;
    if (!option.icon.isNull())
        room -= option.iconSize.width() + 4;
    return TextRoom{captionWidth(option.fontMetrics, button->text()), room};
}

std::optional<TextRoom> labelRoom(const QLabel* label)
{
    if (label->text().isEmpty() || label->wordWrap() || label->textFormat() == Qt::RichText
        || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text())))
        return std::nullopt;
    int needed = 0;
    for (const QString& line : label->text().split(u'\n'))
        needed = qMax(needed, label->fontMetrics().horizontalAdvance(visiblePart(line)));
    int room = label->contentsRect().width() - 2 * label->margin();
    int indent = label->indent();
    if (indent < 0 && label->frameWidth() > 0)
        indent = label->fontMetrics().horizontalAdvance(u'x') / 2;
    if (indent > 0 && (label->alignment() & (Qt::AlignLeft | Qt::AlignRight)))
        room -= indent;
    return TextRoom{needed, room};
}

// Every item, any of which the list shows once chosen. Text typed into an
// editable list is the operator's and scrolls like an edit field's.
QStringList listTexts(const QComboBox* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->itemText(i);
    return texts;
}

std::optional<TextRoom> listRoom(const QComboBox* list)
{
    TextRoom fit;
    if (const QLineEdit* edit = list->lineEdit()) {
        fit.room = fieldTextRoom(edit, QString()).room;
        for (const QString& text : listTexts(list))
            if (!text.isEmpty())
                fit.needed = qMax(fit.needed, fieldTextRoom(edit, text).needed);
    } else {
        QStyleOptionComboBox option;
        option.initFrom(list);
        option.frame = list->hasFrame();
        option.subControls = QStyle::SC_All;
        const QRect field = list->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
        fit.room = field.width() - 2 * kListTextInset;
        for (const QString& text : listTexts(list))
            fit.needed = qMax(fit.needed, list->fontMetrics().horizontalAdvance(visiblePart(text)));
    }
    if (fit.needed == 0)
        return std::nullopt;
    return fit;
}

std::optional<TextRoom> titleRoom(const QGroupBox* box)
{
    if (box->title().isEmpty())
        return std::nullopt;
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.lineWidth = 1;
    option.textAlignment = box->alignment();
    option.features = box->isFlat() ? QStyleOptionFrame::Flat : QStyleOptionFrame::None;
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    if (box->isCheckable())
        option.subControls |= QStyle::SC_GroupBoxCheckBox;
    // The style sizes the title's rectangle to the text; beyond the box it is cut off.
    const QRect title = box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    return TextRoom{title.width(), box->width() - title.left()};
}

} // namespace

TextRoom fieldTextRoom(const QLineEdit* field, const QString& text)
{
    QStyleOptionFrame option;
    option.initFrom(field);
    option.lineWidth = field->hasFrame() ? field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field) : 0;
    const QRect contents = field->style()->subElementRect(QStyle::SE_LineEditContents, &option, field)
                               .marginsRemoved(field->textMargins());
    return TextRoom{field->fontMetrics().horizontalAdvance(text) + kCaretWidth, contents.width() - 2 * kLineEditTextMargin};
}

std::optional<TextRoom> textRoom(const QWidget* control)
{
    if (auto* button = qobject_cast<const QAbstractButton*>(control))
        return buttonRoom(button, qobject_cast<const QPushButton*>(button) ? kButtonCaptionInset : 0);
    if (auto* label = qobject_cast<const QLabel*>(control))
        return labelRoom(label);
    if (auto* list = qobject_cast<const QComboBox*>(control))
        return listRoom(list);
    if (auto* box = qobject_cast<const QGroupBox*>(control))
        return titleRoom(box);
    return std::nullopt;
}

QString textKey(const QWidget* control)
{
    if (auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (auto* list = qobject_cast<const QComboBox*>(control))
        return listTexts(list).join(u'\n');
    if (auto* box = qobject_cast<const QGroupBox*>(control))
        return box->title();
    return QString();
}
