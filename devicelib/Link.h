// One open link to a reader: a transport, the frame decoder of its incoming
// bytes, the sequence counter and the timeout state. One request at a time:
// send a frame, wait for the answer with the same sequence number and command.
// A reader works through requests one at a time, so a request that timed out
// may still hold it busy: while it can still be answered, a call to the same
// reader that would only wait briefly sends nothing and waits for that answer
// instead.
#pragma once

#include "FrameCodec.h"
#include "Protocol.h"
#include "Transport.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace readerlib {

class Link {
public:
    explicit Link(std::unique_ptr<Transport> transport);

    // Sends command with payload to station and waits for its answer. READER_OK
    // with the answer's payload in answerPayload, or the reason it failed:
    // READER_TIMEOUT, READER_LINK_LOST, READER_REFUSED (the reader's status was
    // not Ok), READER_BAD_FRAME (an Ok answer shorter than echo). An Ok answer
    // must begin with echo (what it answers, e.g. address and length), which is
    // then cut off; one that names something else is a late answer to another
    // request. Thread-safe: concurrent calls take turns.
    uint16_t transact(proto::Command command, const std::vector<uint8_t>& payload, uint8_t station,
                      std::vector<uint8_t>& answerPayload, const std::vector<uint8_t>& echo = {});

    // Moves the link to the line rate the reader switched to (serial links only).
    uint16_t setLineRate(uint32_t bitsPerSecond);

private:
    using Clock = std::chrono::steady_clock;

    // The last request sent, until its answer comes.
    struct Unanswered {
        uint8_t seq;
        uint8_t answerCommand;
        std::vector<uint8_t> echo;
        uint8_t station;
        Clock::time_point deadline;   // the end of its full wait: no answer is waited for after it
    };

    // Drops what arrived since the last call, and the start of a frame still
    // incomplete, before a request goes out.
    uint16_t drainStaleInput();
    // Waits for the answer to the unanswered request: until shortDeadline while
    // the link recovers from a timeout and nothing comes, else until
    // fullDeadline. The answer goes to answer unless it is null; a timeout is
    // reported with why.
    uint16_t awaitAnswer(Clock::time_point shortDeadline, Clock::time_point fullDeadline, frame::Frame* answer,
                         const char* why);
    // Whether frame answers the unanswered request (then there is none).
    // Anything from the reader shows it is there: the link is no longer recovering.
    bool settles(const frame::Frame& frame);
    // Reads what the line holds within waitMs into the decoder; adds the
    // number of bytes to heard.
    uint16_t receive(int waitMs, long& heard);
    // Takes the next whole frame from the decoder. A request on the line (an
    // echo of ours, another master's) is skipped and its bytes taken back
    // from heard: only what the reader sends shows that it is there.
    std::optional<frame::Frame> nextFromLine(long& heard);
    static bool fromReader(const frame::Frame& frame, uint8_t station);
    // Whether requests to the two stations may reach the same reader: a reader
    // on a shared line works only on requests to its own station or to any.
    static bool sameReader(uint8_t oneStation, uint8_t otherStation);
    static bool answers(const frame::Frame& frame, uint8_t seq, uint8_t answerCommand, const std::vector<uint8_t>& echo);

    std::mutex mutex_;
    std::unique_ptr<Transport> transport_;
    frame::Decoder decoder_;
    Clock::time_point lastByte_;   // when the line last carried a byte: the quiet line counts from here
    uint8_t seq_;
    bool recovering_ = false;   // a call timed out and the reader has sent nothing since
    bool lastReadEmptied_ = false;   // the last read took all the link held: it got less than it had room for
    // The last call took its answer with the last byte the link held, and the
    // decoder holds nothing more: no read finds anything before the next request.
    bool emptied_ = false;
    std::optional<Unanswered> unanswered_;
    bool lost_ = false;         // the transport failed; every later call fails at once
};

} // namespace readerlib
