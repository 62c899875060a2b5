#include "SceneLoader.h"

#include "IMessageLine.h"
#include "SceneMessages.h"
#include "Tarvo.h"

SceneLoader::SceneLoader(Tarvo* pPlug, IMessageLine* pMessages) : mpPlug(pPlug), mpMessages(pMessages) {}

void SceneLoader::OnFileDialogUnavailable(const char* problem)
{
    mpMessages->ShowProblem(SceneMessages::NoFileDialog(problem).c_str());
}

void SceneLoader::OnFileChosen(const char* path)
{
    mName = SceneFile::NameOf(path);
    mProblem = mFile.Read(path, mpPlug->GetAEffect()->uniqueID);
}

void SceneLoader::ApplyChosenFile()
{
    if (mProblem != SceneFile::EProblem_None) {
        mpMessages->ShowProblem(SceneMessages::NotLoaded(mProblem).c_str());
    } else if (!mpPlug->LoadScene(mFile.Chunk(), mFile.ChunkSize())) {
        mpMessages->ShowProblem(SceneMessages::DAMAGED);
    } else {
        mpMessages->ShowConfirmation(SceneMessages::Loaded(mName).c_str());
    }
    // Nothing of the file stays for the next choice.
    mProblem = SceneFile::EProblem_Unreadable;
}
