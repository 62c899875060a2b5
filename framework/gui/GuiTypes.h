// The small records the editor's controls and its drawing surface pass
// around: rectangles, mouse modifiers, blending, colours, text styles,
// bitmap references and key numbers.
#pragma once

#include <cstdint>
#include <cstring>

class RasterBitmap;

// A pixel rectangle of the editor: left and top inside, right and bottom
// outside. All four 0 is the empty rect.
struct ControlRect {
    int32_t mLeft = 0;
    int32_t mTop = 0;
    int32_t mRight = 0;
    int32_t mBottom = 0;

    ControlRect() {}
    ControlRect(int left, int top, int right, int bottom) : mLeft(left), mTop(top), mRight(right), mBottom(bottom) {}

    int Width() const { return mRight - mLeft; }
    int Height() const { return mBottom - mTop; }
    int MidX() const { return (mLeft + mRight) / 2; }
    int MidY() const { return (mTop + mBottom) / 2; }
    bool Empty() const { return mLeft == 0 && mTop == 0 && mRight == 0 && mBottom == 0; }
    bool Contains(int x, int y) const { return x >= mLeft && x < mRight && y >= mTop && y < mBottom; }
    // True when both rects are non-empty and share at least one pixel.
    bool Intersects(const ControlRect& other) const
    {
        if (Empty() || other.Empty()) return false;
        return mLeft < other.mRight && other.mLeft < mRight && mTop < other.mBottom && other.mTop < mBottom;
    }
    // The smallest rect holding both; an empty rect adds nothing.
    ControlRect Union(const ControlRect& other) const
    {
        if (Empty()) return other;
        if (other.Empty()) return *this;
        return ControlRect(mLeft < other.mLeft ? mLeft : other.mLeft, mTop < other.mTop ? mTop : other.mTop,
                           mRight > other.mRight ? mRight : other.mRight,
                           mBottom > other.mBottom ? mBottom : other.mBottom);
    }
    bool operator==(const ControlRect& other) const
    {
        return mLeft == other.mLeft && mTop == other.mTop && mRight == other.mRight && mBottom == other.mBottom;
    }
    bool operator!=(const ControlRect& other) const { return !(*this == other); }
};

// The buttons and modifier keys held during a mouse event.
struct MouseMods {
    bool mLeft = false;
    bool mRight = false;
    bool mShift = false;
    bool mControl = false;
    bool mAlt = false;

    MouseMods() {}
    MouseMods(bool left, bool right, bool shift = false, bool control = false, bool alt = false)
        : mLeft(left), mRight(right), mShift(shift), mControl(control), mAlt(alt)
    {
    }
};

// How a bitmap or a shape is composited onto the surface. The method
// numbers are the raster library's copy modes.
enum BlendMethod {
    BlendMethod_Alpha = 0,  // copy using the source's alpha
    BlendMethod_Plain = 1,  // copy as it is, alpha ignored
    BlendMethod_Add = 2,
    BlendMethod_Dodge = 3
};

struct BlendMode {
    int32_t mMethod = BlendMethod_Alpha;
    float mWeight = 1.0f;  // opacity 0..1

    BlendMode() {}
    BlendMode(int method, float weight) : mMethod(method), mWeight(weight) {}
};

struct Color {
    int32_t mAlpha = 255;
    int32_t mRed = 0;
    int32_t mGreen = 0;
    int32_t mBlue = 0;

    Color() {}
    Color(int alpha, int red, int green, int blue) : mAlpha(alpha), mRed(red), mGreen(green), mBlue(blue) {}

    // The raster library's 0xAARRGGBB form.
    uint32_t Packed() const
    {
        return (static_cast<uint32_t>(mAlpha) & 0xFFu) << 24 | (static_cast<uint32_t>(mRed) & 0xFFu) << 16 |
               (static_cast<uint32_t>(mGreen) & 0xFFu) << 8 | (static_cast<uint32_t>(mBlue) & 0xFFu);
    }
    static Color FromPacked(uint32_t packed)
    {
        return Color(static_cast<int>(packed >> 24), static_cast<int>((packed >> 16) & 0xFFu),
                     static_cast<int>((packed >> 8) & 0xFFu), static_cast<int>(packed & 0xFFu));
    }
    bool operator==(const Color& other) const
    {
        return mAlpha == other.mAlpha && mRed == other.mRed && mGreen == other.mGreen && mBlue == other.mBlue;
    }
    bool operator!=(const Color& other) const { return !(*this == other); }
};

enum FontStyle {
    FontStyle_Normal = 0,
    FontStyle_Bold = 1,
    FontStyle_Italic = 2
};

enum TextAlign {
    TextAlign_Left = 0,
    TextAlign_Centre = 1,
    TextAlign_Right = 2
};

// A font and how text sits in its rect; 64 bytes, copied by value.
struct TextStyle {
    static constexpr int MAX_FONT_NAME_LEN = 32;

    char mFontName[MAX_FONT_NAME_LEN];
    int32_t mSize;
    Color mColor;
    int32_t mStyle;        // FontStyle
    int32_t mAlignment;    // TextAlign
    int32_t mOrientation;  // degrees, counter-clockwise

    TextStyle(const char* fontName = "Arial", int size = 14, const Color& color = Color(255, 0, 0, 0),
              int style = FontStyle_Normal, int alignment = TextAlign_Left, int orientation = 0)
        : mSize(size), mColor(color), mStyle(style), mAlignment(alignment), mOrientation(orientation)
    {
        std::memset(mFontName, 0, sizeof mFontName);
        std::strncpy(mFontName, fontName ? fontName : "", MAX_FONT_NAME_LEN - 1);
    }
};
static_assert(sizeof(TextStyle) == 64, "TextStyle is a 64-byte record");

// An image of the bitmap cache with its size and the number of frames
// stacked vertically in it. The image belongs to the cache.
struct BitmapRef {
    RasterBitmap* mpImage = nullptr;
    int32_t mWidth = 0;
    int32_t mHeight = 0;  // of the whole image, all frames
    int32_t mFrames = 1;

    BitmapRef() {}
    BitmapRef(RasterBitmap* pImage, int width, int height, int frames)
        : mpImage(pImage), mWidth(width), mHeight(height), mFrames(frames)
    {
    }
    int FrameHeight() const { return mFrames > 0 ? mHeight / mFrames : mHeight; }
};

// Keys as controls receive them; the window maps its key codes onto these.
enum EKey {
    EKey_None = -1,
    EKey_Space = 0,
    EKey_Up = 1,
    EKey_Down = 2,
    EKey_Left = 3,
    EKey_Right = 4,
    EKey_Digit0 = 5,  // digits 0..9 are 5..14
    EKey_A = 15       // letters a..z (either case) are 15..40
};

// The key number of a Windows virtual-key code (X11 maps its key symbols
// to the same codes first): space, the arrows, digits and letters, the
// latter also in their lower-case codes; EKey_None for every other key.
inline int KeyFromVirtualKey(int code)
{
    switch (code) {
    case 0x20:
        return EKey_Space;
    case 0x26:
        return EKey_Up;
    case 0x28:
        return EKey_Down;
    case 0x25:
        return EKey_Left;
    case 0x27:
        return EKey_Right;
    default:
        break;
    }
    if (code >= 0x30 && code <= 0x39) return EKey_Digit0 + (code - 0x30);
    if (code >= 0x41 && code <= 0x5A) return EKey_A + (code - 0x41);
    if (code >= 0x61 && code <= 0x7A) return EKey_A + (code - 0x61);
    return EKey_None;
}
