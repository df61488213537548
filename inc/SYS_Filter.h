#pragma once

#include "SCC_SharedBuffer.h"
#include "TessarExport.h"
#include "TessarTypes.h"

/// A reference-counted predicate over handles. A filter either carries a test function or
/// combines other filters with and, or, not; combinations are built with &, | and ! and evaluated
/// lazily by IsTrue (an and stops at a false left operand, an or at a true one). Derived filters
/// override IsTrue. Filters are shared through SCC_SharedPointer<SYS_Filter>.
///
/// Ownership. A combination holds a reference to each of its operands. The left operand of &, |
/// and ! keeps the combination it built last in its result slot, until its next &, | or !
/// replaces it, so the expression `a & b` can be handed on without anyone holding it yet:
///   collection.SetFilter(&(evenFilter & bigFilter));
/// An operand that is a member, a local or a static is never deleted by a release; its result
/// slot frees the combination when the operand is destroyed. A heap operand and its latest
/// combination hold each other: they stay alive until the operand builds another combination or
/// ReleaseResult() breaks the link. A combination cannot keep an operand that is not a heap
/// object alive: the left operand of `a & b` must be destroyed (or release its result) before
/// the right one, as locals declared in the order `b, a` are.
///
/// IsTrue of a filter that carries a test takes and drops a reference to the filter for the
/// duration of the call: such a filter, when created on the heap, must be held by a shared pointer
/// (or a result slot) while it is evaluated, or the call deletes it.
class TESSAR_EXPORT SYS_Filter : public SCC_SharedBuffer {
public:
    /// A test: the filter evaluated (held for the call) and the handle; non-zero accepts.
    typedef int (*Test)(const SCC_SharedPointer<SYS_Filter>& self, SYS_Handle handle);

    /// No test and no operands: false for every handle.
    SYS_Filter();
    /// A combination node over `left` and `right` (right is null for a negation).
    SYS_Filter(const SCC_SharedPointer<SYS_Filter>& left, const SCC_SharedPointer<SYS_Filter>& right,
               Test test);
    /// Copies the test and shares the operands; the result slot is not copied.
    SYS_Filter(const SYS_Filter& other);
    /// Copies the test and shares the operands, as the copy constructor; this filter's result slot
    /// is kept. Returns this filter.
    SYS_Filter& operator=(SYS_Filter& other);
    /// Releases the result slot, the right operand and the left operand, in that order.
    ~SYS_Filter() override;

    /// The test's answer for `handle`; 0 without a test.
    virtual int IsTrue(SYS_Handle handle);

    /// Left operand true (non-zero) and right operand true: 1, else 0. A false left operand
    /// answers 0 without consulting the right one; a missing operand counts as false.
    static int And_F(const SCC_SharedPointer<SYS_Filter>& f, SYS_Handle handle);
    /// 1 when the left operand is true (the right one is then not consulted) or the right one is;
    /// else 0.
    static int Or_F(const SCC_SharedPointer<SYS_Filter>& f, SYS_Handle handle);
    /// 1 when the left operand answers 0 or a negative value (a missing operand answers 0), else
    /// 0. Note the asymmetry: -1 is true for And_F and Or_F but not for Not_F.
    static int Not_F(const SCC_SharedPointer<SYS_Filter>& f, SYS_Handle handle);

    /// A new combination (this and `other`) stored in this filter's result slot, whose previous
    /// combination is released; returns the new one.
    ///@{
    SYS_Filter& operator&(SYS_Filter& other);
    SYS_Filter& operator|(SYS_Filter& other);
    SYS_Filter& operator!();
    ///@}

    /// Releases the combination this filter built last (breaks the hold described above).
    void ReleaseResult() { m_result.Release(); }

    /// The test function; null for a filter without one.
    Test GetTest() const { return m_test; }
    /// The operands of a combination (right is null for a negation); null for a plain filter.
    ///@{
    SYS_Filter* GetLeft() const { return m_left.Get(); }
    SYS_Filter* GetRight() const { return m_right.Get(); }
    ///@}
    /// The combination this filter built last (see Ownership); null when there is none.
    SYS_Filter* GetResult() const { return m_result.Get(); }

private:
    SYS_Filter& Combine(SYS_Filter* right, Test test);

    Test m_test;
    SCC_SharedPointer<SYS_Filter> m_left;
    SCC_SharedPointer<SYS_Filter> m_right;
    SCC_SharedPointer<SYS_Filter> m_result;
};
