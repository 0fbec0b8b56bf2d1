// What tagdesk-cli tells a person: a line per problem of a reader, the table
// it prints after a write or a verify, one row per reader, and what scan found.
#pragma once

#include "Fleet.h"
#include "Scan.h"
#include "TimeText.h"

#include <span>
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

// monitor, a read: "10:15:02.137  127.0.0.1  1  E2006816123456789ABCDEF0" ("-" for no reader number).
std::string readLine(WallTime when, const std::string& source, const tagframe::TagRead& read);

// monitor, bytes that made no frame: "10:15:02.137  127.0.0.1  21 bytes made no frame: \x020A68...",
// last holding the last of them ("200 bytes made no frame, the last 64: ...").
std::string strayLine(WallTime when, const std::string& source, uint64_t bytes, std::span<const uint8_t> last);

// monitor's table: each tag's source, reader number, ID, reads, first and last
// seen and reads a second while seen; then the totals over seconds monitored.
std::string tagTable(const tagframe::TagTally& tally, double seconds);
