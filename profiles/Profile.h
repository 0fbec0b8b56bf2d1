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

// One fault of a profile: where (file and line, 0 when the whole file is
// meant), which entry ("antenna_power.channel1_power", or "" when none) and
// why. message() escapes the file's name, and whatever of the entry and the
// reason comes from the file (PrintableText.h); file is the name as given.
struct ProfileFault {
    std::string file;
    int line = 0;
    std::string name;
    std::string reason;

    std::string message() const;
};

// A profile refused, with every fault found in it, in the file's order; what()
// gives their messages a line each.
class ProfileError : public std::runtime_error {
public:
    ProfileError(std::string file, int line, std::string name, const std::string& reason);
    explicit ProfileError(std::vector<ProfileFault> faults);   // at least one

    const std::vector<ProfileFault>& faults() const { return faults_; }
    // The first fault's.
    const std::string& file() const { return faults_.front().file; }
    int line() const { return faults_.front().line; }
    const std::string& name() const { return faults_.front().name; }

private:
    std::vector<ProfileFault> faults_;
};

// The faults found so far in one file, to be reported all at once.
class FaultList {
public:
    explicit FaultList(std::string file) : file_(std::move(file)) {}
    void add(int line, std::string name, std::string reason);
    // Throws ProfileError with every fault, in the file's order of lines; nothing when none.
    void throwAny();

private:
    std::string file_;
    std::vector<ProfileFault> faults_;
};
