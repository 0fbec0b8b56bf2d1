// sim_relay: readersims for a test program that cannot start them itself, the
// library's tests built for Windows and run under Wine.
//
//   sim_relay COMMAND [ARG...]
//
// Listens on a loopback port, runs COMMAND with READERSIM_RELAY=127.0.0.1:PORT
// in its environment and ends with its exit status. A connection to the port
// sends one line, readersim's options separated by spaces, and gets back
// "tcp PORT" of a readersim started with them (or "error WHY"); that readersim
// runs until the connection closes, and is stopped before the relay closes it.
#include "SimProcess.h"

#include <arpa/inet.h>
#include <cstdio>
#include <iterator>
#include <mutex>
#include <set>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

std::mutex openMutex;
std::set<int> openConnections;   // ended when the command ends, whatever it left open

void serve(int fd)
{
    std::string line;
    for (char c = 0; ::recv(fd, &c, 1, 0) == 1 && c != '\n';)
        line.push_back(c);
    std::istringstream words(line);
    std::string answer;
    try {
        SimProcess sim({std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()});
        answer = "tcp " + std::to_string(sim.tcpPort()) + "\n";
        ::send(fd, answer.data(), answer.size(), MSG_NOSIGNAL);
        for (char ignored[64]; ::recv(fd, ignored, sizeof ignored, 0) > 0;) {
        }
    } catch (const std::exception& error) {
        answer = std::string("error ") + error.what() + "\n";
        ::send(fd, answer.data(), answer.size(), MSG_NOSIGNAL);
    }
    const std::lock_guard lock(openMutex);
    openConnections.erase(fd);
    ::close(fd);
}

} // namespace

int main(int argc, char** argv)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (argc < 2 || listener < 0 || ::bind(listener, reinterpret_cast<sockaddr*>(&address), size) != 0
        || ::listen(listener, 16) != 0 || ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        std::fprintf(stderr, "usage: sim_relay COMMAND [ARG...] (and a loopback port to listen on)\n");
        return 2;
    }
    std::vector<std::thread> servers;
    std::thread acceptor([&] {
        for (int fd; (fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
            const std::lock_guard lock(openMutex);
            openConnections.insert(fd);
            servers.emplace_back(serve, fd);
        }
    });

    ::setenv("READERSIM_RELAY", ("127.0.0.1:" + std::to_string(ntohs(address.sin_port))).c_str(), 1);
    pid_t child = -1;
    int status = 127 << 8;
    if (::posix_spawnp(&child, argv[1], nullptr, nullptr, argv + 1, environ) != 0)
        std::perror(argv[1]);
    else
        while (::waitpid(child, &status, 0) < 0) {
        }

    ::shutdown(listener, SHUT_RDWR);
    acceptor.join();
    {
        const std::lock_guard lock(openMutex);
        for (const int fd : openConnections)
            ::shutdown(fd, SHUT_RDWR);
    }
    for (std::thread& server : servers)
        server.join();
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
