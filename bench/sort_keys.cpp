// Sorting by hand at speed: 100 pictures sent to two folders by digit keys
// typed five a second to the real main window (move mode). Prints how many
// keys acted and the time from each key press to the paint of the next
// picture (median, 90th percentile, worst). Then 50 of those moves are
// undone with Ctrl+Z at the same pace: the time from each key to the paint
// of the picture it brought back.
//
// Usage: QT_QPA_PLATFORM=offscreen bench_sort_keys [COUNT] [WIDTHxHEIGHT]
#include "app/ui/BenchProbe.h"
#include "app/ui/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    QTemporaryDir home, folder, keep, drop;
    qputenv("GLIMMERDECK_HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100;
    QSize size(1600, 1200);
    if (argc > 2) {
        const QStringList wh = QString::fromLocal8Bit(argv[2]).split(u'x');
        if (wh.size() == 2)
            size = QSize(wh[0].toInt(), wh[1].toInt());
    }
    // One picture more than keys: the list never runs empty (its message box
    // would take the undo keys).
    for (int i = 0; i <= count; ++i) {
        QImage img(size, QImage::Format_RGB32);
        img.fill(QColor::fromHsv((i * 37) % 360, 160, 200));
        img.save(folder.filePath(QStringLiteral("sort%1.jpg").arg(i, 3, 10, QLatin1Char('0'))), "JPEG", 85);
    }

    BenchProbe probe;
    MainWindow w({folder.path()});
    w.resize(1024, 768);
    w.show();
    w.viewer().state().settings.TransferSlots[0].Folder = keep.path();
    w.viewer().state().settings.TransferSlots[1].Folder = drop.path();
    w.action(ActionId::MoveMode1)->trigger();

    const int undos = std::min(50, count);
    std::vector<qint64> sentAt;
    std::vector<qint64> latency;
    size_t waiting = 0; // the next key whose picture is awaited
    QObject::connect(&probe, &BenchProbe::picturePainted, [&](const QString &, qint64 ns) {
        while (waiting < sentAt.size() && sentAt[waiting] <= ns) {
            latency.push_back(ns - sentAt[waiting]);
            ++waiting;
        }
    });
    size_t restoredFrom = 0; // where the undo keys' latencies begin
    QTimer typist;
    typist.setInterval(200);
    QObject::connect(&typist, &QTimer::timeout, [&] {
        if (int(sentAt.size()) == count + undos) {
            typist.stop();
            QTimer::singleShot(1500, &app, &QApplication::quit);
            return;
        }
        QWidget *to = QApplication::focusWidget() ? QApplication::focusWidget() : &w;
        const bool undo = int(sentAt.size()) >= count;
        const Qt::Key k = undo ? Qt::Key_Z : sentAt.size() % 2 ? Qt::Key_1 : Qt::Key_0;
        const Qt::KeyboardModifiers mods = undo ? Qt::ControlModifier : Qt::NoModifier;
        const QString text = undo ? QString() : k == Qt::Key_1 ? QStringLiteral("1") : QStringLiteral("0");
        if (undo && int(sentAt.size()) == count)
            restoredFrom = latency.size();
        sentAt.push_back(BenchProbe::monotonicNs());
        QApplication::postEvent(to, new QKeyEvent(QEvent::KeyPress, k, mods, text));
        QApplication::postEvent(to, new QKeyEvent(QEvent::KeyRelease, k, mods, text));
    });
    QTimer::singleShot(500, &typist, qOverload<>(&QTimer::start));
    app.exec();

    const qsizetype left =
        QDir(keep.path()).entryList(QDir::Files).size() + QDir(drop.path()).entryList(QDir::Files).size();
    std::vector<qint64> undoLatency(latency.begin() + qsizetype(std::min(restoredFrom, latency.size())),
                                    latency.end());
    latency.resize(std::min(restoredFrom, latency.size()));
    auto ms = [](std::vector<qint64> &v, double q) {
        std::sort(v.begin(), v.end());
        return v.empty() ? -1.0 : double(v[size_t(q * double(v.size() - 1))]) / 1e6;
    };
    std::printf("sort_keys: %d pictures %dx%d, digit keys %d, Ctrl+Z %d, left sorted after the undos %lld, "
                "in the list %d\n",
                count, size.width(), size.height(), count, undos, static_cast<long long>(left),
                w.state().list.count());
    std::printf("key -> next picture painted (%zu of %d keys): median %.1f ms, p90 %.1f ms, max %.1f ms\n",
                latency.size(), count, ms(latency, 0.5), ms(latency, 0.9), ms(latency, 1.0));
    std::printf("Ctrl+Z -> restored picture painted (%zu of %d keys): median %.1f ms, p90 %.1f ms, max %.1f ms\n",
                undoLatency.size(), undos, ms(undoLatency, 0.5), ms(undoLatency, 0.9), ms(undoLatency, 1.0));
    return 0;
}
