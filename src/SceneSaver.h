// What "Save scene" does: makes the folder its dialog opens in, takes the
// processor's state under the plug-in lock once a file is chosen, and
// writes the scene file without it (to a temporary name first, so that a
// failed save leaves an older file whole). ".fxp" is added to a name typed
// without extension; as the dialog asked before replacing the name typed,
// not the one with ".fxp", an existing file of that name is left alone
// and the user told.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/gui/IFileSelectorControl.h"

class IMessageLine;
class Tarvo;

class SceneSaver : public IFileChosenHandler {
public:
    // Both outlive the saver.
    SceneSaver(Tarvo* pPlug, IMessageLine* pMessages);

    void PrepareDialog() override;
    void OnFileDialogUnavailable(const char* problem) override;
    void OnFileChosen(const char* path) override;
    void ApplyChosenFile() override;
    void FinishChosenFile() override;

private:
    Tarvo* mpPlug;
    IMessageLine* mpMessages;
    std::string mPath;
    bool mExtensionAdded = false;
    std::vector<uint8_t> mChunk;
    bool mChunkTaken = false;
};
