// A profile between a reader and the program, over the device library on one
// open handle: read every parameter, write a profile, verify what the reader
// holds. Reads go out in long reads (LongReads.h). A failed call is reported by
// its parameter's name and the rest still go on; only a write that got no
// answer is made a second time.
#pragma once

#include "LongReads.h"
#include "Profile.h"
#include "ProfileDiff.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// A parameter whose call failed: "antenna_power.channel2_power: the reader refused".
struct TransferFailure {
    std::string name;
    std::string reason;
};

// What a status of the device library means, for messages.
std::string statusText(uint16_t status);

struct ReadOutcome {
    Profile profile;                        // every parameter read and understood
    std::vector<TransferFailure> failures;  // the others
};

// Why para is not among what a long read gave: the library's status in
// words, or "not read" where it was not asked for.
std::string unreadReason(const HeldParas& held, const Para& para);

// The parameters a profile gives, in its order.
std::vector<const Para*> parasOf(const Profile& profile);

// Reads every parameter of the table, in long reads. A value a profile
// could not carry (a code with no setting, a number out of range, a channel
// outside the frequency plan) is a failure.
ReadOutcome readReader(uint32_t handle);

// Whether writing profile would leave the reader working on a channel outside
// its frequency plan (ChannelPlan.h), judged with what the reader holds where
// the profile gives no value: a channel mode without a point count meets the
// plan the reader already has. The failure names the parameter; nullopt when
// the write may go out.
std::optional<TransferFailure> channelPlanAfterWrite(uint32_t handle, const Profile& profile);
// The same, judged with what was read of the reader before (held must hold
// channelPlanParas() where it could read them).
std::optional<TransferFailure> channelPlanAfterWrite(const HeldParas& held, const Profile& profile);

// Asked before each write; once it answers true, nothing more is sent.
using WriteStop = std::function<bool()>;

struct WriteOutcome {
    std::size_t sent = 0;          // entries sent, from the first: a stop leaves the others unsent
    std::size_t secondTries = 0;   // entries sent once more after no answer
    std::vector<TransferFailure> failures;   // entries the reader did not take, in the profile's order
};

// Writes every entry of the profile in the profile's (the table's) order:
// SetParameter, or SetOLEnable for the off-line switch. An entry that got no
// answer is sent once more after the others, when the link has had time to
// recover from the silence; only then is it a failure.
WriteOutcome writeReader(uint32_t handle, const Profile& profile, const WriteStop& stop = {});

struct VerifyOutcome {
    std::vector<ValueDifference> differences;   // left: the profile, right: the reader
    std::vector<TransferFailure> failures;      // parameters that could not be read
    std::map<const Para*, ParaBytes> held;      // what the reader holds of each parameter read
};

// Reads back every parameter the profile gives, in long reads, and compares its
// whole field: a code shorter than its field agrees only when the fill follows it.
VerifyOutcome verifyReader(uint32_t handle, const Profile& profile);

// The same comparison with what was read already (held must cover the profile's parameters).
VerifyOutcome compareHeld(const HeldParas& held, const Profile& profile);
