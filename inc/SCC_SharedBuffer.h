#pragma once

#include <cstddef>

#include "TessarExport.h"

/// The intrusive reference count of every shared object of the library (array buffers,
/// comparators, filters, convertors, properties), held through SCC_SharedPointer.
///
/// Heap objects are told from members, locals and statics: an object created with this class's
/// own operator new is registered as "fresh" until its first reference; the first Ref of a
/// registered object sets the count to 1, and the holder that releases the last reference
/// deletes it. Every other object gets the count kNotDeletable on its first Ref and is never
/// deleted by a release.
///
/// The registry of fresh objects is process-wide and unlocked (the library has one thread). It
/// exists from the library's load to its unload; an object created outside that time is never
/// registered, so it is never deleted by a release (it leaks rather than being freed twice).
/// Searching it starts from the newest entry: an object referenced right after its creation, the
/// usual case, is found in O(1) however many fresh objects exist; an object referenced after k
/// newer ones costs O(k).
class TESSAR_EXPORT SCC_SharedBuffer {
public:
    /// Count of an object that was not created by operator new below; never reaches 0.
    static constexpr long kNotDeletable = 0x3FFFFFFF;

    /// Unreferenced: the first Ref decides whether a release may delete the object.
    SCC_SharedBuffer() : m_refCount(0) {}
    /// A copy starts unreferenced; it does not inherit the count.
    SCC_SharedBuffer(const SCC_SharedBuffer&) : m_refCount(0) {}
    /// Leaves the target's count unchanged.
    SCC_SharedBuffer& operator=(const SCC_SharedBuffer&) { return *this; }
    /// A shared object is deleted by the holder of its last reference, never directly while
    /// referenced.
    virtual ~SCC_SharedBuffer() = default;

    /// Allocates and registers the object as fresh.
    static void* operator new(std::size_t size);
    /// Registers `place` as fresh and returns it; the object is later deleted with operator
    /// delete, so `place` must come from this class's operator new or from the global operator new.
    static void* operator new(std::size_t size, void* place);
    /// Forgets `p` in the registry when it is there, then frees it.
    static void operator delete(void* p);
    /// Only forgets `place` in the registry (a constructor threw after placement new).
    static void operator delete(void* p, void* place);

    /// Takes a reference. `self` is the complete object's address as operator new returned it
    /// (it differs from `this` when SCC_SharedBuffer is not the first base). The first Ref of a
    /// fresh object gives 1, of any other object kNotDeletable. Returns the new count; a
    /// negative count is a failed check (type 0) and is left unchanged.
    long Ref(void* self);
    /// Drops a reference and returns the new count; the caller deletes the object at 0. A count
    /// below 1 is a failed check (type 0) and is left unchanged.
    long Deref();
    /// The current count: 0 before the first Ref, kNotDeletable (or more) for objects a release
    /// never deletes.
    long GetRefCount() const { return m_refCount; }
    /// Non-zero when more than one reference is held, so a writer must copy before writing.
    int IsShared() const { return m_refCount > 1; }

    /// Forgets every fresh object: their first Ref then treats them as not deletable. Nothing is
    /// freed.
    static void CollectGarbage();

protected:
    /// For owners that allocate their objects themselves and never register them (array buffers):
    /// a count of 0 becomes 1, else like Ref.
    long RefOwnAllocation() { return m_refCount == 0 ? (m_refCount = 1) : Ref(this); }

private:
    long m_refCount;
};

/// The library's load creates the registry of fresh objects and its unload destroys it, in the
/// order of the library's process-wide objects. Only the library's own entry calls them; they
/// are not exported.
void SCC_CreateSharedRegistry();
void SCC_DestroySharedRegistry();

/// Holds one reference to a shared object (T derives from SCC_SharedBuffer) and deletes the
/// object when it releases the last reference. Null is allowed.
template <class T>
class TESSAR_EXPORT SCC_SharedPointer {
public:
    /// Takes a reference to `object` (null holds nothing).
    SCC_SharedPointer(T* object = nullptr) : m_object(object) { Acquire(); }
    /// Takes another reference to other's object.
    SCC_SharedPointer(const SCC_SharedPointer& other) : m_object(other.m_object) { Acquire(); }
    /// Releases the reference (see Release).
    ~SCC_SharedPointer() { Release(); }

    /// Takes the new reference before releasing the old one, so assigning an object to the
    /// pointer that already holds it keeps it alive.
    SCC_SharedPointer& operator=(const SCC_SharedPointer& other) { return Assign(other.m_object); }
    /// As above, for a raw object (null releases).
    SCC_SharedPointer& operator=(T* object) { return Assign(object); }

    /// Drops the reference (deleting the object at 0) and becomes null.
    void Release() {
        T* object = m_object;
        m_object = nullptr;
        if (object != nullptr && object->Deref() == 0) delete object;
    }

    /// The object, or null; the pointer stays valid while this holder keeps its reference.
    ///@{
    T* Get() const { return m_object; }
    T* operator->() const { return m_object; }
    T& operator*() const { return *m_object; }
    operator T*() const { return m_object; }
    ///@}
    /// Non-zero when no object is held.
    int IsNull() const { return m_object == nullptr; }

private:
    void Acquire() {
        if (m_object != nullptr) m_object->Ref(dynamic_cast<void*>(m_object));
    }
    SCC_SharedPointer& Assign(T* object) {
        if (object != nullptr) object->Ref(dynamic_cast<void*>(object));
        T* old = m_object;
        m_object = object;
        if (old != nullptr && old->Deref() == 0) delete old;
        return *this;
    }

    T* m_object;
};
