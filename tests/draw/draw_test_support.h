#pragma once

// A draw area that logs every call it receives with its arguments, as "Name(a,b,...)", and
// hooks installed dynamics on its own redraw event, so that tests see exactly what a replay
// asks of a real draw area.

#include <functional>
#include <string>
#include <vector>

#include "CDynamic.h"
#include "UI_DrawArea.h"

namespace draw_test {

inline std::string Show(const SYS_Point& p) {
    return std::to_string(p.GetX()) + "," + std::to_string(p.GetY());
}
inline std::string Show(const SYS_Box& b) { return Show(b.GetLowerLeft()) + "," + Show(b.GetUpperRight()); }

class LoggingArea : public UI_DrawArea {
public:
    std::vector<std::string> log;
    int penMode = 7;         // reported by GetPenMode, so that its restore is visible
    int pixelsPerUnit = 1;   // Scale2ScreenX/Y multiply by this
    std::function<void(const std::string&)> onCall;  // runs after each logged call

    ~LoggingArea() override { m_redraw.Notify(2, nullptr); }  // installed dynamics forget us

    SCC_Event<RedrawBlock>& RedrawEvent() { return m_redraw; }
    // The calls since the last Take(), without the pen-mode query that opens every replay.
    std::vector<std::string> Take() {
        std::vector<std::string> taken;
        for (const std::string& call : log)
            if (call != "GetPenMode()") taken.push_back(call);
        log.clear();
        return taken;
    }

    int Scale2ScreenX(long length) const override { return int(length * pixelsPerUnit); }
    int Scale2ScreenY(long length) const override { return int(length * pixelsPerUnit); }

    void InstallDynamic(CDynamic* dynamic) override {
        AddNode(m_redraw, static_cast<SCC_EventNode<RedrawBlock>&>(*dynamic));
        Log("InstallDynamic()");
    }
    void RedrawDynamic(CDynamic*, SYS_Box* box, int show) override {
        Log("RedrawDynamic(" + Show(*box) + "," + std::to_string(show) + ")");
    }
    void StartScreenDraw() override { Log("StartScreenDraw()"); }

    void PenColor(int c) override { Log("PenColor(" + std::to_string(c) + ")"); }
    void PenSize(long s) override { Log("PenSize(" + std::to_string(s) + ")"); }
    void PenCap(int k) override { Log("PenCap(" + std::to_string(k) + ")"); }
    void PenMode(int m) override { Log("PenMode(" + std::to_string(m) + ")"); }
    int GetPenMode() override {
        Log("GetPenMode()");
        return penMode;
    }
    void SwitchPen(int a, long b, int c) override {
        Log("SwitchPen(" + std::to_string(a) + "," + std::to_string(b) + "," + std::to_string(c) + ")");
    }
    void DrawXorBox(SYS_Box b) override { Log("DrawXorBox(" + Show(b) + ")"); }
    void DrawXorBox(SYS_Point p1, SYS_Point p2) override {
        Log("DrawXorBox(" + Show(p1) + "," + Show(p2) + ")");
    }
    SYS_Box DrawXorText(char const* text, int a, int b, long x, long y, int m) override {
        Log("DrawXorText(" + std::string(text) + "," + std::to_string(a) + "," + std::to_string(b) +
            "," + std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(m) + ")");
        return textBox;
    }
    SYS_Box DrawXorText(char const* text, int a, int b, SYS_Point p, int m) override {
        Log("DrawXorText(" + std::string(text) + "," + std::to_string(a) + "," + std::to_string(b) +
            ",(" + Show(p) + ")," + std::to_string(m) + ")");
        return textBox;
    }
    SYS_Box textBox;  // what DrawXorText reports

    void FillRect(SYS_Box b, int c) override { Log("FillRect(" + Show(b) + "," + std::to_string(c) + ")"); }
    void DrawLine(SYS_Point const& p1, SYS_Point const& p2, long w, int c) override {
        Log("DrawLine(" + Show(p1) + "," + Show(p2) + "," + std::to_string(w) + "," + std::to_string(c) + ")");
    }
    void FastFrameArc(SYS_Box const& b, SYS_Point const& p1, SYS_Point const& p2) override {
        Log("FastFrameArc(" + Show(b) + "," + Show(p1) + "," + Show(p2) + ")");
    }
    void FastPolyPolyline(SYS_Point* points, unsigned long const* counts, int k) override {
        std::string call = "FastPolyPolyline(" + std::to_string(k);
        unsigned long total = 0;
        for (int i = 0; i < k; ++i) call += "," + std::to_string(counts[i]), total += counts[i];
        for (unsigned long i = 0; i < total; ++i) call += ",(" + Show(points[i]) + ")";
        Log(call + ")");
    }
    void FastMoveTo(SYS_Point const& p) override { Log("FastMoveTo(" + Show(p) + ")"); }
    void FastLineTo(SYS_Point const& p) override { Log("FastLineTo(" + Show(p) + ")"); }
    void FastPaintOval(SYS_Box b) override { Log("FastPaintOval(" + Show(b) + ")"); }
    void FastFrameOval(SYS_Box const& b) override { Log("FastFrameOval(" + Show(b) + ")"); }
    void FastPolyLine(int n, SYS_Point* points, long w, int m) override {
        std::string call = "FastPolyLine(" + std::to_string(n) + "," + std::to_string(w) + "," +
                           std::to_string(m);
        for (int i = 0; i < n; ++i) call += ",(" + Show(points[i]) + ")";
        Log(call + ")");
    }
    void TextAlign(int a, int b) override { Log("TextAlign(" + std::to_string(a) + "," + std::to_string(b) + ")"); }
    void TextExtra(int v) override { Log("TextExtra(" + std::to_string(v) + ")"); }
    void TextFace(int v) override { Log("TextFace(" + std::to_string(v) + ")"); }
    void TextPath(double d) override {
        char text[32];
        std::snprintf(text, sizeof text, "TextPath(%.4f)", d);
        Log(text);
    }
    void TextSize(int a, int b) override { Log("TextSize(" + std::to_string(a) + "," + std::to_string(b) + ")"); }
    void DrawString(char const* text) override { Log("DrawString(" + std::string(text) + ")"); }
    void SetGRAMode(gra_mode_union m) override { Log("SetGRAMode(" + std::to_string(m.bits) + ")"); }
    void DrawOnScreen(bool f) override { Log(std::string("DrawOnScreen(") + (f ? "true" : "false") + ")"); }
    void DrawIcon(HICON icon, SYS_Point p, int f) override {
        char text[32];
        std::snprintf(text, sizeof text, "%#zx", reinterpret_cast<size_t>(icon));
        Log("DrawIcon(" + std::string(text) + "," + Show(p) + "," + std::to_string(f) + ")");
    }

private:
    void Log(const std::string& call) {
        log.push_back(call);
        if (onCall) onCall(call);
    }
    SCC_Event<RedrawBlock> m_redraw;
};

// A CDynamic whose buffer a test may write directly, and whose replay it may start.
class OpenDynamic : public CDynamic {
public:
    using CDynamic::CDynamic;
    using CDynamic::m_operations;
    void ReplayNow() { Redraw(); }
};

}  // namespace draw_test
