#include "SCC_SharedBuffer.h"

#include <iterator>
#include <new>
#include <vector>

#include "SSM_Assert.h"

namespace {

const char kUnit[] = "scc/SCC_Misc";

// Addresses of objects made by SCC_SharedBuffer::operator new and not referenced yet, oldest
// first. Null outside the library's lifetime.
std::vector<void*>* s_fresh = nullptr;

// The object whose count the last Deref brought to 0, which its holder deletes next. Such an
// object was referenced, so it is not in the registry and its deletion needs no search. Any
// allocation in between clears it, so a stale address can never skip a needed search.
const void* s_releasedToZero = nullptr;

void Register(void* p) {
    if (s_fresh != nullptr && p != nullptr) s_fresh->push_back(p);
}

// Removes the newest entry equal to `p`; false when there is none.
bool Forget(void* p) {
    if (s_fresh == nullptr) return false;
    for (auto newest = s_fresh->rbegin(); newest != s_fresh->rend(); ++newest) {
        if (*newest == p) {
            s_fresh->erase(std::next(newest).base());
            return true;
        }
    }
    return false;
}

}  // namespace

void SCC_CreateSharedRegistry() {
    if (s_fresh == nullptr) s_fresh = new std::vector<void*>;
}

void SCC_DestroySharedRegistry() {
    delete s_fresh;
    s_fresh = nullptr;
}

void* SCC_SharedBuffer::operator new(std::size_t size) {
    s_releasedToZero = nullptr;
    void* p = ::operator new(size);
    Register(p);
    return p;
}

void* SCC_SharedBuffer::operator new(std::size_t /*size*/, void* place) {
    s_releasedToZero = nullptr;
    Register(place);
    return place;
}

void SCC_SharedBuffer::operator delete(void* p) {
    // When SCC_SharedBuffer is not the first base, p differs from the address Deref saw and
    // the registry is searched: slower, never wrong.
    if (p != s_releasedToZero) Forget(p);
    s_releasedToZero = nullptr;
    ::operator delete(p);
}

void SCC_SharedBuffer::operator delete(void* p, void* /*place*/) { Forget(p); }

long SCC_SharedBuffer::Ref(void* self) {
    if (!SSM_CHECK_THROW(m_refCount >= 0, "", kUnit, SSM_FailureAssert)) return m_refCount;
    if (m_refCount == 0)
        m_refCount = Forget(self) ? 1 : kNotDeletable;
    else
        ++m_refCount;
    return m_refCount;
}

long SCC_SharedBuffer::Deref() {
    if (!SSM_CHECK_THROW(m_refCount >= 1, "", kUnit, SSM_FailureAssert)) return m_refCount;
    if (--m_refCount == 0) s_releasedToZero = this;
    return m_refCount;
}

void SCC_SharedBuffer::CollectGarbage() {
    if (s_fresh != nullptr) s_fresh->clear();
}
