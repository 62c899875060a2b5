// Threads: an audio thread processing while other threads set parameters,
// read their texts, switch programs and save and load state, and (with
// --editor) the editor opened and closed meanwhile with a control held;
// then, one host entry at a time, how long the audio thread waits for it.
#include <algorithm>
#include <atomic>
#include <thread>

#include "editor/EditorWindow.h"
#include "ThreadProbe.h"
#include "ValidateContext.h"
#include "ValidateRun.h"

namespace {
const double RATE = 48000.0;
const int BLOCK = 64;
// The audio thread runs this many times faster than real time, so that
// processing calls meet the other threads' entries often.
const double SPEED = 8.0;
const int IDLE_MS = 15;
const int MAX_EDITOR_SIDE = 8192;
const int WINDOW_ATTEMPTS = 3;
const int WINDOW_RETRY_MS = 300;
// The longest wait of the audio thread for one host entry: state chunks may
// take longer than the rest.
const double ENTRY_WAIT_LIMIT = 0.0002;
const double CHUNK_WAIT_LIMIT = 0.0005;

enum EEntry {
    EEntry_SetParameter,
    EEntry_GetParameter,
    EEntry_ParamDisplay,
    EEntry_SetProgram,
    EEntry_GetChunk,
    EEntry_SetChunk,
    EEntry_EditOpen,
    EEntry_EditIdle,
    EEntry_EditClose,
    EEntry_Count
};
const char* const ENTRY_NAMES[EEntry_Count] = {"setParameter",  "getParameter", "effGetParamDisplay",
                                               "effSetProgram", "effGetChunk",  "effSetChunk",
                                               "effEditOpen",   "effEditIdle",  "effEditClose"};

// One host entry call on the entry thread and the longest processing call
// that met it.
struct EntryCall {
    EEntry entry = EEntry_SetParameter;
    double seconds = 0.0;  // the call's own duration
    std::atomic<int64_t> longestNs{0};
};

// Watches the audio thread's calls and attributes each to the entry call
// that ran meanwhile; the calls that met none make the baseline.
class WaitMeter : public ProcessObserver {
public:
    explicit WaitMeter(size_t capacity) : mCalls(capacity) { mQuiet.reserve(400000); }

    // Entry thread.
    int BeginEntry(EEntry entry)
    {
        int index = mNextCall < int(mCalls.size()) ? mNextCall++ : -1;
        if (index < 0) return -1;
        mCalls[size_t(index)].entry = entry;
        mActive.store(index);
        mEntryStart = NowSeconds();
        return index;
    }
    void EndEntry(int index)
    {
        if (index >= 0) mCalls[size_t(index)].seconds = NowSeconds() - mEntryStart;
        mActive.store(-1);
        mLast.store(index);
        mSerial.fetch_add(1);
    }

    // Audio thread.
    void ProcessCallBegan() override
    {
        mActiveAtStart = mActive.load();
        mSerialAtStart = mSerial.load();
        mBlocksAtStart = ThreadBlockCount();
        mStart = NowSeconds();
    }
    void ProcessCallEnded() override
    {
        double duration = NowSeconds() - mStart;
        int64_t blocks = ThreadBlockCount();
        int active = mActive.load();
        int index = mActiveAtStart >= 0 ? mActiveAtStart : active;
        if (index < 0 && mSerial.load() != mSerialAtStart) index = mLast.load();
        mLongest = std::max(mLongest, duration);
        // Where the system tells, only a call that blocked waited for
        // something; one that was merely preempted did not.
        bool blocked = mBlocksAtStart < 0 || blocks > mBlocksAtStart;
        if (index < 0) {
            if (mQuiet.size() < mQuiet.capacity()) mQuiet.push_back(duration);
            return;
        }
        if (!blocked) return;
        std::atomic<int64_t>& longest = mCalls[size_t(index)].longestNs;
        int64_t ns = int64_t(duration * 1e9);
        int64_t seen = longest.load();
        while (ns > seen && !longest.compare_exchange_weak(seen, ns)) {
        }
    }

    // After the audio thread ended: the typical quiet call, and every entry
    // call's wait (its longest met call less the typical one).
    double QuietMedian()
    {
        if (mQuiet.empty()) return 0.0;
        std::vector<double> sorted = mQuiet;
        std::nth_element(sorted.begin(), sorted.begin() + std::ptrdiff_t(sorted.size() / 2), sorted.end());
        return sorted[sorted.size() / 2];
    }
    std::vector<double> Waits(EEntry entry, double baseline) const
    {
        std::vector<double> waits;
        for (int i = 0; i < mNextCall; ++i) {
            if (mCalls[size_t(i)].entry != entry) continue;
            double longest = double(mCalls[size_t(i)].longestNs.load()) * 1e-9;
            waits.push_back(std::max(0.0, longest - baseline));
        }
        return waits;
    }
    // The entry's own calls: their durations, sorted.
    std::vector<double> Durations(EEntry entry) const
    {
        std::vector<double> durations;
        for (int i = 0; i < mNextCall; ++i) {
            if (mCalls[size_t(i)].entry == entry) durations.push_back(mCalls[size_t(i)].seconds);
        }
        std::sort(durations.begin(), durations.end());
        return durations;
    }
    double Longest() const { return mLongest; }
    void Clear()
    {
        for (int i = 0; i < mNextCall; ++i) mCalls[size_t(i)].longestNs.store(0);
        mNextCall = 0;
    }

private:
    std::vector<EntryCall> mCalls;
    int mNextCall = 0;
    std::atomic<int> mActive{-1};
    std::atomic<int> mLast{-1};
    std::atomic<uint32_t> mSerial{0};
    double mEntryStart = 0.0;
    // Audio thread's own.
    int mActiveAtStart = -1;
    uint32_t mSerialAtStart = 0;
    int64_t mBlocksAtStart = 0;
    double mStart = 0.0;
    double mLongest = 0.0;
    std::vector<double> mQuiet;
};

// The audio thread: paced blocks until told to stop, checking every block's
// outputs.
class AudioThread {
public:
    AudioThread(ValidateHost* host, ProcessObserver* observer) : mpHost(host), mpObserver(observer)
    {
        mThread = std::thread(&AudioThread::Run, this);
        while (!mStarted.load()) std::this_thread::yield();
    }
    ~AudioThread() { Stop(); }
    void Stop()
    {
        mStop.store(true);
        if (mThread.joinable()) mThread.join();
    }
    const std::vector<std::string>& Problems() const { return mResult.problems; }
    int64_t Blocks() const { return mResult.blocks; }

private:
    void Run()
    {
        MakeThreadRealtime();
        mpHost->BindAudioThread();
        // Warm up before anyone measures.
        RunSettings settings;
        settings.frames = BLOCK * 200;
        settings.blockSize = BLOCK;
        RunBlocks(*mpHost, settings, &mResult);
        mpHost->SetObserver(mpObserver);
        mStarted.store(true);
        auto period = std::chrono::duration<double>(BLOCK / RATE / SPEED);
        auto next = std::chrono::steady_clock::now();
        settings.frames = BLOCK;
        while (!mStop.load()) {
            RunBlocks(*mpHost, settings, &mResult);
            next += std::chrono::duration_cast<std::chrono::steady_clock::duration>(period);
            auto now = std::chrono::steady_clock::now();
            if (next < now) next = now;
            std::this_thread::sleep_until(next);
        }
        mpHost->SetObserver(nullptr);
    }

    ValidateHost* mpHost;
    ProcessObserver* mpObserver;
    RunResult mResult;
    std::atomic<bool> mStarted{false};
    std::atomic<bool> mStop{false};
    std::thread mThread;
};

// The host's user-interface loop around an open editor: window events and
// effEditIdle every 15 ms, each idle call timed as an entry.
class EditorSession : public EditorLoop {
public:
    EditorSession(ValidateHost* host, WaitMeter* meter) : mpHost(host), mpMeter(meter) {}

    bool Open(std::string* error)
    {
        ERect* rect = nullptr;
        mpHost->Dispatch(effEditGetRect, 0, 0, &rect);
        mWidth = rect ? int(rect->right) - int(rect->left) : 0;
        mHeight = rect ? int(rect->bottom) - int(rect->top) : 0;
        if (mWidth <= 0 || mHeight <= 0 || mWidth > MAX_EDITOR_SIDE || mHeight > MAX_EDITOR_SIDE) {
            mWidth = 400;
            mHeight = 300;
        }
        // The window system now and then refuses a window while it is busy
        // with other clients (an X server setting up connections): the
        // host's own window is tried again before the editor is blamed.
        bool created = false;
        for (int attempt = 0; attempt < WINDOW_ATTEMPTS && !created; ++attempt) {
            if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(WINDOW_RETRY_MS));
            created = mWindow.Create(mWidth, mHeight, "tarvo-host validate", error);
        }
        if (!created) return false;
        Timed(EEntry_EditOpen, [&] { mpHost->Dispatch(effEditOpen, 0, 0, mWindow.ParentHandle()); });
        return true;
    }
    // A control pressed and dragged a little, the button kept down.
    void Hold(int x, int y)
    {
        EditorInputAction action;
        action.kind = EEditorInput_Hold;
        action.x = x;
        action.y = y;
        action.endX = x;
        action.endY = y >= 12 ? y - 12 : y + 12;
        std::string ignored;
        mWindow.Deliver(action, this, &ignored);
    }
    void Close()
    {
        Timed(EEntry_EditClose, [&] { mpHost->Dispatch(effEditClose); });
        EditorInputAction release;
        release.kind = EEditorInput_Release;
        std::string ignored;
        mWindow.Deliver(release, this, &ignored);
        mWindow.Destroy();
    }
    int Width() const { return mWidth; }
    int Height() const { return mHeight; }

    void RunFor(int milliseconds) override
    {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        for (;;) {
            mWindow.ProcessEvents();
            auto now = std::chrono::steady_clock::now();
            if (now >= mNextIdle) {
                Timed(EEntry_EditIdle, [&] { mpHost->Dispatch(effEditIdle); });
                mNextIdle = now + std::chrono::milliseconds(IDLE_MS);
            }
            now = std::chrono::steady_clock::now();
            if (now >= end) break;
            auto until = mNextIdle < end ? mNextIdle : end;
            mWindow.WaitForEvents(int(std::chrono::duration_cast<std::chrono::milliseconds>(until - now).count()) + 1);
        }
    }

private:
    template <typename CALL>
    void Timed(EEntry entry, CALL call)
    {
        int index = mpMeter ? mpMeter->BeginEntry(entry) : -1;
        call();
        if (mpMeter) mpMeter->EndEntry(index);
    }

    ValidateHost* mpHost;
    WaitMeter* mpMeter;
    EditorWindow mWindow;
    int mWidth = 0;
    int mHeight = 0;
    std::chrono::steady_clock::time_point mNextIdle;
};

// Opens and closes the editor `cycles` times; each time a control at the
// next point of a grid over the editor (from point `first` on) is held
// while the editor closes. False with *error when no window could be shown.
bool CycleEditor(ValidateHost* host, WaitMeter* meter, int cycles, int first, std::string* error)
{
    for (int i = first; i < first + cycles; ++i) {
        EditorSession session(host, meter);
        if (!session.Open(error)) return false;
        session.RunFor(60);
        const int COLUMNS = 6, ROWS = 5;
        int cell = i % (COLUMNS * ROWS);
        session.Hold(session.Width() * (2 * (cell % COLUMNS) + 1) / (2 * COLUMNS),
                     session.Height() * (2 * (cell / COLUMNS) + 1) / (2 * ROWS));
        session.RunFor(40);
        session.Close();
    }
    return true;
}

std::string DescribeGestures(const GestureCounts& gestures)
{
    return std::to_string(gestures.begun) + " gestures begun, " + std::to_string(gestures.ended) + " ended";
}

CheckFigures GestureFigures(const GestureCounts& gestures)
{
    return {Count(gestures.begun, "gestures", "begun"), Count(gestures.ended, "gestures", "ended")};
}

void CheckGestures(const GestureCounts& gestures, std::vector<std::string>* failures)
{
    if (gestures.open > 0)
        failures->push_back(std::to_string(gestures.open) +
                            " gesture(s) begun and never ended (audioMasterBeginEdit without audioMasterEndEdit)");
    if (gestures.unmatchedEnds > 0)
        failures->push_back(std::to_string(gestures.unmatchedEnds) + " audioMasterEndEdit without a begin");
}

// Many threads at once for a bounded time.
void CheckThreads(ValidateContext& context, double* longestCall)
{
    ValidateReport& report = context.Report();
    // Without a display the threads are checked without the editor, and
    // the editor's variant is skipped.
    std::string why;
    bool editor = context.Options().editor && context.EditorUsable(&why);
    if (context.Options().editor && !editor) report.Skip("threads-editor", why);
    const std::string name = editor ? "threads-editor" : "threads";
    report.Begin(name);
    std::string error;
    std::unique_ptr<ValidateHost> host = context.NewInstance(RATE, BLOCK, &error);
    if (!host) {
        report.Fail(name, error);
        return;
    }
    std::vector<uint8_t> chunk;
    bool chunks = (host->Effect()->flags & effFlagsProgramChunks) && host->GetChunk(&chunk, &error);
    int params = host->Effect()->numParams;
    int programs = host->Effect()->numPrograms;
    double seconds = 0.4 * context.Level();
    std::atomic<bool> stop{false};
    std::atomic<int64_t> calls{0};
    std::vector<std::string> failures;
    WaitMeter meter(16);
    AudioThread audio(host.get(), &meter);
    uint32_t seed = context.Random();
    std::thread setter([&] {
        uint32_t x = seed | 1;
        while (!stop.load()) {
            x ^= x << 13, x ^= x >> 17, x ^= x << 5;
            if (params > 0) host->SetParameter(int32_t(x % uint32_t(params)), float(x & 0xFFFF) / 65535.0f);
            calls.fetch_add(1);
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    std::thread getter([&] {
        int i = 0;
        while (!stop.load()) {
            if (params > 0) {
                int index = i++ % params;
                host->GetParameter(index);
                host->QueryString(effGetParamDisplay, index);
                host->QueryString(effGetParamName, index);
            }
            calls.fetch_add(1);
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
    });
    std::thread state([&] {
        int i = 0;
        while (!stop.load()) {
            if (programs > 0) host->Dispatch(effSetProgram, 0, i++ % programs);
            if (chunks) {
                std::vector<uint8_t> saved;
                std::string ignored;
                if (host->GetChunk(&saved, &ignored)) host->SetChunk(chunk);
            }
            calls.fetch_add(1);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    std::string editorNote;
    double end = NowSeconds() + seconds * context.Slowness();
    if (editor) {
        int cycles = 0;
        while (NowSeconds() < end || cycles < 2) {
            if (!CycleEditor(host.get(), nullptr, 1, cycles, &error)) {
                failures.push_back("the editor could not be shown: " + error);
                break;
            }
            ++cycles;
        }
        if (editorNote.empty()) editorNote = "; the editor opened and closed " + std::to_string(cycles) + " times";
    }
    while (NowSeconds() < end) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    stop.store(true);
    setter.join();
    getter.join();
    state.join();
    audio.Stop();
    for (const std::string& problem : audio.Problems()) failures.push_back("audio thread: " + problem);
    GestureCounts gestures = host->Gestures();
    CheckGestures(gestures, &failures);
    *longestCall = std::max(*longestCall, meter.Longest());
    report.Verdict(
        name, failures, Count(audio.Blocks(), "blocks"),
        std::to_string(calls.load()) + " calls from 3 threads" + editorNote + ", " + DescribeGestures(gestures));
}

// One host entry at a time, called repeatedly from this thread while the
// audio thread processes: how long the processing calls that met it waited.
void CheckEntryWaits(ValidateContext& context, double* longestCall, double* longestWait)
{
    ValidateReport& report = context.Report();
    report.Begin("entry-waits");
    std::string error;
    std::unique_ptr<ValidateHost> host = context.NewInstance(RATE, BLOCK, &error);
    if (!host) {
        report.Fail("entry-waits", error);
        return;
    }
    std::vector<uint8_t> chunk;
    bool chunks = (host->Effect()->flags & effFlagsProgramChunks) && host->GetChunk(&chunk, &error);
    int params = host->Effect()->numParams;
    int programs = host->Effect()->numPrograms;
    std::string unusable;
    bool editorUsable = context.EditorUsable(&unusable);
    bool editor = context.Options().editor && editorUsable && (host->Effect()->flags & effFlagsHasEditor);
    const int CALLS = 10 + 4 * context.Level();
    WaitMeter meter(size_t(CALLS) * EEntry_Count * 8 + 1024);
    std::string editorError;
    GestureCounts gestures;
    {
        AudioThread audio(host.get(), &meter);
        auto pause = [&] { std::this_thread::sleep_for(std::chrono::microseconds(100 + context.Random() % 400)); };
        for (int i = 0; i < CALLS; ++i) {
            int index = params > 0 ? int(context.Random() % uint32_t(params)) : 0;
            if (params > 0) {
                int call = meter.BeginEntry(EEntry_SetParameter);
                host->SetParameter(index, float(context.Random() & 0xFFFF) / 65535.0f);
                meter.EndEntry(call);
                pause();
                call = meter.BeginEntry(EEntry_GetParameter);
                host->GetParameter(index);
                meter.EndEntry(call);
                pause();
                call = meter.BeginEntry(EEntry_ParamDisplay);
                host->QueryString(effGetParamDisplay, index);
                meter.EndEntry(call);
                pause();
            }
            if (programs > 0) {
                int call = meter.BeginEntry(EEntry_SetProgram);
                host->Dispatch(effSetProgram, 0, i % programs);
                meter.EndEntry(call);
                pause();
            }
            if (chunks) {
                void* address = nullptr;
                int call = meter.BeginEntry(EEntry_GetChunk);
                host->Dispatch(effGetChunk, 0, 0, &address);
                meter.EndEntry(call);
                pause();
                call = meter.BeginEntry(EEntry_SetChunk);
                host->Dispatch(effSetChunk, 0, VstIntPtr(chunk.size()), chunk.data());
                meter.EndEntry(call);
                pause();
            }
        }
        // One cycle unmeasured first: what any first opening in a process
        // pays (binding symbols, loading fonts) is no hold of the lock.
        if (editor &&
            (!CycleEditor(host.get(), nullptr, 1, 0, &editorError) ||
             !CycleEditor(host.get(), &meter, 2 * context.Level(), 0, &editorError)) &&
            editorError.empty())
            editorError = "the editor could not be shown";
        gestures = host->Gestures();
        audio.Stop();
    }
    double baseline = meter.QuietMedian();
    *longestCall = std::max(*longestCall, meter.Longest());
    for (int entry = 0; entry < EEntry_Count; ++entry) {
        std::string name = std::string("wait-") + ENTRY_NAMES[entry];
        std::vector<double> waits = meter.Waits(EEntry(entry), baseline);
        bool editorEntry = entry == EEntry_EditOpen || entry == EEntry_EditIdle || entry == EEntry_EditClose;
        if (waits.empty()) {
            if (editorEntry && context.Options().editor && !editorUsable) {
                report.Skip(name, unusable);
            } else if (editorEntry && context.Options().editor && !editorError.empty()) {
                report.Skip(name, editorError);
            } else if (!editorEntry || context.Options().editor) {
                report.Skip(name, "the plug-in has no such entry to call (no parameters, programs, chunks or editor)");
            }
            continue;
        }
        std::sort(waits.begin(), waits.end());
        double median = waits[waits.size() / 2];
        double longest = waits.back();
        *longestWait = std::max(*longestWait, longest);
        double limit = (entry == EEntry_GetChunk || entry == EEntry_SetChunk ? CHUNK_WAIT_LIMIT : ENTRY_WAIT_LIMIT) *
                       context.Slowness();
        CheckFigures figures = {Milliseconds(median, "median"), Milliseconds(longest, "longest")};
        std::vector<double> durations = meter.Durations(EEntry(entry));
        std::string detail = std::to_string(waits.size()) + " calls taking " +
                             FormatMilliseconds(durations[durations.size() / 2]) + " (median) to " +
                             FormatMilliseconds(durations.back()) + ", wait limit " + FormatMilliseconds(limit) +
                             " (median)";
        if (median > limit) {
            report.Fail(name, "the audio thread waits for this entry; " + detail, figures);
        } else {
            report.Pass(name, figures, detail);
        }
    }
    if (context.Options().editor && !editorUsable) {
        report.Skip("editor-gestures", unusable);
    } else if (editor && editorError.empty()) {
        std::vector<std::string> failures;
        CheckGestures(gestures, &failures);
        report.Verdict("editor-gestures", failures, GestureFigures(gestures),
                       "the editor closed " + std::to_string(2 * context.Level()) + " times with a control held");
    }
}
}  // namespace

void RunThreadChecks(ValidateContext& context)
{
    double longestCall = 0.0;
    double longestWait = 0.0;
    CheckThreads(context, &longestCall);
    CheckEntryWaits(context, &longestCall, &longestWait);
    // Any single wait this long is an audible dropout at every buffer size.
    // Judged only where the system tells waiting from being preempted.
    const double DROPOUT = 0.010 * context.Slowness();
    CheckFigures figures = {Milliseconds(longestCall, "longest call"), Milliseconds(longestWait, "longest wait")};
    if (ThreadBlockCount() < 0) {
        context.Report().Pass("audio-thread", figures, "not judged: this system does not tell waiting from preemption");
    } else if (longestWait > DROPOUT) {
        context.Report().Fail("audio-thread", "a processing call waited longer than " + FormatMilliseconds(DROPOUT),
                              figures);
    } else {
        context.Report().Pass("audio-thread", figures, "no wait over " + FormatMilliseconds(DROPOUT));
    }
}
