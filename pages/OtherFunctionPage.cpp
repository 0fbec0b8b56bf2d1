#include "OtherFunctionPage.h"

#include "ControlBindings.h"
#include "ReaderTabParts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

const QStringList OtherFunctionPage::matchLengthItems = {
    QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
    QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"),
};

namespace {

using namespace readertab;

constexpr const Para& matchOn = paraNamed(Page::Reader, "id_feature_match");
constexpr const Para& matchLength = paraNamed(Page::Reader, "id_feature_length");   // the list shows 1 to 6
constexpr const Para& matchValue = paraNamed(Page::Reader, "id_feature_value");
constexpr const Para& offLineOn = paraNamed(Page::Reader, "offline_function");      // written through SetOLEnable
constexpr const Para& offLineInterval = paraNamed(Page::Reader, "offline_interval");
constexpr const Para& identificationMode = paraNamed(Page::Reader, "identification_mode");
constexpr const Para& synchronization = paraNamed(Page::Reader, "synchronization");

// A radio group: a titled box of exclusive buttons, one per item, in columns.
RadioSet radioGroup(const char* name, const char* title, const QStringList& items, int columns, QWidget* parent)
{
    auto* group = named(new QGroupBox(QString::fromLatin1(title), parent), name);
    auto* grid = groupGrid(group, groupSpacing);
    QList<QRadioButton*> buttons;
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], group);
        grid->addWidget(button, i / columns, i % columns);
        buttons.append(button);
    }
    buttons.front()->setChecked(true);
    return RadioSet(buttons);
}

QGroupBox* groupOf(const RadioSet& set)
{
    return qobject_cast<QGroupBox*>(set.buttons().front()->parentWidget());
}

struct OtherFunctionControls {
    QCheckBox* matchOn = nullptr;          // CheckBox65
    QComboBox* matchLength = nullptr;      // ComboBox26
    QLineEdit* matchValue = nullptr;       // Edit6
    QCheckBox* offLineOn = nullptr;        // CheckBox66
    QLineEdit* offLineInterval = nullptr;  // Edit72
    QLabel* offLineUnit = nullptr;         // Label102
    RadioSet identification;               // RadioGroup2
    RadioSet synchronization;              // RadioGroup5
};

OtherFunctionControls buildOtherFunction(QWidget* sheet)
{
    OtherFunctionControls c;
    QFrame* frame = panel("Panel4", sheet);

    auto* match = named(new QGroupBox(QStringLiteral("ID Feature Match"), frame), "GroupBox10");
    auto* matchGrid = groupGrid(match, groupSpacing);
    c.matchOn = namedCheckBox("CheckBox65", "Enable IDF Function", match);
    c.matchLength = named(new QComboBox(match), "ComboBox26");
    c.matchLength->addItems(OtherFunctionPage::matchLengthItems);
    c.matchLength->setCurrentIndex(int(OtherFunctionPage::matchLengthItems.size()) - 1);
    c.matchLength->setEnabled(false);
    c.matchValue = named(new QLineEdit(match), "Edit6");
    c.matchValue->setEnabled(false);
    c.matchValue->setMinimumWidth(96);   // twelve hex digits
    matchGrid->addWidget(c.matchOn, 0, 0, 1, 2);
    matchGrid->addWidget(captionOf(c.matchLength, "Length(Byte)"), 1, 0);
    matchGrid->addWidget(c.matchLength, 1, 1, Qt::AlignLeft);
    matchGrid->addWidget(captionOf(c.matchValue, "Value"), 2, 0);
    matchGrid->addWidget(c.matchValue, 2, 1);

    auto* offLine = named(new QGroupBox(QStringLiteral("Off-Line Function"), frame), "GroupBox12");
    auto* offLineGrid = groupGrid(offLine, groupSpacing);
    c.offLineOn = namedCheckBox("CheckBox66", "Enable Off-Line Function", offLine);
    c.offLineInterval = numberField("Edit72", "65535", offLine, 48);
    c.offLineInterval->setEnabled(false);
    c.offLineUnit = describeUnit(c.offLineInterval, named(new QLabel(QStringLiteral("Second"), offLine), "Label102"));
    c.offLineUnit->setEnabled(false);
    offLineGrid->addWidget(c.offLineOn, 0, 0, 1, 3);
    offLineGrid->addWidget(captionOf(c.offLineInterval, "Interval"), 1, 0);
    offLineGrid->addWidget(c.offLineInterval, 1, 1);
    offLineGrid->addWidget(c.offLineUnit, 1, 2);
    offLineGrid->setRowStretch(2, 1);

    c.identification = radioGroup("RadioGroup2", "Identification Mode",
                                  {QStringLiteral("Single Tag"), QStringLiteral("Multiple Tag")}, 2, frame);
    c.synchronization = radioGroup("RadioGroup5", "Synchronization", {QStringLiteral("Host"), QStringLiteral("Self")}, 2,
                                   frame);

    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setSpacing(6);
    grid->addWidget(match, 0, 0);
    grid->addWidget(offLine, 0, 1);
    grid->addWidget(groupOf(c.identification), 1, 0);
    grid->addWidget(groupOf(c.synchronization), 1, 1);
    grid->setRowStretch(2, 1);
    return c;
}

void connectOtherFunctionRules(const OtherFunctionControls& c)
{
    enableWhileChecked(c.matchOn, c.matchLength);
    enableWhileChecked(c.matchOn, c.matchValue);
    enableWhileChecked(c.offLineOn, c.offLineInterval);
    enableWhileChecked(c.offLineOn, c.offLineUnit);
}

} // namespace

OtherFunctionPage::OtherFunctionPage(QWidget* sheet, PageContext context)
    : StepPage(std::move(context))
{
    const OtherFunctionControls c = buildOtherFunction(sheet);
    connectOtherFunctionRules(c);

    // The match length and value go with the match switch only; the value's byte
    // count comes from its text, not from the length list. A value of fewer than
    // two digits is not written. The query reads everything whatever the
    // switches show; the length before the value, which shows as many bytes as
    // the length says.
    const ParaRow on = row(matchOn, c.matchOn, QStringLiteral("Setup ID Feature Match Function Failedly !"),
                           QStringLiteral("查询特征值使能参数失败 !"));
    const ParaRow length = row(matchLength, c.matchLength, QStringLiteral("Setup IDF Match Length Failedly !"),
                               QStringLiteral("查询特征值匹配长度参数失败 !"))
                               .setupOnlyIf(whileChecked(c.matchOn));
    const ParaRow value = row(matchValue, LengthFrom{c.matchValue, c.matchLength, &matchLength},
                              QStringLiteral("Setup IDF Match Value Failedly !"), QStringLiteral("查询特征值参数失败 !"))
                              .setupOnlyIf(whileChecked(c.matchOn));
    const ParaRow offLine = row(offLineOn, c.offLineOn, QStringLiteral("Setup Off-Line Function Failedly !"),
                                QStringLiteral("查询离线功能使能参数失败 !"));
    const ParaRow interval = row(offLineInterval, c.offLineInterval, QStringLiteral("Setup Off-Line Interval Failedly !"),
                                 QStringLiteral("查询离线功能保存记录时间间隔参数失败 !"))
                                 .setupOnlyIf(whileChecked(c.offLineOn));
    // A radio group's index stops at its last item.
    const ParaRow sync = row(synchronization, bindingFor(synchronization, c.synchronization, PastLast::Last),
                             QStringLiteral("Setup Synchronization Mode Parameter Failed !"),
                             QStringLiteral("Query Synchronization Mode Parameter Failed !"));
    const ParaRow identification = row(identificationMode, bindingFor(identificationMode, c.identification, PastLast::Last),
                                       QStringLiteral("Setup Identification Mode Parameter Failed !"),
                                       QStringLiteral("Query Identification Mode Parameter Failed !"));

    setup_ = setupRoutine({on, length, value, offLine, interval, sync, identification}, setupLines);
    query_ = queryRoutine({on, length, value, offLine, interval, identification, sync}, queryLines);
}
