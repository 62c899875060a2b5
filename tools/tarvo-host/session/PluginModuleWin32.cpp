#include "PluginModule.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace {
std::string SystemMessage(DWORD code)
{
    char* text = nullptr;
    DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length && text ? std::string(text, length) : std::string();
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    char number[32];
    std::snprintf(number, sizeof(number), "error %lu", static_cast<unsigned long>(code));
    return message.empty() ? std::string(number) : message + " (" + number + ")";
}
}  // namespace

bool PluginModule::Open(const std::string& path, std::string* error)
{
    Close();
    // With a full path, LOAD_WITH_ALTERED_SEARCH_PATH finds the DLLs a
    // plug-in ships beside itself, as hosts that scan plug-in folders do.
    char full[4096];
    DWORD length = GetFullPathNameA(path.c_str(), sizeof(full), full, nullptr);
    std::string name = length > 0 && length < sizeof(full) ? std::string(full) : path;
    HMODULE module = LoadLibraryExA(name.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) {
        *error = SystemMessage(GetLastError());
        return false;
    }
    mpHandle = reinterpret_cast<void*>(module);
    return true;
}

void* PluginModule::FindSymbol(const char* name) const
{
    if (!mpHandle) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(mpHandle), name));
}

void PluginModule::Close()
{
    if (mpHandle) FreeLibrary(static_cast<HMODULE>(mpHandle));
    mpHandle = nullptr;
}

void PrepareStandardStreams()
{
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX);
}
