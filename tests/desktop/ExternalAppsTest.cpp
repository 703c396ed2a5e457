#include "desktop/ExternalApps.h"

#include "ScriptedPrompter.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace
{

void writeFile(const QString &path, const QByteArray &content, bool executable = false)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(content);
    f.close();
    if (executable)
        f.setPermissions(f.permissions() | QFile::ExeOwner | QFile::ExeUser);
}

// The started program runs on its own; wait for what it leaves behind.
QStringList waitForLines(const QString &path)
{
    QDeadlineTimer deadline(10000);
    while (!QFileInfo::exists(path) && !deadline.hasExpired())
        QThread::msleep(20);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// A program that records its working folder and arguments, one a line,
// in "out.txt" beside itself (written whole, then renamed into place).
const QByteArray kRecorder = "#!/bin/sh\n"
                             "out=\"$(dirname \"$0\")/out.txt\"\n"
                             "{ pwd -P; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > \"$out.tmp\"\n"
                             "mv \"$out.tmp\" \"$out\"\n";

} // namespace

TEST(ExternalApps, DisplayNameIsTheProgramsOwnName)
{
    const std::pair<const char *, const char *> cases[] = {
        {"/usr/bin/gimp", "gimp"},           // no extension at all
        {"/opt/my.tools/viewer", "viewer"},  // a dot in a folder name
        {"/opt/my.tools/view.sh", "view"},   //
        {"/usr/bin/gimp-2.10", "gimp-2.10"}, // a version is no extension
        {"/apps/Krita-5.2.2-x86_64.AppImage", "Krita-5.2.2-x86_64"},
        {"/home/me/bin/.hidden", ".hidden"},          // never cut to nothing
        {"/home/me/bin/写真ツール.py", "写真ツール"}, //
        {"viewer", "viewer"},                         // a name looked up on PATH
    };
    for (const auto &[path, name] : cases)
        EXPECT_EQ(AppDisplayName(QString::fromUtf8(path)), QString::fromUtf8(name)) << path;
}

TEST(ExternalApps, MenusFollowTheListAndShowAmpersandsAsWritten)
{
    QTemporaryDir dir;
    const QString launcher = dir.filePath("r.and.d.desktop");
    writeFile(launcher,
              "[Desktop Entry]\nType=Application\nName=R&D 写真\nName[ja]=研究 & 写真\nExec=rd %f\n");
    writeFile(dir.filePath("noname.desktop"), "[Desktop Entry]\nExec=x %f\n");
    const QList<AppEntry> apps{ReadAppEntry("/usr/bin/gimp", "C"), ReadAppEntry(launcher, "ja_JP.UTF-8"),
                               ReadAppEntry(dir.filePath("noname.desktop"), "C"),
                               ReadAppEntry(dir.filePath("missing.desktop"), "C")};
    EXPECT_EQ(apps[2].caption, "noname");
    EXPECT_EQ(apps[3].caption, "missing");
    EXPECT_FALSE(apps[3].readable);

    const QList<AppMenuItem> on = AppMenuModel(apps, true);
    ASSERT_EQ(on.size(), 4);
    EXPECT_EQ(on[0], (AppMenuItem{"app0", "&gimp", "gimp", 0, true}));
    EXPECT_EQ(on[1], (AppMenuItem{"app1", "&研究 && 写真", "研究 && 写真", 1, true}));
    EXPECT_EQ(on[3].id, "app3");
    for (const AppMenuItem &item : AppMenuModel(apps, false))
        EXPECT_FALSE(item.enabled);
    EXPECT_TRUE(AppMenuModel({}, true).isEmpty());
}

TEST(ExternalApps, ProgramGetsThePictureAsOneArgumentInItsOwnFolder)
{
    QTemporaryDir dir;
    const QString program = dir.filePath("アプリ フォルダ/record args.sh");
    writeFile(program, kRecorder, true);
    const QString picture = dir.filePath("写真 フォルダ/夏の 海 \"1\".jpg");
    writeFile(picture, "not really a picture");
    const QString programFolder = QFileInfo(QFileInfo(program).absolutePath()).canonicalFilePath();
    const QString here = QDir::currentPath();

    ScriptedPrompter prompter;
    ASSERT_TRUE(RunApp(ReadAppEntry(program), picture, prompter));
    EXPECT_EQ(waitForLines(QFileInfo(program).absolutePath() + "/out.txt"),
              QStringList({programFolder, picture}));
    EXPECT_TRUE(prompter.errors.isEmpty());
    EXPECT_EQ(QDir::currentPath(), here); // our own folder is left alone
}

TEST(ExternalApps, LauncherRunsItsExecLineWithThePicture)
{
    QTemporaryDir dir;
    const QString program = dir.filePath("bin dir/record args.sh");
    writeFile(program, kRecorder, true);
    const QString launcher = dir.filePath("写真ビューア.desktop");
    QString exec = program;
    exec.replace(" ", "\\s"); // written with the general escape, quoted below
    writeFile(launcher, ("[Desktop Entry]\nType=Application\nName=記録\nExec=\"" + exec +
                         "\" --title=%c --zoom=50%% %U\n")
                            .toUtf8());
    const QString picture = dir.filePath("写真 フォルダ/a b.jpg");
    writeFile(picture, "x");
    const QString here = QDir::currentPath();

    ScriptedPrompter prompter;
    const AppEntry app = ReadAppEntry(launcher);
    EXPECT_EQ(app.caption, "記録");
    ASSERT_TRUE(RunApp(app, picture, prompter));
    const QStringList lines = waitForLines(QFileInfo(program).absolutePath() + "/out.txt");
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines.mid(1), QStringList({"--title=記録", "--zoom=50%", picture}));
    EXPECT_EQ(QDir::currentPath(), here);
}

TEST(ExternalApps, ProgramThatCannotStartIsNamedInTheError)
{
    QTemporaryDir dir;
    const QString picture = dir.filePath("p.jpg");
    writeFile(picture, "x");
    const QString notExecutable = dir.filePath("plain.sh");
    writeFile(notExecutable, kRecorder, false);
    const QString launcher = dir.filePath("gone.desktop");
    writeFile(launcher, "[Desktop Entry]\nType=Application\nName=Gone\nExec=/no/such/viewer --x %f\n");
    const QString link = dir.filePath("link.desktop");
    writeFile(link, "[Desktop Entry]\nType=Link\nName=Web\nURL=https://example.org/\n");

    struct Case {
        QString app;
        QStringList mustMention;
    };
    const Case cases[] = {
        {"/no/such/folder/viewer", {"「viewer」", "/no/such/folder/viewer", "プログラムが見つかりません。"}},
        {"no-such-program-on-path-xyz", {"no-such-program-on-path-xyz", "プログラムが見つかりません。"}},
        {notExecutable, {notExecutable, "プログラムを実行する権限がありません。"}},
        {dir.path(), {dir.path(), "プログラムを実行する権限がありません。"}},
        {launcher, {"「Gone」", launcher, "/no/such/viewer", "プログラムが見つかりません。"}},
        {link, {"「Web」", "アプリケーションを指していません"}},
        {dir.filePath("missing.desktop"), {"missing.desktop", "読み込めません"}},
    };
    for (const Case &c : cases) {
        ScriptedPrompter prompter;
        EXPECT_FALSE(RunApp(ReadAppEntry(c.app), picture, prompter)) << c.app.toStdString();
        ASSERT_EQ(prompter.errors.size(), 1) << c.app.toStdString();
        EXPECT_EQ(prompter.beeps, 1);
        EXPECT_TRUE(prompter.errors[0].startsWith("アプリケーション「")) << prompter.errors[0].toStdString();
        for (const QString &part : c.mustMention)
            EXPECT_TRUE(prompter.errors[0].contains(part)) << prompter.errors[0].toStdString();
    }

    // The picture's folder vanished meanwhile: the program still starts in
    // its own folder.
    ScriptedPrompter prompter;
    EXPECT_TRUE(RunApp(ReadAppEntry("/bin/true"), dir.filePath("gone/p.jpg"), prompter));
    EXPECT_TRUE(prompter.errors.isEmpty());

    // Nothing shown: nothing to start it on.
    ScriptedPrompter idle;
    EXPECT_FALSE(RunApp(ReadAppEntry("/bin/true"), QString(), idle));
    EXPECT_EQ(idle.beeps, 1);
    EXPECT_TRUE(idle.errors.isEmpty());
}
