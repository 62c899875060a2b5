// A pattern slot's thumbnail: while the slot holds a grid, a 17 x 17 map of
// it (rovers white, obstacles pink, empty cells grey, cells outside the
// grid's window black); while it is empty, the empty-pattern picture.
#pragma once

#include <cstdint>
#include <memory>

#include "GridTypes.h"
#include "framework/gui/IBitmapControl.h"

class Matrix;
class MemoryBitmap;

class IPatternThumbnailControl : public IBitmapControl {
public:
    // What a thumbnail shows of a cell.
    enum ECell : uint8_t {
        ECell_Outside = 0,
        ECell_Rover,
        ECell_Obstacle,
        ECell_Empty
    };

    // emptyPattern: the picture of an empty slot; the map has its size.
    IPatternThumbnailControl(IParamHost* pPlug, int x, int y, const BitmapRef& emptyPattern);
    ~IPatternThumbnailControl() override;

    bool Draw(IGraphicsLice* pGraphics) override;

    // Paints the grid into the map at once.
    void RenderThumbnail(const Matrix& grid);
    // Takes a grid's cells (ClassifyCells); the map is painted when the
    // control is next drawn.
    void ShowCells(const uint8_t cells[MAX_CELLS]);
    const MemoryBitmap& Map() const { return *mpMap; }

    // What the thumbnail shows of each cell of the grid.
    static void ClassifyCells(const Matrix& grid, uint8_t cells[MAX_CELLS]);

private:
    void Paint(const uint8_t cells[MAX_CELLS]);

    std::unique_ptr<MemoryBitmap> mpMap;
    uint8_t mCells[MAX_CELLS];
    bool mPaintPending = false;
};
