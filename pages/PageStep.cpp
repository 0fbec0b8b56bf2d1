#include "PageStep.h"

#include "ParaCalls.h"
#include "ParaTable.h"
#include "Reader.h"

#include <QtDebug>

Step writeStep(uint8_t address, std::function<StepValue()> value, QString failure)
{
    Q_ASSERT_X(findPara(address), "writeStep", "address missing from the parameter table");
    Step step;
    step.direction = Step::Direction::Write;
    step.address = address;
    step.failure = std::move(failure);
    step.value = std::move(value);
    return step;
}

Step writeStep(uint8_t address, const Binding& binding, QString failure)
{
    return writeStep(address, binding.value, std::move(failure));
}

Step readStep(uint8_t address, std::function<void(const ParamBytes&)> show, QString failure)
{
    Q_ASSERT_X(findPara(address), "readStep", "address missing from the parameter table");
    Step step;
    step.direction = Step::Direction::Read;
    step.address = address;
    step.failure = std::move(failure);
    step.show = std::move(show);
    return step;
}

Step readStep(uint8_t address, const Binding& binding, QString failure)
{
    return readStep(address, binding.show, std::move(failure));
}

namespace {

// Outcome of one step for the routine's success flag.
enum class Outcome { Done, Failed, Skipped };

bool lengthFits(const Para& para, std::size_t length)
{
    return length >= para.writeMin && length <= para.writeMax;
}

Outcome write(const PageContext& context, const Para& para, const Step& step)
{
    const StepValue value = step.value(); // may throw ConversionError: the routine ends here
    switch (value.kind()) {
    case StepValue::Kind::Nothing:
        return Outcome::Skipped;
    case StepValue::Kind::Missing:
        return Outcome::Failed;           // nobody chose a value: write none
    case StepValue::Kind::Bytes:
        break;
    }
    const ParamBytes& bytes = value.data();
    // Never send more (or fewer) bytes than the reader keeps at this address.
    if (!lengthFits(para, bytes.size())) {
        qWarning("parameter %d: %zu bytes do not fit its length", para.address, bytes.size());
        return Outcome::Failed;
    }
    return writePara(context.handle(), para, bytes) == READER_OK ? Outcome::Done : Outcome::Failed;
}

bool fromStore(const PageContext& context)
{
    return context.stored && context.stored->lookup;
}

Outcome read(const PageContext& context, const Para& para, const Step& step)
{
    if (fromStore(context)) {
        std::optional<ParamBytes> stored = context.stored->lookup(para.address);
        // Never hand a binding fewer bytes than a read would give.
        if (!stored || stored->size() != para.readLength)
            return Outcome::Skipped;
        if (step.show)
            step.show(*stored);
        return Outcome::Done;
    }
    ParamBytes bytes;
    if (readPara(context.handle(), para, bytes) != READER_OK)
        return Outcome::Failed;           // the controls keep what they showed
    if (step.show)
        step.show(bytes);
    return Outcome::Done;
}

} // namespace

Routine withoutLines(Routine routine)
{
    for (Step& step : routine.steps)
        step.failure.clear();
    routine.closing = {};
    return routine;
}

bool runRoutine(const PageContext& context, const Routine& routine)
{
    bool success = true;
    for (const Step& step : routine.steps) {
        // A stored value is shown whatever the step's condition: it costs no
        // call, and a control its page greys out then holds the stored value
        // rather than a stale one, ready should the operator switch it on.
        const bool shownFromStore = step.direction == Step::Direction::Read && fromStore(context);
        if (step.when && !shownFromStore && !step.when())
            continue;
        const Para* para = findPara(step.address);
        Outcome outcome = Outcome::Failed;
        // Stored bytes only ever fill controls: nothing is written meanwhile.
        if (para && step.direction == Step::Direction::Write && fromStore(context))
            outcome = Outcome::Skipped;
        else if (para)
            outcome = step.direction == Step::Direction::Write ? write(context, *para, step)
                                                               : read(context, *para, step);
        if (outcome != Outcome::Failed)
            continue;
        if (!step.failure.isEmpty())
            context.log(step.failure);
        success = false;
    }
    const QString& closing = success ? routine.closing.success : routine.closing.failure;
    if (!closing.isEmpty() && !fromStore(context))   // stored steps never fail: no failure lines either
        context.log(closing);
    return success;
}
