#include "FieldRules.h"

#include "CaptionFit.h"
#include "DigitFilter.h"
#include "FieldRuleTable.h"
#include "HexFilter.h"
#include "RangeRule.h"
#include "StartFrequencyRule.h"

#include <QLineEdit>
#include <QWidget>

namespace {
// Marks a field that has its rule, so that attaching twice adds nothing twice.
constexpr const char* attachedProperty = "tagdeskFieldRuleAttached";

KeystrokeFilter* makeFilter(CharacterFilter kind)
{
    switch (kind) {
    case CharacterFilter::Digits:
        return new DigitFilter;
    case CharacterFilter::Hex:
        return new HexFilter;
    }
    return nullptr;
}

int digitsOf(qint32 number)
{
    return int(QString::number(number).size());
}

// The widest text the rule lets the field keep: as many characters as its
// largest number has digits, or as its length allows, each the widest one its
// filter lets through. Empty when the rule sets no bound.
QString widestAdmitted(const FieldRule& rule, const KeystrokeFilter& filter, const QFontMetrics& metrics)
{
    int characters = rule.maxLength;
    if (rule.startFrequency)
        characters = digitsOf(startFrequency::highest);
    else if (rule.range)
        characters = digitsOf(rule.range->upperLimit);
    QChar widest;
    for (char16_t c = u'!'; c <= u'~'; ++c) {
        const QChar kept = filter.admit(QChar(c));
        if (!kept.isNull() && (widest.isNull() || metrics.horizontalAdvance(kept) > metrics.horizontalAdvance(widest)))
            widest = kept;
    }
    return characters > 0 && !widest.isNull() ? QString(characters, widest) : QString();
}

void attach(QLineEdit* field, const FieldRule& rule)
{
    if (field->property(attachedProperty).toBool())
        return;
    field->setProperty(attachedProperty, true);

    if (rule.maxLength > 0)
        field->setMaxLength(rule.maxLength);
    KeystrokeFilter* filter = makeFilter(rule.filter);
    // A default or an earlier value that the filter would not let in is mended
    // now, so the field holds only what the operator could have typed.
    const QString admitted = filter->filtered(field->text());
    if (admitted != field->text())
        field->setText(admitted);
    filter->installOn(field);
    // Every value the rule lets the field keep shows whole.
    if (const QString widest = widestAdmitted(rule, *filter, field->fontMetrics()); !widest.isEmpty())
        fitWidestValue(field, widest);

    if (rule.range)
        attachRangeRule(field, *rule.range);
    if (rule.startFrequency)
        StartFrequencyRule::installOn(field);
}
} // namespace

void attachFieldRules(QWidget* root)
{
    if (!root)
        return;
    for (const FieldRule& rule : fieldRules) {
        const QString name = QString::fromLatin1(rule.name.data(), qsizetype(rule.name.size()));
        // Fields whose page does not exist (yet) are simply skipped.
        for (QLineEdit* field : root->findChildren<QLineEdit*>(name))
            attach(field, rule);
    }
}
