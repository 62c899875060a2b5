#include "ModuleFile.h"

#include <cstring>
#include <dlfcn.h>

bool GetModuleFileNameOfPlugin(char* out, size_t size)
{
    if (!out || size == 0) return false;
    out[0] = '\0';
    // Any address inside this module names the shared object it was loaded
    // from; the address of this function is one.
    Dl_info info;
    if (!dladdr(reinterpret_cast<void*>(&GetModuleFileNameOfPlugin), &info) || !info.dli_fname) return false;
    size_t length = std::strlen(info.dli_fname);
    if (length == 0 || length >= size) return false;
    std::memcpy(out, info.dli_fname, length + 1);
    return true;
}
