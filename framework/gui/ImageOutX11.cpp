#include "ImageOutX11.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <sys/ipc.h>
#include <sys/shm.h>

#include "DisplayX11.h"
#include "framework/raster/RasterBitmap.h"

namespace {

void MaskShape(unsigned long mask, int* pShift, int* pBits)
{
    *pShift = 0;
    *pBits = 0;
    if (!mask) return;
    while (!(mask & 1ul)) {
        mask >>= 1;
        ++*pShift;
    }
    while (mask & 1ul) {
        mask >>= 1;
        ++*pBits;
    }
}

// An 8-bit channel value placed into a mask of the given shape.
unsigned long ChannelBits(uint32_t value, int shift, int bits)
{
    if (bits <= 0) return 0;
    unsigned long scaled = bits <= 8 ? value >> (8 - bits) : static_cast<unsigned long>(value) << (bits - 8);
    return scaled << shift;
}

int NativeByteOrder()
{
    const uint16_t probe = 1;
    unsigned char first = 0;
    std::memcpy(&first, &probe, 1);
    return first == 1 ? LSBFirst : MSBFirst;
}

}  // namespace

ImageOutX11::~ImageOutX11() { Release(); }

bool ImageOutX11::CanShow(const Visual* pVisual)
{
    if (!pVisual) return false;
    // Visual's class member is named c_class when compiled as C++.
    int visualClass = pVisual->c_class;
    if (visualClass != TrueColor && visualClass != DirectColor) return false;
    return pVisual->red_mask && pVisual->green_mask && pVisual->blue_mask;
}

bool ImageOutX11::Init(Display* pDisplay, Visual* pVisual, int depth)
{
    Release();
    if (!pDisplay || !CanShow(pVisual)) return false;
    mpDisplay = pDisplay;
    mpVisual = pVisual;
    mDepth = depth;
    MaskShape(pVisual->red_mask, &mRedShift, &mRedBits);
    MaskShape(pVisual->green_mask, &mGreenShift, &mGreenBits);
    MaskShape(pVisual->blue_mask, &mBlueShift, &mBlueBits);
    mTryShared = XShmQueryExtension(pDisplay) == True;
    return true;
}

void ImageOutX11::Release()
{
    if (!mpImage) return;
    if (mShared) {
        XShmDetach(mpDisplay, &mSegment);
        // The server must have let go of the segment before it goes.
        XSync(mpDisplay, False);
        shmdt(mSegment.shmaddr);
        mpImage->data = nullptr;
        mSegment = XShmSegmentInfo();
        mShared = false;
    }
    XDestroyImage(mpImage);
    mpImage = nullptr;
}

bool ImageOutX11::CreateSharedImage(int width, int height)
{
    XImage* pImage = XShmCreateImage(mpDisplay, mpVisual, static_cast<unsigned>(mDepth), ZPixmap, nullptr, &mSegment,
                                     static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (!pImage) return false;
    size_t size = static_cast<size_t>(pImage->bytes_per_line) * static_cast<size_t>(height);
    mSegment.shmid = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
    if (mSegment.shmid < 0) {
        XDestroyImage(pImage);
        return false;
    }
    void* pAddress = shmat(mSegment.shmid, nullptr, 0);
    if (pAddress == reinterpret_cast<void*>(-1)) {
        shmctl(mSegment.shmid, IPC_RMID, nullptr);
        XDestroyImage(pImage);
        return false;
    }
    mSegment.shmaddr = static_cast<char*>(pAddress);
    mSegment.readOnly = False;
    pImage->data = mSegment.shmaddr;
    bool attached = false;
    {
        // A server on another machine, or one that may not read our
        // segments, refuses the attach with an error.
        DisplayX11::ErrorTrap trap(mpDisplay);
        attached = XShmAttach(mpDisplay, &mSegment) == True;
        trap.Sync();
        if (trap.Failed()) attached = false;
    }
    // From here the segment lives only as long as someone has it attached,
    // so not even a crash leaves it behind.
    shmctl(mSegment.shmid, IPC_RMID, nullptr);
    if (!attached) {
        shmdt(mSegment.shmaddr);
        pImage->data = nullptr;
        XDestroyImage(pImage);
        mSegment = XShmSegmentInfo();
        return false;
    }
    mpImage = pImage;
    mShared = true;
    return true;
}

bool ImageOutX11::CreatePlainImage(int width, int height)
{
    XImage* pImage = XCreateImage(mpDisplay, mpVisual, static_cast<unsigned>(mDepth), ZPixmap, 0, nullptr,
                                  static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
    if (!pImage) return false;
    // XDestroyImage frees the data with free().
    pImage->data =
        static_cast<char*>(std::calloc(static_cast<size_t>(pImage->bytes_per_line), static_cast<size_t>(height)));
    if (!pImage->data) {
        XDestroyImage(pImage);
        return false;
    }
    mpImage = pImage;
    return true;
}

bool ImageOutX11::EnsureImage(int width, int height)
{
    if (mpImage && mpImage->width >= width && mpImage->height >= height) return true;
    int newWidth = std::max(width, mpImage ? mpImage->width : 0);
    int newHeight = std::max(height, mpImage ? mpImage->height : 0);
    Release();
    if (mTryShared && !CreateSharedImage(newWidth, newHeight)) mTryShared = false;
    if (!mpImage && !CreatePlainImage(newWidth, newHeight)) return false;
    mDirectLayout = mpImage->bits_per_pixel == 32 && mpVisual->red_mask == 0xFF0000ul &&
                    mpVisual->green_mask == 0xFF00ul && mpVisual->blue_mask == 0xFFul &&
                    mpImage->byte_order == NativeByteOrder();
    return true;
}

void ImageOutX11::Convert(const RasterBitmap& bitmap, int left, int top, int right, int bottom)
{
    const uint32_t* pPixels = bitmap.Pixels();
    int span = bitmap.RowSpan();
    for (int y = top; y < bottom; ++y) {
        const uint32_t* pSource = pPixels + static_cast<ptrdiff_t>(y) * span;
        if (mDirectLayout) {
            uint32_t* pDest =
                reinterpret_cast<uint32_t*>(mpImage->data + static_cast<ptrdiff_t>(y) * mpImage->bytes_per_line);
            // A 32-bit visual would show the bitmap's alpha to a compositor.
            for (int x = left; x < right; ++x) pDest[x] = pSource[x] | 0xFF000000u;
            continue;
        }
        for (int x = left; x < right; ++x) {
            uint32_t pixel = pSource[x];
            unsigned long value = ChannelBits((pixel >> 16) & 0xFFu, mRedShift, mRedBits) |
                                  ChannelBits((pixel >> 8) & 0xFFu, mGreenShift, mGreenBits) |
                                  ChannelBits(pixel & 0xFFu, mBlueShift, mBlueBits);
            XPutPixel(mpImage, x, y, value);
        }
    }
}

void ImageOutX11::Put(Drawable drawable, GC gc, const RasterBitmap& bitmap, int left, int top, int right, int bottom,
                      bool waitForServer)
{
    if (!mpDisplay || !bitmap.Pixels()) return;
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, bitmap.Width());
    bottom = std::min(bottom, bitmap.Height());
    if (left >= right || top >= bottom) return;
    if (!EnsureImage(bitmap.Width(), bitmap.Height())) return;
    Convert(bitmap, left, top, right, bottom);
    unsigned width = static_cast<unsigned>(right - left), height = static_cast<unsigned>(bottom - top);
    if (mShared) {
        XShmPutImage(mpDisplay, drawable, gc, mpImage, left, top, left, top, width, height, False);
        // The next copy writes into the same segment: the server must be
        // done reading it. Puts of one batch write other parts of it (or
        // the same pixels again).
        if (waitForServer) XSync(mpDisplay, False);
    } else {
        XPutImage(mpDisplay, drawable, gc, mpImage, left, top, left, top, width, height);
        XFlush(mpDisplay);
    }
}

void ImageOutX11::WaitForServer()
{
    if (!mpDisplay) return;
    if (mShared) {
        XSync(mpDisplay, False);
    } else {
        XFlush(mpDisplay);
    }
}
