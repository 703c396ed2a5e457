#include "app/ui/WindowFrame.h"

#include "common/DesktopFit.h"
#include "fileops/ToolBoxLayout.h"
#include "settings/Settings.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#ifdef GD_HAVE_XCB
#include <QElapsedTimer>
#include <QThread>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>
#endif

#ifdef GD_HAVE_XCB
namespace
{

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return a;
}

// The 32-bit values of a property; empty when it is not set.
QList<quint32> cardinals(xcb_connection_t *c, xcb_window_t w, xcb_atom_t property, xcb_atom_t type,
                         quint32 length)
{
    QList<quint32> out;
    xcb_get_property_reply_t *r =
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, property, type, 0, length), nullptr);
    if (r && r->format == 32) {
        const auto *v = static_cast<const quint32 *>(xcb_get_property_value(r));
        for (int i = 0, n = xcb_get_property_value_length(r) / 4; i < n; ++i)
            out << v[i];
    }
    std::free(r);
    return out;
}

} // namespace
#endif

#ifdef GD_HAVE_XCB
namespace
{

xcb_connection_t *connection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// Set on a window once its request went out (the answer may still come).
const char *const kAsked = "glimmerdeckFrameAsked";

} // namespace
#endif

void RequestFrameMargins(QWidget *window)
{
#ifdef GD_HAVE_XCB
    xcb_connection_t *c = connection();
    if (!c || !window || !window->isWindow() || window->property(kAsked).isValid())
        return;
    window->setProperty(kAsked, false);
    const xcb_atom_t request = atom(c, "_NET_REQUEST_FRAME_EXTENTS");
    const xcb_atom_t supported = atom(c, "_NET_SUPPORTED");
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    if (!request || !cardinals(c, root, supported, XCB_ATOM_ATOM, 4096).contains(request))
        return; // no window manager, or one that does not answer this
    xcb_client_message_event_t ev{};
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = xcb_window_t(window->winId());
    ev.type = request;
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&ev));
    xcb_flush(c);
    window->setProperty(kAsked, true);
#else
    Q_UNUSED(window);
#endif
}

QMargins PredictFrameMargins(QWidget *window, int timeoutMs)
{
#ifdef GD_HAVE_XCB
    RequestFrameMargins(window);
    xcb_connection_t *c = connection();
    if (!c || !window || !window->property(kAsked).toBool())
        return {};
    const xcb_atom_t extents = atom(c, "_NET_FRAME_EXTENTS");
    const auto w = xcb_window_t(window->winId());
    // The answer is a property on our window; a round trip or two.
    QElapsedTimer t;
    t.start();
    do {
        const QList<quint32> v = cardinals(c, w, extents, XCB_ATOM_CARDINAL, 4);
        if (v.size() == 4)
            return QMargins(int(v[0]), int(v[2]), int(v[1]), int(v[3])); // left, right, top, bottom
        QThread::usleep(500);
    } while (t.elapsed() < timeoutMs);
#else
    Q_UNUSED(window);
    Q_UNUSED(timeoutMs);
#endif
    return {};
}

std::optional<int> PlaceToolBoxBeside(QMainWindow &main, const QMargins &predicted, Settings &s)
{
    const QScreen *sc = main.screen();
    if (!sc)
        return std::nullopt;
    QMargins m = main.windowHandle() ? main.windowHandle()->frameMargins() : QMargins();
    if (m.isNull())
        m = predicted;
    const QRect outer = main.geometry().marginsAdded(m);
    const QSize box(toolbox::kClientWidth + m.left() + m.right(),
                    PanelHeight(s.Option.Open, TransferButtonCount(s.Option.nButton)) + m.top() + m.bottom());
    const int menuBottom = main.mapToGlobal(QPoint(0, main.menuBar()->geometry().bottom() + 1)).y();
    const QPoint at = PlaceBeside(outer, box, sc->availableGeometry(), menuBottom);
    s.Tool.Left = at.x();
    s.Tool.Top = at.y();
    const bool beside = at.x() >= outer.right() + 1 || at.x() + box.width() <= outer.left();
    return beside ? std::nullopt : std::optional<int>(menuBottom);
}

namespace
{
// Waits for one window's expose event, then hands over once and goes.
class ExposeWaiter : public QObject
{
public:
    ExposeWaiter(QWindow *window, QObject *context, std::function<void()> then, bool beforePaint)
        : QObject(window), context_(context), then_(std::move(then)), beforePaint_(beforePaint)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = static_cast<QWindow *>(watched);
        if (event->type() == QEvent::Expose && window->isExposed()) {
            window->removeEventFilter(this);
            if (context_ && beforePaint_)
                then_();
            else if (context_)
                QTimer::singleShot(0, context_.data(), then_);
            deleteLater();
        }
        return false;
    }

private:
    QPointer<QObject> context_;
    std::function<void()> then_;
    bool beforePaint_;
};
} // namespace

void WhenExposed(QWindow *window, QObject *context, std::function<void()> then)
{
    new ExposeWaiter(window, context, std::move(then), false);
}

void AsSoonAsExposed(QWindow *window, QObject *context, std::function<void()> then)
{
    new ExposeWaiter(window, context, std::move(then), true);
}
