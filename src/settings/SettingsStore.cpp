#include "settings/SettingsStore.h"

#include "platform/FileLock.h"
#include "settings/IniFile.h"

#include <QFileInfo>
#include <utility>

namespace
{

const QString kWindow = QStringLiteral("Window");
const QString kSusie = QStringLiteral("Susie Plug-in");
const QString kSameBox = QStringLiteral("SameBox");
const QString kTool = QStringLiteral("Tool");
const QString kHelp = QStringLiteral("Help");
const QString kShortCut = QStringLiteral("ShortCut");
const QString kOption = QStringLiteral("Option");
const QString kRename = QStringLiteral("Rename");

const QString kRenameModeTool = QStringLiteral("ファイル名変更");
const QString kRenameModeRename = QStringLiteral("ファイル名変更タイプ");
const QString kAddAtBack = QStringLiteral("文字追加方向");
const QString kSeqDigits = QStringLiteral("連番");
const QString kLabelFlag = QStringLiteral("ファイル名表示");
const QString kLabelFont = QStringLiteral("ファイル名フォント名");
const QString kLabelSize = QStringLiteral("ファイル名フォントサイズ");

const QString kNone = QStringLiteral("none");
const QString kDefaultLabelFont = QStringLiteral("ＭＳ ゴシック");
constexpr int kCaptionLength = 14;

// The first n UTF-16 units, without leaving half of a surrogate pair behind.
QString cutText(const QString &text, qsizetype n)
{
    if (text.size() <= n)
        return text;
    if (n > 0 && text[n - 1].isHighSurrogate())
        --n;
    return text.left(n);
}

// Typed reads with the defaulting rules of the settings file.
class Reader
{
public:
    explicit Reader(const IniFile &ini) : m_ini(ini) {}

    int32_t integer(const QString &section, const QString &key, int32_t def) const
    {
        const auto text = m_ini.value(section, key);
        if (!text)
            return def;
        return SettingsStore::parseInteger(*text).value_or(def);
    }
    bool boolean(const QString &section, const QString &key, bool def) const
    {
        return integer(section, key, def ? 1 : 0) != 0;
    }
    uint8_t byte(const QString &section, const QString &key, uint8_t def) const
    {
        return uint8_t(uint32_t(integer(section, key, def)) & 0xFFu);
    }
    QString string(const QString &section, const QString &key, const QString &def) const
    {
        return cutText(m_ini.value(section, key, def), SettingsStore::kMaxStringLength);
    }

private:
    const IniFile &m_ini;
};

// Typed writes: integers in signed decimal, booleans as 1/0, bytes unsigned.
class Writer
{
public:
    explicit Writer(IniFile &ini) : m_ini(ini) {}

    void integer(const QString &section, const QString &key, int32_t v)
    {
        m_ini.setValue(section, key, QString::number(v));
    }
    void boolean(const QString &section, const QString &key, bool v)
    {
        m_ini.setValue(section, key, v ? QStringLiteral("1") : QStringLiteral("0"));
    }
    void byte(const QString &section, const QString &key, uint8_t v)
    {
        m_ini.setValue(section, key, QString::number(unsigned(v)));
    }
    void string(const QString &section, const QString &key, const QString &v)
    {
        m_ini.setValue(section, key, v);
    }

private:
    IniFile &m_ini;
};

// Hand-edited files may hold any byte there; the record has ten slots.
int slotCount(uint8_t nButton)
{
    return nButton > kMaxTransferSlots ? kMaxTransferSlots : nButton;
}

QString folderKey(int i)
{
    return QStringLiteral("Folder") + QString::number(i);
}
QString buttonKey(int i)
{
    return QStringLiteral("Button") + QString::number(i);
}
QString appKey(int i)
{
    return QStringLiteral("AppDir") + QString::number(i);
}

} // namespace

SettingsStore::SettingsStore(QString iniPath) : m_path(std::move(iniPath)) {}

std::optional<int32_t> SettingsStore::parseInteger(const QString &text)
{
    QStringView s(text);
    bool negative = false;
    if (!s.isEmpty() && (s.front() == u'-' || s.front() == u'+')) {
        negative = s.front() == u'-';
        s = s.mid(1);
    }
    if (s.size() > 2 && s[0] == u'0' && (s[1] == u'x' || s[1] == u'X')) {
        // Up to 32 bits of hexadecimal, taken as the two's-complement value.
        s = s.mid(2);
        if (s.size() > 8)
            return std::nullopt;
        uint32_t v = 0;
        for (QChar c : s) {
            const int d = c.isDigit() && c.unicode() < 128               ? c.unicode() - '0'
                          : (c.toLower() >= u'a' && c.toLower() <= u'f') ? c.toLower().unicode() - 'a' + 10
                                                                         : -1;
            if (d < 0)
                return std::nullopt;
            v = v * 16 + uint32_t(d);
        }
        const int32_t r = int32_t(v);
        return negative ? int32_t(0u - uint32_t(r)) : r;
    }
    if (s.isEmpty() || s.size() > 10)
        return std::nullopt;
    int64_t v = 0;
    for (QChar c : s) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        v = v * 10 + (c.unicode() - '0');
    }
    if (negative)
        v = -v;
    if (v < INT32_MIN || v > INT32_MAX)
        return std::nullopt;
    return int32_t(v);
}

bool SettingsStore::load(Settings &s, const WindowGeometry &def, int32_t &repeatMode) const
{
    IniFile ini(m_path);
    ini.load(); // an unreadable file reads as empty: every setting takes its default
    const Reader r(ini);

    s.Window.Left = r.integer(kWindow, QStringLiteral("Left"), def.Left);
    s.Window.Top = r.integer(kWindow, QStringLiteral("Top"), def.Top);
    s.Window.Width = r.integer(kWindow, QStringLiteral("Width"), def.Width);
    s.Window.Height = r.integer(kWindow, QStringLiteral("Height"), def.Height);
    s.Window.LastDir = r.string(kWindow, QStringLiteral("LastDir"), QString());
    const bool maximized = r.boolean(kWindow, QStringLiteral("state"), false);
    s.Window.ListMax = qMax(0, r.integer(kWindow, QStringLiteral("ListMax"), 0));

    s.SusieDir = r.string(kSusie, QStringLiteral("Dir"), QString());

    s.SameBox.Left = r.integer(kSameBox, QStringLiteral("Left"), s.Window.Left);
    s.SameBox.Top = r.integer(kSameBox, QStringLiteral("Top"), s.Window.Top);
    s.SameBox.Width = r.integer(kSameBox, QStringLiteral("Width"), 500);
    s.SameBox.Height = r.integer(kSameBox, QStringLiteral("Height"), 300);

    s.Tool.Show = r.boolean(kTool, QStringLiteral("Show"), true);
    s.Tool.Left = r.integer(kTool, QStringLiteral("Left"), 0);
    s.Tool.Top = r.integer(kTool, QStringLiteral("Top"), 0);
    s.Tool.State = r.byte(kTool, QStringLiteral("State"), 0);
    s.Tool.Orient = r.byte(kTool, QStringLiteral("Orient"), 0);
    s.RenameMode = r.byte(kTool, kRenameModeTool, 0);

    s.Help.Left = r.integer(kHelp, QStringLiteral("Left"), s.Window.Left);
    s.Help.Top = r.integer(kHelp, QStringLiteral("Top"), s.Window.Top);
    s.Help.Width = r.integer(kHelp, QStringLiteral("Width"), 500);
    s.Help.Height = r.integer(kHelp, QStringLiteral("Height"), 500);

    s.ShortCut.Interval = r.integer(kShortCut, QStringLiteral("Interval"), 2);
    s.ShortCut.IntervalM = r.integer(kShortCut, QStringLiteral("IntervalM"), 0);
    s.ShortCut.MakePlace = r.integer(kShortCut, QStringLiteral("MakePlace"), 0);
    s.ShortCut.Auto = r.boolean(kShortCut, QStringLiteral("Auto"), true);
    s.ShortCut.Box = r.boolean(kShortCut, QStringLiteral("Box"), false);
    s.ShortCut.Button = r.boolean(kShortCut, QStringLiteral("Button"), false);
    s.ShortCut.Full = r.boolean(kShortCut, QStringLiteral("Full"), true);
    s.ShortCut.Zoom = r.boolean(kShortCut, QStringLiteral("Zoom"), true);
    s.ShortCut.Repeat = r.integer(kShortCut, QStringLiteral("Repeat"), -1);
    s.ShortCut.PictureFolder = r.string(kShortCut, QStringLiteral("PictureFolder"), QString());

    s.Option.Interval = r.integer(kOption, QStringLiteral("Interval"), 2);
    s.Option.IntervalM = r.integer(kOption, QStringLiteral("IntervalM"), 0);
    s.Option.nButton = uint8_t(slotCount(r.byte(kOption, QStringLiteral("nButton"), 5)));
    s.Option.Copy = r.boolean(kOption, QStringLiteral("Copy"), true);
    s.Option.Zoom = r.boolean(kOption, QStringLiteral("Zoom"), false);
    s.Option.Open = r.boolean(kOption, QStringLiteral("Open"), true);
    s.Option.Numbering = r.boolean(kOption, QStringLiteral("Numbering"), false);
    s.Option.Companions = r.boolean(kOption, QStringLiteral("Companions"), true);
    s.Option.SeqDigits = r.byte(kOption, kSeqDigits, 2);
    s.Option.PrefetchMiB = r.integer(kOption, QStringLiteral("PrefetchMiB"), 256);

    repeatMode = -1;

    for (int i = 1; i <= s.Option.nButton; ++i) {
        TransferSlot &slot = s.TransferSlots[size_t(i - 1)];
        slot.Folder = r.string(kOption, folderKey(i), kNone);
        slot.Caption = r.string(kOption, buttonKey(i), kNone);
        if (slot.Caption == kNone)
            slot.Caption = cutText(slot.Folder, kCaptionLength);
        slot.ChosenFolder.clear();
    }

    s.AppList.clear();
    for (int i = 1; i <= kMaxApps; ++i) {
        const QString app = r.string(kOption, appKey(i), QString());
        if (!app.isEmpty())
            s.AppList.append(app);
    }

    s.RenameMode = r.byte(kRename, kRenameModeRename, 0);
    s.Rename.AddAtBack = r.boolean(kRename, kAddAtBack, true);

    s.fnLabel.flag = r.integer(kOption, kLabelFlag, 0);
    s.fnLabel.fnlFontName = r.string(kOption, kLabelFont, kDefaultLabelFont);
    s.fnLabel.fnlFontSize = r.integer(kOption, kLabelSize, 10);

    s.Window.FileNameShown = r.boolean(kWindow, kLabelFlag, true);
    return maximized;
}

bool SettingsStore::save(Settings &s, const WindowGeometry &current, WindowShowState state,
                         const std::function<void(Settings &)> &refresh) const
{
    if (state == WindowShowState::Normal) {
        s.Window.Left = current.Left;
        s.Window.Top = current.Top;
        s.Window.Width = current.Width;
        s.Window.Height = current.Height;
    }

    // Re-read the file so that keys we do not know, and edits made while we
    // ran, stay as they are; under the lock, nobody writes in between.
    const FileLock lock(FileLock::forFolder(QFileInfo(m_path).absolutePath()));
    if (refresh)
        refresh(s);
    IniFile ini(m_path);
    if (!ini.load())
        return false;
    Writer w(ini);

    w.integer(kWindow, QStringLiteral("Left"), s.Window.Left);
    w.integer(kWindow, QStringLiteral("Top"), s.Window.Top);
    w.integer(kWindow, QStringLiteral("Width"), s.Window.Width);
    w.integer(kWindow, QStringLiteral("Height"), s.Window.Height);
    w.string(kWindow, QStringLiteral("LastDir"), s.Window.LastDir);
    w.boolean(kWindow, QStringLiteral("State"), state == WindowShowState::Maximized);
    w.integer(kWindow, QStringLiteral("ListMax"), s.Window.ListMax);

    w.string(kSusie, QStringLiteral("Dir"), s.SusieDir);

    w.integer(kSameBox, QStringLiteral("Left"), s.SameBox.Left);
    w.integer(kSameBox, QStringLiteral("Top"), s.SameBox.Top);
    w.integer(kSameBox, QStringLiteral("Width"), s.SameBox.Width);
    w.integer(kSameBox, QStringLiteral("Height"), s.SameBox.Height);

    w.boolean(kTool, QStringLiteral("Show"), s.Tool.Show);
    w.integer(kTool, QStringLiteral("Left"), s.Tool.Left);
    w.integer(kTool, QStringLiteral("Top"), s.Tool.Top);
    w.byte(kTool, QStringLiteral("State"), s.Tool.State);
    w.byte(kTool, QStringLiteral("Orient"), s.Tool.Orient);
    w.byte(kTool, kRenameModeTool, s.RenameMode);

    w.integer(kHelp, QStringLiteral("Left"), s.Help.Left);
    w.integer(kHelp, QStringLiteral("Top"), s.Help.Top);
    w.integer(kHelp, QStringLiteral("Width"), s.Help.Width);
    w.integer(kHelp, QStringLiteral("Height"), s.Help.Height);

    w.integer(kShortCut, QStringLiteral("Interval"), s.ShortCut.Interval);
    w.integer(kShortCut, QStringLiteral("IntervalM"), s.ShortCut.IntervalM);
    w.integer(kShortCut, QStringLiteral("MakePlace"), s.ShortCut.MakePlace);
    w.boolean(kShortCut, QStringLiteral("Auto"), s.ShortCut.Auto);
    w.boolean(kShortCut, QStringLiteral("Box"), s.ShortCut.Box);
    w.boolean(kShortCut, QStringLiteral("Button"), s.ShortCut.Button);
    w.boolean(kShortCut, QStringLiteral("Full"), s.ShortCut.Full);
    w.boolean(kShortCut, QStringLiteral("Zoom"), s.ShortCut.Zoom);
    w.integer(kShortCut, QStringLiteral("Repeat"), s.ShortCut.Repeat);
    w.string(kShortCut, QStringLiteral("PictureFolder"), s.ShortCut.PictureFolder);

    w.integer(kOption, QStringLiteral("Interval"), s.Option.Interval);
    w.integer(kOption, QStringLiteral("IntervalM"), s.Option.IntervalM);
    w.byte(kOption, QStringLiteral("nButton"), s.Option.nButton);
    w.boolean(kOption, QStringLiteral("Copy"), s.Option.Copy);
    w.boolean(kOption, QStringLiteral("Zoom"), s.Option.Zoom);
    w.boolean(kOption, QStringLiteral("Open"), s.Option.Open);
    w.boolean(kOption, QStringLiteral("Numbering"), s.Option.Numbering);
    w.boolean(kOption, QStringLiteral("Companions"), s.Option.Companions);
    w.byte(kOption, kSeqDigits, s.Option.SeqDigits);
    w.integer(kOption, QStringLiteral("PrefetchMiB"), s.Option.PrefetchMiB);
    const int slotsUsed = slotCount(s.Option.nButton);
    for (int i = 1; i <= slotsUsed; ++i) {
        const TransferSlot &slot = s.TransferSlots[size_t(i - 1)];
        w.string(kOption, folderKey(i), slot.Folder);
        w.string(kOption, buttonKey(i), slot.Caption);
    }
    for (int i = 1; i <= kMaxApps; ++i)
        w.string(kOption, appKey(i), i <= s.AppList.size() ? s.AppList[i - 1] : QString());
    w.integer(kOption, kLabelFlag, s.fnLabel.flag);
    w.string(kOption, kLabelFont, s.fnLabel.fnlFontName);
    w.integer(kOption, kLabelSize, s.fnLabel.fnlFontSize);

    w.byte(kRename, kRenameModeRename, s.RenameMode);
    w.boolean(kRename, kAddAtBack, s.Rename.AddAtBack);

    w.boolean(kWindow, kLabelFlag, s.Window.FileNameShown);

    return ini.save();
}
