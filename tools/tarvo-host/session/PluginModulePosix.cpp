#include "PluginModule.h"

#include <cstdio>

#include <dlfcn.h>

namespace {
// Windows modules start with the "MZ" of their DOS header.
bool IsWindowsModule(const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    char magic[2] = {};
    bool windows = std::fread(magic, 1, 2, file) == 2 && magic[0] == 'M' && magic[1] == 'Z';
    std::fclose(file);
    return windows;
}
}  // namespace

bool PluginModule::Open(const std::string& path, std::string* error)
{
    Close();
    // dlopen searches the library path for a name without a slash; a file
    // named on the command line is meant relative to the working folder.
    std::string name = path.find('/') == std::string::npos ? "./" + path : path;
    // Binding every symbol now makes a module with unresolved references
    // fail here with a message instead of crashing inside a later call.
    mpHandle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!mpHandle) {
        const char* why = dlerror();
        *error = why ? why : "unknown dlopen failure";
        if (IsWindowsModule(path))
            *error =
                "it is a Windows module; this host loads Linux plug-ins (.so), run a .dll with tarvo-host.exe "
                "under wine";
        return false;
    }
    return true;
}

void* PluginModule::FindSymbol(const char* name) const
{
    if (!mpHandle) return nullptr;
    return dlsym(mpHandle, name);
}

void PluginModule::Close()
{
    if (mpHandle) dlclose(mpHandle);
    mpHandle = nullptr;
}

void PrepareStandardStreams() {}
