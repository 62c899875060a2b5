// The two exported entry points of the plug-in module. Hosts look for
// VSTPluginMain; older ones look for main. Both create one processor.
#include <new>

#include "Tarvo.h"
#include "framework/plugin/CreationLock.h"

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
    Tarvo* pPlug = nullptr;
    try {
        pPlug = new Tarvo(hostCallback);
    } catch (...) {
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
