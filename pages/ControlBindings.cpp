#include "ControlBindings.h"

#include "IntegerText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSlider>

#include <algorithm>

std::function<bool()> whileChecked(QCheckBox* box)
{
    return [box] { return box->isChecked(); };
}

Binding flagBinding(QCheckBox* box)
{
    return {
        [box] { return StepValue::byte(box->isChecked() ? 1 : 0); },
        [box](const ParamBytes& bytes) { box->setChecked(bytes.at(0) == 1); },
    };
}

Binding checkMaskBinding(QList<QCheckBox*> boxes)
{
    Q_ASSERT(boxes.size() <= 8);
    return {
        [boxes] {
            uint8_t mask = 0;
            for (int bit = 0; bit < boxes.size(); ++bit)
                if (boxes[bit] && boxes[bit]->isChecked())
                    mask |= uint8_t(1u << bit);
            return StepValue::byte(mask);
        },
        [boxes](const ParamBytes& bytes) {
            for (int bit = 0; bit < boxes.size(); ++bit)
                if (boxes[bit])
                    boxes[bit]->setChecked((bytes.at(0) >> bit) & 1u);
        },
    };
}

namespace {
StepValue indexValue(int index, int offset)
{
    if (index < 0)
        return StepValue::missing();
    return StepValue::byte(static_cast<uint8_t>(index + offset));
}
} // namespace

Binding listIndexBinding(QComboBox* list, int offset)
{
    return {
        [list, offset] { return indexValue(list->currentIndex(), offset); },
        [list, offset](const ParamBytes& bytes) {
            const int index = int(bytes.at(0)) - offset;
            list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
        },
    };
}

Binding radioIndexBinding(RadioSet set, int offset)
{
    return {
        [set, offset] { return indexValue(set.selectedIndex(), offset); },
        [set, offset](const ParamBytes& bytes) { set.select(int(bytes.at(0)) - offset); },
    };
}

Binding byteNumberBinding(QLineEdit* field)
{
    return {
        [field] { return StepValue::byte(static_cast<uint8_t>(toInteger(field->text()) & 0xFF)); },
        [field](const ParamBytes& bytes) { field->setText(QString::number(bytes.at(0))); },
    };
}

Binding wordNumberBinding(QLineEdit* field)
{
    return {
        [field] {
            const qint32 value = toInteger(field->text());
            return StepValue::bytes({static_cast<uint8_t>((value >> 8) & 0xFF), static_cast<uint8_t>(value & 0xFF)});
        },
        [field](const ParamBytes& bytes) { field->setText(QString::number(bytes.at(0) * 256 + bytes.at(1))); },
    };
}

ParamBytes bytesFromHexPairs(const QString& text)
{
    // Digits below '0'+10 give their value, others their code - 55 ('A' = 10).
    const auto digit = [](QChar c) { return c.unicode() < 58 ? c.unicode() - 48 : c.unicode() - 55; };
    ParamBytes bytes;
    for (qsizetype i = 0; i + 1 < text.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>(16 * digit(text[i]) + digit(text[i + 1])));
    return bytes;
}

QString hexPairs(const ParamBytes& bytes, int count)
{
    const qsizetype n = count < 0 ? qsizetype(bytes.size()) : qMin<qsizetype>(count, bytes.size());
    QString text;
    for (qsizetype i = 0; i < n; ++i)
        text += QStringLiteral("%1").arg(bytes[i], 2, 16, QLatin1Char('0')).toUpper();
    return text;
}

Binding hexStringBinding(QLineEdit* field)
{
    return {
        [field] {
            ParamBytes bytes = bytesFromHexPairs(field->text());
            return bytes.empty() ? StepValue::nothing() : StepValue::bytes(std::move(bytes));
        },
        [field](const ParamBytes& bytes) { field->setText(hexPairs(bytes)); },
    };
}

// --- Track bars and check lists -------------------------------------------

Binding sliderBinding(QSlider* bar)
{
    return {
        [bar] { return StepValue::byte(static_cast<uint8_t>(bar->value())); },
        [bar](const ParamBytes& bytes) { bar->setValue(std::clamp(int(bytes.at(0)), bar->minimum(), bar->maximum())); },
    };
}

Binding checkListMaskBinding(QListWidget* list, int byteCount)
{
    const int bitCount = 8 * byteCount;
    return {
        [list, byteCount, bitCount] {
            ParamBytes mask(std::size_t(byteCount), 0);
            for (int i = 0; i < list->count() && i < bitCount; ++i)
                if (list->item(i)->checkState() == Qt::Checked)
                    mask[std::size_t(i / 8)] |= uint8_t(1u << (i % 8));
            return StepValue::bytes(std::move(mask));
        },
        [list, bitCount](const ParamBytes& bytes) {
            for (int i = 0; i < list->count(); ++i) {
                const std::size_t byte = std::size_t(i / 8);
                const bool set = i < bitCount && byte < bytes.size() && ((bytes[byte] >> (i % 8)) & 1u);
                list->item(i)->setCheckState(set ? Qt::Checked : Qt::Unchecked);
            }
        },
    };
}

// --- Radio groups -------------------------------------------------------------

Binding radioGroupIndexBinding(RadioSet group, int offset)
{
    return {
        [group, offset] { return indexValue(group.selectedIndex(), offset); },
        [group, offset](const ParamBytes& bytes) {
            const int lastIndex = int(group.buttons().size()) - 1;
            group.select(qMin(int(bytes.at(0)) - offset, lastIndex));
        },
    };
}
