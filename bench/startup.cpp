// Start-up time of the real glimmerdeck executable: from just before the
// process is spawned to the end of the paint that shows the first picture
// (or, with no picture, to the main window painted and idle), read from the
// timing probe that GLIMMERDECK_BENCH turns on.
//
// Usage: bench_startup EXE RUNS first|idle WIDTHxHEIGHT [ARGS...]
// Each run gets fresh settings whose window covers WIDTHxHEIGHT at 0,0; one
// warm-up run is not counted. Run by bench/startup.sh under xvfb-run.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace
{

qint64 monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

struct Samples {
    std::vector<double> v;
    double at(double q)
    {
        if (v.empty())
            return 0;
        std::sort(v.begin(), v.end());
        return v[std::min(v.size() - 1, size_t(q * double(v.size())))];
    }
};

// One run: event name -> milliseconds after the spawn. Empty on failure.
std::map<std::string, double> runOnce(const char *exe, const std::vector<std::string> &args, const char *mode,
                                      const QString &home, int width, int height)
{
    QDir(home).removeRecursively();
    QDir().mkpath(home);
    QFile ini(home + QStringLiteral("/glimmerdeck.ini"));
    if (!ini.open(QIODevice::WriteOnly))
        return {};
    ini.write(QByteArray("[Window]\nLeft=0\nTop=0\nWidth=") + QByteArray::number(width) +
              "\nHeight=" + QByteArray::number(height) + "\n");
    ini.close();

    int fds[2];
    if (pipe(fds) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);

    std::vector<std::string> envStore;
    for (char **e = environ; *e; ++e) {
        const std::string kv(*e);
        if (kv.rfind("GLIMMERDECK_", 0) != 0)
            envStore.push_back(kv);
    }
    envStore.push_back(std::string("GLIMMERDECK_BENCH=") + mode);
    envStore.push_back("GLIMMERDECK_HOME=" + home.toStdString());
    std::vector<char *> env;
    for (std::string &s : envStore)
        env.push_back(s.data());
    env.push_back(nullptr);
    std::vector<std::string> argStore{exe};
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (std::string &s : argStore)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    const qint64 t0 = monotonicNs();
    const int rc = posix_spawn(&pid, exe, &actions, nullptr, argv.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        std::fprintf(stderr, "cannot start %s: %s\n", exe, strerror(rc));
        return {};
    }

    std::map<std::string, double> events;
    const std::string last = std::string(mode) == "idle" ? "idle" : "picture";
    std::string buffer;
    const qint64 deadline = t0 + 30ll * 1000000000;
    bool open = true;
    while (open && !events.count(last) && monotonicNs() < deadline) {
        pollfd p{fds[0], POLLIN, 0};
        if (poll(&p, 1, 200) <= 0)
            continue;
        char chunk[4096];
        const ssize_t n = read(fds[0], chunk, sizeof chunk);
        if (n <= 0) {
            open = n < 0 && errno == EINTR;
            continue;
        }
        buffer.append(chunk, size_t(n));
        size_t nl;
        while ((nl = buffer.find('\n')) != std::string::npos) {
            const std::string line = buffer.substr(0, nl);
            buffer.erase(0, nl + 1);
            char what[32];
            long long mono = 0;
            if (std::sscanf(line.c_str(), "glimmerdeck-bench %31s %lld", what, &mono) == 2 &&
                !events.count(what))
                events[what] = double(mono - t0) / 1e6;
        }
    }
    if (!events.count(last)) {
        std::fprintf(stderr, "no '%s' from %s within 30 s\n", last.c_str(), exe);
        kill(pid, SIGKILL);
        events.clear();
    }
    // Drain stderr so the child never blocks on a full pipe while it exits.
    char sink[4096];
    while (read(fds[0], sink, sizeof sink) > 0) {
    }
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return events;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 5) {
        std::fprintf(stderr,
                     "usage: %s EXE RUNS first|idle WIDTHxHEIGHT [ARGS...]\n(run by bench/startup.sh)\n",
                     argv[0]);
        return 2;
    }
    const char *exe = argv[1];
    const int runs = std::max(1, std::atoi(argv[2]));
    const char *mode = argv[3];
    int width = 0, height = 0;
    if (std::sscanf(argv[4], "%dx%d", &width, &height) != 2)
        return 2;
    std::vector<std::string> args(argv + 5, argv + argc);
    QTemporaryDir tmp;
    const QString home = tmp.filePath(QStringLiteral("home"));

    runOnce(exe, args, mode, home, width, height); // warm-up: libraries and fonts in the page cache
    std::map<std::string, Samples> samples;
    int failed = 0;
    for (int i = 0; i < runs; ++i) {
        const auto events = runOnce(exe, args, mode, home, width, height);
        if (events.empty())
            ++failed;
        for (const auto &[what, t] : events)
            samples[what].v.push_back(t);
    }
    std::string what;
    for (const char *name : {"ready", "window", "picture", "idle"}) {
        if (std::string(name) == "idle" && std::string(mode) != "idle")
            continue; // before the picture when it comes in a later paint
        auto it = samples.find(name);
        if (it == samples.end())
            continue;
        Samples &s = it->second;
        std::printf("    %-8s median %6.1f ms  min %6.1f  p90 %6.1f  max %6.1f  (%zu runs)\n", name,
                    s.at(0.5), s.at(0), s.at(0.9), s.at(1.0), s.v.size());
    }
    if (failed)
        std::printf("    %d runs failed\n", failed);
    return failed ? 1 : 0;
}
