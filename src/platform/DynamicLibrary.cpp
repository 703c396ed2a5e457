#include "platform/DynamicLibrary.h"

#include "platform/SafeOpen.h"

#include <QFile>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

namespace DynamicLibrary
{

void *open(const QString &path)
{
    // A name without a slash would make the loader search its own paths.
    if (!path.contains(QLatin1Char('/')))
        return nullptr;
    // The loader would wait for ever on a FIFO or read a device.
    struct stat st;
    int err = 0;
    QString why;
    const int fd = OpenRegularFile(QFile::encodeName(path), false, st, err, why);
    if (fd < 0)
        return nullptr;
    ::close(fd);
    return dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
}

void *symbol(void *handle, const char *name)
{
    return handle ? dlsym(handle, name) : nullptr;
}

void close(void *handle)
{
    if (handle)
        dlclose(handle);
}

} // namespace DynamicLibrary
