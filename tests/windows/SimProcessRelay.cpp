// SimProcess for the library's tests built for Windows: readersim is a Linux
// program, so the test asks sim_relay (tests/support/SimRelay.cpp), which runs
// it under Wine, to start one, and reaches it over TCP. The readersim runs
// while the connection to the relay is open.
#include "SimProcess.h"

#include "PortName.h"

#include <cstdlib>
#include <stdexcept>
#include <winsock2.h>

SimProcess::SimProcess(std::vector<std::string> extraArgs)
{
    const char* relayText = std::getenv("READERSIM_RELAY");
    const auto relay = relayText ? ports::tcpAddress(relayText) : std::nullopt;
    WSADATA data;
    if (!relay || !relay->port || ::WSAStartup(MAKEWORD(2, 2), &data) != 0)
        throw std::runtime_error("READERSIM_RELAY names no relay: run the test under sim_relay");
    const SOCKET link = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    relay_ = link;
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(*relay->port);
    peer.sin_addr.s_addr = htonl(relay->address);
    std::string request;
    for (const std::string& arg : extraArgs)
        request += arg + " ";
    request += "\n";
    std::string answer;
    if (link != INVALID_SOCKET && ::connect(link, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0
        && ::send(link, request.data(), static_cast<int>(request.size()), 0) > 0)
        for (char c = 0; ::recv(link, &c, 1, 0) == 1 && c != '\n';)
            answer.push_back(c);
    if (answer.rfind("tcp ", 0) != 0) {
        stop(0);
        throw std::runtime_error("sim_relay: " + (answer.empty() ? std::string("no answer") : answer));
    }
    tcpPort_ = static_cast<uint16_t>(std::stoul(answer.substr(4)));
}

SimProcess::~SimProcess()
{
    stop(0);
}

bool SimProcess::ptyReachable()
{
    return false;
}

void SimProcess::kill(int signal)
{
    stop(signal);
}

// The relay stops readersim once the connection closes, and then closes its
// end: waiting for that, the readersim is gone when this returns.
void SimProcess::stop(int)
{
    if (relay_ == 0)
        return;
    const auto link = static_cast<SOCKET>(relay_);
    ::shutdown(link, SD_SEND);
    for (char ignored[64]; ::recv(link, ignored, sizeof ignored, 0) > 0;) {
    }
    ::closesocket(link);
    relay_ = 0;
}
