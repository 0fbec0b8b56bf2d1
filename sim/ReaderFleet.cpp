#include "ReaderFleet.h"

#include "DefaultMemory.h"
#include "PortName.h"
#include "StateFile.h"
#include "TagField.h"

namespace sim {

namespace {

// A reader of a fleet is one of a site's readers, each its own on the network:
// its IP address is the address it serves and its MAC address ends in that
// address's last three bytes, so that a profile copied from one to another is
// a copy to tagdesk-cli, not a restore.
void giveOwnIdentity(ParameterMemory& memory, uint32_t address)
{
    constexpr std::size_t macAt = 6;
    constexpr std::size_t ipAt = 12;
    for (std::size_t i = 0; i < 3; ++i)
        memory[macAt + 3 + i] = static_cast<uint8_t>(address >> (16 - 8 * i));
    for (std::size_t i = 0; i < 4; ++i)
        memory[ipAt + i] = static_cast<uint8_t>(address >> (24 - 8 * i));
}

// The parameter memory the reader starts with: its state file's, if it has one.
std::optional<ParameterMemory> loadMemory(const std::string& stateFile, std::optional<uint32_t> fleetAddress,
                                          std::string& error)
{
    ParameterMemory memory = defaultParameterMemory();
    if (fleetAddress)
        giveOwnIdentity(memory, *fleetAddress);
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
        const auto memory =
            loadMemory(member.stateFile, options.tcpRange ? std::optional(member.address) : std::nullopt, error);
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
