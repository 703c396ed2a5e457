#include "common/TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>

namespace
{
// Japanese Windows' ANSI code page; ICU knows it under this name.
constexpr const char *kCp932 = "windows-31j";
} // namespace

QString decodeCp932(const QByteArray &bytes)
{
    // Printable ASCII, tabs and line ends read the same in CP932; the
    // converter (tables loaded on first use) is then not needed: the rule
    // file shipped is such text. (Some control characters read otherwise.)
    const auto plain = [](char c) { return (c >= 0x20 && c < 0x7F) || c == '\t' || c == '\n' || c == '\r'; };
    if (std::all_of(bytes.cbegin(), bytes.cend(), plain))
        return QString::fromLatin1(bytes);
    QStringDecoder dec(kCp932, QStringDecoder::Flag::Stateless);
    return dec(bytes);
}

QByteArray encodeCp932(const QString &text, bool *lossless)
{
    QStringEncoder enc(kCp932, QStringEncoder::Flag::Stateless);
    QByteArray out = enc(text);
    if (lossless)
        *lossless = !enc.hasError();
    return out;
}

bool isValidUtf8(const QByteArray &bytes)
{
    QStringDecoder dec(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString ignored = dec(bytes);
    return !dec.hasError();
}
