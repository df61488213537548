#pragma once

// The array sort, written once over an element-access policy so that the untyped array
// (virtual Compare and Swap, the overridable ShortSort) and the typed fast path of
// SCC_Array<T> (inline compares and swaps) make exactly the same compares and swaps.
//
// A policy provides:
//   int  Compare(long i, long j)    < 0, 0, > 0 as element i orders before, with, after j
//   void Swap(long i, long j)
//   void ShortSort(long lo, long hi)  finishes a range of at most kShortRange elements
#include <vector>

namespace SCC_ArraySortDetail {

// Ranges of at most this many elements are finished by ShortSort.
constexpr long kShortRange = 8;

// Partitions a range may take before heapsort finishes it: 2 * floor(log2(size)).
inline int PartitionBudget(long size) {
    int log2 = 0;
    while (size > 1) {
        size >>= 1;
        ++log2;
    }
    return 2 * log2;
}

// Middle element as pivot, moved to lo; returns where the pivot ends.
template <class Policy>
long Partition(Policy& policy, long lo, long hi) {
    policy.Swap(lo + (hi - lo) / 2, lo);
    long up = lo;
    long down = hi + 1;
    for (;;) {
        do {
            ++up;
        } while (up <= hi && policy.Compare(up, lo) <= 0);
        do {
            --down;
        } while (down > lo && policy.Compare(down, lo) >= 0);
        if (down < up) break;
        policy.Swap(up, down);
    }
    policy.Swap(lo, down);
    return down;
}

// Selection pass over lo..hi: the greatest element (the first of equal maxima) goes to hi,
// then hi moves down.
template <class Policy>
void SelectionSort(Policy& policy, long lo, long hi) {
    for (; hi > lo; --hi) {
        long greatest = lo;
        for (long i = lo + 1; i <= hi; ++i)
            if (policy.Compare(i, greatest) > 0) greatest = i;
        if (greatest != hi) policy.Swap(greatest, hi);
    }
}

template <class Policy>
void SiftDown(Policy& policy, long base, long root, long count) {
    for (;;) {
        long child = 2 * root + 1;
        if (child >= count) return;
        if (child + 1 < count && policy.Compare(base + child + 1, base + child) > 0) ++child;
        if (policy.Compare(base + child, base + root) <= 0) return;
        policy.Swap(base + root, base + child);
        root = child;
    }
}

template <class Policy>
void HeapSort(Policy& policy, long lo, long hi) {
    long count = hi - lo + 1;
    for (long root = count / 2 - 1; root >= 0; --root) SiftDown(policy, lo, root, count);
    for (long end = count - 1; end > 0; --end) {
        policy.Swap(lo, lo + end);
        SiftDown(policy, lo, 0, end);
    }
}

// The non-recursive quicksort: the smaller side of each partition waits on a stack, the larger
// goes on; a range that has used up its partition budget is finished by heapsort.
template <class Policy>
void QuickSort(Policy& policy, long lo, long hi) {
    struct Pending {
        long lo, hi;
        int budget;
    };
    std::vector<Pending> pending;
    int budget = PartitionBudget(hi - lo + 1);
    for (;;) {
        if (hi - lo + 1 > kShortRange && budget > 0) {
            long meet = Partition(policy, lo, hi);
            --budget;
            if (meet - lo < hi - meet) {  // keep the smaller side, go on with the larger
                pending.push_back({lo, meet - 1, budget});
                lo = meet + 1;
            } else {
                pending.push_back({meet + 1, hi, budget});
                hi = meet - 1;
            }
            continue;
        }
        if (hi - lo + 1 > kShortRange)
            HeapSort(policy, lo, hi);
        else if (hi > lo)
            policy.ShortSort(lo, hi);
        if (pending.empty()) return;
        lo = pending.back().lo;
        hi = pending.back().hi;
        budget = pending.back().budget;
        pending.pop_back();
    }
}

}  // namespace SCC_ArraySortDetail
