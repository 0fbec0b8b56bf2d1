// The control socket (--control PATH): a Unix stream socket that takes one
// command a line and answers each with one line. What the commands do is
// controlCommand(); this is only the socket. A few clients at a time, short
// lines: a client that sends a longer one is told so and closed.
#pragma once

#include "Epoll.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

class ControlSocket {
public:
    // Listens at path, replacing a socket left there by an earlier run; nothing
    // (with the reason in error) when another process listens there, when path
    // is anything but a socket, or when it cannot be made.
    static std::unique_ptr<ControlSocket> open(const std::string& path, std::string& error);
    ~ControlSocket();   // closes every connection and removes the path
    ControlSocket(const ControlSocket&) = delete;
    ControlSocket& operator=(const ControlSocket&) = delete;

    // Readable when a client or a connection waits: then serve().
    int fd() const { return ready_.fd(); }
    void serve(const std::function<std::string(std::string_view line)>& execute);

private:
    struct Client {
        int fd;
        std::string pending;   // received, not yet a whole line
    };
    ControlSocket(std::string path, int listenFd) : path_(std::move(path)), listenFd_(listenFd) {}
    // False when the client is to be closed.
    bool readClient(Client& client, const std::function<std::string(std::string_view)>& execute);

    std::string path_;
    int listenFd_;
    std::vector<Client> clients_;
    // The listening socket and the clients, tagged by descriptor; the listening
    // socket is watched only while a client slot is free.
    Epoll ready_;
};

} // namespace sim
