// A project chunk is the user's file: whatever bytes it holds, loading it and
// playing on must not crash, overrun a buffer or leave a grid the simulation
// cannot run; a refused chunk changes nothing, and the state saved
// afterwards loads again and saves to the same bytes.
//
// Every input meets the same instance: a new one, its transport playing from
// the song's start. An instance that took an input is replaced before that
// input ends; an instance that refused it is the baseline still (what a save
// would write is checked against the baseline's), so it serves the next
// input as it is. What an input does therefore never depends on the inputs
// before it.
//
// Replacing the instance within the input that changed it frees as many
// blocks as it allocates: libFuzzer runs an input a second time, looking
// for a leak, whenever it ends with more allocations than frees.
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

// What a save writes, as it lies in the instance: the random generator, the
// scales and their name, the grid, the pattern slots, the sequencer and the
// parameter values. A refused load must leave every byte of it; comparing
// the bytes costs a fraction of a save.
class SavedFields {
public:
    void Capture(Tarvo& plug)
    {
        mBytes.clear();
        Add(plug.Random());
        for (const Scale& scale : plug.Notes().mScales) Add(scale);
        AddBytes(plug.ScaleName(), StateImage::SCALE_NAME_SIZE);
        Add(plug.Grid());
        for (int slot = 0; slot < NUM_PATTERN_SLOTS; ++slot) {
            Add(plug.Pattern(slot));
            Add(plug.PatternOccupied(slot));
        }
        Add(plug.Sequencer());
        for (int i = 0; i < EParam_NumVisible; ++i) Add(plug.GetParam(i)->Value());
        Add(plug.TimelineLocked());
    }
    bool operator==(const SavedFields& other) const { return mBytes == other.mBytes; }

private:
    template <typename T>
    void Add(const T& value)
    {
        AddBytes(&value, sizeof value);
    }
    void AddBytes(const void* pData, size_t size)
    {
        const unsigned char* pBytes = static_cast<const unsigned char*>(pData);
        mBytes.insert(mBytes.end(), pBytes, pBytes + size);
    }

    std::vector<unsigned char> mBytes;
};

class BaselineInstance {
public:
    BaselineInstance()
    {
        Renew();
        FUZZ_CHECK(mpHost->GetChunk().size() >= SMALLEST_SAVED_STATE);
    }

    // The instance in its baseline state.
    FakeHost& Host() { return *mpHost; }
    // Whether the fields a save writes still hold the baseline's.
    bool StateIsBaseline()
    {
        mCurrent.Capture(*mpHost->Plug());
        return mCurrent == mFields;
    }
    // A new instance in place of one that an input changed.
    void Renew()
    {
        mpHost.reset();
        mpHost.reset(new FakeHost(SAMPLE_RATE, BLOCK_FRAMES));
        mpHost->SetTempo(TEMPO);
        mpHost->Play();
        mFields.Capture(*mpHost->Plug());
    }

private:
    std::unique_ptr<FakeHost> mpHost;
    SavedFields mFields;
    SavedFields mCurrent;
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
    return grid.mRovers.mCount >= 0 && grid.mRovers.mCount <= MAX_ROVERS && grid.mLastRow >= 0 &&
           grid.mLastRow < MAX_ROWS && grid.mLastCol >= 0 && grid.mLastCol < MAX_COLS;
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
        FUZZ_CHECK(pBaseline->StateIsBaseline());
        return 0;
    }
    FUZZ_CHECK(GridRunnable(host.Plug()->Grid()));
    for (int i = 0; i < BLOCKS_AFTER_LOAD; ++i) host.Process(BLOCK_FRAMES);

    const std::vector<unsigned char>& saved = SaveChunk(host, pSaved);
    FUZZ_CHECK(saved.size() >= SMALLEST_SAVED_STATE);
    FUZZ_CHECK(LoadChunk(host, saved.data(), saved.size()));
    FUZZ_CHECK(SaveChunk(host, pSavedAgain) == saved);
    pBaseline->Renew();
    return 0;
}
