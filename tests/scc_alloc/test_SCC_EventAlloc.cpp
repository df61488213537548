// Attaching, detaching and dispatching must not allocate. This executable replaces the global
// operator new to count allocations inside a measured window.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "SCC_Notifier.h"

namespace {
bool s_counting = false;
long s_allocations = 0;
}  // namespace

// The replacements pair malloc with free on purpose; an optimiser that inlines them into a
// test sees only the free and warns of a mismatch.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
    if (s_counting) ++s_allocations;
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}
void* operator new[](std::size_t size) { return operator new(size); }
// The nothrow forms must pair with the deletes below too (the standard library uses them).
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (s_counting) ++s_allocations;
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

class CountingWindow {
public:
    CountingWindow() {
        s_allocations = 0;
        s_counting = true;
    }
    ~CountingWindow() { s_counting = false; }
};

int s_calls = 0;
int CountCall(int, int*) { return ++s_calls; }

struct Reacting : SCC_EventNode<int> {
    SCC_Notifier* event = nullptr;
    SCC_EventNode<int>* victim = nullptr;
    int OnNotification(int code, int*) override {
        ++s_calls;
        if (code == 1) event->Notify(2, nullptr);  // nested dispatch
        if (code == 2 && victim != nullptr) {
            Detach(*victim);
            AddNode(*event, *victim);
        }
        return 0;
    }
};

TEST(SCC_EventAlloc, CounterSeesAllocations) {
    CountingWindow window;
    int* p = new int(3);
    // The pointer escapes, so an optimizer cannot elide the new and delete pair.
    asm volatile("" : : "r"(p) : "memory");
    delete p;
    EXPECT_EQ(1, s_allocations);
}

TEST(SCC_EventAlloc, AttachDetachAndDispatchNeverAllocate) {
    SCC_Notifier notifier, other;
    SCC_EventHook<int> hooks[10];
    SCC_EventNode<int> plain;
    Reacting reacting;
    reacting.event = &notifier;
    reacting.victim = &plain;
    s_calls = 0;
    {
        CountingWindow window;
        for (int i = 0; i < 10; ++i) {
            hooks[i].SetFunction(CountCall);
            hooks[i].SetPriority(i % 3);
            AddHook(notifier, hooks[i]);
        }
        AddNode(notifier, plain);
        AddNode(notifier, reacting);
        for (int round = 0; round < 100; ++round) notifier.Notify(1, &round);
        Detach(hooks[3]);
        hooks[4].Enable(FALSE);
        SCC_Notifier moved(notifier);
        other = moved;
        other.Notify(3, nullptr);
        for (SCC_EventHook<int>& hook : hooks) Detach(hook);
        EXPECT_EQ(0, s_allocations);
    }
    EXPECT_GT(s_calls, 2000);
}

}  // namespace
