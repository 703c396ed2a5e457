// Extracts one zip archive the way the viewer does and prints the wall time.
// Usage: bench_list_zip <archive> <temp folder> [--list]
// With --list the extracted pictures are also added to a picture list.
#include "BenchSupport.h"
#include "app/ListOps.h"
#include "common/ViewerState.h"
#include "platform/ZipExtract.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <archive> <temp folder> [--list]\n", argv[0]);
        return 2;
    }
    const QString archive = QString::fromLocal8Bit(argv[1]);
    const QString temp = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(temp);
    QElapsedTimer t;
    t.start();
    if (argc > 3 && std::strcmp(argv[3], "--list") == 0) {
        ViewerState st;
        st.PictureFilter = QStringLiteral("*.gif;*.jpg;*.jpeg;*.png");
        st.TempFolder = temp;
        QuietPrompter prompter;
        ListOps ops(st, prompter);
        ops.ExtractArchive(archive);
        std::printf("ExtractArchive: %.3f s, %d pictures\n", t.nsecsElapsed() / 1e9, st.list.count());
    } else {
        const ZipExtractResult r = ExtractZip(archive, temp);
        std::printf("ExtractZip: %.3f s, %d files, %d problems\n", t.nsecsElapsed() / 1e9, r.written,
                    int(r.problems.size()));
    }
    return 0;
}
