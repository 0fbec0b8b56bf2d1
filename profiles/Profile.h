// A reader profile: values of a reader's parameters, as a person reads them,
// held in the parameter table's order (the order they are written in, which
// puts the frequency plan before the channel choice).
#pragma once

#include "ParaValue.h"

#include <stdexcept>
#include <string>
#include <vector>

// The profile format this program reads and writes; a profile says its own in "format".
inline constexpr long long profileFormatVersion = 1;

struct ProfileEntry {
    const Para* para = nullptr;
    ParaValue value;
    int line = 0;   // where the profile file gave it; 0 when read from a reader
};

struct Profile {
    std::vector<ProfileEntry> entries;

    const ProfileEntry* find(const Para& para) const;
    // Adds or replaces the entry of entry.para, keeping the table's order.
    void put(ProfileEntry entry);
};

// A profile refused: where (file and line, 0 when the whole file is meant), which
// entry ("antenna_power.channel1_power", or "" when none) and why. The file's
// name in the message, and whatever of the entry and the reason comes from the
// file, is escaped (PrintableText.h); file() is the name as given.
class ProfileError : public std::runtime_error {
public:
    ProfileError(std::string file, int line, std::string name, const std::string& reason);

    const std::string& file() const { return file_; }
    int line() const { return line_; }
    const std::string& name() const { return name_; }

private:
    std::string file_;
    int line_;
    std::string name_;
};
