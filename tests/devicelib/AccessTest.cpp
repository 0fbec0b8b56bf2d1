// A port this user may not open gets its own status, READER_ACCESS_DENIED,
// on every kind of port that names a device; any other failure to open stays
// READER_OPEN_FAILED. A terminal the library opened is left as it was found.
#include "LibraryFixture.h"

#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <tuple>
#include <unistd.h>

namespace {

// The exit code of a child that finds it may open the port after all.
constexpr int kChildMayOpen = 255;
constexpr uid_t kNobody = 65534;

// Opens the port in a child process without the rights of root (which would
// open anything) and gives back OpenReader's status, or kChildMayOpen.
int openAsOrdinaryUser(const char* variable, const std::string& device, uint8_t portKind, const char* portText)
{
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv(variable, device.c_str(), 1);
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(kChildMayOpen);
        if (::access(device.c_str(), R_OK | W_OK) == 0)
            ::_exit(kChildMayOpen);
        uint32_t handle = 0;
        ::_exit(static_cast<int>(OpenReader(&handle, portKind, portText)));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A file no one but root may read or write, standing in for a device node of
// another group.
class LockedDevice {
public:
    LockedDevice()
    {
        path_ = (std::filesystem::temp_directory_path() / ("reader-locked-" + std::to_string(::getpid()))).string();
        const int fd = ::open(path_.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0600);
        if (fd >= 0)
            ::close(fd);
        ::chmod(path_.c_str(), 0);
    }
    ~LockedDevice() { std::filesystem::remove(path_); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

struct OpenCase {
    const char* name;
    const char* variable;
    uint8_t portKind;
    const char* portText;
    bool missingDevice;  // the variable names a path that does not exist
    uint16_t expected;
};

class OpeningAPort : public LibraryTest, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(OpeningAPort, GivesAccessDeniedOnlyWhenTheSystemRefusesTheUser)
{
    const OpenCase& row = GetParam();
    LockedDevice locked;
    const std::string device = row.missingDevice ? locked.path() + "-missing" : locked.path();
    const int status = openAsOrdinaryUser(row.variable, device, row.portKind, row.portText);
    ASSERT_NE(status, kChildMayOpen) << "the child could not give up its rights";
    EXPECT_EQ(status, row.expected);
}

const OpenCase kOpenCases[] = {
    {"com_port_of_another_user", "READER_COM1", READER_PORT_SERIAL, "COM1", false, READER_ACCESS_DENIED},
    {"usb_port_of_another_user", "READER_USB", READER_PORT_USB, nullptr, false, READER_ACCESS_DENIED},
    {"com_port_missing", "READER_COM2", READER_PORT_SERIAL, "COM2", true, READER_OPEN_FAILED},
    {"usb_port_missing", "READER_USB", READER_PORT_USB, nullptr, true, READER_OPEN_FAILED},
};

INSTANTIATE_TEST_SUITE_P(Ports, OpeningAPort, ::testing::ValuesIn(kOpenCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A real serial device node (libserialport's way in rather than the terminal's),
// where the machine has one this user may not open.
TEST_F(LibraryTest, SerialDeviceOfAnotherGroupGivesAccessDenied)
{
    const std::string device = "/dev/ttyS0";
    if (::access(device.c_str(), F_OK) != 0)
        GTEST_SKIP() << device << " does not exist here";
    const int status = openAsOrdinaryUser("READER_COM1", device, READER_PORT_SERIAL, "COM1");
    if (status == kChildMayOpen)
        GTEST_SKIP() << "this user may open " << device;
    EXPECT_EQ(status, READER_ACCESS_DENIED);
}

// READER_COM1 may name the user's own terminal: the library makes it a raw
// line while the handle is open and puts echo and line editing back on close,
// on a pseudo-terminal (opened as a terminal) as on a serial device node
// (opened through libserialport), where this user may open one.
class TerminalSettings : public LibraryTest, public ::testing::WithParamInterface<bool> {};

TEST_P(TerminalSettings, ComeBackOnClose)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_TRUE(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
    const std::string path = GetParam() ? "/dev/ttyS0" : ::ptsname(master);
    const int line = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios before{}, open{}, after{};
    if (line < 0 || ::tcgetattr(line, &before) != 0) {
        ::close(master);
        GTEST_SKIP() << "cannot open " << path << " here";
    }
    uint32_t handle = 0;
    {
        ScopedEnv com("READER_COM1", path);
        EXPECT_EQ(OpenReader(&handle, READER_PORT_SERIAL, "COM1"), READER_OK);
    }
    ::tcgetattr(line, &open);
    EXPECT_EQ(CloseReader(handle), READER_OK);
    ::tcgetattr(line, &after);
    ::close(line);
    ::close(master);
    EXPECT_EQ(open.c_lflag & (ECHO | ICANON), 0u) << "not a raw line while open";
    EXPECT_EQ(std::tie(after.c_lflag, after.c_iflag, after.c_oflag, after.c_cflag),
              std::tie(before.c_lflag, before.c_iflag, before.c_oflag, before.c_cflag));
}

INSTANTIATE_TEST_SUITE_P(Lines, TerminalSettings, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "serial_device" : "pseudo_terminal"; });

} // namespace
