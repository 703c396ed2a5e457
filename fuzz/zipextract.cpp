// Whole archives: extraction of any bytes as a zip file never puts anything
// outside its folder, never a link, and stays within its limits.
#include "platform/ZipExtract.h"

#include "FuzzSupport.h"
#include "platform/FileTree.h"

#include <QDir>
#include <QFile>
#include <sys/stat.h>

namespace
{
QString root()
{
    static const QString r = [] {
        QByteArray t("/dev/shm/gd-fuzz-zip-XXXXXX");
        if (!mkdtemp(t.data())) {
            t = "/tmp/gd-fuzz-zip-XXXXXX";
            mkdtemp(t.data());
        }
        return QString::fromLocal8Bit(t);
    }();
    return r;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    MemoryFile archive(data, size);
    if (!archive.ok())
        return 0;
    const QString out = root() + QStringLiteral("/out");
    QDir().mkpath(out);
    ZipExtractOptions opt;
    opt.reserveBytes = 0;
    opt.maxEntryBytes = 1 << 20;
    opt.maxTotalBytes = 4 << 20;
    const ZipExtractResult r = ExtractZip(archive.path(), out, opt);

    GD_FUZZ_CHECK(QDir(root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden) ==
                  QStringList{QStringLiteral("out")});
    QStringList all;
    ListTree(out, all);
    qint64 total = 0;
    int files = 0;
    for (const QString &p : all) {
        struct stat st;
        GD_FUZZ_CHECK(lstat(QFile::encodeName(p).constData(), &st) == 0);
        GD_FUZZ_CHECK(S_ISREG(st.st_mode) || S_ISDIR(st.st_mode));
        GD_FUZZ_CHECK(!QFileInfo(p).fileName().startsWith(QLatin1String(".gd-part-")));
        if (S_ISREG(st.st_mode)) {
            GD_FUZZ_CHECK(st.st_size <= opt.maxEntryBytes);
            total += st.st_size;
            ++files;
        }
    }
    GD_FUZZ_CHECK(total <= opt.maxTotalBytes);
    GD_FUZZ_CHECK(files == r.written);
    QDir(out).removeRecursively();
    return 0;
}
