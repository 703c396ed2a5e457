#include "decode/ColourProfile.h"

#include <QColorSpace>
#include <QHash>
#include <QMutex>
#include <cmath>
#include <cstring>
#include <lcms2.h>
#include <memory>

namespace
{

struct ProfileCloser {
    void operator()(void *p) const { cmsCloseProfile(p); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;

struct TransformDeleter {
    void operator()(void *t) const { cmsDeleteTransform(t); }
};
using Transform = std::unique_ptr<void, TransformDeleter>;

QMutex mutex;
QByteArray displayProfile;                           // empty: sRGB
QHash<QByteArray, std::shared_ptr<void>> transforms; // profile + format → transform
constexpr int kMaxCachedTransforms = 16;

// Built-in sRGB as lcms2 makes it.
Profile srgbProfile()
{
    return Profile(cmsCreate_sRGBProfile());
}

Profile displayTarget()
{
    QByteArray d;
    {
        QMutexLocker lock(&mutex);
        d = displayProfile;
    }
    if (!d.isEmpty()) {
        Profile p(cmsOpenProfileFromMem(d.constData(), cmsUInt32Number(d.size())));
        if (p && cmsGetColorSpace(p.get()) == cmsSigRgbData)
            return p;
    }
    return srgbProfile();
}

bool near(double a, double b, double tolerance)
{
    return std::fabs(a - b) <= tolerance;
}

// A matrix/curve profile whose colorants and curves are sRGB's: most
// cameras and editors tag plain sRGB pictures with such a profile, and
// converting them would only cost time.
bool describesSrgb(cmsHPROFILE p)
{
    if (cmsGetColorSpace(p) != cmsSigRgbData || !cmsIsMatrixShaper(p) || cmsIsTag(p, cmsSigAToB0Tag) ||
        cmsIsTag(p, cmsSigAToB1Tag))
        return false;
    Profile s = srgbProfile();
    const cmsTagSignature colorants[] = {cmsSigRedColorantTag, cmsSigGreenColorantTag, cmsSigBlueColorantTag};
    const cmsTagSignature curves[] = {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};
    for (int c = 0; c < 3; ++c) {
        const auto *a = static_cast<const cmsCIEXYZ *>(cmsReadTag(p, colorants[c]));
        const auto *b = static_cast<const cmsCIEXYZ *>(cmsReadTag(s.get(), colorants[c]));
        if (!a || !b || !near(a->X, b->X, 0.002) || !near(a->Y, b->Y, 0.002) || !near(a->Z, b->Z, 0.002))
            return false;
        const auto *ca = static_cast<const cmsToneCurve *>(cmsReadTag(p, curves[c]));
        const auto *cb = static_cast<const cmsToneCurve *>(cmsReadTag(s.get(), curves[c]));
        if (!ca || !cb)
            return false;
        for (int i = 0; i <= 16; ++i) {
            const float v = i / 16.0f;
            if (!near(cmsEvalToneCurveFloat(ca, v), cmsEvalToneCurveFloat(cb, v), 0.5 / 255))
                return false;
        }
    }
    return true;
}

// The transform for a profile and pixel layout, made once and kept: making
// one costs more than converting a small picture. Null when the profile is
// unusable, matches the image's model badly or is sRGB already.
std::shared_ptr<void> transformFor(const QByteArray &icc, cmsUInt32Number inType, cmsUInt32Number outType,
                                   cmsColorSpaceSignature model)
{
    QByteArray key = icc;
    key.append(reinterpret_cast<const char *>(&inType), sizeof inType);
    key.append(reinterpret_cast<const char *>(&outType), sizeof outType);
    {
        QMutexLocker lock(&mutex);
        key.append(displayProfile); // a new display profile makes new transforms
        const auto it = transforms.constFind(key);
        if (it != transforms.constEnd())
            return it.value();
    }
    std::shared_ptr<void> made;
    Profile in(cmsOpenProfileFromMem(icc.constData(), cmsUInt32Number(icc.size())));
    bool displayIsSrgb;
    {
        QMutexLocker lock(&mutex);
        displayIsSrgb = displayProfile.isEmpty();
    }
    if (in && cmsGetColorSpace(in.get()) == model && !(displayIsSrgb && describesSrgb(in.get()))) {
        Profile out = displayTarget();
        void *t = cmsCreateTransform(in.get(), inType, out.get(), outType, INTENT_PERCEPTUAL,
                                     cmsFLAGS_NOCACHE | cmsFLAGS_COPY_ALPHA);
        if (t)
            made = std::shared_ptr<void>(t, TransformDeleter());
    }
    QMutexLocker lock(&mutex);
    if (transforms.size() >= kMaxCachedTransforms)
        transforms.clear();
    transforms.insert(key, made); // a refused profile is remembered as null
    return made;
}

// lcms2 reports broken profiles through this; they simply stay unconverted.
void quietErrors(cmsContext, cmsUInt32Number, const char *) {}

} // namespace

QByteArray IccFromCicp(int primaries, int transfer)
{
    // Transfer: 1, 6, 14, 15 (the BT.709 family) and 13 (sRGB) are shown with
    // the sRGB curve, as displays show them; 2 means unspecified.
    if (!(transfer == 1 || transfer == 2 || transfer == 6 || transfer == 13 || transfer == 14 ||
          transfer == 15))
        return {};
    cmsCIExyYTRIPLE prim;
    cmsCIExyY white = {0.3127, 0.3290, 1.0};
    switch (primaries) {
    case 9: // BT.2020
        prim = {{0.708, 0.292, 1.0}, {0.170, 0.797, 1.0}, {0.131, 0.046, 1.0}};
        break;
    case 11: // DCI-P3 with its own white
        prim = {{0.680, 0.320, 1.0}, {0.265, 0.690, 1.0}, {0.150, 0.060, 1.0}};
        white = {0.314, 0.351, 1.0};
        break;
    case 12: // Display P3
        prim = {{0.680, 0.320, 1.0}, {0.265, 0.690, 1.0}, {0.150, 0.060, 1.0}};
        break;
    default: // 1 (sRGB/BT.709), unspecified and the rest
        return {};
    }
    const cmsFloat64Number srgb[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
    cmsToneCurve *curve = cmsBuildParametricToneCurve(nullptr, 4, srgb);
    if (!curve)
        return {};
    cmsToneCurve *curves[3] = {curve, curve, curve};
    Profile p(cmsCreateRGBProfile(&white, &prim, curves));
    cmsFreeToneCurve(curve);
    cmsUInt32Number size = 0;
    if (!p || !cmsSaveProfileToMem(p.get(), nullptr, &size) || size == 0)
        return {};
    QByteArray icc(qsizetype(size), Qt::Uninitialized);
    if (!cmsSaveProfileToMem(p.get(), icc.data(), &size))
        return {};
    return icc;
}

bool ConvertToDisplaySpace(QImage &image, const QByteArray &icc)
{
    if (icc.isEmpty() || image.isNull())
        return false;
    static const bool quiet = [] {
        cmsSetLogErrorHandler(quietErrors);
        return true;
    }();
    Q_UNUSED(quiet);

    if (image.format() == QImage::Format_Grayscale8) {
        const auto t = transformFor(icc, TYPE_GRAY_8, TYPE_BGRA_8, cmsSigGrayData);
        if (!t)
            return false;
        QImage out(image.size(), QImage::Format_RGB32);
        if (out.isNull())
            return false;
        for (int y = 0; y < image.height(); ++y) {
            auto *row = reinterpret_cast<QRgb *>(out.scanLine(y));
            cmsDoTransform(t.get(), image.constScanLine(y), row, cmsUInt32Number(image.width()));
            for (int x = 0; x < image.width(); ++x)
                row[x] |= 0xFF000000u; // lcms2 leaves the padding byte
        }
        out.setColorSpace(QColorSpace());
        image = std::move(out);
        return true;
    }

    QImage::Format format;
    cmsUInt32Number type;
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        format = image.format();
        type = TYPE_BGRA_8;
        break;
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888:
        format = image.format();
        type = TYPE_RGBA_8;
        break;
    default: // premultiplied, 16-bit, indexed...: straight 8-bit first
        format = image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
        type = TYPE_BGRA_8;
        break;
    }
    const auto t = transformFor(icc, type, type, cmsSigRgbData);
    if (!t)
        return false;
    if (image.format() != format)
        image.convertTo(format);
    if (image.isNull())
        return false;
    for (int y = 0; y < image.height(); ++y) {
        uchar *row = image.scanLine(y);
        cmsDoTransform(t.get(), row, row, cmsUInt32Number(image.width()));
    }
    image.setColorSpace(QColorSpace());
    return true;
}

void SetDisplayProfile(const QByteArray &icc)
{
    QMutexLocker lock(&mutex);
    displayProfile = icc;
    transforms.clear();
}
