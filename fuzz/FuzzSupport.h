#pragma once
// Small helpers shared by the fuzz targets.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

// A check on a property the code promises; a failure is a finding.
#define GD_FUZZ_CHECK(cond)                                                                                  \
    do {                                                                                                     \
        if (!(cond)) {                                                                                       \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond);                 \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

// The input as a file, without touching the disk: a memory file reached
// through /proc. Readers that take a path read it like any other file.
class MemoryFile
{
public:
    MemoryFile(const uint8_t *data, size_t size)
    {
        fd_ = memfd_create("gd-fuzz", MFD_CLOEXEC);
        if (fd_ >= 0 && size > 0 && write(fd_, data, size) != ssize_t(size)) {
            close(fd_);
            fd_ = -1;
        }
    }
    ~MemoryFile()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    MemoryFile(const MemoryFile &) = delete;
    MemoryFile &operator=(const MemoryFile &) = delete;
    bool ok() const { return fd_ >= 0; }
    QString path() const { return QStringLiteral("/proc/self/fd/%1").arg(fd_); }

private:
    int fd_ = -1;
};

inline QByteArray bytesOf(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}
