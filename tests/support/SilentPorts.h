// TCP ports on 127.0.0.1 that take a connection and never answer it: readers
// that wait out every answer time, for the tests and benchmarks of large
// fleets. A port a listening socket, closed with the object. No Qt.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

class SilentPorts {
public:
    explicit SilentPorts(int count)
    {
        for (int i = 0; i < count; ++i) {
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            socklen_t size = sizeof address;
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            if (fd >= 0)
                fds_.push_back(fd);
            if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(fd, 4) != 0
                || ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
                closeAll();
                throw std::runtime_error("cannot listen on 127.0.0.1");
            }
            ports_.push_back("tcp:127.0.0.1:" + std::to_string(ntohs(address.sin_port)));
        }
    }
    ~SilentPorts() { closeAll(); }
    SilentPorts(const SilentPorts&) = delete;
    SilentPorts& operator=(const SilentPorts&) = delete;

    // As a --port names them.
    const std::vector<std::string>& ports() const { return ports_; }

private:
    void closeAll()
    {
        for (const int fd : fds_)
            ::close(fd);
        fds_.clear();
    }

    std::vector<int> fds_;
    std::vector<std::string> ports_;
};
