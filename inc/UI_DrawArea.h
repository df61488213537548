#pragma once

#include <cstdint>

#include "SCC_Event.h"
#include "SYS_Geom.h"
#include "TessarTypes.h"

/// @file
/// The abstract drawing surface of the board editors. World coordinates are integer base units
/// (SYS_Point, SYS_Box); screen coordinates are window pixels (CPoint, CRect). The library
/// defines the interface and an inert default for every operation; a concrete window derives
/// from UI_DrawArea and implements the conversions and the drawing. Everything in the library
/// that draws (CDynamic) calls only these operations.

class CDynamic;

/// The current graphics mode: pen, colour and drawing-mode bits packed by the concrete draw area,
/// which alone interprets them. Always 32 bits; the base reports all bits zero.
union gra_mode_union {
    /// The mode as one word.
    uint32_t bits;
    /// The same word byte by byte, in memory order.
    uint8_t bytes[4];
};
static_assert(sizeof(gra_mode_union) == 4, "a graphics mode is one 32-bit word");

/// Conversions between world and screen. The base answers with fixed values (the Scale
/// operations 1, the others a zero point, box or rectangle); a concrete draw area overrides all
/// ten. Scale converts lengths, Screen2World and World2Screen convert positions.
class TESSAR_EXPORT UI_ScreenCoordConverter {
public:
    /// World lengths to pixels (Scale2Screen*) and pixels to world lengths (Scale2World*), along
    /// one axis. The base answers 1.
    ///@{
    virtual int Scale2ScreenX(long worldLength) const;
    virtual int Scale2ScreenY(long worldLength) const;
    virtual long Scale2WorldX(int pixels) const;
    virtual long Scale2WorldY(int pixels) const;
    /// A pixel offset as a world offset; (0, 0) in the base.
    ///@}
    virtual SYS_Point Scale2World(CPoint pixels);
    /// The base writes no position into the result; it comes back as (0, 0).
    virtual CPoint Scale2Screen(SYS_Point worldSize);
    /// Window positions to world positions; the base answers the all-zero box or (0, 0).
    ///@{
    virtual SYS_Box Screen2World(CRect const& rect);
    virtual SYS_Point Screen2World(CPoint const& point);
    ///@}
    /// The base writes no position into the result; it comes back all zero.
    virtual CRect World2Screen(SYS_Box const& box);
    /// A world position as a window pixel; (0, 0) in the base.
    virtual CPoint World2Screen(SYS_Point const& point);

protected:
    /// Only derived classes create and copy a converter; it holds no state.
    ///@{
    UI_ScreenCoordConverter() = default;
    UI_ScreenCoordConverter(const UI_ScreenCoordConverter&) = default;
    UI_ScreenCoordConverter& operator=(const UI_ScreenCoordConverter&) = default;
    ///@}
    ~UI_ScreenCoordConverter() = default;  ///< destroyed through UI_DrawArea only
};

/// The drawing interface. The base holds no state and does nothing: queries answer 0, 1.0 or
/// an all-zero box, everything else is ignored. Colours are palette indices (int) or RGB values
/// (unsigned long, red in the low byte); `long` widths are world lengths.
///
/// A CDynamic announces itself with InstallDynamic; the concrete draw area then hooks it on its
/// redraw event and notifies it with code 0 or 1 (replay the recording), 2 (the draw area goes
/// away) or 3 (erase and forget the recording). RedrawDynamic is how a CDynamic asks its draw
/// area to remove (show 0) or show (show 1) its recording, typically by notifying it with 0 or 1.
class TESSAR_EXPORT UI_DrawArea : public UI_ScreenCoordConverter {
public:
    /// The payload of the redraw event: the world area being redrawn, as the concrete draw area
    /// fills it (all zero when it does not say). Receivers must also accept a null payload.
    struct RedrawBlock {
        /// The world area being redrawn.
        SYS_Box box;
    };

    /// A draw area with no window behind it: every operation is the inert default.
    UI_DrawArea() = default;
    /// A draw area has no state of its own: copying copies nothing.
    UI_DrawArea(const UI_DrawArea&) : UI_ScreenCoordConverter() {}
    /// Copies nothing, like the copy constructor.
    UI_DrawArea& operator=(const UI_DrawArea&) { return *this; }

    /// Destroyed through this class; the base does nothing more.
    virtual ~UI_DrawArea();

    /// Viewport queries and changes (the world area the window shows, and the one the user asked
    /// for), the hook for the redraw event, and fitting a box to the window: implemented by the
    /// concrete draw area. The base leaves its arguments untouched and keeps no hook.
    ///@{
    virtual void GetVP(SYS_Box& viewport);
    virtual void GetUserVP(SYS_Box& viewport);
    virtual void SetVP(SYS_Box& viewport);
    virtual void SetUserVP(SYS_Box& viewport);
    virtual void RegisterRedrawHook(SCC_EventHook<RedrawBlock>* hook);
    virtual void FitRectToWindow(SYS_Box& box);
    ///@}

    /// Pen and background state for later drawing: colour (palette index), width (world length),
    /// cap style, drawing mode; RegisterBrush answers the brush's index. The base keeps nothing:
    /// the getters and RegisterBrush answer 0.
    ///@{
    virtual void SwitchPen(int color, long width, int cap);
    virtual void PenCap(int cap);
    virtual void PenColor(int color);
    virtual void PenMode(int mode);
    virtual int GetPenMode();
    virtual void PenSize(long width);
    virtual void BackColor(int color);
    virtual int GetBackColor();
    virtual int RegisterBrush(unsigned int brush);
    ///@}

    /// Erasing or filling a world box (in palette colour `color`) and moving the current point to
    /// (x, y). The base does nothing.
    ///@{
    virtual void EraseRect(SYS_Box box);
    virtual void FillRect(SYS_Box box, int color);
    virtual void MoveCursor(long x, long y);
    virtual void SafeMoveCursor(long x, long y);
    ///@}

    /// Zoom, implemented by the concrete draw area: GetScale and GetWorldScale answer 1.0 in the
    /// base, SetScale answers 0 and changes nothing, SetBitmapRedraw is ignored.
    ///@{
    virtual double GetScale(SYS_Point* center);
    virtual int SetScale(double scale, SYS_Point* center, int redraw);
    virtual double GetWorldScale();
    virtual void SetBitmapRedraw(int flag);
    ///@}

    /// Redrawing the whole window or the part under a world box, at once or later: implemented by
    /// the concrete draw area. The base does nothing.
    ///@{
    virtual void SetRgnRedraw(SYS_Box* box, int flag);
    virtual void Redraw(SYS_Box box);
    virtual void Redraw();
    virtual void RedrawRect(SYS_Box box);
    virtual void InvalidateRect(SYS_Box const* box);
    ///@}

    /// Brackets around a change of the window's size, for the concrete draw area. The base does
    /// nothing.
    ///@{
    virtual void StartResize();
    virtual void EndResize();
    ///@}
    /// The CDynamic protocol of the class comment: InstallDynamic hooks a recording on the redraw
    /// event; RedrawDynamic removes (show 0) or shows (show 1) it over `box`. The base does
    /// nothing.
    ///@{
    virtual void InstallDynamic(CDynamic* dynamic);
    virtual void RedrawDynamic(CDynamic* dynamic, SYS_Box* box, int show);
    ///@}

    /// An exclusive-or box outline (drawn twice, it disappears), given as a box or as two corners.
    /// The base draws nothing.
    ///@{
    virtual void DrawXorBox(SYS_Box box);
    virtual void DrawXorBox(SYS_Point p1, SYS_Point p2);
    ///@}
    /// Draws (draw != 0) or only measures (draw == 0) a text at (x, y) aligned by (alignX,
    /// alignY); returns the world box it covers. The base returns the all-zero box.
    virtual SYS_Box DrawXorText(char const* text, int alignX, int alignY, long x, long y, int draw);
    /// As above, with the position given as a point.
    virtual SYS_Box DrawXorText(char const* text, int alignX, int alignY, SYS_Point at, int draw);
    /// The origin marker at a world position, and the cursor redrawn at `cursor` (null: where it
    /// is). The base draws nothing.
    ///@{
    virtual void DrawOriginMark(SYS_Point origin);
    virtual void DrawOriginMark(long x, long y);
    virtual void RefreshCursor(SYS_Point* cursor);
    ///@}

    /// Brackets and switches of drawing (batches, drawing straight on the screen, split views), for
    /// the concrete draw area; CDynamic overrides the batch brackets as documented there. The base
    /// does nothing.
    ///@{
    virtual void StartBatchDraw();
    virtual void EndBatchDraw();
    virtual void StartScreenDraw();
    virtual void EndScreenDraw();
    virtual void DrawOnScreen(bool onScreen);
    virtual void DiscardSplit();
    ///@}

    /// Fast primitives with the current pen, in world coordinates: move and line from the current
    /// point, filled and outlined ovals (inscribed in a box, or around a centre), an arc of the
    /// oval inscribed in `box`. The base draws nothing.
    ///@{
    virtual void FastMoveTo(SYS_Point const& p);
    virtual void FastLineTo(SYS_Point const& p);
    virtual void FastPaintOval(SYS_Box box);
    virtual void FastPaintOval(SYS_Point const& center, long radius, int flag);
    virtual void FrameArc(SYS_Box box, double startAngle, double sweepAngle);
    virtual void FastFrameOval(SYS_Box const& box);
    ///@}
    /// count polylines back to back in points; polyline i has counts[i] points.
    virtual void FastPolyPolyline(SYS_Point* points, unsigned long const* counts, int count);
    /// count polygons back to back in points, polygon i with counts[i] points, outlined `width`
    /// wide. The base draws nothing.
    virtual void FastPolyPolygon(SYS_Point* points, int const* counts, int count, long width);
    /// The arc of the oval inscribed in box, counter-clockwise from the ray through p1 to the
    /// ray through p2.
    virtual void FastFrameArc(SYS_Box const& box, SYS_Point const& p1, SYS_Point const& p2);
    /// A polyline of count points, `width` wide, in drawing mode `mode`. The base draws nothing.
    virtual void FastPolyLine(int count, SYS_Point* points, long width, int mode);

    /// A picture's `source` part drawn into `target`, an icon and a marker at a world point. The
    /// base draws nothing.
    ///@{
    virtual void DrawPicture(int picture, SYS_Box& source, SYS_Box& target, unsigned long flags);
    virtual void DrawIcon(HICON icon, SYS_Point at, int flags);
    virtual void DrawMarker(int marker, SYS_Point at);
    ///@}

    /// Text state for later text: alignment, extra spacing between characters, font face. The base
    /// keeps nothing.
    ///@{
    virtual void TextAlign(int alignX, int alignY);
    virtual void TextExtra(int extra);
    virtual void TextFace(int face);
    ///@}
    /// Text direction, counter-clockwise. A CDynamic takes it in the library's angle units and
    /// replays it into its draw area in degrees.
    virtual void TextPath(double angle);
    /// Text size for later text, and measures of the stroke font in pixels: a text's length (of
    /// `count` characters from `first`, or all of it), the heights above and below the baseline and
    /// the whole font height. The base answers 0.
    ///@{
    virtual void TextSize(int width, int height);
    virtual int StrokeTextLen(char const* text, int first, int count);
    virtual int StrokeTextLen(char const* text);
    virtual int StrokeTextAscendingHeight();
    virtual int StrokeTextDescendingHeight();
    virtual int StrokeTextFontHeight();
    ///@}
    /// Draws text at the current point.
    virtual void DrawString(char const* text);

    /// A line from p1 to p2, `width` wide, in palette colour `color`. The base draws nothing.
    virtual void DrawLine(SYS_Point const& p1, SYS_Point const& p2, long width, int color);

    /// Exclusive-or drawing between StartXORDraw and EndXORDraw: drawn twice, a shape disappears,
    /// which is how rubber bands and drag outlines are shown. The base draws nothing.
    ///@{
    virtual void StartXORDraw();
    virtual void XORCross(SYS_Point const& p);
    virtual void XORFrameArc(SYS_Box const& box, SYS_Point const& p1, SYS_Point const& p2);
    virtual void XORFrameOval(SYS_Point const& center, long const& radius);
    virtual void XORPaintOval(SYS_Point const& center, long const& radius);
    virtual void XORLineTo(SYS_Point const& p);
    virtual void XORMoveTo(SYS_Point const& p);
    virtual void XORPenColor(long const& color);
    virtual void EndXORDraw();
    ///@}

    /// Arc direction (SetArcDirection answers 0 in the base), single pixels, a dot grid over `area`
    /// through `origin` with the given steps, and the world size of a pixel (0 in the base):
    /// implemented by the concrete draw area; the base draws nothing.
    ///@{
    virtual int SetArcDirection(int direction);
    virtual void SetPixel(SYS_Point const& p);
    virtual void DrawDotGrid(SYS_Point& origin, long stepX, long stepY, SYS_Box& area);
    virtual long GetPixelSize();
    ///@}

    /// The graphics mode word (see gra_mode_union); the base answers all bits zero and keeps
    /// nothing.
    ///@{
    virtual gra_mode_union GetGRAMode();
    virtual void SetGRAMode(gra_mode_union mode);
    ///@}

    /// Palette queries write into colors (when the draw area has a palette) and return the
    /// number of entries; the base writes nothing and returns 0.
    ///@{
    virtual int GetDefaultPaletteColors(unsigned long* colors) const;
    virtual int GetCurrentPaletteColors(unsigned long* colors) const;
    ///@}
    /// The RGB value shown for a palette index; 0 in the base.
    virtual unsigned long GetCurrentPaletteColorRGB(int index) const;
    /// Replaces the current palette with `colors`; the base ignores it.
    virtual void SetCurrentPaletteColors(unsigned long* colors);

    /// The application's main draw area: set when its main view is created and cleared by it.
    /// The library never deletes it. Null until set.
    static UI_DrawArea* GetMainDrawArea();
    /// Sets the main draw area (null clears it); the library does not take ownership.
    static void SetMainDrawArea(UI_DrawArea* area);

    /// The main draw area (see GetMainDrawArea).
    static UI_DrawArea* s_pMainDrawArea;
};
