#include "ReaderIdentity.h"

#include "HexText.h"
#include "PageKeys.h"
#include "ReaderTransfer.h"

#include "Reader.h"

#include <algorithm>

namespace {

constexpr const Para& macPara = paraNamed(Page::CommunicationPort, "mac_address");

// All bits 0 or all 1: a field never set, or set from a window's defaults; no one reader's.
bool namesOneReader(const ParaBytes& mac)
{
    const auto all = [&](uint8_t byte) { return std::all_of(mac.begin(), mac.end(), [&](uint8_t b) { return b == byte; }); };
    return !all(0x00) && !all(0xFF);
}

std::string macText(const ParaBytes& mac)
{
    return "MAC address " + hexText(mac);
}

struct Judgement {
    bool restore;
    std::string reason;
};

Judgement judge(const Profile& shared, const OwnValues& reader)
{
    const ProfileEntry* given = shared.find(macPara);
    if (!given)
        return {false, "the profile gives no MAC address to tell whose it is"};
    const ParaBytes profileMac = *bytesFromValue(macPara, given->value).result;
    if (!namesOneReader(profileMac))
        return {false, "the profile's " + macText(profileMac) + " is no one reader's"};
    const auto held = reader.held.find(&macPara);
    if (held == reader.held.end()) {
        const auto why = reader.unread.find(&macPara);
        return {false, "the reader's MAC address is unknown: "
                           + (why == reader.unread.end() ? std::string("not read") : why->second)};
    }
    const ParaBytes readerMac = *bytesFromValue(macPara, held->second).result;
    if (readerMac == profileMac)
        return {true, "the profile is this reader's own (" + macText(profileMac) + ")"};
    return {false, "the profile is another reader's (" + macText(profileMac) + "; this reader's " + hexText(readerMac)
                       + ")"};
}

} // namespace

const std::vector<const Para*>& ownParas()
{
    static const std::vector<const Para*> paras = [] {
        std::vector<const Para*> own;
        for (const Para& para : paraTable)
            if (para.readersOwn)
                own.push_back(&para);
        return own;
    }();
    return paras;
}

namespace {
// The MAC address tells whose a profile is: read with the values at stake.
std::vector<const Para*> withMac(std::vector<const Para*> atStake)
{
    if (!atStake.empty() && std::find(atStake.begin(), atStake.end(), &macPara) == atStake.end())
        atStake.insert(atStake.begin(), &macPara);
    return atStake;
}
} // namespace

OwnValues readOwnValues(uint32_t handle, const std::vector<const Para*>& atStake)
{
    return ownValuesIn(readHeld(handle, withMac(atStake)), atStake);
}

OwnValues ownValuesIn(const HeldParas& read, const std::vector<const Para*>& atStake)
{
    OwnValues own;
    for (const Para* para : withMac(atStake)) {
        if (const auto bytes = read.bytes.find(para); bytes != read.bytes.end())
            own.held[para] = *valueFromBytes(*para, bytes->second).result;   // own values are numbers and bytes: always a value
        else
            own.unread[para] = unreadReason(read, *para);
    }
    return own;
}

OwnValues ownValuesOf(const Profile& held)
{
    OwnValues own;
    for (const Para* para : ownParas()) {
        if (const ProfileEntry* entry = held.find(*para))
            own.held[para] = entry->value;
        else
            own.unread[para] = "the profile it is compared with gives none";
    }
    return own;
}

const char* sourceWord(ValueSource source)
{
    switch (source) {
    case ValueSource::Site:
        return "site";
    case ValueSource::Kept:
        return "kept";
    case ValueSource::Profile:
        break;
    }
    return "profile";
}

std::vector<const PlannedValue*> WritePlan::kept() const
{
    std::vector<const PlannedValue*> found;
    for (const PlannedValue& value : planned)
        if (value.source == ValueSource::Kept)
            found.push_back(&value);
    return found;
}

std::vector<const Para*> ownValuesAtStake(const Profile& shared, const Profile& site)
{
    std::vector<const Para*> atStake;
    for (const Para* para : ownParas())
        if (shared.find(*para) && !site.find(*para))
            atStake.push_back(para);
    return atStake;
}

WritePlan planWrite(const Profile& shared, const Profile& site, const OwnValues& reader)
{
    WritePlan plan;
    const std::vector<const Para*> atStake = ownValuesAtStake(shared, site);
    if (!atStake.empty()) {
        const Judgement judgement = judge(shared, reader);
        plan.restore = judgement.restore;
        plan.reason = judgement.reason;
    }
    const bool keepOwn = plan.restore.has_value() && !*plan.restore;
    for (const Para& para : paraTable) {
        const ProfileEntry* shares = shared.find(para);
        const ProfileEntry* alone = site.find(para);
        if (!shares && !alone)
            continue;
        PlannedValue value{&para, ValueSource::Profile, {}, {}};
        if (shares)
            value.profile = shares->value;
        if (alone) {
            value.source = ValueSource::Site;
            value.target = alone->value;
            plan.values.put(*alone);
        } else if (keepOwn && para.readersOwn) {
            value.source = ValueSource::Kept;
            if (const auto held = reader.held.find(&para); held != reader.held.end())
                value.target = held->second;
        } else {
            value.target = shares->value;
            plan.values.put(*shares);
        }
        plan.planned.push_back(std::move(value));
    }
    return plan;
}
