#include "resources/PngResource.h"

#include <windows.h>

namespace {
// The images live in the plug-in DLL, not in the host's executable (which is
// what a null module handle would name), so the module is found from the
// address of something inside it.
const char MODULE_ANCHOR = 0;

// Resource ids are 16-bit: anything else cannot name a resource and must not
// reach MAKEINTRESOURCE, which would turn it into a string pointer.
const int MAX_RESOURCE_ID = 0xFFFF;
}  // namespace

bool FindPngResource(int id, const unsigned char** ppData, size_t* pSize)
{
    if (!ppData || !pSize || id <= 0 || id > MAX_RESOURCE_ID) {
        return false;
    }
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            &MODULE_ANCHOR, &module)) {
        return false;
    }
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), "PNG");
    if (!info) {
        return false;
    }
    HGLOBAL handle = LoadResource(module, info);
    if (!handle) {
        return false;
    }
    const void* data = LockResource(handle);
    const DWORD size = SizeofResource(module, info);
    if (!data || size == 0) {
        return false;
    }
    *ppData = static_cast<const unsigned char*>(data);
    *pSize = size;
    return true;
}
