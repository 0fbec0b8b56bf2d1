// A port that cannot be opened says why, as the operator can act on it: no
// reader listening, an address with no route to it, a connection that got no
// answer in time, a device the user may not open (join the group that owns it
// rather than look for a broken reader).
#include "CliFixture.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

namespace {

constexpr int kCannot = 255;   // the child could not become what the row needs: nothing to check

// A listener on loopback whose queue of connections is full: a further
// connection's first packet goes unanswered, as from a reader that is gone.
class FullListener {
public:
    FullListener()
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length);
        ::listen(listener_, 0);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        for (int i = 0; i < 4; ++i) {
            const int client = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(client, reinterpret_cast<sockaddr*>(&address), length);
            clients_.push_back(client);
        }
    }
    ~FullListener()
    {
        for (const int client : clients_)
            ::close(client);
        ::close(listener_);
    }
    uint16_t port() const { return port_; }

private:
    int listener_ = -1;
    uint16_t port_ = 0;
    std::vector<int> clients_;
};

struct OpenFailure {
    const char* what;
    std::function<bool()> enter;   // makes the child what the row needs
    std::string port;
    std::string says;
};

bool nothing()
{
    return true;
}

// A network of its own, with no address and no route.
bool ownNetwork()
{
    return ::unshare(CLONE_NEWNET) == 0;
}

class OpenFailureTest : public CliFixture {};

TEST_F(OpenFailureTest, aPortThatDoesNotOpenSaysWhy)
{
    // A file only root may open stands in for a device node of the group dialout.
    const std::string device = file("ttyUSB0");
    writeText(device, "");
    ::chmod(device.c_str(), 0600);
    ::chmod(file("").c_str(), 0755);
    const FullListener full;
    ::setenv("READER_CONNECT_TIMEOUT_MS", "300", 1);
    ::setenv("READER_COM1", device.c_str(), 1);
    const std::vector<OpenFailure> cases = {
        {"nothing listens", nothing, "tcp:127.0.0.1:1", "connection refused"},
        {"no answer to the connection", nothing, "tcp:127.0.0.1:" + std::to_string(full.port()),
         "timed out after 0.3 s"},
        {"no route to the address", ownNetwork, "tcp:10.1.2.3", "no route to host"},
        {"a device the user may not open", becomeOrdinaryUser, "COM1",
         "permission denied on " + device + ": add the user to the dialout group"},
    };
    for (const OpenFailure& c : cases) {
        const CliRun run = runInChild(c.enter, [&c] {
            const CliRun read = runTool({"read", "--port", c.port});
            return CliRun{read.status, read.out + read.err, ""};
        }, kCannot);
        if (run.status == kCannot) {
            std::cout << c.what << ": the child could not be made so; not checked\n";
            continue;
        }
        EXPECT_EQ(run.status, exit_status::failed) << c.what;
        EXPECT_NE(run.out.find(c.port + ": " + c.says + "\n"), std::string::npos) << c.what << "\n" << run.out;
    }
    ::unsetenv("READER_CONNECT_TIMEOUT_MS");
}

} // namespace
