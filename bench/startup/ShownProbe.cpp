#include "ShownProbe.h"

#include <QApplication>
#include <QEvent>
#include <QWindow>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

// A field of /proc/self/status in kB ("VmRSS", "VmHWM"), or -1.
long statusKilobytes(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field + ":", 0) == 0)
            return std::stol(line.substr(field.size() + 1));
    return -1;
}

class ExposeWatcher : public QObject {
public:
    ExposeWatcher(QApplication& app, std::chrono::steady_clock::time_point start)
        : QObject(&app), app_(app), start_(start) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!reported_ && event->type() == QEvent::Expose) {
            auto* window = qobject_cast<QWindow*>(watched);
            if (window && window->isExposed()) {
                reported_ = true;
                const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_).count();
                std::printf("shown %.2f %ld %ld\n", ms, statusKilobytes("VmRSS"), statusKilobytes("VmHWM"));
                std::fflush(stdout);
                QMetaObject::invokeMethod(&app_, &QApplication::quit, Qt::QueuedConnection);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QApplication& app_;
    std::chrono::steady_clock::time_point start_;
    bool reported_ = false;
};

} // namespace

std::chrono::steady_clock::time_point mainStarted()
{
    return std::chrono::steady_clock::now();
}

void reportFirstExpose(QApplication& app, std::chrono::steady_clock::time_point start)
{
    app.installEventFilter(new ExposeWatcher(app, start));
}
