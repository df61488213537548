#include "SYS_Filter.h"

namespace {

int IsTrueOf(SYS_Filter* filter, SYS_Handle handle) {
    return filter != nullptr ? filter->IsTrue(handle) : 0;
}

}  // namespace

SYS_Filter::SYS_Filter() : m_test(nullptr) {}

SYS_Filter::SYS_Filter(const SCC_SharedPointer<SYS_Filter>& left,
                       const SCC_SharedPointer<SYS_Filter>& right, Test test)
    : m_test(test), m_left(left), m_right(right) {}

SYS_Filter::SYS_Filter(const SYS_Filter& other)
    : SCC_SharedBuffer(other), m_test(other.m_test), m_left(other.m_left), m_right(other.m_right) {}

SYS_Filter& SYS_Filter::operator=(SYS_Filter& other) {
    m_test = other.m_test;
    m_left = other.m_left;
    m_right = other.m_right;
    return *this;
}

SYS_Filter::~SYS_Filter() {
    m_result.Release();
    m_right.Release();
    m_left.Release();
}

int SYS_Filter::IsTrue(SYS_Handle handle) {
    if (m_test == nullptr) return 0;
    SCC_SharedPointer<SYS_Filter> self(this);
    return m_test(self, handle);
}

int SYS_Filter::And_F(const SCC_SharedPointer<SYS_Filter>& f, SYS_Handle handle) {
    if (f.IsNull() || IsTrueOf(f->m_left.Get(), handle) == 0) return 0;
    return IsTrueOf(f->m_right.Get(), handle) != 0 ? 1 : 0;
}

int SYS_Filter::Or_F(const SCC_SharedPointer<SYS_Filter>& f, SYS_Handle handle) {
    if (f.IsNull()) return 0;
    if (IsTrueOf(f->m_left.Get(), handle) != 0) return 1;
    return IsTrueOf(f->m_right.Get(), handle) != 0 ? 1 : 0;
}

int SYS_Filter::Not_F(const SCC_SharedPointer<SYS_Filter>& f, SYS_Handle handle) {
    if (f.IsNull()) return 0;
    return IsTrueOf(f->m_left.Get(), handle) <= 0 ? 1 : 0;
}

SYS_Filter& SYS_Filter::Combine(SYS_Filter* right, Test test) {
    // The new node takes its references before the old result is released: the old result may
    // be the only holder of an operand.
    SCC_SharedPointer<SYS_Filter> combination(
        new SYS_Filter(SCC_SharedPointer<SYS_Filter>(this), SCC_SharedPointer<SYS_Filter>(right),
                       test));
    m_result = combination;
    return *m_result;
}

SYS_Filter& SYS_Filter::operator&(SYS_Filter& other) { return Combine(&other, &And_F); }

SYS_Filter& SYS_Filter::operator|(SYS_Filter& other) { return Combine(&other, &Or_F); }

SYS_Filter& SYS_Filter::operator!() { return Combine(nullptr, &Not_F); }
