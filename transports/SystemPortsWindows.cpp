// The ports of a Windows system: \\.\COMn, USB serial ports as SetupAPI lists
// them, serial ports through the Win32 communications API, TCP through Winsock.
#include "SystemPorts.h"

#include "PortName.h"
#include "Win32SerialTransport.h"
#include "WinsockTransport.h"

#include <windows.h>
#include <setupapi.h>
#include <winioctl.h>

namespace readerlib {

namespace {

// The device path of a port named "COMn", which CreateFile opens for any n
// (a bare "COM10" it does not); any other text is taken as a path already.
std::string devicePath(const std::string& name)
{
    const auto number = ports::comNumber(name);
    return number ? systemSerialPort(static_cast<int>(*number)) : name;
}

// Whether the port is a USB device's: its own bus is USB, or the bus of a
// USB serial chip's driver that presents its ports as devices of their own.
bool onUsb(HDEVINFO devices, SP_DEVINFO_DATA& device)
{
    char bus[64] = {};
    if (!::SetupDiGetDeviceRegistryPropertyA(devices, &device, SPDRP_ENUMERATOR_NAME, nullptr,
                                             reinterpret_cast<BYTE*>(bus), sizeof bus - 1, nullptr))
        return false;
    return ::lstrcmpiA(bus, "USB") == 0 || ::lstrcmpiA(bus, "FTDIBUS") == 0;
}

// The COM number the system gave the port, from its "PortName" ("COM5").
std::optional<unsigned> comNumberOf(HDEVINFO devices, SP_DEVINFO_DATA& device)
{
    const HKEY key = ::SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE)
        return std::nullopt;
    char name[32] = {};
    DWORD size = sizeof name - 1;
    DWORD type = 0;
    const bool read = ::RegQueryValueExA(key, "PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size)
                          == ERROR_SUCCESS
                      && type == REG_SZ;
    ::RegCloseKey(key);
    return read ? ports::comNumber(name) : std::nullopt;
}

} // namespace

std::string systemSerialPort(int number)
{
    return "\\\\.\\COM" + std::to_string(number);
}

// The USB serial port with the lowest COM number: the order SetupAPI lists
// devices in is no order a person sees.
std::optional<std::string> firstUsbSerialPort()
{
    const HDEVINFO devices =
        ::SetupDiGetClassDevsA(&GUID_DEVINTERFACE_COMPORT, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (devices == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::optional<unsigned> lowest;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; ::SetupDiEnumDeviceInfo(devices, i, &device); ++i) {
        if (!onUsb(devices, device))
            continue;
        if (const auto number = comNumberOf(devices, device); number && (!lowest || *number < *lowest))
            lowest = number;
    }
    ::SetupDiDestroyDeviceInfoList(devices);
    if (!lowest)
        return std::nullopt;
    return systemSerialPort(static_cast<int>(*lowest));
}

std::unique_ptr<Transport> openSerialDevice(const std::string& path, uint16_t& status)
{
    return Win32SerialTransport::open(devicePath(path), status);
}

std::unique_ptr<Transport> connectTcp(uint32_t address, uint16_t port, int connectTimeoutMs, uint16_t& status)
{
    return WinsockTransport::connect(address, port, connectTimeoutMs, status);
}

} // namespace readerlib
