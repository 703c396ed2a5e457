#include "desktop/DesktopEntry.h"

#include <gtest/gtest.h>

namespace
{

const QString P = QStringLiteral("/tmp/写真 フォルダ/a \"b\" $c.jpg");

} // namespace

TEST(DesktopEntry, ExecIsSplitByItsQuotingRulesAndFieldCodesFilledIn)
{
    const ExecFields fields{P, QStringLiteral("写真ビューア"), QStringLiteral("viewer-icon"),
                            QStringLiteral("/apps/view.desktop")};
    struct Case {
        const char *exec;
        QStringList argv; // empty: refused
    };
    const Case cases[] = {
        {"viewer %f", {"viewer", P}},
        {"\"/opt/My App/bin/view\" --open %U", {"/opt/My App/bin/view", "--open", P}},
        {"view --title=%c %i %k %u",
         {"view", "--title=写真ビューア", "--icon", "viewer-icon", "/apps/view.desktop", P}},
        {"view --zoom=100%% %F", {"view", "--zoom=100%", P}},
        {"view %d %D %n %N %v %m %f", {"view", P}},  // deprecated codes vanish without a trace
        {"view", {"view", P}},                       // no file code: the picture goes last
        {"view --file=%f", {"view", "--file=" + P}}, // a code inside an argument
        {"sh -c \"echo \\\"\\$1\\\" \\`x\\` \\\\\" %f", {"sh", "-c", "echo \"$1\" `x` \\", P}},
        {"  view \t --a   %f  ", {"view", "--a", P}},
        {"view \"\" %f", {"view", "", P}}, // an empty quoted argument is still an argument
        {"my\\ view %f", {"my view", P}},
        {"view \"%f", {}}, // unclosed quote
        {"\"\" %f", {}},   // nothing to run
        {"", {}},
    };
    for (const Case &c : cases) {
        const auto argv = ExpandExec(QString::fromUtf8(c.exec), fields);
        if (c.argv.isEmpty()) {
            EXPECT_FALSE(argv.has_value()) << c.exec;
        } else {
            ASSERT_TRUE(argv.has_value()) << c.exec;
            EXPECT_EQ(*argv, c.argv) << c.exec;
        }
    }
    // Without an icon, %i gives no argument at all.
    EXPECT_EQ(*ExpandExec("view %i %f", {P, {}, {}, {}}), QStringList({"view", P}));
}

TEST(DesktopEntry, ReadsTheMainGroupWithTranslationsAndEscapes)
{
    const QByteArray file = "Name=outside any group\r\n"
                            "[Desktop Entry]\r\n"
                            "# a comment\r\n"
                            "Type = Application\r\n"
                            "Name=Viewer\r\n"
                            "Name[ja]=ビューア\r\n"
                            "Name[de@euro]=Betrachter\r\n"
                            "Exec=echo \"a\\\\\\\\b\"\\s%f\r\n"
                            "Path=/srv/pictures\r\n"
                            "Icon=viewer\r\n"
                            "\r\n"
                            "[Desktop Action other]\r\n"
                            "Exec=other %f\r\n";
    const DesktopEntry e = ParseDesktopEntry(file, "ja_JP.UTF-8");
    EXPECT_TRUE(e.found);
    EXPECT_EQ(e.type, "Application");
    EXPECT_EQ(e.name, "ビューア");
    EXPECT_EQ(e.path, "/srv/pictures");
    EXPECT_EQ(e.icon, "viewer");
    // Four backslashes in the file are one in the argument.
    EXPECT_EQ(e.exec, "echo \"a\\\\b\" %f");
    EXPECT_EQ(*ExpandExec(e.exec, {P, {}, {}, {}}), QStringList({"echo", "a\\b", P}));

    EXPECT_EQ(ParseDesktopEntry(file, "de_DE@euro").name, "Betrachter");
    EXPECT_EQ(ParseDesktopEntry(file, "fr_FR.UTF-8").name, "Viewer");
    EXPECT_EQ(ParseDesktopEntry(file, "C").name, "Viewer");

    EXPECT_FALSE(ParseDesktopEntry("[Other]\nExec=x\n", "C").found);
}
