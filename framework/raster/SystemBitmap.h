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

class SystemBitmap : public OwnedBitmap {
public:
    SystemBitmap() {}
    // On failure the bitmap is 0 x 0 (see Resize).
    SystemBitmap(int width, int height) { Resize(width, height); }
    ~SystemBitmap() override { ReleaseStorage(); }

    // The HDC holding the DIB section on Windows; null elsewhere and while
    // the bitmap is 0 x 0.
    void* DeviceContext() const { return mGdi.pDeviceContext; }

protected:
    // One definition per platform (SystemBitmapWin32.cpp, SystemBitmapPosix.cpp).
    uint32_t* AcquirePixels(int width, int height) override;
    void ReleasePixels(uint32_t* pPixels) override;

private:
    // What GDI holds behind the pixels on Windows; all null elsewhere.
    struct GdiObjects {
        void* pDeviceContext = nullptr;
        void* pSection = nullptr;
        void* pPreviousObject = nullptr;
    };
    GdiObjects mGdi;
};
