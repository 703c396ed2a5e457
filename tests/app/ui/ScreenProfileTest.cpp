// The screen's colour profile as X11 colour tools publish it: the root
// window's _ICC_PROFILE. Runs on a real X server (CTest entry app_ui_x11).
#include "app/ui/ScreenProfile.h"

#include <QColorSpace>
#include <QGuiApplication>
#include <gtest/gtest.h>

#ifdef GD_HAVE_XCB
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

TEST(ScreenProfile, X11ThePublishedProfileIsReadAndANonProfileIgnored)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *c = x11 ? x11->connection() : nullptr;
    if (!c)
        GTEST_SKIP() << "needs X11 (ctest -R app_ui_x11)";
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    static const char kName[] = "_ICC_PROFILE";
    xcb_intern_atom_reply_t *a =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(kName)), kName), nullptr);
    ASSERT_NE(a, nullptr);
    const xcb_atom_t property = a->atom;
    std::free(a);
    auto publish = [&](const QByteArray &bytes) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, property, XCB_ATOM_CARDINAL, 8, uint32_t(bytes.size()),
                            bytes.constData());
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); // the server has it
    };

    xcb_delete_property(c, root, property);
    EXPECT_TRUE(ReadScreenProfile().isEmpty());

    const QByteArray p3 = QColorSpace(QColorSpace::DisplayP3).iccProfile();
    ASSERT_FALSE(p3.isEmpty());
    publish(p3);
    EXPECT_EQ(ReadScreenProfile(), p3);

    publish(QByteArray("not a profile at all"));
    EXPECT_TRUE(ReadScreenProfile().isEmpty());
    xcb_delete_property(c, root, property);
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}
#endif
