#include "lists/ShortcutFile.h"

#include "ScriptedPrompter.h"
#include "desktop/DesktopEntry.h"
#include "lists/ListFile.h"
#include "lists/ShortcutPlan.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

namespace
{
const QString kViewer = QStringLiteral(GD_BUILD_DIR "/glimmerdeck");

QString readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QString execLine(const QString &launcher)
{
    for (const QString &line : readAll(launcher).split(u'\n')) {
        if (line.startsWith(QStringLiteral("Exec=")))
            return line;
    }
    return {};
}

struct ShortcutFixture : ::testing::Test {
    QTemporaryDir tmp;
    QString app, desk, pics;
    ScriptedPrompter prompter;
    Settings settings;
    ShortcutPlaces places;

    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        app = tmp.filePath("app");
        desk = tmp.filePath("desk");
        pics = tmp.filePath(QStringLiteral("写真 trip"));
        for (const QString &d : {app, desk, pics})
            QDir().mkpath(d);
        places = {desk, tmp.filePath("docs"), tmp.filePath("pictures")};
    }
    // A history entry k whose first picture lies in `folder`.
    void history(int k, const QString &folder)
    {
        ASSERT_TRUE(
            writeListLines(app + QStringLiteral("/gd%1.lst").arg(k), {folder + "/a.png", folder + "/b.png"}));
    }
    ShortcutPlan::Request request(const QString &folder, const QString &name = {})
    {
        ShortcutPlan::Request r;
        r.folder = folder;
        r.name = name;
        r.choices = ShortcutChoices::fromSettings(settings.ShortCut);
        r.locale = QLocale::c();
        return r;
    }
    QString create(ShortcutPlan &plan, ShortcutPlan::Request r, std::function<QString()> pick = {})
    {
        return plan.create(r, settings, prompter, places, pick);
    }
    // Every file the user could find there; the lock that serialises
    // history writes between instances is not one of them.
    QStringList files(const QString &dir) const
    {
        QStringList names = QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
        names.removeAll(QStringLiteral(".glimmerdeck.lock"));
        return names;
    }
};
} // namespace

TEST(ShortcutFile, TimeHasTheFewestDigitsInTheLocaleFormat)
{
    const struct {
        int s, ms;
        const char *locale, *text;
    } cases[] = {{2, 0, "C", "2"},     {2, 500, "C", "2.5"},     {0, 100, "C", "0.1"},
                 {0, 500, "C", "0.5"}, {2, 299, "C", "2.299"},   {20, 900, "C", "20.9"},
                 {0, 0, "C", "0"},     {2, 500, "de_DE", "2,5"}, {1234, 0, "de_DE", "1234"}};
    for (const auto &c : cases)
        EXPECT_EQ(ShortcutTimeText(c.s, c.ms, QLocale(QString::fromLatin1(c.locale))), c.text)
            << c.s << " " << c.ms;
}

TEST(ShortcutFile, ExecArgumentsSurviveQuotingAndEscaping)
{
    const QStringList args = {QStringLiteral("/home/me/写真 trip"),
                              QStringLiteral("a\"b`c$d\\e"),
                              QStringLiteral("100%"),
                              QStringLiteral("it's (new) #1 & more; <x>|*?~"),
                              QStringLiteral("tab\there"),
                              QStringLiteral("/Time=2,5"),
                              QString()};
    const QString program = QStringLiteral("/opt/my apps/glimmerdeck");
    const QString line = DesktopExecLine(program, args);
    // The file holds the escaped form; reading undoes both layers.
    const QString stored = EscapeDesktopValue(line);
    EXPECT_FALSE(stored.contains(u'\t'));
    const DesktopEntry entry = ParseDesktopEntry("[Desktop Entry]\nExec=" + stored.toUtf8() + "\n", "C");
    EXPECT_EQ(ExpandExec(entry.exec, {}).value_or(QStringList()), QStringList{program} + args);
    // Plain switches stay bare; the target is always quoted; % is doubled.
    EXPECT_TRUE(line.endsWith(QStringLiteral(" /Time=2,5 \"\"")));
    EXPECT_TRUE(line.contains(QStringLiteral(" 100%% ")));
    EXPECT_EQ(DesktopExecArgument(QStringLiteral("/photos")), QStringLiteral("/photos"));
    EXPECT_EQ(DesktopExecArgument(QStringLiteral("/photos"), true), QStringLiteral("\"/photos\""));
    // Field codes of other launchers are dropped; an unclosed quote is refused.
    EXPECT_EQ(ExpandExec(QStringLiteral("viewer %F --x"), {}), (QStringList{"viewer", "--x"}));
    EXPECT_FALSE(ExpandExec(QStringLiteral("viewer \"open"), {}).has_value());
}

TEST_F(ShortcutFixture, ExecLineForAFolderWithTheDefaultChoices)
{
    ShortcutPlan plan(app, kViewer);
    ShortcutPlan::Request r = request(pics);
    r.choices.seconds = 2;
    r.choices.milliseconds = 500;
    const QString launcher = create(plan, r);
    ASSERT_EQ(launcher, desk + QStringLiteral("/写真 trip.desktop"));
    EXPECT_EQ(execLine(launcher),
              "Exec=" + kViewer + " \"" + pics +
                  "\" /Time=2.5 /Auto=On /Box=Off /Button=Off /Full=On /Zoom=On /Repeat=Exit");
    const QString text = readAll(launcher);
    EXPECT_TRUE(text.startsWith(QStringLiteral("[Desktop Entry]\nType=Application\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nName=写真 trip\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nComment=グリマーデックのショートカット作成\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nIcon=")));
    EXPECT_TRUE(QFileInfo(launcher).permissions() & QFileDevice::ExeOwner);

    // The choices are remembered only now that the launcher exists.
    EXPECT_EQ(settings.ShortCut.IntervalM, 500);
    EXPECT_EQ(settings.ShortCut.PictureFolder, pics);
    EXPECT_TRUE(prompter.allBoxes().isEmpty());

    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty())
        GTEST_SKIP() << "desktop-file-validate is not installed";
    QProcess v;
    v.start(validator, {launcher});
    ASSERT_TRUE(v.waitForFinished(30000));
    EXPECT_EQ(v.exitCode(), 0) << v.readAllStandardOutput().toStdString()
                               << v.readAllStandardError().toStdString();
}

TEST_F(ShortcutFixture, HistoryEntryGivesAUniqueListFileWrittenOnCreate)
{
    history(1, pics);
    history(3, tmp.filePath("other"));
    ShortcutPlan plan(app, kViewer);
    EXPECT_EQ(plan.loadHistory(), (QStringList{pics + "/", tmp.filePath("other") + "/"}));

    ShortcutPlan::Texts t = plan.chooseHistory(1, prompter);
    EXPECT_EQ(t.folder, pics + "/");
    EXPECT_EQ(t.name, QStringLiteral("写真 trip"));
    EXPECT_EQ(plan.toFileName(), app + QStringLiteral("/写真 trip.lst"));
    EXPECT_EQ(plan.fromFileName(), app + "/gd1.lst");

    QFile(plan.toFileName()).open(QIODevice::WriteOnly); // the name is taken
    t = plan.chooseHistory(1, prompter);
    EXPECT_EQ(t.name, QStringLiteral("写真 trip_[001]"));
    EXPECT_EQ(plan.toFileName(), app + QStringLiteral("/写真 trip_[001].lst"));
    EXPECT_FALSE(QFileInfo::exists(plan.toFileName())); // nothing written by choosing

    const QString launcher = create(plan, request(t.folder, t.name));
    ASSERT_FALSE(launcher.isEmpty());
    EXPECT_EQ(QFileInfo(launcher).fileName(), QStringLiteral("写真 trip_[001].desktop"));
    QStringList lines;
    ASSERT_TRUE(readListLines(app + QStringLiteral("/写真 trip_[001].lst"), lines));
    EXPECT_EQ(lines, (QStringList{kListHeader, pics + "/a.png", pics + "/b.png"}));
    EXPECT_TRUE(execLine(launcher).contains(" \"" + app + QStringLiteral("/写真 trip_[001].lst\" /Time=")));

    // A folder chosen afterwards replaces the history list as the target.
    t = plan.chooseFolder(pics);
    EXPECT_EQ(plan.pNo(), -1);
    EXPECT_TRUE(plan.toFileName().isEmpty());
}

TEST_F(ShortcutFixture, UniqueNameGivesUpWithAMessage)
{
    const auto always = [](const QString &) { return true; };
    EXPECT_TRUE(UniqueFileName("/x/a.lst", prompter, always, 5).isEmpty());
    EXPECT_EQ(prompter.errors, QStringList{kNumberingErrorText});
    const QStringList taken = {"/x/a.b.lst", "/x/a.b_[001].lst"};
    EXPECT_EQ(UniqueFileName("/x/a.b.lst", prompter, [&](const QString &p) { return taken.contains(p); }),
              "/x/a.b_[002].lst");
}

TEST_F(ShortcutFixture, StoppedAttemptsLeaveNoListFileBehind)
{
    history(1, pics);
    ShortcutPlan plan(app, kViewer);
    plan.loadHistory();
    const ShortcutPlan::Texts t = plan.chooseHistory(1, prompter);
    const QString list = plan.toFileName();

    // Folder box not a folder.
    EXPECT_TRUE(create(plan, request(tmp.filePath("gone"), t.name)).isEmpty());
    EXPECT_EQ(prompter.errors, QStringList{kBadFolderText});
    EXPECT_EQ(prompter.beeps, 1);
    // "/" in the name would write elsewhere.
    EXPECT_TRUE(create(plan, request(t.folder, "../escape")).isEmpty());
    EXPECT_EQ(prompter.errors.last(), kSlashInNameText);
    // The place picker cancelled: a beep and nothing else.
    ShortcutPlan::Request r = request(t.folder, t.name);
    r.place = PlaceComputer;
    EXPECT_TRUE(create(plan, r, [] { return QString(); }).isEmpty());
    EXPECT_EQ(prompter.beeps, 2);
    // Overwrite refused.
    QFile old(desk + "/keep.desktop");
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    prompter.answer = false;
    EXPECT_TRUE(create(plan, request(t.folder, "keep")).isEmpty());
    EXPECT_EQ(prompter.questions, QStringList{kOverwriteQuestion});
    EXPECT_EQ(readAll(desk + "/keep.desktop"), "old");
    // The launcher cannot be written (a folder holds its name): the list
    // file made for it goes again.
    prompter.answer = true;
    QDir(desk).mkdir("blocked.desktop");
    EXPECT_TRUE(create(plan, request(t.folder, "blocked")).isEmpty());
    EXPECT_EQ(prompter.errors.last(), kCreateFailedText);

    EXPECT_FALSE(QFileInfo::exists(list));
    EXPECT_EQ(files(app), QStringList{"gd1.lst"});
    EXPECT_EQ(settings.ShortCut.PictureFolder, QString()); // nothing remembered
}

TEST_F(ShortcutFixture, NamesAreCleanedAndPlacesResolved)
{
    ShortcutPlan plan(app, kViewer);
    // Control characters go, blanks are trimmed, and a blank name becomes
    // the folder's name.
    ShortcutPlan::Request r = request(pics, QStringLiteral(" \tmy\x01 show\n "));
    EXPECT_EQ(QFileInfo(plan.create(r, settings, prompter, places, {})).fileName(), "my show.desktop");
    EXPECT_EQ(r.name, "my show");
    r = request(pics + "/", "   ");
    EXPECT_EQ(QFileInfo(create(plan, r)).fileName(), QStringLiteral("写真 trip.desktop"));

    // "Computer": the launcher goes beside the folder picked.
    QDir().mkpath(tmp.filePath("drive/links"));
    r = request(pics, "pc");
    r.place = PlaceComputer;
    EXPECT_EQ(create(plan, r, [&] { return tmp.filePath("drive/links"); }), tmp.filePath("drive/pc.desktop"));
    EXPECT_EQ(settings.ShortCut.MakePlace, PlaceComputer);
    // A place folder that does not exist: a beep, no message.
    r = request(pics, "docs");
    r.place = PlaceDocuments;
    EXPECT_TRUE(create(plan, r).isEmpty());
    EXPECT_EQ(prompter.beeps, 1);
    EXPECT_TRUE(prompter.allBoxes().isEmpty());
}

TEST_F(ShortcutFixture, SampleRunStartsTheViewerWithTheSwitches)
{
    if (!QFileInfo(kViewer).isExecutable())
        GTEST_SKIP() << "the viewer is not built";
    for (const char *name : {"a.png", "b.png"}) {
        QImage img(8, 8, QImage::Format_RGB32);
        img.fill(Qt::red);
        ASSERT_TRUE(img.save(pics + "/" + name));
    }
    // A show that ends the viewer after one round: proof that it read them.
    ShortcutPlan plan(app, kViewer);
    ShortcutPlan::Request r = request(pics);
    r.choices.seconds = 0;
    r.choices.milliseconds = 200;
    r.choices.repeat = -1;
    const QString launcher = create(plan, r);
    ASSERT_FALSE(launcher.isEmpty());

    const QString home = tmp.filePath("home");
    QDir().mkpath(home);
    qputenv("GLIMMERDECK_HOME", home.toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qint64 pid = 0;
    const bool started = RunShortcutSample(launcher, prompter, &pid);
    qunsetenv("GLIMMERDECK_HOME");
    ASSERT_TRUE(started) << prompter.errors.join(' ').toStdString();
    EXPECT_EQ(prompter.plains, QStringList{kSampleRunText});

    const QString proc = QStringLiteral("/proc/%1/").arg(pid);
    QFile cmdline(proc + "cmdline");
    if (cmdline.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> argv = cmdline.readAll().split('\0');
        if (argv.size() > 2) { // still running
            EXPECT_EQ(QString::fromLocal8Bit(argv.at(1)), pics);
            EXPECT_EQ(argv.at(2), "/Time=0.2");
        }
    }
    // The viewer ends itself after the last picture (gone or a zombie).
    const auto running = [&] {
        QFile stat(proc + "stat");
        return stat.open(QIODevice::ReadOnly) && !stat.readAll().contains(") Z ");
    };
    for (int i = 0; i < 300 && running(); ++i)
        QThread::msleep(100);
    if (running()) {
        ::kill(pid_t(pid), SIGKILL);
        FAIL() << "the viewer did not end its shortcut run";
    }
    // A shortcut run saves no settings.
    EXPECT_TRUE(QDir(home).entryList({"*.ini"}, QDir::Files).isEmpty());
}

TEST_F(ShortcutFixture, SampleRunReportsAFailureToStart)
{
    QFile bad(desk + "/bad.desktop");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("[Desktop Entry]\nType=Application\nExec=" + QFile::encodeName(tmp.filePath("no-such-viewer")) +
              "\n");
    bad.close();
    EXPECT_FALSE(RunShortcutSample(desk + "/bad.desktop", prompter));
    EXPECT_EQ(prompter.errors, QStringList{kSampleFailedText});
    EXPECT_EQ(prompter.errorCaptions, QStringList{kSampleFailedCaption});
}
