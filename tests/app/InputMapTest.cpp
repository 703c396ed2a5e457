#include "app/InputMap.h"

#include <gtest/gtest.h>

using C = InputCommand;

TEST(KeyDown, FollowsTableWithListAndFormConditions)
{
    struct Case {
        int key;
        C active, inactive, spread;
    };
    const Case cases[] = {
        {Qt::Key_Escape, C::Quit, C::Quit, C::Quit},
        {Qt::Key_Return, C::ToggleFullScreen, C::ToggleFullScreen, C::ToggleFullScreen},
        {Qt::Key_Enter, C::ToggleFullScreen, C::ToggleFullScreen, C::ToggleFullScreen},
        {Qt::Key_PageUp, C::StepBack, C::None, C::StepBack},
        {Qt::Key_Left, C::StepBack, C::None, C::StepBack},
        {Qt::Key_Down, C::StepBack, C::None, C::StepBack}, // down goes back
        {Qt::Key_PageDown, C::StepForward, C::None, C::StepForward},
        {Qt::Key_Right, C::StepForward, C::None, C::StepForward},
        {Qt::Key_Up, C::StepForward, C::None, C::StepForward},   // up goes forward
        {Qt::Key_Delete, C::DeleteCurrent, C::None, C::Refresh}, // never deletes in a spread
        {Qt::Key_Space, C::None, C::None, C::None},
        {Qt::Key_Home, C::None, C::None, C::None},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(KeyDownCommand(c.key, true, 0), c.active) << c.key;
        EXPECT_EQ(KeyDownCommand(c.key, false, 0), c.inactive) << c.key;
        EXPECT_EQ(KeyDownCommand(c.key, true, 1), c.spread) << c.key;
        EXPECT_EQ(KeyDownCommand(c.key, true, 2), c.spread) << c.key;
    }
}

TEST(KeyPress, SpaceAndDigits)
{
    struct Case {
        const char *what;
        QString text;
        bool active;
        int state, apps, buttons;
        InputAction want;
    };
    const Case cases[] = {
        {"space, one app", " ", true, 0, 1, 5, {C::StartApp, -1}},
        {"space, several apps", " ", true, 0, 3, 5, {C::ShowAppMenu, -1}},
        {"space, no app: not a number", " ", true, 0, 0, 5, {}},
        {"0 is the first slot", "0", true, 0, 0, 3, {C::Transfer, 0}},
        {"2 is the third slot", "2", true, 0, 0, 3, {C::Transfer, 2}},
        {"3 with three buttons", "3", true, 0, 0, 3, {}},
        {"9 with ten buttons", "9", true, 0, 0, 10, {C::Transfer, 9}},
        {"no buttons", "0", true, 0, 0, 0, {}},
        {"letter", "a", true, 0, 0, 5, {}},
        {"full-width digit", "２", true, 0, 0, 5, {}},
        {"inactive list", "1", false, 0, 1, 5, {}},
        {"spread form", "1", true, 1, 1, 5, {}},
        {"spread form, space", " ", true, 2, 1, 5, {}},
        {"no text (modifier key)", "", true, 0, 1, 5, {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(KeyPressCommand(c.text, c.active, c.state, c.apps, c.buttons), c.want) << c.what;
}

TEST(Mouse, ReleaseStepsOnlyForClicksWithinTenPixels)
{
    struct Case {
        QPoint release;
        Qt::MouseButton button;
        bool active;
        C want;
    };
    const QPoint press(100, 100);
    const Case cases[] = {
        {{100, 100}, Qt::LeftButton, true, C::StepForward},
        {{100, 100}, Qt::RightButton, true, C::StepBack},
        {{106, 104}, Qt::LeftButton, true, C::StepForward}, // 10 in total: still a click
        {{95, 95}, Qt::RightButton, true, C::StepBack},
        {{106, 105}, Qt::LeftButton, true, C::None}, // 11: a drag
        {{89, 100}, Qt::LeftButton, true, C::None},
        {{100, 100}, Qt::MiddleButton, true, C::None},
        {{100, 100}, Qt::LeftButton, false, C::None},
    };
    ClickTracker t;
    t.press(press, false);
    for (const Case &c : cases)
        EXPECT_EQ(t.release(c.button, c.release, c.active), c.want) << c.release.x() << "," << c.release.y();

    // A press with an empty list keeps the earlier position.
    t.press({500, 500}, true);
    EXPECT_EQ(t.pressPosition(), press);
}

TEST(Mouse, WheelStepsOncePerNotch)
{
    WheelStepper w;
    EXPECT_EQ(w.feed(-120), C::StepForward); // turning down
    EXPECT_EQ(w.feed(120), C::StepBack);
    // Touchpad: small deltas add up to one notch.
    EXPECT_EQ(w.feed(-40), C::None);
    EXPECT_EQ(w.feed(-40), C::None);
    EXPECT_EQ(w.feed(-40), C::StepForward);
    // A reversal forgets the partial movement the other way.
    EXPECT_EQ(w.feed(-100), C::None);
    EXPECT_EQ(w.feed(100), C::None);
    EXPECT_EQ(w.feed(20), C::StepBack);
    // A fast spin in one event is one step, and leaves nothing behind.
    EXPECT_EQ(w.feed(-360), C::StepForward);
    EXPECT_EQ(w.feed(-10), C::None);
    EXPECT_EQ(w.feed(0), C::None);
}
