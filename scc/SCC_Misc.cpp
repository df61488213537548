#include "SCC_SharedBuffer.h"

#include <new>

#include "SCC_Array.h"
#include "SSM_Assert.h"
#include "scc/SCC_SharedRegistry.h"

namespace {

const char kUnit[] = "scc/SCC_Misc";

// Addresses of objects made by SCC_SharedBuffer::operator new and not referenced yet, oldest
// first. Null outside the library's lifetime.
SCC_Array<void*>* s_fresh = nullptr;

void Register(void* p) {
    if (s_fresh != nullptr && p != nullptr) s_fresh->Add(p);
}

// Removes the newest entry equal to `p`; false when there is none.
bool Forget(void* p) {
    if (s_fresh == nullptr) return false;
    for (long i = s_fresh->GetSize() - 1; i >= 0; --i) {
        if (s_fresh->GetAt(i) == p) {
            s_fresh->RemoveAt(i, 1);
            return true;
        }
    }
    return false;
}

}  // namespace

void SCC_CreateSharedRegistry() {
    if (s_fresh == nullptr) s_fresh = new SCC_Array<void*>;
}

void SCC_DestroySharedRegistry() {
    delete s_fresh;
    s_fresh = nullptr;
}

void* SCC_SharedBuffer::operator new(std::size_t size) {
    void* p = ::operator new(size);
    Register(p);
    return p;
}

void* SCC_SharedBuffer::operator new(std::size_t /*size*/, void* place) {
    Register(place);
    return place;
}

void SCC_SharedBuffer::operator delete(void* p) {
    Forget(p);
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
    return --m_refCount;
}

void SCC_SharedBuffer::CollectGarbage() {
    if (s_fresh != nullptr) s_fresh->RemoveAll();
}
