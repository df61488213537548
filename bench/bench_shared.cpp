// The registry of fresh shared objects: what the first Ref of a heap object costs while other
// fresh (created, not yet referenced) objects exist. The search starts at the newest entry, so
// an object referenced right after its creation is found at once however many fresh objects
// wait (BM_X1_RegistryFirstRefNewest: flat in the count); an object with k newer fresh objects
// costs a scan of k entries plus the removal of its entry, a move of k pointers
// (BM_X2_RegistryFirstRefOldest: linear in k). Deleting an object after its last release needs
// no search either.
#include <memory>
#include <vector>

#include "SCC_SharedBuffer.h"
#include "bench/bench_util.h"

namespace {

class Shared : public SCC_SharedBuffer {};

// `waiting` fresh objects stay registered around the measured create-Ref-release cycle.
class FreshObjects {
public:
    explicit FreshObjects(long waiting) {
        for (long i = 0; i < waiting; ++i) m_objects.push_back(new Shared);
    }
    ~FreshObjects() {  // newest first: each is found at the end of the registry
        for (auto it = m_objects.rbegin(); it != m_objects.rend(); ++it) delete *it;
    }
    Shared* Oldest() const { return m_objects.front(); }

private:
    std::vector<Shared*> m_objects;
};

void FirstRefNewest(benchmark::State& state) {
    FreshObjects waiting(state.range(0));
    for (auto _ : state) {
        SCC_SharedPointer<Shared> pointer(new Shared);  // Ref finds it as the newest entry
        benchmark::DoNotOptimize(pointer.Get());
    }
}

void FirstRefOldest(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Shared* old = new Shared;
        std::unique_ptr<FreshObjects> newer(new FreshObjects(state.range(0)));
        state.ResumeTiming();
        long count = old->Ref(old);  // scans past every newer entry
        benchmark::DoNotOptimize(count);
        state.PauseTiming();
        old->Deref();
        delete old;
        newer.reset();
        state.ResumeTiming();
    }
}

BENCHMARK(FirstRefNewest)
    ->Name("BM_X1_RegistryFirstRefNewest/ours")
    ->Arg(0)
    ->Arg(1000)
    ->Arg(100000);
BENCHMARK(FirstRefOldest)
    ->Name("BM_X2_RegistryFirstRefOldest/ours")
    ->Arg(10)
    ->Arg(1000)
    ->Arg(10000);

}  // namespace
