#include "platform/ZipExtract.h"

#include "common/PathUtil.h"
#include "platform/ZipLibrary.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <iconv.h>
#include <memory>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

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
    case ZIP_ER_OPNOTSUPP:
    case ZIP_ER_RDONLY:
        return QStringLiteral("この書庫では使えない操作です。");
    case ZIP_ER_TELL:
        return QStringLiteral("書庫を読み込めません。");
    case ZIP_ER_WRITE:
    case ZIP_ER_TMPOPEN:
    case ZIP_ER_RENAME:
    case ZIP_ER_REMOVE:
    case ZIP_ER_CLOSE:
        return QStringLiteral("展開先に書き込めません。");
    case ZIP_ER_CHANGED:
    case ZIP_ER_DELETED:
    case ZIP_ER_INUSE:
        return QStringLiteral("書庫が使用中か、変更されています。");
    case ZIP_ER_CANCELLED:
        return QStringLiteral("中止されました。");
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
    void operator()(zip_t *z) const { Zip()->discard(z); }
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

QString ZipEntryName(const QByteArray &raw, const QByteArray &strict)
{
    // Strict decoding leaves only UTF-8 names (flag or checked Unicode
    // path field) untouched; anything else was converted from CP437.
    return raw == strict ? QString::fromUtf8(raw) : DecodeLegacyZipName(raw);
}

bool SafeZipEntryParts(const QString &name, QStringList &parts, bool &isDir)
{
    QString n = name;
    n.replace(QLatin1Char('\\'), QLatin1Char('/'));
    parts.clear();
    isDir = n.endsWith(QLatin1Char('/'));
    if (n.startsWith(QLatin1Char('/')))
        return false;
    for (const QString &p : n.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (p == QLatin1String("."))
            continue;
        if (p == QLatin1String(".."))
            return false;
        if (parts.isEmpty() && p.size() == 2 && p[1] == QLatin1Char(':'))
            return false; // drive letter
        if (p.contains(QChar(0)))
            return false;
        parts.append(p);
    }
    return !parts.isEmpty();
}

namespace
{

const QString kDiskFull = QStringLiteral("ディスクの空き容量が足りないため、展開を中止しました。");
const QString kEntryTooLarge = QStringLiteral("ファイルが大きすぎるため、展開しませんでした。");
const QString kArchiveTooLarge =
    QStringLiteral("展開後のサイズが大きすぎるため、展開を中止しました (圧縮爆弾の疑いがあります)。");
const QString kCancelled = QStringLiteral("展開を中止しました。");

// One archive's extraction: the limits, and what has been written so far.
class Extraction
{
public:
    Extraction(zip_t *za, const QString &folder, const ZipExtractOptions &opt, int64_t archiveBytes,
               ZipExtractResult &res)
        : za_(za), folder_(folder), opt_(opt), res_(res), buf_(new char[kBuf])
    {
        // Ratio allowance: the archive's own size times maxRatio, at least the grace.
        const int64_t byRatio = archiveBytes > 0 && archiveBytes < INT64_MAX / qMax<int64_t>(1, opt.maxRatio)
                                    ? archiveBytes * qMax<int64_t>(1, opt.maxRatio)
                                    : INT64_MAX;
        allowance_ = qMin(opt.maxTotalBytes, qMax(byRatio, opt.ratioGraceBytes));
        const zip_int64_t n = Zip()->get_num_entries(za, 0);
        for (zip_int64_t i = 0; i < n; ++i) {
            zip_stat_t st;
            Zip()->stat_init(&st);
            if (Zip()->stat_index(za, zip_uint64_t(i), 0, &st) == 0 && (st.valid & ZIP_STAT_SIZE) &&
                declaredTotal_ < INT64_MAX - int64_t(qMin<zip_uint64_t>(st.size, INT64_MAX / 2)))
                declaredTotal_ += int64_t(qMin<zip_uint64_t>(st.size, INT64_MAX / 2));
        }
    }

    // False when the whole extraction must stop.
    bool entry(zip_int64_t i);

private:
    static constexpr qsizetype kBuf = 1 << 20;
    enum class Stop { No, Entry, Archive };

    Stop writeEntry(zip_file_t *zf, int fd, int64_t declared, bool declaredValid, QString &failure);
    QString zipReason() const { return reasonFor(Zip()->error_code_zip(Zip()->get_error(za_))); }

    zip_t *za_;
    const QString &folder_;
    const ZipExtractOptions &opt_;
    ZipExtractResult &res_;
    std::unique_ptr<char[]> buf_;
    int64_t allowance_ = 0;     // bytes the archive may still put on disk, in total
    int64_t written_ = 0;       // bytes written by this archive so far
    int64_t declaredTotal_ = 0; // what the archive claims to hold
};

Extraction::Stop Extraction::writeEntry(zip_file_t *zf, int fd, int64_t declared, bool declaredValid,
                                        QString &failure)
{
    int64_t total = 0;
    for (;;) {
        const zip_int64_t got = Zip()->fread(zf, buf_.get(), zip_uint64_t(kBuf));
        if (got < 0) {
            failure = reasonFor(Zip()->error_code_zip(Zip()->file_get_error(zf)));
            return Stop::No;
        }
        if (got == 0)
            return Stop::No;
        total += got;
        // The declared size bounds the entry, a declared 0 included: a
        // lying entry must not write past what was checked for it.
        if (declaredValid && total > declared) {
            failure = reasonFor(ZIP_ER_INCONS);
            return Stop::No;
        }
        if (total > opt_.maxEntryBytes) {
            failure = kEntryTooLarge;
            return Stop::No;
        }
        if (written_ + got > allowance_) {
            failure = kArchiveTooLarge;
            return Stop::Archive;
        }
        const int64_t avail = freeBytes(folder_);
        if (avail >= 0 && got + opt_.reserveBytes > avail) {
            failure = kDiskFull;
            return Stop::Archive;
        }
        for (zip_int64_t off = 0; off < got;) {
            const ssize_t w = write(fd, buf_.get() + off, size_t(got - off));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0) {
                const bool full = errno == ENOSPC || errno == EDQUOT;
                failure = full ? kDiskFull : QStringLiteral("ファイルに書き込めません。");
                return full ? Stop::Archive : Stop::No;
            }
            off += w;
        }
        written_ += got;
        if (opt_.progress && !opt_.progress(written_, declaredTotal_)) {
            res_.cancelled = true;
            failure = kCancelled;
            return Stop::Archive;
        }
    }
}

bool Extraction::entry(zip_int64_t i)
{
    const char *rawC = Zip()->get_name(za_, zip_uint64_t(i), ZIP_FL_ENC_RAW);
    const char *strictC = Zip()->get_name(za_, zip_uint64_t(i), ZIP_FL_ENC_STRICT);
    if (!rawC || !strictC) {
        res_.problems << QStringLiteral("#%1: ").arg(i + 1) + zipReason();
        return true;
    }
    const QString name = ZipEntryName(QByteArray(rawC), QByteArray(strictC));

    zip_uint8_t opsys = 0;
    zip_uint32_t attr = 0;
    if (Zip()->file_get_external_attributes(za_, zip_uint64_t(i), 0, &opsys, &attr) == 0 &&
        opsys == ZIP_OPSYS_UNIX && ((attr >> 16) & S_IFMT) == S_IFLNK) {
        res_.unsafe << name;
        return true;
    }
    QStringList parts;
    bool isDir = false;
    if (!SafeZipEntryParts(name, parts, isDir)) {
        if (!name.isEmpty() && name != QLatin1String("/"))
            res_.unsafe << name;
        return true;
    }
    if (!makeFolders(folder_, parts, isDir ? parts.size() : parts.size() - 1)) {
        res_.problems << name + QStringLiteral(": フォルダを作成できません。");
        return true;
    }
    if (isDir)
        return true;

    zip_stat_t st;
    Zip()->stat_init(&st);
    if (Zip()->stat_index(za_, zip_uint64_t(i), 0, &st) != 0) {
        res_.problems << name + QStringLiteral(": ") + zipReason();
        return true;
    }
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE) {
        res_.problems << name + QStringLiteral(": ") + reasonFor(ZIP_ER_NOPASSWD);
        return true;
    }
    const bool declaredValid = st.valid & ZIP_STAT_SIZE;
    const int64_t declared = declaredValid ? int64_t(qMin<zip_uint64_t>(st.size, INT64_MAX)) : 0;
    // Claims past a limit are refused before anything is written.
    if (declared > opt_.maxEntryBytes) {
        res_.problems << name + QStringLiteral(": ") + kEntryTooLarge;
        return true;
    }
    if (declared > allowance_ - written_) {
        res_.problems << name + QStringLiteral(": ") + kArchiveTooLarge;
        return false;
    }
    const int64_t avail = freeBytes(folder_);
    if (avail >= 0 && declared + opt_.reserveBytes > avail) {
        res_.problems << name + QStringLiteral(": ") + kDiskFull;
        return false;
    }

    zip_file_t *zf = Zip()->fopen_index(za_, zip_uint64_t(i), 0);
    if (!zf) {
        res_.problems << name + QStringLiteral(": ") + zipReason();
        return true;
    }
    QString dir = folder_;
    for (qsizetype k = 0; k + 1 < parts.size(); ++k)
        dir += QLatin1Char('/') + parts[k];
    QByteArray tmp = QFile::encodeName(dir + QStringLiteral("/.gd-part-XXXXXX"));
    const int fd = mkostemp(tmp.data(), O_CLOEXEC);
    if (fd < 0) {
        Zip()->fclose(zf);
        res_.problems << name + QStringLiteral(": ファイルを作成できません。");
        return true;
    }
    QString failure;
    const Stop stop = writeEntry(zf, fd, declared, declaredValid, failure);
    if (Zip()->fclose(zf) != 0 && failure.isEmpty())
        failure = reasonFor(ZIP_ER_CRC);
    if (failure.isEmpty() && (st.valid & ZIP_STAT_MTIME)) {
        const timespec times[2] = {{st.mtime, 0}, {st.mtime, 0}};
        futimens(fd, times);
    }
    if (close(fd) != 0 && failure.isEmpty())
        failure = QStringLiteral("ファイルに書き込めません。");
    if (failure.isEmpty() && !publish(tmp, folder_ + QLatin1Char('/') + parts.join(QLatin1Char('/'))))
        failure = QStringLiteral("ファイルを作成できません。");
    if (!failure.isEmpty()) {
        unlink(tmp.constData());
        res_.problems << name + QStringLiteral(": ") + failure;
        return stop != Stop::Archive;
    }
    ++res_.written;
    return true;
}

} // namespace

ZipExtractResult ExtractZip(const QString &archive, const QString &folder, const ZipExtractOptions &opt)
{
    ZipExtractResult res;
    const QByteArray path = QFile::encodeName(archive);
    if (!Zip()) {
        res.problems << QStringLiteral("zip ファイルを読むためのライブラリ (libzip) を読み込めません。");
        return res;
    }
    int err = 0;
    std::unique_ptr<zip_t, ArchiveCloser> za(Zip()->open(path.constData(), ZIP_RDONLY, &err));
    if (!za) {
        res.problems << reasonFor(err);
        return res;
    }
    struct stat ast;
    const int64_t archiveBytes = stat(path.constData(), &ast) == 0 ? int64_t(ast.st_size) : 0;
    Extraction x(za.get(), folder, opt, archiveBytes, res);
    const zip_int64_t n = Zip()->get_num_entries(za.get(), 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        if (!x.entry(i))
            break;
    }
    return res;
}
