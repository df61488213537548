#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "CDynamic.h"
#include "UI_SvgDrawArea.h"
#include "xml_check.h"

namespace {

using draw_test::CheckXml;

// World (0, 0) .. (1000, 500) on 200 pixels: 0.2 pixels per unit, 100 pixels high.
UI_SvgDrawArea MakeArea() { return UI_SvgDrawArea(SYS_Box(1000, 500, 0, 0), 200); }

TEST(UI_SvgDrawArea, MapsTheWorldBoxOntoThePictureYUp) {
    UI_SvgDrawArea area(SYS_Box(1000, 500, 0, 0), 200);  // given unnormalised
    const struct {
        SYS_Point world;
        int x, y;
    } kPoints[] = {{SYS_Point(1000, 0), 200, 100}, {SYS_Point(-500, 1000), -100, -100}};
    for (const auto& c : kPoints) {
        CPoint screen = area.World2Screen(c.world);
        EXPECT_EQ(std::make_pair(c.x, c.y), std::make_pair(screen.x, screen.y));
        EXPECT_EQ(c.world, area.Screen2World(screen));
    }
    CRect rect = area.World2Screen(SYS_Box(0, 0, 500, 250));
    EXPECT_EQ((std::vector<int>{0, 50, 100, 100}),
              (std::vector<int>{rect.left, rect.top, rect.right, rect.bottom}));
    EXPECT_EQ(SYS_Box(0, 0, 500, 250), area.Screen2World(rect));
    EXPECT_EQ(200, area.Scale2ScreenX(1000));
    EXPECT_EQ(-2, area.Scale2ScreenY(-10));
    EXPECT_EQ(1000, area.Scale2WorldX(200));
    EXPECT_EQ(SYS_Point(50, 100), area.Scale2World(CPoint{10, 20}));
    CPoint size = area.Scale2Screen(SYS_Point(50, 100));
    EXPECT_EQ(std::make_pair(10, 20), std::make_pair(size.x, size.y));
    EXPECT_EQ(INT_MAX > 1000000000 ? 1000000000 : 0, area.Scale2ScreenX(LONG_MAX));  // clamped
    UI_SvgDrawArea point(SYS_Box(5, 5, 5, 5), 0);  // an empty world still gives one pixel
    EXPECT_EQ(1, point.GetWidthPixels());
    EXPECT_EQ(1, point.GetHeightPixels());
}

TEST(UI_SvgDrawArea, PictureIsWellFormedXmlWithItsTextEscaped) {
    UI_SvgDrawArea area = MakeArea();
    SYS_Point line[] = {SYS_Point(0, 0), SYS_Point(100, 100), SYS_Point(200, 0)};
    unsigned long counts[] = {2, 1};
    area.FastPolyLine(3, line, 5, 1);
    area.FastPolyPolyline(line, counts, 2);
    area.EraseRect(SYS_Box(0, 0, 5, 5));
    area.DrawString("a<b>&\"c\" \x01\xE9");
    area.DrawXorBox(SYS_Point(0, 0), SYS_Point(10, 10));
    area.DrawXorText("label", 1, 1, SYS_Point(500, 250), 1);

    std::string svg = area.GetSvg();
    draw_test::XmlCheck xml = CheckXml(svg);
    ASSERT_TRUE(xml.wellFormed) << xml.problem << "\n" << svg;
    EXPECT_EQ(1, xml.elements["polygon"]);
    EXPECT_EQ(2, xml.elements["polyline"]);  // one per poly-polyline list
    EXPECT_EQ(3, xml.elements["rect"]);      // background, erase, xor box
    EXPECT_NE(std::string::npos, svg.find(">a&lt;b&gt;&amp;&quot;c&quot; ?&#233;</text>"));
    EXPECT_EQ(2, area.GetXorCount());
}

TEST(UI_SvgDrawArea, ArcsRunCounterClockwise) {
    const struct {
        const char* name;
        SYS_Point from, to;
        const char* path;
    } kArcs[] = {
        {"quarter from east to north", SYS_Point(100, 50), SYS_Point(50, 100),
         "M 20 90 A 10 10 0 0 0 10 80"},
        {"three quarters from north to east", SYS_Point(50, 100), SYS_Point(100, 50),
         "M 10 80 A 10 10 0 1 0 20 90"},
    };
    for (const auto& c : kArcs) {
        SCOPED_TRACE(c.name);
        UI_SvgDrawArea area = MakeArea();
        area.FastFrameArc(SYS_Box(0, 0, 100, 100), c.from, c.to);
        EXPECT_NE(std::string::npos, area.GetSvg().find(c.path)) << area.GetSvg();
    }
    UI_SvgDrawArea full = MakeArea();
    full.FastFrameArc(SYS_Box(0, 0, 100, 100), SYS_Point(100, 50), SYS_Point(100, 50));
    EXPECT_EQ(1, CheckXml(full.GetSvg()).elements["ellipse"]);
    UI_SvgDrawArea flat = MakeArea();
    flat.FastFrameArc(SYS_Box(0, 0, 100, 0), SYS_Point(0, 0), SYS_Point(100, 0));
    EXPECT_EQ(1, CheckXml(flat.GetSvg()).elements["line"]);
}

// What the demo picture relies on: a dynamic batch shows its recording in exclusive-or at its
// end, and the next batch erases it by replaying it once more.
TEST(UI_SvgDrawArea, DynamicBatchesShowAndEraseTheirRecording) {
    UI_SvgDrawArea area = MakeArea();
    CDynamic band(&area);
    band.StartBatchDraw();
    band.PenColor(4);
    band.DrawXorBox(SYS_Box(0, 0, 100, 100));
    band.DrawLine(SYS_Point(0, 0), SYS_Point(100, 100), 0, 4);
    band.DrawXorText("U1", 1, 1, SYS_Point(50, 50), 1);
    EXPECT_EQ(0, area.GetXorCount());  // recorded, not drawn
    band.EndBatchDraw();
    EXPECT_EQ(3, area.GetXorCount());
    EXPECT_EQ(0, area.GetPenMode());  // restored after the replay
    band.StartBatchDraw();  // erases by replaying once more: exclusive-or twice removes
    EXPECT_EQ(0, area.GetXorCount());
    band.DrawXorBox(SYS_Box(200, 200, 300, 300));
    band.EndBatchDraw();
    EXPECT_EQ(1, area.GetXorCount());
    EXPECT_EQ(0, area.GetPictureCount());
}

TEST(UI_SvgDrawArea, DestroyingTheAreaTellsItsDynamics) {
    CDynamic band(nullptr);
    SCC_EventHook<UI_DrawArea::RedrawBlock> hook;
    {
        UI_SvgDrawArea area = MakeArea();
        band.Install(&area);
        area.RegisterRedrawHook(&hook);
        EXPECT_EQ(&area.GetRedrawEvent(), hook.GetOwner());
    }
    EXPECT_EQ(nullptr, band.GetDrawArea());
    EXPECT_EQ(nullptr, hook.GetOwner());
}

TEST(UI_SvgDrawArea, PaletteColoursAndState) {
    UI_SvgDrawArea area = MakeArea();
    EXPECT_EQ(0xFF0000ul, area.GetCurrentPaletteColorRGB(3));  // blue, red in the low byte
    EXPECT_EQ(0ul, area.GetCurrentPaletteColorRGB(-1));
    unsigned long colors[UI_SvgDrawArea::kPaletteSize] = {};
    EXPECT_EQ(UI_SvgDrawArea::kPaletteSize, area.GetDefaultPaletteColors(colors));
    colors[1] = 0x563412;
    area.SetCurrentPaletteColors(colors);
    area.SetCurrentPaletteColors(nullptr);
    area.FillRect(SYS_Box(0, 0, 10, 10), 1);
    area.FillRect(SYS_Box(0, 0, 10, 10), 99);  // outside the palette: white
    area.BackColor(3);
    EXPECT_EQ(3, area.GetBackColor());
    std::string svg = area.GetSvg();
    EXPECT_NE(std::string::npos, svg.find("fill=\"#123456\""));
    EXPECT_NE(std::string::npos, svg.find("fill=\"#ffffff\""));
    EXPECT_NE(std::string::npos,
              svg.find("id=\"background\" width=\"200\" height=\"100\" fill=\"#0000ff\""));
    gra_mode_union mode;
    mode.bits = 0xA5;
    area.SetGRAMode(mode);
    EXPECT_EQ(0xA5u, area.GetGRAMode().bits);
    SYS_Box viewport;
    area.GetVP(viewport);
    EXPECT_EQ(SYS_Box(0, 0, 1000, 500), viewport);
}

TEST(UI_SvgDrawArea, XorTextBoxFollowsTheAlignment) {
    UI_SvgDrawArea area = MakeArea();
    area.TextSize(0, 100);
    EXPECT_EQ(SYS_Box(410, 200, 590, 300), area.DrawXorText("abc", 1, 1, 500L, 250L, 0));
    EXPECT_EQ(SYS_Box(320, 150, 500, 250), area.DrawXorText("abc", 2, 2, 500L, 250L, 0));
    EXPECT_EQ(SYS_Box(), area.DrawXorText(nullptr, 0, 0, 0L, 0L, 1));
}

TEST(UI_SvgDrawArea, WritingWithoutAPathFails) {
    EXPECT_EQ(FALSE, MakeArea().WriteSvg(nullptr));
}

}  // namespace
