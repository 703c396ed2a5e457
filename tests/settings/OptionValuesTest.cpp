#include "settings/OptionValues.h"

#include "settings/Settings.h"

#include <gtest/gtest.h>

TEST(OptionValues, StoredValuesOutsideTheControlsAreBroughtIntoRange)
{
    const struct {
        int interval, intervalM, nButton, digits, flag, fontSize;
        OptionValues expected;
    } cases[] = {
        {30, 2000, 200, 9, 9, 5000, {20, 900, 10, 5, {}, {}, {}, {}, -1, {}, 999}},
        {-5, -1, 0, 0, -2, -3, {0, 0, 1, 1, {}, {}, {}, {}, -1, {}, 10}},
        {7, 300, 7, 3, 4, 0, {7, 300, 7, 3, {}, {}, {}, {}, 4, {}, 10}},
        {20, 900, 1, 1, 0, 12, {20, 900, 1, 1, {}, {}, {}, {}, 0, {}, 12}},
    };
    for (const auto &c : cases) {
        Settings s;
        s.Option.Interval = c.interval;
        s.Option.IntervalM = c.intervalM;
        s.Option.nButton = uint8_t(c.nButton);
        s.Option.SeqDigits = uint8_t(c.digits);
        s.fnLabel.flag = c.flag;
        s.fnLabel.fnlFontSize = c.fontSize;
        const OptionValues v = LoadOptionValues(s, {});
        EXPECT_EQ(v.seconds, c.expected.seconds) << c.interval;
        EXPECT_EQ(v.milliseconds, c.expected.milliseconds) << c.intervalM;
        EXPECT_EQ(v.nButton, c.expected.nButton) << c.nButton;
        EXPECT_EQ(v.seqDigits, c.expected.seqDigits) << c.digits;
        EXPECT_EQ(v.labelFlag, c.expected.labelFlag) << c.flag;
        EXPECT_EQ(v.fontSize, c.expected.fontSize) << c.fontSize;
    }
}

TEST(OptionValues, StoringReportsWhatChanged)
{
    Settings s;
    s.Option.Interval = 30;
    s.AppList = {"/usr/bin/a"};
    s.fnLabel = {3, "Sans", 10};
    const QStringList rules = {"IMG_,4(canon)"};

    // Opened and confirmed untouched: only the out-of-range interval moves.
    OptionResult r = StoreOptionValues(LoadOptionValues(s, rules), s, rules);
    EXPECT_EQ(s.Option.Interval, 20);
    EXPECT_TRUE(r.intervalChanged);
    EXPECT_FALSE(r.nButtonChanged || r.appsChanged || r.pluginDirChanged || r.rulesChanged || r.labelChanged);
    EXPECT_EQ(r.ruleLines, rules);

    OptionValues v = LoadOptionValues(s, rules);
    v.seconds = 0;
    v.milliseconds = 0;
    v.nButton = 7;
    v.labelFlag = 0;
    v.ruleLines << "DSC,4";
    v.pluginDir = "/spi";
    r = StoreOptionValues(v, s, rules);
    EXPECT_EQ(s.Option.Interval, 0);
    EXPECT_EQ(s.Option.IntervalM, 100); // a show of 0 ms would stand still
    EXPECT_EQ(s.Option.nButton, 7);
    EXPECT_TRUE(r.nButtonChanged && r.rulesChanged && r.pluginDirChanged && r.labelChanged);
    EXPECT_EQ(s.fnLabel.flag, 0);
    EXPECT_FALSE(s.Window.FileNameShown);

    // A stored position none of the buttons stands for is kept.
    s.fnLabel.flag = 9;
    StoreOptionValues(LoadOptionValues(s, rules), s, rules);
    EXPECT_EQ(s.fnLabel.flag, 9);
}

TEST(OptionValues, ApplicationListAndFontFamilies)
{
    QStringList apps = {"1", "2", "3", "4"};
    AddApplication(apps, "5");
    EXPECT_EQ(apps.size(), 5);
    AddApplication(apps, "6");
    EXPECT_EQ(apps, (QStringList{"2", "3", "4", "5", "6"}));

    EXPECT_EQ(LabelFontFamilies({"Noto Sans", "@MS Gothic", "abc", "MS Gothic", "Zeta"}),
              (QStringList{"abc", "MS Gothic", "Noto Sans", "Zeta"}));
    EXPECT_EQ(MillisecondsAfterSecondsChange(0, 0), 100);
    EXPECT_EQ(MillisecondsAfterSecondsChange(0, 300), 300);
    EXPECT_EQ(MillisecondsAfterSecondsChange(1, 0), 0);
}
