// A window's first frame: work asked for at its expose runs before it
// paints, and a store readied on another thread is painted into only once
// ready, or let go when the window closes first.
#include "app/ui/FirstFrame.h"

#include "app/ui/WindowFrame.h"

#include <QPainter>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>
#include <memory>

namespace
{

class PaintLog : public QWidget
{
public:
    explicit PaintLog(QStringList &log) : log_(log) { resize(320, 240); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        log_ << QStringLiteral("paint");
        QPainter(this).fillRect(rect(), Qt::darkCyan);
    }

private:
    QStringList &log_;
};

} // namespace

TEST(FirstFrame, WorkAskedForAtTheExposeRunsBeforeThePaintOrAfterIt)
{
    QStringList log;
    PaintLog window(log);
    window.winId();
    AsSoonAsExposed(window.windowHandle(), &window, [&] { log << QStringLiteral("before"); });
    WhenExposed(window.windowHandle(), &window, [&] { log << QStringLiteral("after"); });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(log.contains(QStringLiteral("after")));
    const QStringList expected = {QStringLiteral("before"), QStringLiteral("paint"), QStringLiteral("after")};
    EXPECT_EQ(log.mid(0, 3), expected);
}

TEST(FirstFrame, AReadiedStoreIsPaintedIntoAndLetGoWhenTheWindowClosesFirst)
{
    QStringList log;
    {
        PaintLog window(log);
        window.show();
        WarmBackingStore(&window);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QTRY_VERIFY(log.contains(QStringLiteral("paint")));
        EXPECT_EQ(QColor(window.grab().toImage().pixel(10, 10)), QColor(Qt::darkCyan));
    }
    // Closed, or simply gone, before its first paint: the store goes at
    // once and the thread no longer writes to it.
    for (bool close : {true, false}) {
        auto window = std::make_unique<PaintLog>(log);
        window->resize(1600, 1200);
        window->show();
        WarmBackingStore(window.get());
        if (close)
            window->close();
        window.reset();
    }
    WarmBackingStore(nullptr); // nothing to warm
}
