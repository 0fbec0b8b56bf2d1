#include "Cli.h"

#include "Fleet.h"
#include "Interrupt.h"
#include "PageKeys.h"
#include "PortArgument.h"
#include "ProfileDiff.h"
#include "ProfileFormat.h"
#include "ReaderTransfer.h"
#include "Summary.h"
#include "WholeFile.h"

#include "Reader.h"

#include <map>
#include <optional>
#include <ostream>
#include <set>

namespace {

const char* const overviewHelp = R"(usage: tagdesk-cli COMMAND [options]

Reads a UHF RFID reader's settings into a profile, writes a profile to one or
many readers, verifies what readers hold, compares profiles.

commands:
  read     read one reader's settings into a profile
  write    write a profile to one or many readers
  verify   list where readers differ from a profile
  diff     list where two profiles differ

A profile is a TOML file of at most 1 MB. tagdesk-cli COMMAND --help tells
more. Exit status: 0 all went through, 1 a reader or a value did not (or a
difference was found), 2 a bad command line or a refused profile (nothing was
sent), 130 or 143 a write interrupted by SIGINT or SIGTERM.
)";

const char* const portsHelp = R"(  --port PORT      COM1 .. COM8, usb, tcp:ADDRESS or tcp:ADDRESS:PORT (ADDRESS a
                   dotted IPv4 address, PORT 1..65535); the library maps them to
                   devices (READER_COMn, READER_USB; READER_TCP_PORT or 4001 when
                   no PORT is given). Every --port is checked before anything is
                   sent; naming one reader twice is refused.
  --station N      station 1..10, or any (the default: whichever station answers)
  --help           this text
)";

const std::map<std::string, std::string> commandHelp = {
    {"read", std::string(R"(usage: tagdesk-cli read --port PORT [--station N] [--output FILE]

Reads every parameter of one reader into a profile, to standard output or FILE.
When any parameter cannot be read, or holds what a profile could not write back
(a channel outside the frequency plan), no profile is written and the
parameters are named on standard error (exit status 1).

  --output FILE    write the profile to FILE instead of standard output, whole
                   or not at all (a temporary file renamed over FILE); a
                   symbolic link keeps pointing where it did, at the new profile
)") + portsHelp},
    {"write", std::string(R"(usage: tagdesk-cli write PROFILE --port PORT [--port PORT ...] [--station N] [--verify]

Writes PROFILE to every reader given, each on its own link and thread, at the
same time. The profile is checked first: a refused profile sends nothing. Values
go out in an order that keeps the reader consistent (the frequency plan before
the channel choice; the off-line switch through its own call); a code shorter
than its field goes out with the bytes that end it. A reader that would be left
fixed on, or hopping over, a channel outside its frequency plan (the profile's,
or the one it holds when the profile gives none) is sent nothing. A progress line
per reader goes to standard error, a summary table to standard output. Exit
status 0 only when every reader took every value.

A first SIGINT (Ctrl+C) or SIGTERM lets each reader's call in flight finish,
sends nothing more and prints the summary, readers marked INTERRUPTED with what
each took (exit status 128 + the signal's number: 130, 143); a second one ends
the program at once.

  --verify         read every value back afterwards; a difference fails the reader
)") + portsHelp},
    {"verify", std::string(R"(usage: tagdesk-cli verify PROFILE --port PORT [--port PORT ...] [--station N]

Reads back, from every reader given, each parameter PROFILE names and lists
every difference on standard output, then a summary table. A parameter is
compared whole, a short code with the bytes that end it. Exit status 0 only
when every reader holds every value of the profile.
)") + portsHelp},
    {"diff", R"(usage: tagdesk-cli diff PROFILE PROFILE

Lists every parameter whose value differs between the two profiles, or that
only one of them gives. Exit status 0 when they agree, 1 when they differ.

  --help           this text
)"},
};

struct Arguments {
    std::vector<std::string> positional;
    std::vector<PortArgument> ports;
    std::optional<uint8_t> station;
    std::string output;
    bool verify = false;
    bool help = false;
};

struct UsageError {
    std::string message;
};

std::optional<uint8_t> parseStation(const std::string& text)
{
    if (text == "any")
        return READER_STATION_ANY;
    if (text.empty() || text.size() > 2 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const int number = std::stoi(text);
    if (number < 1 || number > 10)
        return std::nullopt;
    return static_cast<uint8_t>(number);
}

Arguments parseArguments(const std::string& command, const std::vector<std::string>& args)
{
    const std::set<std::string> takesPorts{"read", "write", "verify"};
    Arguments parsed;
    std::map<std::string, std::string> readers;   // each reader named so far, by the --port that named it
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size())
                throw UsageError{arg + " needs a value"};
            return args[++i];
        };
        if (arg == "--help" || arg == "-h") {
            parsed.help = true;
        } else if (arg == "--port" && takesPorts.count(command)) {
            const std::string& text = value();
            const std::optional<PortArgument> port = parsePort(text);
            if (!port)
                throw UsageError{"--port " + text + ": not COM1 .. COM8, usb or tcp:ADDRESS[:PORT]"};
            if (const auto [named, fresh] = readers.emplace(port->reader, text); !fresh)
                throw UsageError{"--port " + text + " names the reader of --port " + named->second + " ("
                                 + port->reader + ") again: a reader is given twice"};
            parsed.ports.push_back(*port);
        } else if (arg == "--station" && takesPorts.count(command)) {
            const std::string& text = value();
            parsed.station = parseStation(text);
            if (!parsed.station)
                throw UsageError{"--station " + text + ": not 1 .. 10 or any"};
        } else if ((arg == "--output" || arg == "-o") && command == "read") {
            parsed.output = value();
        } else if (arg == "--verify" && command == "write") {
            parsed.verify = true;
        } else if (arg.starts_with("-") && arg.size() > 1) {
            throw UsageError{"unknown option " + arg};
        } else {
            parsed.positional.push_back(arg);
        }
    }
    return parsed;
}

void requirePositional(const Arguments& args, std::size_t count, const std::string& what)
{
    if (args.positional.size() != count)
        throw UsageError{"needs " + what};
}

void requirePorts(const Arguments& args, bool onlyOne)
{
    if (args.ports.empty())
        throw UsageError{"needs --port"};
    if (onlyOne && args.ports.size() > 1)
        throw UsageError{"reads one reader: give one --port"};
}

void selectStation(const Arguments& args)
{
    if (args.station)
        SelectStation(*args.station);
}

std::string failureLine(const TransferFailure& failure)
{
    return failure.name + ": " + failure.reason;
}

int readCommand(const Arguments& args, std::ostream& out, std::ostream& err)
{
    requirePositional(args, 0, "no profile: read writes one");
    requirePorts(args, true);
    selectStation(args);
    LineSink progress(err);
    std::string text;
    const auto outcomes = runOnReaders(args.ports, [&](uint32_t handle, ReaderOutcome& outcome, LineSink& lines) {
        const ReadOutcome read = readReader(handle);
        outcome.total = paraTable.size();
        outcome.done = read.profile.entries.size();
        for (const TransferFailure& failure : read.failures) {
            outcome.problems.push_back(failureLine(failure));
            lines.line(outcome.port + ": " + failureLine(failure));
        }
        lines.line(outcome.port + ": " + std::to_string(outcome.done) + " of " + std::to_string(outcome.total)
                   + " values read");
        if (read.failures.empty())
            text = profileText(read.profile, "Read from " + outcome.port + ".");
    }, progress);
    if (!outcomes.front().clean()) {
        err << "tagdesk-cli read: no profile written: " << outcomes.front().port << " did not give every value\n";
        return exit_status::failed;
    }
    if (args.output.empty()) {
        out << text;
        return exit_status::ok;
    }
    if (const std::string why = writeWholeFile(args.output, text); !why.empty()) {
        err << "tagdesk-cli read: cannot write " << args.output << ": " << why << "\n";
        return exit_status::failed;
    }
    return exit_status::ok;
}

// What an interrupted write left out: "interrupted: frequency.channel_mode and 3 more not sent".
std::string interruptedLine(const Profile& profile, std::size_t sent)
{
    const std::size_t left = profile.entries.size() - sent;
    return "interrupted: " + qualifiedName(*profile.entries[sent].para)
        + (left > 1 ? " and " + std::to_string(left - 1) + " more" : std::string()) + " not sent";
}

// Where one reader differs from the profile, as problem lines.
void verifyInto(uint32_t handle, const Profile& profile, ReaderOutcome& outcome, LineSink& lines)
{
    const VerifyOutcome verify = verifyReader(handle, profile);
    for (const TransferFailure& failure : verify.failures) {
        outcome.problems.push_back(failureLine(failure));
        lines.line(outcome.port + ": " + failureLine(failure));
    }
    for (const ValueDifference& difference : verify.differences) {
        outcome.problems.push_back(difference.name + ": profile " + difference.left + ", reader " + difference.right);
        lines.line(outcome.port + ": " + outcome.problems.back());
    }
}

int writeCommand(const Arguments& args, std::ostream& out, std::ostream& err)
{
    requirePositional(args, 1, "one profile");
    requirePorts(args, false);
    const Profile profile = loadProfile(args.positional.front());   // refused: nothing is sent
    selectStation(args);
    LineSink progress(err);
    const InterruptWatch interrupt;
    const auto outcomes = runOnReaders(args.ports, [&](uint32_t handle, ReaderOutcome& outcome, LineSink& lines) {
        outcome.total = profile.entries.size();
        if (const std::optional<TransferFailure> refused = channelPlanAfterWrite(handle, profile)) {
            outcome.problems.push_back(failureLine(*refused) + "; nothing written");
            lines.line(outcome.port + ": " + outcome.problems.back());
            return;
        }
        lines.line(outcome.port + ": writing " + std::to_string(outcome.total) + " values");
        std::size_t sent = 0;
        const auto failures = writeReader(handle, profile, [&](const Para&, bool) { ++sent; },
                                          [&] { return interrupt.signal() != 0; });
        for (const TransferFailure& failure : failures) {
            outcome.problems.push_back(failureLine(failure));
            lines.line(outcome.port + ": " + failureLine(failure));
        }
        outcome.done = sent - failures.size();
        lines.line(outcome.port + ": " + std::to_string(outcome.done) + " of " + std::to_string(outcome.total)
                   + " values taken");
        if (sent < outcome.total) {
            outcome.interrupted = true;
            outcome.problems.insert(outcome.problems.begin(), interruptedLine(profile, sent));
            lines.line(outcome.port + ": " + outcome.problems.front());
            return;
        }
        if (args.verify) {
            const std::size_t before = outcome.problems.size();
            verifyInto(handle, profile, outcome, lines);
            lines.line(outcome.port + ": " + std::to_string(outcome.problems.size() - before)
                       + " differences on reading back");
        }
    }, progress);
    out << summaryTable(outcomes, "WRITTEN");
    if (const int signal = interrupt.signal()) {
        err << "tagdesk-cli write: interrupted by " << (signal == SIGINT ? "SIGINT" : "SIGTERM") << "; nothing more was sent\n";
        return exit_status::interrupted(signal);
    }
    for (const ReaderOutcome& outcome : outcomes)
        if (!outcome.clean())
            return exit_status::failed;
    return exit_status::ok;
}

int verifyCommand(const Arguments& args, std::ostream& out, std::ostream& err)
{
    requirePositional(args, 1, "one profile");
    requirePorts(args, false);
    const Profile profile = loadProfile(args.positional.front());
    selectStation(args);
    LineSink progress(err);
    const auto outcomes = runOnReaders(args.ports, [&](uint32_t handle, ReaderOutcome& outcome, LineSink& lines) {
        outcome.total = profile.entries.size();
        verifyInto(handle, profile, outcome, lines);
        outcome.done = outcome.total - outcome.problems.size();
        lines.line(outcome.port + ": " + std::to_string(outcome.done) + " of " + std::to_string(outcome.total)
                   + " values agree");
    }, progress);
    for (const ReaderOutcome& outcome : outcomes)
        for (const std::string& problem : outcome.problems)
            out << outcome.port << ": " << problem << "\n";
    out << summaryTable(outcomes, "AGREEING");
    for (const ReaderOutcome& outcome : outcomes)
        if (!outcome.clean())
            return exit_status::failed;
    return exit_status::ok;
}

int diffCommand(const Arguments& args, std::ostream& out, std::ostream&)
{
    requirePositional(args, 2, "two profiles");
    const std::string& leftName = args.positional[0];
    const std::string& rightName = args.positional[1];
    const Profile left = loadProfile(leftName);
    const Profile right = loadProfile(rightName);
    const std::vector<ValueDifference> differences = profileDifferences(left, right);
    for (const ValueDifference& difference : differences)
        out << difference.name << ": " << difference.left << " (" << leftName << ") -> " << difference.right << " ("
            << rightName << ")\n";
    return differences.empty() ? exit_status::ok : exit_status::failed;
}

} // namespace

int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.empty() || args.front() == "--help" || args.front() == "-h" || args.front() == "help") {
        (args.empty() ? err : out) << overviewHelp;
        return args.empty() ? exit_status::refused : exit_status::ok;
    }
    const std::string& command = args.front();
    const auto help = commandHelp.find(command);
    if (help == commandHelp.end()) {
        err << "tagdesk-cli: unknown command " << command << "\n" << overviewHelp;
        return exit_status::refused;
    }
    try {
        const Arguments parsed = parseArguments(command, args);
        if (parsed.help) {
            out << help->second;
            return exit_status::ok;
        }
        if (command == "read")
            return readCommand(parsed, out, err);
        if (command == "write")
            return writeCommand(parsed, out, err);
        if (command == "verify")
            return verifyCommand(parsed, out, err);
        return diffCommand(parsed, out, err);
    } catch (const UsageError& error) {
        err << "tagdesk-cli " << command << ": " << error.message << "\n" << help->second;
        return exit_status::refused;
    } catch (const ProfileError& error) {
        err << "tagdesk-cli " << command << ": profile refused, nothing sent: " << error.what() << "\n";
        return exit_status::refused;
    } catch (const std::exception& error) {
        // Out of memory or another resource: said, never an abort without a word.
        err << "tagdesk-cli " << command << ": stopped: " << error.what() << "\n";
        return exit_status::failed;
    }
}
