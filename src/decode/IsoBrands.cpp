// Telling HEIF and AVIF apart by their file-type box, and JPEG XL by its
// signature.
#include "decode/FormatDecoders.h"

#include <cstring>

namespace
{

enum class Family { None, Heif, Avif };

Family familyOf(const char *brand)
{
    for (const char *b : {"avif", "avis"}) {
        if (std::memcmp(brand, b, 4) == 0)
            return Family::Avif;
    }
    for (const char *b : {"heic", "heix", "heim", "heis", "hevc", "hevx", "mif1", "msf1"}) {
        if (std::memcmp(brand, b, 4) == 0)
            return Family::Heif;
    }
    return Family::None;
}

// The major brand decides; a generic one ("mif1") is AVIF when an AVIF
// brand is among the compatible ones.
Family isoFamily(QByteArrayView data)
{
    if (data.size() < 16 || std::memcmp(data.data() + 4, "ftyp", 4) != 0)
        return Family::None;
    const auto *p = reinterpret_cast<const uchar *>(data.data());
    const qsizetype boxSize = qsizetype(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
    const Family major = familyOf(data.data() + 8);
    if (major == Family::Avif)
        return major;
    const qsizetype end = qMin(boxSize, data.size());
    bool avif = false, heif = major == Family::Heif;
    for (qsizetype o = 16; o + 4 <= end; o += 4) {
        const Family f = familyOf(data.data() + o);
        avif = avif || f == Family::Avif;
        heif = heif || f == Family::Heif;
    }
    const bool generic =
        std::memcmp(data.data() + 8, "mif1", 4) == 0 || std::memcmp(data.data() + 8, "msf1", 4) == 0;
    if (avif && (generic || major == Family::None))
        return Family::Avif;
    return heif ? Family::Heif : Family::None;
}

} // namespace

bool IsHeifData(QByteArrayView data)
{
    return isoFamily(data) == Family::Heif;
}

bool IsAvifData(QByteArrayView data)
{
    return isoFamily(data) == Family::Avif;
}

bool IsJpegXlData(QByteArrayView data)
{
    static constexpr uchar kContainer[] = {0, 0, 0, 0x0C, 'J', 'X', 'L', ' ', 0x0D, 0x0A, 0x87, 0x0A};
    const auto *p = reinterpret_cast<const uchar *>(data.data());
    if (data.size() >= 2 && p[0] == 0xFF && p[1] == 0x0A)
        return true; // a bare code stream
    return data.size() >= 12 && std::memcmp(p, kContainer, 12) == 0;
}
