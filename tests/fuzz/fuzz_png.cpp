// PNG images arrive as resources and, in tests, as files: DecodePng must
// return null or a bitmap for any bytes, never crash or over-allocate.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "framework/raster/Raster.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::unique_ptr<MemoryBitmap> bitmap(Raster::DecodePng(data, size));
    if (bitmap) {
        // Touch every pixel so that a wrong size shows under the sanitizers.
        uint32_t sum = 0;
        for (int y = 0; y < bitmap->Height(); ++y) {
            for (int x = 0; x < bitmap->Width(); ++x) {
                sum += Raster::GetPixel(*bitmap, x, y);
            }
        }
        MemoryBitmap target(16, 16);
        Raster::CopyBitmap(target, -3, -3, *bitmap, 0, 0, bitmap->Width(), bitmap->Height());
        volatile uint32_t sink = sum;
        (void)sink;
    }
    return 0;
}
