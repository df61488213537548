#include <gtest/gtest.h>

#include <memory>
#include <new>

#include "SCC_SharedBuffer.h"
#include "TessarPlatform.h"

// These tests hand the registry the addresses of objects that are gone or were never
// allocated, to prove that it tells them apart: such an address is compared, never
// dereferenced, and the delete an optimiser sees on the release path of a stack or member
// object is never reached.
#pragma GCC diagnostic ignored "-Wuse-after-free"
#pragma GCC diagnostic ignored "-Wfree-nonheap-object"
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {

int s_destroyed = 0;

class Shared : public SCC_SharedBuffer {
public:
    ~Shared() override { ++s_destroyed; }
};

struct Other {
    virtual ~Other() = default;
    long padding[3] = {};
};

// SCC_SharedBuffer is not the first base: its address differs from the object's.
class SecondBase : public Other, public SCC_SharedBuffer {
public:
    ~SecondBase() override { ++s_destroyed; }
};

struct Holder {
    Shared member;
};

class SharedBufferTest : public ::testing::Test {
protected:
    void SetUp() override { s_destroyed = 0; }
};

TEST_F(SharedBufferTest, HeapObjectsCountFromOneAndGoWithTheirLastSharedPointer) {
    Shared* object = new Shared;
    EXPECT_EQ(0, object->GetRefCount());
    EXPECT_EQ(1, object->Ref(object));
    EXPECT_FALSE(object->IsShared());
    EXPECT_EQ(2, object->Ref(object));
    EXPECT_TRUE(object->IsShared());
    Shared* copy = new Shared(*object);  // a fresh heap object of its own
    EXPECT_EQ(0, copy->GetRefCount());
    *object = *copy;  // assignment keeps the count
    EXPECT_EQ(2, object->GetRefCount());
    EXPECT_EQ(1, object->Deref());
    EXPECT_EQ(0, object->Deref());
    delete object;
    delete copy;
    {
        SCC_SharedPointer<Shared> first(new Shared);
        SCC_SharedPointer<Shared> second;
        second = first;
        second = second;  // self-assignment keeps it alive
        EXPECT_EQ(2, first->GetRefCount());
        second.Release();
        EXPECT_TRUE(second.IsNull());
        // A count that is not the first base lives at another address than its object.
        SCC_SharedPointer<SecondBase> other(new SecondBase);
        EXPECT_NE(static_cast<void*>(other.Get()),
                  static_cast<void*>(static_cast<SCC_SharedBuffer*>(other.Get())));
        EXPECT_EQ(1, other->GetRefCount());
        EXPECT_EQ(2, s_destroyed);
    }
    EXPECT_EQ(4, s_destroyed);
}

TEST_F(SharedBufferTest, StackMemberAndCollectedObjectsAreNeverDeleted) {
    Shared local;
    EXPECT_EQ(SCC_SharedBuffer::kNotDeletable, local.Ref(&local));
    EXPECT_EQ(0x3FFFFFFF, SCC_SharedBuffer::kNotDeletable);
    std::unique_ptr<Holder> holder(new Holder);
    EXPECT_EQ(SCC_SharedBuffer::kNotDeletable, holder->member.Ref(&holder->member));
    Shared* early = new Shared;
    SCC_SharedBuffer::CollectGarbage();
    EXPECT_EQ(SCC_SharedBuffer::kNotDeletable, early->Ref(early));
    delete early;
    {
        SCC_SharedPointer<Shared> a(&local), b(&holder->member);
        SCC_SharedPointer<Shared> c(a);
        a = &holder->member;
    }
    EXPECT_EQ(1, s_destroyed);  // only the one deleted by hand
    // The first Ref counted as the reference that gave kNotDeletable; the pointers' are undone.
    EXPECT_EQ(SCC_SharedBuffer::kNotDeletable, local.GetRefCount());
}

TEST_F(SharedBufferTest, ReleasingDeletingAndPlacingKeepTheRegistryExact) {
    Shared* waiting = new Shared;
    Shared* released = new Shared;
    released->Ref(released);
    EXPECT_EQ(0, released->Deref());  // not deleted yet
    Shared* neverReferenced = new Shared;
    void* address = neverReferenced;
    delete neverReferenced;  // must still leave the registry
    Shared local;
    EXPECT_EQ(SCC_SharedBuffer::kNotDeletable, local.Ref(address));
    delete released;
    EXPECT_EQ(1, waiting->Ref(waiting));  // still registered after all that
    waiting->Deref();
    delete waiting;
    Shared* placed = new (::operator new(sizeof(Shared))) Shared;  // placement new registers too
    SCC_SharedPointer<Shared> pointer(placed);
    EXPECT_EQ(1, placed->GetRefCount());
    pointer.Release();  // deletes through operator delete, which frees the block
    EXPECT_EQ(4, s_destroyed);
}

}  // namespace
