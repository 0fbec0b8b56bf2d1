// bench_startup: runs the main window's start-up and a bare QWidget's, each
// N times in alternation, and prints the medians of
//   - spawn to shown: from posix_spawn to the "shown" line arriving (ms),
//   - main to shown: as the program measured it itself (ms),
//   - VmRSS and VmHWM at that moment (kB),
// then the window against the bare widget of the same run: the ratio of the
// spawn-to-shown medians and the resident memory it takes beyond; and the same
// against the bare widget showing one label, the least any window with text pays.
// Platforms: offscreen always; xcb as well when DISPLAY is set (e.g. under xvfb-run -a).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

struct Sample {
    double spawnToShown = 0;
    double mainToShown = 0;
    long rssKb = 0;
    long hwmKb = 0;
};

// Runs program once on platform; false when it did not report being shown.
bool runOnce(const std::string& program, const std::string& platform, Sample& out, const char* option = nullptr)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);

    std::vector<std::string> envStrings;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0)
            envStrings.emplace_back(*e);
    envStrings.push_back("QT_QPA_PLATFORM=" + platform);
    std::vector<char*> env;
    for (auto& s : envStrings)
        env.push_back(s.data());
    env.push_back(nullptr);
    std::string programCopy = program;
    std::string optionCopy = option ? option : "";
    char* argv[] = {programCopy.data(), option ? optionCopy.data() : nullptr, nullptr};

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, env.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
        close(pipeFds[0]);
        return false;
    }

    std::string line;
    char c;
    while (read(pipeFds[0], &c, 1) == 1 && c != '\n')
        line += c;
    const auto arrived = std::chrono::steady_clock::now();
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);

    if (std::sscanf(line.c_str(), "shown %lf %ld %ld", &out.mainToShown, &out.rssKb, &out.hwmKb) != 3)
        return false;
    out.spawnToShown = std::chrono::duration<double, std::milli>(arrived - start).count();
    return true;
}

template <typename T>
T median(std::vector<T> values)
{
    if (values.empty())
        return T{};
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

struct Medians {
    double spawnToShown = 0;
    long rssKb = 0;
};

Medians printRow(const char* platform, const char* name, const std::vector<Sample>& samples)
{
    std::vector<double> spawn, inMain;
    std::vector<long> rss, hwm;
    for (const Sample& s : samples) {
        spawn.push_back(s.spawnToShown);
        inMain.push_back(s.mainToShown);
        rss.push_back(s.rssKb);
        hwm.push_back(s.hwmKb);
    }
    std::printf("%-10s %-12s %5zu %14.1f %13.1f %10ld %10ld\n", platform, name, samples.size(), median(spawn),
                median(inMain), median(rss), median(hwm));
    return {median(spawn), median(rss)};
}

} // namespace

int main(int argc, char* argv[])
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    std::vector<std::string> platforms{"offscreen"};
    if (const char* display = std::getenv("DISPLAY"); display && *display)
        platforms.push_back("xcb");

    std::printf("%d runs each, medians\n", runs);
    std::printf("%-10s %-12s %5s %14s %13s %10s %10s\n", "platform", "program", "runs", "spawn->shown", "main->shown",
                "VmRSS kB", "VmHWM kB");
    int failures = 0;
    for (const std::string& platform : platforms) {
        std::vector<Sample> window, bare, bareText;
        for (int i = 0; i < runs; ++i) {
            Sample s;
            if (runOnce(WINDOW_STARTUP_PATH, platform, s))
                window.push_back(s);
            else
                ++failures;
            if (runOnce(BARE_STARTUP_PATH, platform, s))
                bare.push_back(s);
            else
                ++failures;
            if (runOnce(BARE_STARTUP_PATH, platform, s, "--text"))
                bareText.push_back(s);
            else
                ++failures;
        }
        const Medians reference = printRow(platform.c_str(), "bare QWidget", bare);
        const Medians withText = printRow(platform.c_str(), "bare + label", bareText);
        const Medians measured = printRow(platform.c_str(), "main window", window);
        for (const auto& [name, against] : {std::pair{"bare", reference}, std::pair{"bare + label", withText}})
            if (against.spawnToShown > 0)
                std::printf("%-10s window against %s: spawn->shown %.2fx, VmRSS %+.1f MB\n", platform.c_str(), name,
                            measured.spawnToShown / against.spawnToShown, (measured.rssKb - against.rssKb) / 1024.0);
    }
    if (failures)
        std::printf("%d runs did not report being shown\n", failures);
    return failures ? 1 : 0;
}
