// Copies regions of a raster bitmap (0xAARRGGBB pixels) into an X window.
//
// The pixels go through an image of the window's visual: a MIT-SHM segment
// shared with the server when the server offers the extension and accepts
// the segment (a local display), else a plain XImage sent with XPutImage.
// The usual 24- and 32-bit TrueColor layout (red 0xFF0000, green 0xFF00,
// blue 0xFF in 32-bit pixels) takes rows as they are, with the alpha byte
// forced opaque for 32-bit visuals; any other TrueColor or DirectColor
// layout (16-bit 565, BGR orders, other byte orders) is converted pixel by
// pixel. Other visual classes are refused.
#pragma once

#include "DisplayX11.h"

class RasterBitmap;

class ImageOutX11 {
public:
    ImageOutX11() {}
    ~ImageOutX11();

    // Whether bitmaps can be shown in windows of the visual.
    static bool CanShow(const Visual* pVisual);

    // False when the visual cannot be shown.
    bool Init(Display* pDisplay, Visual* pVisual, int depth);
    // Copies the rect (left, top inside; right, bottom outside) of the
    // bitmap to the same place of the drawable; both are clipped.
    // Unless waitForServer is false, the server is done reading the shared
    // image when it returns; a batch of puts ends with WaitForServer.
    void Put(Drawable drawable, GC gc, const RasterBitmap& bitmap, int left, int top, int right, int bottom,
             bool waitForServer = true);
    void WaitForServer();
    // Frees the image and the shared segment; the connection stays open.
    void Release();
    bool UsesSharedMemory() const { return mpImage && mShared; }

private:
    ImageOutX11(const ImageOutX11&) = delete;
    ImageOutX11& operator=(const ImageOutX11&) = delete;

    bool EnsureImage(int width, int height);
    bool CreateSharedImage(int width, int height);
    bool CreatePlainImage(int width, int height);
    void Convert(const RasterBitmap& bitmap, int left, int top, int right, int bottom);

    Display* mpDisplay = nullptr;
    Visual* mpVisual = nullptr;
    int mDepth = 0;
    XImage* mpImage = nullptr;
    XShmSegmentInfo mSegment = {};
    bool mShared = false;
    // Cleared after the server refused a segment once.
    bool mTryShared = true;
    bool mDirectLayout = false;
    // Shift of each channel's top bit in a pixel, and its width in bits.
    int mRedShift = 0, mRedBits = 0;
    int mGreenShift = 0, mGreenBits = 0;
    int mBlueShift = 0, mBlueBits = 0;
};
