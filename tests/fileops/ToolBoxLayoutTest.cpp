// The tool box's arithmetic and texts: the window's height, the faces of
// the transfer buttons, the captions folders and edits give, the order button.
#include "fileops/ToolBoxLayout.h"

#include "fileops/Transfer.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

TEST(ToolBoxLayout, PanelHeightCutsAtTheDividerOrMakesRoomForTheButtons)
{
    struct Case {
        bool open;
        int nButton;
        int height;
    } cases[] = {
        {true, 10, 629},
        {true, 5, 509},
        {true, 1, 413},
        {true, 0, 389},
        {false, 10, 350},
        {false, 0, 350},
        {true, 12, 629}, // a hand-edited count has no more room than ten
                         // slots
        {true, -3, 389},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PanelHeight(c.open, c.nButton), c.height) << c.open << " " << c.nButton;
    EXPECT_EQ(ButtonTop(0), 386);
    EXPECT_EQ(ButtonTop(9), 602); // its bottom, 627, is inside the 629 of ten buttons
}

TEST(ToolBoxLayout, ButtonFaceCentresCutsAndMarksRunTimeSlots)
{
    struct Case {
        QString folder, caption;
        QString face;
        bool runTime;
    } cases[] = {
        {"/p/Cats", "Cats", "   Cats     ", false},
        {"none", "none", "   none     ", false},               // never bound
        {"", "Cats", "   none     ", false},                   // cleared folder
        {"/p/x", "", "   none     ", false},                   // empty caption
        {"/p/x", "abcdefghijklmn", "abcdefghijk  ", false},    // 14 characters show 11
        {"/p/x", "abcdefghijkl", "abcdefghijkl ", false},      // 12 show whole
        {"/p/x", "abcdefghijklm", "abcdefghijklm", false},     // wider than the face: no spaces
        {"/p/x", "abcdefghijklmno", "abcdefghijklmno", false}, // only exactly 14 is cut
        {"/p/x", "写真", "    写真      ", false},
        {kRunTimeFolder, "AnyWhere", "AnyWhere  ", true},
        {kRunTimeFolder, "abc", "  abc     ", true},
    };
    for (const Case &c : cases) {
        const ButtonFace face = ButtonFaceSet(TransferSlot{c.folder, c.caption, {}});
        EXPECT_EQ(face.caption, c.face) << c.caption.toStdString();
        EXPECT_EQ(face.runTime, c.runTime) << c.caption.toStdString();
        EXPECT_EQ(face.hint, c.folder);
    }
}

TEST(ToolBoxLayout, CaptionsFromFoldersAndEdits)
{
    EXPECT_EQ(LastFolderName("/Photos/Cats/"), "Cats");
    EXPECT_EQ(LastFolderName("/Photos/Cats"), "Cats");
    EXPECT_EQ(LastFolderName("Cats"), "Cats");
    EXPECT_EQ(LastFolderName("/"), "");
    EXPECT_EQ(LastFolderName("/a//"), ""); // only one trailing separator goes
    EXPECT_EQ(FolderCaption("/home/me/AVeryLongFolderName"), "AVeryLongFol");
    EXPECT_EQ(FolderCaption("/home/me/写真/"), "写真");

    EXPECT_EQ(EditedCaption(""), "none");
    EXPECT_EQ(EditedCaption("Cats"), "Cats");
    EXPECT_EQ(EditedCaption("A very long caption"), "A very long ");
}

TEST(ToolBoxLayout, OrderButtonFacesAndSliderTicks)
{
    const std::pair<int, QString> orders[] = {{1, "ランダム"}, {2, "正順"}, {3, "逆順"}, {4, "日時順"}};
    for (const auto &[order, caption] : orders) {
        const auto face = SortCaptionSet(order);
        ASSERT_TRUE(face.has_value()) << order;
        EXPECT_EQ(face->caption, caption);
        EXPECT_FALSE(face->glyph.isEmpty());
    }
    EXPECT_FALSE(SortCaptionSet(0).has_value());
    EXPECT_FALSE(SortCaptionSet(5).has_value());

    EXPECT_EQ(SliderTickFrequency(1), 1);
    EXPECT_EQ(SliderTickFrequency(40), 1);
    EXPECT_EQ(SliderTickFrequency(41), 10);
}
