// UI_SvgDrawArea: drawing operations become SVG elements in pixel coordinates. Elements of the
// exclusive-or layer are kept by their text: drawing one that is present removes it, which is
// what a second exclusive-or paint does on a screen.
#include "UI_SvgDrawArea.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "CDynamic.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kDefaultTextPixels = 12;
constexpr double kCharWidth = 0.6;  // of the text height, for measuring

#define RGB_OF(r, g, b) \
    ((unsigned long)(r) | ((unsigned long)(g) << 8) | ((unsigned long)(b) << 16))
const unsigned long kDefaultPalette[UI_SvgDrawArea::kPaletteSize] = {
    RGB_OF(0, 0, 0),       RGB_OF(255, 0, 0),   RGB_OF(0, 200, 0),   RGB_OF(0, 0, 255),
    RGB_OF(255, 255, 0),   RGB_OF(255, 0, 255), RGB_OF(0, 255, 255), RGB_OF(255, 255, 255),
    RGB_OF(128, 128, 128), RGB_OF(128, 0, 0),   RGB_OF(0, 128, 0),   RGB_OF(0, 0, 128),
    RGB_OF(128, 128, 0),   RGB_OF(128, 0, 128), RGB_OF(0, 128, 128), RGB_OF(192, 192, 192)};
#undef RGB_OF

// A pixel coordinate with at most two decimals and no trailing zeros.
std::string Num(double v) {
    if (!std::isfinite(v)) v = 0;
    char text[40];
    std::snprintf(text, sizeof text, "%.2f", v);
    std::string s = text;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

std::string Attr(const char* name, double v) {
    return std::string(" ") + name + "=\"" + Num(v) + "\"";
}

// Text as XML character data: markup characters escaped, bytes above 127 as Latin-1 character
// references, control bytes (not allowed in XML) as '?'.
std::string Escape(const char* text) {
    std::string out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
        switch (*p) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default:
            if (*p >= 0x80) {
                out += "&#" + std::to_string(*p) + ";";
            } else if (*p < 0x20 && *p != '\t') {
                out += '?';
            } else {
                out += static_cast<char>(*p);
            }
        }
    }
    return out;
}

SYS_Box Normalised(SYS_Box box) {
    box.Normalize();
    return box;
}

int ClampPixels(double v) {
    if (!(v > -1e9)) return -1000000000;
    if (v > 1e9) return 1000000000;
    return static_cast<int>(std::lround(v));
}

long ClampWorld(double v) {
    if (!(v > -4e18)) return long(-4e18);
    if (v > 4e18) return long(4e18);
    return std::lround(v);
}

}  // namespace

UI_SvgDrawArea::UI_SvgDrawArea(const SYS_Box& world, int widthPixels) : m_world(Normalised(world)) {
    m_width = widthPixels < 1 ? 1 : widthPixels > 100000 ? 100000 : widthPixels;
    double worldWidth = std::max(1.0, double(m_world.GetRight()) - m_world.GetLeft());
    double worldHeight = std::max(1.0, double(m_world.GetUpper()) - m_world.GetLower());
    m_scale = m_width / worldWidth;
    m_height = std::max(1, std::min(100000, int(std::lround(worldHeight * m_scale))));
    std::memcpy(m_palette, kDefaultPalette, sizeof m_palette);
    m_graMode.bits = 0;
}

UI_SvgDrawArea::~UI_SvgDrawArea() { m_redraw.Notify(2, nullptr); }

// ---------------------------------------------------------------------------------------------
// Coordinates.

double UI_SvgDrawArea::X(double worldX) const { return (worldX - m_world.GetLeft()) * m_scale; }
double UI_SvgDrawArea::Y(double worldY) const { return (m_world.GetUpper() - worldY) * m_scale; }

int UI_SvgDrawArea::Scale2ScreenX(long length) const { return ClampPixels(length * m_scale); }
int UI_SvgDrawArea::Scale2ScreenY(long length) const { return ClampPixels(length * m_scale); }
long UI_SvgDrawArea::Scale2WorldX(int pixels) const { return ClampWorld(pixels / m_scale); }
long UI_SvgDrawArea::Scale2WorldY(int pixels) const { return ClampWorld(pixels / m_scale); }

SYS_Point UI_SvgDrawArea::Scale2World(CPoint pixels) {
    return SYS_Point(SYS_Round(pixels.x / m_scale), SYS_Round(pixels.y / m_scale));
}
CPoint UI_SvgDrawArea::Scale2Screen(SYS_Point size) {
    return CPoint{Scale2ScreenX(size.GetX()), Scale2ScreenY(size.GetY())};
}
SYS_Point UI_SvgDrawArea::Screen2World(CPoint const& p) {
    return SYS_Point(SYS_Round(m_world.GetLeft() + p.x / m_scale),
                     SYS_Round(m_world.GetUpper() - p.y / m_scale));
}
SYS_Box UI_SvgDrawArea::Screen2World(CRect const& r) {
    SYS_Point lowerLeft = Screen2World(CPoint{r.left, r.bottom});
    return SYS_Box(lowerLeft, Screen2World(CPoint{r.right, r.top}));
}
CPoint UI_SvgDrawArea::World2Screen(SYS_Point const& p) {
    return CPoint{ClampPixels(X(p.GetX())), ClampPixels(Y(p.GetY()))};
}
CRect UI_SvgDrawArea::World2Screen(SYS_Box const& box) {
    CPoint topLeft = World2Screen(SYS_Point(box.GetLeft(), box.GetUpper()));
    CPoint bottomRight = World2Screen(SYS_Point(box.GetRight(), box.GetLower()));
    return CRect{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

void UI_SvgDrawArea::GetVP(SYS_Box& viewport) { viewport = m_world; }

// ---------------------------------------------------------------------------------------------
// Redraw event and dynamics.

void UI_SvgDrawArea::RegisterRedrawHook(SCC_EventHook<RedrawBlock>* hook) {
    if (hook != nullptr) AddHook(m_redraw, *hook);
}

void UI_SvgDrawArea::InstallDynamic(CDynamic* dynamic) {
    if (dynamic != nullptr) AddNode(m_redraw, static_cast<SCC_EventNode<RedrawBlock>&>(*dynamic));
}

void UI_SvgDrawArea::RedrawDynamic(CDynamic* dynamic, SYS_Box* box, int show) {
    if (dynamic == nullptr) return;
    RedrawBlock block{box != nullptr ? *box : SYS_Box()};
    static_cast<SCC_EventNode<RedrawBlock>*>(dynamic)->OnNotification(show ? 1 : 0, &block);
}

// ---------------------------------------------------------------------------------------------
// Pen and palette.

void UI_SvgDrawArea::SwitchPen(int color, long width, int cap) {
    m_penColor = color, m_penSize = width, m_penCap = cap;
}
void UI_SvgDrawArea::PenCap(int cap) { m_penCap = cap; }
void UI_SvgDrawArea::PenColor(int color) { m_penColor = color; }
void UI_SvgDrawArea::PenMode(int mode) { m_penMode = mode; }
int UI_SvgDrawArea::GetPenMode() { return m_penMode; }
void UI_SvgDrawArea::PenSize(long width) { m_penSize = width; }
void UI_SvgDrawArea::BackColor(int color) { m_backColor = color; }
int UI_SvgDrawArea::GetBackColor() { return m_backColor; }
gra_mode_union UI_SvgDrawArea::GetGRAMode() { return m_graMode; }
void UI_SvgDrawArea::SetGRAMode(gra_mode_union mode) { m_graMode = mode; }

int UI_SvgDrawArea::GetDefaultPaletteColors(unsigned long* colors) const {
    if (colors != nullptr) std::memcpy(colors, kDefaultPalette, sizeof kDefaultPalette);
    return kPaletteSize;
}
int UI_SvgDrawArea::GetCurrentPaletteColors(unsigned long* colors) const {
    if (colors != nullptr) std::memcpy(colors, m_palette, sizeof m_palette);
    return kPaletteSize;
}
unsigned long UI_SvgDrawArea::GetCurrentPaletteColorRGB(int index) const {
    return index >= 0 && index < kPaletteSize ? m_palette[index] : 0;
}
void UI_SvgDrawArea::SetCurrentPaletteColors(unsigned long* colors) {
    if (colors != nullptr) std::memcpy(m_palette, colors, sizeof m_palette);
}

std::string UI_SvgDrawArea::Color(int index) const {
    unsigned long rgb = index >= 0 && index < kPaletteSize ? m_palette[index] : 0xFFFFFFul;
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", unsigned(rgb & 0xFF),
                  unsigned((rgb >> 8) & 0xFF), unsigned((rgb >> 16) & 0xFF));
    return text;
}

std::string UI_SvgDrawArea::Stroke(int color, long width) const {
    static const char* const kCaps[] = {"round", "square", "butt"};
    double pixels = std::max(1.0, std::fabs(double(width)) * m_scale);
    const char* cap = m_penCap >= 0 && m_penCap < 3 ? kCaps[m_penCap] : "round";
    return " stroke=\"" + Color(color) + "\"" + Attr("stroke-width", pixels) +
           " stroke-linecap=\"" + cap + "\"";
}

// ---------------------------------------------------------------------------------------------
// Elements.

std::string UI_SvgDrawArea::RectAttributes(const SYS_Box& box) const {
    return Attr("x", X(box.GetLeft())) + Attr("y", Y(box.GetUpper())) +
           Attr("width", (double(box.GetRight()) - box.GetLeft()) * m_scale) +
           Attr("height", (double(box.GetUpper()) - box.GetLower()) * m_scale);
}

std::string UI_SvgDrawArea::EllipseAttributes(const SYS_Box& box) const {
    double rx = (double(box.GetRight()) - box.GetLeft()) / 2;
    double ry = (double(box.GetUpper()) - box.GetLower()) / 2;
    return Attr("cx", X(box.GetLeft() + rx)) + Attr("cy", Y(box.GetLower() + ry)) +
           Attr("rx", rx * m_scale) + Attr("ry", ry * m_scale);
}

void UI_SvgDrawArea::AddXor(const std::string& element) {
    auto found = m_xorIndex.find(element);
    if (found != m_xorIndex.end()) {
        m_xor[found->second].clear();
        m_xorIndex.erase(found);
        return;
    }
    m_xorIndex.emplace(element, m_xor.size());
    m_xor.push_back(element);
}

void UI_SvgDrawArea::Add(const std::string& element) {
    if (m_penMode == kXorPenMode)
        AddXor(element);
    else
        m_picture.push_back(element);
}

void UI_SvgDrawArea::AddLine(const SYS_Point& p1, const SYS_Point& p2, const std::string& stroke) {
    Add("<line" + Attr("x1", X(p1.GetX())) + Attr("y1", Y(p1.GetY())) + Attr("x2", X(p2.GetX())) +
        Attr("y2", Y(p2.GetY())) + stroke + "/>");
}

void UI_SvgDrawArea::AddPoints(const SYS_Point* points, long count, bool closed,
                               const std::string& stroke) {
    if (count <= 0) return;
    std::string list;
    for (long i = 0; i < count; ++i)
        list += (i ? " " : "") + Num(X(points[i].GetX())) + "," + Num(Y(points[i].GetY()));
    Add(std::string(closed ? "<polygon" : "<polyline") + " points=\"" + list + "\"" + stroke +
        "/>");
}

void UI_SvgDrawArea::EraseRect(SYS_Box box) {
    box.Normalize();
    m_picture.push_back("<rect" + RectAttributes(box) + " fill=\"" + Color(m_backColor) + "\"/>");
}

void UI_SvgDrawArea::FillRect(SYS_Box box, int color) {
    box.Normalize();
    Add("<rect" + RectAttributes(box) + " fill=\"" + Color(color) + "\"/>");
}

void UI_SvgDrawArea::DrawXorBox(SYS_Box box) {
    box.Normalize();
    AddXor("<rect" + RectAttributes(box) + Stroke(m_penColor, 0) + "/>");
}

void UI_SvgDrawArea::DrawXorBox(SYS_Point p1, SYS_Point p2) { DrawXorBox(SYS_Box(p1, p2)); }

std::string UI_SvgDrawArea::TextElement(const char* text, int alignX, int alignY, double x,
                                        double y) const {
    static const char* const kAnchors[] = {"start", "middle", "end"};
    static const char* const kBaselines[] = {"alphabetic", "central", "hanging"};
    double pixels = m_textHeight > 0 ? m_textHeight * m_scale : kDefaultTextPixels;
    std::string element = "<text" + Attr("x", x) + Attr("y", y) + Attr("font-size", pixels) +
                          " text-anchor=\"" + kAnchors[alignX >= 0 && alignX < 3 ? alignX : 0] +
                          "\" dominant-baseline=\"" +
                          kBaselines[alignY >= 0 && alignY < 3 ? alignY : 0] + "\"";
    if (m_textDegrees != 0)
        element +=
            " transform=\"rotate(" + Num(-m_textDegrees) + " " + Num(x) + " " + Num(y) + ")\"";
    return element + " fill=\"" + Color(m_penColor) + "\">" + Escape(text) + "</text>";
}

SYS_Box UI_SvgDrawArea::DrawXorText(char const* text, int alignX, int alignY, long x, long y,
                                    int draw) {
    if (text == nullptr) return SYS_Box();
    if (draw != 0) AddXor(TextElement(text, alignX, alignY, X(x), Y(y)));
    // Estimated extent: kCharWidth of the height per byte, placed by the alignment.
    double height = m_textHeight > 0 ? m_textHeight : kDefaultTextPixels / m_scale;
    double width = kCharWidth * height * double(std::strlen(text));
    double left = x - width * (alignX == 1 ? 0.5 : alignX == 2 ? 1.0 : 0.0);
    double lower = y - height * (alignY == 1 ? 0.5 : alignY == 2 ? 1.0 : 0.0);
    return SYS_Box(SYS_Round(left), SYS_Round(lower), SYS_Round(left + width),
                   SYS_Round(lower + height));
}

SYS_Box UI_SvgDrawArea::DrawXorText(char const* text, int alignX, int alignY, SYS_Point at,
                                    int draw) {
    return DrawXorText(text, alignX, alignY, long(at.GetX()), long(at.GetY()), draw);
}

void UI_SvgDrawArea::FastMoveTo(SYS_Point const& p) { m_current = p; }

void UI_SvgDrawArea::FastLineTo(SYS_Point const& p) {
    AddLine(m_current, p, Stroke(m_penColor, m_penSize));
    m_current = p;
}

void UI_SvgDrawArea::FastPaintOval(SYS_Box box) {
    Add("<ellipse" + EllipseAttributes(Normalised(box)) + " fill=\"" + Color(m_penColor) + "\"/>");
}

void UI_SvgDrawArea::FastFrameOval(SYS_Box const& given) {
    Add("<ellipse" + EllipseAttributes(Normalised(given)) + " fill=\"none\"" +
        Stroke(m_penColor, m_penSize) + "/>");
}

void UI_SvgDrawArea::FastPolyPolyline(SYS_Point* points, unsigned long const* counts, int count) {
    if (count <= 0 || counts == nullptr || points == nullptr) return;
    std::string stroke = Stroke(m_penColor, m_penSize);
    for (int i = 0; i < count; ++i) {
        AddPoints(points, long(counts[i]), false, stroke);
        points += counts[i];
    }
}

void UI_SvgDrawArea::FastFrameArc(SYS_Box const& given, SYS_Point const& p1, SYS_Point const& p2) {
    SYS_Box box = Normalised(given);
    double rx = (double(box.GetRight()) - box.GetLeft()) / 2,
           ry = (double(box.GetUpper()) - box.GetLower()) / 2;
    double cx = box.GetLeft() + rx, cy = box.GetLower() + ry;
    std::string stroke = " fill=\"none\"" + Stroke(m_penColor, m_penSize);
    if (rx <= 0 || ry <= 0) {
        AddLine(p1, p2, stroke);
        return;
    }
    // The rays from the centre through p1 and p2 meet the oval at these parametric angles.
    double start = std::atan2((p1.GetY() - cy) / ry, (p1.GetX() - cx) / rx);
    double end = std::atan2((p2.GetY() - cy) / ry, (p2.GetX() - cx) / rx);
    double sweep = std::fmod(end - start + 4 * kPi, 2 * kPi);  // counter-clockwise
    if (sweep < 1e-9) {
        FastFrameOval(box);
        return;
    }
    double x1 = X(cx + rx * std::cos(start)), y1 = Y(cy + ry * std::sin(start));
    double x2 = X(cx + rx * std::cos(end)), y2 = Y(cy + ry * std::sin(end));
    // Counter-clockwise in the world (y up) is the negative direction of SVG (y down).
    Add("<path d=\"M " + Num(x1) + " " + Num(y1) + " A " + Num(rx * m_scale) + " " +
        Num(ry * m_scale) + " 0 " + (sweep > kPi ? "1" : "0") + " 0 " + Num(x2) + " " + Num(y2) +
        "\"" + stroke + "/>");
}

void UI_SvgDrawArea::FastPolyLine(int count, SYS_Point* points, long width, int mode) {
    if (points == nullptr) return;
    AddPoints(points, count, mode != 0, " fill=\"none\"" + Stroke(m_penColor, width));
}

void UI_SvgDrawArea::DrawLine(SYS_Point const& p1, SYS_Point const& p2, long width, int color) {
    AddLine(p1, p2, Stroke(color, width));
}

void UI_SvgDrawArea::TextAlign(int alignX, int alignY) { m_alignX = alignX, m_alignY = alignY; }
void UI_SvgDrawArea::TextPath(double degrees) {
    m_textDegrees = std::isfinite(degrees) ? degrees : 0;
}
void UI_SvgDrawArea::TextSize(int, int height) { m_textHeight = height; }

void UI_SvgDrawArea::DrawString(char const* text) {
    if (text == nullptr) return;
    Add(TextElement(text, m_alignX, m_alignY, X(m_current.GetX()), Y(m_current.GetY())));
}

// ---------------------------------------------------------------------------------------------
// The document.

std::string UI_SvgDrawArea::GetSvg() const {
    std::string w = std::to_string(m_width), h = std::to_string(m_height);
    std::string svg =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
        w + "\" height=\"" + h + "\" viewBox=\"0 0 " + w + " " + h +
        "\">\n"
        "<rect id=\"background\" width=\"" +
        w + "\" height=\"" + h + "\" fill=\"" + Color(m_backColor) +
        "\"/>\n"
        "<g id=\"picture\" fill=\"none\">\n";
    for (const std::string& element : m_picture) svg += element + "\n";
    svg += "</g>\n<g id=\"xor\" fill=\"none\" style=\"mix-blend-mode:difference\">\n";
    for (const std::string& element : m_xor)
        if (!element.empty()) svg += element + "\n";
    return svg + "</g>\n</svg>\n";
}

int UI_SvgDrawArea::WriteSvg(const char* path) const {
    if (path == nullptr) return FALSE;
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return FALSE;
    std::string svg = GetSvg();
    bool written = std::fwrite(svg.data(), 1, svg.size(), file) == svg.size();
    return std::fclose(file) == 0 && written ? TRUE : FALSE;
}
