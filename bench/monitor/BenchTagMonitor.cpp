// bench_tag_monitor: the Tag Monitor window receiving 5,000 reads a second
// from a loopback sender, as readers in client mode send them (HEX frames of
// 16 bytes), for a field of 1,000 tags and for one of 20,000, more than the
// table lists. Prints the reads a second it handled next to those sent, and
// how long its event loop was blocked: a second thread posts a probe to the
// window's thread every 5 ms and the time each waits to be handled is the
// time the loop was busy with something else, median and worst.
//   bench_tag_monitor [SECONDS a run, default 10]
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include "MonitorProbe.h"
#include "TagMonitorWindow.h"

#include <QApplication>
#include <QMetaObject>
#include <QTimer>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int readsPerSecond = 5000;
constexpr auto probeEvery = std::chrono::milliseconds(5);

// Sends readsPerSecond frames a second of tags distinct IDs to 127.0.0.1:port,
// each millisecond the frames then due, until stop; returns the frames sent.
uint64_t sendReads(uint16_t port, int tags, const std::atomic<bool>& stop)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        std::perror("bench_tag_monitor: connect");
        std::exit(1);
    }
    std::vector<QByteArray> frames;
    for (int i = 0; i < tags; ++i)
        frames.push_back(monitortest::hexFrame(1, "E200" + QByteArray::number(i, 16).rightJustified(20, '0')));

    const auto start = Clock::now();
    uint64_t sent = 0;
    QByteArray batch;
    while (!stop) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        const auto due = uint64_t(elapsed * readsPerSecond);
        batch.clear();
        for (; sent < due; ++sent)
            batch += frames[sent % frames.size()];
        for (qsizetype at = 0; at < batch.size();) {
            const ssize_t n = ::send(fd, batch.constData() + at, std::size_t(batch.size() - at), MSG_NOSIGNAL);
            if (n <= 0) {
                std::perror("bench_tag_monitor: send");
                std::exit(1);
            }
            at += n;
        }
    }
    ::close(fd);
    return sent;
}

double millis(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

void run(QApplication& app, int tags, int seconds)
{
    const uint16_t port = monitortest::freePort();
    TagMonitorWindow monitor(
        {[] { return Converted<tagframe::FormatBytes>::ok(monitortest::hexFormat()); },
         [port] { return Converted<uint16_t>::ok(port); }, [] { return std::optional<QString>(); }},
        QString());
    monitor.show();
    monitor.start();

    std::atomic<bool> stop{false};
    std::mutex waitsLock;
    std::vector<double> waits;
    std::thread probe([&] {
        while (!stop) {
            std::this_thread::sleep_for(probeEvery);
            const auto posted = Clock::now();
            QMetaObject::invokeMethod(&monitor, [&, posted] {
                const std::lock_guard<std::mutex> lock(waitsLock);
                waits.push_back(millis(Clock::now() - posted));
            });
        }
    });
    uint64_t sent = 0;
    std::thread sender([&] { sent = sendReads(port, tags, stop); });

    QTimer::singleShot(seconds * 1000, &app, [&] { stop = true; });
    const auto start = Clock::now();
    while (!stop)
        app.processEvents(QEventLoop::WaitForMoreEvents, 50);
    sender.join();
    probe.join();
    // What was sent is taken before the figures are read.
    const auto drainUntil = Clock::now() + std::chrono::seconds(2);
    while (monitor.tally().reads() < sent && Clock::now() < drainUntil)
        app.processEvents(QEventLoop::AllEvents, 10);
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    monitor.stop();

    std::vector<double> sorted;
    {
        const std::lock_guard<std::mutex> lock(waitsLock);
        sorted = waits;
    }
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted.empty() ? 0 : sorted[sorted.size() / 2];
    const double worst = sorted.empty() ? 0 : sorted.back();
    const uint64_t handled = monitor.tally().reads();
    std::printf("%6d tags (%zu listed): %llu reads sent, %llu handled, %.0f reads a second; "
                "event loop blocked: median %.2f ms, worst %.2f ms (%zu probes)\n",
                tags, monitor.tally().rows().size(), static_cast<unsigned long long>(sent),
                static_cast<unsigned long long>(handled), double(handled) / elapsed, median, worst, sorted.size());
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    std::printf("Tag Monitor at %d reads a second for %d s a run, over loopback (%s platform):\n", readsPerSecond, seconds,
                qPrintable(QGuiApplication::platformName()));
    for (const int tags : {1000, 20000})
        run(app, tags, seconds);
    return 0;
}
