// Where the reads of every connection tagdesk-cli monitor hears go: a line (or
// a JSON object) a read and a run of stray bytes, printed whole as they come,
// and the tally for the table at the end. The connections' threads share it.
#pragma once

#include "TagTally.h"
#include "TimeText.h"

#include <cstdint>
#include <iosfwd>
#include <mutex>
#include <span>
#include <string>
#include <vector>

class TagReport {
public:
    // Tags the table lists at most: some 10 MB.
    static constexpr std::size_t listedTags = 100'000;

    // lines: a line a read; json: JSON Lines in place of lines and table.
    TagReport(std::ostream& out, std::ostream& err, bool lines, bool json);

    // What one piece of a connection's bytes held: its reads, and stray bytes
    // that made no frame, the last of which end sample.
    void heard(const std::string& source, const std::vector<tagframe::TagRead>& reads, uint64_t stray,
               std::span<const uint8_t> sample);
    // A progress line on standard error ("127.0.0.1:50123 connected").
    void say(const std::string& line);
    // The table (or the tags' and the summary's JSON) for seconds monitored.
    void finish(double seconds, const std::string& signal);

    uint64_t reads();

private:
    std::mutex mutex_;
    std::ostream& out_;
    std::ostream& err_;
    bool lines_;
    bool json_;
    tagframe::TagTally tally_{listedTags};
    bool fullSaid_ = false;
};
