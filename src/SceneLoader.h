// What "Load scene" does with the file its dialog chose: reads and checks
// it on the editor's thread without the plug-in lock, then hands the state
// to the processor as the host's effSetChunk would (Tarvo::LoadScene). A
// file that is not a scene of this plug-in changes nothing and is refused
// on the message line.
#pragma once

#include <string>

#include "SceneFile.h"
#include "framework/gui/IFileSelectorControl.h"

class IMessageLine;
class Tarvo;

class SceneLoader : public IFileChosenHandler {
public:
    // Both outlive the loader.
    SceneLoader(Tarvo* pPlug, IMessageLine* pMessages);

    void OnFileDialogUnavailable(const char* problem) override;
    void OnFileChosen(const char* path) override;
    void ApplyChosenFile() override;

private:
    Tarvo* mpPlug;
    IMessageLine* mpMessages;
    SceneFile mFile;
    SceneFile::EProblem mProblem = SceneFile::EProblem_Unreadable;
    std::string mName;
};
