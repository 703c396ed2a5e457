#include "decode/ui/OpenPictureDialog.h"

#include "../SpiTestSupport.h"
#include "decode/PictureFormats.h"
#include "decode/spi/PluginHost.h"

#include <QLabel>
#include <QTemporaryDir>
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
