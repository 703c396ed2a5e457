#include "fileops/ToolBoxLayout.h"

#include "fileops/Transfer.h"
#include "settings/Settings.h"

#include <QDir>
#include <algorithm>

namespace
{
constexpr int kRunTimeWidth = 10; // character places beside the tree glyph
constexpr int kFolderWidth = 12;  // beside the folder glyph
} // namespace

int TransferButtonCount(int nButton)
{
    return std::clamp(nButton, 0, toolbox::kMaxButtons);
}

int PanelHeight(bool open, int nButton, int divideTop)
{
    if (!open)
        return divideTop;
    return divideTop + 24 * TransferButtonCount(nButton) + 39;
}

int ButtonTop(int slot, int divideTop)
{
    return divideTop + 24 * (slot + 1) + 12;
}

QString CentredCaption(const QString &text, int width)
{
    const int length = int(text.size());
    const int left = (width - length) / 2 - 1; // C++ division rounds toward zero
    const int right = width - length - left;
    return QString(std::max(left, 0), QLatin1Char(' ')) + text +
           QString(std::max(right, 0), QLatin1Char(' '));
}

ButtonFace ButtonFaceSet(const TransferSlot &slot)
{
    QString text = slot.Caption;
    if (text.size() == toolbox::kCutLength)
        text = text.left(toolbox::kCutTo);
    if (text.isEmpty() || slot.Folder.isEmpty())
        text = kNoneCaption;
    ButtonFace face;
    face.runTime = slot.Folder == kRunTimeFolder;
    face.caption = CentredCaption(text, face.runTime ? kRunTimeWidth : kFolderWidth);
    face.hint = slot.Folder;
    return face;
}

QString LastFolderName(const QString &path)
{
    QString name = QDir::fromNativeSeparators(path);
    if (name.endsWith(QLatin1Char('/')))
        name.chop(1);
    return name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
}

QString FolderCaption(const QString &folder)
{
    return LastFolderName(folder).left(toolbox::kCaptionMax);
}

QString EditedCaption(const QString &text)
{
    QString caption = text.left(toolbox::kEditMax);
    if (caption.isEmpty())
        caption = kNoneCaption;
    return caption.left(toolbox::kCaptionMax);
}

std::optional<SortFace> SortCaptionSet(int order)
{
    switch (order) {
    case int(PlayOrder::Random):
        return SortFace{QStringLiteral("ランダム"), QStringLiteral("order-random")};
    case int(PlayOrder::Name):
        return SortFace{QStringLiteral("正順"), QStringLiteral("order-name")};
    case int(PlayOrder::NameReversed):
        return SortFace{QStringLiteral("逆順"), QStringLiteral("order-reverse")};
    case int(PlayOrder::Date):
        return SortFace{QStringLiteral("日時順"), QStringLiteral("order-date")};
    default:
        return std::nullopt;
    }
}

int SliderTickFrequency(int maximum)
{
    return maximum <= 40 ? 1 : 10;
}
