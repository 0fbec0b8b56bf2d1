// sim_relay: readersims for a test program that cannot start them itself, the
// library's tests built for Windows and run under Wine.
//
//   sim_relay COMMAND [ARG...]
//
// Listens on a loopback port, runs COMMAND with READERSIM_RELAY=127.0.0.1:PORT
// in its environment and ends with its exit status. A connection to the port
// sends one line, readersim's options separated by tabs, and gets back
// "tcp PORT" of a readersim started with them (or "error WHY"); that readersim
// runs until the connection closes, and is stopped before the relay closes it.
#include "SimProcess.h"

#include <arpa/inet.h>
#include <mutex>
#include <netinet/in.h>
#include <set>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

// The connections being served, so that they can be ended with the command.
std::mutex openMutex;
std::set<int> openConnections;

std::vector<std::string> splitTabs(const std::string& line)
{
    std::vector<std::string> words;
    std::string::size_type start = 0;
    while (start < line.size()) {
        const auto tab = line.find('\t', start);
        words.push_back(line.substr(start, tab - start));
        start = tab == std::string::npos ? line.size() : tab + 1;
    }
    return words;
}

void sendText(int fd, const std::string& text)
{
    ::send(fd, text.data(), text.size(), MSG_NOSIGNAL);
}

void serve(int fd)
{
    std::string line;
    char c = 0;
    while (::recv(fd, &c, 1, 0) == 1 && c != '\n')
        line.push_back(c);
    try {
        SimProcess sim(splitTabs(line));
        sendText(fd, "tcp " + std::to_string(sim.tcpPort()) + "\n");
        char ignored[64];
        while (::recv(fd, ignored, sizeof ignored, 0) > 0) {
        }
    } catch (const std::exception& error) {
        sendText(fd, std::string("error ") + error.what() + "\n");
    }
    {
        const std::lock_guard lock(openMutex);
        openConnections.erase(fd);
    }
    ::close(fd);
}

int listenOnLoopback(uint16_t& port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(fd, 16) != 0
        || ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        throw std::runtime_error("cannot listen on loopback");
    port = ntohs(address.sin_port);
    return fd;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: sim_relay COMMAND [ARG...]\n");
        return 2;
    }
    uint16_t port = 0;
    const int listener = listenOnLoopback(port);
    std::vector<std::thread> servers;
    std::thread acceptor([&] {
        for (;;) {
            const int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0)
                return;   // the listener was shut down: the command has ended
            const std::lock_guard lock(openMutex);
            openConnections.insert(fd);
            servers.emplace_back(serve, fd);
        }
    });

    ::setenv("READERSIM_RELAY", ("127.0.0.1:" + std::to_string(port)).c_str(), 1);
    pid_t child = -1;
    int status = 0;
    if (::posix_spawnp(&child, argv[1], nullptr, nullptr, argv + 1, environ) != 0) {
        perror(argv[1]);
        status = 127 << 8;
    } else {
        while (::waitpid(child, &status, 0) < 0) {
        }
    }

    // Whatever the command left connected ends with it.
    ::shutdown(listener, SHUT_RDWR);
    acceptor.join();
    {
        const std::lock_guard lock(openMutex);
        for (const int fd : openConnections)
            ::shutdown(fd, SHUT_RDWR);
    }
    for (std::thread& server : servers)
        server.join();
    ::close(listener);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
