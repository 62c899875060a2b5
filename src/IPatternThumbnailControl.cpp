#include "IPatternThumbnailControl.h"

#include <cstring>

#include "Matrix.h"
#include "framework/gui/IGraphicsLice.h"
#include "framework/raster/RasterBitmap.h"

namespace {

const uint32_t BLACK = 0xFF000000u;
const uint32_t CELL_COLOURS[] = {BLACK, 0xFFFFFFFFu, 0xFFFF8080u, 0xFF7F7F7Fu};

}  // namespace

IPatternThumbnailControl::IPatternThumbnailControl(IParamHost* pPlug, int x, int y, const BitmapRef& emptyPattern)
    : IBitmapControl(pPlug, x, y, -1, emptyPattern),
      mpMap(new MemoryBitmap(emptyPattern.mWidth, emptyPattern.FrameHeight()))
{
    uint32_t* pPixels = mpMap->Pixels();
    int count = mpMap->Width() * mpMap->Height();
    for (int i = 0; i < count; ++i) pPixels[i] = BLACK;
    std::memset(mCells, ECell_Outside, sizeof mCells);
}

IPatternThumbnailControl::~IPatternThumbnailControl() {}

void IPatternThumbnailControl::ClassifyCells(const Matrix& grid, uint8_t cells[MAX_CELLS])
{
    bool rover[MAX_CELLS] = {};
    for (int i = 0; i < grid.mRovers.mCount && i < MAX_ROVERS; ++i) {
        int cellId = grid.mRovers.mRovers[i].mCellid;
        if (cellId >= 0 && cellId < MAX_CELLS) rover[cellId] = true;
    }
    for (int row = 0; row < MAX_ROWS; ++row) {
        for (int col = 0; col < MAX_COLS; ++col) {
            int cellId = CellId(row, col);
            bool inside =
                row >= grid.mFirstRow && row <= grid.mLastRow && col >= grid.mFirstCol && col <= grid.mLastCol;
            if (!inside) {
                cells[cellId] = ECell_Outside;
            } else if (rover[cellId]) {
                cells[cellId] = ECell_Rover;
            } else if (grid.mCells[cellId].mKind != 0) {
                cells[cellId] = ECell_Obstacle;
            } else {
                cells[cellId] = ECell_Empty;
            }
        }
    }
}

void IPatternThumbnailControl::RenderThumbnail(const Matrix& grid)
{
    uint8_t cells[MAX_CELLS];
    ClassifyCells(grid, cells);
    Paint(cells);
}

void IPatternThumbnailControl::ShowCells(const uint8_t cells[MAX_CELLS])
{
    std::memcpy(mCells, cells, sizeof mCells);
    mPaintPending = true;
    MarkChanged(false);
}

void IPatternThumbnailControl::Paint(const uint8_t cells[MAX_CELLS])
{
    // Cells are size x size pixels, each with a black line along its top
    // and left side, so the map reads as a grid.
    int size = mpMap->Height() / MAX_ROWS;
    int width = mpMap->Width();
    uint32_t* pPixels = mpMap->Pixels();
    for (int row = 0; row < MAX_ROWS; ++row) {
        for (int col = 0; col < MAX_COLS; ++col) {
            uint8_t cell = cells[CellId(row, col)];
            uint32_t colour = CELL_COLOURS[cell < 4 ? cell : 0];
            for (int dy = 0; dy < size; ++dy) {
                int y = size * row + dy;
                int x0 = size * col;
                if (x0 + size > width) continue;
                uint32_t* pRow = pPixels + y * width + x0;
                for (int dx = 0; dx < size; ++dx) pRow[dx] = (dy == 0 || dx == 0) ? BLACK : colour;
            }
        }
    }
}

bool IPatternThumbnailControl::Draw(IGraphicsLice* pGraphics)
{
    if (mValue < 0.5) return IBitmapControl::Draw(pGraphics);
    if (mPaintPending) {
        Paint(mCells);
        mPaintPending = false;
    }
    BitmapRef map(mpMap.get(), mpMap->Width(), mpMap->Height(), 1);
    return pGraphics->DrawBitmap(map, mRect, 1, &mBlend);
}
