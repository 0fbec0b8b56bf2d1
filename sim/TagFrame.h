// The bytes a reader sends for one tag it reports, made up as its frame
// format parameters say: preamble code, reader number, a window of the tag's
// ID and end code, in HEX or ASCII code (docs/tag-output.md, "The frame").
#pragma once

#include "ReaderState.h"
#include "TagField.h"

#include <cstdint>
#include <vector>

namespace sim {

// Empty when the settings leave nothing to send.
std::vector<uint8_t> tagFrame(const ParameterMemory& memory, const TagId& id);

} // namespace sim
