#include "TagReading.h"

#include "TagFrame.h"

#include <algorithm>
#include <random>

namespace sim {

namespace {

using Clock = TagReading::Clock;

constexpr auto kNeverSent = Clock::time_point::min();

Clock::duration readPeriod(const Tag& tag)
{
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / tag.readsPerSecond));
}

// The next time of something that comes every interval; one that fell behind
// (a busy loop, a long stop) starts again from now rather than catch up at once.
Clock::time_point nextAfter(Clock::time_point previous, Clock::duration interval, Clock::time_point now)
{
    const auto next = previous + interval;
    return next > now ? next : now + interval;
}

} // namespace

TagReading::TagReading(std::vector<Tag> field, uint64_t seed) : field_(std::move(field))
{
    std::mt19937_64 random(seed);
    phase_.reserve(field_.size());
    for (const Tag& tag : field_) {
        phase_.push_back(static_cast<float>(random() >> 40) / static_cast<float>(1u << 24));
        fieldAntennas_ |= tag.antennas;
    }
}

void TagReading::stop()
{
    stopped_ = true;
    rest();
}

void TagReading::restart(const ParameterMemory& memory, Clock::time_point now)
{
    stopped_ = false;
    rest();
    lastSent_.clear();
    follow(memory, now);
}

void TagReading::rest()
{
    nextRound_.reset();
    nextOutput_.reset();
    holdUntil_.reset();
    triggered_ = false;
    dropCollected();
}

void TagReading::setTriggerInput(unsigned input, bool active, const ParameterMemory& memory, Clock::time_point now)
{
    const auto bit = static_cast<uint8_t>(1u << (input - 1));
    inputs_ = active ? inputs_ | bit : inputs_ & ~bit;
    follow(memory, now);
}

void TagReading::follow(const ParameterMemory& memory, Clock::time_point now)
{
    const TagSettings s = tagSettings(memory);
    const bool triggering = s.workMode == static_cast<uint8_t>(WorkMode::Triggering);
    const bool triggered = triggering && (inputs_ & s.triggerInputs) != 0;
    if (triggered || !triggering)
        holdUntil_.reset();
    else if (triggered_)
        holdUntil_ = now + s.autoDelayOff;   // the last enabled input just went inactive
    triggered_ = triggered;
    if (holdUntil_ && now >= *holdUntil_)
        holdUntil_.reset();

    const bool readable = !field_.empty() && (s.workAntennas & fieldAntennas_) != 0 && s.gen2Epc;
    const bool working = s.workMode == static_cast<uint8_t>(WorkMode::Timing) || triggered || holdUntil_;
    roundInterval_ = s.roundInterval;
    if (stopped_ || !readable || !working)
        nextRound_.reset();
    else if (!nextRound_)
        startRounds(now);

    if (!s.timingOutput) {
        dropCollected();
        nextOutput_.reset();
    } else if (!nextOutput_ && nextRound_) {
        nextOutput_ = now + s.outputInterval;
    }
    if (!s.preCompare)
        lastSent_.clear();
}

void TagReading::startRounds(Clock::time_point now)
{
    // Each tag's first read falls somewhere in its read period, so that a
    // field that starts reading does not answer all at once.
    due_.clear();
    due_.reserve(field_.size());
    for (uint32_t i = 0; i < field_.size(); ++i) {
        const auto offset = std::chrono::duration_cast<Clock::duration>(readPeriod(field_[i]) * phase_[i]);
        due_.push_back({now + offset, i});
    }
    std::make_heap(due_.begin(), due_.end(), [](const Due& a, const Due& b) { return a.at > b.at; });
    nextRound_ = now + roundInterval_;
}

std::optional<Clock::time_point> TagReading::nextDue() const
{
    std::optional<Clock::time_point> first;
    for (const auto& when : {nextRound_, nextOutput_, holdUntil_})
        if (when && (!first || *when < *first))
            first = when;
    return first;
}

void TagReading::run(const ParameterMemory& memory, Clock::time_point now, const Send& send)
{
    follow(memory, now);   // a trigger's hold may have ended
    const TagSettings settings = tagSettings(memory);
    if (nextRound_ && now >= *nextRound_) {
        round(memory, settings, now, send);
        nextRound_ = nextAfter(*nextRound_, roundInterval_, now);
    }
    if (nextOutput_ && now >= *nextOutput_) {
        sendCollected(memory, settings, now, send);
        // Once reading has stopped and all collected is sent, the output rests too.
        if (nextRound_)
            nextOutput_ = nextAfter(*nextOutput_, settings.outputInterval, now);
        else
            nextOutput_.reset();
    }
}

void TagReading::round(const ParameterMemory& memory, const TagSettings& settings, Clock::time_point now,
                       const Send& send)
{
    const auto later = [](const Due& a, const Due& b) { return a.at > b.at; };
    const double seconds = std::chrono::duration<double>(roundInterval_).count();
    auto budget = std::max(1u, static_cast<unsigned>(kMaxReadsPerSecond * seconds));
    while (!due_.empty() && due_.front().at <= now && budget-- > 0) {
        std::pop_heap(due_.begin(), due_.end(), later);
        Due& next = due_.back();
        const Tag& tag = field_[next.tag];
        if (tag.antennas & settings.workAntennas) {
            ++reads_;
            if (!settings.timingOutput) {
                report(next.tag, memory, settings, now, send);
            } else {
                collected_.resize(field_.size());
                if (!collected_[next.tag]) {
                    collected_[next.tag] = true;
                    collectedOrder_.push_back(next.tag);
                }
            }
        }
        // At most one read a round, however fast the tag.
        next.at = std::max(next.at + readPeriod(tag), now + Clock::duration(1));
        std::push_heap(due_.begin(), due_.end(), later);
    }
}

void TagReading::report(uint32_t tag, const ParameterMemory& memory, const TagSettings& settings,
                        Clock::time_point now, const Send& send)
{
    if (settings.preCompare) {
        lastSent_.resize(field_.size(), kNeverSent);
        Clock::time_point& last = lastSent_[tag];
        if (last != kNeverSent && (!settings.flushTimeOn || now - last < settings.flushTime))
            return;
        last = now;
    }
    const auto frame = tagFrame(memory, field_[tag].id);
    if (!frame.empty())
        send(frame);
}

void TagReading::sendCollected(const ParameterMemory& memory, const TagSettings& settings, Clock::time_point now,
                               const Send& send)
{
    std::vector<uint32_t> order;
    order.swap(collectedOrder_);
    for (const uint32_t tag : order)
        collected_[tag] = false;
    for (const uint32_t tag : order)
        report(tag, memory, settings, now, send);
}

void TagReading::dropCollected()
{
    for (const uint32_t tag : collectedOrder_)
        collected_[tag] = false;
    collectedOrder_.clear();
}

} // namespace sim
