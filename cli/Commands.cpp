#include "Commands.h"

#include "Cli.h"
#include "Fleet.h"
#include "Interrupt.h"
#include "JsonLines.h"
#include "PageKeys.h"
#include "PrintableText.h"
#include "ProfileFormat.h"
#include "ReaderTransfer.h"
#include "Scan.h"
#include "Summary.h"
#include "WholeFile.h"

#include "Reader.h"

#include <algorithm>
#include <ostream>

namespace {

void selectStation(const Arguments& args)
{
    if (args.station)
        SelectStation(*args.station);
}

int fleetStatus(const std::vector<ReaderOutcome>& outcomes)
{
    const bool clean = std::all_of(outcomes.begin(), outcomes.end(), [](const ReaderOutcome& o) { return o.clean(); });
    return clean ? exit_status::ok : exit_status::failed;
}

// Where one reader differs from the profile, into outcome and onto the progress lines.
void verifyInto(uint32_t handle, const Profile& profile, ReaderOutcome& outcome, LineSink& lines)
{
    const VerifyOutcome verify = verifyReader(handle, profile);
    for (const TransferFailure& failure : verify.failures) {
        outcome.failures.push_back(failure);
        lines.line(outcome.port + ": " + failureLine(failure));
    }
    for (const ValueDifference& difference : verify.differences) {
        outcome.differences.push_back(difference);
        lines.line(outcome.port + ": " + differenceLine(difference));
    }
}

} // namespace

int readCommand(const Arguments& args, std::ostream& out, std::ostream& err)
{
    selectStation(args);
    LineSink progress(err);
    Profile profile;
    const auto outcomes = runOnReaders(args.ports, [&](uint32_t handle, ReaderOutcome& outcome, LineSink& lines) {
        ReadOutcome read = readReader(handle);
        outcome.total = paraTable.size();
        outcome.done = read.profile.entries.size();
        for (const TransferFailure& failure : read.failures) {
            outcome.failures.push_back(failure);
            lines.line(outcome.port + ": " + failureLine(failure));
        }
        lines.line(outcome.port + ": " + std::to_string(outcome.done) + " of " + std::to_string(outcome.total)
                   + " values read");
        profile = std::move(read.profile);
    }, progress);
    const ReaderOutcome& outcome = outcomes.front();
    int status = exit_status::ok;
    if (!outcome.clean()) {
        err << "tagdesk-cli read: no profile written: " << outcome.port << " did not give every value\n";
        status = exit_status::failed;
    } else if (!args.output.empty()) {
        const std::string text = profileText(profile, "Read from " + outcome.port + ".");
        if (const std::string why = writeWholeFile(args.output, text); !why.empty()) {
            err << "tagdesk-cli read: cannot write " << escapedText(args.output) << ": " << why << "\n";
            status = exit_status::failed;
        }
    } else if (!args.json) {
        out << profileText(profile, "Read from " + outcome.port + ".");
    }
    if (args.json)
        out << readerJson(outcome, false, outcome.clean() ? &profile : nullptr)
            << fleetSummaryJson("read", outcomes, "");
    return status;
}

int writeCommand(const Arguments& args, std::ostream& out, std::ostream& err)
{
    // Heard from the start: a signal while the profile loads leaves every
    // reader not started, and the summary says so.
    const InterruptWatch interrupt;
    const auto interrupted = [&interrupt] { return interrupt.signal() != 0; };
    const Profile profile = loadProfile(args.profiles.front());   // refused: nothing is sent
    selectStation(args);
    LineSink progress(err);
    auto outcomes = runOnReaders(args.ports, [&](uint32_t handle, ReaderOutcome& outcome, LineSink& lines) {
        outcome.total = profile.entries.size();
        if (const std::optional<TransferFailure> refused = channelPlanAfterWrite(handle, profile)) {
            outcome.failures.push_back({refused->name, refused->reason + "; nothing written"});
            lines.line(outcome.port + ": " + failureLine(outcome.failures.back()));
            return;
        }
        lines.line(outcome.port + ": writing " + std::to_string(outcome.total) + " values");
        const WriteOutcome written = writeReader(handle, profile, interrupted);
        for (const TransferFailure& failure : written.failures) {
            outcome.failures.push_back(failure);
            lines.line(outcome.port + ": " + failureLine(failure));
        }
        outcome.done = written.sent - written.failures.size();
        outcome.secondTries = written.secondTries;
        lines.line(outcome.port + ": " + std::to_string(outcome.done) + " of " + std::to_string(outcome.total)
                   + " values taken" + (outcome.secondTries > 0 ? "; " + secondTriesText(outcome) : ""));
        if (written.sent < outcome.total) {
            for (std::size_t i = written.sent; i < profile.entries.size(); ++i)
                outcome.notSent.push_back(qualifiedName(*profile.entries[i].para));
            lines.line(outcome.port + ": " + problemLines(outcome).front());
            return;
        }
        if (args.verify) {
            verifyInto(handle, profile, outcome, lines);
            lines.line(outcome.port + ": " + std::to_string(outcome.differences.size()) + " differences on reading back");
        }
    }, progress, args.parallel, interrupted);
    for (ReaderOutcome& outcome : outcomes) {
        if (outcome.started)
            continue;
        outcome.total = profile.entries.size();
        for (const ProfileEntry& entry : profile.entries)
            outcome.notSent.push_back(qualifiedName(*entry.para));
    }
    const int signal = interrupt.signal();
    if (args.json) {
        for (const ReaderOutcome& outcome : outcomes)
            out << readerJson(outcome, true);
        out << fleetSummaryJson("write", outcomes, signalName(signal));
    } else {
        out << summaryTable(outcomes, "WRITTEN");
    }
    if (signal != 0) {
        err << "tagdesk-cli write: interrupted by " << signalName(signal) << "; nothing more was sent\n";
        return exit_status::interrupted(signal);
    }
    return fleetStatus(outcomes);
}

int verifyCommand(const Arguments& args, std::ostream& out, std::ostream& err)
{
    const Profile profile = loadProfile(args.profiles.front());
    selectStation(args);
    LineSink progress(err);
    const auto outcomes = runOnReaders(args.ports, [&](uint32_t handle, ReaderOutcome& outcome, LineSink& lines) {
        outcome.total = profile.entries.size();
        verifyInto(handle, profile, outcome, lines);
        outcome.done = outcome.total - outcome.failures.size() - outcome.differences.size();
        lines.line(outcome.port + ": " + std::to_string(outcome.done) + " of " + std::to_string(outcome.total)
                   + " values agree");
    }, progress, args.parallel);
    if (args.json) {
        for (const ReaderOutcome& outcome : outcomes)
            out << readerJson(outcome, false);
        out << fleetSummaryJson("verify", outcomes, "");
    } else {
        for (const ReaderOutcome& outcome : outcomes)
            for (const std::string& problem : problemLines(outcome))
                out << outcome.port << ": " << problem << "\n";
        out << summaryTable(outcomes, "AGREEING");
    }
    return fleetStatus(outcomes);
}

int diffCommand(const Arguments& args, std::ostream& out, std::ostream&)
{
    const std::string& leftName = args.profiles[0];
    const std::string& rightName = args.profiles[1];
    const std::vector<ValueDifference> differences = profileDifferences(loadProfile(leftName), loadProfile(rightName));
    for (const ValueDifference& difference : differences) {
        if (args.json)
            out << profileDifferenceJson(difference);
        else
            out << difference.name << ": " << difference.left << " (" << escapedText(leftName) << ") -> "
                << difference.right << " (" << escapedText(rightName) << ")\n";
    }
    if (args.json)
        out << diffSummaryJson(leftName, rightName, differences.size());
    return differences.empty() ? exit_status::ok : exit_status::failed;
}

int scanCommand(const Arguments& args, std::ostream& out, std::ostream& err)
{
    std::vector<uint8_t> stations;
    if (args.station) {
        stations.push_back(*args.station);
    } else {
        for (uint8_t station = 1; station <= lastStation; ++station)
            stations.push_back(station);
    }
    err << "tagdesk-cli scan: looking at " << args.ports.size() << " ports\n" << std::flush;
    const std::vector<FoundReader> found = findReaders(args.ports, stations, args.parallel);
    if (args.json) {
        for (const FoundReader& reader : found)
            out << foundJson(reader);
        out << scanSummaryJson(args.ports.size(), found.size());
    } else {
        out << scanTable(found, args.ports.size());
    }
    return found.empty() ? exit_status::failed : exit_status::ok;
}
