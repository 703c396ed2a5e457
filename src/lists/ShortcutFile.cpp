#include "lists/ShortcutFile.h"

#include "common/Prompter.h"
#include "desktop/DesktopEntry.h"
#include "platform/Process.h"
#include "platform/SafeOpen.h"
#include "settings/Settings.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace
{
QString onOff(bool on)
{
    return on ? QStringLiteral("On") : QStringLiteral("Off");
}

// Characters that make an Exec argument need quotes.
bool isReserved(QChar c)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    return reserved.contains(c);
}

bool startSample(const QStringList &command, const QString &workingDir, qint64 *pid)
{
    const Process::StartResult r = Process::startDetached(command.first(), command.mid(1), workingDir);
    if (pid)
        *pid = r.pid;
    return r.ok();
}
} // namespace

ShortcutChoices ShortcutChoices::fromSettings(const ShortCutSettings &s)
{
    ShortcutChoices c;
    c.seconds = s.Interval;
    c.milliseconds = s.IntervalM;
    c.autoStart = s.Auto;
    c.box = s.Box;
    c.button = s.Button;
    c.full = s.Full;
    c.zoom = s.Zoom;
    c.repeat = s.Repeat;
    return c;
}

void ShortcutChoices::storeInto(ShortCutSettings &s) const
{
    s.Interval = seconds;
    s.IntervalM = milliseconds;
    s.Auto = autoStart;
    s.Box = box;
    s.Button = button;
    s.Full = full;
    s.Zoom = zoom;
    s.Repeat = repeat == 1 ? 1 : repeat == 0 ? 0 : -1;
}

QString ShortcutTimeText(int seconds, int milliseconds, const QLocale &locale)
{
    // Whole milliseconds over 1000 give the nearest double, so 2 s 299 ms
    // prints as 2.299 and not with a tail of binary noise.
    const double s = double(qint64(seconds) * 1000 + milliseconds) / 1000.0;
    QLocale loc = locale;
    loc.setNumberOptions(QLocale::OmitGroupSeparator);
    return loc.toString(s, 'f', QLocale::FloatingPointShortest);
}

QStringList ShortcutArguments(const QString &target, const ShortcutChoices &c, const QLocale &locale)
{
    const QString repeat = c.repeat == 1   ? QStringLiteral("On")
                           : c.repeat == 0 ? QStringLiteral("Off")
                                           : QStringLiteral("Exit");
    return {target,
            QStringLiteral("/Time=") + ShortcutTimeText(c.seconds, c.milliseconds, locale),
            QStringLiteral("/Auto=") + onOff(c.autoStart),
            QStringLiteral("/Box=") + onOff(c.box),
            QStringLiteral("/Button=") + onOff(c.button),
            QStringLiteral("/Full=") + onOff(c.full),
            QStringLiteral("/Zoom=") + onOff(c.zoom),
            QStringLiteral("/Repeat=") + repeat};
}

QString DesktopExecArgument(const QString &arg, bool forceQuotes)
{
    bool quote = forceQuotes || arg.isEmpty();
    for (QChar c : arg)
        quote = quote || isReserved(c);
    QString out;
    if (quote)
        out += u'"';
    for (QChar c : arg) {
        if (c == u'%')
            out += u'%';
        else if (quote && (c == u'"' || c == u'`' || c == u'$' || c == u'\\'))
            out += u'\\';
        out += c;
    }
    if (quote)
        out += u'"';
    return out;
}

QString DesktopExecLine(const QString &program, const QStringList &args)
{
    QString line = DesktopExecArgument(program);
    for (qsizetype i = 0; i < args.size(); ++i)
        line += u' ' + DesktopExecArgument(args.at(i), i == 0);
    return line;
}

QString EscapeDesktopValue(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (QChar c : value) {
        switch (c.unicode()) {
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        case '\r':
            out += QStringLiteral("\\r");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString LauncherIcon(const QString &viewerPath)
{
    const QString beside = QFileInfo(viewerPath).absolutePath() + QStringLiteral("/glimmerdeck.svg");
    return QFileInfo(beside).isFile() ? beside : QStringLiteral("glimmerdeck");
}

QString LauncherText(const LauncherEntry &e)
{
    QString t = QStringLiteral("[Desktop Entry]\n"
                               "Type=Application\n"
                               "Version=1.0\n");
    t += QStringLiteral("Name=") + EscapeDesktopValue(e.name) + u'\n';
    t += QStringLiteral("Comment=") + EscapeDesktopValue(kLauncherComment) + u'\n';
    t += QStringLiteral("Exec=") + EscapeDesktopValue(DesktopExecLine(e.program, e.args)) + u'\n';
    if (!e.workingDir.isEmpty())
        t += QStringLiteral("Path=") + EscapeDesktopValue(e.workingDir) + u'\n';
    if (!e.icon.isEmpty())
        t += QStringLiteral("Icon=") + EscapeDesktopValue(e.icon) + u'\n';
    t += QStringLiteral("Terminal=false\n");
    return t;
}

bool writeLauncherFile(const QString &path, const LauncherEntry &entry)
{
    const QByteArray bytes = LauncherText(entry).toUtf8();
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    // Executable like "chmod +x": wherever the file may be read.
    QFileDevice::Permissions p = f.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser;
    if (p & QFileDevice::ReadGroup)
        p |= QFileDevice::ExeGroup;
    if (p & QFileDevice::ReadOther)
        p |= QFileDevice::ExeOther;
    if (f.write(bytes) != bytes.size() || !f.setPermissions(p)) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

void markLauncherTrusted(const QString &path)
{
    // File managers that refuse to start untrusted launchers read this
    // flag; elsewhere it is harmless, and without gio there is no such
    // desktop to satisfy.
    Process::startToolIfInstalled(
        QStringLiteral("gio"),
        {QStringLiteral("set"), path, QStringLiteral("metadata::trusted"), QStringLiteral("true")});
}

bool readLauncherCommand(const QString &path, QStringList &command, QString &workingDir)
{
    command.clear();
    workingDir.clear();
    // A launcher is a few hundred bytes; anything huge (or a FIFO, or a
    // device) is not ours and is not read.
    const SmallFile f = ReadSmallFile(path, 1024 * 1024);
    if (!f.ok)
        return false;
    const DesktopEntry entry = ParseDesktopEntry(f.data, MessagesLocale());
    if (!entry.found)
        return false;
    command = ExpandExec(entry.exec, ExecFields{}).value_or(QStringList());
    workingDir = entry.path;
    return !command.isEmpty();
}

bool RunShortcutSample(const QString &launcherPath, Prompter &prompter, qint64 *pid)
{
    prompter.plain(kSampleRunText);
    QStringList command;
    QString workingDir;
    if (!readLauncherCommand(launcherPath, command, workingDir) || !startSample(command, workingDir, pid)) {
        prompter.captionedError(kSampleFailedCaption, kSampleFailedText);
        return false;
    }
    return true;
}
