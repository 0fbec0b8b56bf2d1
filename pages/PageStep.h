// One step of a page routine, the rows a page describes its parameters by, and
// the two ways a routine's steps run: against the reader, or from stored bytes.
//
// A page describes each parameter once as a row: the parameter, the binding of
// its controls, the line each routine logs when its step fails and the
// condition under which each routine takes it. Its routines are lists of rows
// in the order the routine takes them. runRoutine() holds the mechanics every
// page shares: the success flag, one failure line per failed step that has
// one, no stop on a failed call, exactly one closing line.
#pragma once

#include "PageContext.h"
#include "ParaTable.h"
#include "ParaValue.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// What a setup step takes from its controls at the moment the step comes.
class StepValue {
public:
    enum class Kind {
        Bytes,        // write these bytes
        Missing,      // the value is missing: a list or radio set showing no selection, an
                      // empty field that must hold one. No call; the step fails.
        Nothing,      // there is nothing to write (an empty code field): no call, no line
    };

    static StepValue bytes(ParaBytes bytes) { return StepValue(Kind::Bytes, std::move(bytes)); }
    static StepValue byte(uint8_t value) { return StepValue(Kind::Bytes, {value}); }
    static StepValue missing() { return StepValue(Kind::Missing, {}); }
    static StepValue nothing() { return StepValue(Kind::Nothing, {}); }

    Kind kind() const { return kind_; }
    const ParaBytes& data() const { return bytes_; }

private:
    StepValue(Kind kind, ParaBytes bytes) : kind_(kind), bytes_(std::move(bytes)) {}
    Kind kind_;
    ParaBytes bytes_;
};

// A pair of directions between controls and a parameter's bytes: value() forms
// the bytes to write from the controls, show() puts bytes read into them.
// ControlBindings.h makes them from the parameter's value kind.
struct Binding {
    std::function<StepValue()> value;
    std::function<void(const ParaBytes&)> show;
};

struct Step {
    enum class Direction { Read, Write };

    Direction direction = Direction::Read;
    const Para* para = nullptr;
    QString failure;                          // empty: the failure shows only in the closing line
    std::function<bool()> when;               // empty: always taken
    std::function<StepValue()> value;         // Write: the bytes, formed when the step comes
    std::function<void(const ParaBytes&)> show; // Read: called only after status 0; may be empty
};

// One parameter of a page as both routines take it.
struct ParaRow {
    const Para* para = nullptr;
    Binding binding;
    QString setupFailure;                     // empty: the failure shows only in the closing line
    QString queryFailure;
    std::function<bool()> setupWhen;          // empty: always taken
    std::function<bool()> queryWhen;

    // Both routines take the row only while condition() holds when its step comes.
    ParaRow onlyIf(std::function<bool()> condition) &&
    {
        setupWhen = queryWhen = std::move(condition);
        return std::move(*this);
    }
    ParaRow setupOnlyIf(std::function<bool()> condition) &&
    {
        setupWhen = std::move(condition);
        return std::move(*this);
    }
    ParaRow queryOnlyIf(std::function<bool()> condition) &&
    {
        queryWhen = std::move(condition);
        return std::move(*this);
    }
};

// A row with a binding of the page's own; ControlBindings.h has the rows bound by kind.
ParaRow row(const Para& para, Binding binding, QString setupFailure = {}, QString queryFailure = {});

struct ClosingLines {
    QString success;   // both empty: the routine logs no closing line
    QString failure;
};

struct Routine {
    std::vector<Step> steps;
    ClosingLines closing;
};

// The setup routine of rows: each row's write, in the order given. A write
// carries the parameter's length, or the value's for a parameter of variable length.
Routine setupRoutine(const std::vector<ParaRow>& rows, ClosingLines closing);
// The query routine of rows: each row's read of the parameter's full length, in the order given.
Routine queryRoutine(const std::vector<ParaRow>& rows, ClosingLines closing);

// The same routine with no line of any kind: no failure lines, no closing line
// (a refresh that only brings the reader's values back into the page).
Routine withoutLines(Routine routine);

// Runs the steps against the reader in order and logs the closing line;
// returns the success flag. A step whose value or show throws ConversionError
// ends the routine there: the exception leaves, nothing further is called and
// no closing line is logged.
bool runRoutine(const PageContext& context, const Routine& routine);

// What the routine's write step of para would write now, formed from the
// controls as "Setup Para" forms it but with no call and whatever the step's
// condition: bytes, Nothing (an empty code field) or Missing (a list showing
// no selection, or bytes that do not fit the parameter); nullopt when the
// routine does not write para. A ConversionError of the value leaves.
std::optional<StepValue> formedValue(const Routine& routine, const Para& para);

// Bytes that stand in for the reader's (a profile's), by address; nothing for
// an address they do not hold.
using StoredLookup = std::function<std::optional<ParaBytes>(uint8_t address)>;

// Puts stored bytes into the controls through the read steps of routine,
// without the reader: every read step is taken whatever its condition (a
// control its page greys out then holds the stored value rather than a stale
// one, ready should the operator switch it on); an address lookup has no bytes
// of the full length for keeps what its controls show; nothing is written,
// called or logged. A ConversionError of a show leaves as in runRoutine.
void showStored(const Routine& routine, const StoredLookup& lookup);
