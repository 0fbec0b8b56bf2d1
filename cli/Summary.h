// The table tagdesk-cli prints after a write or a verify: one row per reader.
#pragma once

#include "Fleet.h"

#include <string>
#include <vector>

// verb: "written" or "agreeing", the column of values that went through.
std::string summaryTable(const std::vector<ReaderOutcome>& outcomes, const std::string& verb);
