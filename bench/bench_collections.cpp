// Collections (informational, no goal): source inserts into a filtered, sorted collection; a
// flood of changes into a sorted collection of 10,000 handles, suspended or not, smart or not;
// a reload of 100,000 handles. Each run checks the content against a sorted model.
#include <algorithm>
#include <vector>

#include "SCC_StdCollection.h"
#include "SYS_Filter.h"
#include "bench/bench_util.h"

namespace {

struct Item {
    int key;
    long index;  // place in the source walk
};

Item* ItemOf(SYS_Handle handle) { return reinterpret_cast<Item*>(handle); }
SYS_Handle HandleOf(Item* item) { return reinterpret_cast<SYS_Handle>(item); }

// Key, then source place: a total order.
int CompareItems(const SYS_Handle& a, const SYS_Handle& b) {
    const Item &x = *ItemOf(a), &y = *ItemOf(b);
    if (x.key != y.key) return x.key < y.key ? -1 : 1;
    return x.index < y.index ? -1 : (x.index > y.index ? 1 : 0);
}

struct OddKeys : SYS_Filter {
    int IsTrue(SYS_Handle handle) override { return (ItemOf(handle)->key & 1) != 0; }
};

class Source {
public:
    ~Source() {
        for (Item* item : items) delete item;
    }
    SYS_Handle Add(int key) {
        items.push_back(new Item{key, static_cast<long>(items.size())});
        return HandleOf(items.back());
    }
    void Announce(int code, SYS_Handle handle) { event.Notify(code, SCC_Notifier::ValueAsData(handle)); }

    SCC_Notifier event;
    std::vector<Item*> items;
};

// The collection walks the source by index.
class Collection : public SCC_StdCollection {
public:
    explicit Collection(Source& source) : m_source(source), m_slider(-1) { SetEvent(&source.event); }
    SYS_Handle _GetSlider() override { return m_slider >= 0 ? HandleOf(m_source.items[static_cast<size_t>(m_slider)]) : 0; }
    void _SetSlider(SYS_Handle handle) override { m_slider = handle == 0 ? -1 : ItemOf(handle)->index; }
    int _GetFirst() override { return Settle(0); }
    int _GetNext() override { return Settle(m_slider < 0 ? 0 : m_slider + 1); }
    int _GetPrev() override { return Settle(m_slider - 1); }

    // The content equals the sorted handles of the source that pass `accept`.
    template <class Accept>
    bool Matches(Accept accept) {
        std::vector<SYS_Handle> model;
        for (Item* item : m_source.items)
            if (accept(*item)) model.push_back(HandleOf(item));
        std::sort(model.begin(), model.end(), [](SYS_Handle a, SYS_Handle b) { return CompareItems(a, b) < 0; });
        if (static_cast<long>(model.size()) != GetSize()) return false;
        for (long i = 0; i < GetSize(); ++i)
            if (GetAt(i) != model[static_cast<size_t>(i)]) return false;
        return true;
    }

private:
    int Settle(long index) {
        m_slider = index >= 0 && index < static_cast<long>(m_source.items.size()) ? index : -1;
        return m_slider >= 0;
    }
    Source& m_source;
    long m_slider;
};

bool All(const Item&) { return true; }

// ---- C1: 100,000 inserts into a filtered, sorted collection -----------------------------------
void InsertsOurs(benchmark::State& state) {
    OddKeys odd;  // outlives the collections that hold it
    for (auto _ : state) {
        state.PauseTiming();
        Source source;
        Collection collection(source);
        collection.SetFilter(&odd);
        collection.SetSort(&CompareItems, 0);
        collection.AllowReload(1);
        bench::Random random(71);
        state.ResumeTiming();
        for (int i = 0; i < 100000; ++i) source.Announce(1, source.Add(random.Below(1 << 30)));
        state.PauseTiming();
        bench::RequireSame("C1 content", collection.Matches([](const Item& item) { return (item.key & 1) != 0; }), true);
        state.ResumeTiming();
    }
}
BENCH_REGISTER("BM_C1_FilteredSortedInserts/ours", InsertsOurs)->Unit(benchmark::kMillisecond);

// ---- C2: 100,000 changes into 10,000 handles ----------------------------------------------------
void ChangesOurs(benchmark::State& state) {
    const bool suspended = state.range(0) != 0, smart = state.range(1) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        Source source;
        bench::Random random(72);
        for (int i = 0; i < 10000; ++i) source.Add(random.Below(1 << 30));
        Collection collection(source);
        collection.SetSort(&CompareItems, 0);
        collection.SetNotificationSmart(smart ? 1 : 0);
        collection.AllowReload(1);
        state.ResumeTiming();
        if (suspended) collection.Suspend(1);
        for (int i = 0; i < 100000; ++i) {
            Item* item = source.items[static_cast<size_t>(random.Below(10000))];
            item->key = random.Below(1 << 30);
            source.Announce(3, HandleOf(item));
        }
        if (suspended) collection.Suspend(0);
        state.PauseTiming();
        bench::RequireSame("C2 content", collection.Matches(All), true);
        state.ResumeTiming();
    }
}
BENCH_REGISTER("BM_C2_ChangeFlood/ours", ChangesOurs)
    ->ArgNames({"suspended", "smart"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

// ---- C3: reload of 100,000 handles ---------------------------------------------------------------
void ReloadOurs(benchmark::State& state) {
    Source source;
    bench::Random random(73);
    for (int i = 0; i < 100000; ++i) source.Add(random.Below(1 << 30));
    Collection collection(source);
    collection.SetSort(&CompareItems, 0);
    collection.AllowReload(1);
    bench::RequireSame("C3 content", collection.Matches(All), true);
    for (auto _ : state) collection.Reload(1);
    bench::RequireSame("C3 content", collection.Matches(All), true);
}
BENCH_REGISTER("BM_C3_Reload/ours", ReloadOurs)->Unit(benchmark::kMillisecond);

}  // namespace
