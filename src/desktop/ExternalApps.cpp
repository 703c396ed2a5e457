#include "desktop/ExternalApps.h"

#include "common/Prompter.h"
#include "platform/Process.h"
#include "platform/SafeOpen.h"

#include <QFile>
#include <QFileInfo>

namespace
{

constexpr qint64 kMaxLauncherBytes = 1024 * 1024;

bool isLauncherPath(const QString &path)
{
    return path.endsWith(QStringLiteral(".desktop"), Qt::CaseInsensitive);
}

QString escapeAmpersands(QString text)
{
    return text.replace(u'&', QStringLiteral("&&"));
}

QString reasonText(const Process::StartResult &r)
{
    switch (r.error) {
    case Process::StartError::None:
        return {};
    case Process::StartError::NotFound:
        return QStringLiteral("プログラムが見つかりません。");
    case Process::StartError::NotExecutable:
        return QStringLiteral("プログラムを実行する権限がありません。");
    case Process::StartError::WorkingFolder:
        return QStringLiteral("作業フォルダがありません。\n") + r.detail;
    case Process::StartError::Other:
        break;
    }
    return QStringLiteral("起動に失敗しました。(") + r.detail + u')';
}

} // namespace

QString AppDisplayName(const QString &path)
{
    QString name = path;
    while (name.endsWith(u'/') && name.size() > 1)
        name.chop(1);
    name = name.mid(name.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot <= 0 || dot == name.size() - 1)
        return name;
    bool version = true;
    for (qsizetype i = dot + 1; i < name.size(); ++i)
        version = version && name.at(i).isDigit();
    return version ? name : name.left(dot);
}

AppEntry ReadAppEntry(const QString &path, const QString &locale)
{
    AppEntry e;
    e.path = path;
    e.caption = AppDisplayName(path);
    if (!isLauncherPath(path))
        return e;
    e.launcher = true;
    // A launcher is a few hundred bytes; a FIFO, a device or anything huge
    // named in the settings is not read at all.
    const SmallFile f = ReadSmallFile(path, kMaxLauncherBytes);
    if (!f.ok) {
        e.readable = false;
        return e;
    }
    e.desktop = ParseDesktopEntry(f.data, locale);
    if (!e.desktop.name.isEmpty())
        e.caption = e.desktop.name;
    return e;
}

QList<AppEntry> ReadAppEntries(const QStringList &appList)
{
    const QString locale = MessagesLocale();
    QList<AppEntry> apps;
    for (const QString &path : appList)
        apps << ReadAppEntry(path, locale);
    return apps;
}

QList<AppMenuItem> AppMenuModel(const QList<AppEntry> &apps, bool listActive)
{
    QList<AppMenuItem> items;
    for (int i = 0; i < apps.size(); ++i) {
        const QString caption = escapeAmpersands(apps.at(i).caption);
        items.append({QStringLiteral("app%1").arg(i), u'&' + caption, caption, i, listActive});
    }
    return items;
}

AppLaunch PrepareLaunch(const AppEntry &app, const QString &picturePath)
{
    AppLaunch l;
    // Programs find their own files beside them, as on the system they
    // were written for.
    // (a program that cannot be found keeps the picture's folder, so the
    // failure names the program).
    const QFileInfo own(QFileInfo(app.path).absolutePath());
    l.workingFolder = own.isDir() ? own.filePath() : QFileInfo(picturePath).absolutePath();
    if (!app.launcher) {
        l.program = app.path;
        l.arguments = {picturePath};
        return l;
    }
    const DesktopEntry &d = app.desktop;
    if (!app.readable)
        l.problem = QStringLiteral("起動ファイルを読み込めません。");
    else if (!d.found || (!d.type.isEmpty() && d.type != u"Application"))
        l.problem = QStringLiteral("起動ファイルがアプリケーションを指していません。");
    else if (d.exec.isEmpty())
        l.problem = QStringLiteral("起動ファイルに実行するコマンド (Exec) がありません。");
    if (!l.problem.isEmpty())
        return l;
    const auto argv = ExpandExec(d.exec, {picturePath, d.name, d.icon, app.path});
    if (!argv) {
        l.problem = QStringLiteral("起動ファイルのコマンド (Exec) を読み取れません。");
        return l;
    }
    l.program = argv->first();
    l.arguments = argv->mid(1);
    if (!d.path.isEmpty())
        l.workingFolder = d.path;
    return l;
}

bool RunApp(const AppEntry &app, const QString &picturePath, Prompter &prompter)
{
    if (picturePath.isEmpty()) {
        prompter.beep(); // nothing shown to start it on
        return false;
    }
    const AppLaunch l = PrepareLaunch(app, picturePath);
    QString reason = l.problem;
    if (reason.isEmpty())
        reason = reasonText(Process::startDetached(l.program, l.arguments, l.workingFolder));
    if (reason.isEmpty())
        return true;
    // Name both what the user configured and, for a launcher, what it runs.
    QString named = app.path;
    if (app.launcher && !l.program.isEmpty())
        named += QStringLiteral("\n(") + l.program + u')';
    prompter.beep();
    prompter.error(QStringLiteral("アプリケーション「") + app.caption +
                   QStringLiteral("」を起動できませんでした。\n") + named + u'\n' + reason);
    return false;
}
