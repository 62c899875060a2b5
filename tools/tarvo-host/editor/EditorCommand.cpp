#include "EditorCommand.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "EditorAudio.h"
#include "EditorOptions.h"
#include "EditorWindow.h"
#include "session/HostSession.h"
#include "session/HostText.h"
#include "session/JsonWriter.h"
#include "play/PlayCommand.h"
#include "play/PlayOptions.h"
#include "framework/raster/Raster.h"
#include "framework/raster/RasterBitmap.h"

namespace {
// Hosts idle an open editor many times per second; plug-ins whose window
// has no thread of its own handle their events and timers in effEditIdle.
const auto IDLE_INTERVAL = std::chrono::milliseconds(15);
// Larger editor rectangles are taken for garbage.
const int MAX_EDITOR_SIDE = 8192;
// The window's size while a plug-in that tells its size only once the
// editor is open opens it.
const int FALLBACK_WIDTH = 400;
const int FALLBACK_HEIGHT = 300;

// Ends the process when the run takes far longer than it should: a plug-in
// that hangs in effEditOpen, or a window system that never answers, must
// not stall an unattended test run.
class Watchdog {
public:
    explicit Watchdog(double seconds) : mSeconds(seconds), mThread(&Watchdog::Watch, this) {}
    virtual ~Watchdog()
    {
        {
            std::lock_guard<std::mutex> guard(mLock);
            mDone = true;
        }
        mWake.notify_all();
        mThread.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    void Watch()
    {
        std::unique_lock<std::mutex> lock(mLock);
        if (mWake.wait_for(lock, std::chrono::duration<double>(mSeconds), [this] { return mDone; })) return;
        ReportError("editor: the run did not end within " + FormatFixed(mSeconds, 0) +
                    " s (the plug-in or the window system does not answer); giving up");
        std::fflush(stdout);
        std::fflush(stderr);
        std::_Exit(EExitCode_Failure);
    }

    double mSeconds;
    std::mutex mLock;
    std::condition_variable mWake;
    bool mDone = false;
    std::thread mThread;  // last: starts once the members above exist
};

class UserInterfaceLoop : public EditorLoop {
public:
    UserInterfaceLoop(HostSession* session, EditorWindow* window) : mpSession(session), mpWindow(window) {}

    void RunFor(int milliseconds) override
    {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        for (;;) {
            mpWindow->ProcessEvents();
            auto now = std::chrono::steady_clock::now();
            if (now >= mNextIdle) {
                mpSession->Dispatch(effEditIdle);
                mNextIdle = now + IDLE_INTERVAL;
            }
            now = std::chrono::steady_clock::now();
            if (now >= end) break;
            // Asleep until an event comes, the next idle or the end.
            auto until = mNextIdle < end ? mNextIdle : end;
            auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(until - now).count() + 1;
            mpWindow->WaitForEvents(static_cast<int>(wait));
        }
    }

    void RunTicks(int64_t ticks) { RunFor(int(ticks * EDITOR_TICK_MS)); }

private:
    HostSession* mpSession;
    EditorWindow* mpWindow;
    std::chrono::steady_clock::time_point mNextIdle;
};

struct EditorResult {
    int width = 0;
    int height = 0;
    bool opened = false;
    int64_t inputs = 0;
    int64_t reopened = 0;
    int64_t captures = 0;
    int dialogsAnswered = 0;
};

bool QueryEditorSize(HostSession* session, int* width, int* height)
{
    ERect* rect = nullptr;
    session->Dispatch(effEditGetRect, 0, 0, &rect);
    if (!rect) return false;
    int w = int(rect->right) - int(rect->left);
    int h = int(rect->bottom) - int(rect->top);
    if (w <= 0 || h <= 0 || w > MAX_EDITOR_SIDE || h > MAX_EDITOR_SIDE) return false;
    *width = w;
    *height = h;
    return true;
}

bool CapturePng(EditorWindow* window, const std::string& path, std::string* error)
{
    MemoryBitmap bitmap;
    if (!window->Capture(&bitmap, error)) {
        *error = "--png: " + *error;
        return false;
    }
    if (!Raster::WritePngFile(bitmap, path.c_str())) {
        *error = "--png: cannot write '" + path + "'";
        return false;
    }
    return true;
}

// The input lines, a tick apart; false with *error at the first that
// cannot be delivered, or when the audio thread stopped on an error.
bool DeliverInput(const EditorOptions& options, EditorWindow* window, UserInterfaceLoop* loop, EditorAudio* audio,
                  EditorResult* result, std::string* error)
{
    for (const EditorInputAction& action : options.inputs) {
        if (options.playing && audio->Finished() && !audio->Succeeded(error)) return false;
        std::string why;
        if (action.kind == EEditorInput_Wait) {
            loop->RunTicks(action.ticks);
        } else if (!window->Deliver(action, loop, &why)) {
            *error = options.inputPath + ":" + std::to_string(action.line) + ": " + why;
            return false;
        }
        ++result->inputs;
        loop->RunTicks(1);
    }
    return true;
}

// From the editor's window to its closing: opening, input, play, capture.
bool DriveEditor(HostSession* session, PlayRun* run, const EditorOptions& options, EditorResult* result,
                 std::string* error, int* failure)
{
    if (!(session->Effect()->flags & effFlagsHasEditor)) {
        *error = "the plug-in has no editor (effFlagsHasEditor is not set)";
        *failure = EExitCode_Unusable;
        return false;
    }
    int width = 0, height = 0;
    bool sized = QueryEditorSize(session, &width, &height);
    std::string name = session->QueryString(effGetEffectName);
    EditorWindow window;
    if (!window.Create(sized ? width : FALLBACK_WIDTH, sized ? height : FALLBACK_HEIGHT,
                       (name.empty() ? std::string("plug-in") : name) + " - tarvo-host", error))
        return false;
    UserInterfaceLoop loop(session, &window);

    VstIntPtr answer = session->Dispatch(effEditOpen, 0, 0, window.ParentHandle());
    loop.RunTicks(1);
    result->opened = answer != 0 || window.HasChildWindow();
    if (!result->opened) {
        *error = "the plug-in did not open its editor: effEditOpen answered 0 and no window appeared in the host's";
        return false;
    }
    if (answer == 0) ReportWarning("effEditOpen answered 0, but the plug-in opened its window in the host's");

    // Some plug-ins know their size only once the editor is open.
    int openWidth = 0, openHeight = 0;
    if (QueryEditorSize(session, &openWidth, &openHeight)) {
        if (!sized || openWidth != width || openHeight != height) window.Resize(openWidth, openHeight);
        width = openWidth;
        height = openHeight;
        sized = true;
    }
    bool ok = true;
    if (sized) {
        result->width = width;
        result->height = height;
    } else {
        *error = "the plug-in reports no editor size (effEditGetRect gave no rectangle)";
        ok = false;
    }
    for (size_t i = 0; ok && i < options.inputs.size(); ++i) {
        std::string why;
        if (!EditorInputFits(options.inputs[i], width, height, &why)) {
            *error = options.inputPath + ":" + std::to_string(options.inputs[i].line) + ": " + why;
            ok = false;
        }
    }

    EditorAudio audio(session, run, options.BoundedPlay() ? options.play.BlockCount() : -1,
                      options.play.transport.sampleRate, options.speed);
    std::vector<int64_t> pauses;
    for (const auto& capture : options.captures) pauses.push_back(capture.first);
    audio.PauseAfter(pauses);
    if (ok && options.playing) audio.Start();
    if (ok) ok = DeliverInput(options, &window, &loop, &audio, result, error);
    // Each capture while the audio thread waits at its block.
    for (size_t i = 0; ok && i < options.captures.size(); ++i) {
        while (audio.PausedAt() != options.captures[i].first && !audio.Finished()) loop.RunTicks(1);
        if (audio.PausedAt() != options.captures[i].first) {
            *error = "--capture-at: the play run ended before block " + std::to_string(options.captures[i].first);
            ok = false;
            break;
        }
        loop.RunTicks(options.ticks);
        ok = CapturePng(&window, options.captures[i].second, error);
        ++result->captures;
        if (i + 1 >= options.captures.size() || options.captures[i + 1].first != options.captures[i].first)
            audio.Resume();
    }
    if (ok && options.BoundedPlay()) {
        while (!audio.Finished()) loop.RunTicks(1);
    }
    if (ok) loop.RunTicks(options.ticks);
    if (ok && !options.pngPath.empty()) ok = CapturePng(&window, options.pngPath, error);
    // Hosts close and open editors at any time, also while they play.
    for (int64_t i = 0; ok && i < options.reopen; ++i) {
        session->Dispatch(effEditClose);
        window.ProcessEvents();
        VstIntPtr again = session->Dispatch(effEditOpen, 0, 0, window.ParentHandle());
        loop.RunTicks(1);
        if (again == 0 && !window.HasChildWindow()) {
            *error = "the editor did not open again (reopening " + std::to_string(i + 1) + ")";
            ok = false;
        }
        ++result->reopened;
    }
    audio.Stop();
    std::string audioError;
    if (!audio.Succeeded(&audioError) && ok) {
        *error = audioError;
        ok = false;
    }
    session->Dispatch(effEditClose);
    window.ProcessEvents();
    result->dialogsAnswered = window.AnsweredDialogs();
    window.Destroy();
    if (options.playing) run->WarnUnappliedActions();
    return ok;
}
}  // namespace

int RunEditor(HostSession* session, const EditorOptions& options, std::string* report)
{
    Watchdog watchdog(options.TimeLimitSeconds());
    PlayRun run(session, options.play);
    if (!run.Prepare(options.playing)) {
        ReportError(run.Error());
        return run.ErrorCode();
    }
    if (!run.Open()) {
        std::string error = run.Error();
        int code = run.ErrorCode();
        run.Close(false);
        ReportError(error);
        return code;
    }
    EditorResult result;
    std::string error;
    int failure = EExitCode_Failure;
    bool ok = DriveEditor(session, &run, options, &result, &error, &failure);
    if (!run.Close(ok) && ok) {
        error = run.Error();
        ok = false;
    }
    if (ok && !run.WriteResults()) {
        error = run.Error();
        ok = false;
    }
    JsonWriter json;
    json.BeginObject();
    run.WriteSummaryMembers(&json);
    json.Key("editorWidth");
    json.Integer(result.width);
    json.Key("editorHeight");
    json.Integer(result.height);
    json.Key("opened");
    json.Boolean(result.opened);
    json.Key("inputs");
    json.Integer(result.inputs);
    json.Key("reopened");
    json.Integer(result.reopened);
    json.Key("captures");
    json.Integer(result.captures);
    json.Key("dialogsAnswered");
    json.Integer(result.dialogsAnswered);
    json.EndObject();
    *report = json.Text();
    if (!ok) {
        ReportError(error);
        return failure;
    }
    return EExitCode_Success;
}

std::string EditorCommand::OptionsHelp() const
{
    return std::string(EditorOptionsHelp()) + "play options:\n" + PlayOptionsHelp();
}

int EditorCommand::Run(const std::vector<std::string>& args)
{
    // Before the plug-in is loaded: its constructors may already talk to
    // the window system.
    PrepareWindowSystem();
    EditorOptions options;
    std::string error;
    if (!ParseEditorOptions(args, &options, &error)) {
        if (options.play.unusableInput) return ReportUnusable(error);
        return ReportUsageError(error, "editor PLUGIN [options]");
    }
    if (!CheckOutputFiles(options.OutputFiles())) return EExitCode_Unusable;
    HostSession session;
    if (!LoadPlugin(&session, options.play.pluginPath)) return EExitCode_Unusable;
    std::string report;
    int result = RunEditor(&session, options, &report);
    PrintReport(report);
    return result;
}
