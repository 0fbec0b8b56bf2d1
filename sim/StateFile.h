// The parameter memory kept on disk between runs: exactly 256 raw bytes,
// byte i being parameter address i.
#pragma once

#include "ReaderState.h"

#include <optional>
#include <string>

namespace sim {

enum class LoadResult { Loaded, Absent, Unreadable };

// Fills memory from the file. Absent leaves memory untouched; Unreadable (wrong
// size, I/O error) too, with the reason in error.
LoadResult loadStateFile(const std::string& path, ParameterMemory& memory, std::string& error);

// Replaces the file so that at any moment it holds either the old or the new
// memory in full: write a temporary file next to it, fsync, rename, fsync the folder.
bool saveStateFile(const std::string& path, const ParameterMemory& memory, std::string& error);

} // namespace sim
