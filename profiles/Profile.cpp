#include "Profile.h"

#include "PrintableText.h"

#include <algorithm>

namespace {
std::string message(const std::string& file, int line, const std::string& name, const std::string& reason)
{
    std::string text = escapedText(file);   // a file's name is the operator's or the file system's
    if (line > 0)
        text += ":" + std::to_string(line);
    text += ": ";
    if (!name.empty())
        text += name + ": ";
    return text + reason;
}
} // namespace

ProfileError::ProfileError(std::string file, int line, std::string name, const std::string& reason)
    : std::runtime_error(message(file, line, name, reason)), file_(std::move(file)), line_(line), name_(std::move(name))
{
}

const ProfileEntry* Profile::find(const Para& para) const
{
    for (const ProfileEntry& entry : entries)
        if (entry.para == &para)
            return &entry;
    return nullptr;
}

void Profile::put(ProfileEntry entry)
{
    const auto at = std::lower_bound(entries.begin(), entries.end(), entry.para,
                                     [](const ProfileEntry& e, const Para* p) { return e.para < p; });
    if (at != entries.end() && at->para == entry.para)
        *at = std::move(entry);
    else
        entries.insert(at, std::move(entry));
}
