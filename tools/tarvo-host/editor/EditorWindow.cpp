// The parts of the editor window that every window system shares.
#include "EditorWindow.h"

#include <cstdlib>

#include "EditorGesture.h"
#include "session/HostText.h"

namespace {
const int DRAG_STEP_PIXELS = 8;
const int MIN_DRAG_STEPS = 4;
const int MAX_DRAG_STEPS = 32;
}  // namespace

std::vector<EditorPoint> DragPath(const EditorInputAction& action)
{
    int dx = action.endX - action.x;
    int dy = action.endY - action.y;
    int distance = std::abs(dx) > std::abs(dy) ? std::abs(dx) : std::abs(dy);
    int steps = distance / DRAG_STEP_PIXELS;
    if (steps < MIN_DRAG_STEPS) steps = MIN_DRAG_STEPS;
    if (steps > MAX_DRAG_STEPS) steps = MAX_DRAG_STEPS;
    std::vector<EditorPoint> path;
    for (int i = 1; i <= steps; ++i) path.push_back(EditorPoint{action.x + dx * i / steps, action.y + dy * i / steps});
    return path;
}

EditorWindow::EditorWindow() {}

EditorWindow::~EditorWindow() { Destroy(); }

bool EditorWindow::Deliver(const EditorInputAction& action, EditorLoop* loop, std::string* error)
{
    if (!mpPlatform) return Fail(error, "the editor window is not open");
    if (action.kind == EEditorInput_Wait) return true;
    return DeliverToWindow(action, loop, error);
}

bool EditorWindow::Capture(RasterBitmap* bitmap, std::string* error)
{
    if (!mpPlatform) return Fail(error, "the editor window is not open");
    return CaptureWindow(bitmap, error);
}
