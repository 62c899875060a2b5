// Constants and small tables of the grid world: board size, headings and
// walls. Rows grow southward, columns eastward.
#pragma once

const int MAX_ROWS = 17;
const int MAX_COLS = 17;
const int MAX_CELLS = MAX_ROWS * MAX_COLS;  // 289
const int MAX_ROVERS = 20;
const int WALL_POSITIONS = 17;

enum EHeading {
    EHeading_N = 0,
    EHeading_E,
    EHeading_S,
    EHeading_W,
    EHeading_NE,
    EHeading_SE,
    EHeading_SW,
    EHeading_NW,
    EHeading_NumHeadings
};

enum Wall {
    Wall_N = 0,
    Wall_E,
    Wall_S,
    Wall_W,
    Wall_NumWalls
};

enum RoverPace {
    RoverPace_Norm = 0,
    RoverPace_Slow = 1
};

// Row and column step of each heading.
const int HEADING_ROW_STEP[EHeading_NumHeadings] = {-1, 0, 1, 0, -1, 1, 1, -1};
const int HEADING_COL_STEP[EHeading_NumHeadings] = {0, 1, 0, -1, 1, 1, -1, -1};

// Quarter turns by heading value.
const int HEADING_CLOCKWISE[EHeading_NumHeadings] = {1, 2, 3, 0, 5, 6, 7, 4};
const int HEADING_COUNTER_CLOCKWISE[EHeading_NumHeadings] = {3, 0, 1, 2, 7, 4, 5, 6};

inline int CellId(int row, int col) { return row * MAX_COLS + col; }

// A row or column brought onto the board (0..16), nearest edge.
inline int ClampToBoard(int index) { return index < 0 ? 0 : (index > MAX_ROWS - 1 ? MAX_ROWS - 1 : index); }
// A row or column that left a range of count indices (from 0) on one side
// comes back at the other edge: -1 becomes count - 1, count becomes 0.
inline int ReenterAtOtherEdge(int index, int count) { return index < 0 ? count - 1 : (index >= count ? 0 : index); }
// value counted round the count indices that start at first.
inline int WrapAround(int value, int first, int count)
{
    int offset = (value - first) % count;
    if (offset < 0) offset += count;
    return first + offset;
}
inline bool IsDiagonal(int heading) { return (heading & 4) != 0; }

// Rover display codes shown in the cells: 0 no rover, 1..8 a normal rover
// (heading + 1), 9..16 a slow rover (heading + 9), 17 several rovers.
const int DISPLAY_CODE_EMPTY = 0;
const int DISPLAY_CODE_COLLISION = 17;
inline int RoverDisplayCode(int heading, int pace) { return heading + (pace ? 9 : 1); }
