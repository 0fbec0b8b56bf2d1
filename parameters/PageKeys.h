// The stable names of the pages that own parameters, as profiles group them
// (the table itself is in Page.h).
#pragma once

#include "Page.h"

#include <optional>
#include <string_view>

constexpr const char* pageKey(Page page)
{
    return hasPageKey(page) ? pageKeys[std::size_t(page)].key : "";
}

constexpr std::optional<Page> pageFromKey(std::string_view key)
{
    for (const PageKey& entry : pageKeys)
        if (entry.key == key)
            return entry.page;
    return std::nullopt;
}

#include "ParaTable.h"

#include <string>

// "antenna_power.channel2_power": how profiles, messages and tagdesk-cli name a parameter.
inline std::string qualifiedName(const Para& para)
{
    return std::string(pageKey(para.page)) + "." + para.name;
}
