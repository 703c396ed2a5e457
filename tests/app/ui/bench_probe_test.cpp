// The timing probe of the benchmarks: reports whole pictures once they are
// painted, leaves event delivery as it was, and is absent unless asked for.
#include "app/ui/BenchProbe.h"
#include "app/ui/PictureView.h"

#include <QApplication>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace
{

PictureData picture(const QString &path, QColor colour)
{
    PictureData p;
    p.image = QImage(60, 40, QImage::Format_RGB32);
    p.image.fill(colour);
    p.naturalSize = p.image.size();
    p.path = path;
    return p;
}

// Counts the paint-related events a window's own filters get to see.
class UpdateCounter : public QObject
{
public:
    int updates = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::UpdateRequest)
            ++updates;
        return false;
    }
};

TEST(BenchProbe, ReportsEachWholePictureAfterItsPaint)
{
    QWidget window;
    window.resize(200, 120);
    auto *view = new PictureView(&window);
    view->setGeometry(10, 10, 120, 80);
    UpdateCounter counter;
    window.installEventFilter(&counter);

    BenchProbe probe;
    QSignalSpy pictures(&probe, &BenchProbe::picturePainted);
    QSignalSpy windows(&probe, &BenchProbe::windowPainted);
    const qint64 before = BenchProbe::monotonicNs();
    view->setPicture(picture(QStringLiteral("/pics/a.jpg"), Qt::red));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTRY_COMPARE(pictures.count(), 1);
    EXPECT_EQ(pictures.at(0).at(0).toString(), QStringLiteral("/pics/a.jpg"));
    const qint64 at = pictures.at(0).at(1).toLongLong();
    EXPECT_GE(at, before);
    EXPECT_LE(at, BenchProbe::monotonicNs());
    EXPECT_EQ(windows.count(), 1);

    // The next picture is reported as such; a repaint of a corner is not a picture shown.
    view->setPicture(picture(QStringLiteral("/pics/b.jpg"), Qt::blue));
    QTRY_COMPARE(pictures.count(), 2);
    EXPECT_EQ(pictures.at(1).at(0).toString(), QStringLiteral("/pics/b.jpg"));
    view->update(QRect(0, 0, 5, 5));
    const int updates = counter.updates;
    QTRY_VERIFY(counter.updates > updates); // the window's own filters still see its updates
    QTest::qWait(50);
    EXPECT_EQ(pictures.count(), 2);
    // An empty view paints nothing to report.
    view->clear();
    QTest::qWait(50);
    EXPECT_EQ(pictures.count(), 2);
    EXPECT_EQ(windows.count(), 1);
}

TEST(BenchProbe, InstalledOnlyWhenTheVariableIsSet)
{
    const QByteArray saved = qgetenv("GLIMMERDECK_BENCH");
    qunsetenv("GLIMMERDECK_BENCH");
    BenchProbe::installFromEnvironment();
    EXPECT_EQ(qApp->findChildren<BenchProbe *>().size(), 0);

    qputenv("GLIMMERDECK_BENCH", "log");
    BenchProbe::installFromEnvironment();
    const QList<BenchProbe *> installed = qApp->findChildren<BenchProbe *>();
    EXPECT_EQ(installed.size(), 1);
    qDeleteAll(installed);
    if (saved.isNull())
        qunsetenv("GLIMMERDECK_BENCH");
    else
        qputenv("GLIMMERDECK_BENCH", saved);
}

} // namespace
