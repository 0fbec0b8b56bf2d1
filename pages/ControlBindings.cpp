#include "ControlBindings.h"

#include "FieldRuleTable.h"
#include "HexText.h"
#include "IntegerText.h"
#include "PageKeys.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSlider>

#include <algorithm>
#include <initializer_list>

namespace {

// A page bound a control to a parameter that cannot take it: a mistake of the
// page's code, stopped the moment the page is built.
void requireKind(const Para& para, std::initializer_list<ValueKind> kinds, const char* control)
{
    if (std::find(kinds.begin(), kinds.end(), para.kind) == kinds.end())
        qFatal("%s cannot show %s: its value kind takes another control", control, qualifiedName(para).c_str());
}

// A field bound to another parameter than its input rule names would keep that one's range.
void requireRuleFor(const Para& para, const QLineEdit* field)
{
    const QByteArray name = field->objectName().toLatin1();
    const FieldRule* rule = findFieldRule(std::string_view(name.constData(), std::size_t(name.size())));
    if (rule && rule->para && rule->para != &para)
        qFatal("%s shows %s, but its input rule is %s's", name.constData(), qualifiedName(para).c_str(),
               qualifiedName(*rule->para).c_str());
}

bool isNumber(const Para& para)
{
    return para.kind == ValueKind::Byte || para.kind == ValueKind::Word || para.kind == ValueKind::StartFrequency;
}

StepValue positionValue(const Para& para, int position)
{
    if (position < 0)
        return StepValue::missing();
    return StepValue::byte(codeAtPosition(para, position));
}

// The first count bytes (all, where fewer) as upper-case hexadecimal pairs: {0xA1, 0x05} -> "A105".
QString hexPairs(const ParaBytes& bytes, std::size_t count)
{
    const auto end = bytes.begin() + std::ptrdiff_t(qMin(count, bytes.size()));
    return QString::fromStdString(hexText(ParaBytes(bytes.begin(), end)));
}

} // namespace

std::function<bool()> whileChecked(QCheckBox* box)
{
    return [box] { return box->isChecked(); };
}

Binding bindingFor(const Para& para, QLineEdit* field)
{
    requireKind(para, {ValueKind::Byte, ValueKind::Word, ValueKind::StartFrequency, ValueKind::HexBytes}, "a field");
    requireRuleFor(para, field);
    const Para* p = &para;
    if (isNumber(para)) {
        return {
            [p, field] { return StepValue::bytes(*numberBytes(*p, toInteger(field->text()), OutOfRange::LowBits).result); },
            [p, field](const ParaBytes& bytes) { field->setText(QString::number(numberFromBytes(*p, bytes))); },
        };
    }
    return {
        [field] {
            std::optional<ParaBytes> bytes = bytesFromHex(field->text().toStdString(), OddDigit::Drop);
            if (!bytes)
                return StepValue::missing();
            return bytes->empty() ? StepValue::nothing() : StepValue::bytes(std::move(*bytes));
        },
        [p, field](const ParaBytes& bytes) { field->setText(hexPairs(bytes, hexValueLength(*p, bytes))); },
    };
}

Binding bindingFor(const Para& para, QCheckBox* box)
{
    requireKind(para, {ValueKind::Flag}, "a check box");
    return {
        [box] { return StepValue::bytes(flagBytes(box->isChecked())); },
        [box](const ParaBytes& bytes) { box->setChecked(flagFromBytes(bytes)); },
    };
}

Binding bindingFor(const Para& para, QComboBox* list)
{
    requireKind(para, {ValueKind::Choice, ValueKind::Byte}, "a list");
    const Para* p = &para;
    return {
        [p, list] { return positionValue(*p, list->currentIndex()); },
        [p, list](const ParaBytes& bytes) {
            list->setCurrentIndex(positionOfCode(*p, bytes.at(0), list->count(), PastLast::None));
        },
    };
}

Binding bindingFor(const Para& para, RadioSet set, PastLast pastLast)
{
    requireKind(para, {ValueKind::Choice}, "a radio set");
    const Para* p = &para;
    return {
        [p, set] { return positionValue(*p, set.selectedIndex()); },
        [p, set, pastLast](const ParaBytes& bytes) {
            set.select(positionOfCode(*p, bytes.at(0), int(set.buttons().size()), pastLast));
        },
    };
}

Binding bindingFor(const Para& para, QList<QCheckBox*> bitBoxes)
{
    requireKind(para, {ValueKind::Mask}, "check boxes");
    Q_ASSERT(bitBoxes.size() <= 8 * para.readLength);
    const Para* p = &para;
    return {
        [p, bitBoxes] {
            ParaBytes mask(p->readLength, 0);
            for (int bit = 0; bit < bitBoxes.size(); ++bit)
                if (bitBoxes[bit] && bitBoxes[bit]->isChecked())
                    setMaskBit(mask, std::size_t(bit));
            return StepValue::bytes(std::move(mask));
        },
        [bitBoxes](const ParaBytes& bytes) {
            for (int bit = 0; bit < bitBoxes.size(); ++bit)
                if (bitBoxes[bit])
                    bitBoxes[bit]->setChecked(maskBit(bytes, std::size_t(bit)));
        },
    };
}

Binding bindingFor(const Para& para, QListWidget* list)
{
    requireKind(para, {ValueKind::ChannelMask}, "a check list");
    const Para* p = &para;
    return {
        [p, list] {
            ParaBytes mask(p->readLength, 0);
            for (int i = 0; i < list->count(); ++i)
                if (list->item(i)->checkState() == Qt::Checked)
                    setMaskBit(mask, std::size_t(i));   // none beyond the mask
            return StepValue::bytes(std::move(mask));
        },
        [list](const ParaBytes& bytes) {
            for (int i = 0; i < list->count(); ++i)
                list->item(i)->setCheckState(maskBit(bytes, std::size_t(i)) ? Qt::Checked : Qt::Unchecked);
        },
    };
}

Binding bindingFor(const Para& para, QSlider* bar)
{
    requireKind(para, {ValueKind::Byte}, "a track bar");
    const Para* p = &para;
    return {
        [p, bar] { return StepValue::bytes(*numberBytes(*p, bar->value(), OutOfRange::LowBits).result); },
        [p, bar](const ParaBytes& bytes) {
            bar->setValue(std::clamp(int(numberFromBytes(*p, bytes)), bar->minimum(), bar->maximum()));
        },
    };
}

Binding bindingFor(const Para& para, QList<QLineEdit*> fields)
{
    requireKind(para, {ValueKind::Ipv4, ValueKind::HexBytes}, "a row of fields");
    Q_ASSERT(fields.size() == para.readLength);
    for (const QLineEdit* field : fields)
        requireRuleFor(para, field);
    if (para.kind == ValueKind::Ipv4) {
        return {
            [fields] {
                std::array<long long, 4> parts{};
                for (int i = 0; i < fields.size(); ++i)
                    parts[std::size_t(i)] = toInteger(fields[i]->text());
                return StepValue::bytes(*ipv4Bytes(parts, OutOfRange::LowBits).result);
            },
            [fields](const ParaBytes& bytes) {
                for (int i = 0; i < fields.size(); ++i)
                    fields[i]->setText(QString::number(bytes.at(std::size_t(i))));
            },
        };
    }
    return {
        [fields] {
            ParaBytes bytes;
            for (QLineEdit* field : fields) {
                // The field's first two characters: a byte, or one digit's value.
                const std::optional<ParaBytes> byte = bytesFromHex(field->text().left(2).toStdString(), OddDigit::LowNibble);
                if (!byte || byte->empty())
                    return StepValue::missing();
                bytes.push_back(byte->front());
            }
            return StepValue::bytes(std::move(bytes));
        },
        [fields](const ParaBytes& bytes) {
            for (int i = 0; i < fields.size(); ++i)
                fields[i]->setText(hexPairs({bytes.at(std::size_t(i))}, 1));
        },
    };
}

TwoSettings twoSettings(QCheckBox* second, SecondSetting secondWhen)
{
    return {nullptr, second, secondWhen};
}

TwoSettings twoSettings(QRadioButton* first, QRadioButton* second, SecondSetting secondWhen)
{
    return {first, second, secondWhen};
}

Binding bindingFor(const Para& para, TwoSettings settings)
{
    requireKind(para, {ValueKind::Choice}, "two settings");
    if (para.choices.size() != 2)
        qFatal("%s has not two settings", qualifiedName(para).c_str());
    const uint8_t firstCode = para.choices[0].code;
    const uint8_t secondCode = para.choices[1].code;
    const Para* p = &para;
    return {
        [settings, firstCode, secondCode] {
            return StepValue::byte(settings.second->isChecked() ? secondCode : firstCode);
        },
        [p, settings](const ParaBytes& bytes) {
            const bool second = isSecondSetting(*p, bytes.at(0), settings.secondWhen);
            if (settings.first)
                (second ? settings.second : settings.first)->setChecked(true);
            else
                settings.second->setChecked(second);
        },
    };
}

Binding bindingFor(const Para& para, OnlyWhile flag)
{
    Binding plain = bindingFor(para, flag.box);
    return {
        [flag] { return StepValue::bytes(flagBytes(flag.holds() && flag.box->isChecked())); },
        std::move(plain.show),
    };
}

Binding bindingFor(const Para& para, OnOffItems items)
{
    requireKind(para, {ValueKind::Mask}, "on/off lists");
    Q_ASSERT(items.lists.size() <= 8 * para.readLength);
    const Para* p = &para;
    return {
        [p, items] {
            ParaBytes mask(p->readLength, 0);
            for (int bit = 0; bit < items.lists.size(); ++bit)
                if (items.lists[bit]->currentIndex() == items.onItem)
                    setMaskBit(mask, std::size_t(bit));
            return StepValue::bytes(std::move(mask));
        },
        [items](const ParaBytes& bytes) {
            for (int bit = 0; bit < items.lists.size(); ++bit)
                items.lists[bit]->setCurrentIndex(maskBit(bytes, std::size_t(bit)) ? items.onItem : items.offItem);
        },
    };
}

Binding bindingFor(const Para& para, LengthFrom value)
{
    requireKind(para, {ValueKind::HexBytes}, "a field as long as a list says");
    requireKind(*value.lengthPara, {ValueKind::Byte, ValueKind::Choice}, "a length list");
    Binding binding = bindingFor(para, value.field);
    binding.show = [value](const ParaBytes& bytes) {
        const int position = value.lengthList->currentIndex();
        value.field->setText(position < 0 ? QString() : hexPairs(bytes, codeAtPosition(*value.lengthPara, position)));
    };
    return binding;
}

Binding ownBinding(const Para& para, ValueKind kind, Binding binding)
{
    requireKind(para, {kind}, "a page's own encoding");
    return binding;
}

Binding thenRun(Binding binding, std::function<void()> rule)
{
    auto show = std::move(binding.show);
    binding.show = [show, rule](const ParaBytes& bytes) {
        show(bytes);
        rule();
    };
    return binding;
}
