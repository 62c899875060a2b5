// Text with FreeType, faces found through fontconfig.
//
// FreeType objects are not thread-safe, and two plug-in instances may draw
// on two threads, so the library, the face cache and every use of a face sit
// behind one process-wide mutex. The cache lives while any renderer exists,
// so a module that is unloaded and loaded again does not leak faces.
#include "TextRenderer.h"

#include <cmath>
#include <cstring>
#include <mutex>
#include <vector>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include "Raster.h"
#include "TextLayout.h"

namespace {

// Slant of synthesised italics (when no italic face exists): about 11
// degrees, the usual slant of oblique sans faces.
const double OBLIQUE_SHEAR = 0.2;

struct CachedFace {
    char family[32];
    int style;
    FT_Face face;  // null when no face was found; the lookup is not repeated
    bool synthesiseBold;
    bool synthesiseItalic;
};

struct FontCache {
    std::mutex mutex;
    FT_Library library = nullptr;
    std::vector<CachedFace> faces;
    int renderers = 0;
};

FontCache& Cache()
{
    // Never destroyed: renderers of other instances may still be alive while
    // static destructors run.
    static FontCache* pCache = new FontCache();
    return *pCache;
}

FT_Face OpenFace(FT_Library library, const char* family, int style)
{
    FcPattern* pPattern = FcPatternCreate();
    if (!pPattern) {
        return nullptr;
    }
    FcPatternAddString(pPattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family[0] ? family : "sans-serif"));
    FcPatternAddInteger(pPattern, FC_WEIGHT, style == TextFontStyle_Bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pPattern, FC_SLANT, style == TextFontStyle_Italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pPattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pPattern, FcMatchPattern);
    FcDefaultSubstitute(pPattern);
    FcResult result = FcResultNoMatch;
    FcPattern* pMatch = FcFontMatch(nullptr, pPattern, &result);
    FcPatternDestroy(pPattern);
    if (!pMatch) {
        return nullptr;
    }
    FT_Face face = nullptr;
    FcChar8* pFile = nullptr;
    int index = 0;
    if (FcPatternGetString(pMatch, FC_FILE, 0, &pFile) == FcResultMatch) {
        FcPatternGetInteger(pMatch, FC_INDEX, 0, &index);
        if (FT_New_Face(library, reinterpret_cast<const char*>(pFile), index, &face) != 0) {
            face = nullptr;
        }
    }
    FcPatternDestroy(pMatch);
    if (face && (!FT_IS_SCALABLE(face) || face->units_per_EM == 0)) {
        FT_Done_Face(face);
        face = nullptr;
    }
    return face;
}

// Call with the cache locked.
const CachedFace* FindFace(FontCache& cache, const TextFormat& format)
{
    if (!cache.library && FT_Init_FreeType(&cache.library) != 0) {
        cache.library = nullptr;
        return nullptr;
    }
    char family[32];
    std::memcpy(family, format.fontName, sizeof(family));
    family[sizeof(family) - 1] = 0;
    int style = format.style == TextFontStyle_Bold || format.style == TextFontStyle_Italic ? format.style
                                                                                           : TextFontStyle_Normal;
    for (const CachedFace& entry : cache.faces) {
        if (entry.style == style && std::strcmp(entry.family, family) == 0) {
            return entry.face ? &entry : nullptr;
        }
    }
    CachedFace entry;
    std::memcpy(entry.family, family, sizeof(family));
    entry.style = style;
    entry.face = OpenFace(cache.library, family, style);
    entry.synthesiseBold = entry.face && style == TextFontStyle_Bold && !(entry.face->style_flags & FT_STYLE_FLAG_BOLD);
    entry.synthesiseItalic =
        entry.face && style == TextFontStyle_Italic && !(entry.face->style_flags & FT_STYLE_FLAG_ITALIC);
    cache.faces.push_back(entry);
    return entry.face ? &cache.faces.back() : nullptr;
}

// Scales the face so that a line (ascent plus descent, as Windows measures
// them) is size pixels high, as GDI does for a positive font height.
// Returns the ascent in pixels.
bool SetLineHeight(FT_Face face, int size, double* pAscent)
{
    double ascent = face->ascender;
    double descent = -double(face->descender);
    const TT_OS2* pMetrics = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (pMetrics && pMetrics->version != 0xFFFF && pMetrics->usWinAscent + pMetrics->usWinDescent > 0) {
        ascent = pMetrics->usWinAscent;
        descent = pMetrics->usWinDescent;
    }
    if (ascent + descent <= 0) {
        return false;
    }
    double emPixels = double(size) * face->units_per_EM / (ascent + descent);
    if (FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(emPixels * 64.0)), 72, 72) != 0) {
        return false;
    }
    *pAscent = ascent * emPixels / face->units_per_EM;
    return true;
}

// Loads (and with render, rasterises) the glyph of a character in the
// face's current transform; the slot then holds its advance and image.
bool LoadCharacter(const CachedFace& entry, uint32_t character, bool render)
{
    FT_Face face = entry.face;
    FT_UInt glyph = FT_Get_Char_Index(face, character);
    if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_LIGHT) != 0) {
        return false;
    }
    if (entry.synthesiseBold) {
        FT_GlyphSlot_Embolden(face->glyph);
    }
    if (render && FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) {
        return false;
    }
    return true;
}

// Advance of one line (up to '\n' or the end) in 1/64 pixel; the face must
// have no transform.
long LineAdvance(const CachedFace& entry, const char* text)
{
    long advance = 0;
    const char* p = text;
    for (uint32_t character = TextRenderer::NextCharacter(&p); character != 0 && character != '\n';
         character = TextRenderer::NextCharacter(&p)) {
        if (character >= 0x20 && LoadCharacter(entry, character, false)) {
            advance += entry.face->glyph->advance.x;
        }
    }
    return advance;
}

// The face of a format scaled to its line height, used under the cache's
// lock for as long as this lives. Entry() is null when there is no face.
class LockedFace {
public:
    explicit LockedFace(const TextFormat& format) : mLock(Cache().mutex)
    {
        mpEntry = FindFace(Cache(), format);
        if (mpEntry && !SetLineHeight(mpEntry->face, format.size, &mAscent)) {
            mpEntry = nullptr;
        }
    }

    const CachedFace* Entry() const { return mpEntry; }
    // Pixels from a line's top to its baseline.
    double Ascent() const { return mAscent; }

private:
    LockedFace(const LockedFace&) = delete;
    LockedFace& operator=(const LockedFace&) = delete;

    std::lock_guard<std::mutex> mLock;
    const CachedFace* mpEntry = nullptr;
    double mAscent = 0;
};

}  // namespace

// FreeType's faces live in the process-wide cache: a renderer has no state
// of its own.
struct TextRendererState {};

TextRenderer::TextRenderer()
{
    FontCache& cache = Cache();
    std::lock_guard<std::mutex> lock(cache.mutex);
    ++cache.renderers;
}

TextRenderer::~TextRenderer()
{
    FontCache& cache = Cache();
    std::lock_guard<std::mutex> lock(cache.mutex);
    if (--cache.renderers > 0) {
        return;
    }
    for (CachedFace& entry : cache.faces) {
        if (entry.face) {
            FT_Done_Face(entry.face);
        }
    }
    cache.faces.clear();
    if (cache.library) {
        FT_Done_FreeType(cache.library);
        cache.library = nullptr;
    }
}

bool TextRenderer::MeasureLines(const TextFormat& format, const char* text, int* pWidest, int* pLineHeight)
{
    LockedFace locked(format);
    const CachedFace* pEntry = locked.Entry();
    if (!pEntry) {
        return false;
    }
    FT_Set_Transform(pEntry->face, nullptr, nullptr);
    long widest = 0;
    for (const char* line = text; line; line = TextLayout::NextLine(line)) {
        long advance = LineAdvance(*pEntry, line);
        widest = advance > widest ? advance : widest;
    }
    *pWidest = static_cast<int>((widest + 63) / 64);
    *pLineHeight = format.size;
    return true;
}

bool TextRenderer::DrawLines(RasterBitmap& dest, const TextFormat& format, const char* text, const RasterRect& rect,
                             bool clipToRect)
{
    LockedFace locked(format);
    const CachedFace* pEntry = locked.Entry();
    if (!pEntry) {
        return false;
    }
    FT_Face face = pEntry->face;

    TextLayout::TextTurn turn(format.orientation);
    // Glyph space has y upwards: a counter-clockwise turn there is one on
    // screen too. The shear slants synthesised italics before the turn.
    double shear = pEntry->synthesiseItalic ? OBLIQUE_SHEAR : 0.0;
    FT_Matrix matrix;
    matrix.xx = static_cast<FT_Fixed>(std::lround(turn.cosine * 65536.0));
    matrix.xy = static_cast<FT_Fixed>(std::lround((shear * turn.cosine - turn.sine) * 65536.0));
    matrix.yx = static_cast<FT_Fixed>(std::lround(turn.sine * 65536.0));
    matrix.yy = static_cast<FT_Fixed>(std::lround((shear * turn.sine + turn.cosine) * 65536.0));

    RasterRect clip = {0, 0, dest.Width(), dest.Height()};
    if (clipToRect) {
        clip = rect;
    }
    int lineIndex = 0;
    for (const char* line = text; line; line = TextLayout::NextLine(line), ++lineIndex) {
        FT_Set_Transform(face, nullptr, nullptr);
        double offsetX = TextLayout::AlignedOffset(format, rect, LineAdvance(*pEntry, line) / 64.0);
        // The pen starts on the baseline.
        double offsetY = std::floor(locked.Ascent() + 0.5) + double(lineIndex) * format.size;
        double penX = turn.ScreenX(rect, offsetX, offsetY);
        double penY = turn.ScreenY(rect, offsetX, offsetY);

        FT_Set_Transform(face, &matrix, nullptr);
        const char* p = line;
        for (uint32_t character = NextCharacter(&p); character != 0 && character != '\n';
             character = NextCharacter(&p)) {
            if (character < 0x20 || !LoadCharacter(*pEntry, character, true)) {
                continue;
            }
            FT_GlyphSlot slot = face->glyph;
            const FT_Bitmap& bitmap = slot->bitmap;
            if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY && bitmap.buffer && bitmap.width > 0 && bitmap.rows > 0) {
                const uint8_t* pTopRow = bitmap.buffer;
                if (bitmap.pitch < 0) {
                    pTopRow -= ptrdiff_t(bitmap.rows - 1) * bitmap.pitch;
                }
                double left = std::floor(penX + 0.5) + slot->bitmap_left;
                double top = std::floor(penY + 0.5) - slot->bitmap_top;
                if (std::fabs(left) < 1e9 && std::fabs(top) < 1e9) {
                    Raster::BlendMask(dest, static_cast<int>(left), static_cast<int>(top), pTopRow,
                                      static_cast<int>(bitmap.width), static_cast<int>(bitmap.rows), bitmap.pitch, 1,
                                      format.color, clip);
                }
            }
            penX += slot->advance.x / 64.0;
            penY -= slot->advance.y / 64.0;
        }
    }
    FT_Set_Transform(face, nullptr, nullptr);
    return true;
}
