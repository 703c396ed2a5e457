#include "fileops/RuleFile.h"

#include "common/TextCodec.h"
#include "platform/SafeOpen.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <cerrno>
#include <utility>

namespace
{
constexpr qint64 kMaxRuleBytes = 1024 * 1024;

QStringList splitLines(const QString &text)
{
    QStringList out;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n') {
            ++i;
            continue;
        }
        out << text.mid(start, i - start);
        i += (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ? 2 : 1;
        start = i;
    }
    // A last line without a terminator still counts; a final terminator
    // does not start another line.
    if (start < n)
        out << text.mid(start);
    return out;
}

bool hasNonAscii(const QByteArray &bytes)
{
    for (char c : bytes) {
        if (uchar(c) >= 0x80)
            return true;
    }
    return false;
}

QString decodeUtf16(const QByteArray &body, QStringDecoder::Encoding enc)
{
    QStringDecoder dec(enc, QStringDecoder::Flag::Stateless);
    return dec(body);
}

QByteArray encodeUtf16(const QString &text, QStringEncoder::Encoding enc)
{
    QStringEncoder e(enc, QStringEncoder::Flag::Stateless);
    return e(text);
}
} // namespace

DcimRuleFile::DcimRuleFile(QString appFolder, QStringList shippedFolders)
    : m_appFolder(std::move(appFolder)), m_shipped(std::move(shippedFolders))
{
}

QString DcimRuleFile::path() const
{
    return QDir(m_appFolder).filePath(kFileName);
}

bool DcimRuleFile::load()
{
    m_lines.clear();
    m_loadedFrom.clear();
    m_encoding = Encoding::Cp932;
    m_unreadable = false;

    QStringList candidates{path()};
    for (const QString &folder : std::as_const(m_shipped))
        candidates << QDir(folder).filePath(kFileName);
    for (int i = 0; i < candidates.size(); ++i) {
        const QString &p = candidates[i];
        // Rules are a few lines: a huge file, a FIFO or a device under the
        // name is not read (and, being ours, not overwritten either).
        const SmallFile f = ReadSmallFile(p, kMaxRuleBytes);
        if (!f.ok && f.errorNumber == ENOENT)
            continue;
        const QByteArray &bytes = f.data;
        if (!f.ok) {
            // Our own file unreadable: keep it safe from being overwritten.
            if (i == 0)
                m_unreadable = true;
            return false;
        }
        Decoded d = decode(bytes);
        m_lines = std::move(d.lines);
        m_encoding = d.encoding;
        m_loadedFrom = p;
        return true;
    }
    return true;
}

bool DcimRuleFile::save(const QStringList &lines)
{
    if (m_unreadable)
        return false;
    Encoding used = m_encoding;
    const QByteArray bytes = encode(lines, m_encoding, &used);
    QSaveFile f(path());
    if (!f.open(QIODevice::WriteOnly))
        return false;
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    if (!f.commit())
        return false;
    m_lines = lines;
    m_encoding = used;
    m_loadedFrom = path();
    return true;
}

DcimRuleFile::Decoded DcimRuleFile::decode(const QByteArray &bytes)
{
    Decoded d;
    QString text;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        d.encoding = Encoding::Utf8Bom;
        text = QString::fromUtf8(bytes.mid(3));
    } else if (bytes.startsWith("\xFF\xFE")) {
        d.encoding = Encoding::Utf16LE;
        text = decodeUtf16(bytes.mid(2), QStringDecoder::Utf16LE);
    } else if (bytes.startsWith("\xFE\xFF")) {
        d.encoding = Encoding::Utf16BE;
        text = decodeUtf16(bytes.mid(2), QStringDecoder::Utf16BE);
    } else if (hasNonAscii(bytes) && isValidUtf8(bytes)) {
        // A file made on Linux; CP932 bytes are practically never valid UTF-8.
        d.encoding = Encoding::Utf8;
        text = QString::fromUtf8(bytes);
    } else {
        d.encoding = Encoding::Cp932;
        text = decodeCp932(bytes);
    }
    d.lines = splitLines(text);
    return d;
}

QByteArray DcimRuleFile::encode(const QStringList &lines, Encoding encoding, Encoding *used)
{
    QString text;
    for (const QString &l : lines)
        text += l + QStringLiteral("\r\n");
    QByteArray out;
    Encoding enc = encoding;
    switch (encoding) {
    case Encoding::Cp932: {
        bool lossless = true;
        out = encodeCp932(text, &lossless);
        if (!lossless) {
            enc = Encoding::Utf8Bom;
            out = QByteArray("\xEF\xBB\xBF") + text.toUtf8();
        }
        break;
    }
    case Encoding::Utf8:
        out = text.toUtf8();
        break;
    case Encoding::Utf8Bom:
        out = QByteArray("\xEF\xBB\xBF") + text.toUtf8();
        break;
    case Encoding::Utf16LE:
        out = QByteArray("\xFF\xFE") + encodeUtf16(text, QStringEncoder::Utf16LE);
        break;
    case Encoding::Utf16BE:
        out = QByteArray("\xFE\xFF") + encodeUtf16(text, QStringEncoder::Utf16BE);
        break;
    }
    if (used)
        *used = enc;
    return out;
}
