#include "RasterBitmap.h"

#include <cstring>
#include <new>

bool RasterBitmap::IsAcceptableSize(int width, int height)
{
    return width >= 0 && height >= 0 && width <= MAX_SIDE && height <= MAX_SIDE &&
           int64_t(width) * height <= MAX_PIXELS;
}

MemoryBitmap::MemoryBitmap(int width, int height) { Resize(width, height); }

MemoryBitmap::~MemoryBitmap() { delete[] mpPixels; }

bool MemoryBitmap::Resize(int width, int height)
{
    delete[] mpPixels;
    mpPixels = nullptr;
    mWidth = 0;
    mHeight = 0;
    if (!IsAcceptableSize(width, height)) {
        return false;
    }
    if (width == 0 || height == 0) {
        return true;
    }
    size_t count = size_t(width) * size_t(height);
    mpPixels = new (std::nothrow) uint32_t[count];
    if (!mpPixels) {
        return false;
    }
    std::memset(mpPixels, 0, count * sizeof(uint32_t));
    mWidth = width;
    mHeight = height;
    return true;
}
