#include "platform/ZipLibrary.h"

#include <dlfcn.h>
#include <mutex>

namespace
{

template <typename F> bool resolve(void *lib, const char *name, F &f)
{
    f = reinterpret_cast<F>(dlsym(lib, name));
    return f != nullptr;
}

const ZipLibrary *load()
{
    // Only the version it was built against: another major version lays
    // out zip_stat_t and friends otherwise.
    void *lib = dlopen(GD_LIBZIP_SONAME, RTLD_NOW | RTLD_LOCAL);
    if (!lib)
        return nullptr;
    static ZipLibrary z;
    const bool ok = resolve(lib, "zip_open", z.open) && resolve(lib, "zip_discard", z.discard) &&
                    resolve(lib, "zip_get_num_entries", z.get_num_entries) &&
                    resolve(lib, "zip_get_name", z.get_name) && resolve(lib, "zip_stat_init", z.stat_init) &&
                    resolve(lib, "zip_stat_index", z.stat_index) &&
                    resolve(lib, "zip_file_get_external_attributes", z.file_get_external_attributes) &&
                    resolve(lib, "zip_fopen_index", z.fopen_index) && resolve(lib, "zip_fread", z.fread) &&
                    resolve(lib, "zip_fclose", z.fclose) && resolve(lib, "zip_get_error", z.get_error) &&
                    resolve(lib, "zip_file_get_error", z.file_get_error) &&
                    resolve(lib, "zip_error_code_zip", z.error_code_zip);
    return ok ? &z : nullptr; // kept loaded: its calls are in use from here on
}

} // namespace

const ZipLibrary *Zip()
{
    static std::once_flag once;
    static const ZipLibrary *library = nullptr;
    std::call_once(once, [] { library = load(); });
    return library;
}
