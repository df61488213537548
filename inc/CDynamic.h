#pragma once

#include <cstdint>
#include <vector>

#include "SCC_Event.h"
#include "SYS_Geom.h"
#include "UI_DrawArea.h"

/// A recording draw area for temporary graphics drawn in exclusive-or mode over the real
/// picture: drag outlines, rubber bands, cursors and their labels. Drawing into a CDynamic
/// appends each operation as a record of 32-bit words to its operation buffer and widens its
/// dirty box; on a redraw notification of the real draw area (codes 0 and 1) or at the end of a
/// batch, the buffer is replayed into the real draw area, in exclusive-or pen mode where a
/// record says so, so replaying the same buffer twice removes the graphics.
///
/// Records (first word the code; every value one 32-bit word; points x then y; boxes left,
/// lower, right, upper; text one byte per word, sign-extended):
///    0 PenColor c            1 PenSize s              2 DrawXorBox p1 p2
///    3 DrawXorOval box       4 FillRect box c         5 DrawXorText x y a b n bytes[n]
///    6 DrawLine p1 p2 w c    7 DrawArc box p1 p2 w c  8 PenCap k
///    9 FastPolyPolyline k counts[k] points[sum]      10 SwitchPen a b c
///   11 FastMoveTo p         12 FastLineTo p          13 FastPaintOval box
///   14 FastPolyLine w m n points[n]                  15 FastFrameOval box
///   16 TextAlign a b        17 TextExtra v           18 TextFace v
///   19 TextPath d           20 TextSize a b          21 DrawString n bytes[n]
///   22 SetGRAMode bits      23 DrawOnScreen flag     24 DrawIcon low high p f
/// The icon handle of record 24 is pointer-sized on this platform and takes two words, its low
/// half then its high half; every other record holds exactly one word per value. Record 5
/// counts the terminating zero in n, record 21 does not. Record 19 holds the angle in degrees,
/// brought into [0, 360), times 10,000, truncated. Values wider than 32 bits (long widths,
/// unsigned long counts) keep their low 32 bits.
///
/// The dirty box is all zero while nothing is recorded. A record widens it as follows: when it
/// has zero width and zero height it becomes the record's box, otherwise the union of both
/// (SYS_Box::Combine). Records 2, 13 and 15 widen by their box as given, 3, 4, 6, 7 and 12 by
/// the normalised box, 5 by the box the draw area reports for the text, 9 by the bounding box
/// of its points; the others leave it unchanged.
///
/// Replay never reads past the end of the buffer: a record whose words run past the end ends
/// the replay. It reads signed values sign-extended and unsigned ones zero-extended, hands
/// fresh copies of texts, points and counts to the draw area, and stops early when a
/// notification during the replay removes or replaces the draw area.
///
/// The CDynamic is a listener of its draw area's redraw event (it derives from the event's
/// node type); destroying it unhooks it and leaves the screen as it is. Not copyable.
class TESSAR_EXPORT CDynamic : public SCC_EventNode<UI_DrawArea::RedrawBlock>, public UI_DrawArea {
public:
    /// Operation codes of the records.
    enum Code : uint32_t {
        kPenColor = 0, kPenSize, kDrawXorBox, kDrawXorOval, kFillRect, kDrawXorText, kDrawLine,
        kDrawArc, kPenCap, kFastPolyPolyline, kSwitchPen, kFastMoveTo, kFastLineTo,
        kFastPaintOval, kFastPolyLine, kFastFrameOval, kTextAlign, kTextExtra, kTextFace,
        kTextPath, kTextSize, kDrawString, kSetGRAMode, kDrawOnScreen, kDrawIcon,
        kCodeCount
    };

    /// An empty recording, then Install(area).
    explicit CDynamic(UI_DrawArea* area);
    ~CDynamic() override;
    CDynamic(const CDynamic&) = delete;
    CDynamic& operator=(const CDynamic&) = delete;

    /// With a non-null area: it becomes the draw area, and the draw area's InstallDynamic hooks
    /// this object on its redraw event. A null area changes nothing.
    void Install(UI_DrawArea* area);
    /// Sets the draw area pointer only (no hooking).
    void SetDrawArea(UI_DrawArea* area) { m_area = area; }
    /// The draw area the recording replays into; null when there is none.
    UI_DrawArea* GetDrawArea() const { return m_area; }

    /// With a draw area: asks it to remove the graphics (RedrawDynamic(this, dirty box, 0)), then
    /// empties the buffer and zeroes the dirty box. Without a draw area nothing happens, and the
    /// recording is kept.
    void Clear();
    /// Empties the buffer and zeroes the dirty box without touching the screen.
    void Reset();
    /// True while the buffer is being replayed.
    int IsFlushing() const { return m_flushing ? TRUE : FALSE; }

    /// The redraw event's notifications; always returns 0. Code 0 or 1 replays the buffer, 2
    /// forgets the draw area (it is going away), 3 clears; other codes do nothing.
    int OnNotification(int code, UI_DrawArea::RedrawBlock* block) override;

    /// The recorded words, back to back.
    const std::vector<uint32_t>& GetOperations() const { return m_operations; }
    /// The world area covered by the recording; all zero when nothing is recorded.
    const SYS_Box& GetDirtyBox() const { return m_dirtyBox; }

    /// Clear, then one more open batch.
    void StartBatchDraw() override;
    /// When a batch is open and there is a draw area: asks it to show the recording
    /// (RedrawDynamic(this, dirty box, 1)) and closes the batch. Otherwise nothing happens.
    void EndBatchDraw() override;
    /// Forwarded to the draw area when there is one.
    void StartScreenDraw() override;

    /// Not recorded: a CDynamic has no pen mode of its own (GetPenMode answers 0).
    void PenMode(int mode) override;
    /// Always 0.
    int GetPenMode() override;
    /// Ignored: neither recorded nor forwarded to the draw area.
    void InvalidateRect(SYS_Box const* box) override;

    /// Recorded operations (see the record table above).
    ///@{
    void PenColor(int color) override;
    void PenSize(long width) override;
    /// Records the box normalised, through DrawXorBox(p1, p2).
    void DrawXorBox(SYS_Box box) override;
    void DrawXorBox(SYS_Point p1, SYS_Point p2) override;
    /// An exclusive-or oval outline; replayed as a box when it is under 2 pixels on screen.
    void DrawXorOval(SYS_Box box);
    void FillRect(SYS_Box box, int color) override;
    /// Records the text (draw is not recorded: replay always draws) and returns the box the draw
    /// area reports for it, measured with DrawXorText(text, alignX, alignY, x, y, 0); the
    /// all-zero box without a draw area. A null text records nothing.
    SYS_Box DrawXorText(char const* text, int alignX, int alignY, long x, long y,
                        int draw) override;
    SYS_Box DrawXorText(char const* text, int alignX, int alignY, SYS_Point at, int draw) override;
    void DrawLine(SYS_Point const& p1, SYS_Point const& p2, long width, int color) override;
    /// An arc of the oval inscribed in box, from p1 to p2, of the given width and colour;
    /// replayed as the line p1 p2 when the box is under 2 pixels on screen.
    void DrawArc(SYS_Box box, SYS_Point const& p1, SYS_Point const& p2, long width, int color);
    void PenCap(int cap) override;
    /// Null counts with count > 0, or null points with a non-zero sum of counts, are reported
    /// and record nothing.
    void FastPolyPolyline(SYS_Point* points, unsigned long const* counts, int count) override;
    void SwitchPen(int color, long width, int cap) override;
    void FastMoveTo(SYS_Point const& p) override;
    void FastLineTo(SYS_Point const& p) override;
    void FastPaintOval(SYS_Box box) override;
    using UI_DrawArea::FastPaintOval;
    /// Null points with count > 0 are reported and record nothing.
    void FastPolyLine(int count, SYS_Point* points, long width, int mode) override;
    void FastFrameOval(SYS_Box const& box) override;
    void TextAlign(int alignX, int alignY) override;
    void TextExtra(int extra) override;
    void TextFace(int face) override;
    /// angle in the library's angle units (1,800,000 per degree), any sign.
    void TextPath(double angle) override;
    void TextSize(int width, int height) override;
    /// A null text is reported and records nothing.
    void DrawString(char const* text) override;
    void SetGRAMode(gra_mode_union mode) override;
    void DrawOnScreen(bool onScreen) override;
    void DrawIcon(HICON icon, SYS_Point at, int flags) override;
    ///@}

    /// The base's Redraw(SYS_Box) stays callable beside the replaying Redraw().
    using UI_DrawArea::Redraw;

protected:
    /// Replays the buffer into the draw area (notifications 0 and 1). The draw area's pen mode
    /// is saved first and restored at the end. A text record longer than 1,023 bytes is
    /// reported ("Increase the buffer size!") and replayed cut to 1,023 bytes; an unknown code
    /// is reported ("Dynamic: wrong draw operation Code (%d)") and the walk goes on with the
    /// next word.
    void Redraw() override;

    /// The recorded words (see GetOperations).
    std::vector<uint32_t> m_operations;

private:
    class Replay;

    void Append(std::initializer_list<uint32_t> words);
    void AppendPoint(const SYS_Point& p);
    void AppendBox(const SYS_Box& box);
    void AppendText(const char* text, size_t length);
    void Widen(const SYS_Box& box);

    UI_DrawArea* m_area;
    int m_batchDepth;
    SYS_Box m_dirtyBox;
    SYS_Point m_current;
    bool m_flushing;
};
