#include "fileops/DcimRules.h"

#include "common/NameParts.h"
#include "common/TextCodec.h"
#include "fileops/RuleFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{
QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

DcimRuleTable rules(const QStringList &lines)
{
    return DcimRulesParse(lines).rules;
}
} // namespace

TEST(DcimNameParts, SplitPadAndDigits)
{
    struct Split {
        const char *in, *name, *ext;
    } splits[] = {{"IMG_1234.jpg", "IMG_1234", ".jpg"},
                  {"a.b.jpeg", "a.b", ".jpeg"},
                  {"README", "README", ""},
                  {"photo.", "photo", "."},
                  {".hidden", "", ".hidden"},
                  {"", "", ""}};
    for (const Split &c : splits) {
        const NameAndExt r = SplitExt(QString::fromUtf8(c.in));
        EXPECT_EQ(r.name, QString::fromUtf8(c.name)) << c.in;
        EXPECT_EQ(r.ext, QString::fromUtf8(c.ext)) << c.in;
    }

    EXPECT_EQ(ZeroPad(7, 3), "007");
    EXPECT_EQ(ZeroPad(12345, 3), "345");
    EXPECT_EQ(ZeroPad(123, 2), "23");
    EXPECT_EQ(ZeroPad(5, 5), "00005");
    EXPECT_EQ(ZeroPad(QString(), 2), "00");
    EXPECT_EQ(ZeroPad(9, 0), "");

    struct Digits {
        const char *text;
        int n;
        bool ok;
        int value;
    } digits[] = {{"1234", 4, true, 1234},       {"0042", 4, true, 42},     {"12ab", 4, false, -1},
                  {"123", 4, false, 123},        {"12345", 3, true, 12345}, {"", 0, true, -1},
                  {"99999999999", 11, true, -1}, {"-12", 3, false, -12}};
    for (const Digits &c : digits) {
        int value = 0;
        EXPECT_EQ(IsDigits(QString::fromUtf8(c.text), c.n, &value), c.ok) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(DcimRules, ParsesEachLineAndStopsAtAnUnreadableDigitCount)
{
    const DcimParseResult ok = DcimRulesParse({"IMG_,4(canon)", "DSC_, 4 (nikon)", "4(no letters)"});
    EXPECT_EQ(ok.badLine, 0);
    EXPECT_TRUE(ok.error.isEmpty());
    ASSERT_EQ(ok.rules.size(), 3);
    EXPECT_EQ(ok.rules[0].TopAlpha, "IMG_");
    EXPECT_EQ(ok.rules[0].NumKeta, 4);
    EXPECT_EQ(ok.rules[0].Bikou, "(canon)");
    EXPECT_EQ(ok.rules[1].NumKeta, 4);
    EXPECT_EQ(ok.rules[2].TopAlpha, ""); // no comma: no letters, never matches
    EXPECT_EQ(ok.rules[2].NumKeta, 4);

    struct Bad {
        QStringList lines;
        int line;
    } bad[] = {{{"IMG_,4(canon)", "DSC_,x(nikon)", "DSCF,4(fuji)"}, 2},
               {{"IMG_,4"}, 1}, // no "(": the digit count is empty
               {{"IMG_,4(canon)", "", "DSC_,4(nikon)"}, 2},
               {{"IMG_,(canon)"}, 1}};
    for (const Bad &c : bad) {
        const DcimParseResult r = DcimRulesParse(c.lines);
        EXPECT_EQ(r.badLine, c.line) << c.lines.join('|').toStdString();
        EXPECT_TRUE(r.error.contains(QStringLiteral("%1 行目").arg(c.line))) << r.error.toStdString();
        EXPECT_TRUE(r.error.contains(c.lines[c.line - 1]));
        ASSERT_EQ(r.rules.size(), c.lines.size());
        for (int i = c.line - 1; i < r.rules.size(); ++i)
            EXPECT_TRUE(r.rules[i].TopAlpha.isEmpty());
        // Names the later lines would have matched are not recognised.
        EXPECT_FALSE(DcimRuleMatch(r.rules, "DSC_0001").found());
        EXPECT_FALSE(DcimRuleMatch(r.rules, "DSCF0001").found());
    }
    // The lines before the bad one still work.
    EXPECT_TRUE(DcimRuleMatch(DcimRulesParse(bad[0].lines).rules, "IMG_0001").found());
}

TEST(DcimRules, FindsTheFirstCameraNameByTheFirstMatchingRule)
{
    const DcimRuleTable two = rules({"IMG_,4(canon)", "DSC_,4(nikon)"});
    struct Case {
        const char *name;
        int pos, number, digits, length;
    } cases[] = {
        {"IMG_1234", 1, 1234, 4, 8},
        {"party_IMG_0042", 7, 42, 4, 8},
        {"IMG_1234_party", 1, 1234, 4, 8},
        {"DSC_0001", 1, 1, 4, 8},  // second rule
        {"IMG_0000", -1, 0, 0, 0}, // zero is no camera number
        {"IMG_12ab", -1, 0, 0, 0},
        {"IMG_123", -1, 0, 0, 0},        // too few digits
        {"img_1234", -1, 0, 0, 0},       // letters match exactly
        {"IMG_x_IMG_1234", -1, 0, 0, 0}, // only the first occurrence counts
        {"", -1, 0, 0, 0},
    };
    for (const Case &c : cases) {
        const DcimMatch m = DcimRuleMatch(two, QString::fromUtf8(c.name));
        EXPECT_EQ(m.pos, c.pos) << c.name;
        EXPECT_EQ(m.number, c.number) << c.name;
        EXPECT_EQ(m.digits, c.digits) << c.name;
        EXPECT_EQ(m.length, c.length) << c.name;
    }
    EXPECT_FALSE(DcimRuleMatch({}, "IMG_1234").found());
    // A rule without letters never matches, even a bare number.
    EXPECT_FALSE(DcimRuleMatch(rules({",4(x)"}), "1234").found());
}

TEST(DcimRuleFile, ReadsEveryEncodingAndLineEnd)
{
    const QString remark = QStringLiteral("(キヤノン)");
    struct Case {
        const char *what;
        QByteArray bytes;
        DcimRuleFile::Encoding enc;
        QStringList lines;
    } cases[] = {
        {"cp932 crlf",
         encodeCp932("IMG_,4" + remark + "\r\nDSC_,4(nikon)\r\n"),
         DcimRuleFile::Encoding::Cp932,
         {"IMG_,4" + remark, "DSC_,4(nikon)"}},
        {"lf, last line unterminated",
         "IMG_,4(a)\nDSC_,4(b)",
         DcimRuleFile::Encoding::Cp932,
         {"IMG_,4(a)", "DSC_,4(b)"}},
        {"cr", "IMG_,4(a)\rDSC_,4(b)\r", DcimRuleFile::Encoding::Cp932, {"IMG_,4(a)", "DSC_,4(b)"}},
        {"blank line kept", "IMG_,4(a)\r\n\r\n", DcimRuleFile::Encoding::Cp932, {"IMG_,4(a)", ""}},
        {"utf-8 mark",
         "\xEF\xBB\xBF" + ("IMG_,4" + remark + "\r\n").toUtf8(),
         DcimRuleFile::Encoding::Utf8Bom,
         {"IMG_,4" + remark}},
        {"utf-8 without mark",
         ("IMG_,4" + remark + "\n").toUtf8(),
         DcimRuleFile::Encoding::Utf8,
         {"IMG_,4" + remark}},
        {"utf-16le",
         QByteArray("\xFF\xFEI\0M\0G\0_\0,\0"
                    "4\0(\0x\0)\0\r\0\n\0",
                    24),
         DcimRuleFile::Encoding::Utf16LE,
         {"IMG_,4(x)"}},
        {"empty", "", DcimRuleFile::Encoding::Cp932, {}},
    };
    for (const Case &c : cases) {
        const DcimRuleFile::Decoded d = DcimRuleFile::decode(c.bytes);
        EXPECT_EQ(d.encoding, c.enc) << c.what;
        EXPECT_EQ(d.lines, c.lines) << c.what;
    }
}

TEST(DcimRuleFile, WritesBackInTheEncodingReadWithCrLf)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("DCIM_rule.dat");
    const QString jp = QStringLiteral("IMG_,4(キヤノン)");

    // A new file is CP932 with CR LF after every line.
    {
        DcimRuleFile file(dir.path());
        ASSERT_TRUE(file.load());
        EXPECT_TRUE(file.lines().isEmpty());
        EXPECT_TRUE(file.loadedFrom().isEmpty());
        ASSERT_TRUE(file.save({jp, "DSC_,4(nikon)"}));
        EXPECT_EQ(readAll(path), encodeCp932(jp + "\r\nDSC_,4(nikon)\r\n"));
    }
    // UTF-16LE with its mark stays UTF-16LE; LF endings become CR LF.
    {
        writeFile(path, QByteArray("\xFF\xFE") + QByteArray("A\0,\0"
                                                            "1\0(\0)\0\n\0",
                                                            12));
        DcimRuleFile file(dir.path());
        ASSERT_TRUE(file.load());
        EXPECT_EQ(file.encoding(), DcimRuleFile::Encoding::Utf16LE);
        ASSERT_TRUE(file.save({"A,1()", "B,2()"}));
        EXPECT_EQ(readAll(path), QByteArray("\xFF\xFE") + QByteArray("A\0,\0"
                                                                     "1\0(\0)\0\r\0\n\0"
                                                                     "B\0,\0"
                                                                     "2\0(\0)\0\r\0\n\0",
                                                                     28));
    }
    // UTF-8 with its mark keeps the mark.
    {
        writeFile(path, "\xEF\xBB\xBF"
                        "A,1()\n");
        DcimRuleFile file(dir.path());
        ASSERT_TRUE(file.load());
        ASSERT_TRUE(file.save({jp}));
        EXPECT_EQ(readAll(path), "\xEF\xBB\xBF" + (jp + "\r\n").toUtf8());
    }
    // Text CP932 cannot hold is not turned into "?": the file becomes UTF-8 with a mark.
    {
        writeFile(path, "A,1()\r\n");
        DcimRuleFile file(dir.path());
        ASSERT_TRUE(file.load());
        const QString emoji = QStringLiteral("IMG_,4(📷)");
        ASSERT_TRUE(file.save({emoji}));
        EXPECT_EQ(file.encoding(), DcimRuleFile::Encoding::Utf8Bom);
        DcimRuleFile again(dir.path());
        ASSERT_TRUE(again.load());
        EXPECT_EQ(again.lines(), QStringList{emoji});
    }
    // Nothing is left beside the file.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"DCIM_rule.dat"});
}

TEST(DcimRuleFile, UsesTheShippedCopyUntilTheApplicationFolderHasOne)
{
    QTemporaryDir app, shipped;
    writeFile(shipped.filePath("DCIM_rule.dat"), "IMG_,4(canon)\r\n");
    DcimRuleFile file(app.path(), {app.filePath("missing"), shipped.path()});
    ASSERT_TRUE(file.load());
    EXPECT_EQ(file.lines(), QStringList{"IMG_,4(canon)"});
    EXPECT_EQ(file.loadedFrom(), shipped.filePath("DCIM_rule.dat"));

    // Saving writes the application folder's own file; the shipped one stays.
    ASSERT_TRUE(file.save({"IMG_,4(canon)", "DSC_,4(nikon)"}));
    EXPECT_EQ(readAll(shipped.filePath("DCIM_rule.dat")), "IMG_,4(canon)\r\n");
    DcimRuleFile again(app.path(), {shipped.path()});
    ASSERT_TRUE(again.load());
    EXPECT_EQ(again.loadedFrom(), app.filePath("DCIM_rule.dat"));
    EXPECT_EQ(again.lines().size(), 2);
}

TEST(DcimRuleFile, ShippedRulesParseAndKnowTheCommonCameras)
{
    DcimRuleFile file(QStringLiteral(GD_BUILD_DIR) + "/no-such-folder", {QStringLiteral(GD_BUILD_DIR)});
    ASSERT_TRUE(file.load());
    ASSERT_FALSE(file.lines().isEmpty());
    EXPECT_EQ(file.lines().first(), "IMG_,4(canon)");
    const DcimParseResult parsed = DcimRulesParse(file.lines());
    EXPECT_EQ(parsed.badLine, 0) << parsed.error.toStdString();
    for (const char *name : {"IMG_1234", "_MG_1234", "DSC_0001", "_DSC0001", "DSCN0001", "DSCF0001",
                             "DSC00001", "P1010001", "trip_IMG_0042"})
        EXPECT_TRUE(DcimRuleMatch(parsed.rules, QString::fromUtf8(name)).found()) << name;
    EXPECT_FALSE(DcimRuleMatch(parsed.rules, "holiday").found());
}

TEST(DcimRules, AHugeBadLineIsQuotedByItsBeginning)
{
    const QString line = QStringLiteral("IMG_,") + QString(1 << 20, QLatin1Char('x'));
    const DcimParseResult r = DcimRulesParse({line});
    EXPECT_EQ(r.badLine, 1);
    EXPECT_LT(r.error.size(), 400);
    EXPECT_TRUE(r.error.contains(line.left(30)));
}
