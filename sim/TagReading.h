// What one reader reads of its tag field and reports: read rounds as the work
// mode says (timing, or triggering while an input holds it), the antenna and
// protocol masks, real-time or timing output, ID pre-compare with its flush
// time, and Stop RF work until a reset (docs/tag-output.md). No I/O and no
// clock of its own: the event loop gives it the time, runs it when nextDue()
// comes and takes the frames it sends. Idle (master-slave, stopped, nothing
// readable) it has nothing due.
#pragma once

#include "ReaderState.h"
#include "TagField.h"
#include "TagSettings.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace sim {

// The most tags the simulated reader reads in a second, however many are due:
// beyond it tags wait their turn, and a huge field cannot swamp the answers.
constexpr unsigned kMaxReadsPerSecond = 20000;

class TagReading {
public:
    using Clock = std::chrono::steady_clock;
    using Send = std::function<void(const std::vector<uint8_t>& frame)>;

    // seed spreads the tags' first reads over their read periods.
    TagReading(std::vector<Tag> field, uint64_t seed);

    // Stop RF work: nothing is read or sent until restart().
    void stop();
    // A reset or power-up: reading starts afresh as the work mode says, with
    // nothing collected and nothing remembered for the pre-compare.
    void restart(const ParameterMemory& memory, Clock::time_point now);
    // The settings may have changed: start, stop or go on as they say.
    void follow(const ParameterMemory& memory, Clock::time_point now);
    // A trigger input (1 to 4) going active or inactive.
    void setTriggerInput(unsigned input, bool active, const ParameterMemory& memory, Clock::time_point now);

    std::optional<Clock::time_point> nextDue() const;
    // Reads and sends what is due by now.
    void run(const ParameterMemory& memory, Clock::time_point now, const Send& send);

    bool reading() const { return nextRound_.has_value(); }
    uint64_t reads() const { return reads_; }

private:
    struct Due {
        Clock::time_point at;
        uint32_t tag;
    };

    // No rounds, no output due, no trigger held, nothing collected.
    void rest();
    void startRounds(Clock::time_point now);
    void round(const ParameterMemory& memory, const TagSettings& settings, Clock::time_point now, const Send& send);
    void report(uint32_t tag, const ParameterMemory& memory, const TagSettings& settings, Clock::time_point now,
                const Send& send);
    void sendCollected(const ParameterMemory& memory, const TagSettings& settings, Clock::time_point now,
                       const Send& send);
    void dropCollected();

    std::vector<Tag> field_;
    std::vector<float> phase_;              // where in its read period each tag starts, 0 to 1
    uint8_t fieldAntennas_ = 0;             // the antennas that see any tag
    std::vector<Due> due_;                  // a heap: the tag read next on top

    bool stopped_ = false;
    uint8_t inputs_ = 0;                    // trigger inputs active now, bits 0 to 3
    bool triggered_ = false;                // an enabled input was active when last looked at
    std::optional<Clock::time_point> holdUntil_;   // reading goes on after the trigger until then
    Clock::duration roundInterval_{};
    std::optional<Clock::time_point> nextRound_;
    std::optional<Clock::time_point> nextOutput_;

    std::vector<bool> collected_;           // timing output: read since the last output
    std::vector<uint32_t> collectedOrder_;
    std::vector<Clock::time_point> lastSent_;   // pre-compare: when each tag was last sent
    uint64_t reads_ = 0;
};

} // namespace sim
