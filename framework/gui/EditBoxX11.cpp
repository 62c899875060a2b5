#include "EditBoxX11.h"

#include "framework/raster/Raster.h"
#include "framework/raster/TextRenderer.h"

namespace {

const uint32_t BOX_BACKGROUND = 0xFFFFFFFFu;
const uint32_t BOX_BORDER = 0xFF7A7A7Au;
const uint32_t BOX_TEXT = 0xFF000000u;
const uint32_t SELECTION_BACKGROUND = 0xFF3399FFu;
const uint32_t SELECTION_TEXT = 0xFFFFFFFFu;
// Room between the border and the text.
const int TEXT_MARGIN = 2;

void AppendUtf8(uint32_t character, std::string* pText)
{
    if (character < 0x80) {
        pText->push_back(static_cast<char>(character));
    } else if (character < 0x800) {
        pText->push_back(static_cast<char>(0xC0 | (character >> 6)));
        pText->push_back(static_cast<char>(0x80 | (character & 0x3F)));
    } else if (character < 0x10000) {
        pText->push_back(static_cast<char>(0xE0 | (character >> 12)));
        pText->push_back(static_cast<char>(0x80 | ((character >> 6) & 0x3F)));
        pText->push_back(static_cast<char>(0x80 | (character & 0x3F)));
    } else {
        pText->push_back(static_cast<char>(0xF0 | (character >> 18)));
        pText->push_back(static_cast<char>(0x80 | ((character >> 12) & 0x3F)));
        pText->push_back(static_cast<char>(0x80 | ((character >> 6) & 0x3F)));
        pText->push_back(static_cast<char>(0x80 | (character & 0x3F)));
    }
}

TextFormat BoxFormat(uint32_t color)
{
    return MakeTextFormat("Arial", EditBoxX11::FONT_HEIGHT, color, TextFontStyle_Normal, TextAlignment_Left);
}

}  // namespace

// ---- TextEntryModel

void TextEntryModel::SetText(const char* utf8)
{
    mText.clear();
    const char* pText = utf8 ? utf8 : "";
    while (mText.size() < mMaxLength) {
        uint32_t character = TextRenderer::NextCharacter(&pText);
        if (character == 0) break;
        mText.push_back(static_cast<char32_t>(character));
    }
    mCaret = mAnchor = mText.size();
}

std::string TextEntryModel::Utf8(size_t start, size_t end) const
{
    std::string text;
    if (end > mText.size()) end = mText.size();
    for (size_t i = start; i < end; ++i) AppendUtf8(static_cast<uint32_t>(mText[i]), &text);
    return text;
}

void TextEntryModel::SelectAll()
{
    mAnchor = 0;
    mCaret = mText.size();
}

void TextEntryModel::RemoveSelection()
{
    size_t start = SelectionStart();
    mText.erase(start, SelectionEnd() - start);
    mCaret = mAnchor = start;
}

bool TextEntryModel::Insert(uint32_t character)
{
    if (character == 0) return false;
    if (!HasSelection() && mText.size() >= mMaxLength) return false;
    RemoveSelection();
    mText.insert(mText.begin() + static_cast<std::ptrdiff_t>(mCaret), static_cast<char32_t>(character));
    mCaret = mAnchor = mCaret + 1;
    return true;
}

void TextEntryModel::Backspace()
{
    if (HasSelection()) {
        RemoveSelection();
    } else if (mCaret > 0) {
        mText.erase(mCaret - 1, 1);
        mCaret = mAnchor = mCaret - 1;
    }
}

void TextEntryModel::Delete()
{
    if (HasSelection()) {
        RemoveSelection();
    } else if (mCaret < mText.size()) {
        mText.erase(mCaret, 1);
    }
}

void TextEntryModel::SetCaret(size_t position, bool extend)
{
    mCaret = position > mText.size() ? mText.size() : position;
    if (!extend) mAnchor = mCaret;
}

void TextEntryModel::MoveLeft(bool extend)
{
    // Without extend an existing selection collapses to its start.
    if (!extend && HasSelection()) {
        SetCaret(SelectionStart(), false);
    } else {
        SetCaret(mCaret > 0 ? mCaret - 1 : 0, extend);
    }
}

void TextEntryModel::MoveRight(bool extend)
{
    if (!extend && HasSelection()) {
        SetCaret(SelectionEnd(), false);
    } else {
        SetCaret(mCaret + 1, extend);
    }
}

void TextEntryModel::MoveHome(bool extend) { SetCaret(0, extend); }

void TextEntryModel::MoveEnd(bool extend) { SetCaret(mText.size(), extend); }

// ---- EditBoxX11

EditBoxX11::EditBoxX11(size_t maxLength) : mModel(maxLength), mpRenderer(new TextRenderer()) {}

EditBoxX11::~EditBoxX11()
{
    if (!mpDisplay) return;
    mImageOut.Release();
    if (mGc) XFreeGC(mpDisplay, mGc);
    if (mWindow) XDestroyWindow(mpDisplay, mWindow);
    if (mCursor) XFreeCursor(mpDisplay, mCursor);
    XFlush(mpDisplay);
}

bool EditBoxX11::Create(Display* pDisplay, Window parent, Visual* pVisual, int depth, Colormap colormap,
                        const ControlRect& rect, const char* text)
{
    if (mWindow || rect.Width() <= 0 || rect.Height() <= 0) return false;
    if (!mBitmap.Resize(rect.Width(), rect.Height())) return false;
    mpDisplay = pDisplay;
    if (!mImageOut.Init(pDisplay, pVisual, depth)) return false;
    mCursor = XCreateFontCursor(pDisplay, XC_xterm);
    XSetWindowAttributes attributes = {};
    attributes.background_pixmap = None;
    attributes.border_pixel = 0;
    attributes.colormap = colormap;
    attributes.cursor = mCursor;
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | KeyPressMask | FocusChangeMask;
    mWindow = XCreateWindow(pDisplay, parent, rect.mLeft, rect.mTop, static_cast<unsigned>(rect.Width()),
                            static_cast<unsigned>(rect.Height()), 0, depth, InputOutput, pVisual,
                            CWBackPixmap | CWBorderPixel | CWColormap | CWCursor | CWEventMask, &attributes);
    if (!mWindow) return false;
    mGc = XCreateGC(pDisplay, mWindow, 0, nullptr);
    mModel.SetText(text);
    mModel.SelectAll();
    XMapRaised(pDisplay, mWindow);
    Paint();
    return true;
}

void EditBoxX11::TakeFocus()
{
    if (mWindow) XSetInputFocus(mpDisplay, mWindow, RevertToParent, CurrentTime);
}

EditBoxX11::KeyResult EditBoxX11::HandleKey(XKeyEvent& event)
{
    char characters[32];
    KeySym symbol = NoSymbol;
    int count = XLookupString(&event, characters, sizeof characters, &symbol, nullptr);
    bool shift = (event.state & ShiftMask) != 0;
    bool control = (event.state & ControlMask) != 0;
    switch (symbol) {
    case XK_Return:
    case XK_KP_Enter:
        return KeyResult_Enter;
    case XK_Escape:
        return KeyResult_Escape;
    case XK_BackSpace:
        mModel.Backspace();
        break;
    case XK_Delete:
    case XK_KP_Delete:
        mModel.Delete();
        break;
    case XK_Left:
    case XK_KP_Left:
        mModel.MoveLeft(shift);
        break;
    case XK_Right:
    case XK_KP_Right:
        mModel.MoveRight(shift);
        break;
    case XK_Home:
    case XK_KP_Home:
        mModel.MoveHome(shift);
        break;
    case XK_End:
    case XK_KP_End:
        mModel.MoveEnd(shift);
        break;
    default:
        if (control && (symbol == XK_a || symbol == XK_A)) {
            mModel.SelectAll();
            break;
        }
        // XLookupString gives Latin-1, whose codes are Unicode's too.
        for (int i = 0; i < count && !control; ++i) {
            uint32_t character = static_cast<unsigned char>(characters[i]);
            if (character >= 0x20 && character != 0x7F) mModel.Insert(character);
        }
        break;
    }
    Paint();
    return KeyResult_Edited;
}

void EditBoxX11::HandleButton(const XButtonEvent& event)
{
    if (event.button != Button1) return;
    int startX = TextStartX();
    size_t best = 0;
    int bestDistance = -1;
    for (size_t i = 0; i <= mModel.Length(); ++i) {
        int boundary = startX + TextWidth(0, i);
        int distance = boundary > event.x ? boundary - event.x : event.x - boundary;
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    mModel.SetCaret(best, (event.state & ShiftMask) != 0);
    Paint();
}

void EditBoxX11::HandleFocus(bool gained)
{
    mFocused = gained;
    Paint();
}

int EditBoxX11::TextWidth(size_t start, size_t end)
{
    if (end <= start) return 0;
    int width = 0, height = 0;
    std::string text = mModel.Utf8(start, end);
    if (!mpRenderer->MeasureText(BoxFormat(BOX_TEXT), text.c_str(), &width, &height)) return 0;
    return width;
}

int EditBoxX11::TextStartX()
{
    int boxWidth = mBitmap.Width();
    int inner = boxWidth - 2 * TEXT_MARGIN;
    int textWidth = TextWidth(0, mModel.Length());
    // Centred while it fits, as the prompt's text is.
    if (textWidth <= inner) {
        mScroll = 0;
        return (boxWidth - textWidth) / 2;
    }
    int caretX = TextWidth(0, mModel.Caret());
    if (caretX - mScroll < 0) mScroll = caretX;
    if (caretX - mScroll > inner - 1) mScroll = caretX - inner + 1;
    if (mScroll > textWidth - inner + 1) mScroll = textWidth - inner + 1;
    if (mScroll < 0) mScroll = 0;
    return TEXT_MARGIN - mScroll;
}

void EditBoxX11::Paint()
{
    if (!mWindow) return;
    int width = mBitmap.Width(), height = mBitmap.Height();
    Raster::FillRect(mBitmap, RasterRect{0, 0, width, height}, BOX_BACKGROUND, RasterBlend_Plain);
    int startX = TextStartX();
    int top = (height - FONT_HEIGHT) / 2;
    size_t selectionStart = mModel.SelectionStart(), selectionEnd = mModel.SelectionEnd();
    // An unfocused box hides its selection, as a native edit does.
    bool showSelection = mFocused && mModel.HasSelection();
    if (!showSelection) selectionStart = selectionEnd = mModel.Length();
    int x = startX;
    struct Run {
        size_t start, end;
        bool selected;
    } runs[3] = {
        {0, selectionStart, false}, {selectionStart, selectionEnd, true}, {selectionEnd, mModel.Length(), false}};
    for (const Run& run : runs) {
        if (run.end <= run.start) continue;
        int runWidth = TextWidth(run.start, run.end);
        if (run.selected) {
            Raster::FillRect(mBitmap, RasterRect{x, top, x + runWidth, top + FONT_HEIGHT}, SELECTION_BACKGROUND,
                             RasterBlend_Plain);
        }
        std::string text = mModel.Utf8(run.start, run.end);
        mpRenderer->DrawTextInRect(mBitmap, BoxFormat(run.selected ? SELECTION_TEXT : BOX_TEXT), text.c_str(),
                                   RasterRect{x, top, x + runWidth + FONT_HEIGHT, top + FONT_HEIGHT});
        x += runWidth;
    }
    if (mFocused && !mModel.HasSelection()) {
        int caretX = startX + TextWidth(0, mModel.Caret());
        Raster::FillRect(mBitmap, RasterRect{caretX, top, caretX + 1, top + FONT_HEIGHT}, BOX_TEXT, RasterBlend_Plain);
    }
    Raster::FillRect(mBitmap, RasterRect{0, 0, width, 1}, BOX_BORDER, RasterBlend_Plain);
    Raster::FillRect(mBitmap, RasterRect{0, height - 1, width, height}, BOX_BORDER, RasterBlend_Plain);
    Raster::FillRect(mBitmap, RasterRect{0, 0, 1, height}, BOX_BORDER, RasterBlend_Plain);
    Raster::FillRect(mBitmap, RasterRect{width - 1, 0, width, height}, BOX_BORDER, RasterBlend_Plain);
    mImageOut.Put(mWindow, mGc, mBitmap, 0, 0, width, height);
}

std::string EditBoxX11::Text(int maxLength) const
{
    size_t length = mModel.Length();
    if (maxLength >= 0 && length > static_cast<size_t>(maxLength)) length = static_cast<size_t>(maxLength);
    return mModel.Utf8(0, length);
}

void EditBoxX11::SetText(const char* text)
{
    mModel.SetText(text);
    Paint();
}
