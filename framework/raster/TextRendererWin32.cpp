// Text with GDI. GDI draws no alpha, so each text is drawn white on black
// into a private DIB section and the grey levels are then used as coverage
// to composite the format's colour into the bitmap. Grey-scale antialiasing
// (not ClearType) keeps that coverage one value per pixel, which stays right
// on the editor's semi-transparent layers.
#include "TextRenderer.h"

#include <windows.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "DibSectionWin32.h"
#include "Raster.h"
#include "TextLayout.h"

struct TextRendererState {
    CRITICAL_SECTION lock;
    HDC dc = nullptr;
    HGDIOBJ font = nullptr;
    HGDIOBJ previousFont = nullptr;
    TextFormat fontKey;
    HGDIOBJ section = nullptr;
    HGDIOBJ previousBitmap = nullptr;
    uint8_t* pBits = nullptr;
    int sectionWidth = 0;
    int sectionHeight = 0;
};

namespace {

class StateLock {
public:
    explicit StateLock(TextRendererState& state) : mState(state) { EnterCriticalSection(&mState.lock); }
    ~StateLock() { LeaveCriticalSection(&mState.lock); }

private:
    StateLock(const StateLock&) = delete;
    StateLock& operator=(const StateLock&) = delete;
    TextRendererState& mState;
};

// Selects object into the state's DC in place of *pCurrent, which is
// deleted. The DC's own object from before the first one goes to
// *pOriginal, to be selected again before the DC is deleted.
void SelectInPlace(TextRendererState& state, HGDIOBJ object, HGDIOBJ* pCurrent, HGDIOBJ* pOriginal)
{
    HGDIOBJ previous = SelectObject(state.dc, object);
    if (*pCurrent) {
        DeleteObject(*pCurrent);
    } else {
        *pOriginal = previous;
    }
    *pCurrent = object;
}

bool SameFont(const TextFormat& a, const TextFormat& b)
{
    return std::strncmp(a.fontName, b.fontName, sizeof(a.fontName)) == 0 && a.size == b.size && a.style == b.style &&
           a.orientation == b.orientation;
}

bool SelectFont(TextRendererState& state, const TextFormat& format)
{
    if (state.font && SameFont(state.fontKey, format)) {
        return true;
    }
    LOGFONTW description;
    std::memset(&description, 0, sizeof(description));
    description.lfHeight = format.size;
    description.lfEscapement = (format.orientation % 360) * 10;
    description.lfOrientation = description.lfEscapement;
    description.lfWeight = format.style == TextFontStyle_Bold ? FW_BOLD : FW_NORMAL;
    description.lfItalic = format.style == TextFontStyle_Italic ? TRUE : FALSE;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfOutPrecision = OUT_TT_PRECIS;
    description.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    description.lfQuality = ANTIALIASED_QUALITY;
    description.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    char name[sizeof(format.fontName) + 1];
    std::memcpy(name, format.fontName, sizeof(format.fontName));
    name[sizeof(format.fontName)] = 0;
    if (MultiByteToWideChar(CP_UTF8, 0, name, -1, description.lfFaceName, LF_FACESIZE) == 0) {
        description.lfFaceName[0] = 0;
    }
    HFONT font = CreateFontIndirectW(&description);
    if (!font) {
        return false;
    }
    SelectInPlace(state, font, &state.font, &state.previousFont);
    state.fontKey = format;
    return true;
}

bool EnsureSection(TextRendererState& state, int width, int height)
{
    if (state.section && state.sectionWidth >= width && state.sectionHeight >= height) {
        return true;
    }
    width = width > state.sectionWidth ? width : state.sectionWidth;
    height = height > state.sectionHeight ? height : state.sectionHeight;
    void* pBits = nullptr;
    HBITMAP section = CreateTopDownSection(state.dc, width, height, &pBits);
    if (!section) {
        return false;
    }
    SelectInPlace(state, section, &state.section, &state.previousBitmap);
    state.pBits = static_cast<uint8_t*>(pBits);
    state.sectionWidth = width;
    state.sectionHeight = height;
    return true;
}

// The text as UTF-16 lines, decoded as TextRenderer::NextCharacter reads it.
std::vector<std::wstring> SplitLines(const char* text)
{
    std::vector<std::wstring> lines(1);
    const char* p = text;
    for (uint32_t character = TextRenderer::NextCharacter(&p); character != 0;
         character = TextRenderer::NextCharacter(&p)) {
        if (character == '\n') {
            lines.emplace_back();
        } else if (character < 0x20) {
            continue;
        } else if (character >= 0x10000) {
            character -= 0x10000;
            lines.back().push_back(static_cast<wchar_t>(0xD800 + (character >> 10)));
            lines.back().push_back(static_cast<wchar_t>(0xDC00 + (character & 0x3FF)));
        } else {
            lines.back().push_back(static_cast<wchar_t>(character));
        }
    }
    return lines;
}

int LineWidth(HDC dc, const std::wstring& line)
{
    SIZE extent = {0, 0};
    if (line.empty() || !GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &extent)) {
        return 0;
    }
    return extent.cx;
}

}  // namespace

TextRenderer::TextRenderer() : mpState(new TextRendererState())
{
    InitializeCriticalSection(&mpState->lock);
    mpState->dc = CreateCompatibleDC(nullptr);
}

TextRenderer::~TextRenderer()
{
    if (mpState->dc) {
        if (mpState->font) {
            SelectObject(mpState->dc, mpState->previousFont);
            DeleteObject(mpState->font);
        }
        if (mpState->section) {
            SelectObject(mpState->dc, mpState->previousBitmap);
            DeleteObject(mpState->section);
        }
        DeleteDC(mpState->dc);
    }
    DeleteCriticalSection(&mpState->lock);
}

bool TextRenderer::MeasureLines(const TextFormat& format, const char* text, int* pWidest, int* pLineHeight)
{
    StateLock lock(*mpState);
    if (!mpState->dc || !SelectFont(*mpState, format)) {
        return false;
    }
    TEXTMETRICW metrics;
    if (!GetTextMetricsW(mpState->dc, &metrics)) {
        return false;
    }
    int widest = 0;
    for (const std::wstring& line : SplitLines(text)) {
        int width = LineWidth(mpState->dc, line);
        widest = width > widest ? width : widest;
    }
    *pWidest = widest;
    *pLineHeight = metrics.tmHeight;
    return true;
}

bool TextRenderer::DrawLines(RasterBitmap& dest, const TextFormat& format, const char* text, const RasterRect& rect,
                             bool clipToRect)
{
    StateLock lock(*mpState);
    HDC dc = mpState->dc;
    if (!dc || !SelectFont(*mpState, format)) {
        return false;
    }
    TEXTMETRICW metrics;
    if (!GetTextMetricsW(dc, &metrics)) {
        return false;
    }
    std::vector<std::wstring> lines = SplitLines(text);

    TextLayout::TextTurn turn(format.orientation);

    // Where each line starts (its cell's top-left corner, turned about the
    // rect's top-left), and the area all lines can ink: their turned boxes
    // widened by a margin for overhangs of italics and glyph bearings.
    double margin = metrics.tmHeight / 2 + metrics.tmOverhang + 2;
    std::vector<double> startX(lines.size());
    std::vector<double> startY(lines.size());
    double minX = 1e300;
    double minY = 1e300;
    double maxX = -1e300;
    double maxY = -1e300;
    for (size_t i = 0; i < lines.size(); ++i) {
        double width = LineWidth(dc, lines[i]);
        double offsetX = TextLayout::AlignedOffset(format, rect, width);
        double offsetY = double(i) * metrics.tmHeight;
        const double cornersX[4] = {offsetX - margin, offsetX + width + margin, offsetX - margin,
                                    offsetX + width + margin};
        const double cornersY[4] = {offsetY - margin, offsetY - margin, offsetY + metrics.tmHeight + margin,
                                    offsetY + metrics.tmHeight + margin};
        for (int k = 0; k < 4; ++k) {
            double x = turn.ScreenX(rect, cornersX[k], cornersY[k]);
            double y = turn.ScreenY(rect, cornersX[k], cornersY[k]);
            minX = x < minX ? x : minX;
            maxX = x > maxX ? x : maxX;
            minY = y < minY ? y : minY;
            maxY = y > maxY ? y : maxY;
        }
        startX[i] = turn.ScreenX(rect, offsetX, offsetY);
        startY[i] = turn.ScreenY(rect, offsetX, offsetY);
    }

    // Only the visible part of that area is rendered, which also bounds the
    // scratch section by the bitmap's size.
    RasterRect clip = {0, 0, dest.Width(), dest.Height()};
    if (clipToRect) {
        clip.left = rect.left > 0 ? rect.left : 0;
        clip.top = rect.top > 0 ? rect.top : 0;
        clip.right = rect.right < clip.right ? rect.right : clip.right;
        clip.bottom = rect.bottom < clip.bottom ? rect.bottom : clip.bottom;
    }
    double left = std::floor(minX) > clip.left ? std::floor(minX) : clip.left;
    double top = std::floor(minY) > clip.top ? std::floor(minY) : clip.top;
    double right = std::ceil(maxX) < clip.right ? std::ceil(maxX) : clip.right;
    double bottom = std::ceil(maxY) < clip.bottom ? std::ceil(maxY) : clip.bottom;
    if (left >= right || top >= bottom) {
        return true;
    }
    int areaLeft = static_cast<int>(left);
    int areaTop = static_cast<int>(top);
    int areaWidth = static_cast<int>(right - left);
    int areaHeight = static_cast<int>(bottom - top);
    if (!EnsureSection(*mpState, areaWidth, areaHeight)) {
        return false;
    }
    GdiFlush();
    size_t stride = size_t(mpState->sectionWidth) * 4;
    for (int row = 0; row < areaHeight; ++row) {
        std::memset(mpState->pBits + row * stride, 0, size_t(areaWidth) * 4);
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    SetTextAlign(dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty()) {
            continue;
        }
        double x = std::floor(startX[i] - areaLeft + 0.5);
        double y = std::floor(startY[i] - areaTop + 0.5);
        // GDI coordinates are limited to 27 bits; such a line is far off the
        // visible area anyway.
        if (std::fabs(x) > 100000000.0 || std::fabs(y) > 100000000.0) {
            continue;
        }
        TextOutW(dc, static_cast<int>(x), static_cast<int>(y), lines[i].c_str(), static_cast<int>(lines[i].size()));
    }
    GdiFlush();
    // Green byte of each BGRA pixel as the coverage.
    Raster::BlendMask(dest, areaLeft, areaTop, mpState->pBits + 1, areaWidth, areaHeight,
                      static_cast<ptrdiff_t>(stride), 4, format.color, clip);
    return true;
}
