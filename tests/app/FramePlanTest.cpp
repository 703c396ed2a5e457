// What each slot of a frame shows: single page and both spread forms in both
// directions, the last page alone, the opening page alone, failed slots.
#include "app/FramePlan.h"

#include <QImage>
#include <QSet>
#include <gtest/gtest.h>

namespace
{
SlotLoader loaderFailing(const QSet<QString> &broken)
{
    return [broken](const QString &path, PictureData &p) {
        if (broken.contains(path))
            return false;
        p.image = QImage(8, 6, QImage::Format_RGB32);
        p.naturalSize = QSize(800, 600);
        p.path = path;
        return true;
    };
}

QStringList pages(int n)
{
    QStringList l;
    for (int i = 0; i < n; ++i)
        l << QStringLiteral("/p/%1.jpg").arg(i);
    return l;
}
} // namespace

TEST(FramePlan, SlotsCaptionAndNameForEachForm)
{
    struct Case {
        const char *what;
        int form, orient, index, count;
        QSet<QString> broken;
        QString left, right; // "" = empty slot
        bool leftFailed, rightFailed;
        Frame::Kind kind;
        QString name;
    };
    const Case cases[] = {
        {"single page", 0, 0, 2, 5, {}, "/p/2.jpg", "", false, false, Frame::Kind::Pictures, "2"},
        {"single page that fails is blank",
         0,
         0,
         2,
         5,
         {"/p/2.jpg"},
         "/p/2.jpg",
         "",
         false,
         false,
         Frame::Kind::Blank,
         ""},
        {"pairs left to right",
         1,
         0,
         2,
         5,
         {},
         "/p/2.jpg",
         "/p/3.jpg",
         false,
         false,
         Frame::Kind::Pictures,
         "3"},
        {"pairs right to left",
         1,
         1,
         2,
         5,
         {},
         "/p/3.jpg",
         "/p/2.jpg",
         false,
         false,
         Frame::Kind::Pictures,
         "2"},
        {"last page alone", 1, 0, 4, 5, {}, "/p/4.jpg", "", false, false, Frame::Kind::Pictures, "4"},
        {"last page alone right to left",
         1,
         1,
         4,
         5,
         {},
         "",
         "/p/4.jpg",
         false,
         false,
         Frame::Kind::Pictures,
         "4"},
        {"opening page alone on the next side",
         2,
         0,
         0,
         5,
         {},
         "",
         "/p/0.jpg",
         false,
         false,
         Frame::Kind::Pictures,
         "0"},
        {"opening page alone right to left",
         2,
         1,
         0,
         5,
         {},
         "/p/0.jpg",
         "",
         false,
         false,
         Frame::Kind::Pictures,
         "0"},
        {"form 2 pairs after the opening page",
         2,
         0,
         1,
         5,
         {},
         "/p/1.jpg",
         "/p/2.jpg",
         false,
         false,
         Frame::Kind::Pictures,
         "2"},
        {"failed right slot keeps the left",
         1,
         0,
         2,
         5,
         {"/p/3.jpg"},
         "/p/2.jpg",
         "/p/3.jpg",
         false,
         true,
         Frame::Kind::Pictures,
         "2"},
        {"both slots failed: no name",
         1,
         0,
         0,
         2,
         {"/p/0.jpg", "/p/1.jpg"},
         "/p/0.jpg",
         "/p/1.jpg",
         true,
         true,
         Frame::Kind::Pictures,
         ""},
    };
    for (const Case &c : cases) {
        FrameRequest r;
        r.pages = pages(c.count);
        r.index = c.index;
        r.form = DisplayForm(c.form);
        r.orient = c.orient;
        r.area = QSize(400, 300);
        const Frame f = PlanFrame(r, loaderFailing(c.broken));
        EXPECT_EQ(f.kind, c.kind) << c.what;
        EXPECT_EQ(
            f.caption,
            QStringLiteral("グリマーデック -- [%1/%2] /p/%3.jpg").arg(c.index + 1).arg(c.count).arg(c.index))
            << c.what;
        EXPECT_EQ(f.pages[0].path, c.left) << c.what;
        EXPECT_EQ(f.pages[1].path, c.right) << c.what;
        EXPECT_EQ(f.pages[0].failed, c.leftFailed) << c.what;
        EXPECT_EQ(f.pages[1].failed, c.rightFailed) << c.what;
        EXPECT_EQ(f.fileName, c.name) << c.what;
    }
}

TEST(FramePlan, PicturesAreFittedIntoTheirSlot)
{
    FrameRequest r;
    r.pages = pages(2);
    r.form = DisplayForm::Pairs;
    r.area = QSize(400, 300);
    const Frame f = PlanFrame(r, loaderFailing({}));
    // 800×600 fits a 400×300 slot exactly; the second slot starts at the area width.
    EXPECT_EQ(f.pages[0].rect, QRect(0, 0, 400, 300));
    EXPECT_EQ(f.pages[1].rect, QRect(400, 0, 400, 300));

    r.form = DisplayForm::Pairs;
    const Frame failed = PlanFrame(r, loaderFailing({"/p/1.jpg"}));
    EXPECT_TRUE(failed.pages[1].failed);
    // "表示不可" is centred in its own slot.
    EXPECT_GT(failed.pages[1].errorPos.x(), 400);
    EXPECT_LT(failed.pages[1].errorPos.x(), 800);
}
