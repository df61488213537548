// The registry of fresh shared objects: what the first Ref of a heap object costs while other
// fresh (created, not yet referenced) objects exist. The search starts at the newest entry, so
// an object referenced right after its creation is found at once however many fresh objects
// wait (BM_X1_RegistryFirstRefNewest: flat in the count); an object with k newer fresh objects
// costs a scan of k entries plus the removal of its entry, a move of k pointers
// (BM_X2_RegistryFirstRefOldest: linear in k). Deleting an object after its last release needs
// no search either.
#include <deque>
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

// The oldest of k + 1 fresh objects gets its first Ref (a scan past k newer entries), is
// released and deleted, and a new fresh object takes its place: k newer entries every time,
// without pausing the timer (a pause costs more than the short scans measured here).
void FirstRefOldest(benchmark::State& state) {
    std::deque<Shared*> fresh;
    for (long i = 0; i <= state.range(0); ++i) fresh.push_back(new Shared);
    for (auto _ : state) {
        Shared* oldest = fresh.front();
        fresh.pop_front();
        SCC_SharedPointer<Shared> pointer(oldest);  // scans past every newer entry
        fresh.push_back(new Shared);
        benchmark::DoNotOptimize(pointer.Get());
    }
    while (!fresh.empty()) {  // newest first: each is found at the end of the registry
        delete fresh.back();
        fresh.pop_back();
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
