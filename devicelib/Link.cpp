#include "Link.h"

#include "Reader.h"
#include "Status.h"
#include "Timeouts.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace readerlib {

int answerTimeoutMs()
{
    const char* text = std::getenv("READER_TIMEOUT_MS");
    if (text == nullptr)
        return kAnswerTimeoutMs;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 1 || value > 60000)
        return kAnswerTimeoutMs;
    return static_cast<int>(value);
}

Link::Link(std::unique_ptr<Transport> transport)
    : transport_(std::move(transport))
    // Each link starts its sequence numbers somewhere else, so an answer left
    // over from an earlier link to the same reader is unlikely to match.
    , seq_(static_cast<uint8_t>(Clock::now().time_since_epoch().count()))
{
}

bool Link::fromReader(const frame::Frame& frame, uint8_t station)
{
    if ((frame.command & proto::kAnswerBit) == 0)
        return false;   // a request (an echo on the line, or another master's)
    return station == proto::kStationAny || frame.station == station;
}

bool Link::answers(const frame::Frame& frame, uint8_t seq, uint8_t answerCommand, const std::vector<uint8_t>& echo)
{
    if (frame.seq != seq || frame.command != answerCommand)
        return false;
    // Sequence numbers wrap after 256 requests: an Ok answer must also name
    // what it answers. A refusal carries nothing, and is a failure either way.
    if (frame.status != static_cast<uint8_t>(proto::ReaderStatus::Ok))
        return true;
    return frame.payload.size() >= echo.size() && std::equal(echo.begin(), echo.end(), frame.payload.begin());
}

uint16_t Link::drainStaleInput()
{
    // Whatever arrived since the last call belongs to an earlier request (an
    // answer that came too late, or line noise). Any answer in it still shows
    // the reader is back, so the next wait need not be the short one.
    std::array<uint8_t, 512> chunk;
    for (;;) {
        std::size_t received = 0;
        if (const uint16_t status = transport_->receive(chunk.data(), chunk.size(), 0, received); status != READER_OK)
            return status;
        if (received == 0)
            break;
        decoder_.feed(chunk.data(), received);
        while (const auto stale = decoder_.next()) {
            if ((stale->command & proto::kAnswerBit) != 0)
                recovering_ = false;
        }
    }
    transport_->discardInput();
    decoder_.reset();
    return READER_OK;
}

uint16_t Link::awaitAnswer(uint8_t seq, uint8_t answerCommand, const std::vector<uint8_t>& echo, uint8_t station,
                           Clock::time_point sent, frame::Frame& answer)
{
    const auto fullDeadline = sent + std::chrono::milliseconds(answerTimeoutMs());
    auto deadline = recovering_
        ? std::min(fullDeadline, sent + std::chrono::milliseconds(kRecoveryWaitMs))
        : fullDeadline;
    std::array<uint8_t, 512> chunk;
    for (;;) {
        while (auto frame = decoder_.next()) {
            if (!fromReader(*frame, station))
                continue;
            // The reader talks again: this call gets the full wait.
            recovering_ = false;
            deadline = fullDeadline;
            if (!answers(*frame, seq, answerCommand, echo))
                continue;   // a late answer to an earlier call
            answer = std::move(*frame);
            return READER_OK;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            recovering_ = true;
            return READER_FAIL(READER_TIMEOUT, "no answer in time");
        }
        // While part of a frame is held, wait only as long as a quiet line
        // takes, so that a stray start byte cannot hold the answer behind it.
        const bool partial = decoder_.pendingBytes() > 0;
        const int wait = partial ? std::min<int>(static_cast<int>(left), frame::kQuietLineMs) : static_cast<int>(left);
        std::size_t received = 0;
        if (const uint16_t status = transport_->receive(chunk.data(), chunk.size(), wait, received); status != READER_OK)
            return status;
        if (received > 0)
            decoder_.feed(chunk.data(), received);
        else if (partial && wait == frame::kQuietLineMs)
            decoder_.lineQuiet();
    }
}

uint16_t Link::setLineRate(uint32_t bitsPerSecond)
{
    std::lock_guard lock(mutex_);
    const uint16_t status = transport_->setLineRate(bitsPerSecond);
    if (status == READER_LINK_LOST)
        lost_ = true;
    return status;
}

uint16_t Link::transact(proto::Command command, const std::vector<uint8_t>& payload, uint8_t station,
                        std::vector<uint8_t>& answerPayload, const std::vector<uint8_t>& echo)
{
    std::lock_guard lock(mutex_);
    if (lost_)
        return READER_FAIL(READER_LINK_LOST, "link lost earlier");

    frame::Frame request;
    request.seq = ++seq_;
    request.station = station;
    request.command = static_cast<uint8_t>(command);
    request.payload = payload;
    const std::vector<uint8_t> bytes = frame::encode(request);
    if (bytes.empty())
        return READER_FAIL(READER_BAD_ARGUMENT, "payload too long for a frame");

    uint16_t status = transport_->drainBeforeRequest() ? drainStaleInput() : READER_OK;
    if (status == READER_OK)
        status = transport_->send(bytes.data(), bytes.size());
    frame::Frame answer;
    if (status == READER_OK)
        status = awaitAnswer(request.seq, static_cast<uint8_t>(request.command | proto::kAnswerBit), echo, station,
                             Clock::now(), answer);
    if (status == READER_LINK_LOST)
        lost_ = true;
    if (status != READER_OK)
        return status;
    if (answer.status != static_cast<uint8_t>(proto::ReaderStatus::Ok))
        return READER_FAIL(READER_REFUSED, "reader refused the request");
    answerPayload.assign(answer.payload.begin() + static_cast<std::ptrdiff_t>(echo.size()), answer.payload.end());
    return READER_OK;
}

} // namespace readerlib
