#include "settings/IniFile.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

IniFile fromText(const QByteArray &bytes)
{
    IniFile ini(QStringLiteral("unused.ini"));
    ini.loadFromBytes(bytes);
    return ini;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray utf16le(const QString &text)
{
    QByteArray out("\xFF\xFE", 2);
    for (QChar c : text) {
        out += char(c.unicode() & 0xFF);
        out += char(c.unicode() >> 8);
    }
    return out;
}

QByteArray cp932(const QString &text)
{
    QStringEncoder enc("windows-31j");
    return enc(text);
}

struct ReadCase {
    const char *what;
    const char *file;
    const char *section;
    const char *key;
    std::optional<const char *> expected;
};

} // namespace

TEST(IniFile, ReadsLikeTheProfileFunctions)
{
    const ReadCase cases[] = {
        {"plain", "[s]\nk=v\n", "s", "k", "v"},
        {"names ignore case", "[Sec]\nKey=v", "sEC", "kEY", "v"},
        {"value keeps case", "[s]\nk=MiXeD\n", "s", "k", "MiXeD"},
        {"lines trimmed", " \t[s]\v\n \t k \t= \t v w \v\t\n", "s", "k", "v w"},
        {"blanks inside brackets", "[ \ts \t]\nk=v", "s", "k", "v"},
        {"text after ] ignored", "[s] junk ]\nk=v", "s", "k", "v"},
        {"missing ]", "[s\nk=v", "s", "k", "v"},
        {"empty section name", "[]\nk=v", "", "k", "v"},
        {"comment never found", "[s]\n;k=v\n", "s", ";k", std::nullopt},
        {"commented key is not a key", "[s]\n;k=v\n", "s", "k", std::nullopt},
        {"# is ordinary", "[s]\n#k=v\n", "s", "#k", "v"},
        {"no inline comments", "[s]\nk=a=b ;c #d\n", "s", "k", "a=b ;c #d"},
        {"line without = is no key", "[s]\nk\n", "s", "k", std::nullopt},
        {"empty value", "[s]\nk=\n", "s", "k", ""},
        {"before any section", "k=v\n[s]\n", "s", "k", std::nullopt},
        {"first section only", "[s]\na=1\n[t]\n[S]\na=2\nb=3\n", "s", "b", std::nullopt},
        {"first section's key", "[s]\na=1\n[S]\na=2\n", "s", "a", "1"},
        {"first key wins", "[s]\nk=1\nK=2\n", "s", "k", "1"},
        {"key ends at section", "[s]\n[t]\nk=v\n", "s", "k", std::nullopt},
        {"double quotes", "[s]\nk=\"a b\"\n", "s", "k", "a b"},
        {"single quotes", "[s]\nk='x'\n", "s", "k", "x"},
        {"empty quotes", "[s]\nk=\"\"\n", "s", "k", ""},
        {"lone quote kept", "[s]\nk=\"\n", "s", "k", "\""},
        {"mixed quotes kept", "[s]\nk=\"a'\n", "s", "k", "\"a'"},
        {"inner quotes kept", "[s]\nk=a\"b\"\n", "s", "k", "a\"b\""},
        {"asked names trimmed", "[s]\nk=v\n", "  s ", " k  ", "v"},
        {"CR lines", "[s]\rk=1\rj=2", "s", "j", "2"},
        {"mixed line ends", "[s]\r\nk=1\nj=2\rm=3\r\n", "s", "m", "3"},
        {"CR CR LF", "[s]\r\r\nk=1\r\n", "s", "k", "1"},
        {"missing section", "[s]\nk=v\n", "t", "k", std::nullopt},
        {"empty file", "", "s", "k", std::nullopt},
    };
    for (const ReadCase &c : cases) {
        const IniFile ini = fromText(c.file);
        const auto got = ini.value(QString::fromUtf8(c.section), QString::fromUtf8(c.key));
        if (c.expected) {
            ASSERT_TRUE(got.has_value()) << c.what;
            EXPECT_EQ(*got, QString::fromUtf8(*c.expected)) << c.what;
        } else {
            EXPECT_FALSE(got.has_value()) << c.what << " gave " << got->toStdString();
        }
    }
}

TEST(IniFile, WritesInPlaceKeepingEverythingElse)
{
    struct Write {
        const char *section, *key, *value;
    };
    struct Case {
        const char *what;
        const char *before;
        std::vector<Write> writes;
        const char *after;
    };
    const Case cases[] = {
        {"existing key keeps its spelling",
         "; top\n[Win]\n  LEFT = 5 ; note\nother=1\n",
         {{"win", "left", "7"}},
         "; top\n[Win]\nLEFT=7\nother=1\n"},
        {"unchanged value leaves the line alone",
         "[s]\n  k =  1  \n",
         {{"s", "k", "1"}},
         "[s]\n  k =  1  \n"},
        {"new keys after the last key, in order",
         "[a]\nx=1\njunk\n\n; c\n[b]\ny=2\n",
         {{"a", "z", "3"}, {"a", "w", "4"}},
         "[a]\nx=1\nz=3\nw=4\njunk\n\n; c\n[b]\ny=2\n"},
        {"key into a section without keys", "[a]\n; c\n\n[b]\n", {{"a", "x", "1"}}, "[a]\nx=1\n; c\n\n[b]\n"},
        {"only the first section of a name",
         "[a]\nx=1\n[A]\nx=2\n",
         {{"a", "x", "9"}, {"a", "y", "8"}},
         "[a]\nx=9\ny=8\n[A]\nx=2\n"},
        {"new section at the end, no blank line", "[a]\nx=1", {{"b", "y", "2"}}, "[a]\nx=1\n[b]\ny=2\n"},
        {"new file", "", {{"a", "x", "1"}, {"b", "y", ""}, {"a", "z", "2"}}, "[a]\nx=1\nz=2\n[b]\ny=\n"},
        {"values verbatim", "", {{"a", "x", "\"q\";#=v"}}, "[a]\nx=\"q\";#=v\n"},
        {"line breaks cannot split the line",
         "[a]\nx=1\n",
         {{"a", "x", "p\nq\r[evil]"}},
         "[a]\nx=p q [evil]\n"},
        {"CRLF style kept",
         "[a]\r\nx=1\r\n",
         {{"a", "y", "2"}, {"c", "z", "3"}},
         "[a]\r\nx=1\r\ny=2\r\n[c]\r\nz=3\r\n"},
        {"CR style kept", "[a]\rx=1", {{"a", "x", "2"}, {"a", "y", "3"}}, "[a]\rx=2\ry=3\r"},
        {"keys before any section untouched", "k=v\n", {{"s", "k", "1"}}, "k=v\n[s]\nk=1\n"},
    };
    for (const Case &c : cases) {
        IniFile ini = fromText(c.before);
        for (const Write &w : c.writes)
            ini.setValue(QString::fromUtf8(w.section), QString::fromUtf8(w.key), QString::fromUtf8(w.value));
        EXPECT_EQ(ini.toBytes().toStdString(), std::string(c.after)) << c.what;
    }
}

TEST(IniFile, DetectsAndKeepsTheEncoding)
{
    const QString text = QStringLiteral("[Tool]\r\nファイル名変更=3\r\n; メモ\r\n");

    // As Japanese Windows writes it: ANSI code page, CRLF.
    IniFile sjis = fromText(cp932(text));
    EXPECT_EQ(sjis.encoding(), IniFile::Encoding::Cp932);
    EXPECT_EQ(sjis.value(QStringLiteral("tool"), QStringLiteral("ファイル名変更")), QStringLiteral("3"));
    sjis.setValue(QStringLiteral("Tool"), QStringLiteral("連番"), QStringLiteral("２"));
    EXPECT_EQ(sjis.toBytes(), cp932(QStringLiteral("[Tool]\r\nファイル名変更=3\r\n連番=２\r\n; メモ\r\n")));

    // UTF-16LE with its byte-order mark, CRLF.
    IniFile wide = fromText(utf16le(text));
    EXPECT_EQ(wide.encoding(), IniFile::Encoding::Utf16LE);
    EXPECT_EQ(wide.value(QStringLiteral("Tool"), QStringLiteral("ファイル名変更")), QStringLiteral("3"));
    wide.setValue(QStringLiteral("Tool"), QStringLiteral("ファイル名変更"), QStringLiteral("1"));
    EXPECT_EQ(wide.toBytes(), utf16le(QStringLiteral("[Tool]\r\nファイル名変更=1\r\n; メモ\r\n")));

    // UTF-8 with and without BOM.
    IniFile bom = fromText("\xEF\xBB\xBF" + text.toUtf8());
    EXPECT_EQ(bom.encoding(), IniFile::Encoding::Utf8Bom);
    EXPECT_EQ(bom.value(QStringLiteral("Tool"), QStringLiteral("ファイル名変更")), QStringLiteral("3"));
    EXPECT_EQ(bom.toBytes(), "\xEF\xBB\xBF" + text.toUtf8());
    EXPECT_EQ(fromText(text.toUtf8()).encoding(), IniFile::Encoding::Utf8);
    // A UTF-8 sequence cut short is not UTF-8.
    EXPECT_EQ(fromText("[s]\nk=\xE3\x81").encoding(), IniFile::Encoding::Cp932);
}

TEST(IniFile, UnchangedLinesKeepTheirBytes)
{
    // Bytes that decode to nothing sensible must still survive a save.
    const QByteArray odd = "[s]\r\nk=\x80\xFF\xFE\r\nj=1\r\n";
    IniFile ini = fromText(odd);
    ini.setValue(QStringLiteral("s"), QStringLiteral("j"), QStringLiteral("2"));
    EXPECT_EQ(ini.toBytes(), QByteArray("[s]\r\nk=\x80\xFF\xFE\r\nj=2\r\n"));
}

TEST(IniFile, TextTheCodePageCannotHoldSwitchesToUtf16)
{
    IniFile ini = fromText(cp932(QStringLiteral("[Window]\r\n表示=1\r\n")));
    const QString dir = QStringLiteral("/写真/😀 émigré");
    ini.setValue(QStringLiteral("Window"), QStringLiteral("LastDir"), dir);
    EXPECT_EQ(ini.encoding(), IniFile::Encoding::Utf16LE);
    const IniFile again = fromText(ini.toBytes());
    EXPECT_EQ(again.value(QStringLiteral("Window"), QStringLiteral("LastDir")), dir);
    EXPECT_EQ(again.value(QStringLiteral("Window"), QStringLiteral("表示")), QStringLiteral("1"));
}

TEST(IniFile, SaveAndReloadFromDisk)
{
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("a.ini"));
    IniFile ini(path);
    EXPECT_TRUE(ini.load()); // missing file: empty document
    ini.setValue(QStringLiteral("a"), QStringLiteral("x"), QStringLiteral("1"));
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(readAll(path), QByteArray("[a]\nx=1\n"));

    IniFile back(path);
    ASSERT_TRUE(back.load());
    EXPECT_EQ(back.value(QStringLiteral("A"), QStringLiteral("X")), QStringLiteral("1"));
}

TEST(IniFile, FailedSaveLeavesTheOldFileWhole)
{
    QTemporaryDir tmp;
    const QString path = tmp.filePath(QStringLiteral("a.ini"));
    const QByteArray old = "; keep me\n[a]\nx=1\n";
    ASSERT_TRUE(writeFile(path, old));

    // A write that fails half way (file size limit) must not touch the old file.
    IniFile ini(path);
    ASSERT_TRUE(ini.load());
    ini.setValue(QStringLiteral("a"), QStringLiteral("big"), QString(100000, u'x'));
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool ok = ini.save();
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(ok);
    EXPECT_EQ(readAll(path), old);
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.ini")});

    // A read-only folder (only meaningful when we are not root).
    QFile::setPermissions(tmp.path(), QFile::ReadOwner | QFile::ExeOwner);
    const bool folderLocked = !QFile(tmp.filePath(QStringLiteral("probe"))).open(QIODevice::WriteOnly);
    if (folderLocked) {
        IniFile locked(path);
        ASSERT_TRUE(locked.load());
        locked.setValue(QStringLiteral("a"), QStringLiteral("x"), QStringLiteral("2"));
        EXPECT_FALSE(locked.save());
        EXPECT_EQ(readAll(path), old);
    }
    QFile::remove(tmp.filePath(QStringLiteral("probe")));
    QFile::setPermissions(tmp.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(IniFile, UnreadableFileIsNeverReplaced)
{
    QTemporaryDir tmp;
    // A folder where the file should be cannot be read as one.
    const QString path = tmp.filePath(QStringLiteral("a.ini"));
    ASSERT_TRUE(QDir().mkdir(path));
    IniFile ini(path);
    EXPECT_FALSE(ini.load());
    ini.setValue(QStringLiteral("a"), QStringLiteral("x"), QStringLiteral("1"));
    EXPECT_FALSE(ini.save());
    EXPECT_TRUE(QFileInfo(path).isDir());
}

TEST(IniFile, AFifoUnderTheSettingsNameIsRefusedAtOnceAndKept)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("glimmerdeck.ini");
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    IniFile ini(path);
    EXPECT_FALSE(ini.load()); // would wait for a writer for ever if opened plainly
    ini.setValue("Option", "Open", "1");
    EXPECT_FALSE(ini.save());
    struct stat st;
    ASSERT_EQ(::lstat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}
