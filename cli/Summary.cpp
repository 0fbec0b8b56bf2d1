#include "Summary.h"

#include <algorithm>
#include <cstdio>

namespace {
std::string padded(std::string text, std::size_t width)
{
    text.resize(std::max(text.size(), width), ' ');
    return text;
}

std::string result(const ReaderOutcome& outcome)
{
    if (outcome.interrupted)
        return "INTERRUPTED";
    return outcome.clean() ? "ok" : "FAILED";
}

std::string detail(const ReaderOutcome& outcome)
{
    if (!outcome.reached)
        return outcome.reason;
    if (outcome.problems.empty())
        return "";
    std::string text = outcome.problems.front();
    if (outcome.problems.size() > 1)
        text += " (and " + std::to_string(outcome.problems.size() - 1) + " more)";
    return text;
}
} // namespace

std::string summaryTable(const std::vector<ReaderOutcome>& outcomes, const std::string& verb)
{
    std::size_t portWidth = 4;
    std::size_t resultWidth = 6;
    for (const ReaderOutcome& outcome : outcomes) {
        portWidth = std::max(portWidth, outcome.port.size());
        resultWidth = std::max(resultWidth, result(outcome).size());
    }
    std::string table = padded("PORT", portWidth + 2) + padded("RESULT", resultWidth + 2) + padded(verb, 10) + "DETAIL\n";
    std::size_t clean = 0;
    for (const ReaderOutcome& outcome : outcomes) {
        const std::string count = outcome.reached
            ? std::to_string(outcome.done) + "/" + std::to_string(outcome.total)
            : "-";
        std::string row = padded(outcome.port, portWidth + 2) + padded(result(outcome), resultWidth + 2) + padded(count, 10)
            + detail(outcome);
        row.erase(row.find_last_not_of(' ') + 1);
        table += row + "\n";
        clean += outcome.clean() ? 1 : 0;
    }
    table += std::to_string(clean) + " of " + std::to_string(outcomes.size()) + " readers ok\n";
    return table;
}
