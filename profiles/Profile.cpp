#include "Profile.h"

#include "PrintableText.h"

#include <algorithm>

std::string ProfileFault::message() const
{
    std::string text = escapedText(file);   // a file's name is the operator's or the file system's
    if (line > 0)
        text += ":" + std::to_string(line);
    text += ": ";
    if (!name.empty())
        text += name + ": ";
    return text + reason;
}

namespace {
std::string messages(const std::vector<ProfileFault>& faults)
{
    std::string text;
    for (const ProfileFault& fault : faults)
        text += (text.empty() ? "" : "\n") + fault.message();
    return text;
}
} // namespace

ProfileError::ProfileError(std::string file, int line, std::string name, const std::string& reason)
    : ProfileError(std::vector<ProfileFault>{{std::move(file), line, std::move(name), reason}})
{
}

ProfileError::ProfileError(std::vector<ProfileFault> faults)
    : std::runtime_error(messages(faults)), faults_(std::move(faults))
{
}

void FaultList::add(int line, std::string name, std::string reason)
{
    faults_.push_back({file_, line, std::move(name), std::move(reason)});
}

void FaultList::throwAny()
{
    if (faults_.empty())
        return;
    std::stable_sort(faults_.begin(), faults_.end(), [](const auto& a, const auto& b) { return a.line < b.line; });
    throw ProfileError(std::move(faults_));
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
