#include "SiteFile.h"

#include "ChannelPlan.h"
#include "NearNames.h"
#include "PageKeys.h"
#include "PrintableText.h"

#include <algorithm>
#include <charconv>
#include <map>

namespace {

const std::string portColumn = "port";

struct Record {
    int line = 0;
    std::vector<std::string> cells;
};

bool blank(char c)
{
    return c == ' ' || c == '\t';
}

std::string trimmed(const std::string& text)
{
    const auto first = std::find_if_not(text.begin(), text.end(), blank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), blank).base();
    return first < last ? std::string(first, last) : std::string();
}

// The records of a CSV text (RFC 4180: a cell in double quotes may hold commas,
// line breaks and "" for a quote; blanks around a cell without quotes are
// dropped), each with the line it starts on; blank lines are none.
std::vector<Record> records(std::string_view text)
{
    std::vector<Record> found;
    Record record;
    std::string cell;
    bool quoted = false;      // inside quotes
    bool wasQuoted = false;   // the cell so far came in quotes: kept as it is
    int line = 1;
    const auto endCell = [&] {
        record.cells.push_back(wasQuoted ? cell : trimmed(cell));
        cell.clear();
        wasQuoted = false;
    };
    const auto endRecord = [&] {
        endCell();
        if (record.cells.size() > 1 || !record.cells.front().empty())
            found.push_back(std::move(record));
        record = Record{};
    };
    record.line = line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                cell += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                line += c == '\n' ? 1 : 0;
                cell += c;
            }
        } else if (c == '"' && trimmed(cell).empty()) {
            cell.clear();
            quoted = wasQuoted = true;
        } else if (c == ',') {
            endCell();
        } else if (c == '\n') {
            endRecord();
            record.line = ++line;
        } else if (c != '\r') {
            cell += c;
        }
    }
    if (!cell.empty() || !record.cells.empty() || wasQuoted)
        endRecord();
    return found;
}

// Every name a column may give a parameter by: its own name where no other
// page has it, and its qualified name.
std::map<std::string, const Para*> columnNames()
{
    std::map<std::string, const Para*> names;
    std::map<std::string, int> pages;
    for (const Para& para : paraTable)
        ++pages[para.name];
    for (const Para& para : paraTable) {
        names[qualifiedName(para)] = &para;
        if (pages[para.name] == 1 && para.name != portColumn)
            names[para.name] = &para;
    }
    return names;
}

std::string unknownColumn(const std::string& name, const std::map<std::string, const Para*>& names)
{
    std::vector<std::string> candidates;
    for (const auto& [known, para] : names)
        candidates.push_back(known);
    const std::string hint = didYouMean(nearNames(name, candidates));
    return "no parameter of this name" + (hint.empty() ? std::string() : "; " + hint);
}

// A cell as a value of para, before it is checked against the parameter's range.
std::optional<ParaValue> cellValue(const Para& para, const std::string& cell)
{
    const auto words = [&cell] {
        std::vector<std::string> found;
        std::string word;
        for (const char c : cell + ' ') {
            if (!blank(c)) {
                word += c;
            } else if (!word.empty()) {
                found.push_back(word);
                word.clear();
            }
        }
        return found;
    };
    const auto number = [](const std::string& text) -> std::optional<long long> {
        long long value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || end != text.data() + text.size())
            return std::nullopt;
        return value;
    };
    switch (para.kind) {
    case ValueKind::Flag: {
        std::string word = cell;
        std::transform(word.begin(), word.end(), word.begin(), [](unsigned char c) { return std::tolower(c); });
        if (word == "true" || word == "false")
            return ParaValue(word == "true");
        return std::nullopt;
    }
    case ValueKind::Byte:
    case ValueKind::Word:
    case ValueKind::StartFrequency:
        if (const std::optional<long long> value = number(cell))
            return ParaValue(*value);
        return std::nullopt;
    case ValueKind::Mask:
        return ParaValue(words());
    case ValueKind::ChannelMask: {
        std::vector<long long> channels;
        for (const std::string& word : words()) {
            const std::optional<long long> channel = number(word);
            if (!channel)
                return std::nullopt;
            channels.push_back(*channel);
        }
        return ParaValue(std::move(channels));
    }
    case ValueKind::Choice:
    case ValueKind::HexBytes:
    case ValueKind::Ipv4:
        break;
    }
    return ParaValue(cell);
}

// The header: the port's column and each other column's parameter (nullptr where refused).
struct Header {
    std::size_t port = 0;
    std::vector<const Para*> columns;
};

std::optional<Header> readHeader(const Record& record, FaultList& faults)
{
    const std::map<std::string, const Para*> names = columnNames();
    Header header;
    std::optional<std::size_t> port;
    std::map<const Para*, std::string> named;   // each parameter by the column that named it
    for (std::size_t i = 0; i < record.cells.size(); ++i) {
        const std::string& cell = record.cells[i];
        const std::string shown = escapedText(cell);
        header.columns.push_back(nullptr);
        if (cell == portColumn) {
            if (port)
                faults.add(record.line, shown, "a second port column");
            port = i;
            continue;
        }
        const auto found = names.find(cell);
        if (found == names.end()) {
            faults.add(record.line, shown, unknownColumn(shown, names));
            continue;
        }
        if (const auto [earlier, fresh] = named.emplace(found->second, shown); !fresh) {
            faults.add(record.line, shown, "names the parameter of column " + earlier->second + " again");
            continue;
        }
        header.columns.back() = found->second;
    }
    if (!port) {
        faults.add(record.line, "", "the header names no column \"port\" for the readers' ports");
        return std::nullopt;
    }
    header.port = *port;
    return header;
}

// A reader's own value that an earlier row gives another reader.
struct OwnValueClash {
    std::map<std::pair<const Para*, ParaBytes>, const SiteRow*> given;

    std::optional<std::string> check(const SiteRow& row, const ProfileEntry& entry)
    {
        if (!entry.para->readersOwn)
            return std::nullopt;
        const ParaBytes bytes = *bytesFromValue(*entry.para, entry.value).result;
        const auto [earlier, fresh] = given.emplace(std::make_pair(entry.para, bytes), &row);
        if (fresh)
            return std::nullopt;
        return valueText(entry.value) + " is given to " + earlier->second->port.label + " on line "
            + std::to_string(earlier->second->line) + " as well: no two readers may share it";
    }
};

} // namespace

const SiteRow* Site::rowOf(const PortArgument& reader) const
{
    for (const SiteRow& row : rows)
        if (row.port.reader == reader.reader)
            return &row;
    return nullptr;
}

Site parseSite(std::string_view text, const std::string& file)
{
    FaultList faults(file);
    const std::vector<Record> found = records(text);
    if (found.empty()) {
        faults.add(0, "", "empty: a site file starts with a header such as port,ip_address,reader_number");
        faults.throwAny();
    }
    const std::optional<Header> header = readHeader(found.front(), faults);
    if (!header)
        faults.throwAny();
    Site site;
    std::map<std::string, int> readers;   // each reader by the line of its row
    OwnValueClash clash;
    for (std::size_t r = 1; r < found.size(); ++r) {
        const Record& record = found[r];
        if (record.cells.size() != header->columns.size()) {
            faults.add(record.line, "", std::to_string(record.cells.size()) + " cells where the header has "
                                            + std::to_string(header->columns.size()));
            continue;
        }
        const std::string& portText = record.cells[header->port];
        const std::optional<PortArgument> port = parsePort(portText);
        if (!port) {
            faults.add(record.line, portColumn, quotedText(portText) + " is not one reader's port: COM1 .. COM8, usb "
                                                                       "or tcp:ADDRESS[:PORT]");
            continue;
        }
        if (const auto [earlier, fresh] = readers.emplace(port->reader, record.line); !fresh) {
            faults.add(record.line, portColumn, port->label + " has the row of line " + std::to_string(earlier->second)
                                                    + " already");
            continue;
        }
        SiteRow row{*port, record.line, {}};
        for (std::size_t i = 0; i < record.cells.size(); ++i) {
            const Para* para = header->columns[i];
            const std::string& cell = record.cells[i];
            if (!para || cell.empty())
                continue;
            const std::string name = qualifiedName(*para);
            const std::optional<ParaValue> value = cellValue(*para, cell);
            if (!value) {
                faults.add(record.line, name, quotedText(cell) + ": takes " + expectedValue(*para));
                continue;
            }
            if (const Converted<ParaBytes> bytes = bytesFromValue(*para, *value); !bytes) {
                faults.add(record.line, name, bytes.error);
                continue;
            }
            row.values.put(ProfileEntry{para, *value, record.line});
        }
        site.rows.push_back(std::move(row));
    }
    for (const SiteRow& row : site.rows)
        for (const ProfileEntry& entry : row.values.entries)
            if (const std::optional<std::string> shared = clash.check(row, entry))
                faults.add(row.line, qualifiedName(*entry.para), *shared);
    faults.throwAny();
    return site;
}

void checkChannelPlans(const Site& site, const Profile& shared, const std::string& file)
{
    FaultList faults(file);
    for (const SiteRow& row : site.rows) {
        Profile merged = shared;
        for (const ProfileEntry& entry : row.values.entries)
            merged.put(entry);
        if (const std::optional<PlanBreach> breach = channelOutsidePlan(merged))
            faults.add(row.line, qualifiedName(*breach->entry->para), breach->reason + " for " + row.port.label);
    }
    faults.throwAny();
}
