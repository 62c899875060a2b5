// PNG reading and writing through libpng.
//
// libpng reports errors by longjmp out of its own code. The functions that
// call setjmp below therefore hold no C++ objects with destructors, keep
// every resource in a job record owned by their caller (so nothing lives in
// a local variable that the jump could leave indeterminate), and the caller
// frees the resources whichever way the guarded work ended.
#include "Raster.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

#include <png.h>

namespace {

// The editor's images are a few hundred pixels on a side; the limit (64 MiB
// of pixels) keeps a file that merely claims a huge size from taking more.
const uint64_t MAX_DECODED_PIXELS = uint64_t(1) << 24;

struct PngReadJob {
    const uint8_t* pData;
    size_t size;
    size_t position;
    MemoryBitmap* pBitmap;
    png_bytep* pRows;
};

struct PngWriteJob {
    const RasterBitmap* pBitmap;
    FILE* pFile;
    png_bytep pRow;
};

void OnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void OnPngWarning(png_structp, png_const_charp) {}

void ReadFromMemory(png_structp png, png_bytep pOut, png_size_t count)
{
    PngReadJob* pJob = static_cast<PngReadJob*>(png_get_io_ptr(png));
    if (count > pJob->size - pJob->position) {
        png_error(png, "truncated");
    }
    std::memcpy(pOut, pJob->pData + pJob->position, count);
    pJob->position += count;
}

void WriteToFile(png_structp png, png_bytep pData, png_size_t count)
{
    PngWriteJob* pJob = static_cast<PngWriteJob*>(png_get_io_ptr(png));
    if (std::fwrite(pData, 1, count, pJob->pFile) != count) {
        png_error(png, "write failed");
    }
}

void FlushFile(png_structp png)
{
    PngWriteJob* pJob = static_cast<PngWriteJob*>(png_get_io_ptr(png));
    std::fflush(pJob->pFile);
}

// Reads the image into pJob->pBitmap; false when libpng reported an error
// or the image is not acceptable.
bool ReadGuarded(png_structp png, png_infop info, PngReadJob* pJob)
{
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_read_fn(png, pJob, ReadFromMemory);
    // Decoding never needs more than the largest bitmap, and ancillary
    // chunks (text, profiles) are bounded so that a hostile file cannot
    // make libpng allocate without limit.
    png_set_user_limits(png, RasterBitmap::MAX_SIDE, RasterBitmap::MAX_SIDE);
    png_set_chunk_cache_max(png, 256);
    png_set_chunk_malloc_max(png, 8 * 1024 * 1024);
    png_read_info(png, info);

    png_uint_32 width = png_get_image_width(png, info);
    png_uint_32 height = png_get_image_height(png, info);
    if (width == 0 || height == 0 || uint64_t(width) * height > MAX_DECODED_PIXELS) {
        return false;
    }
    int colorType = png_get_color_type(png, info);
    int bitDepth = png_get_bit_depth(png, info);
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        png_set_palette_to_rgb(png);
    }
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) {
        png_set_expand_gray_1_2_4_to_8(png);
    }
    if (png_get_valid(png, info, PNG_INFO_tRNS)) {
        png_set_tRNS_to_alpha(png);
    }
    if (bitDepth == 16) {
#ifdef PNG_READ_SCALE_16_TO_8_SUPPORTED
        png_set_scale_16(png);
#else
        png_set_strip_16(png);
#endif
    }
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_gray_to_rgb(png);
    }
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t(width) * 4) {
        return false;
    }

    pJob->pBitmap = new (std::nothrow) MemoryBitmap(static_cast<int>(width), static_cast<int>(height));
    pJob->pRows = new (std::nothrow) png_bytep[height];
    if (!pJob->pBitmap || !pJob->pRows || pJob->pBitmap->Width() != static_cast<int>(width)) {
        return false;
    }
    for (png_uint_32 row = 0; row < height; ++row) {
        pJob->pRows[row] = reinterpret_cast<png_bytep>(pJob->pBitmap->Pixels() + size_t(row) * width);
    }
    png_read_image(png, pJob->pRows);
    png_read_end(png, nullptr);
    return true;
}

// The rows hold R, G, B, A bytes in memory; turning them into words this
// way works whatever the byte order of the machine.
void PackRgbaBytes(MemoryBitmap& bitmap)
{
    uint32_t* pPixel = bitmap.Pixels();
    size_t count = size_t(bitmap.Width()) * size_t(bitmap.Height());
    for (size_t i = 0; i < count; ++i) {
        uint8_t bytes[4];
        std::memcpy(bytes, pPixel + i, 4);
        pPixel[i] = RasterColor::Pack(bytes[3], bytes[0], bytes[1], bytes[2]);
    }
}

bool WriteGuarded(png_structp png, png_infop info, PngWriteJob* pJob)
{
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    const RasterBitmap& bitmap = *pJob->pBitmap;
    png_set_write_fn(png, pJob, WriteToFile, FlushFile);
    png_set_IHDR(png, info, static_cast<png_uint_32>(bitmap.Width()), static_cast<png_uint_32>(bitmap.Height()), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int row = 0; row < bitmap.Height(); ++row) {
        const uint32_t* pPixel = bitmap.Pixels() + ptrdiff_t(row) * bitmap.RowSpan();
        for (int column = 0; column < bitmap.Width(); ++column) {
            uint32_t color = pPixel[column];
            png_bytep pOut = pJob->pRow + 4 * column;
            pOut[0] = static_cast<png_byte>(RasterColor::Red(color));
            pOut[1] = static_cast<png_byte>(RasterColor::Green(color));
            pOut[2] = static_cast<png_byte>(RasterColor::Blue(color));
            pOut[3] = static_cast<png_byte>(RasterColor::Alpha(color));
        }
        png_write_row(png, pJob->pRow);
    }
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

namespace Raster {

MemoryBitmap* DecodePng(const void* pData, size_t size)
{
    if (!pData || size < 8 || png_sig_cmp(static_cast<png_const_bytep>(pData), 0, 8) != 0) {
        return nullptr;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
    if (!png) {
        return nullptr;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return nullptr;
    }
    PngReadJob job = {static_cast<const uint8_t*>(pData), size, 0, nullptr, nullptr};
    bool complete = ReadGuarded(png, info, &job);
    png_destroy_read_struct(&png, &info, nullptr);
    delete[] job.pRows;
    if (!complete) {
        delete job.pBitmap;
        return nullptr;
    }
    PackRgbaBytes(*job.pBitmap);
    return job.pBitmap;
}

bool WritePngFile(const RasterBitmap& bitmap, const char* path)
{
    if (!path || bitmap.Width() <= 0 || bitmap.Height() <= 0 || !bitmap.Pixels()) {
        return false;
    }
    PngWriteJob job = {&bitmap, nullptr, nullptr};
    job.pRow = new (std::nothrow) png_byte[size_t(bitmap.Width()) * 4];
    if (!job.pRow) {
        return false;
    }
    job.pFile = std::fopen(path, "wb");
    if (!job.pFile) {
        delete[] job.pRow;
        return false;
    }
    bool complete = false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (png && info) {
        complete = WriteGuarded(png, info, &job);
    }
    if (png) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
    }
    delete[] job.pRow;
    if (std::fclose(job.pFile) != 0) {
        complete = false;
    }
    if (!complete) {
        std::remove(path);
    }
    return complete;
}

}  // namespace Raster
