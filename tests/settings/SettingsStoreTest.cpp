#include "settings/SettingsStore.h"

#include "settings/IniFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

const WindowGeometry kInitial{30, 40, 636, 502};

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

std::optional<QString> stored(const QString &path, const char *section, const QString &key)
{
    IniFile ini(path);
    ini.load();
    return ini.value(QString::fromUtf8(section), key);
}

struct Fixture {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("glimmerdeck.ini"));
    SettingsStore store{path};
    Settings s;
    int32_t repeat = 5;

    bool load(const QByteArray &bytes)
    {
        if (!writeFile(path, bytes))
            return false;
        return store.load(s, kInitial, repeat);
    }
};

} // namespace

TEST(SettingsStore, MissingFileGivesEveryDefault)
{
    Fixture f;
    EXPECT_FALSE(f.store.load(f.s, kInitial, f.repeat));
    const Settings &s = f.s;
    EXPECT_EQ(f.repeat, -1);
    EXPECT_EQ(s.Window.Left, 30);
    EXPECT_EQ(s.Window.Top, 40);
    EXPECT_EQ(s.Window.Width, 636);
    EXPECT_EQ(s.Window.Height, 502);
    EXPECT_TRUE(s.Window.LastDir.isEmpty());
    EXPECT_EQ(s.Window.ListMax, 0);
    EXPECT_TRUE(s.Window.FileNameShown);
    EXPECT_TRUE(s.SusieDir.isEmpty());
    EXPECT_EQ((std::array{s.SameBox.Left, s.SameBox.Top, s.SameBox.Width, s.SameBox.Height}),
              (std::array{30, 40, 500, 300}));
    EXPECT_EQ((std::array{s.Help.Left, s.Help.Top, s.Help.Width, s.Help.Height}),
              (std::array{30, 40, 500, 500}));
    EXPECT_TRUE(s.Tool.Show);
    EXPECT_EQ((std::array{s.Tool.Left, s.Tool.Top, int(s.Tool.State), int(s.Tool.Orient)}),
              (std::array{0, 0, 0, 0}));
    EXPECT_EQ(
        (std::array{s.ShortCut.Interval, s.ShortCut.IntervalM, s.ShortCut.MakePlace, s.ShortCut.Repeat}),
        (std::array{2, 0, 0, -1}));
    EXPECT_EQ(
        (std::array{s.ShortCut.Auto, s.ShortCut.Box, s.ShortCut.Button, s.ShortCut.Full, s.ShortCut.Zoom}),
        (std::array{true, false, false, true, true}));
    EXPECT_TRUE(s.ShortCut.PictureFolder.isEmpty());
    EXPECT_EQ(s.Option.Interval, 2);
    EXPECT_EQ(s.Option.IntervalM, 0);
    EXPECT_EQ(s.Option.nButton, 5);
    EXPECT_EQ((std::array{s.Option.Copy, s.Option.Zoom, s.Option.Open, s.Option.Numbering}),
              (std::array{true, false, true, false}));
    EXPECT_EQ(s.Option.SeqDigits, 2);
    EXPECT_TRUE(s.Option.Companions); // RAW and sidecars travel with their picture
    for (int i = 0; i < kMaxTransferSlots; ++i) {
        const QString expected = i < 5 ? QStringLiteral("none") : QString();
        EXPECT_EQ(s.TransferSlots[i].Folder, expected) << i;
        EXPECT_EQ(s.TransferSlots[i].Caption, expected) << i;
        EXPECT_TRUE(s.TransferSlots[i].ChosenFolder.isEmpty());
    }
    EXPECT_TRUE(s.AppList.isEmpty());
    EXPECT_EQ(s.RenameMode, 0);
    EXPECT_TRUE(s.Rename.AddAtBack);
    EXPECT_EQ(s.fnLabel.flag, 0);
    EXPECT_EQ(s.fnLabel.fnlFontName, QStringLiteral("ＭＳ ゴシック"));
    EXPECT_EQ(s.fnLabel.fnlFontSize, 10);
}

TEST(SettingsStore, ValueRules)
{
    struct Case {
        const char *text;
        std::optional<int32_t> expected;
    };
    const Case cases[] = {
        {"0", 0},
        {"42", 42},
        {"-17", -17},
        {"+8", 8},
        {"0x1F", 31},
        {"0XfF", 255},
        {"-0x10", -16},
        {"0xFFFFFFFF", -1},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"0x123456789", std::nullopt},
        {"0x", std::nullopt},
        {"", std::nullopt},
        {"12abc", std::nullopt},
        {"abc", std::nullopt},
        {"1 2", std::nullopt},
        {"$10", std::nullopt},
        {"-", std::nullopt},
        {"１２", std::nullopt},
        {"0x1G", std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(SettingsStore::parseInteger(QString::fromUtf8(c.text)), c.expected) << c.text;

    // Widths and defaults as the record sees them.
    Fixture f;
    const QString longDir(3000, u'd');
    ASSERT_FALSE(f.load("[Window]\nListMax=-3\nLastDir=" + longDir.toUtf8() +
                        "\n[Tool]\nState=257\nOrient=0x1FF\nShow=0\n"
                        "[Option]\nInterval=oops\nIntervalM=\nCopy=0\nZoom=-1\nnButton=0x7\n"
                        "[ShortCut]\nAuto=zero\nRepeat=\"3\"\n"
                        "[Susie Plug-in]\nDir=" +
                        (QString(2046, u's') + QStringLiteral("😀tail")).toUtf8() + "\n"));
    EXPECT_EQ(f.s.Window.ListMax, 0);
    EXPECT_EQ(f.s.Window.LastDir, QString(2047, u'd'));
    EXPECT_EQ(f.s.SusieDir, QString(2046, u's')); // no half surrogate pair at the cut
    EXPECT_EQ(f.s.Tool.State, 1);
    EXPECT_EQ(f.s.Tool.Orient, 255);
    EXPECT_FALSE(f.s.Tool.Show);
    EXPECT_EQ(f.s.Option.Interval, 2);
    EXPECT_EQ(f.s.Option.IntervalM, 0);
    EXPECT_FALSE(f.s.Option.Copy);
    EXPECT_TRUE(f.s.Option.Zoom);
    EXPECT_EQ(f.s.Option.nButton, 7);
    EXPECT_TRUE(f.s.ShortCut.Auto);
    EXPECT_EQ(f.s.ShortCut.Repeat, 3);
}

TEST(SettingsStore, StoredFileEdgeCasesAndSaveInPlace)
{
    Fixture f;
    const QString folder3 = QStringLiteral("/home/me/写真/2024-07-旅行/選んだもの1/");
    ASSERT_EQ(folder3.size(), 30);
    const QByteArray file = "; my notes\n"
                            "[Window]\n"
                            "sTaTe=1\n"
                            "Left=100\n"
                            "Top=50\n"
                            "Mystery=keep\n"
                            "\n"
                            "[Tool]\n"
                            "ファイル名変更=3\n"
                            "[Rename]\n"
                            "ファイル名変更タイプ=1\n"
                            "[Option]\n"
                            "nButton=7\n"
                            "Folder3=" +
                            folder3.toUtf8() +
                            "\n"
                            "Button3=none\n"
                            "Folder4=\n"
                            "Button4=none\n"
                            "Folder5=/x\n"
                            "Button5=Five\n"
                            "Folder8=/eight\n"
                            "Button8=Eight\n"
                            "Folder10=/ten\n"
                            "AppDir1=\n"
                            "AppDir2=/usr/bin/gimp\n"
                            "; trailing comment\n";
    EXPECT_TRUE(f.load(file));
    EXPECT_EQ(f.s.Window.Left, 100);
    EXPECT_EQ(f.s.SameBox.Left, 100); // follows Window.Left as read
    EXPECT_EQ(f.s.Help.Top, 50);
    EXPECT_EQ(f.s.RenameMode, 1);
    EXPECT_EQ(f.s.TransferSlots[2].Caption, folder3.left(14));
    EXPECT_EQ(f.s.TransferSlots[3].Caption, QString());
    EXPECT_EQ(f.s.TransferSlots[4].Caption, QStringLiteral("Five"));
    EXPECT_EQ(f.s.TransferSlots[6].Folder, QStringLiteral("none"));
    EXPECT_TRUE(f.s.TransferSlots[7].Folder.isEmpty()); // beyond nButton: not read
    EXPECT_EQ(f.s.AppList, QStringList{QStringLiteral("/usr/bin/gimp")});

    f.s.TransferSlots[7].Folder = QStringLiteral("/changed"); // not saved: beyond nButton
    ASSERT_TRUE(f.store.save(f.s, {1, 2, 3, 4}, WindowShowState::Maximized));
    const QString p = f.path;
    EXPECT_EQ(stored(p, "Window", QStringLiteral("State")), QStringLiteral("1"));
    EXPECT_EQ(stored(p, "Window", QStringLiteral("Left")), QStringLiteral("100")); // maximized: record kept
    EXPECT_EQ(stored(p, "Tool", QStringLiteral("ファイル名変更")), QStringLiteral("1"));
    EXPECT_EQ(stored(p, "Rename", QStringLiteral("ファイル名変更タイプ")), QStringLiteral("1"));
    EXPECT_EQ(stored(p, "Option", QStringLiteral("AppDir1")), QStringLiteral("/usr/bin/gimp"));
    EXPECT_EQ(stored(p, "Option", QStringLiteral("AppDir2")), QString());
    EXPECT_EQ(stored(p, "Option", QStringLiteral("Folder7")), QStringLiteral("none"));
    EXPECT_EQ(stored(p, "Option", QStringLiteral("Folder8")), QStringLiteral("/eight"));
    EXPECT_EQ(stored(p, "Option", QStringLiteral("Button9")), std::nullopt);

    const QByteArray after = readAll(p);
    for (const char *kept : {"; my notes\n[Window]\nsTaTe=1\nLeft=100\nTop=50\nMystery=keep\n",
                             "Folder8=/eight\nButton8=Eight\nFolder10=/ten\n", "; trailing comment\n"})
        EXPECT_TRUE(after.contains(kept)) << kept << "\n---\n" << after.toStdString();

    // The normal state refreshes the geometry from the window.
    ASSERT_TRUE(f.store.save(f.s, {1, 2, 3, 4}, WindowShowState::Normal));
    EXPECT_EQ(stored(p, "Window", QStringLiteral("State")), QStringLiteral("0"));
    EXPECT_EQ(stored(p, "Window", QStringLiteral("Height")), QStringLiteral("4"));
    EXPECT_EQ(f.s.Window.Left, 1);
}

TEST(SettingsStore, TransferSlotCountIsLimitedToTen)
{
    struct Case {
        const char *stored;
        int expected;
    };
    for (const Case &c : {Case{"12", 10}, Case{"266", 10}, Case{"-1", 10}, Case{"10", 10}, Case{"0", 0}}) {
        Fixture f;
        QByteArray file = "[Option]\nnButton=" + QByteArray(c.stored) + "\n";
        for (int i = 1; i <= 12; ++i)
            file += "Folder" + QByteArray::number(i) + "=/f" + QByteArray::number(i) + "\n";
        f.load(file);
        EXPECT_EQ(f.s.Option.nButton, c.expected) << c.stored;
        for (int i = 0; i < kMaxTransferSlots; ++i)
            EXPECT_EQ(f.s.TransferSlots[i].Folder.isEmpty(), i >= c.expected) << c.stored << " slot " << i;
        ASSERT_TRUE(f.store.save(f.s, kInitial, WindowShowState::Normal));
        EXPECT_EQ(stored(f.path, "Option", QStringLiteral("Folder11")), QStringLiteral("/f11"));
        EXPECT_EQ(stored(f.path, "Option", QStringLiteral("Button11")), std::nullopt);
    }
}

TEST(SettingsStore, SaveThenLoadGivesTheSameRecord)
{
    Fixture f;
    f.store.load(f.s, kInitial, f.repeat);
    Settings &s = f.s;
    s.Window.LastDir = QStringLiteral("/pics/夏/");
    s.Window.ListMax = 4;
    s.Window.FileNameShown = false;
    s.SusieDir = QStringLiteral("/opt/spi");
    s.Tool = {false, -20, 700, 2, 1};
    s.ShortCut.PictureFolder = QStringLiteral("\"quoted\"");
    s.ShortCut.Repeat = 1;
    s.Option.nButton = 3;
    s.Option.SeqDigits = 200;
    s.TransferSlots[0] = {QStringLiteral("/a"), QStringLiteral("A"), QStringLiteral("/chosen")};
    s.TransferSlots[2] = {QStringLiteral("転送先 実行時選択"), QStringLiteral("none"), QString()};
    s.AppList = {QStringLiteral("/usr/bin/a"), QStringLiteral("/usr/bin/b")};
    s.RenameMode = 4;
    s.Rename.AddAtBack = false;
    s.fnLabel = {6, QStringLiteral("Noto Sans CJK JP"), 14};
    ASSERT_TRUE(f.store.save(s, {5, 6, 700, 500}, WindowShowState::Normal));

    Settings b;
    int32_t repeat = 0;
    EXPECT_FALSE(f.store.load(b, {}, repeat));
    EXPECT_EQ((std::array{b.Window.Left, b.Window.Top, b.Window.Width, b.Window.Height}),
              (std::array{5, 6, 700, 500}));
    EXPECT_EQ(b.Window.LastDir, s.Window.LastDir);
    EXPECT_EQ(b.Window.ListMax, 4);
    EXPECT_FALSE(b.Window.FileNameShown);
    EXPECT_EQ(b.SusieDir, s.SusieDir);
    EXPECT_EQ((std::array{b.Tool.Left, b.Tool.Top, int(b.Tool.State), int(b.Tool.Orient)}),
              (std::array{-20, 700, 2, 1}));
    EXPECT_FALSE(b.Tool.Show);
    EXPECT_EQ(b.ShortCut.Repeat, 1);
    EXPECT_EQ(b.Option.nButton, 3);
    EXPECT_EQ(b.Option.SeqDigits, 200);
    EXPECT_EQ(b.TransferSlots[0].Caption, QStringLiteral("A"));
    EXPECT_TRUE(b.TransferSlots[0].ChosenFolder.isEmpty()); // this run only
    EXPECT_EQ(b.TransferSlots[1].Folder, QStringLiteral("none"));
    EXPECT_EQ(b.TransferSlots[2].Caption, QStringLiteral("転送先 実行時選択").left(14));
    EXPECT_EQ(b.AppList, s.AppList);
    EXPECT_EQ(b.RenameMode, 4);
    EXPECT_FALSE(b.Rename.AddAtBack);
    EXPECT_EQ(b.fnLabel.flag, 6);
    EXPECT_EQ(b.fnLabel.fnlFontName, s.fnLabel.fnlFontName);
    EXPECT_EQ(b.fnLabel.fnlFontSize, 14);
    // Outer quotes do not survive the file format; the value inside does.
    EXPECT_EQ(b.ShortCut.PictureFolder, QStringLiteral("quoted"));
    // A new file is UTF-8 without BOM, LF, sections in save order.
    const QByteArray bytes = readAll(f.path);
    EXPECT_TRUE(bytes.startsWith("[Window]\nLeft=5\nTop=6\n"));
    EXPECT_FALSE(bytes.contains('\r'));
    EXPECT_TRUE(bytes.contains("[Rename]\nファイル名変更タイプ=4\n文字追加方向=0\n"));
    EXPECT_TRUE(bytes.endsWith("文字追加方向=0\n"));
}

TEST(SettingsStore, LoadsFilesWrittenOnJapaneseWindows)
{
    const QString text = QStringLiteral(
        "[Window]\r\nLeft=12\r\nState=1\r\n[Tool]\r\nファイル名変更=2\r\n[Option]\r\n連番=4\r\n"
        "Folder1=C:\\写真\\残す\r\nButton1=none\r\nファイル名フォント名=ＭＳ 明朝\r\n"
        "[Window]\r\nLeft=99\r\n");
    auto encode = [](const QString &t, bool wide) {
        if (!wide) {
            QStringEncoder enc("windows-31j");
            return QByteArray(enc(t));
        }
        QByteArray out;
        for (QChar c : t) {
            out += char(c.unicode() & 0xFF);
            out += char(c.unicode() >> 8);
        }
        return out;
    };

    for (bool wide : {false, true}) {
        Fixture f;
        const QByteArray bytes = (wide ? QByteArray("\xFF\xFE", 2) : QByteArray()) + encode(text, wide);
        EXPECT_TRUE(f.load(bytes));
        EXPECT_EQ(f.s.Window.Left, 12);
        EXPECT_EQ(f.s.RenameMode, 0); // the Rename key is missing, and it is read last
        EXPECT_EQ(f.s.Option.SeqDigits, 4);
        EXPECT_EQ(f.s.TransferSlots[0].Caption, QStringLiteral("C:\\写真\\残す"));
        EXPECT_EQ(f.s.fnLabel.fnlFontName, QStringLiteral("ＭＳ 明朝"));
        ASSERT_TRUE(f.store.save(f.s, kInitial, WindowShowState::Maximized));

        const QByteArray after = readAll(f.path);
        EXPECT_EQ(after.startsWith("\xFF\xFE"), wide);
        EXPECT_TRUE(after.contains(encode(QStringLiteral("\r\n[Window]\r\nLeft=99\r\n"), wide)));
        EXPECT_TRUE(after.contains(encode(QStringLiteral("連番=4\r\nFolder1=C:\\写真\\残す\r\n"), wide)));
        EXPECT_TRUE(
            after.contains(encode(QStringLiteral("\r\n[Rename]\r\nファイル名変更タイプ=0\r\n"), wide)));
        EXPECT_FALSE(after.contains(encode(QStringLiteral("\n[Rename]\n"), wide)));
    }
}

TEST(SettingsStore, FailedSaveIsSilentAndHarmless)
{
    QTemporaryDir tmp;
    Settings s;
    // The folder is gone.
    EXPECT_FALSE(
        SettingsStore(tmp.filePath(QStringLiteral("gone/g.ini"))).save(s, kInitial, WindowShowState::Normal));
    EXPECT_FALSE(QFileInfo::exists(tmp.filePath(QStringLiteral("gone"))));

    // The folder is read-only (root may write anyway, so only check when it bites).
    const QString path = tmp.filePath(QStringLiteral("g.ini"));
    ASSERT_TRUE(writeFile(path, "[Window]\nLeft=1\n"));
    QFile::setPermissions(tmp.path(), QFile::ReadOwner | QFile::ExeOwner);
    QFile probe(tmp.filePath(QStringLiteral("probe")));
    if (!probe.open(QIODevice::WriteOnly)) {
        EXPECT_FALSE(SettingsStore(path).save(s, kInitial, WindowShowState::Normal));
        EXPECT_EQ(readAll(path), QByteArray("[Window]\nLeft=1\n"));
    }
    probe.remove();
    QFile::setPermissions(tmp.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// A new file gets each key once, sections in the file's usual order, and
// what it holds reads back as the same record.
TEST(SettingsStore, ANewFileHoldsEachKeyOnceAndReadsBackTheSame)
{
    Fixture f;
    f.store.load(f.s, kInitial, f.repeat);
    f.s.Option.Companions = false;
    f.s.fnLabel.fnlFontName = QStringLiteral("Noto Sans CJK JP");
    f.s.SameBox.Left = 77;
    ASSERT_TRUE(f.store.save(f.s, kInitial, WindowShowState::Maximized));

    QStringList sections;
    QSet<QString> keys;
    QString section;
    IniFile ini(f.path);
    ASSERT_TRUE(ini.load());
    const QStringList lines = QString::fromUtf8(readAll(f.path)).split(QRegularExpression(QStringLiteral("\r?\n")));
    for (const QString &line : lines) {
        if (line.startsWith(u'[')) {
            section = line;
            sections << section;
        } else if (line.contains(u'=')) {
            const QString key = section + line.left(line.indexOf(u'=')).toLower();
            EXPECT_FALSE(keys.contains(key)) << key.toStdString();
            keys.insert(key);
        }
    }
    EXPECT_EQ(sections.mid(0, 3), QStringList({"[Window]", "[Susie Plug-in]", "[SameBox]"}));
    EXPECT_EQ(stored(f.path, "Window", QStringLiteral("State")), QStringLiteral("1"));

    Settings back;
    int32_t repeat = 0;
    EXPECT_TRUE(SettingsStore(f.path).load(back, WindowGeometry{}, repeat));
    EXPECT_FALSE(back.Option.Companions);
    EXPECT_EQ(back.fnLabel.fnlFontName, f.s.fnLabel.fnlFontName);
    EXPECT_EQ(back.SameBox.Left, 77);
    EXPECT_EQ(back.Window.Width, kInitial.Width);
    EXPECT_EQ(back.Option.nButton, f.s.Option.nButton);
}
