// Start-up and stepping speed of picture viewers side by side, measured from
// outside: the viewer runs as the user runs it, keys go in through the X
// server (XTest), and a picture counts as shown once the screen holds its
// final image. Every viewer, ours included, is measured the same way.
//
// How "shown" is seen: the screen is sampled (rows across the middle of the
// screen, read back with XGetImage every millisecond or so) and hashed. A
// calibration run starts the viewer, waits until the screen stops changing,
// then steps through the pictures one at a time, each time waiting until the
// screen is still; the hash of each still screen is that picture's final
// image. Timed runs then wait for exactly those hashes, so no settling time
// is added to any figure.
//
// Usage: bench_compare [options] VIEWER...  (bench/compare.sh runs it)
//   VIEWER: feh | qimgv | NAME=PATH (our executable; several may be given;
//           "base" names an earlier build, "floor" bench_qt_floor)
//   --set LABEL=DIR   a folder of *.jpg (repeatable)
//   --runs N          start-ups per viewer and set (5)
//   --steps N         steps per stepping run (20)
//   --pace MS         time between steps at a human pace (500)
// Needs DISPLAY (an X server with a window manager) and a screen of its own.
// GD_COMPARE_VERBOSE=1 prints each rapid step's time; GD_COMPARE_SHOT=PREFIX
// saves screenshots (calibration, and any picture a timed run missed).
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char **environ;
namespace fs = std::filesystem;

namespace
{

using Ns = long long;
constexpr Ns kMs = 1000000;

Ns now()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return Ns(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void sleepNs(Ns ns)
{
    if (ns > 0)
        std::this_thread::sleep_for(std::chrono::nanoseconds(ns));
}

double median(std::vector<double> v)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// ---- the screen, seen from outside ----

class ScreenProbe
{
public:
    bool open()
    {
        dpy_ = XOpenDisplay(nullptr);
        if (!dpy_)
            return false;
        root_ = DefaultRootWindow(dpy_);
        width_ = DisplayWidth(dpy_, DefaultScreen(dpy_));
        height_ = DisplayHeight(dpy_, DefaultScreen(dpy_));
        void *xtst = dlopen("libXtst.so.6", RTLD_NOW | RTLD_LOCAL);
        if (xtst)
            fake_ = reinterpret_cast<int (*)(Display *, unsigned, int, unsigned long)>(
                dlsym(xtst, "XTestFakeKeyEvent"));
        if (!fake_)
            return false;
        right_ = XKeysymToKeycode(dpy_, 0xff53); // XK_Right
        // Rows across the middle of the screen: clear of title bars, menus,
        // status bars and the pointer, which rests in a corner.
        for (int i = 0; i < kRows; ++i)
            rows_.push_back(height_ / 8 + i * (height_ * 3 / 4) / (kRows - 1));
        XWarpPointer(dpy_, None, root_, 0, 0, 0, 0, width_ - 1, height_ - 1);
        XSync(dpy_, False);
        return true;
    }

    int width() const { return width_; }
    int height() const { return height_; }

    // A hash of the sampled rows.
    unsigned long long sample()
    {
        unsigned long long h = 1469598103934665603ull;
        const int x0 = width_ / 50, w = width_ - 2 * x0;
        for (int y : rows_) {
            XImage *img = XGetImage(dpy_, root_, x0, y, unsigned(w), 1, AllPlanes, ZPixmap);
            if (!img)
                continue;
            const auto *p = reinterpret_cast<const unsigned char *>(img->data);
            const size_t n = size_t(img->bytes_per_line);
            for (size_t i = 0; i < n; i += 4) {
                // The padding byte of 32-bit pixels is not part of the picture.
                h = (h ^ (p[i] | p[i + 1] << 8 | p[i + 2] << 16)) * 1099511628211ull;
            }
            XDestroyImage(img);
        }
        ++samples_;
        return h;
    }

    void pressRight()
    {
        fake_(dpy_, right_, True, 0);
        fake_(dpy_, right_, False, 0);
        XFlush(dpy_);
    }

    long samples() const { return samples_; }

private:
    static constexpr int kRows = 8;
    Display *dpy_ = nullptr;
    Window root_ = 0;
    int width_ = 0, height_ = 0;
    std::vector<int> rows_;
    int (*fake_)(Display *, unsigned, int, unsigned long) = nullptr;
    unsigned right_ = 0;
    long samples_ = 0;
};

constexpr Ns kPoll = kMs; // between samples

// Waits until the screen shows `want`; the time of the first sample that
// did, or nullopt after `timeout`.
std::optional<Ns> waitFor(ScreenProbe &s, unsigned long long want, Ns timeout)
{
    const Ns end = now() + timeout;
    for (;;) {
        const unsigned long long h = s.sample();
        const Ns t = now();
        if (h == want)
            return t;
        if (t > end)
            return std::nullopt;
        sleepNs(kPoll);
    }
}

struct Still {
    unsigned long long hash = 0;
    Ns since = 0; // first sample showing it
};

// Waits until the screen differs from `from` and then stays the same for
// `quiet`; the still image and when it first appeared.
std::optional<Still> waitStill(ScreenProbe &s, unsigned long long from, Ns quiet, Ns timeout)
{
    const Ns end = now() + timeout;
    unsigned long long last = s.sample();
    Ns since = now();
    for (;;) {
        sleepNs(kPoll);
        const unsigned long long h = s.sample();
        const Ns t = now();
        if (h != last) {
            last = h;
            since = t;
        } else if (h != from && t - since >= quiet) {
            return Still{h, since};
        }
        if (t > end)
            return std::nullopt;
    }
}

// ---- the viewers ----

struct Viewer {
    std::string name;
    std::string exe; // ours: path of the executable
    bool ours = false;
    // Ours: the tool box shut, as a user who closed it starts; otherwise it
    // opens, as on a first start. A name with "tool box closed" in it asks
    // for this.
    bool toolBoxClosed = false;
};

struct Running {
    pid_t pid = -1;
    Ns spawned = 0;
    fs::path home;
};

void writeFile(const fs::path &p, const std::string &text)
{
    fs::create_directories(p.parent_path());
    std::ofstream(p) << text;
}

std::vector<std::string> sortedJpegs(const fs::path &dir)
{
    std::vector<std::string> files;
    for (const auto &e : fs::directory_iterator(dir))
        if (e.is_regular_file() && e.path().extension() == ".jpg")
            files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

// Starts the viewer on `dir` with fresh settings of its own, its window
// covering the screen.
Running launch(const Viewer &v, const fs::path &dir, const ScreenProbe &screen, const fs::path &scratch)
{
    Running r;
    r.home = scratch / v.name;
    fs::remove_all(r.home);
    fs::create_directories(r.home);
    const std::string W = std::to_string(screen.width()), H = std::to_string(screen.height());
    std::vector<std::string> args;
    std::vector<std::string> env;
    for (char **e = environ; *e; ++e) {
        const std::string kv(*e);
        if (kv.rfind("HOME=", 0) != 0 && kv.rfind("GLIMMERDECK_", 0) != 0 && kv.rfind("XDG_", 0) != 0)
            env.push_back(kv);
    }
    env.push_back("HOME=" + r.home.string());
    env.push_back("XDG_RUNTIME_DIR=" + r.home.string());
    if (v.ours) {
        // Settings are named after the executable.
        writeFile(r.home / (fs::path(v.exe).stem().string() + ".ini"),
                  "[Window]\nLeft=0\nTop=0\nWidth=" + W + "\nHeight=" + H + "\n" +
                      (v.toolBoxClosed ? "[Tool]\nShow=0\n" : ""));
        env.push_back("GLIMMERDECK_HOME=" + r.home.string());
        args = {v.exe, dir.string()};
    } else if (v.name == "feh") {
        // Fitted into a screen-sized window, in name order, like the others.
        args = {"feh",        "--scale-down",       "--sort",    "filename",
                "--geometry", W + "x" + H + "+0+0", dir.string()};
    } else if (v.name == "qimgv") {
        // Given a folder it opens its folder view; given the first file it
        // shows it and steps through the folder. Maximised, no first-run tour.
        writeFile(r.home / ".config/qimgv/qimgv.conf", "[General]\nfirstRun=false\n");
        writeFile(r.home / ".config/qimgv/savedState.conf",
                  "[General]\nmaximizedWindow=true\nwindowGeometry=@Rect(0 0 " + W + " " + H + ")\n");
        args = {"qimgv", sortedJpegs(dir).front()};
    }
    std::vector<char *> argv, envp;
    for (auto &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto &e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
    r.spawned = now();
    if (posix_spawnp(&r.pid, argv[0], &fa, nullptr, argv.data(), envp.data()) != 0)
        r.pid = -1;
    posix_spawn_file_actions_destroy(&fa);
    return r;
}

// Peak resident memory in MB (VmHWM), -1 when unknown.
double peakMb(pid_t pid)
{
    std::ifstream f("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atof(line.c_str() + 6) / 1024.0;
    return -1;
}

void stop(Running &r)
{
    if (r.pid <= 0)
        return;
    kill(r.pid, SIGTERM);
    for (int i = 0; i < 300; ++i) {
        if (waitpid(r.pid, nullptr, WNOHANG) == r.pid) {
            r.pid = -1;
            return;
        }
        sleepNs(10 * kMs);
    }
    kill(r.pid, SIGKILL);
    waitpid(r.pid, nullptr, 0);
    r.pid = -1;
}

struct Figures {
    std::vector<double> start; // ms, spawn to the first picture shown
    std::vector<double> human; // ms, key to the next picture, at a human pace
    std::vector<double> rapid; // ms, all steps, each key once the last picture is shown
    double peak = -1;          // MB
    std::string error;
};

// With GD_COMPARE_SHOT=PREFIX, a screenshot PREFIX-WHAT.png (ImageMagick)
// at calibration and when a timed run misses a picture.
void shot(const char *what)
{
    if (const char *prefix = getenv("GD_COMPARE_SHOT"))
        std::system(("import -window root '" + std::string(prefix) + "-" + what + ".png'").c_str());
}

struct Bench {
    ScreenProbe &screen;
    fs::path scratch;
    unsigned long long desktop = 0;
    int steps = 20;
    Ns pace = 500 * kMs;

    void backToDesktop()
    {
        waitFor(screen, desktop, 5000 * kMs);
        sleepNs(300 * kMs);
    }

    // The final image of the first picture and of each step, each taken once
    // the screen has stopped changing; empty on failure (f.error says why).
    std::vector<unsigned long long> calibrate(const Viewer &v, const fs::path &dir, Figures &f)
    {
        std::vector<unsigned long long> finals;
        Running r = launch(v, dir, screen, scratch);
        if (r.pid <= 0) {
            f.error = "cannot start";
            return {};
        }
        auto first = waitStill(screen, desktop, 1500 * kMs, 30000 * kMs);
        if (!first) {
            stop(r);
            f.error = "no still first picture";
            return {};
        }
        finals.push_back(first->hash);
        shot("calibration");
        for (int k = 1; k <= steps; ++k) {
            screen.pressRight();
            auto next = waitStill(screen, finals.back(), 1000 * kMs, 30000 * kMs);
            if (!next) {
                stop(r);
                f.error = "step " + std::to_string(k) + " showed nothing new";
                return {};
            }
            finals.push_back(next->hash);
        }
        f.peak = std::max(f.peak, peakMb(r.pid));
        stop(r);
        backToDesktop();
        for (size_t i = 0; i < finals.size(); ++i)
            if (std::count(finals.begin(), finals.end(), finals[i]) > 1) {
                f.error = "two pictures look the same";
                return {};
            }
        return finals;
    }

    // The same pictures at a human pace, one step every `pace`.
    void humanPace(const Viewer &v, const fs::path &dir, const std::vector<unsigned long long> &finals,
                   Figures &f)
    {
        Running r = launch(v, dir, screen, scratch);
        if (waitFor(screen, finals[0], 30000 * kMs)) {
            for (int k = 1; k <= steps; ++k) {
                sleepNs(pace);
                const Ns pressed = now();
                screen.pressRight();
                auto t = waitFor(screen, finals[size_t(k)], 20000 * kMs);
                if (!t) {
                    shot("human-step-missed");
                    f.error = "a step at a human pace was not shown";
                    break;
                }
                f.human.push_back(double(*t - pressed) / kMs);
            }
        }
        f.peak = std::max(f.peak, peakMb(r.pid));
        stop(r);
        backToDesktop();
    }

    // One timed start-up, then the steps, each as soon as the last is shown.
    void timedRun(const Viewer &v, const fs::path &dir, const std::vector<unsigned long long> &finals,
                  Figures &f)
    {
        Running r = launch(v, dir, screen, scratch);
        auto shown = waitFor(screen, finals[0], 30000 * kMs);
        if (!shown) {
            shot("first-picture-missed");
            stop(r);
            f.error = "first picture not shown in a timed run";
            backToDesktop();
            return;
        }
        f.start.push_back(double(*shown - r.spawned) / kMs);
        // A user looks at the first picture for a moment before stepping.
        sleepNs(1000 * kMs);
        const Ns t0 = now();
        bool ok = true;
        int k = 1;
        const bool verbose = getenv("GD_COMPARE_VERBOSE");
        for (; k <= steps && ok; ++k) {
            const Ns pressed = now();
            screen.pressRight();
            const auto shown = waitFor(screen, finals[size_t(k)], 20000 * kMs);
            ok = shown.has_value();
            if (verbose && ok)
                std::printf(" %.0f", double(*shown - pressed) / kMs);
        }
        if (verbose)
            std::printf("  (%s, ms per rapid step)\n", v.name.c_str());
        if (ok) {
            f.rapid.push_back(double(now() - t0) / kMs);
        } else {
            f.error = "rapid step " + std::to_string(k - 1) + " was not shown";
            shot("rapid-step-missed");
        }
        f.peak = std::max(f.peak, peakMb(r.pid));
        stop(r);
        backToDesktop();
    }
};

std::string cell(double v, int decimals = 0)
{
    if (v < 0)
        return "—";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<Viewer> viewers;
    std::vector<std::pair<std::string, fs::path>> sets;
    int runs = 5, steps = 20;
    Ns pace = 500 * kMs;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--runs" && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--steps" && i + 1 < argc)
            steps = std::max(1, std::atoi(argv[++i]));
        else if (a == "--pace" && i + 1 < argc)
            pace = std::max(1, std::atoi(argv[++i])) * kMs;
        else if (a == "--set" && i + 1 < argc) {
            const std::string s = argv[++i];
            const size_t eq = s.find('=');
            if (eq == std::string::npos)
                return 2;
            sets.emplace_back(s.substr(0, eq), fs::absolute(s.substr(eq + 1)));
        } else if (a.find('=') != std::string::npos) {
            const std::string name = a.substr(0, a.find('='));
            viewers.push_back({name, fs::absolute(a.substr(a.find('=') + 1)).string(), true,
                               name.find("tool box closed") != std::string::npos});
        } else if (a == "feh" || a == "qimgv") {
            viewers.push_back({a, a, false});
        } else {
            std::fprintf(stderr,
                         "usage: %s [--set LABEL=DIR]... [--runs N] [--steps N] feh|qimgv|NAME=EXE...\n",
                         argv[0]);
            return 2;
        }
    }
    if (viewers.empty() || sets.empty()) {
        std::fprintf(stderr, "give at least one viewer and one --set\n");
        return 2;
    }
    ScreenProbe screen;
    if (!screen.open()) {
        std::fprintf(stderr, "no X display (or no XTest)\n");
        return 1;
    }
    const fs::path scratch = fs::temp_directory_path() / ("glimmerdeck-compare-" + std::to_string(getpid()));
    fs::create_directories(scratch);
    const unsigned long long desktop = screen.sample();
    {
        // What one sample costs, as a share of one core at the polling rate.
        const Ns t = now();
        for (int i = 0; i < 50; ++i)
            screen.sample();
        const double each = double(now() - t) / 50 / kMs;
        std::printf("screen %dx%d, one sample %.2f ms\n", screen.width(), screen.height(), each);
    }

    Bench bench{screen, scratch, desktop, steps, pace};
    std::map<std::string, std::map<std::string, Figures>> all; // set -> viewer -> figures
    for (const auto &[label, dir] : sets) {
        std::map<std::string, std::vector<unsigned long long>> finals;
        for (const Viewer &v : viewers) {
            std::printf("%s: %s: calibrating and stepping at a human pace ...\n", label.c_str(),
                        v.name.c_str());
            std::fflush(stdout);
            Figures &f = all[label][v.name];
            finals[v.name] = bench.calibrate(v, dir, f);
            if (!finals[v.name].empty())
                bench.humanPace(v, dir, finals[v.name], f);
        }
        // Viewers take turns, so that a busy moment of the machine falls on all.
        for (int run = 0; run < runs; ++run) {
            std::printf("%s: timed run %d of %d\n", label.c_str(), run + 1, runs);
            std::fflush(stdout);
            for (const Viewer &v : viewers)
                if (!finals[v.name].empty())
                    bench.timedRun(v, dir, finals[v.name], all[label][v.name]);
        }
        for (const Viewer &v : viewers) {
            const Figures &f = all[label][v.name];
            if (!f.error.empty())
                std::printf("  %s: %s\n", v.name.c_str(), f.error.c_str());
            std::printf("  %-8s start %s ms (", v.name.c_str(), cell(median(f.start)).c_str());
            for (double x : f.start)
                std::printf(" %.0f", x);
            std::printf(" ), human step %s ms, %d steps %s ms (", cell(median(f.human), 1).c_str(), steps,
                        cell(median(f.rapid)).c_str());
            for (double x : f.rapid)
                std::printf(" %.0f", x);
            std::printf(" ), peak %s MB\n", cell(f.peak).c_str());
        }
        std::fflush(stdout);
    }
    fs::remove_all(scratch);

    // The table: one row per figure and set, one column per viewer.
    std::printf("\n| |");
    for (const Viewer &v : viewers)
        std::printf(" %s |", v.name.c_str());
    std::printf("\n|---|");
    for (size_t i = 0; i < viewers.size(); ++i)
        std::printf("---|");
    std::printf("\n");
    for (const auto &[label, dir] : sets) {
        auto row = [&](const std::string &title, auto value, int decimals) {
            std::printf("| %s: %s |", label.c_str(), title.c_str());
            for (const Viewer &v : viewers)
                std::printf(" %s |", cell(value(all[label][v.name]), decimals).c_str());
            std::printf("\n");
        };
        row(
            "start → picture fully shown, ms", [](const Figures &f) { return median(f.start); }, 0);
        row(
            "next picture at a human pace, ms", [](const Figures &f) { return median(f.human); }, 1);
        row(
            std::to_string(steps) + " steps, each as soon as the last is shown, ms",
            [](const Figures &f) { return median(f.rapid); }, 0);
        row(
            "pictures per second stepping",
            [&](const Figures &f) {
                const double m = median(f.rapid);
                return m > 0 ? steps * 1000.0 / m : -1;
            },
            1);
        row(
            "peak memory, MB", [](const Figures &f) { return f.peak; }, 0);
    }

    // Our figures against the other viewers', as ratios (the targets).
    std::printf("\nratios (ours / other viewer's; the same run, so the machine's speed cancels):\n");
    // "floor" is bench_qt_floor: the least any Qt Widgets viewer costs here.
    for (const Viewer &v : viewers) {
        if (!v.ours || v.name == "floor")
            continue;
        for (const auto &[label, dir] : sets) {
            auto &mine = all[label][v.name];
            for (const char *other : {"feh", "qimgv", "floor"}) {
                if (!all[label].count(other))
                    continue;
                auto &theirs = all[label][other];
                const double s = median(theirs.start) > 0 ? median(mine.start) / median(theirs.start) : -1;
                const double r = median(theirs.rapid) > 0 ? median(mine.rapid) / median(theirs.rapid) : -1;
                std::printf("  %s %s: start %s × %s's, stepping %s × %s's\n", v.name.c_str(), label.c_str(),
                            cell(s, 2).c_str(), other, cell(r, 2).c_str(), other);
            }
        }
    }
    // The targets, for each of our builds, when the sets carry the labels
    // bench/compare.sh gives them. A build named "base" is the one before.
    const auto has = [&](const std::string &set, const std::string &viewer) {
        return all.count(set) && all[set].count(viewer);
    };
    for (const Viewer &v : viewers) {
        if (!v.ours || v.name == "base" || v.name == "floor")
            continue;
        std::printf("\ntargets for %s:\n", v.name.c_str());
        auto check = [](const char *what, double value, double limit, bool atMost) {
            if (value < 0 || limit < 0)
                return;
            const bool met = atMost ? value <= limit : value >= limit;
            std::printf("  %-58s %7.2f %s %5.2f  %s\n", what, value, atMost ? "<=" : ">=", limit,
                        met ? "met" : "MISSED");
        };
        auto ratio = [](double a, double b) { return a > 0 && b > 0 ? a / b : -1.0; };
        auto rate = [&](const Figures &f) {
            const double m = median(f.rapid);
            return m > 0 ? steps * 1000.0 / m : -1.0;
        };
        // Ours against another viewer in the same run: start-up or 20 rapid steps.
        struct Ratio {
            const char *set, *other;
            bool rapid;
            double limit;
        };
        const Ratio ratios[] = {
            {"24 MP", "feh", false, 0.7},
            {"2 MP", "feh", false, 1.0},
            {"2 MP", "qimgv", true, 0.5},
            {"24 MP", "floor", false, 1.0},
            {"2 MP", "floor", false, 1.0},
            {"2 MP", "floor", true, 0.6},
            {"24 MP", "floor", true, 0.85},
        };
        for (const Ratio &r : ratios) {
            if (!has(r.set, v.name) || !has(r.set, r.other))
                continue;
            const Figures &ours = all[r.set][v.name], &other = all[r.set][r.other];
            const std::string what = std::string(r.set) + (r.rapid ? " rapid steps, time x " : " start, x ") +
                                     r.other + "'s";
            check(what.c_str(), ratio(median(r.rapid ? ours.rapid : ours.start),
                                      median(r.rapid ? other.rapid : other.start)),
                  r.limit, true);
        }
        if (has("2 MP", v.name))
            check("2 MP rapid steps, pictures per second", rate(all["2 MP"][v.name]), 60, false);
        if (has("24 MP", v.name))
            check("24 MP rapid steps, pictures per second", rate(all["24 MP"][v.name]), 9, false);
        for (const char *set : {"24 MP", "2 MP"}) {
            if (!has(set, v.name) || !has(set, "base"))
                continue;
            const std::string s = set;
            check((s + " human-pace step, ms, against base's").c_str(), median(all[s][v.name].human),
                  median(all[s]["base"].human), true);
            check((s + " peak memory, MB, against base's").c_str(), all[s][v.name].peak, all[s]["base"].peak,
                  true);
        }
    }
    std::printf("samples taken: %ld\n", screen.samples());
    return 0;
}
