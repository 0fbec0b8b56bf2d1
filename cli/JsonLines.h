// tagdesk-cli's output for programs (--json): JSON Lines, one object a line,
// each with its "type" first. The fields are listed in docs/tagdesk-cli.1.
#pragma once

#include "Fleet.h"
#include "Scan.h"

#include <string>
#include <vector>

// {"type":"reader","port":..,"result":"ok"|"failed"|"interrupted","reached":..,"total":..,"done":..,
//  "failures":[{"name","reason"}],"differences":[{"name","profile","reader"}]}, with "reason" when not
// reached, "not_sent" and "second_tries" for a write and "profile" for a read that gave every value
// (profile non-null).
std::string readerJson(const ReaderOutcome& outcome, bool write, const Profile* profile = nullptr);

// {"type":"summary","command":..,"readers":..,"ok":..,"failed":..,"interrupted":..}, with "signal"
// ("SIGINT", "SIGTERM") when one stopped a write.
std::string fleetSummaryJson(const std::string& command, const std::vector<ReaderOutcome>& outcomes,
                             const std::string& signal);

// diff: {"type":"difference","name":..,"left":..,"right":..}, a value null where a profile gives none.
std::string profileDifferenceJson(const ValueDifference& difference);
std::string diffSummaryJson(const std::string& left, const std::string& right, std::size_t differences);

// scan: {"type":"reader","port":..,"station":1..10 or null for any,"firmware":"1.4.0.6"}.
std::string foundJson(const FoundReader& reader);
std::string scanSummaryJson(std::size_t ports, std::size_t found);
