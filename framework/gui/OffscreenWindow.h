// The editor window without a window system, for tests and for drawing the
// editor into a file. A program that links tarvo_gui_offscreen instead of
// the platform's tarvo_gui_native gets only such windows: OpenWindow
// succeeds with any parent and returns the window itself; the program
// drives the timer with Tick() and injects input through the Handle* entry
// points a platform uses; the prompt's edit box is a virtual one whose text
// the program sets (Offscreen(window).mEditText); menus, dialogs and message
// boxes answer from the window's script and record what they were asked.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "IGraphicsWindow.h"

// The offscreen window's answers to modal questions, and its record of what
// it was asked. Answers persist until changed.
struct OffscreenScript {
    // Answers.
    int mMenuChoice = 0;  // id the next popup menus return; 0 = dismissed
    bool mFileChosen = false;
    std::string mFilePath;
    // Not empty: no file dialog can be shown, for this reason.
    std::string mFileDialogProblem;
    bool mColourChosen = false;
    Color mColour;
    bool mAnswerYes = true;  // to Yes/No message boxes
    bool mConnected = true;  // internet connection state
    bool mUrlOpens = true;
    // Runs while a menu, dialog or message box is "open", on the GUI thread
    // and without the plug-in lock, as a native modal loop would.
    std::function<void()> mOnModal;

    // What was asked.
    int mMenusShown = 0;
    NativeMenu mLastMenu;
    int mLastMenuX = 0;
    int mLastMenuY = 0;
    int mFileDialogs = 0;
    int mLastFileAction = 0;
    std::string mLastFileFolder;
    std::string mLastFileExtensions;
    int mColourDialogs = 0;
    std::string mLastColourTitle;
    std::vector<std::string> mMessages;
    std::vector<std::string> mOpenedUrls;
    int mBlits = 0;
    ControlRect mLastBlit;

    // The prompt's edit box.
    bool mEditExists = false;
    std::string mEditText;
    ControlRect mEditRect;
    bool mEditSelectedAll = false;
};

// The window's script, from its construction to its destruction.
OffscreenScript& Offscreen(IGraphicsWindow& window);

// The draw bitmap as an 8-bit RGBA PNG file; false when it cannot be
// written.
bool WriteScreenshot(IGraphicsLice& surface, const char* path);
