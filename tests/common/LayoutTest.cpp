#include "common/Layout.h"

#include <QString>
#include <gtest/gtest.h>
#include <vector>

using namespace layout;

namespace
{

constexpr int M = 20; // menu bar height used throughout

struct LayoutCase {
    const char *what;
    QSize picture, area;
    bool zoom, spread;
    int slot;
    Placement placement;
    QRect rect;
};

} // namespace

TEST(Layout, PlacesPicturesByFitAndSlot)
{
    const LayoutCase cases[] = {
        {"small, no zoom: natural, centred",
         {100, 50},
         {400, 300},
         false,
         false,
         0,
         Placement::Natural,
         {150, 125 + M, 100, 50}},
        {"small, zoom, W/H not above w/h: fit width",
         {100, 50},
         {400, 300},
         true,
         false,
         0,
         Placement::FitWidth,
         {0, 50 + M, 400, 200}},
        {"small, zoom, taller picture: fit height",
         {50, 100},
         {400, 300},
         true,
         false,
         0,
         Placement::FitHeight,
         {125, M, 150, 300}},
        {"equal ratios, too large: fit height",
         {800, 600},
         {400, 300},
         false,
         false,
         0,
         Placement::FitHeight,
         {0, M, 400, 300}},
        {"equal ratios, zoom: fit width",
         {200, 150},
         {400, 300},
         true,
         false,
         0,
         Placement::FitWidth,
         {0, M, 400, 300}},
        {"too tall", {300, 600}, {400, 300}, false, false, 0, Placement::FitHeight, {125, M, 150, 300}},
        {"too wide", {800, 100}, {400, 300}, false, false, 0, Placement::FitWidth, {0, 125 + M, 400, 50}},
        {"too large, wider: fit width",
         {1600, 400},
         {400, 300},
         false,
         false,
         0,
         Placement::FitWidth,
         {0, 100 + M, 400, 100}},
        // Spread: both pages meet at x = W.
        {"spread slot 0 natural",
         {100, 50},
         {400, 300},
         false,
         true,
         0,
         Placement::Natural,
         {300, 125 + M, 100, 50}},
        {"spread slot 1 natural",
         {100, 50},
         {400, 300},
         false,
         true,
         1,
         Placement::Natural,
         {400, 125 + M, 100, 50}},
        {"spread slot 0 fit height",
         {300, 600},
         {400, 300},
         false,
         true,
         0,
         Placement::FitHeight,
         {250, M, 150, 300}},
        {"spread slot 1 fit height",
         {300, 600},
         {400, 300},
         false,
         true,
         1,
         Placement::FitHeight,
         {400, M, 150, 300}},
        {"spread slot 0 fit width",
         {800, 100},
         {400, 300},
         false,
         true,
         0,
         Placement::FitWidth,
         {0, 125 + M, 400, 50}},
        {"spread slot 1 fit width",
         {800, 100},
         {400, 300},
         false,
         true,
         1,
         Placement::FitWidth,
         {400, 125 + M, 400, 50}},
        // Halves round to even: width 2.5 -> 2, then left (7 - 2) / 2 = 2.5 -> 2.
        {"round half to even", {5, 2}, {7, 1}, false, false, 0, Placement::FitHeight, {2, M, 2, 1}},
        {"round half to even, odd neighbour",
         {5, 2},
         {9, 1},
         false,
         false,
         0,
         Placement::FitHeight,
         {4, M, 2, 1}},
        {"picture without pixels", {0, 50}, {400, 300}, true, false, 0, Placement::Natural, {0, M, 0, 0}},
        {"minimised window", {100, 50}, {0, 0}, false, false, 0, Placement::FitHeight, {0, M, 0, 0}},
    };
    for (const LayoutCase &c : cases) {
        const PictureLayout got = LayoutPicture(c.picture, c.area, c.zoom, c.spread, c.slot, M);
        EXPECT_EQ(got.placement, c.placement) << c.what;
        EXPECT_EQ(got.rect, c.rect) << c.what;
    }
}

TEST(Layout, RoundsHalvesToEven)
{
    const std::pair<double, int> cases[] = {{0.5, 0},   {1.5, 2},    {2.5, 2},    {3.5, 4},
                                            {-2.5, -2}, {2.4999, 2}, {2.5001, 3}, {-0.5, 0}};
    for (auto [x, want] : cases)
        EXPECT_EQ(roundHalfEven(x), want) << x;
}

TEST(Layout, ComputesSlotArea)
{
    EXPECT_EQ(ComputeArea(false, {801, 600}, 20, 25), QSize(801, 555));
    EXPECT_EQ(ComputeArea(true, {801, 600}, 20, 25), QSize(400, 555));
    EXPECT_EQ(ComputeArea(true, {1920, 1080}), QSize(960, 1080));  // full screen: no bars
    EXPECT_EQ(ComputeArea(false, {10, 30}, 20, 25), QSize(10, 0)); // never negative
}

TEST(Layout, AssignsPagesToSlots)
{
    struct Case {
        const char *what;
        int state, orient, index, count;
        std::array<int, 2> page, picture;
    };
    const Case cases[] = {
        {"single page", 0, 1, 3, 5, {3, -1}, {0, -1}},
        {"pairs, left to right", 1, 0, 0, 5, {0, 1}, {0, 1}},
        {"pairs, right to left: current on the right", 1, 1, 0, 5, {1, 0}, {1, 0}},
        {"pairs, last page alone", 1, 0, 4, 5, {4, -1}, {0, -1}},
        {"pairs, last page alone, right to left", 1, 1, 4, 5, {-1, 4}, {-1, 0}},
        {"opening page alone on the next side", 2, 0, 0, 6, {-1, 0}, {-1, 1}},
        {"opening page alone, right to left", 2, 1, 0, 6, {0, -1}, {1, -1}},
        {"form 2 after the opening page", 2, 0, 1, 6, {1, 2}, {0, 1}},
        {"index not normalised", 1, 0, 5, 5, {-1, -1}, {-1, -1}},
        {"empty list", 0, 0, 0, 0, {-1, -1}, {-1, -1}},
    };
    for (const Case &c : cases) {
        const SlotPlan plan = PlanSlots(c.state, c.orient, c.index, c.count);
        EXPECT_EQ(plan.page, c.page) << c.what;
        EXPECT_EQ(plan.picture, c.picture) << c.what;
    }
}

TEST(Layout, PlacesErrorLabelInItsSlot)
{
    EXPECT_EQ(ErrorLabelPosition(0, {400, 300}, 16, 64, M), QPoint(168, 142 + M));
    EXPECT_EQ(ErrorLabelPosition(1, {400, 300}, 16, 64, M), QPoint(568, 142 + M));
}

TEST(FileNameLabel, ShrinksOnePointAtATimeNeverBelowOne)
{
    // A 30-character name: about 30 × 0.75 em wide at each point size.
    std::vector<int> asked;
    const TextWidthAt measure = [&](int pt) {
        asked.push_back(pt);
        return pt * 30 * 4 / 3;
    };

    ShrunkFont f = ShrinkLabelFont(200, 10, measure);
    EXPECT_EQ(f.pointSize, 5);
    EXPECT_EQ(f.width, 200);
    EXPECT_EQ(asked, (std::vector<int>{9, 8, 7, 6, 5}));

    asked.clear();
    f = ShrinkLabelFont(0, 10, measure); // fits nowhere
    EXPECT_EQ(f.pointSize, 1);
    EXPECT_EQ(f.width, 40);
    EXPECT_EQ(asked, (std::vector<int>{9, 8, 7, 6, 5, 4, 3, 2, 1}));

    // Tiny or broken stored sizes: one measurement at 1 point, no endless loop.
    for (int start : {2, 1, 0, -5}) {
        asked.clear();
        f = ShrinkLabelFont(0, start, measure);
        EXPECT_EQ(f.pointSize, 1) << start;
        EXPECT_EQ(asked, (std::vector<int>{1})) << start;
    }
}

TEST(FileNameLabel, PlacesByFlag)
{
    const TextWidthAt never = [](int) -> int {
        ADD_FAILURE() << "no shrinking expected";
        return 0;
    };
    const LabelWindow main{790, 800, 600, 25, 20};
    const QSize panel(100, 24);
    const std::pair<int, QPoint> cases[] = {{1, {0, 25}},  {2, {350, 25}},  {3, {700, 25}},
                                            {4, {0, 556}}, {5, {350, 556}}, {6, {700, 556}}};
    for (auto [flag, pos] : cases) {
        const LabelPlacement p = PlaceFileNameLabel(flag, panel, 12, main, never);
        EXPECT_TRUE(p.visible) << flag;
        EXPECT_EQ(p.rect, QRect(pos, panel)) << flag;
        EXPECT_EQ(p.pointSize, 12) << flag;
    }
    EXPECT_FALSE(PlaceFileNameLabel(0, panel, 12, main, never).visible);
    EXPECT_FALSE(PlaceFileNameLabel(7, panel, 12, main, never).visible);

    const LabelWindow full{1920, 1920, 1080, 0, 0};
    EXPECT_EQ(PlaceFileNameLabel(3, panel, 12, full, never).rect, QRect(1820, 0, 100, 24));
    EXPECT_EQ(PlaceFileNameLabel(4, panel, 12, full, never).rect, QRect(0, 1056, 100, 24));
}

TEST(FileNameLabel, NarrowWindowShrinksFontAndCentresShrunkWidth)
{
    const QString name = QString(30, u'あ');
    const QSize panel = FileNameLabelSize(name, -13); // 30 em wide, 1.2 lines high
    EXPECT_EQ(panel, QSize(390, 15));
    const LabelWindow narrow{300, 310, 400, 25, 20};
    const LabelPlacement p = PlaceFileNameLabel(5, panel, 10, narrow, [](int pt) { return pt * 40; });
    EXPECT_EQ(p.pointSize, 7);
    EXPECT_EQ(p.rect, QRect((310 - 280) / 2, 400 - 15 - 20, 280, 15));

    EXPECT_EQ(FileNameLabelSize(QStringLiteral("a😀"), 10).width(), 20); // characters, not UTF-16 units
}
