// Recorded drawing (goal Dr1): record a million DrawLine calls into a CDynamic and replay them
// into a draw area that counts its calls, against what a user would write without the library:
// the same words appended to a std::vector<uint32_t>, dispatched with a switch into the same
// draw area with the same four calls per line.
#include <cstdint>
#include <vector>

#include "CDynamic.h"
#include "bench/bench_util.h"

namespace {

constexpr int kLines = 1000000;
constexpr uint32_t kLineCode = 6;
constexpr int kXorPenMode = 2;

// Counts calls and sums what they carry, so that both sides can be checked to do the same.
class CountingArea : public UI_DrawArea {
public:
    long calls = 0;
    long sum = 0;
    void PenMode(int mode) override { ++calls, sum += mode; }
    void PenColor(int color) override { ++calls, sum += color; }
    void PenSize(long width) override { ++calls, sum += width; }
    void DrawLine(SYS_Point const& p1, SYS_Point const& p2, long width, int color) override {
        ++calls, sum += p1.GetX() + p2.GetY() + width + color;
    }
};

SYS_Point Start(int i) { return SYS_Point(i, i & 1023); }
SYS_Point End(int i) { return SYS_Point(i + 100, (i & 1023) + 50); }

void RecordReplayOurs(benchmark::State& state) {
    CountingArea area;
    CDynamic dynamic(&area);
    for (auto _ : state) {
        area.calls = area.sum = 0;
        dynamic.Reset();
        for (int i = 0; i < kLines; ++i) dynamic.DrawLine(Start(i), End(i), 3, i & 15);
        dynamic.OnNotification(1, nullptr);  // the draw area asks for a redraw
        benchmark::DoNotOptimize(area.sum);
    }
    state.counters["calls"] = double(area.calls);
}
BENCH_REGISTER("BM_Dr1_RecordReplayLines/ours", RecordReplayOurs);

void Record(std::vector<uint32_t>& words, const SYS_Point& p1, const SYS_Point& p2, long width,
            int color) {
    words.push_back(kLineCode);
    words.push_back(uint32_t(p1.GetX()));
    words.push_back(uint32_t(p1.GetY()));
    words.push_back(uint32_t(p2.GetX()));
    words.push_back(uint32_t(p2.GetY()));
    words.push_back(uint32_t(width));
    words.push_back(uint32_t(color));
}

void Replay(const std::vector<uint32_t>& words, UI_DrawArea& area) {
    for (size_t i = 0; i < words.size();) {
        switch (words[i]) {
        case kLineCode: {
            const uint32_t* w = &words[i + 1];
            area.PenMode(kXorPenMode);
            area.PenColor(int32_t(w[5]));
            area.PenSize(int32_t(w[4]));
            area.DrawLine(SYS_Point(int32_t(w[0]), int32_t(w[1])),
                          SYS_Point(int32_t(w[2]), int32_t(w[3])), int32_t(w[4]), int32_t(w[5]));
            i += 7;
            break;
        }
        default: ++i;
        }
    }
}

void RecordReplayVector(benchmark::State& state) {
    CountingArea area;
    // A view's draw area is only known through its interface: the calls stay virtual, as
    // they are for the library, instead of being inlined into this loop.
    UI_DrawArea* target = &area;
    benchmark::DoNotOptimize(target);
    std::vector<uint32_t> words;
    for (auto _ : state) {
        area.calls = area.sum = 0;
        words.clear();
        for (int i = 0; i < kLines; ++i) Record(words, Start(i), End(i), 3, i & 15);
        Replay(words, *target);
        benchmark::DoNotOptimize(area.sum);
    }
    state.counters["calls"] = double(area.calls);
}
BENCH_REGISTER("BM_Dr1_RecordReplayLines/vector_switch", RecordReplayVector);

// Both sides make the same calls with the same arguments.
const bool kSame = [] {
    CountingArea ours, peer;
    CDynamic dynamic(&ours);
    std::vector<uint32_t> words;
    for (int i = 0; i < 1000; ++i) {
        dynamic.DrawLine(Start(i), End(i), 3, i & 15);
        Record(words, Start(i), End(i), 3, i & 15);
    }
    dynamic.OnNotification(1, nullptr);
    Replay(words, peer);
    ours.calls -= 1;  // the replay ends by restoring the saved pen mode, 0
    bench::RequireSame("Dr1 calls", ours.calls, peer.calls);
    bench::RequireSame("Dr1 sum", ours.sum, peer.sum);
    return true;
}();

}  // namespace
