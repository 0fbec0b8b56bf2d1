#include "TagReport.h"

#include "JsonLines.h"
#include "Summary.h"

#include <algorithm>
#include <ostream>

TagReport::TagReport(std::ostream& out, std::ostream& err, bool lines, bool json)
    : out_(out), err_(err), lines_(lines), json_(json)
{
}

void TagReport::heard(const std::string& source, const std::vector<tagframe::TagRead>& reads, uint64_t stray,
                      std::span<const uint8_t> sample)
{
    if (reads.empty() && stray == 0)
        return;
    const WallTime now = std::chrono::system_clock::now();
    const std::span<const uint8_t> last = sample.last(std::min<std::size_t>(stray, sample.size()));
    std::string text;
    const std::lock_guard lock(mutex_);
    for (const tagframe::TagRead& read : reads) {
        if (!tally_.add(source, read, now) && !fullSaid_) {
            err_ << "tagdesk-cli monitor: " << listedTags
                 << " tags listed; the reads of further tags are counted, not listed\n";
            fullSaid_ = true;
        }
        if (lines_)
            text += json_ ? readJson(now, source, read) : readLine(now, source, read);
    }
    if (stray > 0) {
        tally_.addStray(stray, last);
        if (lines_)
            text += json_ ? strayJson(now, source, stray, last) : strayLine(now, source, stray, last);
    }
    out_ << text << std::flush;
}

void TagReport::say(const std::string& line)
{
    const std::lock_guard lock(mutex_);
    err_ << "tagdesk-cli monitor: " << line << '\n' << std::flush;
}

void TagReport::finish(double seconds, const std::string& signal)
{
    const std::lock_guard lock(mutex_);
    out_ << (json_ ? tallyJson(tally_, seconds, signal) : tagTable(tally_, seconds)) << std::flush;
}

uint64_t TagReport::reads()
{
    const std::lock_guard lock(mutex_);
    return tally_.reads();
}
