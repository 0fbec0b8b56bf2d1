#include "SimOptions.h"

#include <arpa/inet.h>

#include <charconv>
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

bool parseTcp(std::string_view text, SimOptions& options)
{
    const auto colon = text.rfind(':');
    if (colon == std::string_view::npos)
        return false;
    const std::string host(text.substr(0, colon));
    in_addr address{};
    if (inet_pton(AF_INET, host.c_str(), &address) != 1)
        return false;
    const auto port = parseNumber(text.substr(colon + 1), 0, 65535);
    if (!port)
        return false;
    options.tcpHost = host;
    options.tcpPort = static_cast<uint16_t>(*port);
    return true;
}

} // namespace

ParsedOptions parseOptions(const std::vector<std::string>& args)
{
    ParsedOptions parsed;
    SimOptions& o = parsed.options;
    auto fail = [&](const std::string& message) {
        parsed.error = message;
        return parsed;
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--help") {
            parsed.showHelp = true;
            continue;
        }
        if (name == "--no-tcp") { o.serveTcp = false; continue; }
        if (name == "--no-pty") { o.servePty = false; continue; }
        if (name == "--silent") { o.silent = true; continue; }
        if (name == "--garbage") { o.garbage = true; continue; }

        static const std::set<std::string> withValue = {
            "--tcp", "--pty-link", "--state", "--station", "--firmware",
            "--fail-read", "--fail-write", "--delay-ms", "--drop-after", "--idle-timeout"};
        if (withValue.count(name) == 0)
            return fail("unknown option " + name);
        if (i + 1 >= args.size())
            return fail(name + " needs a value");
        const std::string& value = args[++i];

        if (name == "--tcp") {
            if (!parseTcp(value, o))
                return fail("--tcp wants HOST:PORT with an IPv4 address, got " + value);
        } else if (name == "--pty-link") {
            if (value.empty())
                return fail("--pty-link wants a path");
            o.ptyLink = value;
        } else if (name == "--state") {
            if (value.empty())
                return fail("--state wants a path");
            o.stateFile = value;
        } else if (name == "--station") {
            const auto station = parseNumber(value, 1, 10);
            if (!station)
                return fail("--station wants 1 to 10, got " + value);
            o.identity.station = static_cast<uint8_t>(*station);
        } else if (name == "--firmware") {
            const auto version = parseFirmware(value);
            if (!version)
                return fail("--firmware wants A.B.C.D (each 0 to 255), got " + value);
            o.identity.firmware = *version;
        } else if (name == "--fail-read" || name == "--fail-write") {
            const auto list = parseAddressList(value);
            if (!list)
                return fail(name + " wants addresses 0 to 255 separated by commas, got " + value);
            auto& target = name == "--fail-read" ? o.refused.reads : o.refused.writes;
            target.insert(list->begin(), list->end());
        } else if (name == "--delay-ms") {
            const auto delay = parseNumber(value, 0, 600000);
            if (!delay)
                return fail("--delay-ms wants 0 to 600000, got " + value);
            o.delayMs = static_cast<unsigned>(*delay);
        } else if (name == "--drop-after") {
            const auto count = parseNumber(value, 1, 1000000000);
            if (!count)
                return fail("--drop-after wants a frame count of at least 1, got " + value);
            o.dropAfter = static_cast<unsigned>(*count);
        } else if (name == "--idle-timeout") {
            const auto seconds = parseNumber(value, 0, 86400);
            if (!seconds)
                return fail("--idle-timeout wants 0 to 86400 seconds, got " + value);
            o.idleSeconds = static_cast<unsigned>(*seconds);
        }
    }
    if (!parsed.showHelp && !o.serveTcp && !o.servePty)
        return fail("--no-tcp and --no-pty together leave nothing to serve");
    return parsed;
}

std::string usageText()
{
    return
        "usage: readersim [options]\n"
        "A virtual UHF RFID reader: serves the reader protocol over TCP and a pseudo-terminal.\n"
        "\n"
        "  --tcp HOST:PORT      serve TCP here (default 127.0.0.1:4001; PORT 0 picks a free port)\n"
        "  --no-tcp             do not serve TCP\n"
        "  --pty-link PATH      also make PATH a symlink to the pseudo-terminal's slave (replaced if it exists)\n"
        "  --no-pty             do not open a pseudo-terminal\n"
        "  --state FILE         load the parameter memory from FILE at start (if present) and save it\n"
        "                       after every accepted write\n"
        "  --station N          the reader's station number, 1..10 (default 1); a frame is answered\n"
        "                       when its station byte is N or 255\n"
        "  --firmware A.B.C.D   firmware version (default 1.4.0.6)\n"
        "  --fail-read LIST     refuse reads (status Failed) touching any address in LIST (e.g. 208,153)\n"
        "  --fail-write LIST    refuse writes touching any address in LIST (87 also refuses the off-line switch)\n"
        "  --silent             read frames but never answer\n"
        "  --delay-ms N         answer every frame N ms late\n"
        "  --garbage            send a few garbage bytes before every answer\n"
        "  --drop-after N       close a TCP connection after its N-th frame is answered;\n"
        "                       on the pseudo-terminal, ignore everything after the N-th frame\n"
        "  --idle-timeout S     with all 256 TCP client slots taken, a client that has sent nothing\n"
        "                       for S seconds gives its slot to a connection that waits\n"
        "                       (default 30; 0 keeps idle clients)\n"
        "  --help               this text\n"
        "\n"
        "When ready it prints \"tcp HOST:PORT\", \"pty PATH\" and \"ready\", one per line.\n"
        "SIGINT or SIGTERM end it cleanly.\n";
}

} // namespace sim
