#include "ProfileFormat.h"

#include "ChannelPlan.h"
#include "NearNames.h"
#include "PageKeys.h"
#include "PrintableText.h"
#include "TomlDepth.h"

#include <toml++/toml.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>

namespace {

int lineOf(const toml::node& node)
{
    return static_cast<int>(node.source().begin.line);
}

// A number where a choice is expected: power 27.5 or 30 names the same setting as "27.5" or "30".
std::string numberAsChoiceText(const toml::node& node)
{
    if (const auto* integer = node.as_integer())
        return std::to_string(integer->get());
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, node.as_floating_point()->get());
    return error == std::errc() ? std::string(text, end) : std::string();
}

// The TOML value as a parameter value, before it is checked against the parameter.
std::optional<ParaValue> valueOf(const Para& para, const toml::node& node)
{
    if (para.kind == ValueKind::Choice && (node.is_integer() || node.is_floating_point()))
        return ParaValue(numberAsChoiceText(node));
    if (const auto* flag = node.as_boolean())
        return ParaValue(flag->get());
    if (const auto* number = node.as_integer())
        return ParaValue(static_cast<long long>(number->get()));
    if (const auto* text = node.as_string())
        return ParaValue(text->get());
    if (const auto* array = node.as_array()) {
        if (array->empty())
            return ParaValue(std::vector<std::string>{});
        if (array->is_homogeneous(toml::node_type::string)) {
            std::vector<std::string> names;
            for (const toml::node& item : *array)
                names.push_back(item.as_string()->get());
            return ParaValue(std::move(names));
        }
        if (array->is_homogeneous(toml::node_type::integer)) {
            std::vector<long long> numbers;
            for (const toml::node& item : *array)
                numbers.push_back(item.as_integer()->get());
            return ParaValue(std::move(numbers));
        }
    }
    return std::nullopt;
}

// Whether the entries can be read at all: a profile of another format says other things by the same names.
bool checkVersion(const toml::table& root, FaultList& faults)
{
    const toml::node* format = root.get("format");
    if (!format) {
        faults.add(1, "format", "missing; a profile starts with format = " + std::to_string(profileFormatVersion));
        return true;
    }
    const auto* version = format->as_integer();
    if (version && version->get() == profileFormatVersion)
        return true;
    faults.add(lineOf(*format), "format", "this program reads format " + std::to_string(profileFormatVersion) + " only");
    return false;
}

std::vector<std::string> namesOf(Page page)
{
    std::vector<std::string> names;
    for (const Para& para : paraTable)
        if (para.page == page)
            names.emplace_back(para.name);
    return names;
}

// What a name no page has might have meant: a near name of its page, the same
// name on another page, or a near name there.
std::string unknownName(Page page, const std::string& name)
{
    std::string reason = "no parameter of this name on this page";
    if (const std::string hint = didYouMean(nearNames(name, namesOf(page))); !hint.empty())
        return reason + "; " + hint;
    std::vector<std::string> bare;
    std::vector<std::string> qualified;
    for (const Para& para : paraTable) {
        if (para.page == page)
            continue;
        if (name == para.name)
            return reason + "; it is on [" + pageKey(para.page) + "]";
        bare.emplace_back(para.name);
        qualified.push_back(qualifiedName(para));
    }
    std::vector<std::string> near;
    for (const std::string& found : nearNames(name, bare))
        near.push_back(qualified[std::size_t(std::find(bare.begin(), bare.end(), found) - bare.begin())]);
    const std::string hint = didYouMean(near);
    return hint.empty() ? reason : reason + "; " + hint;
}

std::string unknownPage(const std::string& key)
{
    std::vector<std::string> keys;
    for (const PageKey& page : pageKeys)
        keys.emplace_back(page.key);
    const std::string hint = didYouMean(nearNames(key, keys));
    return "not a page of the reader's parameters" + (hint.empty() ? std::string() : "; " + hint);
}

void readPage(Profile& profile, Page page, const std::string& key, const toml::table& table, FaultList& faults)
{
    for (const auto& [name, node] : table) {
        const std::string qualified = key + "." + escapedText(name.str());
        const Para* para = findParaNamed(page, name.str());
        if (!para) {
            faults.add(lineOf(node), qualified, unknownName(page, escapedText(name.str())));
            continue;
        }
        const std::optional<ParaValue> value = valueOf(*para, node);
        if (!value) {
            faults.add(lineOf(node), qualified, "takes " + expectedValue(*para));
            continue;
        }
        if (const Converted<ParaBytes> bytes = bytesFromValue(*para, *value); !bytes) {
            faults.add(lineOf(node), qualified, bytes.error);
            continue;
        }
        profile.put(ProfileEntry{para, *value, lineOf(node)});
    }
}

std::string tomlString(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

std::string tomlValue(const ParaValue& value)
{
    if (const auto* text = std::get_if<std::string>(&value))
        return tomlString(*text);
    if (const auto* names = std::get_if<std::vector<std::string>>(&value)) {
        std::string list;
        for (const std::string& name : *names)
            list += (list.empty() ? "" : ", ") + tomlString(name);
        return "[" + list + "]";
    }
    return valueText(value);   // numbers, flags and number lists read the same in TOML
}

std::string comment(const Para& para)
{
    std::string text = "# " + std::string(para.meaning);
    if (*para.unit)
        text += ", in " + std::string(para.unit);
    text += ": " + expectedValue(para);
    if (para.write == ParaWrite::OffLineEnable)
        text += " (written through the off-line switch)";
    return text;
}

ProfileError tooLarge(const std::string& file, std::size_t limit)
{
    return ProfileError(file, 0, "", "larger than " + std::to_string(limit) + " bytes");
}

} // namespace

Profile parseProfile(std::string_view text, const std::string& file)
{
    if (text.size() > profileSizeLimit)
        throw tooLarge(file, profileSizeLimit);
    if (const std::optional<TomlTooDeep> deep = findTooDeep(text))
        throw ProfileError(file, deep->line, "", deep->reason);
    toml::table root;
    try {
        root = toml::parse(text, file);
    } catch (const toml::parse_error& error) {
        throw ProfileError(file, static_cast<int>(error.source().begin.line), "",
                           "not a TOML file: " + escapedText(error.description()));
    }
    FaultList faults(file);
    Profile profile;
    if (checkVersion(root, faults)) {
        for (const auto& [name, node] : root) {
            const std::string key(name.str());
            if (key == "format")
                continue;
            const std::optional<Page> page = pageFromKey(key);
            if (!page || !node.is_table()) {
                faults.add(lineOf(node), escapedText(key), unknownPage(escapedText(key)));
                continue;
            }
            readPage(profile, *page, key, *node.as_table(), faults);
        }
        // Judged on the entries that are good, where none of the plan's were refused.
        if (const std::optional<PlanBreach> breach = channelOutsidePlan(profile))
            faults.add(breach->entry->line, qualifiedName(*breach->entry->para), breach->reason);
    }
    faults.throwAny();
    return profile;
}

std::string readBounded(std::istream& in, const std::string& file, std::size_t limit)
{
    std::string text(limit + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (in.bad())
        throw ProfileError(file, 0, "", "cannot be read");
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text.size() > limit)
        throw tooLarge(file, limit);
    return text;
}

std::string readBoundedFile(const std::string& path, std::size_t limit)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw ProfileError(path, 0, "", "cannot be read");
    return readBounded(in, path, limit);
}

Profile loadProfile(const std::string& path)
{
    return parseProfile(readBoundedFile(path, profileSizeLimit), path);
}

std::string profileText(const Profile& profile, const std::string& origin)
{
    std::ostringstream out;
    out << "# Tagdesk reader profile: the settings of a UHF RFID reader, one entry per\n"
           "# parameter by its name, grouped by the window's pages. Entries left out are\n"
           "# not written. tagdesk-cli writes it to readers; the window shows it (Ctrl+O).\n";
    if (!origin.empty())
        out << "# " << origin << "\n";
    out << "format = " << profileFormatVersion << "\n";
    for (const PageKey& page : pageKeys) {
        bool headed = false;
        for (const ProfileEntry& entry : profile.entries) {
            if (entry.para->page != page.page)
                continue;
            if (!headed)
                out << "\n[" << page.key << "]   # " << page.title << "\n";
            headed = true;
            out << comment(*entry.para) << "\n" << entry.para->name << " = " << tomlValue(entry.value) << "\n";
        }
    }
    return out.str();
}
