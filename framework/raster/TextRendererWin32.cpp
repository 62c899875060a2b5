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

#include "Raster.h"

struct TextRendererState {
    CRITICAL_SECTION lock;
    HDC dc = nullptr;
    HFONT font = nullptr;
    HGDIOBJ previousFont = nullptr;
    TextFormat fontKey;
    HBITMAP section = nullptr;
    HGDIOBJ previousBitmap = nullptr;
    uint8_t* pBits = nullptr;
    int sectionWidth = 0;
    int sectionHeight = 0;
};

namespace {

const int MAX_TEXT_SIZE = 2048;

class StateLock {
public:
    explicit StateLock(TextRendererState& state) : mState(state) { EnterCriticalSection(&mState.lock); }
    ~StateLock() { LeaveCriticalSection(&mState.lock); }

private:
    StateLock(const StateLock&) = delete;
    StateLock& operator=(const StateLock&) = delete;
    TextRendererState& mState;
};

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
    HGDIOBJ previous = SelectObject(state.dc, font);
    if (state.font) {
        DeleteObject(state.font);
    } else {
        state.previousFont = previous;
    }
    state.font = font;
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
    BITMAPINFO info;
    std::memset(&info, 0, sizeof(info));
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    HBITMAP section = CreateDIBSection(state.dc, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (!section || !pBits) {
        if (section) {
            DeleteObject(section);
        }
        return false;
    }
    HGDIOBJ previous = SelectObject(state.dc, section);
    if (state.section) {
        DeleteObject(state.section);
    } else {
        state.previousBitmap = previous;
    }
    state.section = section;
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

bool UsableFormat(const TextFormat& format) { return format.size > 0 && format.size <= MAX_TEXT_SIZE; }

} // namespace

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
    delete mpState;
}

bool TextRenderer::MeasureText(const TextFormat& format, const char* text, int* pWidth, int* pHeight)
{
    if (!text || !UsableFormat(format)) {
        return false;
    }
    StateLock lock(*mpState);
    if (!mpState->dc || !SelectFont(*mpState, format)) {
        return false;
    }
    TEXTMETRICW metrics;
    if (!GetTextMetricsW(mpState->dc, &metrics)) {
        return false;
    }
    std::vector<std::wstring> lines = SplitLines(text);
    int widest = 0;
    for (const std::wstring& line : lines) {
        int width = LineWidth(mpState->dc, line);
        widest = width > widest ? width : widest;
    }
    if (pWidth) {
        *pWidth = widest;
    }
    if (pHeight) {
        *pHeight = static_cast<int>(lines.size()) * metrics.tmHeight;
    }
    return true;
}

bool TextRenderer::DrawTextInRect(RasterBitmap& dest, const TextFormat& format, const char* text,
                                  const RasterRect& rect, bool clipToRect)
{
    if (!text) {
        return false;
    }
    if (!text[0]) {
        return true;
    }
    if (!UsableFormat(format)) {
        return false;
    }
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

    int turn = format.orientation % 360;
    double radians = double(turn) * 3.14159265358979323846 / 180.0;
    double cosine = turn == 90 || turn == -90 || turn == 270 || turn == -270 ? 0.0 : std::cos(radians);
    double sine = turn == 180 || turn == -180 || turn == 0 ? 0.0 : std::sin(radians);

    // Where each line starts (its cell's top-left corner, turned about the
    // rect's top-left), and the area all lines can ink: their turned boxes
    // widened by a margin for overhangs of italics and glyph bearings.
    double rectWidth = double(int64_t(rect.right) - rect.left);
    double margin = metrics.tmHeight / 2 + metrics.tmOverhang + 2;
    std::vector<double> startX(lines.size());
    std::vector<double> startY(lines.size());
    double minX = 1e300;
    double minY = 1e300;
    double maxX = -1e300;
    double maxY = -1e300;
    for (size_t i = 0; i < lines.size(); ++i) {
        double width = LineWidth(dc, lines[i]);
        double offsetX = 0;
        if (format.alignment == TextAlignment_Centre) {
            offsetX = std::floor((rectWidth - width) / 2.0);
        } else if (format.alignment == TextAlignment_Right) {
            offsetX = std::floor(rectWidth - width);
        }
        double offsetY = double(i) * metrics.tmHeight;
        const double cornersX[4] = {offsetX - margin, offsetX + width + margin, offsetX - margin,
                                    offsetX + width + margin};
        const double cornersY[4] = {offsetY - margin, offsetY - margin, offsetY + metrics.tmHeight + margin,
                                    offsetY + metrics.tmHeight + margin};
        for (int k = 0; k < 4; ++k) {
            double x = double(rect.left) + cornersX[k] * cosine + cornersY[k] * sine;
            double y = double(rect.top) + cornersY[k] * cosine - cornersX[k] * sine;
            minX = x < minX ? x : minX;
            maxX = x > maxX ? x : maxX;
            minY = y < minY ? y : minY;
            maxY = y > maxY ? y : maxY;
        }
        startX[i] = double(rect.left) + offsetX * cosine + offsetY * sine;
        startY[i] = double(rect.top) + offsetY * cosine - offsetX * sine;
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
