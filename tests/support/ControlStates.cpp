#include "ControlStates.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>

namespace {

QString onOff(bool enabled)
{
    return enabled ? QStringLiteral("enabled") : QStringLiteral("disabled");
}

QString quoted(const QString& text)
{
    return u'\'' + text + u'\'';
}

QString listState(const QListWidget* list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i) {
        const QListWidgetItem* item = list->item(i);
        QString text = item->text();
        if (item->flags() & Qt::ItemIsUserCheckable)
            text += item->checkState() == Qt::Checked ? QStringLiteral(" [x]") : QStringLiteral(" [ ]");
        if (!(item->flags() & Qt::ItemIsEnabled))
            text += QStringLiteral(" (greyed)");
        items << text;
    }
    return QStringLiteral("%1 items [%2]").arg(list->count()).arg(items.join(QStringLiteral(", ")));
}

QString comboState(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return QStringLiteral("item %1 %2 of [%3]")
        .arg(combo->currentIndex())
        .arg(quoted(combo->currentText()), items.join(QStringLiteral(", ")));
}

// The kind and state of a control that shows something; nothing for other widgets.
std::optional<std::pair<QString, QString>> describe(const QWidget* widget)
{
    if (const auto* box = qobject_cast<const QCheckBox*>(widget))
        return std::pair{QStringLiteral("check box"), box->isChecked() ? QStringLiteral("checked") : QStringLiteral("unchecked")};
    if (const auto* button = qobject_cast<const QRadioButton*>(widget))
        return std::pair{QStringLiteral("radio button"),
                         button->isChecked() ? QStringLiteral("selected") : QStringLiteral("not selected")};
    if (const auto* combo = qobject_cast<const QComboBox*>(widget))
        return std::pair{QStringLiteral("drop-down list"), comboState(combo)};
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        if (qobject_cast<const QComboBox*>(edit->parentWidget()))
            return std::nullopt;   // the edit part of an editable list: its text is the list's
        return std::pair{QStringLiteral("edit field"), quoted(edit->text())};
    }
    if (const auto* list = qobject_cast<const QListWidget*>(widget))
        return std::pair{QStringLiteral("check list"), listState(list)};
    if (const auto* slider = qobject_cast<const QSlider*>(widget))
        return std::pair{QStringLiteral("track bar"), QString::number(slider->value())};
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return std::pair{QStringLiteral("label"), quoted(label->text())};
    if (const auto* group = qobject_cast<const QGroupBox*>(widget))
        return std::pair{QStringLiteral("group"), quoted(group->title())};
    return std::nullopt;
}

// The designer name, or for an unnamed button the nearest named ancestor's and its caption.
QString nameOf(const QWidget* widget, const QWidget* page)
{
    if (!widget->objectName().isEmpty())
        return widget->objectName();
    const auto* button = qobject_cast<const QAbstractButton*>(widget);
    if (!button)
        return {};
    for (const QWidget* up = widget->parentWidget(); up && up != page; up = up->parentWidget())
        if (!up->objectName().isEmpty() && !up->objectName().startsWith(QLatin1String("qt_")))
            return up->objectName() + u'/' + button->text();
    return page->objectName() + u'/' + button->text();
}

} // namespace

QList<ControlState> controlStates(QWidget* page)
{
    QList<ControlState> states;
    for (const QWidget* widget : page->findChildren<QWidget*>()) {
        const auto described = describe(widget);
        const QString name = nameOf(widget, page);
        // Unnamed labels are captions that nothing changes.
        if (!described || name.isEmpty() || name.startsWith(QLatin1String("qt_")))
            continue;
        states.append({name, described->first, described->second + QStringLiteral(", ") + onOff(widget->isEnabled())});
    }
    for (const QAction* action : page->findChildren<QAction*>()) {
        if (action->objectName().isEmpty())
            continue;
        states.append({action->objectName(), QStringLiteral("menu entry"),
                       (action->isVisible() ? QStringLiteral("shown, ") : QStringLiteral("hidden, "))
                           + onOff(action->isEnabled())});
    }
    return states;
}

std::optional<QString> firstDifference(const QList<ControlState>& left, const QList<ControlState>& right,
                                       const std::function<bool(const QString& name)>& skip)
{
    QHash<QString, const ControlState*> rightByName;
    for (const ControlState& state : right)
        rightByName.insert(state.name, &state);
    for (const ControlState& l : left) {
        if (skip && skip(l.name))
            continue;
        const ControlState* r = rightByName.value(l.name);
        if (!r)
            return QStringLiteral("%1 (%2) is only on the left").arg(l.name, l.kind);
        if (r->kind != l.kind || r->state != l.state)
            return QStringLiteral("%1 (%2): %3  <->  %4 (%5)").arg(l.name, l.kind, l.state, r->state, r->kind);
    }
    QHash<QString, bool> leftNames;
    for (const ControlState& l : left)
        leftNames.insert(l.name, true);
    for (const ControlState& r : right)
        if (!leftNames.contains(r.name) && !(skip && skip(r.name)))
            return QStringLiteral("%1 (%2) is only on the right").arg(r.name, r.kind);
    return std::nullopt;
}

QWidget* pageShowing(QWidget* root)
{
    for (QTabWidget* tabs : root->findChildren<QTabWidget*>()) {
        QWidget* current = tabs->currentWidget();
        if (!current || !tabs->isVisible())
            continue;
        bool holdsTabs = false;
        for (const QTabWidget* inner : current->findChildren<QTabWidget*>())
            holdsTabs = holdsTabs || inner->isVisible();
        if (!holdsTabs)
            return current;
    }
    return nullptr;
}
