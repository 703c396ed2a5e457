// Each command the user gives reaches the screen once: one paint (or one
// clearing), one tool-box update and at most one pass over the actions,
// however many steps the command takes inside.
#include "app/Slideshow.h"
#include "app/Viewer.h"
#include "platform/FileOps.h"

#include "ScriptedPrompter.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{
struct CountingTarget : DisplayTarget {
    int paints = 0, clears = 0, blanks = 0;
    QSize surfaceSize() const override { return QSize(640, 480); }
    qreal surfacePixelRatio() const override { return 1.0; }
    QSize errorTextSize() const override { return QSize(64, 16); }
    void paintFrame(const Frame &, const LabelStyle &) override { ++paints; }
    void blankFrame() override { ++blanks; }
    void clearFrame() override { ++clears; }
    void updateLabel(const LabelStyle &) override {}
    void showName(const QString &, const LabelStyle &) override {}
};

struct CountingToolBox : ToolBoxView {
    int refreshes = 0, partial = 0;
    void refresh() override { ++refreshes; }
    void Active() override { ++partial; }
    void showState() override { ++partial; }
    void choosingFolder() override {}
};

struct CountingHost : ViewerHost {
    int commandPasses = 0;
    void setCaption(const QString &) override {}
    void commandsChanged() override { ++commandPasses; }
    void historyChanged(const QStringList &) override {}
    DisplayTarget *setFullScreen(bool) override { return nullptr; }
    void requestClose() override {}
    void restoreGeometry() override {}
    bool windowVisible() const override { return true; }
    void hideWindow() override {}
};

// Real moves and copies; the trash is a folder of the test's own.
struct LocalTrash : FileOps {
    QString trash;
    FileOpOutcome moveToTrash(const QString &path, TrashedFile * = nullptr) override
    {
        return QFile::rename(path, trash + "/" + QFileInfo(path).fileName()) ? FileOpOutcome{}
                                                                               : FileOpOutcome{FileOpResult::Failed, {}};
    }
};

class ViewerRefresh : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home_.isValid() && pics_.isValid() && out_.isValid());
        ops_.trash = out_.filePath("trash");
        ASSERT_TRUE(QDir().mkpath(ops_.trash));
        ASSERT_TRUE(QDir().mkpath(out_.filePath("sorted")));
        for (int i = 0; i < 4; ++i) {
            QImage img(40, 30, QImage::Format_RGB32);
            img.fill(QColor::fromHsv(i * 60, 200, 200));
            ASSERT_TRUE(img.save(pics_.filePath(QStringLiteral("p%1.png").arg(i))));
        }
        viewer_ = std::make_unique<Viewer>(
            ViewerFolders{home_.path(), home_.filePath(QStringLiteral("glimmerdeck.ini")), {}, {}}, prompter_,
            host_);
        viewer_->display().setMainTarget(&target_);
        viewer_->setFileOps(ops_);
        viewer_->setToolBox(&box_);
        viewer_->startUp().startServices();
        Settings &s = viewer_->state().settings;
        s.Option.Open = true;
        s.Option.Copy = false;
        s.Option.nButton = 2;
        s.TransferSlots[0].Folder = out_.filePath("sorted") + "/";
    }
    // Runs one command and checks that it reached the screen exactly once.
    void once(const char *what, const std::function<void()> &command, bool cleared = false)
    {
        SCOPED_TRACE(what);
        target_ = {};
        box_ = {};
        host_.commandPasses = 0;
        command();
        EXPECT_EQ(target_.paints + target_.clears, 1);
        EXPECT_EQ(target_.clears, cleared ? 1 : 0);
        EXPECT_EQ(box_.refreshes, 1);
        EXPECT_EQ(box_.partial, 0);
        EXPECT_LE(host_.commandPasses, 1);
    }

    QTemporaryDir home_, pics_, out_;
    ScriptedPrompter prompter_;
    CountingHost host_;
    CountingTarget target_;
    CountingToolBox box_;
    LocalTrash ops_;
    std::unique_ptr<Viewer> viewer_;
};
} // namespace

TEST_F(ViewerRefresh, EveryCommandPaintsOnceAndUpdatesTheToolBoxOnce)
{
    // Opening a folder sorts the list and activates it: still one paint.
    once("open folder", [&] { viewer_->open(viewer_->listOps().openFolder(pics_.path())); });
    ASSERT_EQ(viewer_->state().list.count(), 4);

    // The digit key moves the picture on screen into slot 0's folder.
    once("move", [&] { viewer_->input().keyDown(0, QStringLiteral("0"), false, 0); });
    EXPECT_EQ(viewer_->state().list.count(), 3);
    EXPECT_TRUE(QFile::exists(out_.filePath("sorted/p0.png")));
    EXPECT_TRUE(viewer_->commands().isEnabled(ActionId::MoveUndo1));
    EXPECT_EQ(host_.commandPasses, 1); // the undo command came on

    once("undo", [&] { viewer_->commands().run(ActionId::MoveUndo1); });
    EXPECT_EQ(viewer_->state().list.count(), 4);
    EXPECT_TRUE(QFile::exists(pics_.filePath("p0.png")));
    EXPECT_FALSE(viewer_->commands().isEnabled(ActionId::MoveUndo1));

    once("step", [&] { viewer_->input().keyDown(Qt::Key_Right, {}, false, 0); });

    once("delete", [&] { viewer_->input().keyDown(Qt::Key_Delete, {}, false, 0); });
    EXPECT_EQ(viewer_->state().list.count(), 3);
    EXPECT_EQ(QDir(ops_.trash).entryList(QDir::Files).size(), 1);

    once("options OK",
         [&] { viewer_->settings().applyOptions(std::as_const(*viewer_).state().settings, OptionResult{}); });

    auto *timer = viewer_->findChild<SlideshowTimer *>();
    ASSERT_NE(timer, nullptr);
    viewer_->state().settings.Option.Interval = 60; // the test steps it by hand
    viewer_->modes().toggleSlideshow();
    once("slideshow step", [&] { emit timer->step(); });
    viewer_->modes().toggleSlideshow();

    // Deleting the last picture clears the screen, once.
    viewer_->state().list.replace({viewer_->state().list.at(0)});
    viewer_->state().PictureIndex = 0;
    once("delete the last", [&] { viewer_->input().keyDown(Qt::Key_Delete, {}, false, 0); }, true);
    EXPECT_FALSE(viewer_->state().ListActive);
    EXPECT_TRUE(prompter_.errors.isEmpty());
}
