// tagdesk-cli monitor: the tags readers send, decoded by their frame format,
// from readers in client mode connecting to --listen or from one reader's own
// --port. Each connection is heard on a thread of its own.
#include "Commands.h"

#include "Cli.h"
#include "Interrupt.h"
#include "OpenTransport.h"
#include "PageKeys.h"
#include "ParaCalls.h"
#include "PrintableText.h"
#include "ProfileFormat.h"
#include "ReaderTransfer.h"
#include "TagReport.h"
#include "TcpListener.h"

#include "Reader.h"

#include <atomic>
#include <list>
#include <memory>
#include <ostream>
#include <system_error>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using FormatSource = Converted<tagframe::FormatBytes>;

// How long a thread waits for bytes, or for a reader to connect, before it
// looks whether to stop.
constexpr int waitMs = 100;
// Bytes taken from a connection at a time.
constexpr std::size_t receiveSize = 4096;
// Readers heard at once on --listen; one more is turned away.
constexpr std::size_t connectionLimit = 256;

// The frame format of a profile's frame_format table. A refused profile throws ProfileError.
FormatSource profileFormat(const std::string& file)
{
    const Profile profile = loadProfile(file);
    return tagframe::formatBytesFrom([&](const Para& para) -> std::optional<ParaBytes> {
        const ProfileEntry* entry = profile.find(para);
        return entry ? bytesFromValue(para, entry->value).result : std::nullopt;
    });
}

// The frame format the reader holds, read through the library on a link that
// is closed again; the reader's RF work goes on.
FormatSource readerFormat(const PortArgument& port)
{
    uint32_t handle = 0;
    if (const uint16_t status = openReader(port, handle); status != READER_OK)
        return FormatSource::fail(statusText(status));
    std::string failed;
    FormatSource format = tagframe::formatBytesFrom([&](const Para& para) -> std::optional<ParaBytes> {
        ParaBytes bytes;
        if (const uint16_t status = readPara(handle, para, bytes); status != READER_OK) {
            failed = qualifiedName(para) + ": " + statusText(status);
            return std::nullopt;
        }
        return bytes;
    });
    CloseReader(handle);
    return failed.empty() ? format : FormatSource::fail(failed);
}

// Hears one connection until it ends or stop is set: its bytes decoded, the
// reads and stray bytes reported. A connection that ends mid-frame leaves a
// cut frame, whose bytes count as stray.
void hearUntilEnd(readerlib::Transport& link, const std::string& source, const tagframe::Format& format,
                  TagReport& report, const std::atomic<bool>& stop)
{
    tagframe::Decoder decoder(format);
    std::vector<tagframe::TagRead> reads;
    std::vector<uint8_t> buffer(receiveSize);
    bool open = true;
    while (open && !stop) {
        std::size_t got = 0;
        open = link.receive(buffer.data(), buffer.size(), waitMs, got) == READER_OK;
        const uint64_t strayBefore = decoder.strayBytes();
        reads.clear();
        if (open)
            decoder.feed({buffer.data(), got}, reads);
        else
            decoder.finish();
        const uint64_t stray = decoder.strayBytes() - strayBefore;
        report.heard(source, reads, stray, stray > 0 ? decoder.straySample() : std::vector<uint8_t>{});
    }
}

// hearUntilEnd on a thread of its own: running out of memory ends this
// connection with a word, not the program.
void hear(readerlib::Transport& link, const std::string& source, const tagframe::Format& format, TagReport& report,
          const std::atomic<bool>& stop)
{
    try {
        hearUntilEnd(link, source, format, report, stop);
    } catch (const std::exception& error) {
        report.say(source + ": no longer heard: " + error.what());
    }
}

// The connections of readers in client mode, each heard on a thread of its
// own, told apart by their address (and the reader number their frames carry).
void acceptReaders(readerlib::TcpListener& listener, const tagframe::Format& format, TagReport& report,
                   const std::atomic<bool>& stop)
{
    struct Connection {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> ended;
    };
    std::list<Connection> connections;
    while (!stop) {
        connections.remove_if([](Connection& connection) {
            if (!*connection.ended)
                return false;
            connection.thread.join();
            return true;
        });
        ports::TcpAddress peer;
        std::unique_ptr<readerlib::Transport> link = listener.accept(waitMs, peer);
        if (!link)
            continue;
        if (connections.size() >= connectionLimit) {
            report.say(peer.text() + " turned away: " + std::to_string(connectionLimit) + " readers are heard already");
            continue;
        }
        report.say(peer.text() + " connected");
        auto ended = std::make_shared<std::atomic<bool>>(false);
        const std::string source = ports::TcpAddress{peer.address, {}}.text();
        try {
            connections.push_back({std::thread([&, link = std::move(link), source, ended, peer] {
                                       hear(*link, source, format, report, stop);
                                       if (!stop)
                                           report.say(peer.text() + " closed the connection");
                                       *ended = true;
                                   }),
                                   ended});
        } catch (const std::system_error& error) {
            report.say(peer.text() + " turned away: " + error.what());   // no thread to be had
        }
    }
    for (Connection& connection : connections)
        connection.thread.join();
}

} // namespace

int monitorCommand(const Arguments& args, const Console& console)
{
    std::ostream& err = console.err;
    // Heard from the start, by this thread and every one it starts: a signal
    // while the format is read ends the monitor before it listens.
    const InterruptWatch interrupt;
    if (args.station)
        SelectStation(*args.station);
    const FormatSource bytes = args.formatReader ? readerFormat(*args.formatReader) : profileFormat(args.profiles.front());
    if (!bytes) {
        err << "tagdesk-cli monitor: "
            << (args.formatReader ? "cannot read the frame format from " + args.formatReader->label
                                  : "no frame format in " + escapedText(args.profiles.front()))
            << ": " << bytes.error << "\n";
        return args.formatReader ? exit_status::failed : exit_status::refused;
    }
    const tagframe::Format format(*bytes.result);

    TagReport report(console.out, err, !args.summaryOnly, args.json);
    std::atomic<bool> stop{false};
    std::atomic<bool> ended{false};   // the one --port's link closed
    std::unique_ptr<readerlib::TcpListener> listener;
    std::unique_ptr<readerlib::Transport> link;
    std::thread hearing;
    if (args.listen) {
        std::string why;
        listener = readerlib::TcpListener::listen(args.listen->address, *args.listen->port, why);
        if (!listener) {
            err << "tagdesk-cli monitor: cannot listen on tcp:" << args.listen->text() << ": " << why << "\n";
            return exit_status::failed;
        }
        report.say("listening on tcp:" + args.listen->text() + " for " + format.description());
        hearing = std::thread([&] { acceptReaders(*listener, format, report, stop); });
    } else {
        const PortArgument& port = args.ports.front();
        uint16_t status = READER_OK;
        link = readerlib::openTransport(port.kind, port.text.empty() ? nullptr : port.text.c_str(), status);
        if (!link) {
            err << "tagdesk-cli monitor: cannot hear " << port.label << ": " << statusText(status) << "\n";
            return exit_status::failed;
        }
        report.say("hearing " + port.label + " for " + format.description());
        hearing = std::thread([&] {
            hear(*link, port.label, format, report, stop);
            if (!stop)
                report.say(port.label + ": the link closed");
            ended = true;
        });
    }

    const auto start = Clock::now();
    const auto duration = std::chrono::duration<double>(args.duration.value_or(0));
    while (interrupt.signal() == 0 && !ended && (!args.duration || Clock::now() - start < duration))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    stop = true;
    hearing.join();
    report.finish(std::chrono::duration<double>(Clock::now() - start).count(), signalName(interrupt.signal()));
    return report.reads() > 0 ? exit_status::ok : exit_status::failed;
}
