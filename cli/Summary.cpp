#include "Summary.h"

#include "PrintableText.h"
#include "Reader.h"

#include <algorithm>
#include <cstdio>

namespace {
std::string padded(std::string text, std::size_t width)
{
    text.resize(std::max(text.size(), width), ' ');
    return text;
}

std::string readerText(std::optional<uint8_t> reader)
{
    return reader ? std::to_string(*reader) : "-";
}

// "12.5": a rate or a time, to a tenth, or to a hundredth below 10.
std::string decimal(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, value < 10 ? "%.2f" : "%.1f", value);
    return text;
}

std::string detail(const ReaderOutcome& outcome)
{
    if (!outcome.reached)
        return outcome.reason;
    const std::vector<std::string> problems = problemLines(outcome);
    std::string text;
    if (!problems.empty())
        text = problems.front();
    if (problems.size() > 1)
        text += " (and " + std::to_string(problems.size() - 1) + " more)";
    if (outcome.secondTries > 0)
        text += (text.empty() ? "" : "; ") + secondTriesText(outcome);
    if (const std::string kept = keptText(outcome); !kept.empty())
        text += (text.empty() ? "" : "; ") + kept;
    return text;
}
} // namespace

std::string keptText(const ReaderOutcome& outcome)
{
    std::string names;
    for (const std::string& name : outcome.kept)
        names += (names.empty() ? "" : ", ") + name.substr(name.find('.') + 1);
    return names.empty() ? names : "kept its own " + names;
}

std::string secondsText(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, seconds < 10 ? "%.2f s" : seconds < 100 ? "%.1f s" : "%.0f s", seconds);
    return text;
}

std::string failureLine(const TransferFailure& failure)
{
    return failure.name.empty() ? failure.reason : failure.name + ": " + failure.reason;
}

std::string differenceLine(const ValueDifference& difference)
{
    return difference.name + ": profile " + difference.left + ", reader " + difference.right;
}

std::vector<std::string> problemLines(const ReaderOutcome& outcome)
{
    std::vector<std::string> lines;
    if (outcome.interrupted()) {
        const std::size_t more = outcome.notSent.size() - 1;
        lines.push_back("interrupted: " + outcome.notSent.front()
                        + (more > 0 ? " and " + std::to_string(more) + " more" : std::string()) + " not sent");
    }
    for (const TransferFailure& failure : outcome.failures)
        lines.push_back(failureLine(failure));
    for (const ValueDifference& difference : outcome.differences)
        lines.push_back(differenceLine(difference));
    return lines;
}

std::string secondTriesText(const ReaderOutcome& outcome)
{
    return std::to_string(outcome.secondTries) + (outcome.secondTries == 1 ? " value" : " values")
        + " needed a second try";
}

std::string resultWord(const ReaderOutcome& outcome)
{
    if (outcome.interrupted())
        return "INTERRUPTED";
    return outcome.clean() ? "ok" : "FAILED";
}

std::string summaryTable(const std::vector<ReaderOutcome>& outcomes, const std::string& verb, double seconds)
{
    std::size_t portWidth = 4;
    std::size_t resultWidth = 6;
    for (const ReaderOutcome& outcome : outcomes) {
        portWidth = std::max(portWidth, outcome.port.size());
        resultWidth = std::max(resultWidth, resultWord(outcome).size());
    }
    std::string table = padded("PORT", portWidth + 2) + padded("RESULT", resultWidth + 2) + padded(verb, 10) + "DETAIL\n";
    std::size_t clean = 0;
    for (const ReaderOutcome& outcome : outcomes) {
        const std::string count = outcome.reached
            ? std::to_string(outcome.done) + "/" + std::to_string(outcome.total)
            : "-";
        std::string row = padded(outcome.port, portWidth + 2) + padded(resultWord(outcome), resultWidth + 2)
            + padded(count, 10) + detail(outcome);
        row.erase(row.find_last_not_of(' ') + 1);
        table += row + "\n";
        clean += outcome.clean() ? 1 : 0;
    }
    table += std::to_string(clean) + " of " + std::to_string(outcomes.size()) + " readers ok in " + secondsText(seconds)
        + "\n";
    return table;
}

std::string scanTable(const std::vector<FoundReader>& found, std::size_t ports)
{
    std::size_t portWidth = 4;
    for (const FoundReader& reader : found)
        portWidth = std::max(portWidth, reader.port.size());
    std::string table = padded("PORT", portWidth + 2) + "STATION  FIRMWARE\n";
    for (const FoundReader& reader : found)
        table += padded(reader.port, portWidth + 2)
            + padded(reader.station == READER_STATION_ANY ? "any" : std::to_string(reader.station), 9)
            + firmwareText(reader) + "\n";
    return table + std::to_string(found.size()) + (found.size() == 1 ? " reader" : " readers") + " found on "
        + std::to_string(ports) + " ports\n";
}

std::string readLine(WallTime when, const std::string& source, const tagframe::TagRead& read)
{
    return clockText(when) + "  " + source + "  " + readerText(read.readerNumber) + "  " + idText(read) + "\n";
}

std::string strayLine(WallTime when, const std::string& source, uint64_t bytes, std::span<const uint8_t> last)
{
    return clockText(when) + "  " + source + "  " + std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes")
        + " made no frame" + (last.size() < bytes ? ", the last " + std::to_string(last.size()) : "") + ": "
        + escapedBytes(last) + "\n";
}

std::string tagTable(const tagframe::TagTally& tally, double seconds)
{
    std::size_t sourceWidth = 6;
    std::size_t idWidth = 2;
    for (const tagframe::TagRow& row : tally.rows()) {
        sourceWidth = std::max(sourceWidth, row.source.size());
        idWidth = std::max(idWidth, 2 * std::size_t(row.tag.idLength));
    }
    std::string table = tally.rows().empty()
        ? ""
        : padded("SOURCE", sourceWidth + 2) + padded("READER", 8) + padded("ID", idWidth + 2) + padded("READS", 9)
            + padded("FIRST SEEN", 14) + padded("LAST SEEN", 14) + "PER SECOND\n";
    for (const tagframe::TagRow& row : tally.rows())
        table += padded(row.source, sourceWidth + 2) + padded(readerText(row.tag.readerNumber), 8)
            + padded(idText(row.tag), idWidth + 2) + padded(std::to_string(row.reads), 9)
            + padded(clockText(row.first), 14) + padded(clockText(row.last), 14)
            + (row.perSecond() ? decimal(*row.perSecond()) : "-") + "\n";
    table += std::to_string(tally.rows().size()) + (tally.rows().size() == 1 ? " tag, " : " tags, ")
        + std::to_string(tally.reads()) + (tally.reads() == 1 ? " read" : " reads") + " in " + decimal(seconds)
        + " s\n";
    if (tally.unlisted() > 0)
        table += std::to_string(tally.unlisted()) + " reads of tags beyond the first "
            + std::to_string(tally.cap()) + " are counted, not listed\n";
    if (tally.strayBytes() > 0)
        table += std::to_string(tally.strayBytes()) + " bytes made no frame, the last "
            + std::to_string(tally.straySample().size()) + ": " + escapedBytes(tally.straySample()) + "\n";
    return table;
}
