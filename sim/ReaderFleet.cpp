#include "ReaderFleet.h"

#include "DefaultMemory.h"
#include "PortName.h"
#include "StateFile.h"
#include "TagField.h"

namespace sim {

namespace {

// The parameter memory the reader starts with: its state file's, if it has one.
std::optional<ParameterMemory> loadMemory(const std::string& stateFile, std::string& error)
{
    ParameterMemory memory = defaultParameterMemory();
    if (stateFile.empty())
        return memory;
    // Two readers saving one file would undo each other's writes: the second is refused.
    if (!lockStateFile(stateFile, error))
        return std::nullopt;
    if (loadStateFile(stateFile, memory, error) == LoadResult::Unreadable)
        return std::nullopt;   // never overwrite a file we could not read
    return memory;
}

} // namespace

std::string stateFileOf(const SimOptions& options, uint32_t address)
{
    if (options.stateFile.empty() || !options.tcpRange)
        return options.stateFile;
    return options.stateFile + "." + ports::dotted(address);
}

std::optional<std::vector<FleetReader>> makeFleet(const SimOptions& options, std::string& error)
{
    // A bad tag file is refused before any reader starts, with its line and reason.
    std::vector<Tag> fileTags;
    if (!options.tagFile.empty()) {
        auto loaded = loadTagFile(options.tagFile, options.tagRate, error);
        if (!loaded)
            return std::nullopt;
        fileTags = std::move(*loaded);
    }
    const AddressRange addresses = servedAddresses(options);
    std::vector<FleetReader> fleet;
    fleet.reserve(options.tcpReaders);
    for (std::size_t i = 0; i < options.tcpReaders; ++i) {
        FleetReader member;
        member.address = addresses.first + static_cast<uint32_t>(i);
        member.faulty = faultsOnReader(options, member.address);
        member.stateFile = stateFileOf(options, member.address);
        const auto memory = loadMemory(member.stateFile, error);
        if (!memory)
            return std::nullopt;
        ReaderState state(options.identity, *memory, member.faulty ? options.refused : RefusedAddresses{});
        if (!member.stateFile.empty())
            state.saveLater();
        // Each reader of a random field draws tags of its own.
        const uint64_t seed = options.seed + i;
        std::vector<Tag> tags = options.tagCount > 0 ? randomTags(options.tagCount, seed, options.tagRate) : fileTags;
        member.reader = std::make_unique<SimReader>(std::move(state), TagReading(std::move(tags), seed));
        fleet.push_back(std::move(member));
    }
    return fleet;
}

} // namespace sim
