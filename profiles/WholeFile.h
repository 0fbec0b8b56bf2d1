// Writing a file whole or not at all, for saved profiles (tagdesk-cli read
// --output, the window's Ctrl+S): the text goes to a temporary file in the same
// folder, is synced to the disk and renamed over the file, so a write cut short
// or a kill at any moment leaves the old file (or none), never a part of the new.
// One file a system does it (WholeFilePosix.cpp, WholeFileWindows.cpp).
#pragma once

#include <string>
#include <string_view>

// Replaces the file at path with text; an existing file keeps its permissions.
// On Linux a symbolic link at path stays a link: the file it points to is
// replaced, as editors do. Returns "" when done, else why not ("No space left on device").
std::string writeWholeFile(const std::string& path, std::string_view text);
