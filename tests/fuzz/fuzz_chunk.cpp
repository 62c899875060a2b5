// A project chunk is the user's file: whatever bytes it holds, loading it and
// playing on must not crash, overrun a buffer or leave a grid the simulation
// cannot run; a refused chunk changes nothing, and the state saved
// afterwards loads again and saves to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "FakeHost.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FakeHost* pHost = [] {
        FakeHost* p = new FakeHost(48000.0, 256);
        p->Play();
        return p;
    }();
    FakeHost& host = *pHost;
    host.mEvents.clear();
    host.mAutomation.clear();
    const std::vector<unsigned char> before = host.GetChunk();
    if (!host.SetChunk(std::vector<unsigned char>(data, data + size)) && host.GetChunk() != before) std::abort();

    const Matrix& grid = host.Plug()->Grid();
    if (grid.mRovers.mCount < 0 || grid.mRovers.mCount > 20 || grid.mLastRow < 0 || grid.mLastRow > 16 ||
        grid.mLastCol < 0 || grid.mLastCol > 16) {
        std::abort();
    }
    for (int i = 0; i < 24; ++i) host.Process(256);

    std::vector<unsigned char> saved = host.GetChunk();
    // 6234 bytes: an empty grid, empty slots and an empty scale name.
    if (saved.size() < 6234 || !host.SetChunk(saved) || host.GetChunk() != saved) std::abort();
    return 0;
}
