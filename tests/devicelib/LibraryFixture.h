// Shared setup for tests of libReader against the virtual reader: environment
// overrides that undo themselves, and opening a handle over TCP or the
// pseudo-terminal of a running readersim.
#pragma once

#include "Environment.h"
#include "Reader.h"
#include "SimProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

// Sets an environment variable for the lifetime of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        setEnvironment(name, value);
    }
    ~ScopedEnv()
    {
        if (old_)
            setEnvironment(name_, *old_);
        else
            unsetEnvironment(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

enum class Via { Tcp, Pty };

inline const char* viaName(Via via) { return via == Via::Tcp ? "tcp" : "pty"; }

// The links a test runs over: TCP, and readersim's pseudo-terminal where the
// library can open it (not from Windows).
inline std::vector<Via> everyVia()
{
    if (SimProcess::ptyReachable())
        return {Via::Tcp, Via::Pty};
    return {Via::Tcp};
}

// Ends a test that needs readersim's pseudo-terminal where it cannot be reached.
#define SKIP_WITHOUT_PTY()                                                                   \
    if (!SimProcess::ptyReachable())                                                         \
    GTEST_SKIP() << "readersim's pseudo-terminal cannot be opened from this system"

// Opens a handle to sim over the given transport; 0 on failure (with a test failure).
inline uint32_t openVia(const SimProcess& sim, Via via)
{
    uint32_t handle = 0;
    uint16_t status;
    if (via == Via::Tcp) {
        ScopedEnv port("READER_TCP_PORT", std::to_string(sim.tcpPort()));
        status = OpenReader(&handle, READER_PORT_TCP, "127.0.0.1");
    } else {
        ScopedEnv com("READER_COM1", sim.ptyPath());
        status = OpenReader(&handle, READER_PORT_SERIAL, "COM1");
    }
    EXPECT_EQ(status, READER_OK) << "open over " << viaName(via);
    EXPECT_NE(handle, 0u);
    return status == READER_OK ? handle : 0;
}

// Every test starts with "any station" selected and leaves it so.
class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override { SelectStation(READER_STATION_ANY); }
    void TearDown() override { SelectStation(READER_STATION_ANY); }
};
