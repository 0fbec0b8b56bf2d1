// readersim: a virtual reader, or a fleet of them, for the device library's
// tests and for trying the window and tagdesk-cli without hardware. See
// docs/readersim.md.
#include "ControlSocket.h"
#include "Descriptors.h"
#include "Diagnostics.h"
#include "EventLoop.h"
#include "PortName.h"
#include "PtyPort.h"
#include "ReaderFleet.h"
#include "SimOptions.h"
#include "StopSignals.h"
#include "TcpListener.h"

#include <iostream>

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitStartFailed = 1;

// Descriptors beyond the readers' own: the standard streams, the stop pipe,
// epoll, the pseudo-terminal and its watch, the control socket, and room to spare.
constexpr std::size_t kDescriptorsBeside = 32;

int fail(const std::string& message)
{
    std::cerr << "readersim: " << message << '\n';
    return kExitStartFailed;
}

// Whether the readers' own descriptors fit the limit of open files (raised to
// the hard limit first); the reason when not. A limit that leaves no room for a
// client a reader is said once: the clients past it wait for a descriptor.
bool descriptorsFit(const sim::SimOptions& options, std::string& error)
{
    const std::size_t perReader = (options.serveTcp ? 1 : 0) + (options.stateFile.empty() ? 0 : 1);
    const std::size_t needed = options.tcpReaders * perReader + kDescriptorsBeside;
    const std::size_t limit = sim::raiseOpenFileLimit();
    if (needed > limit) {
        error = std::to_string(options.tcpReaders) + " readers need " + std::to_string(needed)
              + " open files before their first client (a listening socket each"
              + (options.stateFile.empty() ? "" : " and a state file lock each")
              + "), and the hard limit allows " + std::to_string(limit) + " (ulimit -Hn): serve a smaller range";
        return false;
    }
    if (needed + options.tcpReaders > limit)
        sim::logLine("the limit of " + std::to_string(limit) + " open files leaves room for "
                     + std::to_string(limit - needed) + " clients at once, fewer than one a reader; "
                     + "the others wait until a client leaves");
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const auto parsed = sim::parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (parsed.showHelp) {
        std::cout << sim::usageText();
        return 0;
    }
    if (!parsed.version.empty()) {
        std::cout << parsed.version << '\n';
        return 0;
    }
    if (!parsed.error.empty()) {
        std::cerr << "readersim: " << parsed.error << "\n(readersim --help lists the options)\n";
        return kExitUsage;
    }
    const sim::SimOptions& options = parsed.options;

    std::string error;
    if (!descriptorsFit(options, error))
        return fail(error);
    auto fleet = sim::makeFleet(options, error);
    if (!fleet)
        return fail(error);

    const int stopFd = sim::installStopSignals();
    if (stopFd < 0)
        return fail("cannot install the signal handlers");

    // Before the ports: a start that fails after it takes the socket away again.
    std::unique_ptr<sim::ControlSocket> control;
    if (!options.controlPath.empty()) {
        control = sim::ControlSocket::open(options.controlPath, error);
        if (!control)
            return fail(error);
    }

    sim::EventLoop loop(options, *fleet);
    if (control)
        loop.serveControl(*control);
    std::vector<sim::TcpListener> listeners;
    const sim::AddressRange addresses = sim::servedAddresses(options);
    if (options.serveTcp) {
        listeners = sim::openTcpListeners(addresses.first, options.tcpReaders, options.tcpPort, error);
        if (listeners.empty())
            return fail(error);
        for (std::size_t reader = 0; reader < listeners.size(); ++reader)
            loop.serveTcp(reader, listeners[reader].fd);
    }
    sim::PtyPort pty;
    if (options.servePty) {
        pty = sim::openPtyPort(error);
        if (pty.masterFd < 0)
            return fail(error);
        if (!options.ptyLink.empty() && !sim::linkPtyPort(pty, options.ptyLink, error))
            return fail(error);
        loop.servePty(pty);
    }

    if (options.serveTcp) {
        const std::string port = std::to_string(listeners.front().port);
        if (options.tcpRange)
            std::cout << "tcp " << ports::dotted(addresses.first) << '-' << ports::dotted(addresses.last) << ':' << port
                      << std::endl;
        else
            std::cout << "tcp " << options.tcpHost << ':' << port << std::endl;
    }
    if (options.servePty)
        std::cout << "pty " << pty.slavePath << std::endl;
    std::cout << "ready" << std::endl;

    loop.run(stopFd);

    sim::closeTcpListeners(listeners);
    if (options.servePty) {
        if (!options.ptyLink.empty())
            sim::unlinkPtyPort(pty, options.ptyLink);
        sim::closePtyPort(pty);
    }
    return 0;
}
