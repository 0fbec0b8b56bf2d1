#include "JsonLines.h"

#include "HexText.h"
#include "PageKeys.h"
#include "Reader.h"
#include "Summary.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <variant>

namespace {

using Json = nlohmann::ordered_json;   // fields in the order written: "type" first

std::string line(const Json& object)
{
    // Text that is no UTF-8 (from a file name, say) is replaced, never a reason to stop.
    return object.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

Json valueJson(const ParaValue& value)
{
    return std::visit([](const auto& held) { return Json(held); }, value);
}

Json optionalValueJson(const std::optional<ParaValue>& value)
{
    return value ? valueJson(*value) : Json();
}

// {"format":1,"reader":{...},"antenna_power":{"channel1_power":"27.5",...},...}: the
// profile's tables in the order its file has them.
Json profileJson(const Profile& profile)
{
    Json object{{"format", profileFormatVersion}};
    for (const PageKey& page : pageKeys)
        for (const ProfileEntry& entry : profile.entries)
            if (entry.para->page == page.page)
                object[page.key][entry.para->name] = valueJson(entry.value);
    return object;
}

Json readerNumberJson(std::optional<uint8_t> reader)
{
    return reader ? Json(*reader) : Json();
}

} // namespace

namespace {

// What a reader holds: its value, or its bytes where they read as no value other than the profile's.
Json heldJson(const std::optional<ParaValue>& value, const std::string& bytes)
{
    return bytes.empty() ? optionalValueJson(value) : Json{{"bytes", bytes}};
}

// A write's values also say what the reader held before ("before").
Json valuesJson(const std::vector<ValueReport>& values, bool written)
{
    Json array = Json::array();
    for (const ValueReport& value : values) {
        Json object{{"name", qualifiedName(*value.planned.para)},
                    {"source", sourceWord(value.planned.source)},
                    {"profile", optionalValueJson(value.planned.profile)},
                    {"value", optionalValueJson(value.planned.target)}};
        if (written)
            object["before"] = heldJson(value.before, value.beforeBytes);
        object["reader"] = heldJson(value.held, value.heldBytes);
        object["result"] = value.result;
        array.push_back(std::move(object));
    }
    return array;
}

} // namespace

std::string readerJson(const ReaderOutcome& outcome, const std::string& command, const Profile* profile)
{
    std::string result = resultWord(outcome);
    std::transform(result.begin(), result.end(), result.begin(), [](unsigned char c) { return std::tolower(c); });
    Json object{{"type", "reader"}, {"port", outcome.port}, {"result", result}, {"reached", outcome.reached}};
    if (!outcome.reached)
        object["reason"] = outcome.reason;
    object["total"] = outcome.total;
    object["done"] = outcome.done;
    Json failures = Json::array();
    for (const TransferFailure& failure : outcome.failures)
        failures.push_back({{"name", failure.name}, {"reason", failure.reason}});
    object["failures"] = failures;
    Json differences = Json::array();
    for (const ValueDifference& difference : outcome.differences)
        differences.push_back({{"name", difference.name}, {"profile", optionalValueJson(difference.leftValue)},
                               {"reader", heldJson(difference.rightValue, difference.rightBytes)}});
    object["differences"] = differences;
    if (command == "write") {
        object["sent"] = outcome.sent;
        object["not_sent"] = outcome.notSent;
        object["second_tries"] = outcome.secondTries;
    }
    if (command == "write" || command == "verify") {
        object["identity"] = outcome.restore
            ? Json{{"restored", *outcome.restore}, {"reason", outcome.ownership}, {"kept", outcome.kept}}
            : Json();
        object["values"] = valuesJson(outcome.values, command == "write");
    }
    if (profile)
        object["profile"] = profileJson(*profile);
    return line(object);
}

std::string fleetSummaryJson(const std::string& command, const std::vector<ReaderOutcome>& outcomes,
                             const std::string& signal, double seconds)
{
    const auto count = [&](auto holds) { return std::count_if(outcomes.begin(), outcomes.end(), holds); };
    Json object{{"type", "summary"},
                {"command", command},
                {"readers", outcomes.size()},
                {"ok", count([](const ReaderOutcome& o) { return o.clean(); })},
                {"failed", count([](const ReaderOutcome& o) { return !o.clean() && !o.interrupted(); })},
                {"interrupted", count([](const ReaderOutcome& o) { return o.interrupted(); })}};
    if (!signal.empty())
        object["signal"] = signal;
    object["seconds"] = std::round(seconds * 1000) / 1000;
    return line(object);
}

std::string profileDifferenceJson(const ValueDifference& difference, const std::string& port, bool kept)
{
    Json object{{"type", "difference"}};
    if (!port.empty())
        object["port"] = port;
    object["name"] = difference.name;
    object["left"] = optionalValueJson(difference.leftValue);
    object["right"] = optionalValueJson(difference.rightValue);
    object["kept"] = kept;
    return line(object);
}

std::string diffSummaryJson(const std::string& left, const std::string& right, std::size_t differences,
                            std::size_t kept)
{
    return line({{"type", "summary"}, {"command", "diff"}, {"left", left}, {"right", right},
                 {"differences", differences}, {"kept", kept}});
}

std::string foundJson(const FoundReader& reader)
{
    return line({{"type", "reader"},
                 {"port", reader.port},
                 {"station", reader.station == READER_STATION_ANY ? Json() : Json(reader.station)},
                 {"firmware", firmwareText(reader)}});
}

std::string scanSummaryJson(std::size_t ports, std::size_t found)
{
    return line({{"type", "summary"}, {"command", "scan"}, {"ports", ports}, {"found", found}});
}

std::string readJson(WallTime when, const std::string& source, const tagframe::TagRead& read)
{
    return line({{"type", "read"},
                 {"time", utcText(when)},
                 {"source", source},
                 {"reader", readerNumberJson(read.readerNumber)},
                 {"id", idText(read)}});
}

std::string strayJson(WallTime when, const std::string& source, uint64_t bytes, std::span<const uint8_t> last)
{
    return line({{"type", "stray"},
                 {"time", utcText(when)},
                 {"source", source},
                 {"bytes", bytes},
                 {"last", hexText({last.begin(), last.end()})}});
}

std::string tallyJson(const tagframe::TagTally& tally, double seconds, const std::string& signal)
{
    std::string lines;
    for (const tagframe::TagRow& row : tally.rows())
        lines += line({{"type", "tag"},
                       {"source", row.source},
                       {"reader", readerNumberJson(row.tag.readerNumber)},
                       {"id", idText(row.tag)},
                       {"reads", row.reads},
                       {"first_seen", utcText(row.first)},
                       {"last_seen", utcText(row.last)},
                       {"per_second", row.perSecond() ? Json(*row.perSecond()) : Json()}});
    Json summary{{"type", "summary"},
                 {"command", "monitor"},
                 {"seconds", seconds},
                 {"tags", tally.rows().size()},
                 {"reads", tally.reads()},
                 {"unlisted", tally.unlisted()},
                 {"stray_bytes", tally.strayBytes()},
                 {"stray_last", hexText(tally.straySample())}};
    if (!signal.empty())
        summary["signal"] = signal;
    return lines + line(summary);
}
