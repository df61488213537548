#pragma once

#include <cstdlib>

// Alignment of a base value to a grid of `grid` > 0 units. With r the absolute remainder of
// v / grid: r == 0 leaves v; r < grid / 2 (integer half) moves v by r toward zero; otherwise v
// moves by grid - r away from zero. So v goes to the nearest multiple, and a remainder of half
// an even grid goes away from zero. The caller keeps v far enough from the ends of long that
// moving away from zero cannot leave it.
inline long SYS_AlignToGrid(long v, long grid) {
    const long r = std::labs(v % grid);
    if (r == 0) return v;
    if (r < grid / 2) return v < 0 ? v + r : v - r;
    return v < 0 ? v - (grid - r) : v + (grid - r);
}

inline bool SYS_IsAlignedToGrid(long v, long grid) { return v % grid == 0; }
