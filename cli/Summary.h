// What tagdesk-cli tells a person: a line per problem of a reader, the table
// it prints after a write or a verify, one row per reader, and what scan found.
#pragma once

#include "Fleet.h"
#include "Scan.h"

#include <string>
#include <vector>

// "antenna_power.channel2_power: the reader refused", or the reason alone when no parameter is meant.
std::string failureLine(const TransferFailure& failure);

// "antenna_power.channel1_power: profile "27.5", reader "30"".
std::string differenceLine(const ValueDifference& difference);

// Each problem of one reader on a line: what an interruption left out
// ("interrupted: frequency.channel_mode and 3 more not sent"), failed calls, differences.
std::vector<std::string> problemLines(const ReaderOutcome& outcome);

// "3 values needed a second try": a write's values sent once more after no answer.
std::string secondTriesText(const ReaderOutcome& outcome);

// "ok", "FAILED" or "INTERRUPTED".
std::string resultWord(const ReaderOutcome& outcome);

// "kept its own mac_address, ip_address": the reader's own values a copy left it; "" for none.
std::string keptText(const ReaderOutcome& outcome);

// verb: "WRITTEN" or "AGREEING", the column of values that went through; the
// last line ends with the seconds the command took.
std::string summaryTable(const std::vector<ReaderOutcome>& outcomes, const std::string& verb, double seconds);

// "0.16 s", "12.3 s", "125 s".
std::string secondsText(double seconds);

// What scan found: port, station and firmware version a row, then "2 readers found on 254 ports".
std::string scanTable(const std::vector<FoundReader>& found, std::size_t ports);
