// The reader's side of the protocol without any I/O: the parameter memory,
// the identity (station, firmware) and the answer to each request frame.
// The event loop feeds it decoded frames; tests drive it directly.
#pragma once

#include "FrameCodec.h"
#include "Protocol.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>

namespace sim {

using ParameterMemory = std::array<uint8_t, proto::kParameterMemorySize>;
using FirmwareVersion = std::array<uint8_t, 4>;

struct ReaderIdentity {
    uint8_t station = 1;
    FirmwareVersion firmware{1, 4, 0, 6};
};

// Addresses whose reads or writes the reader refuses with status Failed.
struct RefusedAddresses {
    std::set<uint8_t> reads;
    std::set<uint8_t> writes;
};

class ReaderState {
public:
    // Called with the memory as it would be after an accepted write, before the
    // write is acknowledged. Returning false refuses the write (status Failed)
    // and leaves the memory as it was, so nothing is acknowledged that was not kept.
    using PersistHook = std::function<bool(const ParameterMemory&)>;

    ReaderState(ReaderIdentity identity, const ParameterMemory& memory,
                RefusedAddresses refused = {}, PersistHook persist = {});

    // The answer to one request, or nothing when the frame is addressed to
    // another station or is itself an answer (command with the answer bit),
    // or when its memory is to be saved later (below).
    std::optional<frame::Frame> handle(const frame::Frame& request);

    // Saving where the caller chooses (readersim's state files, on threads of
    // their own): from saveLater() on, an accepted write or off-line switch is
    // not answered by handle(); the memory it would leave waits in
    // pendingSave() until settleSave() says whether it was kept, which gives
    // its answer: Ok and the new memory, or Failed and the memory as it was.
    // Nothing is handled meanwhile. The persist hook is then not called.
    void saveLater() { saveLater_ = true; }
    const std::optional<ParameterMemory>& pendingSave() const { return pending_; }
    frame::Frame settleSave(bool saved);

    const ParameterMemory& memory() const { return memory_; }
    uint8_t station() const { return identity_.station; }
    uint8_t baudRateCode() const { return baudRateCode_; }
    unsigned resetCount() const { return resetCount_; }

private:
    using Status = proto::ReaderStatus;
    struct Result {
        Status status = Status::Ok;
        std::vector<uint8_t> payload;
    };

    bool addressedToMe(uint8_t station) const;
    Result dispatch(const frame::Frame& request);
    Result getParameter(const std::vector<uint8_t>& payload) const;
    Result setParameter(const std::vector<uint8_t>& payload);
    Result setOffLineEnable(const std::vector<uint8_t>& payload);
    Result setBaudRate(const std::vector<uint8_t>& payload);
    Result commit(const ParameterMemory& next);

    ReaderIdentity identity_;
    ParameterMemory memory_;
    RefusedAddresses refused_;
    PersistHook persist_;
    bool saveLater_ = false;
    std::optional<ParameterMemory> pending_;   // saveLater: the memory of a write not yet answered
    frame::Frame pendingAnswer_;               // and its answer, if it is kept
    uint8_t baudRateCode_ = 0;
    unsigned resetCount_ = 0;
};

} // namespace sim
