#pragma once

#include "SCC_Array.h"
#include "SSM_Assert.h"
#include "TessarExport.h"
#include "TessarTypes.h"

/// A stack on top of SCC_Array<T>: the first `count` elements of the array are the pushed items,
/// the top at index count - 1. Popping keeps the array's slot, so a later push reuses it; the
/// array only grows. Pushing writes through SetAtGrow, so listeners of the array see Changed (and
/// Block and Inserted when the array grows). Copies share the buffer until one of them writes.
///
/// Popping an empty stack and peeking below the bottom are failed checks of type 1, reported as
/// "scc/sccstack"; they answer a default-constructed T and change nothing. Shrinking the array
/// through the base class is not tracked: empty the stack with RemoveAll.
template <class T>
class TESSAR_EXPORT SCC_Stack : public SCC_Array<T> {
public:
    SCC_Stack() : count(0) {}

    /// Puts a copy of `item` on top (`item` may be an element of this stack).
    void Push(const T& item) {
        ++count;
        this->SetAtGrow(count - 1, item);
        if (!this->InBounds(count - 1)) --count;  // the array could not grow
    }
    /// Takes the top item off and returns it.
    T Pop() {
        if (!SSM_CHECK(count >= 1, "", kUnit, SSM_FailureError)) return T();
        --count;
        return this->GetAt(count);
    }
    /// The item `below` places under the top (0: the top itself).
    T Peek(long below = 0) const {
        if (!SSM_CHECK(below >= 0 && below + 1 <= count, "", kUnit, SSM_FailureError)) return T();
        return this->GetAt(count - 1 - below);
    }
    /// Number of pushed items (the array may hold more slots).
    long GetCount() const { return count; }
    /// TRUE when nothing is pushed (slots the array keeps do not count).
    int IsEmpty() const override { return count == 0; }
    /// Pops everything and drops the array's buffer.
    void RemoveAll() {
        count = 0;
        _SCC_Array::RemoveAll();
    }

protected:
    /// Number of pushed items: the first `count` slots of the array.
    long count;

private:
    static constexpr const char* kUnit = "scc/sccstack";
};
