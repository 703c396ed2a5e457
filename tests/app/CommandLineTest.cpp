#include "app/CommandLine.h"

#include "common/ViewerState.h"

#include <functional>
#include <gtest/gtest.h>

namespace
{

using K = CommandLineStep::Kind;

ViewerState baseline()
{
    ViewerState s;
    s.settings.Option.Interval = 5;
    s.settings.Option.IntervalM = 7;
    s.settings.Option.Open = true;
    s.settings.Option.Zoom = false;
    s.settings.Tool.Show = true;
    s.RepeatMode = 1;
    return s;
}

void expectSame(const ViewerState &got, const ViewerState &want, const char *what)
{
    EXPECT_EQ(got.settings.Option.Interval, want.settings.Option.Interval) << what;
    EXPECT_EQ(got.settings.Option.IntervalM, want.settings.Option.IntervalM) << what;
    EXPECT_EQ(got.settings.Option.Open, want.settings.Option.Open) << what;
    EXPECT_EQ(got.settings.Option.Zoom, want.settings.Option.Zoom) << what;
    EXPECT_EQ(got.settings.Tool.Show, want.settings.Tool.Show) << what;
    EXPECT_EQ(got.ShortcutRun, want.ShortcutRun) << what;
    EXPECT_EQ(got.RepeatMode, want.RepeatMode) << what;
    EXPECT_EQ(got.ComMax, want.ComMax) << what;
}

} // namespace

TEST(CommandLine, AppliesSwitchesAndPathsInOrder)
{
    struct Case {
        const char *what;
        QStringList args;
        std::function<void(ViewerState &)> change;
        QList<CommandLineStep> steps;
        QLocale locale = QLocale::c();
    };
    const auto none = [](ViewerState &) {};
    const auto time = [](int s, int ms) {
        return [=](ViewerState &v) {
            v.settings.Option.Interval = s;
            v.settings.Option.IntervalM = ms;
        };
    };
    const auto shortcut = [](ViewerState &v) { v.ShortcutRun = true; };
    const Case cases[] = {
        {"time, any case", {"/TIME=1.5"}, time(1, 500), {}},
        {"time not a number", {"/Time=abc"}, time(2, 0), {}},
        {"time fraction truncated after scaling", {"/Time=2.3"}, time(2, 299), {}},
        {"time by prefix", {"/timer=5"}, time(5, 0), {}},
        {"time empty", {"/Time="}, time(2, 0), {}},
        {"time with the locale's comma", {"/Time=2,5"}, time(2, 500), {}, QLocale(QLocale::German)},
        {"comma is not a decimal point here", {"/Time=2,5"}, time(2, 0), {}},
        {"time far too large is clamped", {"/Time=1e30"}, time(2147483, 0), {}},
        {"box: only on shows", {"/Box=yes"}, [](ViewerState &v) { v.settings.Tool.Show = false; }, {}},
        {"box on", {"/Box=ON"}, none, {}},
        {"button off", {"/Button=off"}, [](ViewerState &v) { v.settings.Option.Open = false; }, {}},
        {"zoom on", {"/Zoom=On"}, [](ViewerState &v) { v.settings.Option.Zoom = true; }, {}},
        {"auto twice toggles twice",
         {"/Auto=on", "/AUTO=ON"},
         none,
         {{K::ToggleSlideshow, {}}, {K::ToggleSlideshow, {}}}},
        {"auto off does nothing", {"/Auto=off"}, none, {}},
        {"unknown switch", {"/x=1"}, shortcut, {}},
        {"switch without value", {"/Auto"}, shortcut, {}},
        {"repeat other value quits",
         {"/Repeat=maybe"},
         [](ViewerState &v) {
             v.ShortcutRun = true;
             v.RepeatMode = -1;
         },
         {}},
        {"repeat off",
         {"/Repeat=OFF"},
         [](ViewerState &v) {
             v.ShortcutRun = true;
             v.RepeatMode = 0;
         },
         {}},
        {"full on",
         {"/Full=On"},
         [](ViewerState &v) {
             v.ShortcutRun = true;
             v.ComMax = true;
         },
         {{K::ToggleFullScreen, {}}}},
        {"full off", {"/Full=off"}, shortcut, {}},
        {"absolute path is not a switch", {"/home/me/pics"}, none, {{K::AddPath, "/home/me/pics"}}},
        {"existing top-level folder is a path", {"/srv"}, none, {{K::AddPath, "/srv"}}},
        {"missing top-level name is a switch", {"/nothere"}, shortcut, {}},
        {"slash after = stays a switch", {"/Time=2/3"}, time(2, 0), {}},
        {"relative path made absolute and clean", {"a/../b.jpg"}, none, {{K::AddPath, "/data/x/b.jpg"}}},
        {"file URL", {"file:///tmp/a%20b.jpg"}, none, {{K::AddPath, "/tmp/a b.jpg"}}},
        {"empty argument skipped", {""}, none, {}},
        {"after -- everything is a path", {"--", "/Time=3"}, none, {{K::AddPath, "/Time=3"}}},
        {"order kept",
         {"a.jpg", "/Full=on", "/pics/b", "/Auto=on"},
         [](ViewerState &v) {
             v.ShortcutRun = true;
             v.ComMax = true;
         },
         {{K::AddPath, "/data/x/a.jpg"},
          {K::ToggleFullScreen, {}},
          {K::AddPath, "/pics/b"},
          {K::ToggleSlideshow, {}}}},
    };
    for (const Case &c : cases) {
        CommandLineEnvironment env;
        env.locale = c.locale;
        env.currentDir = QStringLiteral("/data/x");
        env.exists = [](const QString &p) { return p == QLatin1String("/srv"); };
        ViewerState got = baseline(), want = baseline();
        c.change(want);
        const CommandLineResult r = ApplyCommandLine(c.args, got, env);
        expectSame(got, want, c.what);
        EXPECT_EQ(r.steps, c.steps) << c.what;
    }
}

TEST(CommandLine, MatchSwitchIsPrefixWithLowerCasedValue)
{
    EXPECT_EQ(MatchSwitch("/Time", "/timer=5"), QString("5"));
    EXPECT_EQ(MatchSwitch("/Auto", "/AUTO=On=x"), QString("on=x")); // value after the first "="
    EXPECT_EQ(MatchSwitch("/Auto", "/Auto"), std::nullopt);         // no "="
    EXPECT_EQ(MatchSwitch("/Auto", "/Au=on"), std::nullopt);        // shorter than the name
}

TEST(CommandLine, ExpandLongPathIsAbsoluteAndClean)
{
    EXPECT_EQ(ExpandLongPath("/a/b/../c/./d/", "/x"), QString("/a/c/d"));
    EXPECT_EQ(ExpandLongPath("p.jpg", "/x/y"), QString("/x/y/p.jpg"));
    EXPECT_EQ(ExpandLongPath("/", "/x"), QString("/"));
    // A name starting with ":" is a file like any other, not one of Qt's
    // resources (found by fuzzing: it stayed relative).
    EXPECT_EQ(ExpandLongPath(":", "/x"), QString("/x/:"));
    EXPECT_EQ(ExpandLongPath(":photo.jpg", "/x/y/"), QString("/x/y/:photo.jpg"));
    ViewerState state;
    CommandLineEnvironment env;
    env.exists = [](const QString &) { return false; };
    env.currentDir = "/cwd";
    EXPECT_EQ(ApplyCommandLine({"", ":"}, state, env).paths(), QStringList{"/cwd/:"});
}

TEST(CommandLine, HelpAndVersion)
{
    EXPECT_EQ(FindInfoRequest({"a.jpg", "--help"}), InfoRequest::Help);
    EXPECT_EQ(FindInfoRequest({"--version"}), InfoRequest::Version);
    EXPECT_EQ(FindInfoRequest({"--", "--help"}), InfoRequest::None);
    EXPECT_EQ(FindInfoRequest({"/Time=2"}), InfoRequest::None);
    const QString usage = UsageText("glimmerdeck");
    EXPECT_TRUE(usage.contains(QStringLiteral("使い方: glimmerdeck")));
    EXPECT_TRUE(usage.contains(QStringLiteral("Usage: glimmerdeck")));
    EXPECT_TRUE(VersionOutput().contains(kVersionText));
}

TEST(CommandLine, QtSeesOnlyWhatComesBeforeTheDoubleDash)
{
    struct Case {
        std::vector<const char *> argv;
        int count;
    } cases[] = {
        {{"gd"}, 1},
        {{"gd", "-platform", "offscreen", "/a.jpg"}, 4},
        {{"gd", "--", "-platform", "x"}, 1},
        {{"gd", "-style", "fusion", "--", "-platform", "--"}, 3},
        {{"gd", "a.jpg", "--"}, 2},
    };
    for (const Case &c : cases)
        EXPECT_EQ(QtArgumentCount(int(c.argv.size()), c.argv.data()), c.count) << c.argv.size();
}
