// A saved profile never takes the place of a FIFO or a device: such a file,
// also behind a symbolic link, is written in place and stays what it was,
// and a write it refuses is said, never a reason for the program to end.
#include "WholeFile.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Reads a FIFO on a thread of its own, opened before anything writes to it:
// all until the writer closes, or its first byte only (then it goes, and the
// writer is left without a reader). Gives up after a few seconds.
class FifoReader {
public:
    FifoReader(const std::string& path, bool firstByteOnly) : fd_(::open(path.c_str(), O_RDONLY | O_NONBLOCK))
    {
        thread_ = std::thread([this, firstByteOnly] {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            pollfd waiter{fd_, POLLIN, 0};
            while (fd_ >= 0 && std::chrono::steady_clock::now() < deadline && ::poll(&waiter, 1, 100) >= 0) {
                char buffer[4096];
                const ssize_t n = ::read(fd_, buffer, firstByteOnly ? 1 : sizeof buffer);
                if (n > 0)
                    read_.append(buffer, std::size_t(n));
                if (n == 0 || (n > 0 && firstByteOnly))
                    break;
            }
            ::close(fd_);
        });
    }
    // What it read, once the writer is done.
    std::string finish()
    {
        thread_.join();
        return read_;
    }

private:
    int fd_;
    std::string read_;
    std::thread thread_;
};

enum class Special { Fifo, LinkToFifo, FifoReaderGone, NullDevice, FullDevice };

struct Case {
    const char* what;
    Special special;
    std::string says;   // writeWholeFile's answer

    friend void PrintTo(const Case& c, std::ostream* out) { *out << c.what; }
};

class WholeFileTest : public testing::TestWithParam<Case> {};

TEST_P(WholeFileTest, aSpecialFileIsWrittenInPlaceAndKeepsItsKind)
{
    const Case& c = GetParam();
    const TempFolder folder("tagdesk-whole-file");
    const std::string special = folder.file("special");
    const bool device = c.special == Special::NullDevice || c.special == Special::FullDevice;
    if (device) {
        // A private node of the null or the full device: nothing under /dev is touched.
        if (::geteuid() != 0)
            GTEST_SKIP() << "making a device node needs root";
        const dev_t numbers = c.special == Special::NullDevice ? makedev(1, 3) : makedev(1, 7);
        if (::mknod(special.c_str(), S_IFCHR | 0600, numbers) != 0)
            GTEST_SKIP() << "this system lets no one make a device node";
    } else {
        ASSERT_EQ(::mkfifo(special.c_str(), 0600), 0);
    }
    std::string path = special;
    if (c.special == Special::LinkToFifo) {
        path = folder.file("link");
        fs::create_symlink(special, path);
    }
    // More than a pipe holds, so a reader that goes leaves the writer mid-way.
    const std::string text = c.special == Special::FifoReaderGone ? std::string(1 << 20, 'x') : "format = 1\n";
    std::unique_ptr<FifoReader> reader;
    if (!device)
        reader = std::make_unique<FifoReader>(special, c.special == Special::FifoReaderGone);

    EXPECT_EQ(writeWholeFile(path, text), c.says) << c.what;

    if (reader) {
        const std::string read = reader->finish();
        EXPECT_EQ(read, c.special == Special::FifoReaderGone ? "x" : text) << c.what;
    }
    const fs::file_status status = fs::symlink_status(special);
    EXPECT_EQ(status.type(), device ? fs::file_type::character : fs::file_type::fifo) << c.what;
    if (c.special == Special::LinkToFifo)
        EXPECT_TRUE(fs::is_symlink(path));
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.file("")), fs::directory_iterator()),
              c.special == Special::LinkToFifo ? 2 : 1);
}

INSTANTIATE_TEST_SUITE_P(EveryKind, WholeFileTest, testing::Values(
    Case{"a FIFO", Special::Fifo, ""},
    Case{"a symbolic link to a FIFO", Special::LinkToFifo, ""},
    Case{"a FIFO whose reader goes mid-way", Special::FifoReaderGone, "Broken pipe"},
    Case{"the null device", Special::NullDevice, ""},
    Case{"the full device", Special::FullDevice, "No space left on device"}));

} // namespace
