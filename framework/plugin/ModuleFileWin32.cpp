#include "ModuleFile.h"

#include <windows.h>

bool GetModuleFileNameOfPlugin(char* out, size_t size)
{
    if (!out || size == 0) return false;
    out[0] = '\0';
    HMODULE module = 0;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&GetModuleFileNameOfPlugin), &module)) {
        return false;
    }
    DWORD length = GetModuleFileNameA(module, out, static_cast<DWORD>(size));
    if (length == 0 || length >= size) {
        out[0] = '\0';
        return false;
    }
    return true;
}

bool GetFileNameOfProgram(char* out, size_t size)
{
    if (!out || size == 0) return false;
    out[0] = '\0';
    DWORD length = GetModuleFileNameA(nullptr, out, static_cast<DWORD>(size));
    if (length == 0 || length >= size) {
        out[0] = '\0';
        return false;
    }
    return true;
}
