// The device library's calls for one parameter of the table: a read of its
// full length, and a write through the call its write kind names (the off-line
// flag has a call of its own). The window's pages and the profiles both go
// through these, so a parameter is read and written the same way everywhere.
#pragma once

#include "ParaTable.h"
#include "ParaValue.h"

#include <cstdint>

// Fills bytes with the parameter's readLength bytes; returns the library's status.
uint16_t readPara(uint32_t handle, const Para& para, ParaBytes& bytes);

// Writes bytes (their length already checked against the parameter's); returns
// the library's status.
uint16_t writePara(uint32_t handle, const Para& para, const ParaBytes& bytes);
