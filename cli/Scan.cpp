#include "Scan.h"

#include "Parallel.h"
#include "ScanWaits.h"
#include "SystemLimits.h"

#include "Reader.h"

#include <algorithm>

namespace {

enum class Try { NotOpened, Silent, Answered };

// One look at one port for the station selected: open, ask, close.
Try tryPort(const PortArgument& port, std::array<uint8_t, 4>& firmware)
{
    uint32_t handle = 0;
    if (openReader(port, handle) != READER_OK)
        return Try::NotOpened;
    const bool answered = GetFirmwareVersion(handle, firmware.data()) == READER_OK;
    CloseReader(handle);
    return answered ? Try::Answered : Try::Silent;
}

} // namespace

std::string firmwareText(const FoundReader& reader)
{
    const auto& v = reader.firmware;
    return std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) + "." + std::to_string(v[3]);
}

std::vector<FoundReader> findReaders(const std::vector<PortArgument>& ports, const std::vector<uint8_t>& stations,
                                     std::size_t atOnce)
{
    const ScanWaits waits;
    const std::size_t workers = readersAtOnce(ports.size(), atOnce == 0 ? scanWorkers : atOnce);
    struct Found {
        std::size_t port;
        FoundReader reader;
    };
    std::vector<Found> found;
    std::vector<std::size_t> open(ports.size());   // the ports worth another try, by index
    for (std::size_t i = 0; i < open.size(); ++i)
        open[i] = i;
    for (const uint8_t station : stations) {
        // The station goes into every frame of every link: one station a round.
        SelectStation(station);
        std::vector<Try> tries(open.size());
        std::vector<std::array<uint8_t, 4>> firmware(open.size());
        parallelFor(open.size(), workers, [&](std::size_t i) { tries[i] = tryPort(ports[open[i]], firmware[i]); });
        std::vector<std::size_t> stillOpen;
        for (std::size_t i = 0; i < open.size(); ++i) {
            if (tries[i] == Try::NotOpened)
                continue;
            stillOpen.push_back(open[i]);
            if (tries[i] == Try::Answered)
                found.push_back({open[i], {ports[open[i]].label, station, firmware[i]}});
        }
        open = std::move(stillOpen);
    }
    SelectStation(READER_STATION_ANY);
    std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.port < b.port; });
    std::vector<FoundReader> readers;
    for (Found& entry : found)
        readers.push_back(std::move(entry.reader));
    return readers;
}
