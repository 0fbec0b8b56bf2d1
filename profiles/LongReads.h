// What a reader holds of some parameters, read in as few long reads as the
// protocol allows: one GetParameter carries up to 255 bytes, so the whole
// parameter table takes one request, where a read a parameter took one each.
// A long read that fails (a reader refusing one address of it, a lost answer)
// is made again parameter by parameter, so a failure still names its parameter
// and the others are still read.
#pragma once

#include "ParaTable.h"
#include "ParaValue.h"

#include <cstdint>
#include <map>
#include <vector>

// The protocol's largest transfer: one length byte.
inline constexpr int longestRead = 255;

struct HeldParas {
    std::map<const Para*, ParaBytes> bytes;   // each parameter read, its readLength bytes
    std::map<const Para*, uint16_t> failed;   // each one that could not be, with the library's status
};

// The address ranges of the long reads that cover paras (in any order, repeats
// allowed): [first, end) pairs, ascending, each at most longestRead bytes.
std::vector<std::pair<int, int>> longReadSpans(const std::vector<const Para*>& paras);

// Reads paras from the reader on handle.
HeldParas readHeld(uint32_t handle, const std::vector<const Para*>& paras);
