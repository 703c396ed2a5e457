// Zip entry names: the legacy decoding and the split into parts that must
// never leave the extraction folder.
#include "FuzzSupport.h"
#include "platform/ZipExtract.h"

namespace
{
void checkParts(const QString &name)
{
    QStringList parts;
    bool isDir = false;
    if (!SafeZipEntryParts(name, parts, isDir))
        return;
    GD_FUZZ_CHECK(!parts.isEmpty());
    for (const QString &p : parts) {
        GD_FUZZ_CHECK(!p.isEmpty() && p != QLatin1String(".") && p != QLatin1String(".."));
        GD_FUZZ_CHECK(!p.contains(u'/') && !p.contains(u'\\') && !p.contains(QChar(0)));
    }
    GD_FUZZ_CHECK(!(parts[0].size() == 2 && parts[0][1] == u':'));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray raw = bytesOf(data, size);
    checkParts(DecodeLegacyZipName(raw));
    checkParts(ZipEntryName(raw, raw));                 // flagged UTF-8
    checkParts(ZipEntryName(raw, QByteArray("other"))); // legacy
    checkParts(QString::fromLatin1(raw));
    return 0;
}
