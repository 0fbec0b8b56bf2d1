#include "SimOptions.h"

#include "PortName.h"
#include "TagField.h"

#include <CLI/CLI.hpp>

#include <arpa/inet.h>

#include <charconv>
#include <functional>
#include <limits>
#include <optional>
#include <string_view>

namespace sim {

namespace {

// A whole decimal number within [low, high]; anything else (signs, blanks, junk) is refused.
std::optional<unsigned long> parseNumber(std::string_view text, unsigned long low, unsigned long high)
{
    unsigned long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<std::set<uint8_t>> parseAddressList(std::string_view text)
{
    std::set<uint8_t> addresses;
    for (;;) {
        const auto comma = text.find(',');
        const auto number = parseNumber(text.substr(0, comma), 0, 255);
        if (!number)
            return std::nullopt;
        addresses.insert(static_cast<uint8_t>(*number));
        if (comma == std::string_view::npos)
            return addresses;
        text.remove_prefix(comma + 1);
    }
}

std::optional<FirmwareVersion> parseFirmware(std::string_view text)
{
    FirmwareVersion version{};
    for (std::size_t i = 0; i < version.size(); ++i) {
        const auto dot = text.find('.');
        const bool last = i + 1 == version.size();
        if (last != (dot == std::string_view::npos))
            return std::nullopt;
        const auto number = parseNumber(text.substr(0, dot), 0, 255);
        if (!number)
            return std::nullopt;
        version[i] = static_cast<uint8_t>(*number);
        if (!last)
            text.remove_prefix(dot + 1);
    }
    return version;
}

// A range as tagdesk-cli scan takes one, without the port: "ADDRESS/PREFIX" or "FIRST-LAST".
std::optional<AddressRange> parseRange(std::string_view text)
{
    if (text.find(':') != std::string_view::npos)
        return std::nullopt;
    const auto range = ports::tcpRange("tcp:" + std::string(text));
    if (!range)
        return std::nullopt;
    return AddressRange{range->first, range->last};
}

bool isRange(std::string_view text)
{
    return text.find_first_of("/-") != std::string_view::npos;
}

// "HOST:PORT", or a range of addresses and ":PORT": a reader at each.
bool parseTcp(std::string_view text, SimOptions& options)
{
    const auto colon = text.rfind(':');
    if (colon == std::string_view::npos)
        return false;
    const auto port = parseNumber(text.substr(colon + 1), 0, 65535);
    if (!port)
        return false;
    const std::string host(text.substr(0, colon));
    if (isRange(host)) {
        const auto range = parseRange(host);
        if (!range || uint64_t(range->last) - range->first >= kMaxReaders)
            return false;
        options.tcpHost = ports::dotted(range->first);
        options.tcpReaders = range->last - range->first + 1;
    } else {
        in_addr address{};
        if (inet_pton(AF_INET, host.c_str(), &address) != 1)
            return false;
        options.tcpHost = host;
        options.tcpReaders = 1;
    }
    options.tcpRange = isRange(host);
    options.tcpPort = static_cast<uint16_t>(*port);
    return true;
}

// One address, or a range of them.
std::optional<AddressRange> parseAddresses(std::string_view text)
{
    if (isRange(text))
        return parseRange(text);
    const auto address = ports::tcpAddress(text);
    if (!address || address->port)
        return std::nullopt;
    return AddressRange{address->address, address->address};
}

// What the options say together, beyond each one alone; empty when they agree.
std::string disagreement(const SimOptions& o)
{
    if (!o.serveTcp && !o.servePty)
        return "--no-tcp and --no-pty together leave nothing to serve";
    if (!o.tagFile.empty() && o.tagCount != 0)
        return "--tags and --tag-count together: a tag field is one or the other";
    if (o.tcpRange && !o.serveTcp)
        return "--no-tcp with a range in --tcp: a range of readers is served over TCP only";
    if (o.tcpRange && !o.ptyLink.empty())
        return "--pty-link with a range in --tcp: the pseudo-terminal serves one reader only";
    if (o.faultsOn && !o.serveTcp)
        return "--faults-on picks readers by their TCP address, and --no-tcp serves none";
    if (o.faultsOn) {
        const AddressRange served = servedAddresses(o);
        if (o.faultsOn->last < served.first || o.faultsOn->first > served.last)
            return "--faults-on names no reader that --tcp serves";
    }
    return {};
}

// An option with one value, taken by apply; apply's false refuses the command
// line with "OPTION wants WANTS, got VALUE". Given twice, the last one counts.
void valueOption(CLI::App& app, const std::string& name, const std::string& valueName, const std::string& wants,
                 const std::string& description, std::function<bool(const std::string&)> apply)
{
    app.add_option_function<std::string>(name, [name, wants, apply](const std::string& value) {
           if (!apply(value))
               throw CLI::ValidationError(name + " wants " + wants + ", got " + value);
       }, description)
        ->type_name(valueName)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
}

// A whole number within [low, high], stored in target.
template <typename Number>
void numberOption(CLI::App& app, const std::string& name, const std::string& valueName, const std::string& wants,
                  const std::string& description, unsigned long low, unsigned long high, Number& target)
{
    valueOption(app, name, valueName, wants, description, [low, high, &target](const std::string& value) {
        const auto number = parseNumber(value, low, high);
        if (number)
            target = static_cast<Number>(*number);
        return number.has_value();
    });
}

// The command line, writing into o as it is parsed; --help is written from it.
void defineOptions(CLI::App& app, SimOptions& o)
{
    app.set_help_flag("-h,--help", "this text");
    app.set_version_flag("--version", "readersim " TAGDESK_VERSION, "the program's version");
    app.get_formatter()->column_width(24);
    app.footer("A tag file holds one tag a line: \"ID [ANTENNA [READS]]\", ID 24 hexadecimal digits,\n"
               "ANTENNA 1 to 4 or * (every antenna, the default), READS its reads per second.\n"
               "The reader reads them as its work mode says and sends what its output settings say\n"
               "(docs/tag-output.md).\n"
               "The control socket takes one command a line and answers each with one line:\n"
               "  trigger N on|off [ADDRESS]  trigger input N (1 to 4) goes active or inactive\n"
               "  status [ADDRESS]            reading=yes|no reads=N sent=N dropped=N server=STATE\n"
               "ADDRESS: the reader's, when --tcp names a range.\n"
               "e.g. echo 'trigger 1 on' | nc -NU PATH   (netcat-openbsd; or socat - UNIX-CONNECT:PATH)\n"
               "A range in --tcp serves a fleet from one process: each reader its own parameter\n"
               "memory, state file, station, tag field (--tag-count: from seed S + its place in the\n"
               "range) and faults.\n"
               "When ready it prints \"tcp HOST:PORT\" (a range: \"tcp FIRST-LAST:PORT\"), \"pty PATH\"\n"
               "and \"ready\", one per line.\n"
               "SIGINT or SIGTERM end it cleanly.");

    valueOption(app, "--tcp", "HOST:PORT",
                "HOST:PORT with an IPv4 address, or ADDRESS/PREFIX:PORT or FIRST-LAST:PORT of at most "
                    + std::to_string(kMaxReaders) + " addresses",
                "serve TCP here (default 127.0.0.1:4001; PORT 0 picks a free port);\n"
                "a range ADDRESS/PREFIX:PORT or FIRST-LAST:PORT serves a reader at each\n"
                "address (as tagdesk-cli scan counts them), with no pseudo-terminal",
                [&o](const std::string& value) { return parseTcp(value, o); });
    app.add_flag_callback("--no-tcp", [&o] { o.serveTcp = false; }, "do not serve TCP");
    valueOption(app, "--pty-link", "PATH", "a path",
                "also make PATH a symlink to the pseudo-terminal's slave (replaced if it exists)",
                [&o](const std::string& value) { o.ptyLink = value; return !value.empty(); });
    app.add_flag_callback("--no-pty", [&o] { o.servePty = false; }, "do not open a pseudo-terminal");
    valueOption(app, "--state", "FILE", "a path",
                "load the parameter memory from FILE at start (if present) and save it\n"
                "after every accepted write; with a range in --tcp, each reader its own\n"
                "FILE.ADDRESS (e.g. reader.mem.127.0.1.5)",
                [&o](const std::string& value) { o.stateFile = value; return !value.empty(); });
    numberOption(app, "--station", "N", "1 to 10",
                 "the reader's station number, 1..10 (default 1); a frame is answered\n"
                 "when its station byte is N or 255",
                 1, 10, o.identity.station);
    valueOption(app, "--firmware", "A.B.C.D", "A.B.C.D (each 0 to 255)", "firmware version (default 1.4.0.6)",
                [&o](const std::string& value) {
                    const auto version = parseFirmware(value);
                    o.identity.firmware = version.value_or(o.identity.firmware);
                    return version.has_value();
                });
    // A list option given twice adds to the list.
    for (const auto& [name, description, target] :
         {std::tuple{"--fail-read", "refuse reads (status Failed) touching any address in LIST (e.g. 208,153)",
                     &o.refused.reads},
          std::tuple{"--fail-write",
                     "refuse writes touching any address in LIST (87 also refuses the off-line switch)",
                     &o.refused.writes}}) {
        const std::string option = name;
        app.add_option_function<std::vector<std::string>>(option, [option, target](const std::vector<std::string>& lists) {
               for (const std::string& text : lists) {
                   const auto list = parseAddressList(text);
                   if (!list)
                       throw CLI::ValidationError(option + " wants addresses 0 to 255 separated by commas, got " + text);
                   target->insert(list->begin(), list->end());
               }
           }, description)
            ->option_text("LIST")
            ->allow_extra_args(false);
    }
    valueOption(app, "--faults-on", "RANGE", "an address, ADDRESS/PREFIX or FIRST-LAST",
                "the fault options below act on the readers in RANGE only\n"
                "(an address, ADDRESS/PREFIX or FIRST-LAST; default every reader)",
                [&o](const std::string& value) {
                    o.faultsOn = parseAddresses(value);
                    return o.faultsOn.has_value();
                });
    app.add_flag("--silent", o.silent, "read frames but never answer");
    numberOption(app, "--delay-ms", "N", "0 to 600000", "answer every frame N ms late", 0, 600000, o.delayMs);
    numberOption(app, "--work-ms", "N", "0 to 600000",
                 "take N ms over each request, one at a time in the order they come\n"
                 "(over every connection to the reader); an answer leaves when its work is done",
                 0, 600000, o.workMs);
    numberOption(app, "--lose-frame", "N", "a frame count of at least 1",
                 "lose each connection's N-th frame: no answer, no change", 1, 1000000000, o.loseFrame);
    app.add_flag("--garbage", o.garbage, "send a few garbage bytes before every answer");
    numberOption(app, "--drop-after", "N", "a frame count of at least 1",
                 "close a TCP connection after its N-th frame is answered;\n"
                 "on the pseudo-terminal, ignore everything after the N-th frame",
                 1, 1000000000, o.dropAfter);
    numberOption(app, "--idle-timeout", "S", "0 to 86400 seconds",
                 "with all 256 TCP client slots of a reader taken, a client that has sent\n"
                 "nothing for S seconds gives its slot to a connection that waits\n(default 30; 0 keeps idle clients)",
                 0, 86400, o.idleSeconds);
    valueOption(app, "--tags", "FILE", "a path",
                "read the tags in FILE (one a line, see below); refused with its line\n"
                "and reason if any line is no tag",
                [&o](const std::string& value) { o.tagFile = value; return !value.empty(); });
    numberOption(app, "--tag-count", "N", "1 to " + std::to_string(kMaxTagFileLines),
                 "instead of a file, N tags with random IDs, seen by every antenna", 1, kMaxTagFileLines,
                 o.tagCount);
    numberOption(app, "--seed", "S", "a whole number", "the random IDs and read times come from S (default 1)", 0,
                 std::numeric_limits<unsigned long>::max(), o.seed);
    valueOption(app, "--tag-rate", "R", "reads per second above 0 and at most 1000",
                "reads per second of a tag that names none (default 1); at most one a read round",
                [&o](const std::string& value) {
                    const auto rate = parseReadsPerSecond(value);
                    o.tagRate = rate.value_or(o.tagRate);
                    return rate.has_value();
                });
    valueOption(app, "--control", "PATH", "a path",
                "take commands at the Unix socket PATH while running (see below)",
                [&o](const std::string& value) { o.controlPath = value; return !value.empty(); });
}

const char* const description =
    "A virtual UHF RFID reader: serves the reader protocol over TCP and a pseudo-terminal,\n"
    "and reads the tags of a tag field as its settings say.";

} // namespace

ParsedOptions parseOptions(const std::vector<std::string>& args)
{
    ParsedOptions parsed;
    CLI::App app(description, "readersim");
    defineOptions(app, parsed.options);
    std::vector<std::string> reversed(args.rbegin(), args.rend());   // CLI11 takes them last first
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        parsed.showHelp = true;
        return parsed;
    } catch (const CLI::CallForVersion& version) {
        parsed.version = version.what();
        return parsed;
    } catch (const CLI::ParseError& error) {
        parsed.error = error.what();
        return parsed;
    }
    parsed.error = disagreement(parsed.options);
    if (parsed.options.tcpRange)
        parsed.options.servePty = false;
    return parsed;
}

AddressRange servedAddresses(const SimOptions& options)
{
    const auto first = ports::tcpAddress(options.tcpHost);
    const uint32_t address = first ? first->address : 0;
    return {address, static_cast<uint32_t>(address + options.tcpReaders - 1)};
}

bool faultsOnReader(const SimOptions& options, uint32_t address)
{
    return !options.faultsOn || options.faultsOn->holds(address);
}

std::string usageText()
{
    SimOptions unused;
    CLI::App app(description, "readersim");
    defineOptions(app, unused);
    return app.help();
}

} // namespace sim
