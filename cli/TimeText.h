// The times tagdesk-cli monitor shows: a read's time of day for a person, and
// the full time in UTC for programs (--json).
#pragma once

#include "TagTally.h"

#include <string>

using tagframe::WallTime;

// "10:15:02.137": local time, to the millisecond.
std::string clockText(WallTime time);

// "2024-05-01T08:15:02.137Z": UTC, to the millisecond.
std::string utcText(WallTime time);
