// CDynamic replay of an arbitrary buffer: the input's bytes, four at a time (little-endian),
// become the operation buffer, which is replayed into a checking draw area and into the SVG
// draw area. Invariants: replay reads only the buffer (ASan), hands the draw area complete
// arrays and terminated texts no longer than the buffer allows, restores the pen mode it
// saved, flushes only while it runs, gives the same calls when run twice, and leaves the SVG
// picture well-formed.
#include <cstring>
#include <string>

#include "../tests/draw/xml_check.h"
#include "CDynamic.h"
#include "UI_SvgDrawArea.h"
#include "fuzz_harness.h"

namespace {

constexpr int kSavedPenMode = 5;

class OpenDynamic : public CDynamic {
public:
    using CDynamic::CDynamic;
    void SetWords(const uint8_t* data, size_t size) {
        m_operations.assign(size / 4, 0);
        for (size_t i = 0; i < size / 4; ++i)
            for (int b = 0; b < 4; ++b) m_operations[i] |= uint32_t(data[4 * i + b]) << (8 * b);
    }
    void ReplayNow() { Redraw(); }
};

// Checks every call and folds it into a fingerprint.
class CheckingArea : public UI_DrawArea {
public:
    explicit CheckingArea(const CDynamic* dynamic, size_t words)
        : m_dynamic(dynamic), m_words(words) {}
    uint64_t fingerprint = 0;
    int lastPenMode = -1;
    long calls = 0;

    int GetPenMode() override { return kSavedPenMode; }
    void PenMode(int mode) override { Seen(1, uint32_t(mode)), lastPenMode = mode; }
    void PenColor(int c) override { Seen(2, uint32_t(c)); }
    void PenSize(long s) override { Seen(3, uint64_t(s)); }
    int Scale2ScreenX(long length) const override { return int(length % 7); }
    int Scale2ScreenY(long length) const override { return int(length % 5); }
    SYS_Box DrawXorText(char const* text, int, int, SYS_Point, int) override {
        size_t length = strnlen(text, 1024);
        fuzz::Require(length < 1024, "a replayed text fits the working buffer");
        Seen(4, length);
        return SYS_Box();
    }
    void DrawString(char const* text) override {
        size_t length = std::strlen(text);
        fuzz::Require(length <= m_words, "a replayed string is no longer than the buffer");
        Seen(5, length);
    }
    void FastPolyPolyline(SYS_Point* points, unsigned long const* counts, int count) override {
        uint64_t total = 0;
        for (int i = 0; i < count; ++i) total += counts[i];
        fuzz::Require(2 * total <= m_words, "points of a poly-polyline come from the buffer");
        for (uint64_t i = 0; i < total; ++i) Seen(6, uint32_t(points[i].GetX()));
    }
    void FastPolyLine(int count, SYS_Point* points, long, int) override {
        for (int i = 0; i < count; ++i) Seen(7, uint32_t(points[i].GetY()));
    }
    void DrawLine(SYS_Point const& p1, SYS_Point const&, long, int) override {
        Seen(8, uint32_t(p1.GetX()));
    }
    void FastFrameArc(SYS_Box const& b, SYS_Point const&, SYS_Point const&) override {
        Seen(9, uint32_t(b.GetLeft()));
    }
    void DrawIcon(HICON icon, SYS_Point, int) override {
        Seen(10, reinterpret_cast<uintptr_t>(icon));
    }

private:
    void Seen(uint64_t kind, uint64_t value) {
        fuzz::Require(m_dynamic->IsFlushing() != 0, "calls come while flushing");
        ++calls;
        fingerprint = (fingerprint ^ (kind << 56) ^ value) * 0x100000001B3ull;
    }
    const CDynamic* m_dynamic;
    size_t m_words;
};

void CheckReplay(const uint8_t* data, size_t size) {
    OpenDynamic dynamic(nullptr);
    dynamic.SetWords(data, size);
    CheckingArea area(&dynamic, size / 4);
    dynamic.SetDrawArea(&area);
    dynamic.ReplayNow();
    fuzz::Require(area.lastPenMode == kSavedPenMode, "the saved pen mode is restored last");
    fuzz::Require(!dynamic.IsFlushing(), "flushing ends with the replay");
    uint64_t first = area.fingerprint;
    long calls = area.calls;
    area.fingerprint = 0, area.calls = 0;
    dynamic.ReplayNow();
    fuzz::Require(first == area.fingerprint && calls == area.calls, "a replay is repeatable");
}

void CheckSvg(const uint8_t* data, size_t size) {
    UI_SvgDrawArea area(SYS_Box(-1000, -1000, 1000, 1000), 100);
    OpenDynamic dynamic(&area);
    dynamic.SetWords(data, size);
    dynamic.ReplayNow();
    draw_test::XmlCheck xml = draw_test::CheckXml(area.GetSvg());
    fuzz::Require(xml.wellFormed, "the SVG picture stays well-formed");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 16) return 0;
    CheckReplay(data, size);
    CheckSvg(data, size);
    return 0;
}
