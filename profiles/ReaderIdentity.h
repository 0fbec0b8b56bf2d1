// A reader's own values (the parameters the table marks readersOwn: its MAC
// address, IP address and reader number) and what a write of a profile does
// with them. A profile restores them only to the reader it was read from,
// which is told by the MAC address the reader reports against the profile's;
// to any other reader it is a copy, and that reader keeps its own. Values
// given for one reader alone (a site file's row) go out as given.
#pragma once

#include "LongReads.h"
#include "Profile.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The parameters each reader holds for itself, in table order.
const std::vector<const Para*>& ownParas();

// What a reader holds of its own values: read through the library, or given
// by a profile saved from it. A value missing from held says why in unread.
struct OwnValues {
    std::map<const Para*, ParaValue> held;
    std::map<const Para*, std::string> unread;
};

// Reads the reader's own values among wanted, and its MAC address, in one long read.
OwnValues readOwnValues(uint32_t handle, const std::vector<const Para*>& wanted);

// The same from what was read already: held must cover the MAC address and wanted.
OwnValues ownValuesIn(const HeldParas& held, const std::vector<const Para*>& wanted);

// The own values a profile saved from a reader gives.
OwnValues ownValuesOf(const Profile& held);

// Where a value to be written comes from.
enum class ValueSource {
    Profile,   // the shared profile
    Site,      // the values given for this reader alone
    Kept,      // the shared profile gives it, but it is another reader's own: the reader keeps its own
};

// "profile", "site", "kept".
const char* sourceWord(ValueSource source);

// One parameter the profile or the site gives, as planned for one reader.
struct PlannedValue {
    const Para* para = nullptr;
    ValueSource source = ValueSource::Profile;
    std::optional<ParaValue> profile;   // the shared profile's value, where it gives one
    // What the reader is to hold: the value written; for a kept value the
    // reader's own, where it could be read.
    std::optional<ParaValue> target;
};

struct WritePlan {
    Profile values;                     // what goes out, in table order
    std::vector<PlannedValue> planned;  // every parameter given, in table order, kept ones too
    // Whether the profile is this reader's own, so its own values go out too;
    // none when the profile gives no own value that the site does not.
    std::optional<bool> restore;
    std::string reason;                 // why restore or not, for progress lines and --json

    std::vector<const PlannedValue*> kept() const;
};

// The own values shared gives that site does not: the ones a restore writes
// and a copy keeps. A plan needs the reader's own values for these alone.
std::vector<const Para*> ownValuesAtStake(const Profile& shared, const Profile& site);

// What one reader is to get of shared with site's values on top, judged by
// what it holds of its own values (those of ownValuesAtStake).
WritePlan planWrite(const Profile& shared, const Profile& site, const OwnValues& reader);
