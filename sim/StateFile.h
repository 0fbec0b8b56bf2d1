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

// Locks the state file for this process's life, through FILE.lock beside it
// (FILE itself is replaced on every save, so it cannot carry the lock). False,
// with the reason in error, only when another process holds the lock. A lock
// file that cannot be created (no such folder, no permission) is no reason to
// refuse: nothing can be saved there either, and every write will say so.
bool lockStateFile(const std::string& path, std::string& error);

// Replaces the file so that at any moment it holds either the old or the new
// memory in full: write a temporary file next to it, fsync, rename, fsync the folder.
bool saveStateFile(const std::string& path, const ParameterMemory& memory, std::string& error);

} // namespace sim
