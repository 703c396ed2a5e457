#include "decode/ui/OpenPictureDialog.h"

#include "../spi/SpiTestSupport.h"
#include "decode/PictureFormats.h"
#include "decode/spi/PluginHost.h"

#include <QApplication>
#include <QComboBox>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

TEST(OpenPictureDialog, PreviewsPluginAndBuiltInPictures)
{
    ScriptedPrompter prompter;
    PictureFormats formats;
    PluginHost host(prompter, formats);
    host.SPIs1().Add(CreatePlugin(testPlugin("plain"))); // registers *.tst
    QTemporaryDir dir;
    const QString tst = dir.filePath("a.tst");
    writeFile(tst, tstPicture(600, 300, 0, 0, 255));
    const QString png = dir.filePath("b.png");
    QImage(20, 10, QImage::Format_RGB32).save(png);
    const QString text = dir.filePath("c.txt");
    writeFile(text, "TSTP but not a picture file");

    OpenPictureDialog dlg(formats, formats.filter(), nullptr, dir.path());
    EXPECT_TRUE(dlg.testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(dlg.fileMode(), QFileDialog::ExistingFiles);
    EXPECT_TRUE(dlg.nameFilters().join(";;").contains("*.tst"));

    emit dlg.currentChanged(tst);
    ASSERT_FALSE(dlg.previewImage().isNull());
    EXPECT_LE(dlg.previewImage().width(), 600); // scaled to the pane
    EXPECT_EQ(dlg.previewImage().width(), dlg.previewImage().height() * 2);
    EXPECT_FALSE(dlg.findChild<QLabel *>("preview")->pixmap().isNull());

    emit dlg.currentChanged(png);
    EXPECT_EQ(dlg.previewImage().size(), QSize(20, 10));
    emit dlg.currentChanged(text);
    EXPECT_TRUE(dlg.previewImage().isNull());
    emit dlg.currentChanged(dir.path());
    EXPECT_TRUE(dlg.previewImage().isNull());
}

namespace
{
QTreeView *detailView(QFileDialog &dlg)
{
    return dlg.findChild<QTreeView *>("treeView");
}
} // namespace

TEST(OpenPictureDialog, OpensWideEnoughForItsColumnsAndFolderThenKeepsTheUsersSize)
{
    OpenPictureDialog::forgetSize();
    QTemporaryDir root;
    const QString folder = root.filePath("写真の整理_2024");
    ASSERT_TRUE(QDir().mkpath(folder));
    for (int i = 0; i < 3; ++i)
        QImage(8, 8, QImage::Format_RGB32)
            .save(folder + QStringLiteral("/旅行の写真_DSC%1_longer_name.png").arg(i));
    ScriptedPrompter prompter;
    PictureFormats formats;
    PluginHost host(prompter, formats);

    // A small font, so that everything fits the small offscreen screen (800 px).
    const QFont appFont = QApplication::font();
    QFont small = appFont;
    small.setPixelSize(9);
    QApplication::setFont(small);
    OpenPictureDialog dlg(formats, formats.filter(), nullptr, folder);
    dlg.setViewMode(QFileDialog::Detail);
    auto *model = dlg.findChild<QFileSystemModel *>();
    ASSERT_NE(model, nullptr);
    QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    ASSERT_TRUE(loaded.count() > 0 || loaded.wait(5000));
    QCoreApplication::processEvents();

    QTreeView *tree = detailView(dlg);
    ASSERT_NE(tree, nullptr);
    SCOPED_TRACE(QStringLiteral("dialog %1 x %2 on %3 x %4")
                     .arg(dlg.width())
                     .arg(dlg.height())
                     .arg(dlg.screen()->availableGeometry().width())
                     .arg(dlg.screen()->availableGeometry().height())
                     .toStdString());
    // Every column fits: no horizontal scroll bar.
    EXPECT_LE(tree->header()->length(), tree->viewport()->width());
    EXPECT_EQ(tree->horizontalScrollBar()->maximum(), 0);
    // Size, type and date are not cut.
    for (int c = 1; c < tree->header()->count(); ++c) {
        if (!tree->header()->isSectionHidden(c)) {
            EXPECT_GE(tree->header()->sectionSize(c),
                      static_cast<QAbstractItemView *>(tree)->sizeHintForColumn(c))
                << c;
        }
    }
    // The whole folder path shows in the "look in" box.
    auto *lookIn = dlg.findChild<QComboBox *>("lookInCombo");
    ASSERT_NE(lookIn, nullptr);
    EXPECT_GT(lookIn->width(), lookIn->fontMetrics().horizontalAdvance(QDir(folder).absolutePath()));
    // The places' names are not cut either.
    auto *sidebar = dlg.findChild<QListView *>("sidebar");
    ASSERT_NE(sidebar, nullptr);
    EXPECT_GE(sidebar->viewport()->width(), sidebar->sizeHintForColumn(0));
    // And it stays within the screen.
    EXPECT_LE(dlg.width(), dlg.screen()->availableGeometry().width());

    // The size the user leaves it at is the next dialog's size.
    dlg.resize(dlg.width() + 40, dlg.height() + 30);
    const QSize chosen = dlg.size();
    dlg.reject();
    EXPECT_EQ(OpenPictureDialog::rememberedSize(), chosen);
    OpenPictureDialog again(formats, formats.filter(), nullptr, folder);
    again.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&again));
    EXPECT_EQ(again.size(), chosen);
    again.reject();
    OpenPictureDialog::forgetSize();
    QApplication::setFont(appFont);
}
