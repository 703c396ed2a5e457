#pragma once
// Loading shared libraries (plug-ins) at run time.
#include <QString>

namespace DynamicLibrary
{

// Loads the library at `path` (never searched for: give a path), resolving
// every symbol now and keeping them to itself. Null on failure.
void *open(const QString &path);
// Address of an exported symbol, or null.
void *symbol(void *handle, const char *name);
// Drops one reference taken by open; null is ignored.
void close(void *handle);

} // namespace DynamicLibrary
