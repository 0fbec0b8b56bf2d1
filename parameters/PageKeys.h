// The stable names of the pages that own parameters, as profiles group them.
#pragma once

#include "Page.h"

#include <array>
#include <optional>
#include <string_view>

struct PageKey {
    Page page;
    const char* key;     // the profile's table name
    const char* title;   // the page's caption in the window
};

// In the order of the window's tabs.
inline constexpr std::array<PageKey, 7> pageKeys{{
    {Page::Reader, "reader", "Work Mode / Other Function"},
    {Page::AntennaPower, "antenna_power", "Antenna  Power"},
    {Page::Frequency, "frequency", "Frequency"},
    {Page::SupportedProtocol, "supported_protocol", "Supported Protocol"},
    {Page::CommunicationPort, "communication_port", "Communication Port"},
    {Page::FrameFormat, "frame_format", "Frame Format"},
    {Page::IoParameter, "io_parameter", "I/O Parameter"},
}};

constexpr const char* pageKey(Page page)
{
    for (const PageKey& entry : pageKeys)
        if (entry.page == page)
            return entry.key;
    return "";
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
