#include "CommandLine.h"

#include "Cli.h"
#include "PortList.h"
#include "ProfileFormat.h"
#include "PrintableText.h"
#include "Reader.h"
#include "SameDevice.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <map>
#include <ostream>
#include <set>

namespace {

const char* const overview = "Reads a UHF RFID reader's settings into a profile, writes a profile to one or\n"
                             "many readers, verifies what readers hold, compares profiles, finds readers,\n"
                             "prints the tags readers send.";

const char* const overviewFooter =
     R"(A profile is a TOML file of at most 1 MB. tagdesk-cli COMMAND --help tells
more. Exit status: 0 all went through, 1 a reader or a value did not (or a
difference was found, no reader answered a scan, or monitor heard no tag), 2 a
bad command line or a refused profile (nothing was sent), 130 or 143 a write
interrupted by SIGINT or SIGTERM.)";

const char* const portHelp =
    "COM1 .. COM8, usb, tcp:ADDRESS or tcp:ADDRESS:PORT (ADDRESS a\n"
    "dotted IPv4 address, PORT 1..65535), or a range of addresses\n"
    "tcp:ADDRESS/PREFIX or tcp:FIRST-LAST, each with an optional\n"
    ":PORT; the library maps them to devices (READER_COMn,\n"
    "READER_USB; READER_TCP_PORT or 4001 when no PORT is given).\n"
    "Every --port is checked before anything is sent; naming one\n"
    "reader twice is refused.";

const char* const portsFromHelp =
    "the readers listed in FILE (- for standard input): one port a\n"
    "line as --port takes it, or the JSON Lines of scan --json";

const char* const siteHelp =
    "per-reader values from FILE (- for standard input), a CSV file:\n"
    "a header naming the column port and one column a parameter\n"
    "(ip_address, or communication_port.ip_address), then a row a\n"
    "reader. Its values go to that reader on top of the profile.\n"
    "Without --port or --ports-from its rows name the readers.";

const char* const parallelHelp =
    "at most N readers at once (default: every reader given,\n"
    "as far as the system's limits on threads and open files\n"
    "allow)";

const char* const stationHelp = "station 1..10, or any (the default: whichever station answers)";
const char* const jsonHelp = "JSON Lines on standard output: an object per reader, then a summary";

struct Command {
    const char* name;
    const char* summary;       // in the overview's list
    const char* description;   // in the command's own help
};

const Command commands[] = {
    {"read", "read one reader's settings into a profile",
     R"(Reads every parameter of one reader into a profile, to standard output or FILE.
When any parameter cannot be read, or holds what a profile could not write back
(a channel outside the frequency plan), no profile is written and the
parameters are named on standard error (exit status 1). With --json it reads
every reader given, all at once, each reader's profile on its line.)"},
    {"write", "write a profile to one or many readers",
     R"(Writes PROFILE to every reader given, each on its own link and thread, all at
the same time as far as the system allows (or --parallel N at a time). The
profile is checked first: a refused profile sends nothing. Values go out in an
order that keeps the reader consistent (the frequency plan before the channel
choice; the off-line switch through its own call); a code shorter than its field
goes out with the bytes that end it. A reader that would be left fixed on, or
hopping over, a channel outside its frequency plan (the profile's, or the one it
holds when the profile gives none) is sent nothing. --only-differing reads each
reader first and sends only the values it does not hold yet, so a second run
sends nothing. A reader keeps its own MAC address, IP address and reader number
unless the profile was read from it (its MAC address is the profile's); --site
gives readers values of their own. A progress line per reader goes to standard
error (on a terminal also a line counting the readers done), a summary table to
standard output. Exit status 0 only when every reader took every value.

A first SIGINT (Ctrl+C) or SIGTERM lets each reader's call in flight finish,
sends nothing more and prints the summary, readers marked INTERRUPTED with what
each took (exit status 128 + the signal's number: 130, 143); a second one ends
the program at once.)"},
    {"verify", "list where readers differ from a profile",
     R"(Reads back, from every reader given, each parameter PROFILE (and the reader's
row of --site) names and lists every difference on standard output, then a
summary table. A parameter is compared whole, a short code with the bytes that
end it; a reader's own values of another reader's profile are not compared.
Exit status 0 only when every reader holds every value of the profile.)"},
    {"diff", "list where two profiles differ",
     R"(Lists every parameter whose value differs between the two profiles, or that
only one of them gives, the second read as what a reader holds: a reader's own
values of two readers are listed as kept, no difference. With --site, each row
on top of the first profile in turn. Exit status 0 when they agree, 1 when
they differ.)"},
    {"scan", "list the readers that answer on this machine's ports or an address range",
     R"(Asks every port given, or without --port this machine's serial ports COM1 ..
COM8 and its USB port, for the firmware version of each station 1..10 (only
--station N when given), all ports at once, and lists port, station and firmware
version of every reader that answers. Ports that cannot be opened are left out
after the first try. A reader is sent nothing else: its RF work goes on. Each
try waits 500 ms for a TCP connection and 300 ms for the answer
(READER_CONNECT_TIMEOUT_MS and READER_TIMEOUT_MS, when set, say otherwise).
Exit status 0 when a reader answered, 1 when none did.)"},
    {"monitor", "print the tags readers send as they read them",
     R"(Receives what readers send when they read tags (in timing or triggering mode)
and prints a line a read: time, source, reader number ("-" when the frames
hold none) and the tag ID as the frame format cuts it, in hexadecimal. The
frame format is the readers' Frame Format settings: the frame_format table of
--profile FILE, or read from the reader first (--format-from-reader, through
the library, which then closes its link; the reader's RF work is left as it is).

--listen tcp:ADDRESS:PORT makes this the server that readers in client mode
connect to (their server IP address and port; ADDRESS 0.0.0.0 for every
address of this machine), any number of readers at once, each told apart by
its address and reader number. --port PORT hears one reader on its own port:
its TCP port (TCP/IP among its output ports, in server mode) or its serial
port (RS-232 or USB among them).

Bytes that make no frame are counted and shown escaped (\xNN for each byte
that is no printable ASCII), so a format that is not what the reader sends
shows at once. At the end (--duration, Ctrl+C or SIGTERM, or the reader's
port closing) a table: each tag's reads, first and last seen, and reads a
second while it was seen. Exit status 0 when a tag was read, 1 when none was
or the port could not be heard.)"},
};

const char* const scanPortHelp =
    "as for the other commands, a range of addresses included:\n"
    "tcp:ADDRESS/PREFIX (the hosts of that network) or\n"
    "tcp:FIRST-LAST, each with an optional :PORT; at most\n"
    "65536 addresses. Repeat it for more.";

const char* const scanParallelHelp = "at most N ports looked at at once (default 256, as far as\n"
                                     "the system's limits on threads and open files allow)";

// What the command line gave, before it is judged.
struct Given {
    std::string profile;                 // write, verify
    std::vector<std::string> profiles;   // diff
    std::vector<std::string> ports;
    std::vector<std::string> portLists;  // --ports-from
    std::string site;
    std::string station;
    std::string output;
    std::string parallel;
    bool verify = false;
    bool onlyDiffering = false;
    bool json = false;
    std::string listen;                  // monitor
    std::string formatReader;            // monitor --format-from-reader's PORT, when given one
    CLI::Option* formatFromReader = nullptr;
    bool summaryOnly = false;
    std::optional<double> duration;
};

// A command line refused: every fault found, a line each.
struct UsageError {
    std::vector<std::string> messages;

    explicit UsageError(std::string message) : messages{std::move(message)} {}
    explicit UsageError(std::vector<std::string> all) : messages(std::move(all)) {}
};

void addMonitorOptions(CLI::App* command, Given& given)
{
    command->add_option("--listen", given.listen,
                        "be the server readers in client mode connect to, on\n"
                        "this address and port (tcp:0.0.0.0:PORT: every address)")
        ->type_name("tcp:ADDRESS:PORT");
    command->add_option("--port", given.ports,
                        "hear one reader on its own port: COM1 .. COM8, usb,\n"
                        "tcp:ADDRESS or tcp:ADDRESS:PORT, mapped to devices as\n"
                        "for the other commands")
        ->option_text("PORT")
        ->allow_extra_args(false);
    command->add_option("--profile", given.profile, "take the frame format from FILE's frame_format table")
        ->type_name("FILE");
    given.formatFromReader =
        command->add_option("--format-from-reader", given.formatReader,
                            "read the frame format from the reader first: from PORT,\n"
                            "or without one from --port")
            ->option_text("[=PORT]")
            ->expected(0, 1);
    command->add_option("--station", given.station,
                        "the station of --format-from-reader's reader: 1..10, or\n"
                        "any (the default: whichever station answers)")
        ->type_name("N")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    command->add_flag("--summary", given.summaryOnly, "no line a read: only the table of tags at the end");
    command->add_option("--duration", given.duration, "stop after S seconds (else at Ctrl+C)")->type_name("S");
    command->add_flag("--json", given.json,
                      "JSON Lines on standard output: an object a read and a\n"
                      "run of bytes that made no frame, then one a tag and a summary");
}

void addCommand(CLI::App& app, const Command& definition, Given& given)
{
    const std::string name = definition.name;
    CLI::App* command = app.add_subcommand(name, definition.summary)->group("Commands");
    command->footer(definition.description);
    if (name == "monitor") {
        addMonitorOptions(command, given);
        return;
    }
    if (name == "write" || name == "verify")
        command->add_option("PROFILE", given.profile, "the profile")->required()->type_name("");
    if (name == "diff")
        command->add_option("PROFILE", given.profiles, "the two profiles")->required()->expected(2)->type_name("");
    if (name != "diff") {
        command->add_option("--port", given.ports, name == "scan" ? scanPortHelp : portHelp)
            ->allow_extra_args(false)
            ->option_text("PORT ...");
        command->add_option("--ports-from", given.portLists, portsFromHelp)
            ->allow_extra_args(false)
            ->option_text("FILE ...");
        command->add_option("--station", given.station, stationHelp)
            ->type_name("N")
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    }
    if (name == "write" || name == "verify" || name == "diff")
        command->add_option("--site", given.site, siteHelp)
            ->type_name("FILE")
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    if (name == "read")
        command->add_option("-o,--output", given.output,
                            "write the profile to FILE instead of standard output (- is\n"
                            "standard output): a regular file whole or not at all (a\n"
                            "temporary file renamed over it; a symbolic link keeps\n"
                            "pointing where it did, at the new profile); a FIFO, a\n"
                            "device or another special file is written in place")
            ->type_name("FILE")
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    if (name == "write" || name == "verify" || name == "scan")
        command->add_option("--parallel", given.parallel, name == "scan" ? scanParallelHelp : parallelHelp)
            ->type_name("N")
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    if (name == "write")
        command->add_flag("--verify", given.verify, "read every value back afterwards; a difference fails the reader");
    if (name == "write")
        command->add_flag("--only-differing", given.onlyDiffering,
                          "read each reader first (in as few requests as the\n"
                          "protocol allows) and send only the values it does\n"
                          "not hold yet");
    command->add_flag("--json", given.json, jsonHelp);
}

// --parallel: a whole number from 1 up, of at most seven digits.
std::optional<std::size_t> parseParallel(const std::string& text)
{
    if (text.empty() || text.size() > 7 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const std::size_t number = std::stoul(text);
    return number == 0 ? std::nullopt : std::optional<std::size_t>(number);
}

std::optional<uint8_t> parseStation(const std::string& text)
{
    if (text == "any")
        return READER_STATION_ANY;
    if (text.empty() || text.size() > 2 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const int number = std::stoi(text);
    if (number < 1 || number > lastStation)
        return std::nullopt;
    return static_cast<uint8_t>(number);
}

// A port as the command line or a port list gave it, and where.
struct NamedPort {
    std::string text;
    std::string origin;   // "--port tcp:10.0.0.1-10.0.0.9", "--ports-from scan.jsonl:3: COM2", escaped
};

// The ports one text names: itself, or every address of a range. A fault goes to faults.
std::vector<PortArgument> portsNamed(const NamedPort& named, std::vector<std::string>& faults)
{
    if (const std::optional<PortArgument> port = parsePort(named.text))
        return {*port};
    std::string problem;
    const std::optional<ports::TcpRange> range = ports::tcpRange(named.text, &problem);
    if (!range && !problem.empty())
        faults.push_back(named.origin + ": " + problem + ": a range goes from its lower address to its higher");
    else if (!range)
        faults.push_back(named.origin + ": not COM1 .. COM8, usb, tcp:ADDRESS[:PORT], tcp:ADDRESS/PREFIX[:PORT] or "
                                        "tcp:FIRST-LAST[:PORT]");
    else if (range->size() > portLimit)
        faults.push_back(named.origin + ": more than " + std::to_string(portLimit) + " addresses");
    else
        return rangePorts(*range);
    return {};
}

// Every port of --port, then of each --ports-from in turn; "-" reads in. A
// list's faults go to faults.
std::vector<NamedPort> namedPorts(const Given& given, std::istream& in, std::vector<std::string>& faults)
{
    std::vector<NamedPort> named;
    for (const std::string& text : given.ports)
        named.push_back({text, "--port " + escapedText(text)});
    for (const std::string& file : given.portLists) {
        const std::string shown = file == "-" ? "standard input" : escapedText(file);
        std::string text;
        try {
            text = file == "-" ? readBounded(in, "standard input", portListSizeLimit)
                               : readBoundedFile(file, portListSizeLimit);
        } catch (const ProfileError& error) {
            faults.push_back("--ports-from " + std::string(error.what()));
            continue;
        }
        const PortList list = portListOf(text);
        for (const std::string& fault : list.faults)
            faults.push_back("--ports-from " + shown + ":" + fault);
        for (const ListedPort& port : list.ports)
            named.push_back({port.text, "--ports-from " + shown + ":" + std::to_string(port.line) + ": "
                                            + escapedText(port.text)});
    }
    return named;
}

// The readers of read, write and verify: each named once, by its name and, for
// the serial and USB ports the environment maps, by its device. A --port that
// parsed holds nothing but letters, digits, dots and colons. Throws every
// fault, faults found before among them.
std::vector<PortArgument> readers(const std::vector<NamedPort>& named, std::vector<std::string> faults)
{
    std::vector<PortArgument> ports;
    std::map<std::string, std::string> seen;    // each reader named so far, by where it was named
    for (const NamedPort& text : named) {
        for (const PortArgument& port : portsNamed(text, faults)) {
            if (const auto [earlier, fresh] = seen.emplace(port.reader, text.origin); !fresh) {
                faults.push_back(text.origin + " names the reader of " + earlier->second + " (" + port.reader
                                 + ") again: a reader is given twice");
                continue;
            }
            ports.push_back(port);
        }
    }
    if (ports.size() > portLimit)
        faults.push_back("more than " + std::to_string(portLimit) + " readers");
    std::vector<const PortArgument*> mapped;    // the ports so far whose device a variable names: COM1 .. COM8, usb
    for (const PortArgument& port : ports) {
        if (port.device.empty())
            continue;
        for (const PortArgument* earlier : mapped)
            if (sameDevice(earlier->device, port.device))
                faults.push_back("--port " + port.label + " leads to the device of --port " + earlier->label + " ("
                                 + escapedText(port.device) + ", " + escapedText(earlier->device)
                                 + "): a reader is given twice");
        mapped.push_back(&port);
    }
    if (!faults.empty())
        throw UsageError(faults);
    return ports;
}

// The ports scan looks at, each once however often the ranges name it; every fault thrown as readers() does.
std::vector<PortArgument> scanPorts(const std::vector<NamedPort>& named, std::vector<std::string> faults)
{
    if (named.empty() && faults.empty())
        return localPorts();
    std::vector<PortArgument> ports;
    std::set<std::string> seen;
    for (const NamedPort& text : named)
        for (const PortArgument& port : portsNamed(text, faults))
            if (seen.insert(port.reader).second)
                ports.push_back(port);
    if (ports.size() > portLimit)
        faults.push_back("more than " + std::to_string(portLimit) + " addresses to look at");
    if (!faults.empty())
        throw UsageError(faults);
    return ports;
}

// The one reader a text names, as --port gives it.
PortArgument oneReader(const std::string& option, const std::string& text)
{
    const std::vector<PortArgument> ports = readers({{text, option + " " + escapedText(text)}}, {});
    if (ports.size() != 1)
        throw UsageError{option + " " + escapedText(text) + ": names " + std::to_string(ports.size())
                         + " readers where it takes one"};
    return ports.front();
}

// What monitor hears and how it knows the frame format: one of each.
Arguments judgedMonitor(const Given& given)
{
    Arguments arguments{"monitor"};
    arguments.json = given.json;
    arguments.summaryOnly = given.summaryOnly;
    if (given.listen.empty() == given.ports.empty())
        throw UsageError{"give --listen tcp:ADDRESS:PORT or --port PORT, one of them"};
    if (given.ports.size() > 1)
        throw UsageError{"hears one --port; readers in client mode may all connect to one --listen"};
    if (!given.listen.empty()) {
        const std::optional<ports::PortName> name = ports::portName(given.listen);
        if (!name || name->kind != READER_PORT_TCP || !name->tcp.port)
            throw UsageError{"--listen " + escapedText(given.listen) + ": not tcp:ADDRESS:PORT"};
        arguments.listen = name->tcp;
    } else {
        arguments.ports = {oneReader("--port", given.ports.front())};
    }
    const bool fromReader = given.formatFromReader->count() > 0;
    if (given.profile.empty() == !fromReader)
        throw UsageError{"give --profile FILE or --format-from-reader, one of them"};
    if (!given.profile.empty())
        arguments.profiles = {given.profile};
    if (fromReader && !given.formatReader.empty())
        arguments.formatReader = oneReader("--format-from-reader", given.formatReader);
    else if (fromReader && arguments.listen)
        throw UsageError{"--format-from-reader needs the reader's own port with --listen: --format-from-reader=PORT"};
    else if (fromReader)
        arguments.formatReader = arguments.ports.front();
    if (given.duration && !(*given.duration > 0 && *given.duration <= longestDuration))
        throw UsageError{"--duration: more than 0 seconds, at most " + std::to_string(longestDuration)};
    arguments.duration = given.duration;
    return arguments;
}

// The readers (or, for scan, the ports) a command works on, and its files.
Arguments judgedFleet(const std::string& command, const Given& given, std::istream& in)
{
    // "-o -" is standard output, as without --output.
    const std::string output = given.output == "-" ? std::string() : given.output;
    Arguments arguments{command, given.profiles, {}, given.site, {}, output, 0, given.verify, given.onlyDiffering,
                        given.json};
    if (command == "write" || command == "verify")
        arguments.profiles = {given.profile};
    const auto fromStandardInput = std::count(given.portLists.begin(), given.portLists.end(), "-")
        + (given.site == "-" ? 1 : 0);
    if (fromStandardInput > 1)
        throw UsageError{"standard input (-) can give one file only: the ports or the site file"};
    if (command == "diff")
        return arguments;
    std::vector<std::string> faults;
    const std::vector<NamedPort> named = namedPorts(given, in, faults);
    arguments.ports = command == "scan" ? scanPorts(named, faults) : readers(named, faults);
    if (command == "read" && !given.json && arguments.ports.size() != 1)
        throw UsageError{"reads one reader: give one --port (or --json, a profile a line)"};
    if (command == "read" && !given.output.empty() && arguments.ports.size() != 1)
        throw UsageError{"--output takes one reader's profile: give one --port"};
    if (arguments.ports.empty() && given.site.empty() && command != "scan")
        throw UsageError{"no reader given: give --port, --ports-from or --site"};
    return arguments;
}

Arguments judged(const std::string& command, const Given& given, std::istream& in)
{
    Arguments arguments = command == "monitor" ? judgedMonitor(given) : judgedFleet(command, given, in);
    if (!given.station.empty()) {
        arguments.station = parseStation(given.station);
        if (!arguments.station)
            throw UsageError{"--station " + escapedText(given.station) + ": not 1 .. 10 or any"};
    }
    if (!given.parallel.empty()) {
        const std::optional<std::size_t> parallel = parseParallel(given.parallel);
        if (!parallel)
            throw UsageError{"--parallel " + escapedText(given.parallel) + ": not a whole number from 1 to 9999999"};
        arguments.parallel = *parallel;
    }
    return arguments;
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                             std::ostream& err)
{
    CLI::App app(overview, "tagdesk-cli");
    app.set_help_flag("-h,--help", "this text");
    app.set_version_flag("--version", "tagdesk-cli " TAGDESK_VERSION, "the program's version");
    app.footer(overviewFooter);
    app.require_subcommand(1);
    app.get_formatter()->column_width(19);
    app.get_formatter()->label("SUBCOMMAND", "COMMAND");
    app.get_formatter()->label("Usage", "usage");
    Given given;
    for (const Command& command : commands)
        addCommand(app, command, given);

    std::vector<std::string> reversed(args.rbegin(), args.rend());   // CLI11 takes them last first
    const auto commandName = [&app] {
        const std::vector<CLI::App*> chosen = app.get_subcommands();
        return chosen.empty() ? std::string() : chosen.front()->get_name();
    };
    try {
        app.parse(reversed);
        return {judged(commandName(), given, in), exit_status::ok};
    } catch (const CLI::CallForHelp&) {
        out << app.help();   // the chosen command's, or the overview
        return {std::nullopt, exit_status::ok};
    } catch (const CLI::CallForVersion& version) {
        out << version.what() << "\n";
        return {std::nullopt, exit_status::ok};
    } catch (const CLI::ParseError& error) {
        const std::string name = commandName();
        if (name.empty()) {
            const bool named = !args.empty() && !args.front().starts_with("-");
            err << "tagdesk-cli: "
                << (named ? "unknown command " + escapedText(args.front()) : std::string("no command given")) << "\n"
                << app.help();
        } else {
            // CLI11's messages carry the arguments they refuse as given.
            err << "tagdesk-cli " << name << ": " << escapedText(error.what()) << "\n(tagdesk-cli " << name
                << " --help tells more)\n";
        }
    } catch (const UsageError& error) {
        for (const std::string& message : error.messages)
            err << "tagdesk-cli " << commandName() << ": " << message << "\n";
        err << "(tagdesk-cli " << commandName() << " --help tells more)\n";
    }
    return {std::nullopt, exit_status::refused};
}
