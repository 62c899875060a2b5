#include "RasterBitmap.h"

#include <cstring>
#include <new>

bool RasterBitmap::IsAcceptableSize(int width, int height)
{
    return width >= 0 && height >= 0 && width <= MAX_SIDE && height <= MAX_SIDE &&
           int64_t(width) * height <= MAX_PIXELS;
}

void OwnedBitmap::ReleaseStorage()
{
    if (mpPixels) {
        ReleasePixels(mpPixels);
    }
    mpPixels = nullptr;
    mWidth = 0;
    mHeight = 0;
}

bool OwnedBitmap::Resize(int width, int height)
{
    ReleaseStorage();
    if (!IsAcceptableSize(width, height)) {
        return false;
    }
    if (width == 0 || height == 0) {
        return true;
    }
    mpPixels = AcquirePixels(width, height);
    if (!mpPixels) {
        return false;
    }
    mWidth = width;
    mHeight = height;
    return true;
}

uint32_t* OwnedBitmap::NewPixels(int width, int height)
{
    size_t count = size_t(width) * size_t(height);
    uint32_t* pPixels = new (std::nothrow) uint32_t[count];
    if (pPixels) {
        std::memset(pPixels, 0, count * sizeof(uint32_t));
    }
    return pPixels;
}

void OwnedBitmap::DeletePixels(uint32_t* pPixels) { delete[] pPixels; }
