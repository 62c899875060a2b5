#include "PluginModule.h"

#include <dlfcn.h>

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
