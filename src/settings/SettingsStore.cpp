#include "settings/SettingsStore.h"

#include "platform/FileLock.h"
#include "settings/IniFile.h"

#include <QFileInfo>
#include <span>
#include <type_traits>
#include <utility>
#include <variant>

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
// Read as "state" by older versions; keys are matched in any letter case.
const QString kWindowState = QStringLiteral("State");

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


// ---------------------------------------------------------------- the keys

// A number's default: fixed, or taken from what was read before it (the
// dialogs open where the main window was) or from the window's geometry.
using NumberDefault = int32_t (*)(const Settings &, const WindowGeometry &);
using IntegerAt = int32_t &(*)(Settings &);
using ByteAt = uint8_t &(*)(Settings &);
using BooleanAt = bool &(*)(Settings &);
using TextAt = QString &(*)(Settings &);

// One key of the file: its section and name, the member that holds it and
// its default. Load and save walk the same rows, in the file's order.
struct Field {
    const QString &section;
    QString key;
    std::variant<IntegerAt, ByteAt, BooleanAt, TextAt> at;
    NumberDefault number = nullptr; // numbers and booleans
    QString text = {};              // texts
};

template <int32_t V> int32_t fixed(const Settings &, const WindowGeometry &)
{
    return V;
}

#define AT(member) [](Settings &s) -> auto & { return s.member; }
#define FROM(expr)                                                                                           \
    [](const Settings &s, const WindowGeometry &g) -> int32_t {                                               \
        (void)s;                                                                                             \
        (void)g;                                                                                             \
        return expr;                                                                                         \
    }

// The main window's place; Window.State follows it.
const Field kWindowPlace[] = {
    {kWindow, QStringLiteral("Left"), IntegerAt(AT(Window.Left)), FROM(g.Left)},
    {kWindow, QStringLiteral("Top"), IntegerAt(AT(Window.Top)), FROM(g.Top)},
    {kWindow, QStringLiteral("Width"), IntegerAt(AT(Window.Width)), FROM(g.Width)},
    {kWindow, QStringLiteral("Height"), IntegerAt(AT(Window.Height)), FROM(g.Height)},
    {kWindow, QStringLiteral("LastDir"), TextAt(AT(Window.LastDir))},
};

// From there to the transfer slots and the applications.
const Field kFieldsBefore[] = {
    {kWindow, QStringLiteral("ListMax"), IntegerAt(AT(Window.ListMax)), fixed<0>},

    {kSusie, QStringLiteral("Dir"), TextAt(AT(SusieDir))},

    {kSameBox, QStringLiteral("Left"), IntegerAt(AT(SameBox.Left)), FROM(s.Window.Left)},
    {kSameBox, QStringLiteral("Top"), IntegerAt(AT(SameBox.Top)), FROM(s.Window.Top)},
    {kSameBox, QStringLiteral("Width"), IntegerAt(AT(SameBox.Width)), fixed<500>},
    {kSameBox, QStringLiteral("Height"), IntegerAt(AT(SameBox.Height)), fixed<300>},

    {kTool, QStringLiteral("Show"), BooleanAt(AT(Tool.Show)), fixed<1>},
    {kTool, QStringLiteral("Left"), IntegerAt(AT(Tool.Left)), fixed<0>},
    {kTool, QStringLiteral("Top"), IntegerAt(AT(Tool.Top)), fixed<0>},
    {kTool, QStringLiteral("State"), ByteAt(AT(Tool.State)), fixed<0>},
    {kTool, QStringLiteral("Orient"), ByteAt(AT(Tool.Orient)), fixed<0>},
    {kTool, kRenameModeTool, ByteAt(AT(RenameMode)), fixed<0>},

    {kHelp, QStringLiteral("Left"), IntegerAt(AT(Help.Left)), FROM(s.Window.Left)},
    {kHelp, QStringLiteral("Top"), IntegerAt(AT(Help.Top)), FROM(s.Window.Top)},
    {kHelp, QStringLiteral("Width"), IntegerAt(AT(Help.Width)), fixed<500>},
    {kHelp, QStringLiteral("Height"), IntegerAt(AT(Help.Height)), fixed<500>},

    {kShortCut, QStringLiteral("Interval"), IntegerAt(AT(ShortCut.Interval)), fixed<2>},
    {kShortCut, QStringLiteral("IntervalM"), IntegerAt(AT(ShortCut.IntervalM)), fixed<0>},
    {kShortCut, QStringLiteral("MakePlace"), IntegerAt(AT(ShortCut.MakePlace)), fixed<0>},
    {kShortCut, QStringLiteral("Auto"), BooleanAt(AT(ShortCut.Auto)), fixed<1>},
    {kShortCut, QStringLiteral("Box"), BooleanAt(AT(ShortCut.Box)), fixed<0>},
    {kShortCut, QStringLiteral("Button"), BooleanAt(AT(ShortCut.Button)), fixed<0>},
    {kShortCut, QStringLiteral("Full"), BooleanAt(AT(ShortCut.Full)), fixed<1>},
    {kShortCut, QStringLiteral("Zoom"), BooleanAt(AT(ShortCut.Zoom)), fixed<1>},
    {kShortCut, QStringLiteral("Repeat"), IntegerAt(AT(ShortCut.Repeat)), fixed<-1>},
    {kShortCut, QStringLiteral("PictureFolder"), TextAt(AT(ShortCut.PictureFolder))},

    {kOption, QStringLiteral("Interval"), IntegerAt(AT(Option.Interval)), fixed<2>},
    {kOption, QStringLiteral("IntervalM"), IntegerAt(AT(Option.IntervalM)), fixed<0>},
    {kOption, QStringLiteral("nButton"), ByteAt(AT(Option.nButton)), fixed<5>},
    {kOption, QStringLiteral("Copy"), BooleanAt(AT(Option.Copy)), fixed<1>},
    {kOption, QStringLiteral("Zoom"), BooleanAt(AT(Option.Zoom)), fixed<0>},
    {kOption, QStringLiteral("Open"), BooleanAt(AT(Option.Open)), fixed<1>},
    {kOption, QStringLiteral("Numbering"), BooleanAt(AT(Option.Numbering)), fixed<0>},
    {kOption, QStringLiteral("Companions"), BooleanAt(AT(Option.Companions)), fixed<1>},
    {kOption, kSeqDigits, ByteAt(AT(Option.SeqDigits)), fixed<2>},
};

// After them.
const Field kFieldsAfter[] = {
    {kOption, kLabelFlag, IntegerAt(AT(fnLabel.flag)), fixed<0>},
    {kOption, kLabelFont, TextAt(AT(fnLabel.fnlFontName)), nullptr, kDefaultLabelFont},
    {kOption, kLabelSize, IntegerAt(AT(fnLabel.fnlFontSize)), fixed<10>},

    // The rename dialog's own key wins over the tool box's when both are there.
    {kRename, kRenameModeRename, ByteAt(AT(RenameMode)), fixed<0>},
    {kRename, kAddAtBack, BooleanAt(AT(Rename.AddAtBack)), fixed<1>},

    {kWindow, kLabelFlag, BooleanAt(AT(Window.FileNameShown)), fixed<1>},
};

#undef AT
#undef FROM

void readFields(std::span<const Field> fields, const Reader &r, Settings &s, const WindowGeometry &g)
{
    for (const Field &f : fields) {
        const int32_t def = f.number ? f.number(s, g) : 0;
        std::visit(
            [&](auto at) {
                using At = decltype(at);
                if constexpr (std::is_same_v<At, IntegerAt>)
                    at(s) = r.integer(f.section, f.key, def);
                else if constexpr (std::is_same_v<At, ByteAt>)
                    at(s) = r.byte(f.section, f.key, uint8_t(def));
                else if constexpr (std::is_same_v<At, BooleanAt>)
                    at(s) = r.boolean(f.section, f.key, def != 0);
                else
                    at(s) = r.string(f.section, f.key, f.text);
            },
            f.at);
    }
}

void writeFields(std::span<const Field> fields, Writer &w, Settings &s)
{
    for (const Field &f : fields) {
        std::visit(
            [&](auto at) {
                using At = decltype(at);
                if constexpr (std::is_same_v<At, IntegerAt>)
                    w.integer(f.section, f.key, at(s));
                else if constexpr (std::is_same_v<At, ByteAt>)
                    w.byte(f.section, f.key, at(s));
                else if constexpr (std::is_same_v<At, BooleanAt>)
                    w.boolean(f.section, f.key, at(s));
                else
                    w.string(f.section, f.key, at(s));
            },
            f.at);
    }
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

    readFields(kWindowPlace, r, s, def);
    const bool maximized = r.boolean(kWindow, kWindowState, false);
    readFields(kFieldsBefore, r, s, def);
    s.Window.ListMax = qMax(0, s.Window.ListMax);
    s.Option.nButton = uint8_t(slotCount(s.Option.nButton));
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

    readFields(kFieldsAfter, r, s, def);
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

    writeFields(kWindowPlace, w, s);
    w.boolean(kWindow, kWindowState, state == WindowShowState::Maximized);
    writeFields(kFieldsBefore, w, s);
    const int slotsUsed = slotCount(s.Option.nButton);
    for (int i = 1; i <= slotsUsed; ++i) {
        const TransferSlot &slot = s.TransferSlots[size_t(i - 1)];
        w.string(kOption, folderKey(i), slot.Folder);
        w.string(kOption, buttonKey(i), slot.Caption);
    }
    for (int i = 1; i <= kMaxApps; ++i)
        w.string(kOption, appKey(i), i <= s.AppList.size() ? s.AppList[i - 1] : QString());
    writeFields(kFieldsAfter, w, s);

    return ini.save();
}
