// Bitmaps of 0xAARRGGBB pixels (RasterColor.h) stored row by row, top row
// first. RasterBitmap is the view every drawing function works on; the
// drawing loops fetch its pointer and row span once per call and then run
// over raw rows, so the virtual calls never sit inside a pixel loop.
#pragma once

#include <cstdint>

// A pixel rectangle: left and top inside, right and bottom outside. Rects
// may be empty, inverted or reach far beyond a bitmap; every operation
// clips them.
struct RasterRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

class RasterBitmap {
public:
    virtual ~RasterBitmap() {}

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Distance in pixels from the start of one row to the start of the next.
    virtual int RowSpan() const = 0;
    virtual uint32_t* Pixels() = 0;
    virtual const uint32_t* Pixels() const = 0;
    // Changes the size; the pixels are then all 0 (transparent black). A
    // size with a zero side releases the pixels (the bitmap is then 0 x 0). Returns false, leaving a 0 x 0
    // bitmap, when the size is negative, too large or memory runs out.
    virtual bool Resize(int width, int height) = 0;

    // The largest width or height any bitmap accepts.
    static const int MAX_SIDE = 32768;
    // The largest pixel count (1 GiB of pixels): keeps sizes computable in
    // 32-bit builds.
    static const int64_t MAX_PIXELS = int64_t(1) << 28;
    static bool IsAcceptableSize(int width, int height);
};

// The size and pixel bookkeeping of a bitmap that owns its pixels, top row
// first and rows without padding. Subclasses say where the pixels live.
class OwnedBitmap : public RasterBitmap {
public:
    int Width() const override { return mWidth; }
    int Height() const override { return mHeight; }
    int RowSpan() const override { return mWidth; }
    uint32_t* Pixels() override { return mpPixels; }
    const uint32_t* Pixels() const override { return mpPixels; }
    bool Resize(int width, int height) override;

protected:
    OwnedBitmap() {}

    // Zeroed pixels for an acceptable size with no zero side, or null when
    // they cannot be had.
    virtual uint32_t* AcquirePixels(int width, int height) = 0;
    virtual void ReleasePixels(uint32_t* pPixels) = 0;
    // Gives the pixels back and leaves a 0 x 0 bitmap. Every subclass calls
    // it from its destructor: once the base destructor runs, the subclass's
    // ReleasePixels is out of reach.
    void ReleaseStorage();

    // Zeroed heap pixels, for subclasses that need no more than that.
    static uint32_t* NewPixels(int width, int height);
    static void DeletePixels(uint32_t* pPixels);

private:
    OwnedBitmap(const OwnedBitmap&) = delete;
    OwnedBitmap& operator=(const OwnedBitmap&) = delete;

    uint32_t* mpPixels = nullptr;
    int mWidth = 0;
    int mHeight = 0;
};

class MemoryBitmap : public OwnedBitmap {
public:
    MemoryBitmap() {}
    // On failure the bitmap is 0 x 0 (see Resize).
    MemoryBitmap(int width, int height) { Resize(width, height); }
    ~MemoryBitmap() override { ReleaseStorage(); }

protected:
    uint32_t* AcquirePixels(int width, int height) override { return NewPixels(width, height); }
    void ReleasePixels(uint32_t* pPixels) override { DeletePixels(pPixels); }
};
