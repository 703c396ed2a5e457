#include "common/TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace
{
// Japanese Windows' ANSI code page; ICU knows it under this name.
constexpr const char *kCp932 = "windows-31j";
} // namespace

QString decodeCp932(const QByteArray &bytes)
{
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
