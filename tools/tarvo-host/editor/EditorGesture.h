// What the window systems' editor windows (EditorWindowX11.cpp,
// EditorWindowWin32.cpp) share in delivering a user's gestures and
// capturing the picture: the pauses inside one action, which let the
// plug-in's event handling and timer run between its steps, the path of a
// drag, and the copy of the captured pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "EditorInput.h"
#include "framework/raster/RasterBitmap.h"

// Between pointer moves; how long a button or key is held; between the two
// clicks of a double click.
const int GESTURE_STEP_MS = 20;
const int GESTURE_HOLD_MS = 50;
const int DOUBLE_CLICK_GAP_MS = 60;

struct EditorPoint {
    int x;
    int y;
};

// The points a drag moves the pointer through after its start, its end
// last: steps of about 8 pixels, at least 4 and at most 32 of them.
std::vector<EditorPoint> DragPath(const EditorInputAction& action);

// Sizes the bitmap to the capture and fills it with pixelAt(x, y), made
// opaque. False with *error when there is no memory for it.
template <typename PIXEL_AT>
bool CopyCapture(RasterBitmap* bitmap, int width, int height, PIXEL_AT pixelAt, std::string* error)
{
    if (!bitmap->Resize(width, height)) {
        *error = "no memory for the captured image";
        return false;
    }
    for (int y = 0; y < height; ++y) {
        uint32_t* row = bitmap->Pixels() + size_t(y) * size_t(bitmap->RowSpan());
        for (int x = 0; x < width; ++x) row[x] = uint32_t(pixelAt(x, y)) | 0xFF000000u;
    }
    return true;
}
