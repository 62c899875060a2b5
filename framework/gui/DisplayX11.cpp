#include "DisplayX11.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

namespace {

// The registry exists only while a display is registered, so a module that
// is unloaded with every editor closed leaves nothing behind. The mutex is
// constant-initialised and has nothing to tear down.
std::mutex gRegistryMutex;
std::unique_ptr<std::vector<Display*>> gpDisplays;
XErrorHandler gPreviousHandler = nullptr;

// Xlib calls the handler on the thread whose request failed, so each
// thread keeps its own chain of traps.
thread_local DisplayX11::ErrorTrap* tpInnermostTrap = nullptr;

}  // namespace

namespace DisplayX11 {

int HandleError(Display* pDisplay, XErrorEvent* pEvent)
{
    for (ErrorTrap* pTrap = tpInnermostTrap; pTrap; pTrap = pTrap->mpOuter) {
        if (pTrap->mpDisplay == pDisplay) {
            if (pTrap->mErrorCode == 0) pTrap->mErrorCode = pEvent->error_code;
            return 0;
        }
    }
    XErrorHandler previous = nullptr;
    {
        std::lock_guard<std::mutex> lock(gRegistryMutex);
        // One of ours, outside a trap: most likely the host destroyed its
        // window, and with it ours, before it closed the editor. The event
        // thread notices that from the DestroyNotify; nothing to report.
        if (gpDisplays && std::find(gpDisplays->begin(), gpDisplays->end(), pDisplay) != gpDisplays->end()) {
            return 0;
        }
        previous = gPreviousHandler;
    }
    return previous ? previous(pDisplay, pEvent) : 0;
}

void RegisterDisplay(Display* pDisplay)
{
    std::lock_guard<std::mutex> lock(gRegistryMutex);
    if (!gpDisplays) {
        gpDisplays.reset(new std::vector<Display*>());
        gPreviousHandler = XSetErrorHandler(HandleError);
    }
    gpDisplays->push_back(pDisplay);
}

void UnregisterDisplay(Display* pDisplay)
{
    std::lock_guard<std::mutex> lock(gRegistryMutex);
    if (!gpDisplays) return;
    auto found = std::find(gpDisplays->begin(), gpDisplays->end(), pDisplay);
    if (found != gpDisplays->end()) gpDisplays->erase(found);
    if (!gpDisplays->empty()) return;
    XErrorHandler current = XSetErrorHandler(gPreviousHandler);
    // The host installed a handler of its own after ours: keep it.
    if (current != HandleError) XSetErrorHandler(current);
    gPreviousHandler = nullptr;
    gpDisplays.reset();
}

ErrorTrap::ErrorTrap(Display* pDisplay) : mpDisplay(pDisplay), mpOuter(tpInnermostTrap)
{
    // Errors of requests sent before the trap belong to whoever sent them.
    XSync(mpDisplay, False);
    tpInnermostTrap = this;
}

ErrorTrap::~ErrorTrap()
{
    XSync(mpDisplay, False);
    tpInnermostTrap = mpOuter;
}

void ErrorTrap::Sync() { XSync(mpDisplay, False); }

}  // namespace DisplayX11
