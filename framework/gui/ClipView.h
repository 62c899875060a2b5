// A window onto part of another bitmap: drawing into the view draws into
// that part and nowhere else, since every raster operation clips to the
// bitmap it draws on. The surface draws its controls through one, so that a
// redraw never spills beyond the area being redrawn.
#pragma once

#include <cstddef>

#include "framework/raster/RasterBitmap.h"

class ClipView : public RasterBitmap {
public:
    // The part of rect that lies inside the bitmap; (left, top) of the
    // result is the view's pixel (0, 0).
    ClipView(RasterBitmap& bitmap, const RasterRect& rect) : mpBitmap(&bitmap)
    {
        mLeft = rect.left < 0 ? 0 : rect.left;
        mTop = rect.top < 0 ? 0 : rect.top;
        int right = rect.right > bitmap.Width() ? bitmap.Width() : rect.right;
        int bottom = rect.bottom > bitmap.Height() ? bitmap.Height() : rect.bottom;
        mWidth = right > mLeft ? right - mLeft : 0;
        mHeight = bottom > mTop ? bottom - mTop : 0;
        if (mWidth == 0 || mHeight == 0) {
            mWidth = 0;
            mHeight = 0;
        }
    }

    int Left() const { return mLeft; }
    int Top() const { return mTop; }
    int Width() const override { return mWidth; }
    int Height() const override { return mHeight; }
    int RowSpan() const override { return mpBitmap->RowSpan(); }
    uint32_t* Pixels() override
    {
        return mWidth > 0 ? mpBitmap->Pixels() + static_cast<std::ptrdiff_t>(mTop) * mpBitmap->RowSpan() + mLeft
                          : nullptr;
    }
    const uint32_t* Pixels() const override
    {
        const RasterBitmap* pBitmap = mpBitmap;
        return mWidth > 0 ? pBitmap->Pixels() + static_cast<std::ptrdiff_t>(mTop) * pBitmap->RowSpan() + mLeft
                          : nullptr;
    }
    bool Resize(int, int) override { return false; }

private:
    RasterBitmap* mpBitmap;
    int mLeft = 0;
    int mTop = 0;
    int mWidth = 0;
    int mHeight = 0;
};
