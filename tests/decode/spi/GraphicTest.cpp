#include "SpiTestSupport.h"
#include "decode/LoadPicture.h"
#include "decode/PictureFormats.h"
#include "decode/spi/PluginHost.h"
#include "decode/spi/SpiGraphic.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{
// A manager holding the named test plug-ins, in this order.
struct Loaded {
    TSPIs spis;
    explicit Loaded(const QStringList &names)
    {
        for (const QString &n : names)
            spis.Add(CreatePlugin(testPlugin(n)));
    }
    int pictureCalls(int idx)
    {
        auto f = reinterpret_cast<int (*)()>(spis.Plugins(idx)->ProcAddress("TestGetPictureCalls"));
        return f ? f() : -1;
    }
};

QRgb colourOf(const QImage &img)
{
    return img.pixel(0, 0) & 0xFFFFFF;
}
} // namespace

TEST(SpiGraphic, FirstPluginInOrderWinsAndTheOtherIsNotAsked)
{
    Loaded l({"plain", "second"});
    QTemporaryDir dir;
    const QString file = dir.filePath("a.tst");
    writeFile(file, tstPicture(3, 2, 0x10, 0x20, 0x30));
    QImage img;
    ASSERT_TRUE(DecodeWithPlugins(file, img));
    EXPECT_EQ(img.size(), QSize(3, 2));
    EXPECT_EQ(colourOf(img), 0xFF0000u); // "second" paints red (BGR 0,0,255)
    EXPECT_EQ(l.pictureCalls(0), 0);
}

TEST(SpiGraphic, MacBinaryHeaderIsSkippedForFilesAndStreams)
{
    Loaded l({"plain"});
    const QByteArray data = QByteArray(128, 'M') + tstPicture(2, 2, 0x10, 0x20, 0x30);
    QTemporaryDir dir;
    const QString file = dir.filePath("mac.tst");
    writeFile(file, data);
    QImage img;
    ASSERT_TRUE(DecodeWithPlugins(file, img));
    EXPECT_EQ(colourOf(img), 0x302010u);

    QByteArray copy = data;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    TSPIGraphic g;
    g.LoadFromStream(buffer);
    EXPECT_EQ(g.Width(), 2);

    // Any other device is read whole from its start, wherever it stands.
    QFile device(file);
    ASSERT_TRUE(device.open(QIODevice::ReadOnly));
    device.seek(200);
    TSPIGraphic g2;
    g2.LoadFromStream(device);
    EXPECT_EQ(g2.Width(), 2);

    l.spis.MacBinary = false;
    EXPECT_FALSE(DecodeWithPlugins(file, img));
}

TEST(SpiGraphic, MalformedBitmapsCountAsNotDecoded)
{
    // Each faulty plug-in comes first; the plain one behind it must still decode.
    for (const char *bad : {"badbits", "shortbits", "huge"}) {
        SCOPED_TRACE(bad);
        Loaded l({"plain", bad});
        QTemporaryDir dir;
        const QString file = dir.filePath("a.tst");
        writeFile(file, tstPicture(4, 4, 1, 2, 3));
        QImage img;
        ASSERT_TRUE(DecodeWithPlugins(file, img));
        EXPECT_EQ(colourOf(img), 0x030201u);
        EXPECT_EQ(l.pictureCalls(1), 1); // asked once, its result thrown away
        l.spis.Delete(0);
        EXPECT_FALSE(DecodeWithPlugins(file, img));
    }
}

TEST(SpiGraphic, ProgressAbortStopsThePluginAndMessagesAreReported)
{
    Loaded l({"progress"});
    QTemporaryDir dir;
    const QString file = dir.filePath("a.tst");
    writeFile(file, tstPicture(1, 1, 9, 9, 9));
    QStringList messages;
    QList<int> percents;
    TSPIGraphic g;
    g.OnProgress = [&](const void *, SpiProgressStage, int pc, bool, const QRect &, const QString &m) {
        messages << m;
        percents << pc;
    };
    g.LoadFromFile(file);
    EXPECT_EQ(g.Width(), 1);
    EXPECT_EQ(messages.first(), "Loading Graphic by Susie Plugin");
    EXPECT_EQ(messages.at(1), "Seeking enabled Susie Plugins");
    EXPECT_EQ(messages.at(2), "Loading by [progress.spi]");
    EXPECT_EQ(messages.last(), "Loaded Graphic by Susie Plugin");
    EXPECT_TRUE(percents.contains(2) && percents.contains(99));

    g.OnProgress = [](const void *, SpiProgressStage st, int pc, bool, const QRect &, const QString &) {
        if (st == SpiProgressStage::psRunning && pc > 50)
            throw SpiAbort{};
    };
    try {
        g.LoadFromFile(file);
        ADD_FAILURE() << "decoded despite the abort";
    } catch (const EInvalidGraphic &e) {
        EXPECT_EQ(e.message(), "Susie Plugins could not decode");
    }
    EXPECT_TRUE(g.Empty());
}

TEST(SpiGraphic, PreviewIsAskedFirstWhenEnabled)
{
    Loaded l({"preview"});
    l.spis.GraphicPreview = true;
    QTemporaryDir dir;
    const QString file = dir.filePath("a.tst");
    writeFile(file, tstPicture(2, 1, 1, 1, 1));
    QImage img;
    ASSERT_TRUE(DecodeWithPlugins(file, img));
    EXPECT_EQ(l.pictureCalls(0), 1);
    l.spis.Clear();
    l.spis.Add(CreatePlugin(testPlugin("plain"))); // no GetPreview: falls back to GetPicture
    EXPECT_TRUE(DecodeWithPlugins(file, img));
}

TEST(SpiGraphic, BmpNamesTryTheBmpReaderFirstOthersThePluginsFirst)
{
    Loaded l({"plain"});
    QTemporaryDir dir;
    // A plug-in picture named .bmp is still decoded by the plug-ins.
    const QString fakeBmp = dir.filePath("picture.bmp");
    writeFile(fakeBmp, tstPicture(2, 2, 0x40, 0x50, 0x60));
    TSPIBitmap b1;
    b1.LoadFromFile(fakeBmp);
    EXPECT_EQ(colourOf(b1.Image()), 0x605040u);
    // A real BMP under a plug-in's name falls through to the BMP reader.
    QImage red(3, 3, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QString realBmp = dir.filePath("picture.tst");
    ASSERT_TRUE(red.save(realBmp, "BMP"));
    TSPIBitmap b2;
    b2.LoadFromFile(realBmp);
    EXPECT_EQ(colourOf(b2.Image()), 0xFF0000u);
    TSPIBitmap b3;
    EXPECT_THROW(b3.LoadFromFile(dir.filePath("missing.tst")), EInvalidGraphic);
}

TEST(SpiGraphic, PictureLoaderFallsBackToPlugins)
{
    ScriptedPrompter prompter;
    PictureFormats formats;
    PluginHost host(prompter, formats);
    host.SPIs1().Add(CreatePlugin(testPlugin("plain")));
    QTemporaryDir dir;
    const QString file = dir.filePath("only-a-plugin-reads-this.tst");
    writeFile(file, tstPicture(5, 4, 0, 0, 0xFF));
    PictureData picture;
    ASSERT_TRUE(LoadPictureFile(file, picture));
    EXPECT_EQ(picture.width(), 5);
    EXPECT_EQ(picture.height(), 4);
}

TEST(SpiGraphic, AnsiPathRefusesNamesTheEncodingCannotCarry)
{
    EXPECT_TRUE(ToAnsiPath("").isEmpty());
    EXPECT_EQ(ToAnsiPath("/tmp/a.pcx"), QByteArray("/tmp/a.pcx"));
    EXPECT_TRUE(ToAnsiPath(QString("/tmp/a") + QChar(0) + "b").isEmpty());
    EXPECT_TRUE(ToAnsiPath("/" + QString(5000, 'x')).isEmpty());
}
