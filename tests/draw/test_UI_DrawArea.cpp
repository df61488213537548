#include <gtest/gtest.h>

#include <vector>

#include "UI_DrawArea.h"

namespace {

// The base draw area answers queries with fixed values and ignores everything else.
TEST(UI_DrawArea, BaseAnswersItsFixedValues) {
    UI_DrawArea area;
    const UI_DrawArea& constArea = area;
    EXPECT_EQ(std::vector<long>(4, 1),
              (std::vector<long>{constArea.Scale2ScreenX(12345), constArea.Scale2ScreenY(-7),
                                 constArea.Scale2WorldX(99), constArea.Scale2WorldY(0)}));
    EXPECT_EQ(SYS_Point(0, 0), area.Scale2World(CPoint{5, 6}));
    EXPECT_EQ(SYS_Point(0, 0), area.Screen2World(CPoint{5, 6}));
    EXPECT_EQ(SYS_Box(), area.Screen2World(CRect{1, 2, 3, 4}));
    CPoint screen = area.World2Screen(SYS_Point(5, 6));
    CRect rect = area.World2Screen(SYS_Box(1, 2, 3, 4));
    CPoint size = area.Scale2Screen(SYS_Point(5, 6));
    EXPECT_EQ(
        0, screen.x | screen.y | rect.left | rect.top | rect.right | rect.bottom | size.x | size.y);

    SYS_Point center(1, 1);
    EXPECT_EQ(1.0, area.GetScale(&center));
    EXPECT_EQ(1.0, area.GetWorldScale());
    EXPECT_EQ(SYS_Box(), area.DrawXorText("x", 0, 0, 1L, 2L, 1));
    EXPECT_EQ(SYS_Box(), area.DrawXorText("x", 0, 0, SYS_Point(1, 2), 1));
    unsigned long colors[4] = {9, 9, 9, 9};
    const std::vector<long> zeros = {
        area.SetScale(2.0, &center, 1), area.GetPenMode(), area.GetBackColor(),
        area.RegisterBrush(3), area.StrokeTextLen("abc", 0, 3), area.StrokeTextLen("abc"),
        area.StrokeTextAscendingHeight(), area.StrokeTextDescendingHeight(),
        area.StrokeTextFontHeight(), area.SetArcDirection(1), area.GetPixelSize(),
        long(area.GetGRAMode().bits), constArea.GetDefaultPaletteColors(colors),
        constArea.GetCurrentPaletteColors(colors), long(constArea.GetCurrentPaletteColorRGB(3))};
    EXPECT_EQ(std::vector<long>(zeros.size(), 0), zeros);
    EXPECT_EQ(9ul, colors[0]);  // nothing written
}

// Every operation without a result leaves its arguments as they were.
TEST(UI_DrawArea, BaseOperationsChangeNothing) {
    UI_DrawArea area;
    SYS_Box box(1, 2, 3, 4);
    SYS_Point p(5, 6);
    SYS_Point points[2] = {p, p};
    unsigned long counts[1] = {2};
    int intCounts[1] = {2};
    long radius = 3, color = 4;
    area.GetVP(box), area.GetUserVP(box), area.SetVP(box), area.SetUserVP(box);
    area.RegisterRedrawHook(nullptr), area.FitRectToWindow(box);
    area.SwitchPen(1, 2, 3), area.PenCap(1), area.PenColor(1), area.PenMode(2), area.PenSize(3);
    area.BackColor(1), area.EraseRect(box), area.FillRect(box, 1), area.MoveCursor(1, 2);
    area.SafeMoveCursor(1, 2), area.SetBitmapRedraw(1), area.SetRgnRedraw(&box, 1);
    area.Redraw(box), area.Redraw(), area.RedrawRect(box), area.InvalidateRect(&box);
    area.StartResize(), area.EndResize(), area.InstallDynamic(nullptr);
    area.RedrawDynamic(nullptr, &box, 1), area.DrawXorBox(box), area.DrawXorBox(p, p);
    area.DrawOriginMark(p), area.DrawOriginMark(1L, 2L), area.RefreshCursor(&p);
    area.StartBatchDraw(), area.EndBatchDraw(), area.StartScreenDraw(), area.EndScreenDraw();
    area.DrawOnScreen(true), area.DiscardSplit(), area.FastMoveTo(p), area.FastLineTo(p);
    area.FastPaintOval(box), area.FastPaintOval(p, 3, 1), area.FrameArc(box, 0.0, 1.0);
    area.FastFrameOval(box), area.FastPolyPolyline(points, counts, 1);
    area.FastPolyPolygon(points, intCounts, 1, 2), area.FastFrameArc(box, p, p);
    area.FastPolyLine(2, points, 1, 0), area.DrawPicture(1, box, box, 0);
    area.DrawIcon(nullptr, p, 0), area.DrawMarker(1, p), area.TextAlign(1, 2), area.TextExtra(1);
    area.TextFace(1), area.TextPath(90.0), area.TextSize(1, 2), area.DrawString("x");
    area.DrawLine(p, p, 1, 2), area.StartXORDraw(), area.XORCross(p), area.XORFrameArc(box, p, p);
    area.XORFrameOval(p, radius), area.XORPaintOval(p, radius), area.XORLineTo(p),
        area.XORMoveTo(p);
    area.XORPenColor(color), area.EndXORDraw(), area.SetPixel(p), area.DrawDotGrid(p, 1, 1, box);
    area.SetGRAMode(gra_mode_union{7}), area.SetCurrentPaletteColors(counts);
    EXPECT_EQ(SYS_Box(1, 2, 3, 4), box);
    EXPECT_EQ(SYS_Point(5, 6), p);
    EXPECT_EQ(2ul, counts[0]);
    EXPECT_EQ(0, area.GetPenMode());  // PenMode(2) was not kept
}

}  // namespace
