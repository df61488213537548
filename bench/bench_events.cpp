// Observer dispatch (goals O1-O4): notify with one and ten listeners, attach and detach, and a
// notify that reaches nobody, against std::function vectors, Boost.Signals2 and an intrusive
// list with a virtual call.
#include <functional>
#include <vector>

#include "SCC_Notifier.h"
#include "bench/bench_util.h"

#if TESSAR_HAVE_BOOST
#include <boost/intrusive/list.hpp>
#include <boost/signals2.hpp>
#endif

namespace {

constexpr int kNotifies1 = 1000000;
constexpr int kNotifies10 = 100000;

long s_sum = 0;

struct Counter : SCC_EventNode<int> {
    int OnNotification(int code, int*) override {
        s_sum += code;
        return 0;
    }
};

// ---- ours ------------------------------------------------------------------------------------------
template <int Listeners, int Notifies>
void NotifyOurs(benchmark::State& state) {
    SCC_Notifier event;
    std::vector<Counter> listeners(Listeners);
    for (Counter& c : listeners) AddNode(event, c);
    for (auto _ : state) {
        s_sum = 0;
        for (int i = 0; i < Notifies; ++i) event.Notify(1, nullptr);
        bench::RequireSame("notify", s_sum, static_cast<long>(Listeners) * Notifies);
    }
}
BENCH_REGISTER("BM_O1_Notify1Listener/ours", (NotifyOurs<1, kNotifies1>));
BENCH_REGISTER("BM_O2_Notify10Listeners/ours", (NotifyOurs<10, kNotifies10>));

void AttachDetachOurs(benchmark::State& state) {
    SCC_Notifier event;
    std::vector<Counter> others(10);
    for (Counter& c : others) AddNode(event, c);
    Counter node;
    for (auto _ : state) {
        AddNode(event, node);
        Detach(node);
    }
}
BENCH_REGISTER("BM_O3_AttachDetach/ours", AttachDetachOurs);

void NotifyNobodyOurs(benchmark::State& state) {
    SCC_Notifier event;
    for (auto _ : state) event.Notify(1, nullptr);
}
BENCH_REGISTER("BM_O4_NotifyNobody/ours", NotifyNobodyOurs);

// ---- std::function vector ------------------------------------------------------------------------------
template <int Listeners, int Notifies>
void NotifyFunctions(benchmark::State& state) {
    std::vector<std::function<void(int, int*)>> slots(Listeners, [](int code, int*) { s_sum += code; });
    for (auto _ : state) {
        s_sum = 0;
        for (int i = 0; i < Notifies; ++i)
            for (auto& slot : slots) slot(1, nullptr);
        bench::RequireSame("notify", s_sum, static_cast<long>(Listeners) * Notifies);
    }
}
BENCH_REGISTER("BM_O1_Notify1Listener/vector_function", (NotifyFunctions<1, kNotifies1>));
BENCH_REGISTER("BM_O2_Notify10Listeners/vector_function", (NotifyFunctions<10, kNotifies10>));

#if TESSAR_HAVE_BOOST
// ---- Boost.Signals2 ------------------------------------------------------------------------------------
using DummySignal = boost::signals2::signal_type<void(int, int*),
    boost::signals2::keywords::mutex_type<boost::signals2::dummy_mutex>>::type;

template <class Signal, int Listeners, int Notifies>
void NotifySignals(benchmark::State& state) {
    Signal signal;
    for (int i = 0; i < Listeners; ++i) signal.connect([](int code, int*) { s_sum += code; });
    for (auto _ : state) {
        s_sum = 0;
        for (int i = 0; i < Notifies; ++i) signal(1, nullptr);
        bench::RequireSame("notify", s_sum, static_cast<long>(Listeners) * Notifies);
    }
}
BENCH_REGISTER("BM_O1_Notify1Listener/signals2_dummy", (NotifySignals<DummySignal, 1, kNotifies1>));
BENCH_REGISTER("BM_O2_Notify10Listeners/signals2_dummy", (NotifySignals<DummySignal, 10, kNotifies10>));
BENCH_REGISTER("BM_O1_Notify1Listener/signals2",
               (NotifySignals<boost::signals2::signal<void(int, int*)>, 1, kNotifies1>));

void AttachDetachSignals(benchmark::State& state) {
    boost::signals2::signal<void(int, int*)> signal;
    for (int i = 0; i < 10; ++i) signal.connect([](int, int*) {});
    for (auto _ : state) signal.connect([](int, int*) {}).disconnect();
}
BENCH_REGISTER("BM_O3_AttachDetach/signals2", AttachDetachSignals);

void NotifyNobodySignals(benchmark::State& state) {
    boost::signals2::signal<void(int, int*)> signal;
    for (auto _ : state) signal(1, nullptr);
}
BENCH_REGISTER("BM_O4_NotifyNobody/signals2", NotifyNobodySignals);

// ---- intrusive list with a virtual call -----------------------------------------------------------------
struct IntrusiveListener : boost::intrusive::list_base_hook<boost::intrusive::link_mode<boost::intrusive::auto_unlink>> {
    virtual ~IntrusiveListener() = default;
    virtual void OnNotification(int code, int*) { s_sum += code; }
};
using IntrusiveList = boost::intrusive::list<IntrusiveListener, boost::intrusive::constant_time_size<false>>;

void AttachDetachIntrusive(benchmark::State& state) {
    IntrusiveList list;
    std::vector<IntrusiveListener> others(10);
    for (auto& o : others) list.push_back(o);
    IntrusiveListener node;
    for (auto _ : state) {
        list.push_back(node);
        node.unlink();
        benchmark::ClobberMemory();
    }
}
BENCH_REGISTER("BM_O3_AttachDetach/intrusive_list", AttachDetachIntrusive);

template <int Listeners, int Notifies>
void NotifyIntrusive(benchmark::State& state) {
    IntrusiveList list;
    std::vector<IntrusiveListener> listeners(Listeners);
    for (auto& l : listeners) list.push_back(l);
    for (auto _ : state) {
        s_sum = 0;
        for (int i = 0; i < Notifies; ++i)
            for (IntrusiveListener& l : list) l.OnNotification(1, nullptr);
        bench::RequireSame("notify", s_sum, static_cast<long>(Listeners) * Notifies);
    }
}
BENCH_REGISTER("BM_O1_Notify1Listener/intrusive_list", (NotifyIntrusive<1, kNotifies1>));
BENCH_REGISTER("BM_O2_Notify10Listeners/intrusive_list", (NotifyIntrusive<10, kNotifies10>));
#endif

}  // namespace
