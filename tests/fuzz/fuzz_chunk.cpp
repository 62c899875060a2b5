// A project chunk is the user's file: whatever bytes it holds, loading it and
// playing on must not crash, overrun a buffer or leave a grid the simulation
// cannot run; a refused chunk changes nothing, and the state saved
// afterwards loads again and saves to the same bytes.
//
// Every input meets the same instance: a new one, its transport playing from
// the song's start. An instance that took an input is replaced before the
// next one; an instance that refused it is the baseline still (its saved
// state is checked against the baseline's), so it serves the next input as
// it is. What an input does therefore never depends on the inputs before it.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "FakeHost.h"
#include "framework/plugin/VstInterface.h"
#include "FuzzFile.h"

namespace {

// After a load the instance plays a quarter of a beat, in blocks as a host
// sends them: 6 blocks of 256 frames at 480 bpm hold as many steps as 6144
// frames at 120 bpm, for a quarter of the per-sample work.
const double SAMPLE_RATE = 48000.0;
const double TEMPO = 480.0;
const int BLOCK_FRAMES = 256;
const int BLOCKS_AFTER_LOAD = 6;
// An empty grid, empty slots and an empty scale name.
const size_t SMALLEST_SAVED_STATE = 6234;

class BaselineInstance {
public:
    BaselineInstance()
    {
        Renew();
        mBaseline = mpHost->GetChunk();
        FUZZ_CHECK(mBaseline.size() >= SMALLEST_SAVED_STATE);
    }

    // The instance in its baseline state; replaced first when the last
    // input changed it.
    FakeHost& Host()
    {
        if (mChanged) Renew();
        mChanged = false;
        return *mpHost;
    }
    void MarkChanged() { mChanged = true; }
    const std::vector<unsigned char>& BaselineChunk() const { return mBaseline; }

private:
    void Renew()
    {
        mpHost.reset();
        mpHost.reset(new FakeHost(SAMPLE_RATE, BLOCK_FRAMES));
        mpHost->SetTempo(TEMPO);
        mpHost->Play();
    }

    std::unique_ptr<FakeHost> mpHost;
    std::vector<unsigned char> mBaseline;
    bool mChanged = false;
};

// effSetChunk straight from the fuzzer's bytes: the plug-in copies a chunk
// before reading it.
bool LoadChunk(FakeHost& host, const uint8_t* data, size_t size)
{
    AEffect* pEffect = host.Effect();
    void* pBytes = size ? const_cast<uint8_t*>(data) : nullptr;
    return pEffect->dispatcher(pEffect, effSetChunk, 0, static_cast<VstIntPtr>(size), pBytes, 0.0f) == 1;
}

// effGetChunk into a buffer kept from input to input, so that a save
// allocates nothing once the buffer has grown.
const std::vector<unsigned char>& SaveChunk(FakeHost& host, std::vector<unsigned char>* pBuffer)
{
    AEffect* pEffect = host.Effect();
    void* pData = nullptr;
    const VstIntPtr size = pEffect->dispatcher(pEffect, effGetChunk, 0, 0, &pData, 0.0f);
    const unsigned char* pBytes = static_cast<const unsigned char*>(pData);
    pBuffer->assign(pBytes, pBytes + (size > 0 && pBytes ? size : 0));
    return *pBuffer;
}

bool GridRunnable(const Matrix& grid)
{
    return grid.mRovers.mCount >= 0 && grid.mRovers.mCount <= 20 && grid.mLastRow >= 0 && grid.mLastRow <= 16 &&
           grid.mLastCol >= 0 && grid.mLastCol <= 16;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Never destroyed: the process ends with libFuzzer's exit.
    static BaselineInstance* pBaseline = new BaselineInstance;
    FakeHost& host = pBaseline->Host();
    static std::vector<unsigned char>* pSaved = new std::vector<unsigned char>;
    static std::vector<unsigned char>* pSavedAgain = new std::vector<unsigned char>;

    if (!LoadChunk(host, data, size)) {
        // All or nothing: a refused load leaves the baseline's state.
        FUZZ_CHECK(SaveChunk(host, pSaved) == pBaseline->BaselineChunk());
        return 0;
    }
    pBaseline->MarkChanged();
    FUZZ_CHECK(GridRunnable(host.Plug()->Grid()));
    for (int i = 0; i < BLOCKS_AFTER_LOAD; ++i) host.Process(BLOCK_FRAMES);

    const std::vector<unsigned char>& saved = SaveChunk(host, pSaved);
    FUZZ_CHECK(saved.size() >= SMALLEST_SAVED_STATE);
    FUZZ_CHECK(LoadChunk(host, saved.data(), saved.size()));
    FUZZ_CHECK(SaveChunk(host, pSavedAgain) == saved);
    return 0;
}
