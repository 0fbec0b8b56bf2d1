// Writing a file whole or not at all, for saved profiles (tagdesk-cli read
// --output, the window's Ctrl+S): the text goes to a temporary file in the same
// folder, is synced to the disk and renamed over the file, so a write cut short
// or a kill at any moment leaves the old file (or none), never a part of the new.
// Only a regular file, or none, is replaced so: a FIFO, a device or another
// special file (NUL, a named pipe on Windows) keeps its place and is written in
// place, as cp and shells do. One file a system does it (WholeFilePosix.cpp,
// WholeFileWindows.cpp).
#pragma once

#include <string>
#include <string_view>

// Replaces the file at path with text, or writes text to the special file
// there; an existing file keeps its permissions. On Linux a symbolic link at
// path stays a link: the file it points to is replaced (or written, when
// special), as editors do. Returns "" when done, else why not ("No space left
// on device").
std::string writeWholeFile(const std::string& path, std::string_view text);
