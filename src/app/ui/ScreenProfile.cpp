#include "app/ui/ScreenProfile.h"

#include "decode/ColourProfile.h"

#include <QColorSpace>
#include <QGuiApplication>

#ifdef GD_HAVE_XCB
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>
#endif

namespace
{
// Real display profiles are a few KiB, large LUT-based ones some hundred.
constexpr quint32 kMostProfileBytes = 4u << 20;

// The property's bytes as published, whatever they hold.
QByteArray publishedProfile()
{
    QByteArray icc;
#ifdef GD_HAVE_XCB
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *c = x11 ? x11->connection() : nullptr;
    if (!c)
        return icc;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    static const char kName[] = "_ICC_PROFILE";
    xcb_intern_atom_reply_t *a =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, uint16_t(std::strlen(kName)), kName), nullptr);
    const xcb_atom_t property = a ? a->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(a);
    if (!screen || property == XCB_ATOM_NONE)
        return icc; // the atom does not exist: nobody ever published a profile
    xcb_get_property_reply_t *r = xcb_get_property_reply(
        c, xcb_get_property(c, 0, screen->root, property, XCB_GET_PROPERTY_TYPE_ANY, 0, kMostProfileBytes / 4),
        nullptr);
    if (r && r->format == 8 && r->bytes_after == 0)
        icc = QByteArray(static_cast<const char *>(xcb_get_property_value(r)), xcb_get_property_value_length(r));
    std::free(r);
#endif
    return icc;
}
} // namespace

QByteArray ReadScreenProfile()
{
    const QByteArray icc = publishedProfile();
    // Something that is not an ICC profile is no profile.
    return !icc.isEmpty() && QColorSpace::fromIccProfile(icc).isValid() ? icc : QByteArray();
}

void UseScreenProfile()
{
    // Read once: the profile is parsed only when one is published.
    const QByteArray icc = publishedProfile();
    if (icc.isEmpty())
        return;
    const QColorSpace space = QColorSpace::fromIccProfile(icc);
    // An sRGB screen is what the decoders assume anyway.
    if (space.isValid() && space != QColorSpace(QColorSpace::SRgb))
        SetDisplayProfile(icc);
}
