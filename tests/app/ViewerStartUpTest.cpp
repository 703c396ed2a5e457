// The first moments: decoding ahead starts once the first picture is on
// screen, and once a window opening beside it (the tool box) has painted
// too, or a moment later when that window never paints.
#include "app/ViewerStartUp.h"

#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

struct StartUp {
    int settled = 0;
    ViewerStartUp startUp{{[this] { ++settled; }, [] {}, [] {}}};

    void settle() { QCoreApplication::processEvents(); }
};

} // namespace

TEST(ViewerStartUp, DecodingAheadWaitsForTheWindowsOpeningBesideThePicture)
{
    enum Step { Hold, Picture, WindowPainted };
    const struct {
        const char *what;
        std::vector<Step> steps;
        std::vector<int> settledAfter; // settled count after each step
    } cases[] = {
        {"picture alone", {Picture}, {1}},
        {"tool box paints after the picture", {Hold, Picture, WindowPainted}, {0, 0, 1}},
        {"tool box paints first", {Hold, WindowPainted, Picture}, {0, 0, 1}},
        {"two windows", {Hold, Hold, Picture, WindowPainted, WindowPainted}, {0, 0, 0, 0, 1}},
    };
    for (const auto &c : cases) {
        StartUp s;
        for (size_t i = 0; i < c.steps.size(); ++i) {
            switch (c.steps[i]) {
            case Hold:
                s.startUp.holdForWindow();
                break;
            case Picture:
                s.startUp.pictureOnScreen(false);
                break;
            case WindowPainted:
                s.startUp.windowPainted();
                break;
            }
            s.settle();
            EXPECT_EQ(s.settled, c.settledAfter[i]) << c.what << ", step " << i;
        }
        EXPECT_TRUE(s.startUp.settled()) << c.what;
        // More paints change nothing.
        s.startUp.windowPainted();
        s.startUp.pictureOnScreen(false);
        s.settle();
        EXPECT_EQ(s.settled, 1) << c.what;
    }
}

TEST(ViewerStartUp, AWindowThatNeverPaintsHoldsNothingForLong)
{
    StartUp s;
    s.startUp.holdForWindow();
    s.startUp.pictureOnScreen(false);
    s.settle();
    EXPECT_EQ(s.settled, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return s.settled == 1; }, 5000));
    // Its paint, late, does not settle a second time.
    s.startUp.windowPainted();
    s.settle();
    EXPECT_EQ(s.settled, 1);
}
