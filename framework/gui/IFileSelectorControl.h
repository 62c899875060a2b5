// Opens the file dialog when clicked. Each completed or cancelled
// selection toggles the value between 0 and 1, so that the bound
// parameter's handler runs every time; a chosen file goes to the file
// handler first (IFileChosenHandler).
#pragma once

#include <string>

#include "IControl.h"

// Told what becomes of the control's dialog, on the GUI thread. The calls
// come in this order, those marked "unlocked" without the plug-in lock
// (the place for file work, away from the audio thread), the others under
// it (the place to hand things to the plug-in or take them from it):
//   PrepareDialog          unlocked, before the dialog opens (its folder)
//   OnFileDialogUnavailable   when no dialog could be shown
//   OnFileChosen           unlocked, a file was chosen: read it
//   ApplyChosenFile        hand what was read to the plug-in, or take
//                          what is to be written from it
//   FinishChosenFile       unlocked: write it
// ApplyChosenFile and FinishChosenFile are skipped when the window began
// closing while the plug-in lock was let go.
class IFileChosenHandler {
public:
    virtual ~IFileChosenHandler() {}
    virtual void PrepareDialog() {}
    virtual void OnFileDialogUnavailable(const char* /*problem*/) {}
    virtual void OnFileChosen(const char* path) = 0;
    virtual void ApplyChosenFile() {}
    virtual void FinishChosenFile() {}
};

class IFileSelectorControl : public IControl {
public:
    enum State {
        State_Idle = 0,
        State_DialogOpen = 1,
        State_Finished = 2
    };
    static constexpr int ACTION_SAVE = 1;
    static constexpr int ACTION_OPEN = 0;

    IFileSelectorControl(IParamHost* pParamHost, const ControlRect& rect, int paramIdx, const BitmapRef& bitmap,
                         const char* folder, int action = ACTION_OPEN, const char* extensions = "");

    void MouseDown(int x, int y, const MouseMods& mods) override;
    // Frame 1 of the image while the dialog is open; nothing otherwise.
    bool Draw(IGraphicsLice* pGraphics) override;
    // Also once right after a selection, to take the frame away again.
    bool NeedsDraw() override;

    // The path of the last selection, cut to size - 1 characters.
    void LastChosenFile(char* path, int size) const;
    const char* LastChosenFile() const { return mLastFile.c_str(); }
    int GetState() const { return mState; }
    void SetFolder(const char* folder) { mFolder = folder ? folder : ""; }
    // Null for none; the handler outlives the control.
    void SetFileChosenHandler(IFileChosenHandler* pHandler) { mpFileChosenHandler = pHandler; }

protected:
    BitmapRef mBitmap;
    std::string mFolder;
    std::string mLastFile;
    std::string mExtensions;
    int mAction;
    int mState = State_Idle;
    IFileChosenHandler* mpFileChosenHandler = nullptr;
};
