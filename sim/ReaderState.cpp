#include "ReaderState.h"

#include <algorithm>
#include <utility>

namespace sim {

namespace {

// True when [address, address + length) lies inside the parameter memory and is not empty.
bool validRange(unsigned address, unsigned length)
{
    return length > 0 && address + length <= proto::kParameterMemorySize;
}

bool touchesAny(const std::set<uint8_t>& addresses, unsigned address, unsigned length)
{
    return std::any_of(addresses.begin(), addresses.end(), [&](uint8_t a) {
        return a >= address && a < address + length;
    });
}

} // namespace

ReaderState::ReaderState(ReaderIdentity identity, const ParameterMemory& memory,
                         RefusedAddresses refused, PersistHook persist)
    : identity_(identity), memory_(memory), refused_(std::move(refused)), persist_(std::move(persist))
{
}

bool ReaderState::addressedToMe(uint8_t station) const
{
    return station == identity_.station || station == proto::kStationAny;
}

std::optional<frame::Frame> ReaderState::handle(const frame::Frame& request)
{
    // A frame with the answer bit is another reader's answer (or this reader's
    // own, echoed by the line): answering it would answer answers.
    if (!addressedToMe(request.station) || (request.command & proto::kAnswerBit) != 0 || pending_)
        return std::nullopt;
    Result result = dispatch(request);
    frame::Frame answer;
    answer.seq = request.seq;
    answer.station = identity_.station;
    answer.command = static_cast<uint8_t>(request.command | proto::kAnswerBit);
    answer.status = static_cast<uint8_t>(result.status);
    answer.payload = std::move(result.payload);
    if (pending_) {
        pendingAnswer_ = std::move(answer);
        return std::nullopt;
    }
    return answer;
}

frame::Frame ReaderState::settleSave(bool saved)
{
    frame::Frame answer = std::move(pendingAnswer_);
    if (saved) {
        memory_ = *pending_;
    } else {
        answer.status = static_cast<uint8_t>(Status::Failed);
        answer.payload.clear();
    }
    pending_.reset();
    return answer;
}

ReaderState::Result ReaderState::dispatch(const frame::Frame& request)
{
    using proto::Command;
    const auto& payload = request.payload;
    switch (static_cast<Command>(request.command)) {
    case Command::StopRfWork:
        return {payload.empty() ? Status::Ok : Status::BadPayload, {}};
    case Command::GetFirmwareVersion:
        if (!payload.empty())
            return {Status::BadPayload, {}};
        return {Status::Ok, {identity_.firmware.begin(), identity_.firmware.end()}};
    case Command::GetParameter:
        return getParameter(payload);
    case Command::SetParameter:
        return setParameter(payload);
    case Command::SetOffLineEnable:
        return setOffLineEnable(payload);
    case Command::SetBaudRate:
        return setBaudRate(payload);
    case Command::ResetReader:
        // A reset restarts the reader's work; the stored parameters, the
        // station and the line rate stay.
        if (!payload.empty())
            return {Status::BadPayload, {}};
        ++resetCount_;
        return {Status::Ok, {}};
    }
    return {Status::UnknownCommand, {}};
}

ReaderState::Result ReaderState::getParameter(const std::vector<uint8_t>& payload) const
{
    if (payload.size() != 2)
        return {Status::BadPayload, {}};
    const unsigned address = payload[0];
    const unsigned length = payload[1];
    if (!validRange(address, length))
        return {Status::BadAddress, {}};
    if (touchesAny(refused_.reads, address, length))
        return {Status::Failed, {}};
    // The answer says what it answers: address and length, then the bytes.
    Result result{Status::Ok, {payload[0], payload[1]}};
    const auto first = memory_.begin() + address;
    result.payload.insert(result.payload.end(), first, first + length);
    return result;
}

ReaderState::Result ReaderState::setParameter(const std::vector<uint8_t>& payload)
{
    if (payload.size() < 2 || payload.size() != 2u + payload[1])
        return {Status::BadPayload, {}};
    const unsigned address = payload[0];
    const unsigned length = payload[1];
    if (!validRange(address, length))
        return {Status::BadAddress, {}};
    if (address <= proto::kOffLineAddress && proto::kOffLineAddress < address + length)
        return {Status::ReadOnly, {}};
    if (touchesAny(refused_.writes, address, length))
        return {Status::Failed, {}};
    ParameterMemory next = memory_;
    std::copy(payload.begin() + 2, payload.end(), next.begin() + address);
    Result result = commit(next);
    if (result.status == Status::Ok)
        result.payload = {payload[0], payload[1]};   // what was written: address and length
    return result;
}

ReaderState::Result ReaderState::setOffLineEnable(const std::vector<uint8_t>& payload)
{
    if (payload.size() != 1 || payload[0] > 1)
        return {Status::BadPayload, {}};
    // The off-line flag has no SetParameter path, so refusing writes of its
    // address is the one way to make this command fail on purpose.
    if (refused_.writes.count(proto::kOffLineAddress) != 0)
        return {Status::Failed, {}};
    ParameterMemory next = memory_;
    next[proto::kOffLineAddress] = payload[0];
    return commit(next);
}

ReaderState::Result ReaderState::setBaudRate(const std::vector<uint8_t>& payload)
{
    if (payload.size() != 1 || proto::linkRateOf(payload[0]) == 0)
        return {Status::BadPayload, {}};
    baudRateCode_ = payload[0];
    return {Status::Ok, {}};
}

ReaderState::Result ReaderState::commit(const ParameterMemory& next)
{
    if (saveLater_) {
        pending_ = next;
        return {Status::Ok, {}};
    }
    if (persist_ && !persist_(next))
        return {Status::Failed, {}};
    memory_ = next;
    return {Status::Ok, {}};
}

} // namespace sim
