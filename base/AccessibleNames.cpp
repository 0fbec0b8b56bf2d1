#include "AccessibleNames.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

QLabel* tieLabel(QLabel* label, QWidget* control)
{
    label->setBuddy(control);
    // The typing part of an editable list is a field of its own to a screen reader.
    if (auto* list = qobject_cast<QComboBox*>(control); list && list->lineEdit())
        list->lineEdit()->setAccessibleName(label->text());
    return label;
}

QLabel* describeUnit(QWidget* control, QLabel* unit)
{
    control->setAccessibleDescription(unit->text());
    return unit;
}

void nameControl(QWidget* control, const QString& name)
{
    control->setAccessibleName(name);
}

namespace {

// A drop-down list as a screen reader sees it: named by its accessible name or
// label (as every other control is), its current item as its value, its item
// list (and typing field, where it has one) as children, opened and closed by
// its actions.
class LabelledComboBox : public QAccessibleWidget {
public:
    explicit LabelledComboBox(QComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return list()->isEditable() ? list()->lineEdit()->text() : list()->currentText();
        return QAccessibleWidget::text(kind);
    }

    int childCount() const override { return list()->lineEdit() ? 2 : 1; }

    QAccessibleInterface* child(int index) const override
    {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(list()->view());
        if (index == 1 && list()->lineEdit())
            return QAccessible::queryAccessibleInterface(list()->lineEdit());
        return nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!child)
            return -1;
        if (child->object() == list()->view())
            return 0;
        if (list()->lineEdit() && child->object() == list()->lineEdit())
            return 1;
        return -1;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = list()->view()->isVisible();
        s.editable = list()->isEditable();
        return s;
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }

    void doAction(const QString& action) override
    {
        if (action != showMenuAction() && action != pressAction())
            return;
        if (list()->view()->isVisible())
            list()->hidePopup();
        else
            list()->showPopup();
    }

    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QComboBox* list() const { return static_cast<QComboBox*>(object()); }
};

QAccessibleInterface* labelledComboBoxes(const QString& className, QObject* object)
{
    if (className == QLatin1String("QComboBox") && object && object->isWidgetType())
        return new LabelledComboBox(static_cast<QComboBox*>(object));
    return nullptr;
}

} // namespace

void nameDropDownsByLabel()
{
    // Qt asks the factory installed last first, and installs each one once.
    QAccessible::installFactory(labelledComboBoxes);
}
