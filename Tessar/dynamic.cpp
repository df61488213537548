// CDynamic: recording drawing operations as words, and replaying them.
//
// Recording appends one record per operation (see the table in CDynamic.h). Replay walks the
// buffer by index, checking before each record that all of its words are there, so a buffer
// whose words say anything at all is never read past its end; the index survives a draw area
// that clears the recording from inside one of its calls.
#include "CDynamic.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "SSM_Assert.h"

namespace {

const char kUnit[] = "Tessar/dynamic";

// Pen mode of exclusive-or drawing on the real draw area.
constexpr int kXorPenMode = 2;
// Working buffer of a replayed text record, terminating zero included.
constexpr size_t kTextBuffer = 1024;

uint32_t Word(int32_t value) { return static_cast<uint32_t>(value); }
// A long value keeps its low 32 bits.
uint32_t Word(long value) { return static_cast<uint32_t>(value); }
// One text byte, sign-extended as a char of the host's code page.
uint32_t ByteWord(char c) {
    return static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c)));
}

SYS_Box Normalised(SYS_Box box) {
    box.Normalize();
    return box;
}

// Degrees from angle units, brought into [0, 360), times 10,000, truncated. NaN and infinities
// record 0.
uint32_t TextPathWord(double angle) {
    double degrees = angle * 5.555555555555556e-6 * 0.1;
    if (!std::isfinite(degrees)) return 0;
    degrees = std::fmod(degrees, 360.0);
    if (degrees < 0) degrees += 360.0;
    if (degrees >= 360.0) degrees -= 360.0;  // a tiny negative angle rounds up to 360
    return static_cast<uint32_t>(degrees * 10000.0);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Construction, installation, clearing, notifications.

CDynamic::CDynamic(UI_DrawArea* area)
    : m_area(nullptr), m_batchDepth(0), m_dirtyBox(), m_current(), m_flushing(false) {
    Install(area);
}

CDynamic::~CDynamic() = default;

void CDynamic::Install(UI_DrawArea* area) {
    if (area == nullptr) return;
    m_area = area;
    area->InstallDynamic(this);
}

void CDynamic::Clear() {
    if (m_area == nullptr) return;
    m_area->RedrawDynamic(this, &m_dirtyBox, 0);
    Reset();
}

void CDynamic::Reset() {
    m_operations.clear();
    m_dirtyBox.SetEmpty();
}

int CDynamic::OnNotification(int code, UI_DrawArea::RedrawBlock*) {
    switch (code) {
    case 0:
    case 1: Redraw(); break;
    case 2: m_area = nullptr; break;
    case 3: Clear(); break;
    default: break;
    }
    return 0;
}

void CDynamic::StartBatchDraw() {
    Clear();
    ++m_batchDepth;
}

void CDynamic::EndBatchDraw() {
    if (m_batchDepth < 1 || m_area == nullptr) return;
    m_area->RedrawDynamic(this, &m_dirtyBox, 1);
    --m_batchDepth;
}

void CDynamic::StartScreenDraw() {
    if (m_area != nullptr) m_area->StartScreenDraw();
}

void CDynamic::PenMode(int) {}
int CDynamic::GetPenMode() { return 0; }
void CDynamic::InvalidateRect(SYS_Box const*) {}

// ---------------------------------------------------------------------------------------------
// Recording.

// One push_back per word: a range insert of a temporary array costs a store-forwarding stall
// per record, which dominates recording.
void CDynamic::Append(std::initializer_list<uint32_t> words) {
    for (uint32_t word : words) m_operations.push_back(word);
}

void CDynamic::AppendPoint(const SYS_Point& p) { Append({Word(p.GetX()), Word(p.GetY())}); }

void CDynamic::AppendBox(const SYS_Box& box) {
    Append({Word(box.GetLeft()), Word(box.GetLower()), Word(box.GetRight()), Word(box.GetUpper())});
}

void CDynamic::AppendText(const char* text, size_t length) {
    size_t start = m_operations.size();
    m_operations.resize(start + length);
    for (size_t i = 0; i < length; ++i) m_operations[start + i] = ByteWord(text[i]);
}

void CDynamic::Widen(const SYS_Box& box) {
    bool isPoint = m_dirtyBox.GetLeft() == m_dirtyBox.GetRight() &&
                   m_dirtyBox.GetLower() == m_dirtyBox.GetUpper();
    if (isPoint)
        m_dirtyBox = box;
    else
        m_dirtyBox.Combine(box);
}

void CDynamic::PenColor(int color) { Append({kPenColor, Word(color)}); }
void CDynamic::PenSize(long width) { Append({kPenSize, Word(width)}); }
void CDynamic::PenCap(int cap) { Append({kPenCap, Word(cap)}); }
void CDynamic::SwitchPen(int color, long width, int cap) {
    Append({kSwitchPen, Word(color), Word(width), Word(cap)});
}

void CDynamic::DrawXorBox(SYS_Box box) {
    box.Normalize();
    DrawXorBox(box.GetLowerLeft(), box.GetUpperRight());
}

void CDynamic::DrawXorBox(SYS_Point p1, SYS_Point p2) {
    Append({kDrawXorBox});
    AppendPoint(p1);
    AppendPoint(p2);
    Widen(SYS_Box(p1, p2));
}

void CDynamic::DrawXorOval(SYS_Box box) {
    box.Normalize();
    Append({kDrawXorOval});
    AppendBox(box);
    Widen(box);
}

void CDynamic::FillRect(SYS_Box box, int color) {
    box.Normalize();
    Append({kFillRect});
    AppendBox(box);
    Append({Word(color)});
    Widen(box);
}

SYS_Box CDynamic::DrawXorText(char const* text, int alignX, int alignY, long x, long y, int) {
    if (!SSM_CHECK(text != nullptr, "CDynamic: null text", kUnit, SSM_FailureError))
        return SYS_Box();
    size_t length = std::strlen(text) + 1;  // the terminating zero is recorded too
    Append({kDrawXorText, Word(x), Word(y), Word(alignX), Word(alignY),
            static_cast<uint32_t>(length)});
    AppendText(text, length);
    SYS_Box box;
    if (m_area != nullptr) box = m_area->DrawXorText(text, alignX, alignY, x, y, 0);
    Widen(box);
    return box;
}

SYS_Box CDynamic::DrawXorText(char const* text, int alignX, int alignY, SYS_Point at, int draw) {
    return DrawXorText(text, alignX, alignY, long(at.GetX()), long(at.GetY()), draw);
}

void CDynamic::DrawLine(SYS_Point const& p1, SYS_Point const& p2, long width, int color) {
    Append({kDrawLine, Word(p1.GetX()), Word(p1.GetY()), Word(p2.GetX()), Word(p2.GetY()),
            Word(width), Word(color)});
    Widen(Normalised(SYS_Box(p1, p2)));
}

void CDynamic::DrawArc(SYS_Box box, SYS_Point const& p1, SYS_Point const& p2, long width,
                       int color) {
    box.Normalize();
    Append({kDrawArc});
    AppendBox(box);
    AppendPoint(p1);
    AppendPoint(p2);
    Append({Word(width), Word(color)});
    Widen(box);
}

void CDynamic::FastPolyPolyline(SYS_Point* points, unsigned long const* counts, int count) {
    if (!SSM_CHECK(count <= 0 || counts != nullptr, "CDynamic: null counts", kUnit,
                   SSM_FailureError))
        return;
    size_t total = 0;
    for (int i = 0; i < count; ++i) total += static_cast<uint32_t>(counts[i]);
    if (!SSM_CHECK(total == 0 || points != nullptr, "CDynamic: null points", kUnit,
                   SSM_FailureError))
        return;
    Append({kFastPolyPolyline, Word(count)});
    for (int i = 0; i < count; ++i) Append({static_cast<uint32_t>(counts[i])});
    SYS_Box bounds = SYS_Box::Unset();
    for (size_t i = 0; i < total; ++i) {
        AppendPoint(points[i]);
        bounds.Combine(SYS_Box(points[i], points[i]));
    }
    if (total > 0) Widen(bounds);
}

void CDynamic::FastMoveTo(SYS_Point const& p) {
    Append({kFastMoveTo, Word(p.GetX()), Word(p.GetY())});
    m_current = p;
}

void CDynamic::FastLineTo(SYS_Point const& p) {
    Append({kFastLineTo, Word(p.GetX()), Word(p.GetY())});
    Widen(Normalised(SYS_Box(m_current, p)));
    m_current = p;
}

void CDynamic::FastPaintOval(SYS_Box box) {
    Append({kFastPaintOval});
    AppendBox(box);
    Widen(box);
}

void CDynamic::FastPolyLine(int count, SYS_Point* points, long width, int mode) {
    if (!SSM_CHECK(count <= 0 || points != nullptr, "CDynamic: null points", kUnit,
                   SSM_FailureError))
        return;
    Append({kFastPolyLine, Word(width), Word(mode), Word(count)});
    for (int i = 0; i < count; ++i) AppendPoint(points[i]);
}

void CDynamic::FastFrameOval(SYS_Box const& box) {
    Append({kFastFrameOval});
    AppendBox(box);
    Widen(box);
}

void CDynamic::TextAlign(int alignX, int alignY) {
    Append({kTextAlign, Word(alignX), Word(alignY)});
}
void CDynamic::TextExtra(int extra) { Append({kTextExtra, Word(extra)}); }
void CDynamic::TextFace(int face) { Append({kTextFace, Word(face)}); }
void CDynamic::TextPath(double angle) { Append({kTextPath, TextPathWord(angle)}); }
void CDynamic::TextSize(int width, int height) { Append({kTextSize, Word(width), Word(height)}); }

void CDynamic::DrawString(char const* text) {
    if (!SSM_CHECK(text != nullptr, "CDynamic: null text", kUnit, SSM_FailureError)) return;
    size_t length = std::strlen(text);
    Append({kDrawString, static_cast<uint32_t>(length)});
    AppendText(text, length);
}

void CDynamic::SetGRAMode(gra_mode_union mode) { Append({kSetGRAMode, mode.bits}); }
void CDynamic::DrawOnScreen(bool onScreen) { Append({kDrawOnScreen, onScreen ? 1u : 0u}); }

void CDynamic::DrawIcon(HICON icon, SYS_Point at, int flags) {
    uint64_t handle = reinterpret_cast<uintptr_t>(icon);
    Append({kDrawIcon, static_cast<uint32_t>(handle), static_cast<uint32_t>(handle >> 32),
            Word(at.GetX()), Word(at.GetY()), Word(flags)});
}

// ---------------------------------------------------------------------------------------------
// Replay.

// One walk over the buffer. Every read is preceded by a check that the record's words are
// all there; a record that runs past the end stops the walk.
class CDynamic::Replay {
public:
    Replay(CDynamic& dynamic, UI_DrawArea& area)
        : m_dynamic(dynamic), m_area(area), m_words(dynamic.m_operations) {}

    void Run() {
        while (m_position < m_words.size() && AreaStillThere()) {
            uint32_t code = m_words[m_position++];
            if (code >= kCodeCount) {
                ReportUnknown(code);
                continue;
            }
            if (!Perform(static_cast<Code>(code))) break;
        }
    }

private:
    // A notification during a call into the draw area may have removed or replaced it.
    bool AreaStillThere() const { return m_dynamic.m_area == &m_area; }

    bool Has(size_t count) const {
        return m_position <= m_words.size() && m_words.size() - m_position >= count;
    }
    uint32_t Next() { return m_words[m_position++]; }
    int32_t Int() { return static_cast<int32_t>(Next()); }
    long Long() { return static_cast<int32_t>(Next()); }  // sign-extended
    unsigned long ULong() { return Next(); }              // zero-extended
    SYS_Point Point() {
        int32_t x = Int();
        return SYS_Point(x, Int());
    }
    SYS_Box Box() {
        SYS_Point lowerLeft = Point();
        return SYS_Box(lowerLeft, Point());
    }

    static void ReportUnknown(uint32_t code) {
        char message[64];
        std::snprintf(message, sizeof message, "Dynamic: wrong draw operation Code (%d)",
                      static_cast<int>(code));
        SSM_CHECK(false, message, kUnit, SSM_FailureAssert);
    }

    // True when the box is under 2 pixels wide or high on the draw area's screen.
    bool IsSmallOnScreen(const SYS_Box& box) const {
        int width = m_area.Scale2ScreenX(long(box.GetRight()) - long(box.GetLeft()));
        int height = m_area.Scale2ScreenY(long(box.GetUpper()) - long(box.GetLower()));
        return (width > -2 && width < 2) || (height > -2 && height < 2);
    }

    // The pen of lines and arcs: exclusive-or mode, then the record's colour and width.
    void UseXorPen(long width, int color) {
        m_area.PenMode(kXorPenMode);
        m_area.PenColor(color);
        m_area.PenSize(width);
    }

    // Performs one record whose code has been read; false when its words are not all there.
    bool Perform(Code code);
    bool PerformShapes(Code code);
    bool PerformText(Code code);
    bool PerformXorText();
    bool PerformString();
    bool PerformPolyPolyline();
    bool PerformPolyLine();
    bool PerformArc();

    CDynamic& m_dynamic;
    UI_DrawArea& m_area;
    const std::vector<uint32_t>& m_words;
    size_t m_position = 0;
};

// Words after the code that every record of the code has, before any counted part.
constexpr size_t kFixedWords[CDynamic::kCodeCount] = {1, 1, 4, 4, 5, 5, 6, 10, 1, 1, 3, 2, 2,
                                                      4, 3, 4, 2, 1, 1, 1, 2,  1, 1, 1, 5};

bool CDynamic::Replay::Perform(Code code) {
    if (!Has(kFixedWords[code])) return false;
    switch (code) {
    case kPenColor: m_area.PenColor(Int()); return true;
    case kPenSize: m_area.PenSize(Long()); return true;
    case kPenCap: m_area.PenCap(Int()); return true;
    case kSwitchPen: {
        int color = Int();
        long width = Long();
        m_area.SwitchPen(color, width, Int());
        return true;
    }
    case kSetGRAMode: {
        gra_mode_union mode;
        mode.bits = Next();
        m_area.SetGRAMode(mode);
        return true;
    }
    case kDrawOnScreen: m_area.DrawOnScreen(Next() != 0); return true;
    case kDrawIcon: {
        uint64_t low = Next();
        uint64_t handle = low | (uint64_t(Next()) << 32);
        SYS_Point at = Point();
        m_area.DrawIcon(reinterpret_cast<HICON>(static_cast<uintptr_t>(handle)), at, Int());
        return true;
    }
    case kFastPolyPolyline: return PerformPolyPolyline();
    case kFastPolyLine: return PerformPolyLine();
    default: break;
    }
    return PerformShapes(code) || PerformText(code);
}

bool CDynamic::Replay::PerformShapes(Code code) {
    switch (code) {
    case kDrawXorBox: m_area.DrawXorBox(Box()); return true;
    case kDrawXorOval: {
        SYS_Box box = Box();
        if (IsSmallOnScreen(box)) {
            m_area.DrawXorBox(box);
        } else {
            m_area.PenMode(kXorPenMode);
            m_area.FastFrameOval(box);
        }
        return true;
    }
    case kFillRect: {
        SYS_Box box = Box();
        int color = Int();
        m_area.PenMode(kXorPenMode);
        m_area.FillRect(box, color);
        return true;
    }
    case kDrawLine: {
        SYS_Point p1 = Point();
        SYS_Point p2 = Point();
        long width = Long();
        int color = Int();
        UseXorPen(width, color);
        m_area.DrawLine(p1, p2, width, color);
        return true;
    }
    case kDrawArc: return PerformArc();
    case kFastMoveTo: m_area.FastMoveTo(Point()); return true;
    case kFastLineTo: m_area.FastLineTo(Point()); return true;
    case kFastPaintOval: m_area.FastPaintOval(Box()); return true;
    case kFastFrameOval: m_area.FastFrameOval(Box()); return true;
    default: return false;
    }
}

bool CDynamic::Replay::PerformArc() {
    SYS_Box box = Box();
    SYS_Point p1 = Point();
    SYS_Point p2 = Point();
    long width = Long();
    int color = Int();
    UseXorPen(width, color);
    if (IsSmallOnScreen(box))
        m_area.DrawLine(p1, p2, width, color);
    else
        m_area.FastFrameArc(box, p1, p2);
    return true;
}

bool CDynamic::Replay::PerformText(Code code) {
    switch (code) {
    case kDrawXorText: return PerformXorText();
    case kDrawString: return PerformString();
    case kTextAlign: {
        int alignX = Int();
        m_area.TextAlign(alignX, Int());
        return true;
    }
    case kTextExtra: m_area.TextExtra(Int()); return true;
    case kTextFace: m_area.TextFace(Int()); return true;
    case kTextPath: m_area.TextPath(double(Next()) * 0.0001); return true;
    case kTextSize: {
        int width = Int();
        m_area.TextSize(width, Int());
        return true;
    }
    default: return false;  // every code is handled above or in PerformShapes
    }
}

bool CDynamic::Replay::PerformXorText() {
    int32_t x = Int();
    int32_t y = Int();
    int alignX = Int();
    int alignY = Int();
    uint32_t count = Next();  // terminating zero included
    if (!Has(count)) return false;
    SSM_CHECK(count <= kTextBuffer - 1, "Increase the buffer size!", kUnit, SSM_FailureAssert);
    char text[kTextBuffer];
    size_t kept = count < kTextBuffer - 1 ? count : kTextBuffer - 1;
    for (size_t i = 0; i < kept; ++i) text[i] = static_cast<char>(m_words[m_position + i]);
    text[kept] = '\0';
    m_position += count;
    m_area.DrawXorText(text, alignX, alignY, SYS_Point(x, y), 1);
    return true;
}

bool CDynamic::Replay::PerformString() {
    uint32_t count = Next();
    if (!Has(count)) return false;
    std::string text(count, '\0');
    for (size_t i = 0; i < count; ++i) text[i] = static_cast<char>(m_words[m_position + i]);
    m_position += count;
    m_area.DrawString(text.c_str());
    return true;
}

bool CDynamic::Replay::PerformPolyPolyline() {
    int count = Int();
    size_t lists = count > 0 ? static_cast<size_t>(count) : 0;
    if (!Has(lists)) return false;
    std::vector<unsigned long> counts(lists);
    uint64_t total = 0;
    for (size_t i = 0; i < lists; ++i) total += counts[i] = ULong();
    if (total > m_words.size() / 2 || !Has(2 * static_cast<size_t>(total))) return false;
    std::vector<SYS_Point> points(static_cast<size_t>(total));
    for (SYS_Point& p : points) p = Point();
    m_area.FastPolyPolyline(points.data(), counts.data(), count);
    return true;
}

bool CDynamic::Replay::PerformPolyLine() {
    long width = Long();
    int mode = Int();
    int count = Int();
    size_t total = count > 0 ? static_cast<size_t>(count) : 0;
    if (total > m_words.size() / 2 || !Has(2 * total)) return false;
    std::vector<SYS_Point> points(total);
    for (SYS_Point& p : points) p = Point();
    m_area.FastPolyLine(count, points.data(), width, mode);
    return true;
}

void CDynamic::Redraw() {
    // The flag goes back also when a report's handler throws out of the replay; a replay
    // started from inside another one leaves it set for the outer one.
    struct FlushingScope {
        bool& flag;
        bool saved;
        ~FlushingScope() { flag = saved; }
    } flushing{m_flushing, m_flushing};
    m_flushing = true;
    UI_DrawArea* area = m_area;
    if (area == nullptr) return;
    int savedPenMode = area->GetPenMode();
    Replay(*this, *area).Run();
    if (m_area == area) area->PenMode(savedPenMode);
}
