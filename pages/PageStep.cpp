#include "PageStep.h"

#include "ParaCalls.h"
#include "Reader.h"
#include "ReaderOperation.h"

#include <QtDebug>

ParaRow row(const Para& para, Binding binding, QString setupFailure, QString queryFailure)
{
    ParaRow r;
    r.para = &para;
    r.binding = std::move(binding);
    r.setupFailure = std::move(setupFailure);
    r.queryFailure = std::move(queryFailure);
    return r;
}

Routine setupRoutine(const std::vector<ParaRow>& rows, ClosingLines closing)
{
    Routine routine{{}, std::move(closing)};
    for (const ParaRow& r : rows) {
        Q_ASSERT_X(r.binding.value, "setupRoutine", "a row written needs a value");
        routine.steps.push_back(Step{Step::Direction::Write, r.para, r.setupFailure, r.setupWhen, r.binding.value, {}});
    }
    return routine;
}

Routine queryRoutine(const std::vector<ParaRow>& rows, ClosingLines closing)
{
    Routine routine{{}, std::move(closing)};
    for (const ParaRow& r : rows)
        routine.steps.push_back(Step{Step::Direction::Read, r.para, r.queryFailure, r.queryWhen, {}, r.binding.show});
    return routine;
}

Routine withoutLines(Routine routine)
{
    for (Step& step : routine.steps)
        step.failure.clear();
    routine.closing = {};
    return routine;
}

namespace {

bool lengthFits(const Para& para, std::size_t length)
{
    return length >= para.writeMin && length <= para.writeMax;
}

// Whether the step's call succeeded; a step with nothing to write succeeds.
bool write(const PageContext& context, const Step& step)
{
    const StepValue value = step.value(); // may throw ConversionError: the routine ends here
    switch (value.kind()) {
    case StepValue::Kind::Nothing:
        return true;
    case StepValue::Kind::Missing:
        return false;                     // nobody chose a value: write none
    case StepValue::Kind::Bytes:
        break;
    }
    const ParaBytes& bytes = value.data();
    // Never send more (or fewer) bytes than the reader keeps at this address.
    if (!lengthFits(*step.para, bytes.size())) {
        qWarning("parameter %d: %zu bytes do not fit its length", step.para->address, bytes.size());
        return false;
    }
    return writePara(context.handle(), *step.para, bytes) == READER_OK;
}

bool read(const PageContext& context, const Step& step)
{
    ParaBytes bytes;
    if (readPara(context.handle(), *step.para, bytes) != READER_OK)
        return false;                     // the controls keep what they showed
    if (step.show)
        step.show(bytes);
    return true;
}

} // namespace

bool runRoutine(const PageContext& context, const Routine& routine)
{
    bool success = true;
    for (const Step& step : routine.steps) {
        if (step.when && !step.when())
            continue;
        const bool done = step.direction == Step::Direction::Write ? write(context, step) : read(context, step);
        betweenReaderCalls();
        if (done)
            continue;
        if (!step.failure.isEmpty())
            context.log(step.failure);
        success = false;
    }
    const QString& closing = success ? routine.closing.success : routine.closing.failure;
    if (!closing.isEmpty())
        context.log(closing);
    return success;
}

std::optional<StepValue> formedValue(const Routine& routine, const Para& para)
{
    for (const Step& step : routine.steps) {
        if (step.direction != Step::Direction::Write || step.para != &para)
            continue;
        StepValue value = step.value();
        if (value.kind() == StepValue::Kind::Bytes && !lengthFits(para, value.data().size()))
            return StepValue::missing();
        return value;
    }
    return std::nullopt;
}

void showStored(const Routine& routine, const StoredLookup& lookup)
{
    for (const Step& step : routine.steps) {
        if (step.direction != Step::Direction::Read || !step.show)
            continue;
        const std::optional<ParaBytes> stored = lookup(step.para->address);
        // Never hand a binding fewer bytes than a read would give.
        if (stored && stored->size() == step.para->readLength)
            step.show(*stored);
    }
}
