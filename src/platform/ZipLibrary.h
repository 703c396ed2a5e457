#pragma once
// libzip, loaded when the first archive is opened. Linked to the program,
// it would be loaded (libcrypto and libbz2 with it) at every start, for the
// few who open a zip.
#include <zip.h>

struct ZipLibrary {
    decltype(&::zip_open) open = nullptr;
    decltype(&::zip_discard) discard = nullptr;
    decltype(&::zip_get_num_entries) get_num_entries = nullptr;
    decltype(&::zip_get_name) get_name = nullptr;
    decltype(&::zip_stat_init) stat_init = nullptr;
    decltype(&::zip_stat_index) stat_index = nullptr;
    decltype(&::zip_file_get_external_attributes) file_get_external_attributes = nullptr;
    decltype(&::zip_fopen_index) fopen_index = nullptr;
    decltype(&::zip_fread) fread = nullptr;
    decltype(&::zip_fclose) fclose = nullptr;
    decltype(&::zip_get_error) get_error = nullptr;
    decltype(&::zip_file_get_error) file_get_error = nullptr;
    decltype(&::zip_error_code_zip) error_code_zip = nullptr;
};

// The library, loaded on the first call (from any thread); null when it or
// one of its calls is missing.
const ZipLibrary *Zip();
