// tarvo-editor-snapshot: builds the Tarvo3 processor in this process, opens
// its editor offscreen and writes the editor's pixels as a PNG file. The
// plug-in is prepared as "tarvo-host editor" prepares it (effOpen, sample
// rate, block size, activation, --chunk-in, then --param in command-line
// order), so that a capture of the real window can be compared with this
// picture pixel for pixel: both show the same draw bitmap.
//
//   tarvo-editor-snapshot --png FILE [--chunk-in FILE] [--param INDEX=VALUE]...
//                         [--ticks N]
//
//   tarvo-editor-snapshot --png FILE [--ticks N] -- PLAY-OPTIONS...
//
// With "--", the options after it are those of "tarvo-host play" (without
// the plug-in): the processor runs that play run here, through the host's
// own session and transport, and the picture shows the editor as the run
// leaves it. A capture of "tarvo-host editor --play" with the same options
// shows the same pixels, the wall strips' last strikes included.
//
// Exit status: 0 written; 1 a file could not be read or written, or the
// editor did not open; 2 bad command line.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "session/HostSession.h"
#include "session/HostText.h"
#include "play/PlayCommand.h"
#include "play/PlayOptions.h"
#include "Tarvo.h"
#include "TarvoGui.h"
#include "framework/gui/OffscreenWindow.h"
#include "framework/plugin/VstInterface.h"

namespace {

enum EExit {
    EExit_Success = 0,
    EExit_Failure = 1,
    EExit_Usage = 2
};

const int DEFAULT_TICKS = 12;
const int MAX_TICKS = 10000;
const float SAMPLE_RATE = 44100.0f;
const int BLOCK_SIZE = 512;

struct SnapshotParam {
    int mIndex;
    float mValue;
};

struct Options {
    std::string mPngPath;
    std::string mChunkPath;
    std::vector<SnapshotParam> mParams;
    int mTicks = DEFAULT_TICKS;
    // After "--": a play run to replay before the picture.
    bool mReplay = false;
    std::vector<std::string> mPlayArgs;
};

void Usage(FILE* out)
{
    std::fputs(
        "usage: tarvo-editor-snapshot --png FILE [--chunk-in FILE] [--param INDEX=VALUE]... [--ticks N]\n"
        "       tarvo-editor-snapshot --png FILE [--ticks N] -- PLAY-OPTIONS...\n"
        "  --png FILE            where the editor's picture goes (8-bit RGBA PNG)\n"
        "  --chunk-in FILE       state chunk to load before the parameters\n"
        "  --param INDEX=VALUE   set a parameter (normalised 0..1) before the editor opens\n"
        "  --ticks N             editor timer ticks before the picture (default 12)\n"
        "  -- PLAY-OPTIONS...    replay a \"tarvo-host play\" run (its options, no plug-in) first\n",
        out);
}

int Fail(const std::string& message, int status)
{
    std::fprintf(stderr, "tarvo-editor-snapshot: %s\n", message.c_str());
    return status;
}

// A whole number from low to high, the whole text.
bool ParseCount(const std::string& text, int64_t low, int64_t high, int64_t* pValue)
{
    return ParseInt64(text, pValue) && *pValue >= low && *pValue <= high;
}

bool ParseParam(const std::string& text, SnapshotParam* pSetting)
{
    size_t equals = text.find('=');
    if (equals == std::string::npos) return false;
    int64_t index = 0;
    double value = 0.0;
    if (!ParseCount(text.substr(0, equals), 0, 1000000, &index) || !ParseDouble(text.substr(equals + 1), &value)) {
        return false;
    }
    pSetting->mIndex = static_cast<int>(index);
    pSetting->mValue = static_cast<float>(value);
    return true;
}

// 0 when parsed, else the exit status.
int ParseOptions(int argc, char** argv, Options* pOptions, std::string* pError)
{
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--") {
            pOptions->mReplay = true;
            pOptions->mPlayArgs.assign(argv + i + 1, argv + argc);
            break;
        }
        if (option == "--help" || option == "-h") {
            Usage(stdout);
            std::exit(EExit_Success);
        }
        if (i + 1 >= argc) {
            *pError = option.compare(0, 2, "--") == 0 ? option + " needs a value" : "unknown argument '" + option + "'";
            return EExit_Usage;
        }
        std::string value = argv[++i];
        if (option == "--png") {
            pOptions->mPngPath = value;
        } else if (option == "--chunk-in") {
            pOptions->mChunkPath = value;
        } else if (option == "--param") {
            SnapshotParam setting;
            if (!ParseParam(value, &setting)) {
                *pError = "--param takes INDEX=VALUE (index >= 0, value a number), not '" + value + "'";
                return EExit_Usage;
            }
            pOptions->mParams.push_back(setting);
        } else if (option == "--ticks") {
            int64_t ticks = 0;
            if (!ParseCount(value, 1, MAX_TICKS, &ticks)) {
                *pError = "--ticks takes a count from 1 to " + std::to_string(MAX_TICKS) + ", not '" + value + "'";
                return EExit_Usage;
            }
            pOptions->mTicks = static_cast<int>(ticks);
        } else {
            *pError = "unknown option '" + option + "'";
            return EExit_Usage;
        }
    }
    if (pOptions->mPngPath.empty()) {
        *pError = "--png FILE is required";
        return EExit_Usage;
    }
    if (pOptions->mReplay && (!pOptions->mChunkPath.empty() || !pOptions->mParams.empty())) {
        *pError = "with a replayed run, --chunk-in and --param belong after \"--\"";
        return EExit_Usage;
    }
    return 0;
}

bool ReadFile(const std::string& path, std::vector<unsigned char>* pBytes)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    unsigned char buffer[65536];
    size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        pBytes->insert(pBytes->end(), buffer, buffer + count);
    }
    bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

// The host side: a version, a product string, and no time information (no
// block is processed).
VstIntPtr VSTCALLBACK HostCallback(AEffect* /*pEffect*/, VstInt32 opcode, VstInt32 /*index*/, VstIntPtr /*value*/,
                                   void* ptr, float /*opt*/)
{
    switch (opcode) {
    case audioMasterVersion:
        return 2400;
    case audioMasterGetProductString:
        if (ptr) std::strcpy(static_cast<char*>(ptr), "tarvo-editor-snapshot");
        return 1;
    case audioMasterGetVendorVersion:
        return 1;
    default:
        return 0;
    }
}

AEffect* VSTCALLBACK CreateTarvo(audioMasterCallback hostCallback)
{
    // No configuration: the editor as it comes without one.
    Tarvo* pPlug = new Tarvo(hostCallback, "");
    TarvoGui::Attach(pPlug);
    pPlug->EnsureDefaultPreset();
    return pPlug->GetAEffect();
}

bool Picture(AEffect* pEffect, const Options& options, std::string* pError)
{
    Tarvo* pPlug = static_cast<Tarvo*>(static_cast<IPlugVST*>(pEffect->object));
    IGraphicsWindow* pWindow = dynamic_cast<IGraphicsWindow*>(pPlug->GetEditor());
    if (!pWindow) {
        *pError = "the editor did not open";
        return false;
    }
    if (pEffect->dispatcher(pEffect, effEditOpen, 0, 0, nullptr, 0.0f) == 0) {
        *pError = "the editor did not open";
        return false;
    }
    for (int tick = 0; tick < options.mTicks; ++tick) pWindow->Tick();
    bool ok = WriteScreenshot(*pWindow, options.mPngPath.c_str());
    if (!ok) *pError = "--png: cannot write '" + options.mPngPath + "'";
    pEffect->dispatcher(pEffect, effEditClose, 0, 0, nullptr, 0.0f);
    return ok;
}

// The play run of the options after "--", then the picture.
int Replay(const Options& options)
{
    std::vector<std::string> args(1, "Tarvo3");
    args.insert(args.end(), options.mPlayArgs.begin(), options.mPlayArgs.end());
    PlayOptions play;
    std::string error;
    if (!ParsePlayOptions(args, &play, &error)) {
        Usage(stderr);
        return Fail(error, EExit_Usage);
    }
    HostSession session;
    if (!session.LoadEntry(CreateTarvo, &error)) return Fail(error, EExit_Failure);
    PlayRun run(&session, play);
    bool ok = run.Prepare(true) && run.Open();
    for (int64_t block = 0; ok && block < play.BlockCount(); ++block) ok = run.RunBlock();
    error = run.Error();
    if (ok) ok = Picture(session.Effect(), options, &error);
    run.Close(false);
    return ok ? EExit_Success : Fail(error, EExit_Failure);
}

VstIntPtr Dispatch(AEffect* pEffect, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                   float opt = 0.0f)
{
    return pEffect->dispatcher(pEffect, opcode, index, value, ptr, opt);
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    std::string error;
    int status = ParseOptions(argc, argv, &options, &error);
    if (status != 0) {
        Usage(stderr);
        return Fail(error, status);
    }
    if (options.mReplay) return Replay(options);
    std::vector<unsigned char> chunk;
    if (!options.mChunkPath.empty() && !ReadFile(options.mChunkPath, &chunk)) {
        return Fail("--chunk-in: cannot read '" + options.mChunkPath + "'", EExit_Failure);
    }

    Tarvo* pPlug = new Tarvo(HostCallback, "");
    TarvoGui::Attach(pPlug);
    pPlug->EnsureDefaultPreset();
    AEffect* pEffect = pPlug->GetAEffect();
    Dispatch(pEffect, effOpen);
    Dispatch(pEffect, effSetSampleRate, 0, 0, nullptr, SAMPLE_RATE);
    Dispatch(pEffect, effSetBlockSize, 0, BLOCK_SIZE);
    Dispatch(pEffect, effMainsChanged, 0, 1);
    if (!options.mChunkPath.empty()) {
        // The chunk is read by the plug-in during the call; an empty file is
        // passed as no data, as the host does.
        Dispatch(pEffect, effSetChunk, 0, static_cast<VstIntPtr>(chunk.size()), chunk.empty() ? nullptr : chunk.data());
    }
    for (const SnapshotParam& setting : options.mParams) pEffect->setParameter(pEffect, setting.mIndex, setting.mValue);

    bool ok = Picture(pEffect, options, &error);
    Dispatch(pEffect, effMainsChanged, 0, 0);
    Dispatch(pEffect, effClose);
    return ok ? EExit_Success : Fail(error, EExit_Failure);
}
