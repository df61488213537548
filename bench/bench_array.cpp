// Arrays (goals A1-A8): appends on the fixed growth schedule, the quicksort with its guard,
// ordered searches and inserts, and copy-on-write copies, against std::vector, a vector forced
// onto the same growth schedule, qsort(3), std::sort, std::equal_range and std::shared_ptr.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "SCC_Array.h"
#include "bench/bench_util.h"

namespace {

constexpr long kAppend = 100000;
constexpr long kSort = 100000;
constexpr long kFinds = 1000000;
constexpr long kOrderedAdds = 20000;

std::vector<int> Contents(const SCC_Array<int>& array) {
    std::vector<int> out(static_cast<size_t>(array.GetSize()));
    for (long i = 0; i < array.GetSize(); ++i) out[static_cast<size_t>(i)] = array.GetAt(i);
    return out;
}

std::vector<int> RandomInts(long count, int bound, uint64_t seed) {
    bench::Random random(seed);
    std::vector<int> out(static_cast<size_t>(count));
    for (int& v : out) v = random.Below(bound);
    return out;
}

SCC_ComparatorBase* IntComparator() {
    static SCC_SharedPointer<SCC_ComparatorBase> comparator(new SCC_Comparator<int>);
    return comparator.Get();
}

// ---- A1/A2: appends ---------------------------------------------------------------------------
SCC_Array<int> AppendedOurs(long n) {
    SCC_Array<int> array;
    for (long i = 0; i < n; ++i) array.Add(static_cast<int>(i));
    return array;
}

void AppendOurs(benchmark::State& state) {
    const long n = state.range(0);
    std::vector<int> expected(static_cast<size_t>(n));
    for (long i = 0; i < n; ++i) expected[static_cast<size_t>(i)] = static_cast<int>(i);
    bench::RequireSame("append", Contents(AppendedOurs(n)), expected);
    for (auto _ : state) {
        SCC_Array<int> array;
        for (long i = 0; i < n; ++i) array.Add(static_cast<int>(i));
        benchmark::DoNotOptimize(array.GetAt(n - 1));
    }
}

void AppendVector(benchmark::State& state) {
    const long n = state.range(0);
    for (auto _ : state) {
        std::vector<int> vector;
        for (long i = 0; i < n; ++i) vector.push_back(static_cast<int>(i));
        benchmark::DoNotOptimize(vector.data());
    }
}

// The array's schedule: a full buffer grows by twice the size, at least 1, at most 10000.
void AppendVectorOnSchedule(benchmark::State& state) {
    const long n = state.range(0);
    for (auto _ : state) {
        std::vector<int> vector;
        for (long i = 0; i < n; ++i) {
            if (vector.size() == vector.capacity()) {
                size_t grow = std::min<size_t>(std::max<size_t>(2 * vector.size(), 1), 10000);
                vector.reserve(vector.capacity() + grow);
            }
            vector.push_back(static_cast<int>(i));
        }
        benchmark::DoNotOptimize(vector.data());
    }
}

// The floor of the array's layout on the same schedule: a shared buffer whose reference count,
// capacity and size sit in a heap header in front of the elements (so every append reads and
// writes the size through the buffer), an append that tests for room and for sharing, growth
// by reallocation and copy. No comparator, no notifier, no checks.
class HeaderBufferFloor {
public:
    HeaderBufferFloor() = default;
    ~HeaderBufferFloor() { std::free(m_header); }
    HeaderBufferFloor(const HeaderBufferFloor&) = delete;
    HeaderBufferFloor& operator=(const HeaderBufferFloor&) = delete;

    void Add(int value) {
        if (m_header == nullptr || m_header->size >= m_header->capacity || m_header->refCount > 1) Grow();
        Elements()[m_header->size++] = value;
    }
    const int* Data() const { return reinterpret_cast<const int*>(m_header + 1); }

private:
    struct Header {
        long refCount, capacity, size;
    };
    int* Elements() { return reinterpret_cast<int*>(m_header + 1); }
    void Grow() {
        const long size = m_header != nullptr ? m_header->size : 0;
        const long capacity = size + std::min<long>(std::max<long>(2 * size, 1), 10000);
        auto* grown = static_cast<Header*>(std::malloc(sizeof(Header) + sizeof(int) * static_cast<size_t>(capacity)));
        *grown = Header{1, capacity, size};
        if (m_header != nullptr) std::memcpy(grown + 1, m_header + 1, sizeof(int) * static_cast<size_t>(size));
        std::free(m_header);
        m_header = grown;
    }
    Header* m_header = nullptr;
};

void AppendHeaderFloor(benchmark::State& state) {
    const long n = state.range(0);
    for (auto _ : state) {
        HeaderBufferFloor array;
        for (long i = 0; i < n; ++i) array.Add(static_cast<int>(i));
        benchmark::DoNotOptimize(array.Data());
    }
}

BENCH_REGISTER("BM_A1_Append/ours", AppendOurs)->Arg(kAppend);
BENCH_REGISTER("BM_A1_Append/vector_schedule", AppendVectorOnSchedule)->Arg(kAppend);
BENCH_REGISTER("BM_A1_Append/std_vector", AppendVector)->Arg(kAppend);
BENCH_REGISTER("BM_A1_Append/header_floor", AppendHeaderFloor)->Arg(kAppend);
BENCH_REGISTER("BM_A2_AppendLarge/ours", AppendOurs)->Arg(1000000)->Arg(3000000);
BENCH_REGISTER("BM_A2_AppendLarge/vector_schedule", AppendVectorOnSchedule)->Arg(1000000)->Arg(3000000);
BENCH_REGISTER("BM_A2_AppendLarge/std_vector", AppendVector)->Arg(1000000)->Arg(3000000);

// ---- A3: appends with one listener --------------------------------------------------------------
struct CodeCounter : SCC_EventNode<int> {
    long inserted = 0, changed = 0;
    int OnNotification(int code, int*) override {
        if (code == 1) ++inserted;
        if (code == 7) ++changed;
        return 0;
    }
};

void AppendListenedOurs(benchmark::State& state) {
    for (auto _ : state) {
        CodeCounter counter;
        SCC_Array<int> array;
        array.AddListener(counter);
        for (long i = 0; i < kAppend; ++i) array.Add(static_cast<int>(i));
        bench::RequireSame("append with listener", counter.inserted + counter.changed, 2 * kAppend);
    }
}
BENCH_REGISTER("BM_A3_AppendListened/ours", AppendListenedOurs);

// ---- A4/A5: sorts -----------------------------------------------------------------------------------
enum Input { kRandom, kSorted, kReversed, kTenKeys, kAllEqual };

const std::vector<int>& SortInput(Input input) {
    static std::vector<int> inputs[5];
    std::vector<int>& v = inputs[input];
    if (!v.empty()) return v;
    v = RandomInts(kSort, 1 << 30, 11 + input);
    if (input == kSorted) std::sort(v.begin(), v.end());
    if (input == kReversed) std::sort(v.rbegin(), v.rend());
    if (input == kTenKeys) for (int& x : v) x %= 10;
    if (input == kAllEqual) std::fill(v.begin(), v.end(), 42);
    return v;
}

std::vector<int> StdSorted(Input input) {
    std::vector<int> v = SortInput(input);
    std::sort(v.begin(), v.end());
    return v;
}

int CompareInts(const void* a, const void* b) {
    int x = *static_cast<const int*>(a), y = *static_cast<const int*>(b);
    return (x > y) - (x < y);
}

template <Input In>
void SortOurs(benchmark::State& state) {
    const std::vector<int>& input = SortInput(In);
    SCC_Array<int> source;
    source.SetSize(static_cast<long>(input.size()));
    for (size_t i = 0; i < input.size(); ++i) source[static_cast<long>(i)] = input[i];
    SCC_Array<int> checked(source);
    checked.SetComparator(IntComparator());
    bench::RequireSame("sort", Contents(checked), StdSorted(In));
    for (auto _ : state) {
        SCC_Array<int> work(source);         // shares the buffer ...
        work.SetComparator(IntComparator());  // ... which the sort copies, then sorts
        benchmark::DoNotOptimize(work.GetAt(0));
    }
}

template <Input In>
void SortQsort(benchmark::State& state) {
    const std::vector<int>& input = SortInput(In);
    for (auto _ : state) {
        std::vector<int> work(input);
        std::qsort(work.data(), work.size(), sizeof(int), CompareInts);
        benchmark::DoNotOptimize(work.data());
    }
}

template <Input In>
void SortStd(benchmark::State& state) {
    const std::vector<int>& input = SortInput(In);
    for (auto _ : state) {
        std::vector<int> work(input);
        std::sort(work.begin(), work.end());
        benchmark::DoNotOptimize(work.data());
    }
}

#define A_SORT_PAIR(name, input)                                 \
    BENCH_REGISTER("BM_" name "/ours", SortOurs<input>);        \
    BENCH_REGISTER("BM_" name "/qsort", SortQsort<input>);      \
    BENCH_REGISTER("BM_" name "/std_sort", SortStd<input>)
A_SORT_PAIR("A4_SortRandom", kRandom);
A_SORT_PAIR("A4_SortSorted", kSorted);
A_SORT_PAIR("A4_SortReversed", kReversed);
A_SORT_PAIR("A5_SortTenKeys", kTenKeys);
A_SORT_PAIR("A5_SortAllEqual", kAllEqual);

// ---- A6: bisection finds -----------------------------------------------------------------------------
struct FindInputs {
    std::vector<int> sorted;   // distinct values
    std::vector<int> queries;  // each one of the values
};

const FindInputs& Finds() {
    static FindInputs inputs = [] {
        FindInputs in;
        in.sorted = RandomInts(kSort, 1 << 30, 21);
        std::sort(in.sorted.begin(), in.sorted.end());
        in.sorted.erase(std::unique(in.sorted.begin(), in.sorted.end()), in.sorted.end());
        bench::Random random(22);
        in.queries.resize(kFinds);
        for (int& q : in.queries) q = in.sorted[static_cast<size_t>(random.Below(static_cast<int>(in.sorted.size())))];
        return in;
    }();
    return inputs;
}

long FindSumOurs(const SCC_Array<int>& array, const std::vector<int>& queries) {
    long sum = 0, index = 0;
    for (int q : queries) sum += array.Find(q, index) ? index : -1;
    return sum;
}

long FindSumPeer(const std::vector<int>& sorted, const std::vector<int>& queries) {
    long sum = 0;
    for (int q : queries) {
        auto range = std::equal_range(sorted.begin(), sorted.end(), q);
        sum += range.first != range.second ? range.first - sorted.begin() : -1;
    }
    return sum;
}

void FindOurs(benchmark::State& state) {
    const FindInputs& in = Finds();
    SCC_SortableArray<int> array(IntComparator());
    for (int v : in.sorted) array.InsertAt(array.GetSize(), v);
    bench::RequireSame("finds", FindSumOurs(array, in.queries), FindSumPeer(in.sorted, in.queries));
    for (auto _ : state) benchmark::DoNotOptimize(FindSumOurs(array, in.queries));
}

void FindPeer(benchmark::State& state) {
    const FindInputs& in = Finds();
    for (auto _ : state) benchmark::DoNotOptimize(FindSumPeer(in.sorted, in.queries));
}
BENCH_REGISTER("BM_A6_BisectionFind/ours", FindOurs);
BENCH_REGISTER("BM_A6_BisectionFind/equal_range", FindPeer);

// ---- A7: ordered adds ------------------------------------------------------------------------------------
const std::vector<int>& AddInput() {
    static const std::vector<int> input = RandomInts(kOrderedAdds, 1 << 30, 31);
    return input;
}

std::vector<int> OrderedAddsPeer() {
    std::vector<int> vector;
    for (int v : AddInput()) vector.insert(std::upper_bound(vector.begin(), vector.end(), v), v);
    return vector;
}

void OrderedAddOurs(benchmark::State& state) {
    bool checked = false;
    for (auto _ : state) {
        SCC_SortableArray<int> array(IntComparator());
        for (int v : AddInput()) array.Add(v);
        benchmark::DoNotOptimize(array.GetAt(0));
        if (!checked) {
            state.PauseTiming();
            bench::RequireSame("ordered adds", Contents(array), OrderedAddsPeer());
            checked = true;
            state.ResumeTiming();
        }
    }
}

void OrderedAddPeer(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(OrderedAddsPeer().data());
}
BENCH_REGISTER("BM_A7_OrderedAdd/ours", OrderedAddOurs);
BENCH_REGISTER("BM_A7_OrderedAdd/upper_bound_insert", OrderedAddPeer);

// ---- A8: copies -------------------------------------------------------------------------------------------
const std::vector<int>& CopyInput() {
    static const std::vector<int> input = RandomInts(kAppend, 1 << 30, 41);
    return input;
}

SCC_Array<int> CopySource() {
    SCC_Array<int> array;
    for (int v : CopyInput()) array.Add(v);
    return array;
}

void CopyOurs(benchmark::State& state) {
    SCC_Array<int> source = CopySource();
    for (auto _ : state) {
        SCC_Array<int> copy(source);
        benchmark::DoNotOptimize(&copy);
    }
}

void CopySharedPtr(benchmark::State& state) {
    auto source = std::make_shared<std::vector<int>>(CopyInput());
    for (auto _ : state) {
        std::shared_ptr<std::vector<int>> copy(source);
        benchmark::DoNotOptimize(&copy);
    }
}
BENCH_REGISTER("BM_A8_Copy/ours", CopyOurs);
BENCH_REGISTER("BM_A8_Copy/shared_ptr_copy", CopySharedPtr);

void CopyWriteOurs(benchmark::State& state) {
    SCC_Array<int> source = CopySource();
    SCC_Array<int> checked(source);
    checked[0] = -1;
    bench::RequireSame("copy then write", Contents(source), CopyInput());
    bench::RequireSame("copy then write", checked.GetAt(0), -1);
    for (auto _ : state) {
        SCC_Array<int> copy(source);
        copy[0] = -1;  // the first write gives the copy its own buffer
        benchmark::DoNotOptimize(copy.GetAt(0));
    }
}

void CopyWriteVector(benchmark::State& state) {
    const std::vector<int>& source = CopyInput();
    for (auto _ : state) {
        std::vector<int> copy(source);
        copy[0] = -1;
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCH_REGISTER("BM_A8_CopyThenWrite/ours", CopyWriteOurs);
BENCH_REGISTER("BM_A8_CopyThenWrite/vector_copy", CopyWriteVector);

}  // namespace
