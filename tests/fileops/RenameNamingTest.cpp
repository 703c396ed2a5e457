#include "fileops/RenameModes.h"
#include "fileops/RenameSession.h"

#include <gtest/gtest.h>

namespace
{
const DcimRuleTable kRules = DcimRulesParse({"IMG_,4(canon)", "DSC_,4(nikon)"}).rules;

QStringList inFolder(const QStringList &names)
{
    QStringList out;
    for (const QString &n : names)
        out << "/pics/" + n;
    return out;
}

// Lays out `mode` at each picture in turn and takes the name a change gives,
// the way the dialog walks the list.
QStringList walk(RenameSession &s, int mode, const QStringList &names)
{
    const QStringList list = inFolder(names);
    QStringList out;
    for (int i = 0; i < list.size(); ++i) {
        EXPECT_EQ(s.FileNameSet(mode, list, i, kRules), RenameSession::Outcome::Shown) << i;
        out << s.NewName(mode);
    }
    return out;
}
} // namespace

TEST(RenameNaming, QuestionAndLocationLines)
{
    RenameSession s;
    ASSERT_EQ(s.FileNameSet(kRenameFree, {"/pics/trip/IMG_0001.JPG"}, 0, kRules),
              RenameSession::Outcome::Shown);
    EXPECT_EQ(s.form.Label1, "\"IMG_0001.JPG\" の新しいファイル名を入力してください。");
    EXPECT_EQ(s.form.Label2, "場所：  \"/pics/trip/\"");
    EXPECT_EQ(s.form.Label3, ".JPG");
    EXPECT_EQ(s.form.Edit1, "IMG_0001");
    EXPECT_EQ(s.NewName(kRenameFree), "IMG_0001.JPG"); // unchanged: no rename follows
    s.form.Edit1 = "beach";
    EXPECT_EQ(s.NewName(kRenameFree), "beach.JPG");
}

TEST(RenameNaming, NumberingStartsFromTheNameAndContinues)
{
    struct Case {
        const char *what;
        bool back;
        QStringList names;
        const char *fixed;
        int start, digits;
        QStringList expected;
    } cases[] = {
        {"back",
         true,
         {"trip_005.jpg", "x.png", "y.JPG"},
         "trip",
         5,
         3,
         {"trip_005.jpg", "trip_006.png", "trip_007.JPG"}},
        {"front", false, {"012_beach.jpg", "b.jpg"}, "beach", 12, 3, {"012_beach.jpg", "013_beach.jpg"}},
        {"no number",
         true,
         {"sun_sea_sky.jpg", "b.jpg"},
         "sun_sea_sky",
         1,
         3,
         {"sun_sea_sky_001.jpg", "sun_sea_sky_002.jpg"}},
        {"number first but adding at the back",
         true,
         {"012_beach.jpg"},
         "012_beach",
         1,
         3,
         {"012_beach_001.jpg"}},
        {"two digits", true, {"a_07", "b"}, "a", 7, 2, {"a_07", "a_08"}},
        {"trailing underscore", true, {"x_.jpg"}, "x", 1, 3, {"x_001.jpg"}},
        {"zero is a number", true, {"x_000.jpg"}, "x", 0, 3, {"x_000.jpg"}},
    };
    for (const Case &c : cases) {
        RenameSession s;
        s.AddWay = c.back;
        s.NumberStartFlag = true;
        const QStringList list = inFolder(c.names);
        ASSERT_EQ(s.FileNameSet(kRenameNumbering, list, 0, kRules), RenameSession::Outcome::Shown);
        EXPECT_EQ(s.form.Edit1, c.fixed) << c.what;
        EXPECT_EQ(s.form.SpinEdit1, c.start) << c.what;
        EXPECT_EQ(s.form.SpinEdit2, c.digits) << c.what;
        EXPECT_TRUE(s.form.CheckBox1 && s.form.edit1Visible && s.form.spin1Visible && s.form.label5Visible);
        EXPECT_EQ(s.form.row, c.back ? RenameRow::NumberBack : RenameRow::NumberFront);
        EXPECT_EQ(walk(s, kRenameNumbering, c.names), c.expected) << c.what;
    }
}

TEST(RenameNaming, NumberingShowsThePreviewAfterTheFirstChange)
{
    RenameSession s;
    s.NumberStartFlag = true;
    const QStringList list = inFolder({"trip_005.jpg", "x.png"});
    s.FileNameSet(kRenameNumbering, list, 0, kRules);
    s.form.Edit1 = "holiday"; // the user's own text and numbers count
    s.form.SpinEdit1 = 40;
    s.form.SpinEdit2 = 4;
    EXPECT_EQ(s.NewName(kRenameNumbering), "holiday_0040.jpg");
    s.FileNameSet(kRenameNumbering, list, 1, kRules);
    EXPECT_FALSE(s.form.CheckBox1);
    EXPECT_FALSE(s.form.edit1Visible || s.form.spin1Visible || s.form.label3Visible);
    EXPECT_TRUE(s.form.label4Visible && s.form.spin2Visible && s.form.label6Visible);
    EXPECT_EQ(s.form.Label4, "holiday_0041.png");
    EXPECT_EQ(s.form.SpinEdit2, 4);

    // A number longer than the digit count is cut to its last digits.
    RenameSession cut;
    cut.NumberStartFlag = true;
    cut.FileNameSet(kRenameNumbering, inFolder({"a.jpg"}), 0, kRules);
    cut.form.SpinEdit1 = 123;
    cut.form.SpinEdit2 = 2;
    EXPECT_EQ(cut.NewName(kRenameNumbering), "a_23.jpg");
}

TEST(RenameNaming, AddedTextGoesToTheChosenSide)
{
    RenameSession s;
    s.FileNameSet(kRenameAddText, inFolder({"x.jpg"}), 0, kRules);
    EXPECT_EQ(s.form.Label4, "x_");
    EXPECT_EQ(s.form.Edit1, "");
    EXPECT_TRUE(s.form.bitBtn5Visible && s.form.radiosVisible && s.form.label3Visible);
    EXPECT_EQ(s.NewName(kRenameAddText), "x_.jpg"); // an empty text still adds the "_"
    s.form.Edit1 = "party";
    EXPECT_EQ(s.NewName(kRenameAddText), "x_party.jpg");

    s.AddWay = false;
    s.FileNameSet(kRenameAddText, inFolder({"x.jpg"}), 0, kRules);
    EXPECT_EQ(s.form.Label4, "_x");
    EXPECT_EQ(s.form.row, RenameRow::EditThenLabel);
    s.form.Edit1 = "party";
    EXPECT_EQ(s.NewName(kRenameAddText), "party_x.jpg");
}

TEST(RenameNaming, CopiesTheTextAddedToThePreviousCameraName)
{
    struct Case {
        const char *what;
        int mode;
        bool back;
        QStringList names;
        const char *label4, *edit1, *result;
    } cases[] = {
        {"edit, back",
         kRenameCopyEdit,
         true,
         {"IMG_1234_party.jpg", "IMG_5678.jpg"},
         "IMG_5678_",
         "party",
         "IMG_5678_party.jpg"},
        {"edit, front",
         kRenameCopyEdit,
         false,
         {"party_IMG_1234.jpg", "IMG_5678.jpg"},
         "_IMG_5678",
         "party",
         "party_IMG_5678.jpg"},
        {"edit, camera name inside",
         kRenameCopyEdit,
         true,
         {"IMG_1234_party.jpg", "x_DSC_0002_y.jpg"},
         "DSC_0002_",
         "party",
         "DSC_0002_party.jpg"},
        {"auto, text at the back",
         kRenameCopyAuto,
         false,
         {"IMG_1234_party.jpg", "IMG_5678.jpg"},
         "IMG_5678_party.jpg",
         "",
         "IMG_5678_party.jpg"},
        {"auto, text at the front turns the side",
         kRenameCopyAuto,
         true,
         {"party_IMG_1234.jpg", "IMG_5678.jpg"},
         "party_IMG_5678.jpg",
         "",
         "party_IMG_5678.jpg"},
    };
    for (const Case &c : cases) {
        RenameSession s;
        s.AddWay = c.back;
        ASSERT_EQ(s.FileNameSet(c.mode, inFolder(c.names), 1, kRules), RenameSession::Outcome::Shown)
            << c.what;
        EXPECT_EQ(s.form.Label4, c.label4) << c.what;
        if (c.mode == kRenameCopyEdit)
            EXPECT_EQ(s.form.Edit1, c.edit1) << c.what;
        else
            EXPECT_FALSE(s.form.edit1Visible || s.form.radiosVisible) << c.what;
        EXPECT_EQ(s.NewName(c.mode), c.result) << c.what;
    }

    // Automatic copying onto a name without a camera number uses the text
    // typed at the last change.
    RenameSession s;
    s.preInput = "beach";
    s.FileNameSet(kRenameCopyAuto, inFolder({"IMG_1234_party.jpg", "holiday.jpg"}), 1, kRules);
    EXPECT_EQ(s.NewName(kRenameCopyAuto), "beach_party.jpg");
}

TEST(RenameNaming, CopyModesNeedAPreviousCameraName)
{
    RenameSession s;
    const QStringList list = inFolder({"IMG_0001.jpg", "notes.jpg", "IMG_0003.jpg"});
    EXPECT_EQ(s.FileNameSet(kRenameCopyEdit, list, 0, kRules), RenameSession::Outcome::InfoAndClose);
    EXPECT_EQ(s.FileNameSet(kRenameCopyAuto, list, 0, kRules), RenameSession::Outcome::StepAndClose);
    EXPECT_EQ(s.FileNameSet(kRenameCopyEdit, list, 2, kRules), RenameSession::Outcome::Close);
    EXPECT_EQ(s.FileNameSet(kRenameCopyAuto, list, 2, kRules), RenameSession::Outcome::Close);
    EXPECT_EQ(s.FileNameSet(kRenameCopyEdit, list, 1, {}), RenameSession::Outcome::Close); // no rules
    EXPECT_EQ(s.FileNameSet(kRenameFree, list, 3, kRules), RenameSession::Outcome::Close); // index gone
}

TEST(RenameModes, CheckNamesAndMenu)
{
    struct Case {
        int mode, index, after;
        bool restart;
    } cases[] = {{1, 0, 1, true},  {1, 5, 1, true},  {3, 0, 2, false}, {4, 0, 2, false},
                 {3, 1, 3, false}, {4, 2, 4, false}, {0, 0, 0, false}, {9, 3, 0, false}};
    for (const Case &c : cases) {
        uint8_t mode = uint8_t(c.mode);
        EXPECT_EQ(RenameModeCheck(mode, c.index), c.restart) << c.mode << "@" << c.index;
        EXPECT_EQ(mode, c.after) << c.mode << "@" << c.index;
    }
    EXPECT_EQ(RenameModeName(2), "文字・追加");
    EXPECT_EQ(RenameModeName(4), "追加文字複写");
    EXPECT_EQ(RenameModeMenu()[2].caption, "文字追加");
    EXPECT_EQ(RenameModeMenu()[4].caption, "文字複写");
    for (int m = 0; m < kRenameModeCount; ++m)
        EXPECT_EQ(RenameModeMenu()[size_t(m)].tag, m + 1);
}

TEST(RenameModes, UsableNamesAndFailureTexts)
{
    for (const QString &bad : {QString(), QString("."), QString(".."), QString("a/b"), QString("/"),
                               QString("a") + QChar(0) + "b", QString("ctl\x01x"), QString("a\tb.jpg"),
                               QString("a\nb"), QString("a") + QChar(0x1F), QString("a") + QChar(0x7F),
                               QString("...jpg"), QString("..a"), QString(".jpg")})
        EXPECT_FALSE(IsUsableFileName(bad)) << bad.toStdString();
    for (const QString &good : {QString("a.jpg"), QString("a..jpg"), QString("写真 1"), QString("a\\b")})
        EXPECT_TRUE(IsUsableFileName(good)) << good.toStdString();

    EXPECT_EQ(RenameFailureText({FileOpResult::TargetExists, {}}), "同名のファイルがありました。");
    for (FileOpResult r : {FileOpResult::PermissionDenied, FileOpResult::ReadOnly,
                           FileOpResult::SourceMissing, FileOpResult::InvalidName, FileOpResult::Failed}) {
        const QString text = RenameFailureText({r, "detail"});
        EXPECT_FALSE(text.isEmpty());
        EXPECT_FALSE(text.contains("同名")) << text.toStdString();
    }
    EXPECT_TRUE(RenameFailureText({FileOpResult::Failed, "Device busy"}).contains("Device busy"));
}
