// tarvo-scene-base: the state a factory scene starts from, for the two
// things a host cannot set through parameters: a scale file's notes in the
// four scale slots (as the editor's "Load scale" leaves them) and the
// sequencer's accent levels (as drawn on the step canvas). It builds the
// processor in this process, applies them through the processor's own
// operations and writes the state chunk, which "tarvo-host play --chunk-in"
// loads before the scene's script sets everything else.
//
//   tarvo-scene-base --chunk-out FILE [--scale FILE] [--accents L1,L2,...]
//
// --accents takes up to 32 levels from 0 to 255 for steps 1, 2, ... (128
// leaves a note's velocity as it is, 255 nearly doubles it); the steps not
// named keep 128.
//
// Exit status: 0 written; 1 a file could not be read or written; 2 bad
// command line.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ScaleFile.h"
#include "SequencerState.h"
#include "Tarvo.h"
#include "framework/plugin/VstInterface.h"

namespace {

enum EExit {
    EExit_Success = 0,
    EExit_Failure = 1,
    EExit_Usage = 2
};

int Fail(const std::string& message, int status)
{
    std::fprintf(stderr, "tarvo-scene-base: %s\n", message.c_str());
    if (status == EExit_Usage) {
        std::fputs("usage: tarvo-scene-base --chunk-out FILE [--scale FILE] [--accents L1,L2,...]\n", stderr);
    }
    return status;
}

VstIntPtr VSTCALLBACK HostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

// "L1,L2,..." into levels 0..255, at most one per sequencer step.
bool ParseAccents(const std::string& text, std::vector<int>* pLevels)
{
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        std::string word = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        char* pEnd = nullptr;
        long level = std::strtol(word.c_str(), &pEnd, 10);
        if (word.empty() || *pEnd != '\0' || level < 0 || level > 255) return false;
        pLevels->push_back(static_cast<int>(level));
        if (pLevels->size() > static_cast<size_t>(SequencerState::MAX_STEPS)) return false;
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string chunkPath, scalePath;
    std::vector<int> accents;
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (i + 1 >= argc) return Fail("unknown argument or missing value: '" + option + "'", EExit_Usage);
        std::string value = argv[++i];
        if (option == "--chunk-out") {
            chunkPath = value;
        } else if (option == "--scale") {
            scalePath = value;
        } else if (option == "--accents") {
            if (!ParseAccents(value, &accents)) {
                return Fail("--accents takes up to 32 levels 0..255 separated by commas, not '" + value + "'",
                            EExit_Usage);
            }
        } else {
            return Fail("unknown option '" + option + "'", EExit_Usage);
        }
    }
    if (chunkPath.empty()) return Fail("--chunk-out FILE is required", EExit_Usage);

    // No configuration folder: the defaults, as a fresh instance has them.
    Tarvo* pPlug = new Tarvo(HostCallback, "");
    pPlug->EnsureDefaultPreset();
    AEffect* pEffect = pPlug->GetAEffect();
    pEffect->dispatcher(pEffect, effOpen, 0, 0, nullptr, 0.0f);

    int status = EExit_Success;
    std::string error;
    if (!scalePath.empty()) {
        // The scale name is the file's, as after "Load scale"; the reader
        // loads what it can, so a file that cannot be opened is checked here.
        FILE* pProbe = std::fopen(scalePath.c_str(), "rb");
        if (!pProbe) {
            error = "--scale: cannot read '" + scalePath + "'";
            status = EExit_Failure;
        } else {
            std::fclose(pProbe);
            ScaleFile file;
            file.Load(scalePath.c_str());
            if (file.mCount == 0) {
                error = "--scale: '" + scalePath + "' holds no note";
                status = EExit_Failure;
            } else {
                pPlug->LoadScaleFile(file);
            }
        }
    }
    for (size_t step = 0; step < accents.size(); ++step) pPlug->SetStepLevel(static_cast<int>(step), accents[step]);

    if (status == EExit_Success) {
        void* pData = nullptr;
        VstIntPtr size = pEffect->dispatcher(pEffect, effGetChunk, 0, 0, &pData, 0.0f);
        FILE* pOut = size > 0 && pData ? std::fopen(chunkPath.c_str(), "wb") : nullptr;
        bool written = pOut && std::fwrite(pData, 1, static_cast<size_t>(size), pOut) == static_cast<size_t>(size);
        if (pOut && std::fclose(pOut) != 0) written = false;
        if (!written) {
            error = "--chunk-out: cannot write '" + chunkPath + "'";
            status = EExit_Failure;
        }
    }
    pEffect->dispatcher(pEffect, effClose, 0, 0, nullptr, 0.0f);
    return status == EExit_Success ? status : Fail(error, status);
}
