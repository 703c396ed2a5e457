#include "lists/ListFile.h"

#include "common/PictureList.h"
#include "common/Prompter.h"
#include "platform/SafeOpen.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace
{
// A list of paths this size would hold millions of entries; anything larger
// is not one of ours and is not read into memory.
constexpr qint64 kMaxListBytes = 64ll * 1024 * 1024;

const QString kNotOurData = QStringLiteral("指定リストファイルは、本ソフトのデータではありません。");
const QString kNoPicture = QStringLiteral("指定された画像ファイルは、存在しません。");

QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}
} // namespace

bool readListLines(const QString &path, QStringList &lines)
{
    lines.clear();
    const SmallFile f = ReadSmallFile(path, kMaxListBytes);
    if (!f.ok)
        return false;
    lines = parseListBytes(f.data);
    return true;
}

QStringList parseListBytes(const QByteArray &bytes)
{
    qsizetype from = 0;
    if (bytes.size() >= 2 && uchar(bytes[0]) == 0xFF && uchar(bytes[1]) == 0xFE)
        from = 2;
    // A stray last byte cannot be half of a character; drop it.
    qsizetype len = bytes.size() - from;
    len -= len % 2;
    QStringDecoder dec(QStringConverter::Utf16LE, QStringConverter::Flag::ConvertInitialBom);
    const QString text = dec.decode(QByteArrayView(bytes.constData() + from, len));
    return splitLines(text);
}

bool readFirstListLine(const QString &path, QString &line)
{
    line.clear();
    QFile f;
    if (!OpenRegularQFile(path, f) || f.size() > kMaxListBytes)
        return false;
    qint64 left = f.size();
    QByteArray mark = f.peek(2);
    if (mark.size() == 2 && uchar(mark[0]) == 0xFF && uchar(mark[1]) == 0xFE) {
        f.skip(2);
        left -= 2;
    }
    left -= left % 2; // a stray last byte is no character
    // Same decoding as readListLines, a piece at a time.
    QStringDecoder dec(QStringConverter::Utf16LE, QStringConverter::Flag::ConvertInitialBom);
    QString text;
    while (left > 0) {
        const QByteArray piece = f.read(qMin<qint64>(left, 64 * 1024));
        if (piece.isEmpty())
            break;
        left -= piece.size();
        const qsizetype from = text.size();
        text += dec.decode(piece);
        for (qsizetype i = from; i < text.size(); ++i) {
            if (text.at(i) == u'\r' || text.at(i) == u'\n') {
                line = text.left(i);
                return true;
            }
        }
    }
    line = text;
    return !text.isEmpty();
}

QStringList StorablePaths(const QStringList &paths)
{
    QStringList out;
    out.reserve(paths.size());
    for (const QString &p : paths) {
        if (!p.contains(u'\r') && !p.contains(u'\n'))
            out.append(p);
    }
    return out;
}

QByteArray listFileBytes(const QStringList &lines)
{
    QString text;
    for (const QString &line : StorablePaths(lines)) {
        text += line;
        text += QStringLiteral("\r\n");
    }
    QStringEncoder enc(QStringConverter::Utf16LE);
    QByteArray bytes("\xFF\xFE", 2);
    bytes += QByteArray(enc.encode(text));
    return bytes;
}

bool writeListLines(const QString &path, const QStringList &lines)
{
    const QByteArray bytes = listFileBytes(lines);
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

bool writeListFile(const QString &path, const QStringList &paths)
{
    QStringList lines;
    lines.reserve(paths.size() + 1);
    lines.append(kListHeader);
    lines.append(paths);
    return writeListLines(path, lines);
}

bool isListFileName(const QString &path)
{
    return QFileInfo(path).fileName().endsWith(QStringLiteral(".lst"), Qt::CaseSensitive);
}

bool ReadListFile(const QString &path, PictureList &list, Prompter &prompter)
{
    QStringList lines;
    if (!readListLines(path, lines) || lines.isEmpty() || lines.first() != kListHeader) {
        prompter.plain(kNotOurData);
        return false;
    }
    // A header with no paths after it names no picture at all.
    if (lines.size() < 2 || !QFileInfo(lines.at(1)).isFile()) {
        prompter.plain(kNoPicture);
        return false;
    }
    lines.removeFirst();
    list.setSorted(false);
    list.replace(lines);
    return true;
}
