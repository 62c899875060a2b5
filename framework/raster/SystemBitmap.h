// The bitmap the editor window copies its picture from.
//
// On Windows it is a top-down 32-bit DIB section selected into its own
// memory device context, so the window can BitBlt from DeviceContext() and
// GDI can draw into it; the DIB's BGRA bytes are exactly the 0xAARRGGBB
// words of RasterColor.h on a little-endian machine. Call GdiFlush before
// touching the pixels after GDI has drawn into it.
//
// Elsewhere it is plain memory with rows of 4 * RowSpan() bytes, which an
// X11 XImage (ZPixmap, 32 bits per pixel) can point at; such an XImage must
// get its data pointer cleared before XDestroyImage, because the pixels
// belong to this object.
#pragma once

#include "RasterBitmap.h"

class SystemBitmap : public RasterBitmap {
public:
    SystemBitmap() {}
    // On failure the bitmap is 0 x 0 (see Resize).
    SystemBitmap(int width, int height);
    ~SystemBitmap() override;

    int Width() const override { return mWidth; }
    int Height() const override { return mHeight; }
    int RowSpan() const override { return mWidth; }
    uint32_t* Pixels() override { return mpPixels; }
    const uint32_t* Pixels() const override { return mpPixels; }
    bool Resize(int width, int height) override;

    // The HDC holding the DIB section on Windows; null elsewhere and while
    // the bitmap is 0 x 0.
    void* DeviceContext() const { return mpDeviceContext; }

private:
    SystemBitmap(const SystemBitmap&) = delete;
    SystemBitmap& operator=(const SystemBitmap&) = delete;

    void Release();

    uint32_t* mpPixels = nullptr;
    int mWidth = 0;
    int mHeight = 0;
    void* mpDeviceContext = nullptr;
    void* mpSection = nullptr;
    void* mpPreviousObject = nullptr;
};
