#include "desktop/FileMime.h"

#include <QImage>
#include <QMimeData>
#include <QSysInfo>
#include <QUrl>
#include <gtest/gtest.h>
#include <memory>

TEST(FileMime, OffersTheFileToFileManagersAndThePictureToEveryoneElse)
{
    const QString path = QStringLiteral("/tmp/写真 フォルダ/夏 #1.jpg");
    const QByteArray url =
        "file:///tmp/%E5%86%99%E7%9C%9F%20%E3%83%95%E3%82%A9%E3%83%AB%E3%83%80/%E5%A4%8F%20%231.jpg";
    QImage image(32, 24, QImage::Format_RGB32);
    image.fill(Qt::red);

    std::unique_ptr<QMimeData> mime(FileMimeData(path, &image));
    EXPECT_EQ(mime->urls(), QList<QUrl>{QUrl::fromLocalFile(path)});
    EXPECT_EQ(mime->data("text/uri-list").trimmed(), url);
    EXPECT_EQ(mime->data("x-special/gnome-copied-files"), "copy\n" + url);
    EXPECT_EQ(mime->data("application/x-kde-cutselection"), "0");
    EXPECT_FALSE(mime->formats().contains("text/plain")); // a paste into a text field stays empty
    ASSERT_TRUE(mime->hasImage());
    EXPECT_EQ(qvariant_cast<QImage>(mime->imageData()).size(), QSize(32, 24));

    std::unique_ptr<QMimeData> fileOnly(FileMimeData(path));
    EXPECT_FALSE(fileOnly->hasImage());
    EXPECT_EQ(DroppedPaths(fileOnly.get()), QStringList{path});
}

TEST(FileMime, DropGivesLocalPathsInDropOrder)
{
    QMimeData mime;
    // As a file manager sends it: CRLF lines, a comment, percent-encoding.
    const QByteArray host = QSysInfo::machineHostName().toUtf8();
    mime.setData("text/uri-list", "# dragged from the file manager\r\n"
                                  "file:///home/me/z%20last.jpg\r\n"
                                  "file:///home/me/%E5%86%99%E7%9C%9F/\r\n"
                                  "https://example.org/remote.jpg\r\n"
                                  "file://localhost/home/me/a.lst\r\n"
                                  "file://" +
                                      host +
                                      "/home/me/b.zip\r\n"
                                      "file://elsewhere.example/home/me/c.jpg\r\n"
                                      "file:///home/me/z%20last.jpg\r\n");
    EXPECT_EQ(DroppedPaths(&mime), QStringList({"/home/me/z last.jpg", "/home/me/写真", "/home/me/a.lst",
                                                "/home/me/b.zip", "/home/me/z last.jpg"}));
    EXPECT_TRUE(AcceptsFileDrop(&mime));

    QMimeData remote;
    remote.setUrls({QUrl("https://example.org/a.jpg")});
    EXPECT_FALSE(AcceptsFileDrop(&remote));
    QMimeData text;
    text.setText("/home/me/a.jpg");
    EXPECT_FALSE(AcceptsFileDrop(&text));
    EXPECT_TRUE(DroppedPaths(nullptr).isEmpty());
}
