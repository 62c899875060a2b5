#include "SceneSaver.h"

#include "IMessageLine.h"
#include "SceneFile.h"
#include "SceneMessages.h"
#include "Tarvo.h"
#include "UserFiles.h"

SceneSaver::SceneSaver(Tarvo* pPlug, IMessageLine* pMessages) : mpPlug(pPlug), mpMessages(pMessages) {}

void SceneSaver::PrepareDialog()
{
    // The user's scene folder is made the first time it is needed; when it
    // cannot be, the dialog opens where the system likes.
    const std::string& folder = mpPlug->Folders().UserSceneFolder();
    if (!folder.empty()) UserFiles::MakeFolders(folder);
}

void SceneSaver::OnFileDialogUnavailable(const char* problem)
{
    mpMessages->ShowProblem(SceneMessages::NoFileDialog(problem).c_str());
}

void SceneSaver::OnFileChosen(const char* path)
{
    mPath = SceneFile::WithExtension(path);
    mExtensionAdded = mPath != path;
}

void SceneSaver::ApplyChosenFile() { mChunkTaken = mpPlug->SaveScene(&mChunk); }

void SceneSaver::FinishChosenFile()
{
    const AEffect* pEffect = mpPlug->GetAEffect();
    if (mExtensionAdded && UserFiles::Exists(mPath)) {
        mpMessages->ShowProblem(SceneMessages::Exists(SceneFile::NameOf(mPath) + SceneFile::EXTENSION).c_str());
    } else if (mChunkTaken && SceneFile::Write(mPath, pEffect->uniqueID, pEffect->version, mChunk)) {
        mpMessages->ShowConfirmation(SceneMessages::Saved(SceneFile::NameOf(mPath)).c_str());
    } else {
        mpMessages->ShowProblem(SceneMessages::NOT_SAVED);
    }
    mChunkTaken = false;
}
