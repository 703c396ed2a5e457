#include "platform/DynamicLibrary.h"

#include <QFile>
#include <dlfcn.h>

namespace DynamicLibrary
{

void *open(const QString &path)
{
    // A name without a slash would make the loader search its own paths.
    if (!path.contains(QLatin1Char('/')))
        return nullptr;
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
