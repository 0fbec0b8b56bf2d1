// One step of a page routine and the routine that runs a list of them.
//
// A page describes its query and setup routines as lists of steps: which
// parameter, under which condition, which bytes (or which controls the bytes
// go to) and which failure line. runRoutine() holds the mechanics every page
// shares: the success flag, one failure line per failed step that has one, no
// stop on a failed call, exactly one closing line.
#pragma once

#include "PageContext.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

using ParamBytes = std::vector<uint8_t>;

// What a setup step takes from its controls at the moment the step comes.
class StepValue {
public:
    enum class Kind {
        Bytes,        // write these bytes
        Missing,      // the value is missing: a list or radio set showing no selection, an
                      // empty field that must hold one. No call; the step fails.
        Nothing,      // there is nothing to write (an empty code field): no call, no line
    };

    static StepValue bytes(ParamBytes bytes) { return StepValue(Kind::Bytes, std::move(bytes)); }
    static StepValue byte(uint8_t value) { return StepValue(Kind::Bytes, {value}); }
    static StepValue missing() { return StepValue(Kind::Missing, {}); }
    static StepValue nothing() { return StepValue(Kind::Nothing, {}); }

    Kind kind() const { return kind_; }
    const ParamBytes& data() const { return bytes_; }

private:
    StepValue(Kind kind, ParamBytes bytes) : kind_(kind), bytes_(std::move(bytes)) {}
    Kind kind_;
    ParamBytes bytes_;
};

// A pair of directions between controls and a parameter's bytes: value() forms
// the bytes to write from the controls, show() puts bytes read into them.
struct Binding {
    std::function<StepValue()> value;
    std::function<void(const ParamBytes&)> show;
};

struct Step {
    enum class Direction { Read, Write };

    Direction direction = Direction::Read;
    uint8_t address = 0;
    QString failure;                          // empty: the failure shows only in the closing line
    std::function<bool()> when;               // empty: always taken
    std::function<StepValue()> value;         // Write: the bytes, formed when the step comes
    std::function<void(const ParamBytes&)> show; // Read: called only after status 0

    // Takes the step only while condition() holds when the step comes.
    Step onlyIf(std::function<bool()> condition) &&
    {
        when = std::move(condition);
        return std::move(*this);
    }
};

// A write of address; its length is the parameter's, or the value's for a
// parameter of variable length.
Step writeStep(uint8_t address, std::function<StepValue()> value, QString failure = {});
Step writeStep(uint8_t address, const Binding& binding, QString failure = {});

// A read of address with the parameter's full length.
Step readStep(uint8_t address, std::function<void(const ParamBytes&)> show, QString failure = {});
Step readStep(uint8_t address, const Binding& binding, QString failure = {});

struct ClosingLines {
    QString success;   // both empty: the routine logs no closing line
    QString failure;
};

struct Routine {
    std::vector<Step> steps;
    ClosingLines closing;
};

// The same routine with no line of any kind: no failure lines, no closing line
// (a refresh that only brings the reader's values back into the page).
Routine withoutLines(Routine routine);

// Runs the steps in order and logs the closing line; returns the success flag.
// A step whose value or show throws ConversionError ends the routine there: the
// exception leaves, nothing further is called and no closing line is logged.
bool runRoutine(const PageContext& context, const Routine& routine);
