// The value prompt's single-line entry box on X11: a small child window of
// the editor window, drawn with the raster library's text, that edits its
// text while it has the keyboard focus.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "DisplayX11.h"
#include "GuiTypes.h"
#include "ImageOutX11.h"
#include "framework/raster/RasterBitmap.h"

class TextRenderer;

// The text of an entry box, its caret and its selection; positions count
// characters, not bytes. The selection runs between the anchor and the
// caret.
class TextEntryModel {
public:
    explicit TextEntryModel(size_t maxLength) : mMaxLength(maxLength) {}

    // Caret at the end, nothing selected; cut to the maximum length.
    void SetText(const char* utf8);
    std::string Text() const { return Utf8(0, mText.size()); }
    // The UTF-8 text of the characters [start, end).
    std::string Utf8(size_t start, size_t end) const;
    size_t Length() const { return mText.size(); }
    size_t Caret() const { return mCaret; }
    size_t SelectionStart() const { return mCaret < mAnchor ? mCaret : mAnchor; }
    size_t SelectionEnd() const { return mCaret < mAnchor ? mAnchor : mCaret; }
    bool HasSelection() const { return mCaret != mAnchor; }

    void SelectAll();
    // Replaces the selection; a character beyond the maximum length is
    // refused (false).
    bool Insert(uint32_t character);
    // Removes the selection, else the character before (after) the caret.
    void Backspace();
    void Delete();
    // With extend the selection grows from its anchor, else it collapses.
    void MoveLeft(bool extend);
    void MoveRight(bool extend);
    void MoveHome(bool extend);
    void MoveEnd(bool extend);
    void SetCaret(size_t position, bool extend);

private:
    void RemoveSelection();

    std::u32string mText;
    size_t mCaret = 0;
    size_t mAnchor = 0;
    size_t mMaxLength;
};

class EditBoxX11 {
public:
    enum KeyResult {
        KeyResult_Edited = 0,
        KeyResult_Enter = 1,
        KeyResult_Escape = 2
    };
    static constexpr int FONT_HEIGHT = 14;

    EditBoxX11(size_t maxLength);
    ~EditBoxX11();

    // A child of parent over rect (parent pixels) holding the text, all of
    // it selected. False, with nothing created, on failure.
    bool Create(Display* pDisplay, Window parent, Visual* pVisual, int depth, Colormap colormap,
                const ControlRect& rect, const char* text);
    Window GetWindow() const { return mWindow; }
    // Asks the server for the keyboard focus; FocusIn tells when it came.
    void TakeFocus();
    bool HasFocus() const { return mFocused; }

    KeyResult HandleKey(XKeyEvent& event);
    // A press inside the box puts the caret at the nearest character
    // boundary (shift extends the selection).
    void HandleButton(const XButtonEvent& event);
    void HandleFocus(bool gained);
    void Paint();

    std::string Text(int maxLength) const;
    void SetText(const char* text);
    const TextEntryModel& Model() const { return mModel; }

private:
    EditBoxX11(const EditBoxX11&) = delete;
    EditBoxX11& operator=(const EditBoxX11&) = delete;

    int TextWidth(size_t start, size_t end);
    // The x of the text's first pixel in the box, scrolled so that the
    // caret shows.
    int TextStartX();

    TextEntryModel mModel;
    std::unique_ptr<TextRenderer> mpRenderer;
    MemoryBitmap mBitmap;
    ImageOutX11 mImageOut;
    Display* mpDisplay = nullptr;
    Window mWindow = 0;
    GC mGc = nullptr;
    Cursor mCursor = 0;
    bool mFocused = false;
    int mScroll = 0;
};
