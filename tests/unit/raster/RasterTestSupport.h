// Helpers shared by the raster tests.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/raster/Raster.h"

// A bitmap that is the inner part of a larger one: its rows are RowSpan()
// apart and a border of canary pixels surrounds it. Any write outside the
// view lands on the border, where CanaryIntact() finds it.
class CanaryView : public RasterBitmap {
public:
    static const uint32_t CANARY = 0x5AC3A55C;
    static const int BORDER = 6;

    CanaryView(int width, int height, uint32_t fill)
        : mOuter(width + 2 * BORDER, height + 2 * BORDER), mWidth(width), mHeight(height)
    {
        RasterRect all = {0, 0, mOuter.Width(), mOuter.Height()};
        Raster::FillRect(mOuter, all, CANARY, RasterBlend_Plain);
        RasterRect inner = {BORDER, BORDER, BORDER + width, BORDER + height};
        Raster::FillRect(mOuter, inner, fill, RasterBlend_Plain);
    }

    int Width() const override { return mWidth; }
    int Height() const override { return mHeight; }
    int RowSpan() const override { return mOuter.RowSpan(); }
    uint32_t* Pixels() override { return mOuter.Pixels() + BORDER * mOuter.RowSpan() + BORDER; }
    const uint32_t* Pixels() const override { return mOuter.Pixels() + BORDER * mOuter.RowSpan() + BORDER; }
    bool Resize(int, int) override { return false; }

    bool CanaryIntact() const
    {
        for (int y = 0; y < mOuter.Height(); ++y) {
            for (int x = 0; x < mOuter.Width(); ++x) {
                bool inside = x >= BORDER && x < BORDER + mWidth && y >= BORDER && y < BORDER + mHeight;
                if (!inside && Raster::GetPixel(mOuter, x, y) != CANARY) {
                    return false;
                }
            }
        }
        return true;
    }

private:
    MemoryBitmap mOuter;
    int mWidth;
    int mHeight;
};

// Deterministic pseudo-random words for test data.
class TestRandom {
public:
    explicit TestRandom(uint32_t seed) : mState(seed) {}
    uint32_t Next()
    {
        mState = mState * 1664525u + 1013904223u;
        return mState ^ (mState >> 15);
    }

private:
    uint32_t mState;
};

inline void FillRandom(RasterBitmap& bitmap, uint32_t seed)
{
    TestRandom random(seed);
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            Raster::PutPixel(bitmap, x, y, random.Next());
        }
    }
}

inline std::vector<uint32_t> PixelsOf(const RasterBitmap& bitmap)
{
    std::vector<uint32_t> pixels;
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            pixels.push_back(Raster::GetPixel(bitmap, x, y));
        }
    }
    return pixels;
}

// Sum of one channel over the bitmap, in units of full intensity.
inline double ChannelSum(const RasterBitmap& bitmap, int shift)
{
    double sum = 0;
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            sum += ((Raster::GetPixel(bitmap, x, y) >> shift) & 0xFF) / 255.0;
        }
    }
    return sum;
}
