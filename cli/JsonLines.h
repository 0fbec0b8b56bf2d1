// tagdesk-cli's output for programs (--json): JSON Lines, one object a line,
// each with its "type" first. The fields are listed in docs/tagdesk-cli.1.
#pragma once

#include "Fleet.h"
#include "Scan.h"
#include "TimeText.h"

#include <span>
#include <string>
#include <vector>

// {"type":"reader","port":..,"result":"ok"|"failed"|"interrupted","reached":..,"total":..,"done":..,
//  "failures":[{"name","reason"}],"differences":[{"name","profile","reader"}]}, with "reason" when not
// reached; for a write "sent", "not_sent" and "second_tries"; for a write and a verify "identity"
// ({"restored","reason","kept"}, null where the profile gave no own value at stake) and "values"
// ([{"name","source","profile","value","reader","result"}], a write's with "before" after "value");
// "profile" for a read that gave every value (profile non-null). command: "read", "write" or "verify".
std::string readerJson(const ReaderOutcome& outcome, const std::string& command, const Profile* profile = nullptr);

// {"type":"summary","command":..,"readers":..,"ok":..,"failed":..,"interrupted":..,"seconds":..}, with
// "signal" ("SIGINT", "SIGTERM") when one stopped a write.
std::string fleetSummaryJson(const std::string& command, const std::vector<ReaderOutcome>& outcomes,
                             const std::string& signal, double seconds);

// diff: {"type":"difference","name":..,"left":..,"right":..,"kept":..}, a value null where a profile
// gives none, "kept" true for a reader's own value a write keeps; "port" first when a site row's.
std::string profileDifferenceJson(const ValueDifference& difference, const std::string& port, bool kept);
std::string diffSummaryJson(const std::string& left, const std::string& right, std::size_t differences,
                            std::size_t kept);

// scan: {"type":"reader","port":..,"station":1..10 or null for any,"firmware":"1.4.0.6"}.
std::string foundJson(const FoundReader& reader);
std::string scanSummaryJson(std::size_t ports, std::size_t found);

// monitor: {"type":"read","time":"2024-05-01T08:15:02.137Z","source":..,"reader":1 or null,"id":"E200.."}.
std::string readJson(WallTime when, const std::string& source, const tagframe::TagRead& read);

// monitor: {"type":"stray","time":..,"source":..,"bytes":21,"last":"020A68.."}, last the last bytes in hexadecimal.
std::string strayJson(WallTime when, const std::string& source, uint64_t bytes, std::span<const uint8_t> last);

// monitor's end: {"type":"tag","source":..,"reader":..,"id":..,"reads":..,"first_seen":..,"last_seen":..,
// "per_second":.. or null} a tag, then {"type":"summary","command":"monitor","seconds":..,"tags":..,"reads":..,
// "unlisted":..,"stray_bytes":..,"stray_last":"hex"}, with "signal" when one ended it.
std::string tallyJson(const tagframe::TagTally& tally, double seconds, const std::string& signal);
