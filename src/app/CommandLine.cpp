#include "app/CommandLine.h"

#include "common/ViewerState.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{

// Large enough for any real interval, small enough that seconds × 1000 fits an int.
constexpr double kMaxSeconds = 2147483.0;

void applyTime(const QString &value, OptionSettings &opt, const QLocale &locale)
{
    QLocale loc = locale;
    loc.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    double x = loc.toDouble(value, &ok);
    if (!ok || !std::isfinite(x)) {
        opt.Interval = 2;
        opt.IntervalM = 0;
        return;
    }
    x = std::clamp(x, -kMaxSeconds, kMaxSeconds);
    opt.Interval = int(std::trunc(x));
    // The fraction is truncated after scaling: 2.3 gives 299 ms, as the
    // binary value of 2.3 lies just below it.
    opt.IntervalM = int(std::trunc((x - opt.Interval) * 1000));
}

QString pathFromArgument(const QString &arg, const QString &currentDir)
{
    if (arg.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        const QUrl url(arg);
        if (url.isLocalFile())
            return ExpandLongPath(url.toLocalFile(), currentDir);
    }
    return ExpandLongPath(arg, currentDir);
}

} // namespace

std::optional<QString> MatchSwitch(const QString &name, const QString &argument)
{
    const int eq = argument.indexOf(u'=');
    if (eq < 0 || !argument.toLower().startsWith(name.toLower()))
        return std::nullopt;
    return argument.mid(eq + 1).toLower();
}

QString ExpandLongPath(const QString &path, const QString &currentDir)
{
    if (path.startsWith(u'/'))
        return QDir::cleanPath(path);
    // Joined by hand: QDir takes a name starting with ":" for one of Qt's
    // resources and would leave it relative.
    const QString base = currentDir.isEmpty() ? QDir::currentPath() : currentDir;
    return QDir::cleanPath(base + u'/' + path);
}

bool IsSwitchArgument(const QString &argument, const std::function<bool(const QString &)> &exists)
{
    if (!argument.startsWith(u'/'))
        return false;
    const int eq = argument.indexOf(u'=');
    const QString head = eq < 0 ? argument : argument.left(eq);
    if (head.indexOf(u'/', 1) >= 0)
        return false;
    return !exists(argument);
}

QStringList CommandLineResult::paths() const
{
    QStringList out;
    for (const CommandLineStep &s : steps) {
        if (s.kind == CommandLineStep::Kind::AddPath)
            out << s.path;
    }
    return out;
}

CommandLineResult ApplyCommandLine(const QStringList &args, ViewerState &state,
                                   const CommandLineEnvironment &env)
{
    const auto exists = env.exists ? env.exists : [](const QString &p) { return QFileInfo::exists(p); };
    Settings &set = state.settings;
    CommandLineResult result;
    // Each path and action happens as its argument is read, so a switch
    // later on the line does not change what an earlier one did.
    auto step = [&](CommandLineStep::Kind kind, QString path = {}) {
        result.steps.append({kind, std::move(path)});
        if (env.onStep)
            env.onStep(result.steps.constLast());
    };
    bool onlyPaths = false;
    for (const QString &arg : args) {
        if (arg.isEmpty())
            continue; // an empty token would otherwise stand for the current folder
        if (!onlyPaths && arg == QLatin1String("--")) {
            onlyPaths = true;
            continue;
        }
        if (onlyPaths || !IsSwitchArgument(arg, exists)) {
            step(CommandLineStep::Kind::AddPath, pathFromArgument(arg, env.currentDir));
            continue;
        }
        if (auto v = MatchSwitch(QStringLiteral("/Time"), arg)) {
            applyTime(*v, set.Option, env.locale);
        } else if (auto v = MatchSwitch(QStringLiteral("/Auto"), arg)) {
            if (*v == u"on")
                step(CommandLineStep::Kind::ToggleSlideshow);
        } else if (auto v = MatchSwitch(QStringLiteral("/Box"), arg)) {
            set.Tool.Show = *v == u"on";
        } else if (auto v = MatchSwitch(QStringLiteral("/Button"), arg)) {
            set.Option.Open = *v == u"on";
        } else if (auto v = MatchSwitch(QStringLiteral("/Zoom"), arg)) {
            set.Option.Zoom = *v == u"on";
        } else {
            state.ShortcutRun = true;
            if (auto full = MatchSwitch(QStringLiteral("/Full"), arg); full && *full == u"on") {
                state.ComMax = true;
                step(CommandLineStep::Kind::ToggleFullScreen);
            }
            if (auto rep = MatchSwitch(QStringLiteral("/Repeat"), arg))
                state.RepeatMode = *rep == u"on" ? 1 : *rep == u"off" ? 0 : -1;
        }
    }
    return result;
}

int QtArgumentCount(int argc, const char *const *argv)
{
    for (int i = 1; i < argc; ++i) {
        if (argv[i] && std::strcmp(argv[i], "--") == 0)
            return i;
    }
    return argc;
}

InfoRequest FindInfoRequest(const QStringList &args)
{
    for (const QString &a : args) {
        if (a == QLatin1String("--"))
            break;
        if (a == QLatin1String("--help"))
            return InfoRequest::Help;
        if (a == QLatin1String("--version"))
            return InfoRequest::Version;
    }
    return InfoRequest::None;
}

QString UsageText(const QString &programName)
{
    const QString p = programName.isEmpty() ? QStringLiteral("glimmerdeck") : programName;
    return QStringLiteral(
               "使い方: %1 [パス...] [/Time=秒] [/Auto=On] [/Box=On|Off] [/Button=On|Off]\n"
               "        [/Zoom=On|Off] [/Full=On|Off] [/Repeat=On|Off|Exit]\n"
               "画像ファイル、フォルダ、zip 書庫、リストファイルを開いて表示します。\n"
               "  /Time=秒         スライドショーの間隔 (例: 2.5)。数値でなければ 2 秒\n"
               "  /Auto=On         スライドショーを開始する (指定のたびに切り替え)\n"
               "  /Box=On|Off      ツールボックスを表示する／しない\n"
               "  /Button=On|Off   転送ボタンを使う／使わない\n"
               "  /Zoom=On|Off     小さい画像を拡大する／しない\n"
               "  /Full=On         フルスクリーンで開始する\n"
               "  /Repeat=On|Off|Exit  リストの最後で: 繰り返す／停止する／終了する\n"
               "  /Full、/Repeat などほかのスイッチを含む起動では、設定と履歴を保存しません。\n"
               "  --help           この説明を表示して終了する\n"
               "  --version        バージョンを表示して終了する\n"
               "\n"
               "Usage: %1 [PATH...] [/Time=SECONDS] [/Auto=On] [/Box=On|Off] [/Button=On|Off]\n"
               "       [/Zoom=On|Off] [/Full=On|Off] [/Repeat=On|Off|Exit]\n"
               "Opens picture files, folders, zip archives and list files and shows them.\n"
               "  /Time=SECONDS    slideshow interval (for example 2.5); 2 seconds if not a number\n"
               "  /Auto=On         start the slideshow (each occurrence toggles it)\n"
               "  /Box=On|Off      show or hide the tool box\n"
               "  /Button=On|Off   enable or disable the transfer buttons\n"
               "  /Zoom=On|Off     enlarge small pictures or not\n"
               "  /Full=On         start in full-screen view\n"
               "  /Repeat=On|Off|Exit  at the end of the list: start again, stop, or quit\n"
               "  A run with /Full, /Repeat or any other switch saves neither settings nor history.\n"
               "  Switch names and values ignore case.\n"
               "  An argument starting with \"/\" that names an existing file or folder, or has\n"
               "  another \"/\" before its \"=\", is a path. Arguments after \"--\" are paths.\n"
               "  --help           print this help and exit\n"
               "  --version        print the version and exit\n")
        .arg(p);
}

QString VersionOutput()
{
    return kAppTitle + QStringLiteral(" (Glimmerdeck) ") + kVersionText + QStringLiteral("\n");
}
