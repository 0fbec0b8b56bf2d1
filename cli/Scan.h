// Looking for readers: every port asked for its firmware version, station by
// station, all ports at once, each try with a short wait.
#pragma once

#include "PortArgument.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct FoundReader {
    std::string port;                  // as a --port names it
    uint8_t station = 0;               // 1..10, or READER_STATION_ANY when asked so
    std::array<uint8_t, 4> firmware{};
};

// "1.4.0.6".
std::string firmwareText(const FoundReader& reader);

// Tries ports (at most atOnce at a time, 0: scanWorkers, within what the
// system allows) for each of stations in turn, each try on a fresh link; a
// port that cannot be opened is not tried again. The readers that answered, in
// the order of ports, then of stations.
std::vector<FoundReader> findReaders(const std::vector<PortArgument>& ports, const std::vector<uint8_t>& stations,
                                     std::size_t atOnce = 0);

// Links open at once while looking: a /24 network in one go.
inline constexpr std::size_t scanWorkers = 256;
