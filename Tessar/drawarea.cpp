// The inert draw area: what an object of the base classes itself does. A concrete window
// overrides these; CDynamic overrides the operations it records. Also the palette colour
// convertor, which reads the main draw area's palette.
#include "UI_DrawArea.h"

#include "SSM_Assert.h"
#include "UI_PaletteColorConvertor.h"

namespace {
const char kUnit[] = "Tessar/drawarea";
}

int UI_ScreenCoordConverter::Scale2ScreenX(long) const { return 1; }
int UI_ScreenCoordConverter::Scale2ScreenY(long) const { return 1; }
long UI_ScreenCoordConverter::Scale2WorldX(int) const { return 1; }
long UI_ScreenCoordConverter::Scale2WorldY(int) const { return 1; }
SYS_Point UI_ScreenCoordConverter::Scale2World(CPoint) { return SYS_Point(0, 0); }
CPoint UI_ScreenCoordConverter::Scale2Screen(SYS_Point) { return CPoint{0, 0}; }
SYS_Box UI_ScreenCoordConverter::Screen2World(CRect const&) { return SYS_Box(); }
SYS_Point UI_ScreenCoordConverter::Screen2World(CPoint const&) { return SYS_Point(0, 0); }
CRect UI_ScreenCoordConverter::World2Screen(SYS_Box const&) { return CRect{0, 0, 0, 0}; }
CPoint UI_ScreenCoordConverter::World2Screen(SYS_Point const&) { return CPoint{0, 0}; }

// The redraw event's types, compiled into the library once for the hosts' hooks.
template class SCC_EventNode<UI_DrawArea::RedrawBlock>;
template class SCC_Event<UI_DrawArea::RedrawBlock>;
template class SCC_EventHook<UI_DrawArea::RedrawBlock>;

UI_DrawArea* UI_DrawArea::s_pMainDrawArea = nullptr;

UI_DrawArea* UI_DrawArea::GetMainDrawArea() { return s_pMainDrawArea; }
void UI_DrawArea::SetMainDrawArea(UI_DrawArea* area) { s_pMainDrawArea = area; }

UI_DrawArea::~UI_DrawArea() = default;

void UI_DrawArea::GetVP(SYS_Box&) {}
void UI_DrawArea::GetUserVP(SYS_Box&) {}
void UI_DrawArea::SetVP(SYS_Box&) {}
void UI_DrawArea::SetUserVP(SYS_Box&) {}
void UI_DrawArea::RegisterRedrawHook(SCC_EventHook<RedrawBlock>*) {}
void UI_DrawArea::FitRectToWindow(SYS_Box&) {}

void UI_DrawArea::SwitchPen(int, long, int) {}
void UI_DrawArea::PenCap(int) {}
void UI_DrawArea::PenColor(int) {}
void UI_DrawArea::PenMode(int) {}
int UI_DrawArea::GetPenMode() { return 0; }
void UI_DrawArea::PenSize(long) {}
void UI_DrawArea::BackColor(int) {}
int UI_DrawArea::GetBackColor() { return 0; }
int UI_DrawArea::RegisterBrush(unsigned int) { return 0; }

void UI_DrawArea::EraseRect(SYS_Box) {}
void UI_DrawArea::FillRect(SYS_Box, int) {}
void UI_DrawArea::MoveCursor(long, long) {}
void UI_DrawArea::SafeMoveCursor(long, long) {}

double UI_DrawArea::GetScale(SYS_Point*) { return 1.0; }
int UI_DrawArea::SetScale(double, SYS_Point*, int) { return 0; }
double UI_DrawArea::GetWorldScale() { return 1.0; }
void UI_DrawArea::SetBitmapRedraw(int) {}

void UI_DrawArea::SetRgnRedraw(SYS_Box*, int) {}
void UI_DrawArea::Redraw(SYS_Box) {}
void UI_DrawArea::Redraw() {}
void UI_DrawArea::RedrawRect(SYS_Box) {}
void UI_DrawArea::InvalidateRect(SYS_Box const*) {}

void UI_DrawArea::StartResize() {}
void UI_DrawArea::EndResize() {}
void UI_DrawArea::InstallDynamic(CDynamic*) {}
void UI_DrawArea::RedrawDynamic(CDynamic*, SYS_Box*, int) {}

void UI_DrawArea::DrawXorBox(SYS_Box) {}
void UI_DrawArea::DrawXorBox(SYS_Point, SYS_Point) {}
SYS_Box UI_DrawArea::DrawXorText(char const*, int, int, long, long, int) { return SYS_Box(); }
SYS_Box UI_DrawArea::DrawXorText(char const*, int, int, SYS_Point, int) { return SYS_Box(); }
void UI_DrawArea::DrawOriginMark(SYS_Point) {}
void UI_DrawArea::DrawOriginMark(long, long) {}
void UI_DrawArea::RefreshCursor(SYS_Point*) {}

void UI_DrawArea::StartBatchDraw() {}
void UI_DrawArea::EndBatchDraw() {}
void UI_DrawArea::StartScreenDraw() {}
void UI_DrawArea::EndScreenDraw() {}
void UI_DrawArea::DrawOnScreen(bool) {}
void UI_DrawArea::DiscardSplit() {}

void UI_DrawArea::FastMoveTo(SYS_Point const&) {}
void UI_DrawArea::FastLineTo(SYS_Point const&) {}
void UI_DrawArea::FastPaintOval(SYS_Box) {}
void UI_DrawArea::FastPaintOval(SYS_Point const&, long, int) {}
void UI_DrawArea::FrameArc(SYS_Box, double, double) {}
void UI_DrawArea::FastFrameOval(SYS_Box const&) {}
void UI_DrawArea::FastPolyPolyline(SYS_Point*, unsigned long const*, int) {}
void UI_DrawArea::FastPolyPolygon(SYS_Point*, int const*, int, long) {}
void UI_DrawArea::FastFrameArc(SYS_Box const&, SYS_Point const&, SYS_Point const&) {}
void UI_DrawArea::FastPolyLine(int, SYS_Point*, long, int) {}

void UI_DrawArea::DrawPicture(int, SYS_Box&, SYS_Box&, unsigned long) {}
void UI_DrawArea::DrawIcon(HICON, SYS_Point, int) {}
void UI_DrawArea::DrawMarker(int, SYS_Point) {}

void UI_DrawArea::TextAlign(int, int) {}
void UI_DrawArea::TextExtra(int) {}
void UI_DrawArea::TextFace(int) {}
void UI_DrawArea::TextPath(double) {}
void UI_DrawArea::TextSize(int, int) {}
int UI_DrawArea::StrokeTextLen(char const*, int, int) { return 0; }
int UI_DrawArea::StrokeTextLen(char const*) { return 0; }
int UI_DrawArea::StrokeTextAscendingHeight() { return 0; }
int UI_DrawArea::StrokeTextDescendingHeight() { return 0; }
int UI_DrawArea::StrokeTextFontHeight() { return 0; }
void UI_DrawArea::DrawString(char const*) {}

void UI_DrawArea::DrawLine(SYS_Point const&, SYS_Point const&, long, int) {}

void UI_DrawArea::StartXORDraw() {}
void UI_DrawArea::XORCross(SYS_Point const&) {}
void UI_DrawArea::XORFrameArc(SYS_Box const&, SYS_Point const&, SYS_Point const&) {}
void UI_DrawArea::XORFrameOval(SYS_Point const&, long const&) {}
void UI_DrawArea::XORPaintOval(SYS_Point const&, long const&) {}
void UI_DrawArea::XORLineTo(SYS_Point const&) {}
void UI_DrawArea::XORMoveTo(SYS_Point const&) {}
void UI_DrawArea::XORPenColor(long const&) {}
void UI_DrawArea::EndXORDraw() {}

int UI_DrawArea::SetArcDirection(int) { return 0; }
void UI_DrawArea::SetPixel(SYS_Point const&) {}
void UI_DrawArea::DrawDotGrid(SYS_Point&, long, long, SYS_Box&) {}
long UI_DrawArea::GetPixelSize() { return 0; }

gra_mode_union UI_DrawArea::GetGRAMode() {
    gra_mode_union mode;
    mode.bits = 0;
    return mode;
}
void UI_DrawArea::SetGRAMode(gra_mode_union) {}

int UI_DrawArea::GetDefaultPaletteColors(unsigned long*) const { return 0; }
int UI_DrawArea::GetCurrentPaletteColors(unsigned long*) const { return 0; }
unsigned long UI_DrawArea::GetCurrentPaletteColorRGB(int) const { return 0; }
void UI_DrawArea::SetCurrentPaletteColors(unsigned long*) {}

// ---------------------------------------------------------------------------------------------
// The palette colour convertor. s_Notifier itself is defined with the library's load-time
// state, so that it is constructed before every other process-wide object.

UI_PaletteColorConvertor::UI_PaletteColorConvertor() : SCC_Convertor(), m_paletteHook() {
    AttachToPalette();
}

UI_PaletteColorConvertor::UI_PaletteColorConvertor(UI_PaletteColorConvertor& model)
    : SCC_Convertor(model), m_paletteHook() {
    AttachToPalette();
}

UI_PaletteColorConvertor& UI_PaletteColorConvertor::operator=(UI_PaletteColorConvertor& model) {
    SCC_Convertor::operator=(model);
    AttachToPalette();
    return *this;
}

UI_PaletteColorConvertor::~UI_PaletteColorConvertor() { Detach(m_paletteHook); }

void UI_PaletteColorConvertor::AttachToPalette() {
    m_paletteHook.Set(this, &UI_PaletteColorConvertor::OnEvent);
    AddHook(s_Notifier, m_paletteHook);  // detaches it from any other event first
}

void UI_PaletteColorConvertor::NotifyPaletteChange() {
    s_Notifier.Notify(SCC_NotifyFocusAdded, nullptr);
}

int UI_PaletteColorConvertor::OnEvent(int code, int* data) {
    if (code == SCC_NotifyFocusAdded) Notify(SCC_NotifyFocusAdded, data);
    return 0;
}

SCC_Variant UI_PaletteColorConvertor::Convert(SCC_Variant value, int direction) {
    if (!SSM_CHECK(direction == 0, "The code is not implemented. Hollin", kUnit, SSM_FailureError))
        return value;
    UI_DrawArea* area = UI_DrawArea::GetMainDrawArea();
    if (!SSM_CHECK(area != nullptr, "UI_PaletteColorConvertor: no main draw area", kUnit,
                   SSM_FailureError))
        return SCC_Variant();
    int index = value;
    return SCC_Variant(static_cast<long>(area->GetCurrentPaletteColorRGB(index)));
}
