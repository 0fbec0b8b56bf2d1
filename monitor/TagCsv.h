// The Tag Monitor's table as a CSV file: a header line, then a line a tag in
// the table's order; times in ISO 8601 with milliseconds and the UTC offset.
#pragma once

#include <string>

class TagTableModel;
namespace tagframe {
class TagTally;
}

std::string tagCsv(const TagTableModel& model, const tagframe::TagTally& tally);
