// The picture cache never shows stale content, reuses larger decodes, and
// serves background decodes without decoding twice.
#include "decode/PictureCache.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

QImage solid(QSize size, QRgb colour)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

QRgb centre(const PictureData &p)
{
    return p.image.pixel(p.image.width() / 2, p.image.height() / 2);
}

} // namespace

TEST(PictureCache, ReplacedFileIsDecodedAgain)
{
    QTemporaryDir tmp;
    const QString path = tmp.path() + "/p.png";
    ASSERT_TRUE(solid({64, 48}, qRgb(255, 0, 0)).save(path));
    const QDateTime mtime = QFileInfo(path).lastModified();
    PictureCache cache;
    PictureData pic;
    ASSERT_TRUE(cache.get(path, {}, pic));
    EXPECT_EQ(centre(pic), qRgb(255, 0, 0));

    // Same size, same modification time, new pixels, written in place.
    ASSERT_TRUE(solid({64, 48}, qRgb(0, 0, 255)).save(path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(mtime, QFileDevice::FileModificationTime));
    f.close();
    ASSERT_TRUE(cache.get(path, {}, pic));
    EXPECT_EQ(centre(pic), qRgb(0, 0, 255));

    // Replaced by a rename, as editors and copy tools do.
    ASSERT_TRUE(solid({30, 30}, qRgb(0, 255, 0)).save(tmp.path() + "/new.png"));
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::rename(tmp.path() + "/new.png", path));
    ASSERT_TRUE(cache.get(path, {}, pic));
    EXPECT_EQ(pic.naturalSize, QSize(30, 30));
    EXPECT_EQ(centre(pic), qRgb(0, 255, 0));
    EXPECT_EQ(cache.count(), 1); // stale entries went

    // Gone: a failure, and the picture is left alone.
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_FALSE(cache.get(path, {}, pic));
    EXPECT_EQ(pic.naturalSize, QSize(30, 30));
}

TEST(PictureCache, ReusesLargeEnoughDecodes)
{
    QTemporaryDir tmp;
    const QString path = tmp.path() + "/big.jpg";
    ASSERT_TRUE(solid({1600, 1200}, qRgb(200, 100, 50)).save(path, "JPEG", 90));
    PictureCache cache;
    PictureData pic;
    ASSERT_TRUE(cache.get(path, {QSize(800, 800), true}, pic));
    EXPECT_EQ(pic.image.size(), QSize(800, 600));
    EXPECT_EQ(pic.naturalSize, QSize(1600, 1200));

    // Smaller window: the cached decode is large enough.
    ASSERT_TRUE(cache.get(path, {QSize(400, 400), true}, pic));
    EXPECT_EQ(pic.image.size(), QSize(800, 600));
    EXPECT_EQ(cache.count(), 1);

    // Larger window: decoded again, and the smaller decode is dropped.
    ASSERT_TRUE(cache.get(path, {QSize(1000, 1000), true}, pic));
    EXPECT_EQ(pic.image.size(), QSize(1000, 750));
    EXPECT_EQ(cache.count(), 1);

    // A different orientation switch is a different picture.
    ASSERT_TRUE(cache.get(path, {QSize(1000, 1000), false}, pic));
    EXPECT_FALSE(pic.orientationApplied);
    EXPECT_EQ(cache.count(), 2);
}

TEST(PictureCache, BoundedAndPrefetched)
{
    QTemporaryDir tmp;
    QStringList paths;
    for (int i = 0; i < 12; ++i) {
        paths << tmp.path() + QStringLiteral("/%1.png").arg(i);
        ASSERT_TRUE(solid({100, 100}, qRgb(i * 20, 0, 0)).save(paths.last()));
    }
    // Room for three 100×100 pictures.
    PictureCache cache(3 * 100 * 100 * 4, 10);
    cache.prefetch(paths, {});
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < paths.size(); ++i) {
            PictureData pic;
            ASSERT_TRUE(cache.get(paths[i], {}, pic));
            EXPECT_EQ(centre(pic), qRgb(i * 20, 0, 0)) << i;
            cache.prefetch({paths[(i + 1) % paths.size()]}, {});
        }
    }
    EXPECT_LE(cache.count(), 3);
    EXPECT_LE(cache.bytes(), 3 * 100 * 100 * 4);
}

TEST(PictureCache, KeepsARawPreviewSmallerThanTheArea)
{
    // A RAW's preview is all it gives short of developing it, even when it
    // is smaller than the area shown: asked for again, it comes from the
    // cache instead of being read again on every step.
    const QString path = QStringLiteral(GD_TESTDATA "/formats/preview.dng");
    PictureCache cache;
    PictureData first, again, smaller;
    ASSERT_TRUE(cache.get(path, {QSize(400, 400), true}, first));
    EXPECT_EQ(first.naturalSize, QSize(128, 192));
    EXPECT_EQ(first.image.size(), QSize(64, 96));
    ASSERT_TRUE(cache.get(path, {QSize(400, 400), true}, again));
    EXPECT_EQ(again.image.cacheKey(), first.image.cacheKey());
    ASSERT_TRUE(cache.get(path, {QSize(300, 200), true}, smaller));
    EXPECT_EQ(smaller.image.cacheKey(), first.image.cacheKey());
    EXPECT_EQ(cache.count(), 1);
}
