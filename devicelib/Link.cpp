#include "Link.h"

#include "Reader.h"
#include "Status.h"
#include "Timeouts.h"

#include <algorithm>
#include <array>

namespace readerlib {

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

bool Link::settles(const frame::Frame& frame)
{
    if (!unanswered_ || !fromReader(frame, unanswered_->station))
        return false;
    recovering_ = false;
    if (!answers(frame, unanswered_->seq, unanswered_->answerCommand, unanswered_->echo))
        return false;   // a late answer to an earlier call
    unanswered_.reset();
    return true;
}

bool Link::sameReader(uint8_t oneStation, uint8_t otherStation)
{
    return oneStation == otherStation || oneStation == proto::kStationAny || otherStation == proto::kStationAny;
}

bool Link::answers(const frame::Frame& frame, uint8_t seq, uint8_t answerCommand, const std::vector<uint8_t>& echo)
{
    if (frame.seq != seq || frame.command != answerCommand)
        return false;
    // Sequence numbers wrap after 256 requests: an Ok answer must also name
    // what it answers. A refusal carries nothing, and is a failure either way;
    // so is an Ok answer too short to name anything (no answer to any request
    // is), which the caller reports as a broken answer.
    if (frame.status != static_cast<uint8_t>(proto::ReaderStatus::Ok) || frame.payload.size() < echo.size())
        return true;
    return std::equal(echo.begin(), echo.end(), frame.payload.begin());
}

uint16_t Link::receive(int waitMs, long& heard)
{
    std::array<uint8_t, 512> chunk;
    std::size_t received = 0;
    if (const uint16_t status = transport_->receive(chunk.data(), chunk.size(), waitMs, received); status != READER_OK)
        return status;
    lastReadEmptied_ = received < chunk.size();
    if (received > 0) {
        decoder_.feed(chunk.data(), received);
        lastByte_ = Clock::now();
        heard += static_cast<long>(received);
    }
    return READER_OK;
}

std::optional<frame::Frame> Link::nextFromLine(long& heard)
{
    while (auto frame = decoder_.next()) {
        if ((frame->command & proto::kAnswerBit) != 0)
            return frame;
        heard -= static_cast<long>(frame::kHeaderSize + frame->payload.size() + frame::kCrcSize);
    }
    return std::nullopt;
}

uint16_t Link::drainStaleInput()
{
    // Whatever arrived since the last call belongs to an earlier request (an
    // answer that came too late, or line noise), and so does a frame begun
    // before this request: the answer to it cannot have begun yet. Anything
    // the reader sent still shows it is there, so the next wait need not be
    // the short one.
    // When the last call's answer came with the last byte the link held, there
    // is nothing to read here: what the reader sends between the calls (tag
    // frames, noise) comes in after the request and is dropped there, as
    // answering nothing, without a read of its own before each request.
    if (emptied_) {
        transport_->discardInput();
        return READER_OK;
    }
    long heard = 0;
    for (;;) {
        const long before = heard;
        if (const uint16_t status = receive(0, heard); status != READER_OK)
            return status;
        if (heard == before)
            break;
        while (auto frame = nextFromLine(heard))
            settles(*frame);
    }
    if (heard > 0)
        recovering_ = false;
    transport_->discardInput();
    decoder_.reset();
    return READER_OK;
}

uint16_t Link::awaitAnswer(Clock::time_point shortDeadline, Clock::time_point fullDeadline, frame::Frame* answer,
                           const char* why)
{
    shortDeadline = std::min(shortDeadline, fullDeadline);
    const auto quietLine = std::chrono::milliseconds(frame::kQuietLineMs);
    long heard = 0;   // bytes the reader sent during this call
    for (;;) {
        while (auto frame = nextFromLine(heard)) {
            if (!settles(*frame))
                continue;
            if (answer != nullptr)
                *answer = std::move(*frame);
            return READER_OK;
        }
        // A start byte among a reader's tag frames can announce more bytes than
        // come before the answer, on a line never quiet: the answer behind it
        // is taken as soon as it is whole.
        if (auto frame = decoder_.takeWaitedFor([&](const frame::Frame& f) {
                return unanswered_ && fromReader(f, unanswered_->station)
                    && answers(f, unanswered_->seq, unanswered_->answerCommand, unanswered_->echo);
            })) {
            settles(*frame);
            if (answer != nullptr)
                *answer = std::move(*frame);
            return READER_OK;
        }
        const auto now = Clock::now();
        // Part of a frame is held and no byte has come for the quiet-line time:
        // it was noise announcing bytes that never come; search what is behind it.
        const bool partial = decoder_.pendingBytes() > 0;
        if (partial && now >= lastByte_ + quietLine) {
            decoder_.lineQuiet();
            continue;
        }
        // A reader that sends anything, even noise, is there: it gets the full wait.
        const auto deadline = recovering_ && heard <= 0 ? shortDeadline : fullDeadline;
        if (now >= deadline) {
            recovering_ = heard <= 0;
            return READER_FAIL(READER_TIMEOUT, why);
        }
        const auto until = partial ? std::min(deadline, lastByte_ + quietLine) : deadline;
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(until - now).count();
        if (const uint16_t status = receive(static_cast<int>(std::max<long long>(wait, 1)), heard); status != READER_OK)
            return status;
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

    // The short wait starts once the request and the first byte of its answer can have crossed the line.
    const auto shortWait = std::chrono::milliseconds(kRecoveryWaitMs + transport_->lineTimeMs(bytes.size() + 1));
    uint16_t status = READER_OK;
    // The reader may still be working on the last request sent: another one
    // would only queue up behind it, and a reader slower than the short wait
    // would fall further behind with every call. This call gives that request
    // its answer (the short wait, or its full wait once the reader sends
    // anything) and fails if none comes, sending nothing.
    if (unanswered_ && Clock::now() < unanswered_->deadline && sameReader(unanswered_->station, station))
        status = awaitAnswer(Clock::now() + shortWait, unanswered_->deadline, nullptr,
                             "the reader has not answered the request before; nothing sent");
    if (status == READER_OK)
        status = drainStaleInput();
    // The wait counts from the moment the request goes out, not from when this
    // thread next runs after sending it.
    const auto sent = Clock::now();
    if (status == READER_OK)
        status = transport_->send(bytes.data(), bytes.size());
    frame::Frame answer;
    if (status == READER_OK) {
        unanswered_ = Unanswered{request.seq, static_cast<uint8_t>(request.command | proto::kAnswerBit), echo, station,
                                 sent + std::chrono::milliseconds(answerTimeoutMs())};
        status = awaitAnswer(sent + shortWait, unanswered_->deadline, &answer, "no answer in time");
    }
    emptied_ = status == READER_OK && lastReadEmptied_ && decoder_.pendingBytes() == 0;
    if (status == READER_LINK_LOST)
        lost_ = true;
    if (status != READER_OK)
        return status;
    if (answer.status != static_cast<uint8_t>(proto::ReaderStatus::Ok))
        return READER_FAIL(READER_REFUSED, "reader refused the request");
    if (answer.payload.size() < echo.size())
        return READER_FAIL(READER_BAD_FRAME, "answer too short to name what it answers");
    answerPayload.assign(answer.payload.begin() + static_cast<std::ptrdiff_t>(echo.size()), answer.payload.end());
    return READER_OK;
}

} // namespace readerlib
