#pragma once

// The array sort, written once over an element-access policy so that the untyped array
// (virtual Compare and Swap, the overridable ShortSort) and the typed fast path of
// SCC_Array<T> (inline compares and swaps) make exactly the same compares and swaps.
//
// A sort policy provides:
//   int  Compare(long i, long j)    < 0, 0, > 0 as element i orders before, with, after j
//   void Swap(long i, long j)
//   void ShortSort(long lo, long hi)  finishes a range of at most kShortRange elements
// The ordered search (FindRun) asks a search policy for
//   int  WithItem(long i)           < 0, 0, > 0 as element i orders before, with, after the item
#include <vector>

namespace SCC_ArraySortDetail {

/// Ranges of at most this many elements are finished by ShortSort.
constexpr long kShortRange = 8;

/// Partitions a range may take before heapsort finishes it: 2 * floor(log2(size)).
inline int PartitionBudget(long size) {
    int log2 = 0;
    while (size > 1) {
        size >>= 1;
        ++log2;
    }
    return 2 * log2;
}

/// Middle element as pivot, moved to lo; returns where the pivot ends.
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

/// Selection pass over lo..hi: the greatest element (the first of equal maxima) goes to hi,
/// then hi moves down.
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

/// The non-recursive quicksort: the smaller side of each partition waits on a stack, the larger
/// goes on; a range that has used up its partition budget is finished by heapsort.
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

inline int Sign(int value) { return (value > 0) - (value < 0); }

/// Narrows [first, last] around the item; the bound results keep the compare results of the
/// bounds.
template <class Policy>
void Bisect(const Policy& policy, long& first, long& last, int lowResult, int highResult) {
    while (first < last && !(lowResult == 0 && highResult == 0)) {
        long middle = first + (last - first) / 2;
        int result = policy.WithItem(middle);
        bool moveLast = result == 0 || Sign(result) != Sign(lowResult);
        bool moveFirst = result == 0 || Sign(result) != Sign(highResult);
        if (moveLast) {
            last = (last == middle && result != 0) ? middle - 1 : middle;
            highResult = result;
        }
        if (moveFirst) {
            first = (first == middle && result != 0) ? middle + 1 : middle;
            lowResult = result;
        }
    }
    if (last < first) last = first;  // only an inconsistent comparator gets here
}

/// The half-open run [first, last) of the elements equal to the item among `size` (> 0) sorted
/// elements; when there is none, first == last is where the item keeps the order. The two ends
/// are compared first, then the bisection, then the run is widened one compare at a time.
template <class Policy>
void FindRun(const Policy& policy, long size, long& first, long& last) {
    first = last = size;
    int lowResult = policy.WithItem(0);
    int highResult = policy.WithItem(size - 1);
    if (lowResult > 0) {
        first = last = 0;
    } else if (lowResult == 0 && highResult == 0) {
        first = 0;
    } else if (highResult >= 0) {
        first = 0;
        last = size - 1;
        Bisect(policy, first, last, lowResult, highResult);
        while (first > 0 && policy.WithItem(first - 1) == 0) --first;
        while (last < size && policy.WithItem(last) == 0) ++last;
    }
}

}  // namespace SCC_ArraySortDetail
