#include "platform/ZipExtract.h"

#include "common/PathUtil.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <iconv.h>
#include <memory>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <zip.h>

namespace
{

QString reasonFor(int code)
{
    switch (code) {
    case ZIP_ER_NOZIP:
        return QStringLiteral("zip 書庫ではないか、壊れています。");
    case ZIP_ER_INCONS:
    case ZIP_ER_COMPRESSED_DATA:
    case ZIP_ER_ZLIB:
        return QStringLiteral("書庫が壊れています。");
    case ZIP_ER_CRC:
        return QStringLiteral("データが壊れています (CRC 不一致)。");
    case ZIP_ER_EOF:
        return QStringLiteral("書庫が途中で切れています。");
    case ZIP_ER_ENCRNOTSUPP:
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD:
        return QStringLiteral("暗号化されているため展開できません。");
    case ZIP_ER_COMPNOTSUPP:
        return QStringLiteral("対応していない圧縮方式です。");
    case ZIP_ER_MULTIDISK:
        return QStringLiteral("分割された書庫には対応していません。");
    case ZIP_ER_OPEN:
    case ZIP_ER_NOENT:
    case ZIP_ER_READ:
    case ZIP_ER_SEEK:
        return QStringLiteral("書庫を読み込めません。");
    case ZIP_ER_MEMORY:
        return QStringLiteral("メモリが足りません。");
    default:
        return QStringLiteral("展開できません (zip エラー %1)。").arg(code);
    }
}

// Strict conversion through iconv; false when the bytes are not valid.
bool convert(const char *from, const QByteArray &in, QString &out)
{
    iconv_t cd = iconv_open("UTF-8", from);
    if (cd == iconv_t(-1))
        return false;
    QByteArray buf(in.size() * 4 + 4, Qt::Uninitialized);
    char *src = const_cast<char *>(in.constData());
    size_t srcLeft = size_t(in.size());
    char *dst = buf.data();
    size_t dstLeft = size_t(buf.size());
    const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (r == size_t(-1) || srcLeft != 0)
        return false;
    out = QString::fromUtf8(buf.constData(), buf.size() - qsizetype(dstLeft));
    return true;
}

// Splits a decoded entry name into safe components; false when the name
// would leave the folder. Backslashes count as separators: archives made
// on Windows use them.
bool safeParts(const QString &name, QStringList &parts, bool &isDir)
{
    QString n = name;
    n.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (n.startsWith(QLatin1Char('/')))
        return false;
    isDir = n.endsWith(QLatin1Char('/'));
    parts.clear();
    for (const QString &p : n.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (p == QLatin1String("."))
            continue;
        if (p == QLatin1String(".."))
            return false;
        if (parts.isEmpty() && p.size() == 2 && p[1] == QLatin1Char(':'))
            return false; // drive letter
        parts.append(p);
    }
    return !parts.isEmpty();
}

bool makeFolders(const QString &root, const QStringList &parts, qsizetype count)
{
    QString path = root;
    for (qsizetype i = 0; i < count; ++i) {
        path += QLatin1Char('/') + parts[i];
        const QByteArray p = QFile::encodeName(path);
        if (mkdir(p.constData(), 0755) != 0 && errno != EEXIST)
            return false;
        struct stat st;
        // Never descend through anything but a real folder.
        if (lstat(p.constData(), &st) != 0 || !S_ISDIR(st.st_mode))
            return false;
    }
    return true;
}

int64_t freeBytes(const QString &folder)
{
    struct statvfs vfs;
    if (statvfs(QFile::encodeName(folder).constData(), &vfs) != 0)
        return -1;
    return int64_t(vfs.f_bavail) * int64_t(vfs.f_frsize);
}

// Moves the finished temporary file to `target` without replacing anything;
// a taken name (duplicate entries) gets a number tag before its extension.
bool publish(const QByteArray &tmp, const QString &target)
{
    const QString ext = FileExt(target);
    const QString stem = target.left(target.size() - ext.size());
    for (int i = 0; i < 10000; ++i) {
        const QString name = i == 0 ? target : stem + NumberTag(i) + ext;
        const QByteArray dst = QFile::encodeName(name);
        if (renameat2(AT_FDCWD, tmp.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE) == 0)
            return true;
        if (errno == EINVAL || errno == ENOSYS) {
            // File system without no-replace rename: link refuses to replace too.
            if (link(tmp.constData(), dst.constData()) == 0) {
                unlink(tmp.constData());
                return true;
            }
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

struct ArchiveCloser {
    void operator()(zip_t *z) const { zip_discard(z); }
};

} // namespace

QString DecodeLegacyZipName(const QByteArray &raw)
{
    QString out;
    if (convert("CP932", raw, out))
        return out;
    if (convert("CP437", raw, out))
        return out;
    return QString::fromLatin1(raw);
}

ZipExtractResult ExtractZip(const QString &archive, const QString &folder, const ZipExtractOptions &opt)
{
    ZipExtractResult res;
    int err = 0;
    std::unique_ptr<zip_t, ArchiveCloser> za(
        zip_open(QFile::encodeName(archive).constData(), ZIP_RDONLY, &err));
    if (!za) {
        res.problems << reasonFor(err);
        return res;
    }
    const zip_int64_t n = zip_get_num_entries(za.get(), 0);
    constexpr qsizetype kBuf = 1 << 20;
    std::unique_ptr<char[]> buf(new char[kBuf]);

    for (zip_int64_t i = 0; i < n; ++i) {
        const char *rawC = zip_get_name(za.get(), zip_uint64_t(i), ZIP_FL_ENC_RAW);
        const char *strictC = zip_get_name(za.get(), zip_uint64_t(i), ZIP_FL_ENC_STRICT);
        if (!rawC || !strictC) {
            res.problems << QStringLiteral("#%1: ").arg(i + 1) +
                                reasonFor(zip_error_code_zip(zip_get_error(za.get())));
            continue;
        }
        const QByteArray raw(rawC), strict(strictC);
        // Strict decoding leaves only UTF-8 names (flag or checked Unicode
        // path field) untouched; anything else was converted from CP437.
        const QString name = raw == strict ? QString::fromUtf8(raw) : DecodeLegacyZipName(raw);

        zip_uint8_t opsys = 0;
        zip_uint32_t attr = 0;
        if (zip_file_get_external_attributes(za.get(), zip_uint64_t(i), 0, &opsys, &attr) == 0 &&
            opsys == ZIP_OPSYS_UNIX && ((attr >> 16) & S_IFMT) == S_IFLNK) {
            res.unsafe << name;
            continue;
        }
        QStringList parts;
        bool isDir = false;
        if (!safeParts(name, parts, isDir)) {
            if (!name.isEmpty() && name != QLatin1String("/"))
                res.unsafe << name;
            continue;
        }
        if (isDir) {
            if (!makeFolders(folder, parts, parts.size()))
                res.problems << name + QStringLiteral(": フォルダを作成できません。");
            continue;
        }
        if (!makeFolders(folder, parts, parts.size() - 1)) {
            res.problems << name + QStringLiteral(": フォルダを作成できません。");
            continue;
        }

        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(za.get(), zip_uint64_t(i), 0, &st) != 0) {
            res.problems << name + QStringLiteral(": ") +
                                reasonFor(zip_error_code_zip(zip_get_error(za.get())));
            continue;
        }
        if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE) {
            res.problems << name + QStringLiteral(": ") + reasonFor(ZIP_ER_NOPASSWD);
            continue;
        }
        const int64_t declared = (st.valid & ZIP_STAT_SIZE) ? int64_t(st.size) : 0;
        const int64_t avail = freeBytes(folder);
        if (avail >= 0 && declared + opt.reserveBytes > avail) {
            res.problems << name + QStringLiteral(": ディスクの空き容量が足りないため、展開を中止しました。");
            return res;
        }

        zip_file_t *zf = zip_fopen_index(za.get(), zip_uint64_t(i), 0);
        if (!zf) {
            res.problems << name + QStringLiteral(": ") +
                                reasonFor(zip_error_code_zip(zip_get_error(za.get())));
            continue;
        }
        QString dir = folder;
        for (qsizetype k = 0; k + 1 < parts.size(); ++k)
            dir += QLatin1Char('/') + parts[k];
        QByteArray tmp = QFile::encodeName(dir + QStringLiteral("/.gd-part-XXXXXX"));
        const int fd = mkostemp(tmp.data(), O_CLOEXEC);
        if (fd < 0) {
            zip_fclose(zf);
            res.problems << name + QStringLiteral(": ファイルを作成できません。");
            continue;
        }
        QString failure;
        bool stop = false;
        int64_t total = 0;
        for (;;) {
            const zip_int64_t got = zip_fread(zf, buf.get(), zip_uint64_t(kBuf));
            if (got < 0) {
                failure = reasonFor(zip_error_code_zip(zip_file_get_error(zf)));
                break;
            }
            if (got == 0)
                break;
            total += got;
            if (declared > 0 && total > declared) {
                failure = reasonFor(ZIP_ER_INCONS);
                break;
            }
            for (zip_int64_t off = 0; off < got;) {
                const ssize_t w = write(fd, buf.get() + off, size_t(got - off));
                if (w < 0 && errno == EINTR)
                    continue;
                if (w <= 0) {
                    stop = errno == ENOSPC || errno == EDQUOT;
                    failure = stop ? QStringLiteral("ディスクの空き容量が足りないため、展開を中止しました。")
                                   : QStringLiteral("ファイルに書き込めません。");
                    break;
                }
                off += w;
            }
            if (!failure.isEmpty())
                break;
        }
        if (zip_fclose(zf) != 0 && failure.isEmpty())
            failure = reasonFor(ZIP_ER_CRC);
        if (failure.isEmpty() && (st.valid & ZIP_STAT_MTIME)) {
            const timespec times[2] = {{st.mtime, 0}, {st.mtime, 0}};
            futimens(fd, times);
        }
        if (close(fd) != 0 && failure.isEmpty())
            failure = QStringLiteral("ファイルに書き込めません。");
        if (failure.isEmpty() && !publish(tmp, folder + QLatin1Char('/') + parts.join(QLatin1Char('/'))))
            failure = QStringLiteral("ファイルを作成できません。");
        if (!failure.isEmpty()) {
            unlink(tmp.constData());
            res.problems << name + QStringLiteral(": ") + failure;
            if (stop)
                return res;
            continue;
        }
        ++res.written;
    }
    return res;
}
