// What helps while sorting, through the real main window and its key router:
// the status bar's position and tally, the clipboard copy at full size, and
// what the options dialog's OK brings about.
#include "ScriptedPrompter.h"
#include "app/ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{

class SortingAidsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home_.isValid() && folder_.isValid());
        qputenv("GLIMMERDECK_HOME", home_.path().toLocal8Bit());
    }
    void TearDown() override { qunsetenv("GLIMMERDECK_HOME"); }

    void makePictures(int n, QSize size = QSize(40, 30))
    {
        for (int i = 0; i < n; ++i) {
            QImage img(size, QImage::Format_RGB32);
            img.fill(QColor(30 * i, 90, 30));
            ASSERT_TRUE(img.save(folder_.filePath(QStringLiteral("p%1.png").arg(i)), "PNG"));
        }
    }
    static void press(QWidget *window, Qt::Key k, Qt::KeyboardModifiers mods = {})
    {
        QWidget *to = window->focusWidget() ? window->focusWidget() : window;
        QTest::keyClick(to, k, mods);
    }
    static QString place(MainWindow &w)
    {
        auto *label = w.findChild<QLabel *>(QStringLiteral("StatusBar2"));
        return label ? label->text() : QStringLiteral("(no panel)");
    }
    // Opens the options dialog with F4 and confirms it unchanged.
    static void confirmOptions(MainWindow &w)
    {
        bool answered = false;
        QTimer::singleShot(0, [&] {
            QWidget *dlg = QApplication::activeModalWidget();
            ASSERT_NE(dlg, nullptr);
            QTest::mouseClick(dlg->findChild<QPushButton *>(QStringLiteral("BitBtn1")), Qt::LeftButton);
            answered = true;
        });
        press(&w, Qt::Key_F4);
        EXPECT_TRUE(answered);
    }

    QTemporaryDir home_, folder_;
};

} // namespace

// The second panel says where in the list the user is and how many pictures
// each transfer folder received, following every step, transfer and undo.
TEST_F(SortingAidsTest, StatusPanelShowsThePositionAndWhatEachFolderReceived)
{
    makePictures(5);
    QTemporaryDir keepDir, rejectsDir;
    const QString keep = keepDir.filePath(QStringLiteral("keep"));
    const QString rejects = rejectsDir.filePath(QStringLiteral("rejects"));
    ASSERT_TRUE(QDir().mkpath(keep) && QDir().mkpath(rejects));
    ScriptedPrompter prompter;
    MainWindow w({folder_.path()}, &prompter);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    auto &s = w.viewer().state().settings;
    s.TransferSlots[0].Folder = keep;
    s.TransferSlots[1].Folder = rejects + QLatin1Char('/'); // as the folder picker may give it
    w.action(ActionId::MoveMode1)->trigger();

    const std::vector<std::pair<Qt::Key, QString>> steps{
        {Qt::Key_Right, QStringLiteral("[2/5]  keep 0 · rejects 0")},
        {Qt::Key_0, QStringLiteral("[2/4]  keep 1 · rejects 0")},
        {Qt::Key_1, QStringLiteral("[2/3]  keep 1 · rejects 1")},
        {Qt::Key_0, QStringLiteral("[2/2]  keep 2 · rejects 1")},
    };
    for (const auto &[key, expected] : steps) {
        press(&w, key);
        EXPECT_EQ(place(w), expected) << int(key);
    }
    // Taking the last move back takes it off the tally.
    press(&w, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(QDir(keep).entryList(QDir::Files).size(), 1);
    EXPECT_EQ(place(w), QStringLiteral("[2/3]  keep 1 · rejects 1"));

    // Copies count too; without folders only the position is left.
    w.action(ActionId::CopyMode1)->trigger();
    press(&w, Qt::Key_1);
    EXPECT_EQ(place(w), QStringLiteral("[3/3]  keep 1 · rejects 2"));
    s.TransferSlots[0].Folder.clear();
    s.TransferSlots[1].Folder.clear();
    // Past the last picture: the first again.
    press(&w, Qt::Key_Right);
    EXPECT_EQ(place(w), QStringLiteral("[1/3]  keep 1 · rejects 2")); // this run's tally stays
    EXPECT_TRUE(prompter.errors.isEmpty()) << prompter.errors.join(' ').toStdString();
}

// Ctrl+C puts the file's own pixels on the clipboard, turned as on screen,
// not the copy the window holds at the size it shows.
TEST_F(SortingAidsTest, CtrlCCopiesThePictureAtItsFullSize)
{
    makePictures(1, QSize(2400, 1800));
    const QString turned = QStringLiteral(GD_TESTDATA "/exif-orientation/Landscape_6.jpg");
    QImageReader stored(turned);
    stored.setAutoTransform(false);
    const QSize storedSize = stored.size();
    ASSERT_TRUE(storedSize.isValid());
    const struct {
        QString path;
        QSize expected;
    } cases[] = {
        {folder_.filePath(QStringLiteral("p0.png")), QSize(2400, 1800)},
        {turned, storedSize.transposed()}, // orientation 6: a quarter turn
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        MainWindow w({c.path});
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        QApplication::clipboard()->clear();
        press(&w, Qt::Key_C, Qt::ControlModifier);
        const QMimeData *mime = QApplication::clipboard()->mimeData();
        ASSERT_NE(mime, nullptr);
        EXPECT_EQ(qvariant_cast<QImage>(mime->imageData()).size(), c.expected);
        EXPECT_EQ(mime->urls().value(0).toLocalFile(), c.path);
    }
}

// OK in the options dialog searches for plug-ins also without a folder of
// the user's (the program's own folder, never "/"), and writes the camera
// rules even when they did not change, creating the file.
TEST_F(SortingAidsTest, OptionsOkSearchesTheProgramsPluginsAndWritesTheRules)
{
    makePictures(1);
    QTemporaryDir shipped;
    ViewerFolders folders = ResolveViewerFolders();
    folders.plugins = shipped.path();
    ScriptedPrompter prompter;
    MainWindow w({folder_.path()}, &prompter, nullptr, folders);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_TRUE(w.state().settings.SusieDir.isEmpty());
    const QString rules = QDir(home_.path()).filePath(QStringLiteral("DCIM_rule.dat"));
    ASSERT_FALSE(QFile::exists(rules));
    ASSERT_FALSE(w.state().PictureFilter.contains(QStringLiteral("*.pcx")));

    // A plug-in put into the program's folder while it runs.
    ASSERT_TRUE(QFile::copy(QStringLiteral(GD_TEST_PLUGIN_DIR "/pcx.spi"),
                            shipped.filePath(QStringLiteral("pcx.spi"))));
    confirmOptions(w);
    EXPECT_TRUE(w.state().PictureFilter.contains(QStringLiteral("*.pcx")))
        << w.state().PictureFilter.toStdString();
    EXPECT_TRUE(QFile::exists(rules));
    EXPECT_TRUE(prompter.errors.isEmpty()) << prompter.errors.join(' ').toStdString();
}
