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

// A terminal line to hand to the library: a new pseudo-terminal (opened as
// a terminal) or a serial device node (opened through libserialport).
class TerminalLine {
public:
    explicit TerminalLine(bool serialDevice)
    {
        if (serialDevice) {
            path_ = "/dev/ttyS0";
        } else {
            master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
            if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0)
                path_ = ::ptsname(master_);
        }
        fd_ = path_.empty() ? -1 : ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    }
    ~TerminalLine()
    {
        if (fd_ >= 0)
            ::close(fd_);
        if (master_ >= 0)
            ::close(master_);
    }
    const std::string& path() const { return path_; }
    bool usable() const { return fd_ >= 0; }
    termios settings() const
    {
        termios line{};
        ::tcgetattr(fd_, &line);
        return line;
    }

private:
    std::string path_;
    int master_ = -1;
    int fd_ = -1;
};

class TerminalSettings : public LibraryTest, public ::testing::WithParamInterface<bool> {};

// READER_COM1 may name the user's own terminal: it is a raw line while the
// handle is open, and on close echo and line editing come back as they were.
TEST_P(TerminalSettings, ComeBackOnClose)
{
    TerminalLine line(GetParam());
    if (!line.usable())
        GTEST_SKIP() << "cannot open " << line.path() << " here";
    const termios before = line.settings();
    uint32_t handle = 0;
    {
        ScopedEnv com("READER_COM1", line.path());
        ASSERT_EQ(OpenReader(&handle, READER_PORT_SERIAL, "COM1"), READER_OK);
    }
    EXPECT_EQ(line.settings().c_lflag & (ECHO | ICANON), 0u) << "not a raw line while open";
    EXPECT_EQ(CloseReader(handle), READER_OK);
    const termios after = line.settings();
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    EXPECT_EQ(after.c_iflag, before.c_iflag);
    EXPECT_EQ(after.c_oflag, before.c_oflag);
    EXPECT_EQ(after.c_cflag, before.c_cflag);
}

INSTANTIATE_TEST_SUITE_P(Lines, TerminalSettings, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "serial_device" : "pseudo_terminal"; });

} // namespace
