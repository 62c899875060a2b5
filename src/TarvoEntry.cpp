// The two exported entry points of the plug-in module. Hosts look for
// VSTPluginMain; older ones look for main. Both create one processor, which
// reads its files from the module's folder, and attach its editor.
#include <new>

#include "HomeDirectory.h"
#include "Tarvo.h"
#include "TarvoGui.h"
#include "framework/plugin/ModuleFile.h"
#include "framework/plugin/CreationLock.h"

namespace {

// The module's folder; empty when the module's name cannot be obtained
// (the defaults then hold).
void FindModuleFolder(char* pFolder, size_t size)
{
    char moduleName[HomeDirectory::PATH_LENGTH + 1];
    if (!GetModuleFileNameOfPlugin(moduleName, sizeof moduleName) ||
        !HomeDirectory::FolderOfModule(moduleName, pFolder, size)) {
        pFolder[0] = '\0';
    }
}

}  // namespace

#if defined(_WIN32)
#define TARVO_EXPORT extern "C" __declspec(dllexport)
#else
#define TARVO_EXPORT extern "C" __attribute__((visibility("default")))
#endif

TARVO_EXPORT AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback hostCallback)
{
    ScopedLock lock(CreationLock());
    // The processor's own parts allocate too; should memory run out there,
    // the host gets null rather than an exception through a C entry point.
    char folder[HomeDirectory::PATH_LENGTH + 1];
    FindModuleFolder(folder, sizeof folder);
    Tarvo* pPlug = nullptr;
    try {
        pPlug = new Tarvo(hostCallback, folder);
        TarvoGui::Attach(pPlug);
    } catch (...) {
        // What was built goes with the processor.
        delete pPlug;
        return nullptr;
    }
    pPlug->EnsureDefaultPreset();
    AEffect* pEffect = pPlug->GetAEffect();
    if (pEffect->numPrograms < 1) pEffect->numPrograms = 1;
    return pEffect;
}

#if !defined(_WIN32)
// "main" cannot be declared with C linkage in C++; this alias gives the
// module an exported symbol of that name. On Windows the module-definition
// file exports main as an alias of VSTPluginMain.
TARVO_EXPORT AEffect* VSTPluginMainAlias(audioMasterCallback hostCallback) __asm__("main");
AEffect* VSTPluginMainAlias(audioMasterCallback hostCallback) { return VSTPluginMain(hostCallback); }
#endif
