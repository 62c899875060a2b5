// The platform seam of the host: loading a plug-in module and finding its
// symbols, and setting up the standard streams. One implementation per
// platform (PluginModulePosix.cpp, PluginModuleWin32.cpp).
#pragma once

#include <string>

class PluginModule {
public:
    PluginModule() {}
    virtual ~PluginModule() { Close(); }
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    // Loads the module; false with *error set (the system's reason) when it
    // cannot be loaded.
    bool Open(const std::string& path, std::string* error);
    // Address of an exported function, or null.
    void* FindSymbol(const char* name) const;
    void Close();
    bool IsOpen() const { return mpHandle != nullptr; }

private:
    void* mpHandle = nullptr;
};

// Standard output and error in binary mode (no "\r\n" on Windows), and no
// system error dialogs that would stall an unattended run.
void PrepareStandardStreams();
