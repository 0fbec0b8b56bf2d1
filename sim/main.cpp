// readersim: a virtual reader for the device library's tests and for trying
// the window without hardware. See docs/readersim.md.
#include "ControlSocket.h"
#include "DefaultMemory.h"
#include "Diagnostics.h"
#include "EventLoop.h"
#include "PtyPort.h"
#include "SimOptions.h"
#include "StateFile.h"
#include "StopSignals.h"
#include "TagField.h"
#include "TcpListener.h"

#include <chrono>
#include <cstdio>
#include <iostream>
#include <unistd.h>

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitStartFailed = 1;

int fail(const std::string& message)
{
    std::cerr << "readersim: " << message << '\n';
    return kExitStartFailed;
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
    // Two readers saving one file would undo each other's writes: the second is refused.
    if (!options.stateFile.empty() && !sim::lockStateFile(options.stateFile, error))
        return fail(error);
    sim::ParameterMemory memory = sim::defaultParameterMemory();
    if (!options.stateFile.empty()
        && sim::loadStateFile(options.stateFile, memory, error) == sim::LoadResult::Unreadable)
        return fail(error);   // never overwrite a file we could not read

    sim::ReaderState::PersistHook persist;
    if (!options.stateFile.empty()) {
        persist = [&options](const sim::ParameterMemory& next) {
            std::string saveError;
            if (sim::saveStateFile(options.stateFile, next, saveError))
                return true;
            sim::logLine("write refused: " + saveError);
            return false;
        };
    }
    // A bad tag file is refused before the reader starts, with its line and reason.
    std::vector<sim::Tag> tags;
    if (!options.tagFile.empty()) {
        auto loaded = sim::loadTagFile(options.tagFile, options.tagRate, error);
        if (!loaded)
            return fail(error);
        tags = std::move(*loaded);
    } else if (options.tagCount > 0) {
        tags = sim::randomTags(options.tagCount, options.seed, options.tagRate);
    }
    sim::SimReader reader(sim::ReaderState(options.identity, memory, options.refused, persist),
                          sim::TagReading(std::move(tags), options.seed));

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

    sim::EventLoop loop(options, reader);
    if (control)
        loop.serveControl(*control);
    sim::TcpListener listener;
    if (options.serveTcp) {
        listener = sim::openTcpListener(options.tcpHost, options.tcpPort, error);
        if (listener.fd < 0)
            return fail(error);
        loop.serveTcp(listener.fd);
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

    if (options.serveTcp)
        std::cout << "tcp " << options.tcpHost << ':' << listener.port << std::endl;
    if (options.servePty)
        std::cout << "pty " << pty.slavePath << std::endl;
    std::cout << "ready" << std::endl;

    reader.start(std::chrono::steady_clock::now());
    loop.run(stopFd);

    if (listener.fd >= 0)
        ::close(listener.fd);
    if (options.servePty) {
        if (!options.ptyLink.empty())
            sim::unlinkPtyPort(pty, options.ptyLink);
        sim::closePtyPort(pty);
    }
    return 0;
}
