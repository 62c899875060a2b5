#include "ModuleFile.h"

#include <cstring>
#include <dlfcn.h>
#include <unistd.h>

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

bool GetFileNameOfProgram(char* out, size_t size)
{
    if (!out || size == 0) return false;
    out[0] = '\0';
    ssize_t length = readlink("/proc/self/exe", out, size - 1);
    if (length <= 0) {
        out[0] = '\0';
        return false;
    }
    out[length] = '\0';
    return true;
}
