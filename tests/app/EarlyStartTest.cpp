// Before the window system is up, the command line and the settings file
// already tell which picture comes first and how large the window is.
#include "app/EarlyStart.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{
void touch(const QString &path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

void writeIni(const QString &path, const QByteArray &text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}
} // namespace

TEST(EarlyStart, ChoosesTheFirstPictureAndTheWindowSize)
{
    QTemporaryDir tmp;
    const QString dir = tmp.filePath(QStringLiteral("photos"));
    QDir().mkpath(dir);
    for (const char *name : {"b.jpg", "A.png", "0.txt", "c.JPG", "z.zip"})
        touch(dir + '/' + QLatin1String(name));
    const QString list = tmp.filePath(QStringLiteral("pics.lst"));
    touch(list);
    const QString ini = tmp.filePath(QStringLiteral("glimmerdeck.ini"));
    const QByteArray window = "[Window]\nLeft=0\nTop=0\nWidth=1500\nHeight=900\n";

    struct Case {
        const char *what;
        QStringList args;
        QByteArray ini;
        QString path; // empty: nothing early
        QSize bound;
    };
    const Case cases[] = {
        {"folder: first picture by name", {dir}, window, dir + "/A.png", {1500, 900}},
        {"one file", {dir + "/c.JPG"}, window, dir + "/c.JPG", {1500, 900}},
        {"Qt's options come out first",
         {"-platform", "offscreen", dir + "/b.jpg"},
         window,
         dir + "/b.jpg",
         {1500, 900}},
        {"switches before the path", {"/Time=3", dir}, window, dir + "/A.png", {1500, 900}},
        {"maximised: the screen decides", {dir}, window + "State=1\n", dir + "/A.png", {}},
        {"no settings: the first window size", {dir}, "", dir + "/A.png", {620, 463}},
        {"spreads: two pictures", {dir}, window + "[Tool]\nState=1\n", {}, {}},
        {"full screen", {dir, "/Full=on"}, window, {}, {}},
        {"an archive", {dir + "/z.zip"}, window, {}, {}},
        {"a list file", {list}, window, {}, {}},
        {"not a picture", {dir + "/0.txt"}, window, {}, {}},
        {"nothing given", {}, window, {}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        writeIni(ini, c.ini);
        const EarlyPicture::Request r = EarlyStart::chooseFirstPicture(c.args, ini);
        EXPECT_EQ(r.path, c.path);
        if (!c.path.isEmpty()) {
            EXPECT_EQ(r.bound, c.bound);
        }
    }
}
