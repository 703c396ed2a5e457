// Builds the picture list from a folder of 100,000 empty files and puts it
// into each order; prints wall times and the list's heap use.
#include "BenchSupport.h"
#include "app/ListOps.h"
#include "common/ViewerState.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? std::atoi(argv[1]) : 100000;
    QTemporaryDir dir(QDir::tempPath() + "/bench_list_XXXXXX");
    const QByteArray base = QFile::encodeName(dir.path());
    for (int i = 1; i <= n; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "/IMG_%06d.jpg", i);
        const int fd = ::open((base + name).constData(), O_CREAT | O_WRONLY, 0644);
        ::close(fd);
    }
    std::printf("folder of %d empty files: %s\n", n, qPrintable(dir.path()));

    ViewerState st;
    st.PictureFilter = QStringLiteral("*.bmp;*.gif;*.jpg;*.jpeg;*.png;*.tif;*.tiff;*.webp");
    QuietPrompter prompter;
    ListOps ops(st, prompter);

    const size_t heapBefore = mallinfo2().uordblks;
    QElapsedTimer t;
    t.start();
    st.SortOrder = PlayOrder::Name;
    (void)ops.ScanFolder(dir.path() + "/*.*"); // ends with SortList(2)
    (void)ops.SortList(PlayOrder::Name);
    std::printf("ScanFolder + SortList(2): %.3f s (%d pictures)\n", t.nsecsElapsed() / 1e9, st.list.count());
    const size_t heapAfter = mallinfo2().uordblks;
    std::printf("list memory: %.1f MB\n", double(heapAfter - heapBefore) / (1024.0 * 1024.0));

    // A list that is not already in name order.
    (void)ops.SortList(PlayOrder::Random);
    t.restart();
    (void)ops.SortList(PlayOrder::Name);
    std::printf("SortList(2) from random order: %.3f s\n", t.nsecsElapsed() / 1e9);

    t.restart();
    (void)ops.SortList(PlayOrder::Date);
    std::printf("SortList(4) by date: %.3f s\n", t.nsecsElapsed() / 1e9);

    t.restart();
    (void)ops.SortList(PlayOrder::Random);
    std::printf("SortList(1) random: %.3f s\n", t.nsecsElapsed() / 1e9);

    t.restart();
    (void)ops.SortList(PlayOrder::NameReversed);
    std::printf("SortList(3) reversed: %.3f s\n", t.nsecsElapsed() / 1e9);
    return 0;
}
