#pragma once

#include <algorithm>
#include <vector>

#include "SCC_Array.h"
#include "TessarTypes.h"

// Ordering helpers of a collection's content, in a header of their own so that their tests can
// reach them; the library is their only user.

// True when no handle compares greater than the one after it.
inline bool SCC_HandlesInOrder(const SYS_Handle* data, long size, SCC_ComparatorBase& order) {
    for (long i = 1; i < size; ++i)
        if (order.Compare(&data[i - 1], &data[i]) > 0) return false;
    return true;
}

// Stable bottom-up merge sort: handles that compare equal keep their order, exactly as
// inserting each one behind its run of equals would, in O(n log n) with one buffer of n
// handles. It reads and writes only inside the range whatever the comparator answers, also
// when the comparator is not a consistent order.
inline void SCC_StableSortHandles(SYS_Handle* data, long size, SCC_ComparatorBase& order) {
    if (size < 2 || SCC_HandlesInOrder(data, size, order)) return;
    std::vector<SYS_Handle> merged(static_cast<size_t>(size));
    for (long width = 1; width < size; width *= 2) {
        for (long lo = 0; lo < size - width; lo += 2 * width) {
            const long mid = lo + width, hi = std::min(lo + 2 * width, size);
            long left = lo, right = mid, out = 0;
            while (left < mid && right < hi)
                merged[out++] = order.Compare(&data[left], &data[right]) <= 0 ? data[left++]
                                                                              : data[right++];
            while (left < mid) merged[out++] = data[left++];
            while (right < hi) merged[out++] = data[right++];
            std::copy(merged.begin(), merged.begin() + out, data + lo);
        }
    }
}
