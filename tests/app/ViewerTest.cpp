// The viewer without windows: a recording surface and host stand in for them.
#include "app/Viewer.h"

#include "ScriptedPrompter.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>
#include <zip.h>

namespace
{
struct RecordingTarget : DisplayTarget {
    QList<Frame> frames;
    int clears = 0, blanks = 0;
    QSize surfaceSize() const override { return QSize(640, 480); }
    qreal surfacePixelRatio() const override { return 1.0; }
    QSize errorTextSize() const override { return QSize(64, 16); }
    void paintFrame(const Frame &f, const LabelStyle &) override { frames << f; }
    void blankFrame() override { ++blanks; }
    void clearFrame() override { ++clears; }
    void updateLabel(const LabelStyle &) override {}
    void showName(const QString &, const LabelStyle &) override {}
    QString lastLeft() const
    {
        return frames.isEmpty() ? QString() : QFileInfo(frames.last().pages[0].path).fileName();
    }
};

struct RecordingHost : ViewerHost {
    QString caption;
    int commandUpdates = 0, closes = 0;
    RecordingTarget full;
    bool fullOpen = false;
    void setCaption(const QString &c) override { caption = c; }
    void commandsChanged() override { ++commandUpdates; }
    void historyChanged(const QStringList &) override {}
    DisplayTarget *setFullScreen(bool on) override
    {
        fullOpen = on;
        return on ? &full : nullptr;
    }
    void requestClose() override { ++closes; }
    void restoreGeometry() override {}
    bool windowVisible() const override { return true; }
    void hideWindow() override {}
};

class ViewerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home_.isValid());
        ASSERT_TRUE(pics_.isValid());
        for (int i = 0; i < 5; ++i) {
            QImage img(40, 30, QImage::Format_RGB32);
            img.fill(QColor::fromHsv(i * 60, 200, 200));
            ASSERT_TRUE(img.save(pics_.filePath(QStringLiteral("p%1.png").arg(i))));
        }
        viewer_ = std::make_unique<Viewer>(
            ViewerFolders{home_.path(), home_.filePath(QStringLiteral("glimmerdeck.ini")), {}, {}}, prompter_,
            host_);
        viewer_->display().setMainTarget(&target_);
        viewer_->startUp().startServices();
    }
    void open() { viewer_->open(viewer_->listOps().openFolder(pics_.path())); }

    QTemporaryDir home_, pics_;
    ScriptedPrompter prompter_;
    RecordingHost host_;
    RecordingTarget target_;
    std::unique_ptr<Viewer> viewer_;
};
} // namespace

TEST_F(ViewerTest, OpeningAFolderShowsItsFirstPictureOnce)
{
    open();
    ASSERT_EQ(target_.frames.size(), 1);
    EXPECT_EQ(target_.lastLeft(), QStringLiteral("p0.png"));
    EXPECT_TRUE(viewer_->state().ListActive);
    EXPECT_TRUE(host_.caption.endsWith(QStringLiteral("[1/5] ") + pics_.filePath(QStringLiteral("p0.png"))));
    EXPECT_TRUE(viewer_->commands().isEnabled(ActionId::slideshow1));
}

TEST_F(ViewerTest, KeysStepAndWrapInEveryForm)
{
    open();
    struct Step {
        int key;
        const char *left;
    };
    // Single page: back from the first wraps to the last.
    for (const Step &s :
         {Step{Qt::Key_Left, "p4.png"}, Step{Qt::Key_Right, "p0.png"}, Step{Qt::Key_Down, "p4.png"},
          Step{Qt::Key_PageDown, "p0.png"}, Step{Qt::Key_Up, "p1.png"}}) {
        viewer_->input().keyDown(s.key, {}, false, 0);
        EXPECT_EQ(target_.lastLeft(), QString::fromLatin1(s.left)) << s.key;
    }
    // Pairs: 0+1, 2+3, then the last page alone, then round again.
    viewer_->input().keyDown(Qt::Key_Left, {}, false, 0);
    viewer_->state().settings.Tool.State = 1;
    viewer_->settings().apply();
    QStringList seen;
    for (int i = 0; i < 4; ++i) {
        const Frame &f = target_.frames.last();
        seen << QFileInfo(f.pages[0].path).fileName() + "+" + QFileInfo(f.pages[1].path).fileName();
        viewer_->input().keyDown(Qt::Key_Right, {}, false, 0);
    }
    EXPECT_EQ(seen, QStringList({"p0.png+p1.png", "p2.png+p3.png", "p4.png+", "p0.png+p1.png"}));
}

TEST_F(ViewerTest, VanishedPicturesDropOutAndTheLastOneClearsTheView)
{
    open();
    QFile::remove(pics_.filePath(QStringLiteral("p1.png")));
    viewer_->input().keyDown(Qt::Key_Right, {}, false, 0);
    EXPECT_EQ(target_.lastLeft(), QStringLiteral("p2.png"));
    EXPECT_EQ(viewer_->state().list.count(), 4);

    for (const QString &f : QDir(pics_.path()).entryList(QDir::Files))
        QFile::remove(pics_.filePath(f));
    viewer_->input().keyDown(Qt::Key_Right, {}, false, 0);
    EXPECT_EQ(prompter_.errors, QStringList{QStringLiteral("表示する画像はありません。")});
    EXPECT_FALSE(viewer_->state().ListActive);
    EXPECT_GE(target_.clears, 1);
    EXPECT_FALSE(viewer_->commands().isEnabled(ActionId::slideshow1));
}

TEST_F(ViewerTest, FullScreenPaintsOnItsOwnSurfaceAndComesBack)
{
    open();
    viewer_->commands().run(ActionId::Max1);
    EXPECT_TRUE(host_.fullOpen);
    EXPECT_TRUE(viewer_->commands().isChecked(ActionId::Max1));
    ASSERT_EQ(host_.full.frames.size(), 1);
    viewer_->input().keyDown(Qt::Key_Right, {}, false, 0);
    EXPECT_EQ(host_.full.lastLeft(), QStringLiteral("p1.png"));
    viewer_->input().keyDown(Qt::Key_Return, {}, false, 0);
    EXPECT_FALSE(host_.fullOpen);
    EXPECT_FALSE(viewer_->commands().isChecked(ActionId::Max1));
    EXPECT_EQ(target_.lastLeft(), QStringLiteral("p1.png"));
}

TEST_F(ViewerTest, EscapeAsksTheWindowToClose)
{
    viewer_->input().keyDown(Qt::Key_Escape, {}, false, 0);
    EXPECT_EQ(host_.closes, 1);
    EXPECT_TRUE(viewer_->state().QuitRequested);
}

// An archive named on the command line is extracted after the window has
// painted (behind a progress window), then shown.
TEST_F(ViewerTest, CommandLineArchivesFollowTheFirstPaint)
{
    const QString archive = pics_.filePath(QStringLiteral("set.zip"));
    int err = 0;
    zip_t *z = zip_open(QFile::encodeName(archive).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    ASSERT_NE(z, nullptr);
    QFile png(pics_.filePath(QStringLiteral("p0.png")));
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    const QByteArray bytes = png.readAll();
    for (const char *name : {"b.png", "a.png"}) {
        zip_source_t *src = zip_source_buffer(z, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        ASSERT_GE(zip_file_add(z, name, src, ZIP_FL_ENC_UTF_8), 0);
    }
    ASSERT_EQ(zip_close(z), 0);

    viewer_->startUp().applyCommandLine({archive});
    viewer_->startUp().firstShow([] {});
    EXPECT_TRUE(target_.frames.isEmpty());
    EXPECT_EQ(prompter_.progressReports, 0);
    QCoreApplication::processEvents();
    ASSERT_EQ(target_.frames.size(), 1);
    EXPECT_EQ(target_.lastLeft(), QStringLiteral("a.png"));
    EXPECT_TRUE(viewer_->state().ListActive);
    EXPECT_GE(prompter_.progressReports, 1);
    EXPECT_EQ(prompter_.progressEnds, 1);
}

// At start-up the first picture has the processor and the disk to itself:
// its neighbours are decoded and the history file written only once it is
// shown; a viewer closed before then still records the list.
TEST_F(ViewerTest, StartUpShowsTheFirstPictureBeforeAnythingElse)
{
    const QString history = home_.filePath(QStringLiteral("gd1.lst"));
    viewer_->startUp().applyCommandLine({pics_.path()});
    viewer_->startUp().firstShow([] {});
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    ASSERT_FALSE(target_.frames.isEmpty());
    EXPECT_EQ(target_.lastLeft(), QStringLiteral("p0.png"));
    EXPECT_EQ(viewer_->display().decodedPictures(), 1);
    EXPECT_FALSE(QFile::exists(history));
    // The surface says the picture is being painted: the rest follows as
    // soon as that frame is out, not a fixed while later.
    viewer_->startUp().pictureOnScreen();
    QCoreApplication::processEvents();
    EXPECT_TRUE(QFile::exists(history));
    QElapsedTimer clock;
    clock.start();
    while (!(QFile::exists(history) && viewer_->display().decodedPictures() > 1) && clock.elapsed() < 10000) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    EXPECT_TRUE(QFile::exists(history));
    EXPECT_GT(viewer_->display().decodedPictures(), 1);

    viewer_.reset(); // one viewer at a time
    QTemporaryDir otherHome;
    RecordingTarget target;
    Viewer quick(ViewerFolders{otherHome.path(), otherHome.filePath(QStringLiteral("glimmerdeck.ini")), {}, {}},
                 prompter_, host_);
    quick.display().setMainTarget(&target);
    quick.startUp().startServices();
    quick.startUp().applyCommandLine({pics_.path()});
    quick.startUp().firstShow([] {});
    quick.closeDown(WindowGeometry{0, 0, 640, 480}, WindowShowState::Normal);
    EXPECT_TRUE(QFile::exists(otherHome.filePath(QStringLiteral("gd1.lst"))));
}

TEST(ViewerSaving, FailedSavesAreReportedWithTheFile)
{
    // The application folder is gone: neither the settings nor the camera
    // rules can be written, and the user hears about both.
    QTemporaryDir home;
    const QString gone = home.filePath(QStringLiteral("gone"));
    ScriptedPrompter prompter;
    RecordingHost host;
    Viewer viewer(ViewerFolders{gone, gone + QStringLiteral("/glimmerdeck.ini"), {}, {}}, prompter, host);
    viewer.settings().setRuleLines({});
    ASSERT_EQ(prompter.errors.size(), 1);
    EXPECT_TRUE(prompter.errors[0].startsWith(QStringLiteral("命名規則ファイルを保存できませんでした。\n") + gone));
    viewer.closeDown(WindowGeometry{}, WindowShowState::Normal);
    ASSERT_EQ(prompter.errors.size(), 2);
    EXPECT_TRUE(prompter.errors[1].startsWith(QStringLiteral("設定ファイルを保存できませんでした。\n") + gone +
                                              QStringLiteral("/glimmerdeck.ini")));
    EXPECT_FALSE(QFileInfo::exists(gone));
}

TEST_F(ViewerTest, DecodesAheadTheWayTheUserGoesAndNeverShowsABlankFrame)
{
    QTemporaryDir folder;
    QStringList names;
    for (int i = 0; i < 12; ++i) {
        names << QStringLiteral("q%1.png").arg(i, 2, 10, QLatin1Char('0'));
        QImage img(320, 240, QImage::Format_RGB32);
        img.fill(QColor::fromHsv(i * 30, 200, 200));
        ASSERT_TRUE(img.save(folder.filePath(names.last())));
    }
    auto held = [&](int i) { return viewer_->display().cache().holds(folder.filePath(names[i])); };
    viewer_->startUp().applyCommandLine({folder.path()});
    viewer_->startUp().firstShow([] {});
    viewer_->startUp().pictureOnScreen();
    QCoreApplication::processEvents();
    viewer_->display().cache().waitForBackground();
    ASSERT_EQ(target_.lastLeft(), names[0]);
    // Forward: several ahead and the one behind, no further.
    for (int i : {1, 2, 3, 4, 11})
        EXPECT_TRUE(held(i)) << i;
    EXPECT_FALSE(held(8));

    // Turning back turns the prefetch round; the step back was ready.
    viewer_->input().keyDown(Qt::Key_Left, {}, false, 0);
    viewer_->display().cache().waitForBackground();
    EXPECT_EQ(target_.lastLeft(), names[11]);
    for (int i : {10, 9, 8, 7, 0})
        EXPECT_TRUE(held(i)) << i;
    PictureCache::Counters c = viewer_->display().cache().counters();
    EXPECT_EQ(c.started - c.prefetched, 1); // only the first picture was decoded on demand
    EXPECT_GE(c.used, 1);

    // Keys faster than the decoding: every step shows its picture.
    const qsizetype framesBefore = target_.frames.size();
    for (int i = 0; i < 10; ++i)
        viewer_->input().keyDown(Qt::Key_Left, {}, false, 0);
    EXPECT_EQ(target_.blanks, 0);
    ASSERT_EQ(target_.frames.size(), framesBefore + 10);
    for (qsizetype i = framesBefore; i < target_.frames.size(); ++i)
        EXPECT_TRUE(target_.frames[i].anyShown()) << i;
    EXPECT_EQ(target_.lastLeft(), names[1]);
    c = viewer_->display().cache().counters();
    EXPECT_GE(c.used, 2);
}

// Quick steps through a folder of every kind of picture (a large JPEG, a RAW,
// HEIC, AVIF, JPEG XL, PNG): each step paints its picture, never a blank
// frame, and what was decoded ahead and skipped is let go.
TEST_F(ViewerTest, RapidStepsThroughMixedFormatsNeverShowABlankFrame)
{
    QTemporaryDir folder;
    const QString data = QStringLiteral(GD_TESTDATA "/formats/");
    const QStringList fixtures = {"plain.heic", "plain.avif", "plain.jxl", "preview.dng", "p3.jpg", "pattern.png"};
    for (int i = 0; i < fixtures.size(); ++i)
        ASSERT_TRUE(QFile::copy(data + fixtures[i], folder.filePath(QStringLiteral("m%1-").arg(i) + fixtures[i])));
    QImage big(4000, 3000, QImage::Format_RGB32);
    big.fill(QColor(40, 90, 160));
    ASSERT_TRUE(big.save(folder.filePath(QStringLiteral("m9-big.jpg")), "JPEG", 80));

    viewer_->startUp().applyCommandLine({folder.path()});
    viewer_->startUp().firstShow([] {});
    viewer_->startUp().pictureOnScreen();
    QCoreApplication::processEvents();
    const qsizetype framesBefore = target_.frames.size();
    for (int i = 0; i < 3 * 7; ++i)
        viewer_->input().keyDown(Qt::Key_Right, {}, false, 0);
    EXPECT_EQ(target_.blanks, 0);
    ASSERT_EQ(target_.frames.size(), framesBefore + 21);
    for (qsizetype i = framesBefore; i < target_.frames.size(); ++i)
        EXPECT_TRUE(target_.frames[i].anyShown()) << i << " " << target_.frames[i].caption.toStdString();
    viewer_->display().cache().waitForBackground();
    const PictureCache::Counters c = viewer_->display().cache().counters();
    EXPECT_GE(c.used, 1);
    EXPECT_LE(viewer_->display().decodedPictures(), 7);
}

// Decoding ahead starts once the first picture is on screen, and once a
// window opening beside it (the tool box) has painted too, or a moment later
// when that window never paints.
TEST_F(ViewerTest, DecodingAheadWaitsForTheWindowsOpeningBesideThePicture)
{
    enum Step { Hold, Picture, WindowPainted };
    const struct {
        const char *what;
        std::vector<Step> steps;
        std::vector<bool> settledAfter; // after each step
    } cases[] = {
        {"picture alone", {Picture}, {true}},
        {"tool box paints after the picture", {Hold, Picture, WindowPainted}, {false, false, true}},
        {"tool box paints first", {Hold, WindowPainted, Picture}, {false, false, true}},
        {"two windows", {Hold, Hold, Picture, WindowPainted, WindowPainted}, {false, false, false, false, true}},
    };
    for (const auto &c : cases) {
        Viewer viewer(ViewerFolders{home_.path(), home_.filePath(QStringLiteral("glimmerdeck.ini")), {}, {}},
                      prompter_, host_);
        viewer.state().FirstFlag = false; // the first show is over
        ViewerStartUp &s = viewer.startUp();
        for (size_t i = 0; i < c.steps.size(); ++i) {
            switch (c.steps[i]) {
            case Hold:
                s.holdForWindow();
                break;
            case Picture:
                s.pictureOnScreen();
                break;
            case WindowPainted:
                s.windowPainted();
                break;
            }
            QCoreApplication::processEvents();
            EXPECT_EQ(s.settled(), c.settledAfter[i]) << c.what << ", step " << i;
        }
        // More paints change nothing.
        s.windowPainted();
        s.pictureOnScreen();
        QCoreApplication::processEvents();
        EXPECT_TRUE(s.settled()) << c.what;
    }
}

TEST_F(ViewerTest, AWindowThatNeverPaintsHoldsDecodingAheadForAMomentOnly)
{
    viewer_->state().FirstFlag = false;
    ViewerStartUp &s = viewer_->startUp();
    s.holdForWindow();
    s.pictureOnScreen();
    QCoreApplication::processEvents();
    EXPECT_FALSE(s.settled());
    EXPECT_TRUE(QTest::qWaitFor([&] { return s.settled(); }, 5000));
    s.windowPainted(); // late: changes nothing
    QCoreApplication::processEvents();
    EXPECT_TRUE(s.settled());
}
