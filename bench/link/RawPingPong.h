// The yardstick for the library: the same request and answer frames over a
// plain blocking TCP socket, with no handle table, timeouts or checks.
#pragma once

#include <cstdint>

// Connects to 127.0.0.1:port and makes rounds GetParameter round trips
// (address, length) as raw frames. Returns the rounds completed per second,
// or a negative value when the socket failed.
double rawRoundTripsPerSecond(uint16_t port, uint8_t address, uint8_t length, int rounds);
