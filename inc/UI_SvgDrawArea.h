#pragma once

#include <map>
#include <string>
#include <vector>

#include "SCC_Event.h"
#include "UI_DrawArea.h"

/// A draw area that paints into an SVG picture, so that drawing, and in particular a CDynamic's
/// recording, can be looked at in a browser.
///
/// Coordinates: the world box given at construction fills the picture, y up; the picture is
/// widthPixels wide and as high as the box's proportions ask. Colours are indices into a
/// 16-entry palette of RGB values (red in the low byte); indices outside it paint white. Pen
/// widths are world lengths, drawn at least one pixel wide; cap 0 is round, 1 square, 2 flat.
///
/// Exclusive-or drawing (pen mode 2, and the DrawXor operations) goes to its own layer, shown
/// with a difference blend over the picture. As on a screen, painting the same element twice in
/// exclusive-or removes it, so replaying a CDynamic's recording a second time erases it.
///
/// Text: TextSize's height in world units (12 pixels when 0 or less), TextAlign(x, y) with x 0
/// left, 1 centre, 2 right and y 0 baseline, 1 middle, 2 top, TextPath in degrees
/// counter-clockwise. DrawString writes at the current point (FastMoveTo). Text bytes above
/// 127 are taken as Latin-1; control bytes are shown as '?'.
///
/// Installed CDynamic objects are hooked on the area's redraw event; RedrawDynamic replays one
/// of them, and destroying the area tells them it is gone (code 2).
class TESSAR_EXPORT UI_SvgDrawArea : public UI_DrawArea {
public:
    /// Entries of the palette; indices outside [0, kPaletteSize) paint white.
    static constexpr int kPaletteSize = 16;
    /// The pen mode that sends drawing to the exclusive-or layer.
    static constexpr int kXorPenMode = 2;

    /// world: the area shown (normalised; an empty extent counts as one unit). widthPixels is
    /// clamped to [1, 100000].
    UI_SvgDrawArea(const SYS_Box& world, int widthPixels);
    ~UI_SvgDrawArea() override;
    UI_SvgDrawArea(const UI_SvgDrawArea&) = delete;
    UI_SvgDrawArea& operator=(const UI_SvgDrawArea&) = delete;

    /// The picture as a complete SVG document.
    std::string GetSvg() const;
    /// Writes GetSvg() to path; TRUE on success.
    int WriteSvg(const char* path) const;
    /// The picture's size in pixels: the width given at construction (clamped), and the height that
    /// keeps the world box's proportions.
    ///@{
    int GetWidthPixels() const { return m_width; }
    int GetHeightPixels() const { return m_height; }
    ///@}
    /// Elements currently in the picture layer and in the exclusive-or layer.
    ///@{
    long GetPictureCount() const { return long(m_picture.size()); }
    long GetXorCount() const { return long(m_xorIndex.size()); }
    ///@}
    /// The redraw event that RegisterRedrawHook and InstallDynamic attach to; the area notifies it
    /// with code 2 when it is destroyed.
    SCC_Event<RedrawBlock>& GetRedrawEvent() { return m_redraw; }

    int Scale2ScreenX(long worldLength) const override;
    int Scale2ScreenY(long worldLength) const override;
    long Scale2WorldX(int pixels) const override;
    long Scale2WorldY(int pixels) const override;
    SYS_Point Scale2World(CPoint pixels) override;
    CPoint Scale2Screen(SYS_Point worldSize) override;
    SYS_Box Screen2World(CRect const& rect) override;
    SYS_Point Screen2World(CPoint const& point) override;
    CRect World2Screen(SYS_Box const& box) override;
    CPoint World2Screen(SYS_Point const& point) override;

    void GetVP(SYS_Box& viewport) override;
    void RegisterRedrawHook(SCC_EventHook<RedrawBlock>* hook) override;
    void InstallDynamic(CDynamic* dynamic) override;
    /// Replays the dynamic's recording: removes (show 0) or shows (show 1) it.
    void RedrawDynamic(CDynamic* dynamic, SYS_Box* box, int show) override;

    void SwitchPen(int color, long width, int cap) override;
    void PenCap(int cap) override;
    void PenColor(int color) override;
    void PenMode(int mode) override;
    int GetPenMode() override;
    void PenSize(long width) override;
    void BackColor(int color) override;
    int GetBackColor() override;
    gra_mode_union GetGRAMode() override;
    void SetGRAMode(gra_mode_union mode) override;

    void EraseRect(SYS_Box box) override;
    void FillRect(SYS_Box box, int color) override;
    void DrawXorBox(SYS_Box box) override;
    void DrawXorBox(SYS_Point p1, SYS_Point p2) override;
    /// Measures (draw == 0) or draws the text; the box is estimated from the text height.
    SYS_Box DrawXorText(char const* text, int alignX, int alignY, long x, long y,
                        int draw) override;
    SYS_Box DrawXorText(char const* text, int alignX, int alignY, SYS_Point at, int draw) override;
    void FastMoveTo(SYS_Point const& p) override;
    void FastLineTo(SYS_Point const& p) override;
    void FastPaintOval(SYS_Box box) override;
    using UI_DrawArea::FastPaintOval;
    void FastFrameOval(SYS_Box const& box) override;
    void FastPolyPolyline(SYS_Point* points, unsigned long const* counts, int count) override;
    void FastFrameArc(SYS_Box const& box, SYS_Point const& p1, SYS_Point const& p2) override;
    /// mode != 0 closes the outline.
    void FastPolyLine(int count, SYS_Point* points, long width, int mode) override;
    void DrawLine(SYS_Point const& p1, SYS_Point const& p2, long width, int color) override;

    void TextAlign(int alignX, int alignY) override;
    void TextPath(double degrees) override;
    void TextSize(int width, int height) override;
    void DrawString(char const* text) override;

    int GetDefaultPaletteColors(unsigned long* colors) const override;
    int GetCurrentPaletteColors(unsigned long* colors) const override;
    unsigned long GetCurrentPaletteColorRGB(int index) const override;
    /// Reads kPaletteSize entries; null changes nothing.
    void SetCurrentPaletteColors(unsigned long* colors) override;

private:
    double X(double worldX) const;
    double Y(double worldY) const;
    std::string Color(int index) const;
    std::string Stroke(int color, long width) const;
    /// x, y, width and height of a normalised box; cx, cy, rx and ry of the oval inscribed in it.
    std::string RectAttributes(const SYS_Box& box) const;
    std::string EllipseAttributes(const SYS_Box& box) const;
    std::string TextElement(const char* text, int alignX, int alignY, double x, double y) const;
    void AddXor(const std::string& element);
    void Add(const std::string& element);
    void AddLine(const SYS_Point& p1, const SYS_Point& p2, const std::string& stroke);
    void AddPoints(const SYS_Point* points, long count, bool closed, const std::string& stroke);

    SYS_Box m_world;
    int m_width;
    int m_height;
    double m_scale;  ///< pixels per world unit

    unsigned long m_palette[kPaletteSize];
    int m_penColor = 7;
    long m_penSize = 0;
    int m_penCap = 0;
    int m_penMode = 0;
    int m_backColor = 0;
    gra_mode_union m_graMode;
    SYS_Point m_current;
    int m_alignX = 0;
    int m_alignY = 0;
    double m_textDegrees = 0;
    int m_textHeight = 0;

    std::vector<std::string> m_picture;
    std::vector<std::string> m_xor;            ///< removed entries are left empty
    std::map<std::string, size_t> m_xorIndex;  ///< element -> its entry in m_xor
    SCC_Event<RedrawBlock> m_redraw;
};
