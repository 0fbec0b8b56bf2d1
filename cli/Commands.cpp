#include "Commands.h"

#include "ChannelPlan.h"
#include "Fleet.h"
#include "HexText.h"
#include "Interrupt.h"
#include "JsonLines.h"
#include "PageKeys.h"
#include "PrintableText.h"
#include "ProfileFormat.h"
#include "ReaderIdentity.h"
#include "ReaderTransfer.h"
#include "Scan.h"
#include "SiteFile.h"
#include "Summary.h"
#include "WholeFile.h"

#include "Reader.h"

#include <algorithm>
#include <chrono>
#include <ostream>

namespace {

// The time a command has taken since it began.
class Stopwatch {
public:
    double seconds() const { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count(); }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

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

// The per-reader values of --site ("-": standard input), judged with the
// shared profile; no rows without --site.
Site loadSite(const Arguments& args, const Console& console, const Profile& shared)
{
    if (args.site.empty())
        return {};
    const bool standardInput = args.site == "-";
    const std::string name = standardInput ? "standard input" : args.site;
    const std::string text = standardInput ? readBounded(console.in, name, siteSizeLimit)
                                           : readBoundedFile(args.site, siteSizeLimit);
    Site site = parseSite(text, name);
    checkChannelPlans(site, shared, name);
    return site;
}

// The readers of write and verify: those the command line gives, or without
// any the site's rows. Every row must be of a reader given.
std::vector<PortArgument> readersOf(const Arguments& args, const Site& site)
{
    std::vector<PortArgument> readers = args.ports;
    if (readers.empty()) {
        for (const SiteRow& row : site.rows)
            readers.push_back(row.port);
        return readers;
    }
    FaultList faults(args.site == "-" ? "standard input" : args.site);
    for (const SiteRow& row : site.rows)
        if (std::none_of(readers.begin(), readers.end(), [&](const PortArgument& r) { return r.reader == row.port.reader; }))
            faults.add(row.line, "port", row.port.label + " is none of the readers given (--port, --ports-from)");
    faults.throwAny();
    return readers;
}

const Profile& rowValues(const Site& site, const PortArgument& port)
{
    static const Profile none;
    const SiteRow* row = site.rowOf(port);
    return row ? row->values : none;
}

// What this reader is to get: the shared profile, its row on top, its own
// values kept or restored as it shows itself; the judgement on a progress line.
WritePlan planFor(const OwnValues& own, const Profile& shared, const Profile& row, ReaderOutcome& outcome,
                  LineSink& lines)
{
    WritePlan plan = planWrite(shared, row, own);
    outcome.restore = plan.restore;
    outcome.ownership = plan.reason;
    for (const PlannedValue* kept : plan.kept())
        outcome.kept.push_back(qualifiedName(*kept->para));
    if (plan.restore)
        lines.line(outcome.port + ": " + plan.reason + ": "
                   + (*plan.restore ? std::string("its own values go out too") : keptText(outcome)));
    return plan;
}

WritePlan planFor(uint32_t handle, const Profile& shared, const Profile& row, ReaderOutcome& outcome, LineSink& lines)
{
    return planFor(readOwnValues(handle, ownValuesAtStake(shared, row)), shared, row, outcome, lines);
}

// Every parameter verify and write --only-differing read first: those the
// profile or the row give, the reader's own values that tell whose the profile
// is, and the frequency plan a write judges the channel choice by. One long
// read covers them.
std::vector<const Para*> parasToReadFirst(const Profile& shared, const Profile& row)
{
    std::vector<const Para*> paras = parasOf(shared);
    for (const std::vector<const Para*>& more : {parasOf(row), ownParas()})
        paras.insert(paras.end(), more.begin(), more.end());
    paras.insert(paras.end(), channelPlanParas().begin(), channelPlanParas().end());
    return paras;
}

// The values of planned that the reader does not hold as they are to be (or
// that could not be read), in the table's order.
Profile differing(const Profile& planned, const VerifyOutcome& before)
{
    Profile values;
    for (const ProfileEntry& entry : planned.entries) {
        const std::string name = qualifiedName(*entry.para);
        const auto names = [&](const auto& list) {
            return std::any_of(list.begin(), list.end(), [&](const auto& item) { return item.name == name; });
        };
        if (names(before.differences) || names(before.failures))
            values.put(entry);
    }
    return values;
}

bool named(const std::vector<TransferFailure>& failures, const std::string& name)
{
    return std::any_of(failures.begin(), failures.end(), [&](const TransferFailure& f) { return f.name == name; });
}

// What a reader was found holding of para by a read (before a write, or
// after): its value, or its bytes where they read as no value other than the
// profile's; nothing where it was not read.
void heldInto(const VerifyOutcome& read, const Para& para, std::optional<ParaValue>& value, std::string& bytes)
{
    const auto held = read.held.find(&para);
    if (held == read.held.end())
        return;
    const std::string name = qualifiedName(para);
    const auto difference = std::find_if(read.differences.begin(), read.differences.end(),
                                         [&](const ValueDifference& d) { return d.name == name; });
    if (difference != read.differences.end() && !difference->rightBytes.empty())
        bytes = difference->rightBytes;
    else
        value = valueFromBytes(para, held->second).result;
}

// What a write did to one reader: the values it sent (the plan's, or with
// --only-differing those the reader did not hold yet) and, for the latter,
// what the reader held before.
struct WriteRecord {
    const Profile& sent;
    const WriteOutcome& written;
    const VerifyOutcome* before = nullptr;
};

// Each planned parameter of one reader, with what came of it: written (or not
// sent, or failed, or held already), and what a read back found it holding.
void reportValues(const WritePlan& plan, ReaderOutcome& outcome, const WriteRecord* write,
                  const VerifyOutcome* verified)
{
    std::vector<std::string> unsent;
    if (write)
        for (std::size_t i = write->written.sent; i < write->sent.entries.size(); ++i)
            unsent.push_back(qualifiedName(*write->sent.entries[i].para));
    for (const PlannedValue& planned : plan.planned) {
        const std::string name = qualifiedName(*planned.para);
        ValueReport report{planned, {}, {}, {}, {}, {}};
        const auto difference = std::find_if(outcome.differences.begin(), outcome.differences.end(),
                                             [&](const ValueDifference& d) { return d.name == name; });
        if (planned.source == ValueSource::Kept) {
            report.result = "kept";
            report.held = planned.target;   // the reader's own, as read before
            if (write && write->before)
                report.before = planned.target;
        } else if (std::find(unsent.begin(), unsent.end(), name) != unsent.end()) {
            report.result = "not_sent";
        } else if (named(outcome.failures, name)) {
            report.result = "failed";
        } else if (difference != outcome.differences.end()) {
            report.result = "differs";
        } else if (write && !write->sent.find(*planned.para)) {
            report.result = "agrees";   // --only-differing: held already, so not sent
        } else {
            report.result = write ? "written" : "agrees";
        }
        if (planned.source != ValueSource::Kept) {
            if (write && write->before)
                heldInto(*write->before, *planned.para, report.before, report.beforeBytes);
            if (verified)
                heldInto(*verified, *planned.para, report.held, report.heldBytes);
        }
        outcome.values.push_back(std::move(report));
    }
}

// Where one reader differs from what it should hold, into outcome; a read that failed on the progress lines too.
VerifyOutcome verifyInto(VerifyOutcome verify, ReaderOutcome& outcome, LineSink& lines)
{
    for (const TransferFailure& failure : verify.failures) {
        outcome.failures.push_back(failure);
        lines.line(outcome.port + ": " + failureLine(failure));
    }
    outcome.differences.insert(outcome.differences.end(), verify.differences.begin(), verify.differences.end());
    return verify;
}

// Each difference once, on the result's stream: "COM2: antenna_power.channel1_power: profile "27.5", reader "30"".
void printDifferences(const std::vector<ReaderOutcome>& outcomes, std::ostream& out)
{
    for (const ReaderOutcome& outcome : outcomes)
        for (const ValueDifference& difference : outcome.differences)
            out << outcome.port << ": " << differenceLine(difference) << "\n";
}

} // namespace

int readCommand(const Arguments& args, const Console& console)
{
    const Stopwatch stopwatch;
    selectStation(args);
    LineSink progress(console.err, console.live);
    // One reader without --json; with it, every reader given, a profile each.
    std::vector<Profile> profiles(args.ports.size());
    const auto outcomes = runOnReaders(args.ports, [&](const PortArgument& port, uint32_t handle,
                                                       ReaderOutcome& outcome, LineSink& lines) {
        ReadOutcome read = readReader(handle);
        outcome.total = paraTable.size();
        outcome.done = read.profile.entries.size();
        for (const TransferFailure& failure : read.failures) {
            outcome.failures.push_back(failure);
            lines.line(outcome.port + ": " + failureLine(failure));
        }
        lines.line(outcome.port + ": " + std::to_string(outcome.done) + " of " + std::to_string(outcome.total)
                   + " values read");
        profiles[std::size_t(&port - args.ports.data())] = std::move(read.profile);
    }, progress);
    int status = fleetStatus(outcomes);
    for (const ReaderOutcome& outcome : outcomes)
        if (!outcome.clean())
            console.err << "tagdesk-cli read: no profile written: " << outcome.port << " did not give every value\n";
    const ReaderOutcome& first = outcomes.front();
    if (first.clean() && !args.output.empty()) {
        const std::string text = profileText(profiles.front(), "Read from " + first.port + ".");
        if (const std::string why = writeWholeFile(args.output, text); !why.empty()) {
            console.err << "tagdesk-cli read: cannot write " << escapedText(args.output) << ": " << why << "\n";
            status = exit_status::failed;
        }
    } else if (first.clean() && !args.json) {
        console.out << profileText(profiles.front(), "Read from " + first.port + ".");
    }
    if (args.json) {
        for (std::size_t i = 0; i < outcomes.size(); ++i)
            console.out << readerJson(outcomes[i], "read", outcomes[i].clean() ? &profiles[i] : nullptr);
        console.out << fleetSummaryJson("read", outcomes, "", stopwatch.seconds());
    }
    return status;
}

int writeCommand(const Arguments& args, const Console& console)
{
    const Stopwatch stopwatch;
    // Heard from the start: a signal while the profile loads leaves every
    // reader not started, and the summary says so.
    const InterruptWatch interrupt;
    const auto interrupted = [&interrupt] { return interrupt.signal() != 0; };
    const Profile profile = loadProfile(args.profiles.front());   // refused: nothing is sent
    const Site site = loadSite(args, console, profile);
    const std::vector<PortArgument> readers = readersOf(args, site);
    selectStation(args);
    LineSink progress(console.err, console.live);
    auto outcomes = runOnReaders(readers, [&](const PortArgument& port, uint32_t handle, ReaderOutcome& outcome,
                                              LineSink& lines) {
        const Profile& row = rowValues(site, port);
        // --only-differing reads first, in long reads, what it may write and judges by.
        const HeldParas held = args.onlyDiffering ? readHeld(handle, parasToReadFirst(profile, row)) : HeldParas{};
        const WritePlan plan = args.onlyDiffering
            ? planFor(ownValuesIn(held, ownValuesAtStake(profile, row)), profile, row, outcome, lines)
            : planFor(handle, profile, row, outcome, lines);
        const Profile& values = plan.values;
        outcome.total = values.entries.size();
        const std::optional<TransferFailure> refused =
            args.onlyDiffering ? channelPlanAfterWrite(held, values) : channelPlanAfterWrite(handle, values);
        if (refused) {
            outcome.failures.push_back({refused->name, refused->reason + "; nothing written"});
            lines.line(outcome.port + ": " + failureLine(outcome.failures.back()));
            const WriteOutcome none;
            const WriteRecord record{values, none};
            reportValues(plan, outcome, &record, nullptr);
            return;
        }
        std::optional<VerifyOutcome> before;
        if (args.onlyDiffering)
            before = compareHeld(held, values);
        const Profile toSend = before ? differing(values, *before) : values;
        const std::size_t holding = values.entries.size() - toSend.entries.size();
        lines.line(outcome.port + ": writing " + std::to_string(toSend.entries.size()) + " values"
                   + (before ? " (" + std::to_string(holding) + " held already)" : std::string()));
        const WriteOutcome written = writeReader(handle, toSend, interrupted);
        const WriteRecord record{toSend, written, before ? &*before : nullptr};
        for (const TransferFailure& failure : written.failures) {
            outcome.failures.push_back(failure);
            lines.line(outcome.port + ": " + failureLine(failure));
        }
        outcome.sent = written.sent;
        outcome.done = holding + written.sent - written.failures.size();
        outcome.secondTries = written.secondTries;
        lines.line(outcome.port + ": " + std::to_string(outcome.done) + " of " + std::to_string(outcome.total)
                   + (before ? " values held or taken" : " values taken")
                   + (outcome.secondTries > 0 ? "; " + secondTriesText(outcome) : ""));
        if (written.sent < toSend.entries.size()) {
            for (std::size_t i = written.sent; i < toSend.entries.size(); ++i)
                outcome.notSent.push_back(qualifiedName(*toSend.entries[i].para));
            lines.line(outcome.port + ": " + problemLines(outcome).front());
            reportValues(plan, outcome, &record, nullptr);
            return;
        }
        if (!args.verify) {
            reportValues(plan, outcome, &record, nullptr);
            return;
        }
        const VerifyOutcome verified = verifyInto(verifyReader(handle, values), outcome, lines);
        lines.line(outcome.port + ": " + std::to_string(outcome.differences.size()) + " differences on reading back");
        reportValues(plan, outcome, &record, &verified);
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
            console.out << readerJson(outcome, "write");
        console.out << fleetSummaryJson("write", outcomes, signalName(signal), stopwatch.seconds());
    } else {
        printDifferences(outcomes, console.out);
        console.out << summaryTable(outcomes, "WRITTEN", stopwatch.seconds());
    }
    if (signal != 0) {
        console.err << "tagdesk-cli write: interrupted by " << signalName(signal) << "; nothing more was sent\n";
        return exit_status::interrupted(signal);
    }
    return fleetStatus(outcomes);
}

int verifyCommand(const Arguments& args, const Console& console)
{
    const Stopwatch stopwatch;
    const Profile profile = loadProfile(args.profiles.front());
    const Site site = loadSite(args, console, profile);
    const std::vector<PortArgument> readers = readersOf(args, site);
    selectStation(args);
    LineSink progress(console.err, console.live);
    const auto outcomes = runOnReaders(readers, [&](const PortArgument& port, uint32_t handle, ReaderOutcome& outcome,
                                                    LineSink& lines) {
        // One long read holds what the reader is compared on and whose the profile is.
        const Profile& row = rowValues(site, port);
        const HeldParas held = readHeld(handle, parasToReadFirst(profile, row));
        const WritePlan plan = planFor(ownValuesIn(held, ownValuesAtStake(profile, row)), profile, row, outcome, lines);
        outcome.total = plan.values.entries.size();
        const VerifyOutcome verified = verifyInto(compareHeld(held, plan.values), outcome, lines);
        outcome.done = outcome.total - outcome.failures.size() - outcome.differences.size();
        lines.line(outcome.port + ": " + std::to_string(outcome.done) + " of " + std::to_string(outcome.total)
                   + " values agree");
        reportValues(plan, outcome, nullptr, &verified);
    }, progress, args.parallel);
    if (args.json) {
        for (const ReaderOutcome& outcome : outcomes)
            console.out << readerJson(outcome, "verify");
        console.out << fleetSummaryJson("verify", outcomes, "", stopwatch.seconds());
    } else {
        for (const ReaderOutcome& outcome : outcomes)
            for (const std::string& problem : problemLines(outcome))
                console.out << outcome.port << ": " << problem << "\n";
        console.out << summaryTable(outcomes, "AGREEING", stopwatch.seconds());
    }
    return fleetStatus(outcomes);
}

int diffCommand(const Arguments& args, const Console& console)
{
    const std::string& leftName = args.profiles[0];
    const std::string& rightName = args.profiles[1];
    const Profile left = loadProfile(leftName);
    const Profile right = loadProfile(rightName);
    // The second profile stands for what a reader holds: the first is written
    // to it, with each row of a site file on top.
    const Site site = loadSite(args, console, left);
    std::vector<const SiteRow*> rows;
    for (const SiteRow& row : site.rows)
        rows.push_back(&row);
    if (rows.empty())
        rows.push_back(nullptr);
    const OwnValues held = ownValuesOf(right);
    std::size_t counted = 0;
    std::size_t keptCount = 0;
    for (const SiteRow* row : rows) {
        const WritePlan plan = planWrite(left, row ? row->values : Profile{}, held);
        const std::string port = row ? row->port.label : std::string();
        for (const ValueDifference& difference : profileDifferences(plan.values, right)) {
            const auto planned = std::find_if(plan.planned.begin(), plan.planned.end(), [&](const PlannedValue& p) {
                return qualifiedName(*p.para) == difference.name;
            });
            const bool kept = planned != plan.planned.end() && planned->source == ValueSource::Kept;
            ValueDifference shown = difference;
            if (kept) {   // the first profile's value, which a write would not send
                if (!shown.rightValue)
                    continue;   // nothing the second holds to keep
                shown.leftValue = planned->profile;
                shown.left = valueText(*planned->profile);
                if (bytesFromValue(*planned->para, *shown.leftValue).result
                                            == bytesFromValue(*planned->para, *shown.rightValue).result)
                    continue;
            }
            (kept ? keptCount : counted) += 1;
            if (args.json) {
                console.out << profileDifferenceJson(shown, port, kept);
                continue;
            }
            console.out << (port.empty() ? "" : port + ": ") << shown.name << ": " << shown.left << " ("
                        << escapedText(leftName) << ") -> " << shown.right << " (" << escapedText(rightName) << ")"
                        << (kept ? ": each reader's own, kept by a write" : "") << "\n";
        }
    }
    if (args.json)
        console.out << diffSummaryJson(leftName, rightName, counted, keptCount);
    return counted == 0 ? exit_status::ok : exit_status::failed;
}

int scanCommand(const Arguments& args, const Console& console)
{
    std::vector<uint8_t> stations;
    if (args.station) {
        stations.push_back(*args.station);
    } else {
        for (uint8_t station = 1; station <= lastStation; ++station)
            stations.push_back(station);
    }
    console.err << "tagdesk-cli scan: looking at " << args.ports.size() << " ports\n" << std::flush;
    const std::vector<FoundReader> found = findReaders(args.ports, stations, args.parallel);
    if (args.json) {
        for (const FoundReader& reader : found)
            console.out << foundJson(reader);
        console.out << scanSummaryJson(args.ports.size(), found.size());
    } else {
        console.out << scanTable(found, args.ports.size());
    }
    return found.empty() ? exit_status::failed : exit_status::ok;
}
