#include "ReaderTransfer.h"

#include "ChannelPlan.h"
#include "HexText.h"
#include "PageKeys.h"
#include "ParaCalls.h"
#include "Reader.h"

#include <algorithm>

std::string statusText(uint16_t status)
{
    switch (status) {
    case READER_OK:
        return "done";
    case READER_BAD_ARGUMENT:
        return "refused by the library (bad argument)";
    case READER_BAD_HANDLE:
        return "no open link to the reader";
    case READER_OPEN_FAILED:
        return "the port could not be opened";
    case READER_ACCESS_DENIED:
        return "this user may not open the port (see the group 'dialout')";
    case READER_CONNECTION_REFUSED:
        return "connection refused";
    case READER_UNREACHABLE:
        return "no route to host";
    case READER_CONNECT_TIMEOUT:
        return "the connection timed out";
    case READER_LINK_LOST:
        return "the link to the reader was lost";
    case READER_TIMEOUT:
        return "no answer from the reader";
    case READER_BAD_FRAME:
        return "an answer that did not fit the request";
    case READER_REFUSED:
        return "the reader refused";
    case READER_NO_RESOURCES:
        return "the library ran out of resources";
    default:
        return "status " + std::to_string(status);
    }
}

std::string unreadReason(const HeldParas& held, const Para& para)
{
    const auto failed = held.failed.find(&para);
    return failed == held.failed.end() ? std::string("not read") : statusText(failed->second);
}

std::vector<const Para*> parasOf(const Profile& profile)
{
    std::vector<const Para*> paras;
    for (const ProfileEntry& entry : profile.entries)
        paras.push_back(entry.para);
    return paras;
}

ReadOutcome readReader(uint32_t handle)
{
    std::vector<const Para*> every;
    for (const Para& para : paraTable)
        every.push_back(&para);
    const HeldParas held = readHeld(handle, every);
    ReadOutcome outcome;
    for (const Para& para : paraTable) {
        if (const auto failed = held.failed.find(&para); failed != held.failed.end()) {
            outcome.failures.push_back({qualifiedName(para), statusText(failed->second)});
            continue;
        }
        Converted<ParaValue> value = valueFromBytes(para, held.bytes.at(&para));
        if (!value) {
            outcome.failures.push_back({qualifiedName(para), value.error});
            continue;
        }
        // A profile holds only what it could write again: a number outside the
        // range a write may carry is named, not saved.
        if (const Converted<ParaBytes> again = bytesFromValue(para, *value.result); !again) {
            outcome.failures.push_back({qualifiedName(para), "cannot be saved: " + again.error});
            continue;
        }
        outcome.profile.put(ProfileEntry{&para, std::move(*value.result), 0});
    }
    // Saved, it would not load again.
    if (const std::optional<PlanBreach> breach = channelOutsidePlan(outcome.profile))
        outcome.failures.push_back({qualifiedName(*breach->entry->para), "cannot be saved: " + breach->reason});
    return outcome;
}

std::optional<TransferFailure> channelPlanAfterWrite(uint32_t handle, const Profile& profile)
{
    std::vector<const Para*> missing;
    for (const Para* para : channelPlanParas())
        if (!profile.find(*para))
            missing.push_back(para);
    if (missing.size() == channelPlanParas().size())
        return std::nullopt;   // the profile touches no part of the plan: nothing to judge or read
    return channelPlanAfterWrite(readHeld(handle, missing), profile);
}

std::optional<TransferFailure> channelPlanAfterWrite(const HeldParas& held, const Profile& profile)
{
    const auto& paras = channelPlanParas();
    if (std::none_of(paras.begin(), paras.end(), [&](const Para* para) { return profile.find(*para); }))
        return std::nullopt;
    Profile after;
    for (const Para* para : paras) {
        if (const ProfileEntry* given = profile.find(*para)) {
            after.put(*given);
            continue;
        }
        const auto bytes = held.bytes.find(para);
        if (bytes == held.bytes.end())
            return TransferFailure{qualifiedName(*para), "cannot judge the channel choice: " + unreadReason(held, *para)};
        after.put(ProfileEntry{para, *valueFromBytes(*para, bytes->second).result, 0});
    }
    if (const std::optional<PlanBreach> breach = channelOutsidePlan(after))
        return TransferFailure{qualifiedName(*breach->entry->para), breach->reason + " (with what the reader holds)"};
    return std::nullopt;
}

namespace {
// Writes one entry; on failure reason says why (a value with no bytes: READER_BAD_ARGUMENT).
uint16_t writeEntry(uint32_t handle, const ProfileEntry& entry, std::string& reason)
{
    const Converted<ParaBytes> bytes = bytesFromValue(*entry.para, entry.value);
    if (!bytes) {
        reason = bytes.error;
        return READER_BAD_ARGUMENT;
    }
    const uint16_t status = writePara(handle, *entry.para, *bytes.result);
    reason = statusText(status);
    return status;
}
} // namespace

WriteOutcome writeReader(uint32_t handle, const Profile& profile, const WriteStop& stop)
{
    std::vector<uint16_t> statuses;     // of each entry sent
    std::vector<std::string> reasons;
    for (const ProfileEntry& entry : profile.entries) {
        if (stop && stop())
            break;
        reasons.emplace_back();
        statuses.push_back(writeEntry(handle, entry, reasons.back()));
    }
    WriteOutcome outcome;
    outcome.sent = statuses.size();
    // No answer: the request or its answer was lost, or a slow reader was still
    // busy and the library did not send it. Writing the same bytes again is
    // harmless; after the other entries the link has had time to hear the
    // reader again and gives the call its full wait.
    for (std::size_t i = 0; i < statuses.size(); ++i) {
        if (statuses[i] != READER_TIMEOUT)
            continue;
        if (stop && stop())
            break;
        ++outcome.secondTries;
        statuses[i] = writeEntry(handle, profile.entries[i], reasons[i]);
    }
    for (std::size_t i = 0; i < statuses.size(); ++i)
        if (statuses[i] != READER_OK)
            outcome.failures.push_back({qualifiedName(*profile.entries[i].para), reasons[i]});
    return outcome;
}

VerifyOutcome verifyReader(uint32_t handle, const Profile& profile)
{
    return compareHeld(readHeld(handle, parasOf(profile)), profile);
}

VerifyOutcome compareHeld(const HeldParas& held, const Profile& profile)
{
    VerifyOutcome outcome;
    for (const ProfileEntry& entry : profile.entries) {
        const Para& para = *entry.para;
        const auto read = held.bytes.find(&para);
        if (read == held.bytes.end()) {
            outcome.failures.push_back({qualifiedName(para), unreadReason(held, para)});
            continue;
        }
        const ParaBytes& bytes = read->second;
        outcome.held[&para] = bytes;
        // The whole field: a short code's fill counts as much as the code.
        if (const Converted<ParaBytes> expected = bytesFromValue(para, entry.value); expected && *expected.result == bytes)
            continue;
        // Bytes that read as the same value (a flag byte of 2 reads as off) are shown as bytes.
        const Converted<ParaValue> heldValue = valueFromBytes(para, bytes);
        ValueDifference difference{qualifiedName(para), valueText(entry.value), {}, entry.value, {}, {}};
        if (heldValue && valueText(*heldValue.result) != difference.left) {
            difference.right = valueText(*heldValue.result);
            difference.rightValue = heldValue.result;
        } else {
            difference.rightBytes = hexText(bytes);
            difference.right = "bytes " + difference.rightBytes;
        }
        outcome.differences.push_back(std::move(difference));
    }
    return outcome;
}
