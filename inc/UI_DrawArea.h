#pragma once

#include <cstdint>

#include "SCC_Event.h"
#include "SYS_Geom.h"
#include "TessarTypes.h"

// The abstract drawing surface of the board editors. World coordinates are integer base units
// (SYS_Point, SYS_Box); screen coordinates are window pixels (CPoint, CRect). The library
// defines the interface and an inert default for every operation; a concrete window derives
// from UI_DrawArea and implements the conversions and the drawing. Everything in the library
// that draws (CDynamic) calls only these operations.

class CDynamic;

/// The current graphics mode: pen, colour and drawing-mode bits packed by the concrete draw area,
/// which alone interprets them. Always 32 bits; the base reports all bits zero.
union gra_mode_union {
    uint32_t bits;
    uint8_t bytes[4];
};
static_assert(sizeof(gra_mode_union) == 4, "a graphics mode is one 32-bit word");

/// Conversions between world and screen. The base answers with fixed values (the Scale
/// operations 1, the others a zero point, box or rectangle); a concrete draw area overrides all
/// ten. Scale converts lengths, Screen2World and World2Screen convert positions.
class TESSAR_EXPORT UI_ScreenCoordConverter {
public:
    virtual int Scale2ScreenX(long worldLength) const;
    virtual int Scale2ScreenY(long worldLength) const;
    virtual long Scale2WorldX(int pixels) const;
    virtual long Scale2WorldY(int pixels) const;
    virtual SYS_Point Scale2World(CPoint pixels);
    /// The base writes no position into the result; it comes back as (0, 0).
    virtual CPoint Scale2Screen(SYS_Point worldSize);
    virtual SYS_Box Screen2World(CRect const& rect);
    virtual SYS_Point Screen2World(CPoint const& point);
    /// The base writes no position into the result; it comes back all zero.
    virtual CRect World2Screen(SYS_Box const& box);
    virtual CPoint World2Screen(SYS_Point const& point);

protected:
    UI_ScreenCoordConverter() = default;
    UI_ScreenCoordConverter(const UI_ScreenCoordConverter&) = default;
    UI_ScreenCoordConverter& operator=(const UI_ScreenCoordConverter&) = default;
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
        SYS_Box box;
    };

    UI_DrawArea() = default;
    /// A draw area has no state of its own: copying copies nothing.
    UI_DrawArea(const UI_DrawArea&) : UI_ScreenCoordConverter() {}
    UI_DrawArea& operator=(const UI_DrawArea&) { return *this; }

    virtual ~UI_DrawArea();

    virtual void GetVP(SYS_Box& viewport);
    virtual void GetUserVP(SYS_Box& viewport);
    virtual void SetVP(SYS_Box& viewport);
    virtual void SetUserVP(SYS_Box& viewport);
    virtual void RegisterRedrawHook(SCC_EventHook<RedrawBlock>* hook);
    virtual void FitRectToWindow(SYS_Box& box);

    virtual void SwitchPen(int color, long width, int cap);
    virtual void PenCap(int cap);
    virtual void PenColor(int color);
    virtual void PenMode(int mode);
    virtual int GetPenMode();
    virtual void PenSize(long width);
    virtual void BackColor(int color);
    virtual int GetBackColor();
    virtual int RegisterBrush(unsigned int brush);

    virtual void EraseRect(SYS_Box box);
    virtual void FillRect(SYS_Box box, int color);
    virtual void MoveCursor(long x, long y);
    virtual void SafeMoveCursor(long x, long y);

    virtual double GetScale(SYS_Point* center);
    virtual int SetScale(double scale, SYS_Point* center, int redraw);
    virtual double GetWorldScale();
    virtual void SetBitmapRedraw(int flag);

    virtual void SetRgnRedraw(SYS_Box* box, int flag);
    virtual void Redraw(SYS_Box box);
    virtual void Redraw();
    virtual void RedrawRect(SYS_Box box);
    virtual void InvalidateRect(SYS_Box const* box);

    virtual void StartResize();
    virtual void EndResize();
    virtual void InstallDynamic(CDynamic* dynamic);
    virtual void RedrawDynamic(CDynamic* dynamic, SYS_Box* box, int show);

    virtual void DrawXorBox(SYS_Box box);
    virtual void DrawXorBox(SYS_Point p1, SYS_Point p2);
    /// Draws (draw != 0) or only measures (draw == 0) a text at (x, y) aligned by (alignX,
    /// alignY); returns the world box it covers. The base returns the all-zero box.
    virtual SYS_Box DrawXorText(char const* text, int alignX, int alignY, long x, long y, int draw);
    virtual SYS_Box DrawXorText(char const* text, int alignX, int alignY, SYS_Point at, int draw);
    virtual void DrawOriginMark(SYS_Point origin);
    virtual void DrawOriginMark(long x, long y);
    virtual void RefreshCursor(SYS_Point* cursor);

    virtual void StartBatchDraw();
    virtual void EndBatchDraw();
    virtual void StartScreenDraw();
    virtual void EndScreenDraw();
    virtual void DrawOnScreen(bool onScreen);
    virtual void DiscardSplit();

    virtual void FastMoveTo(SYS_Point const& p);
    virtual void FastLineTo(SYS_Point const& p);
    virtual void FastPaintOval(SYS_Box box);
    virtual void FastPaintOval(SYS_Point const& center, long radius, int flag);
    virtual void FrameArc(SYS_Box box, double startAngle, double sweepAngle);
    virtual void FastFrameOval(SYS_Box const& box);
    /// count polylines back to back in points; polyline i has counts[i] points.
    virtual void FastPolyPolyline(SYS_Point* points, unsigned long const* counts, int count);
    virtual void FastPolyPolygon(SYS_Point* points, int const* counts, int count, long width);
    /// The arc of the oval inscribed in box, counter-clockwise from the ray through p1 to the
    /// ray through p2.
    virtual void FastFrameArc(SYS_Box const& box, SYS_Point const& p1, SYS_Point const& p2);
    virtual void FastPolyLine(int count, SYS_Point* points, long width, int mode);

    virtual void DrawPicture(int picture, SYS_Box& source, SYS_Box& target, unsigned long flags);
    virtual void DrawIcon(HICON icon, SYS_Point at, int flags);
    virtual void DrawMarker(int marker, SYS_Point at);

    virtual void TextAlign(int alignX, int alignY);
    virtual void TextExtra(int extra);
    virtual void TextFace(int face);
    /// Text direction, counter-clockwise. A CDynamic takes it in the library's angle units and
    /// replays it into its draw area in degrees.
    virtual void TextPath(double angle);
    virtual void TextSize(int width, int height);
    virtual int StrokeTextLen(char const* text, int first, int count);
    virtual int StrokeTextLen(char const* text);
    virtual int StrokeTextAscendingHeight();
    virtual int StrokeTextDescendingHeight();
    virtual int StrokeTextFontHeight();
    /// Draws text at the current point.
    virtual void DrawString(char const* text);

    virtual void DrawLine(SYS_Point const& p1, SYS_Point const& p2, long width, int color);

    virtual void StartXORDraw();
    virtual void XORCross(SYS_Point const& p);
    virtual void XORFrameArc(SYS_Box const& box, SYS_Point const& p1, SYS_Point const& p2);
    virtual void XORFrameOval(SYS_Point const& center, long const& radius);
    virtual void XORPaintOval(SYS_Point const& center, long const& radius);
    virtual void XORLineTo(SYS_Point const& p);
    virtual void XORMoveTo(SYS_Point const& p);
    virtual void XORPenColor(long const& color);
    virtual void EndXORDraw();

    virtual int SetArcDirection(int direction);
    virtual void SetPixel(SYS_Point const& p);
    virtual void DrawDotGrid(SYS_Point& origin, long stepX, long stepY, SYS_Box& area);
    virtual long GetPixelSize();

    virtual gra_mode_union GetGRAMode();
    virtual void SetGRAMode(gra_mode_union mode);

    /// Palette queries write into colors (when the draw area has a palette) and return the
    /// number of entries; the base writes nothing and returns 0.
    virtual int GetDefaultPaletteColors(unsigned long* colors) const;
    virtual int GetCurrentPaletteColors(unsigned long* colors) const;
    /// The RGB value shown for a palette index; 0 in the base.
    virtual unsigned long GetCurrentPaletteColorRGB(int index) const;
    virtual void SetCurrentPaletteColors(unsigned long* colors);

    /// The application's main draw area: set when its main view is created and cleared by it.
    /// The library never deletes it. Null until set.
    static UI_DrawArea* GetMainDrawArea();
    static void SetMainDrawArea(UI_DrawArea* area);

    static UI_DrawArea* s_pMainDrawArea;
};
