#include "EditorAudio.h"

#include "session/HostSession.h"
#include "play/PlayCommand.h"

namespace {
// A block of no frames takes no time; the pace still leaves the editor's
// thread this much room between such blocks.
const auto MIN_BLOCK_PAUSE = std::chrono::milliseconds(1);
}  // namespace

EditorAudio::EditorAudio(HostSession* session, PlayRun* run, int64_t blocks, double sampleRate, double speed)
    : mpSession(session), mpRun(run), mBlocks(blocks), mFramesPerSecond(sampleRate * speed)
{
}

EditorAudio::~EditorAudio() { Stop(); }

void EditorAudio::Start()
{
    if (mThread.joinable()) return;
    mStopRequested = false;
    mFinished.store(false);
    mFailed = false;
    mThread = std::thread(&EditorAudio::Run, this);
}

void EditorAudio::Stop()
{
    if (!mThread.joinable()) return;
    {
        std::lock_guard<std::mutex> guard(mLock);
        mStopRequested = true;
    }
    mWake.notify_all();
    mThread.join();
}

bool EditorAudio::Succeeded(std::string* error) const
{
    if (!mFailed) return true;
    *error = mpRun->Error();
    return false;
}

bool EditorAudio::WaitUntilDue(int64_t frames, std::chrono::steady_clock::time_point start)
{
    auto due = start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                           std::chrono::duration<double>(double(frames) / mFramesPerSecond));
    auto earliest = std::chrono::steady_clock::now() + MIN_BLOCK_PAUSE;
    std::unique_lock<std::mutex> lock(mLock);
    mWake.wait_until(lock, due > earliest ? due : earliest, [this] { return mStopRequested; });
    return !mStopRequested;
}

int64_t EditorAudio::PausedAt()
{
    std::lock_guard<std::mutex> guard(mLock);
    return mPausedAt;
}

void EditorAudio::Resume()
{
    {
        std::lock_guard<std::mutex> guard(mLock);
        mPausedAt = -1;
    }
    mWake.notify_all();
}

bool EditorAudio::PauseIfAsked(int64_t blocksRun, size_t* pNextPause)
{
    if (*pNextPause >= mPauses.size() || mPauses[*pNextPause] != blocksRun) return true;
    std::unique_lock<std::mutex> lock(mLock);
    while (*pNextPause < mPauses.size() && mPauses[*pNextPause] == blocksRun) ++*pNextPause;
    mPausedAt = blocksRun;
    mWake.wait(lock, [this] { return mStopRequested || mPausedAt < 0; });
    return !mStopRequested;
}

void EditorAudio::Run()
{
    mpSession->BindAudioThread();
    auto start = std::chrono::steady_clock::now();
    size_t nextPause = 0;
    for (int64_t block = 0; mBlocks < 0 || block < mBlocks; ++block) {
        auto pauseBegan = std::chrono::steady_clock::now();
        if (!PauseIfAsked(block, &nextPause)) break;
        // The pace resumes from here, as if no time had passed.
        start += std::chrono::steady_clock::now() - pauseBegan;
        if (!mpRun->RunBlock()) {
            mFailed = true;
            break;
        }
        if (mBlocks >= 0 && block + 1 >= mBlocks) {
            PauseIfAsked(block + 1, &nextPause);
            break;
        }
        // Blocks are due at the real time their first frame would sound.
        if (!WaitUntilDue(mpSession->FramesProcessed(), start)) break;
    }
    mFinished.store(true);
}
