#pragma once

// A draw area that logs the calls the tests read, with their arguments, as "Name(a,b,...)", and
// hooks installed dynamics on its own redraw event, so that tests see exactly what a replay
// asks of a real draw area.

#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "CDynamic.h"
#include "UI_DrawArea.h"

namespace draw_test {

inline std::string Show(long v) { return std::to_string(v); }
inline std::string Show(const std::string& text) { return text; }
inline std::string Show(const SYS_Point& p) {
    return std::to_string(p.GetX()) + "," + std::to_string(p.GetY());
}
inline std::string Show(const SYS_Box& b) {
    return Show(b.GetLowerLeft()) + "," + Show(b.GetUpperRight());
}
// "Name(a,b,...)".
template <class... Args>
std::string Call(const char* name, const Args&... args) {
    std::string text = std::string(name) + "(";
    const char* separator = "";
    ((text += separator + Show(args), separator = ","), ...);
    return text + ")";
}

class LoggingArea : public UI_DrawArea {
public:
    std::vector<std::string> log;
    int pixelsPerUnit = 1;   // Scale2ScreenX/Y multiply by this
    std::function<void(const std::string&)> onCall;  // runs after each logged call

    ~LoggingArea() override { m_redraw.Notify(2, nullptr); }  // installed dynamics forget us

    SCC_Event<RedrawBlock>& RedrawEvent() { return m_redraw; }
    // The calls since the last Take().
    std::vector<std::string> Take() { return std::exchange(log, {}); }

    int Scale2ScreenX(long length) const override { return int(length * pixelsPerUnit); }
    int Scale2ScreenY(long length) const override { return int(length * pixelsPerUnit); }

    void InstallDynamic(CDynamic* dynamic) override {
        AddNode(m_redraw, static_cast<SCC_EventNode<RedrawBlock>&>(*dynamic));
        Log("InstallDynamic()");
    }
    void RedrawDynamic(CDynamic*, SYS_Box* box, int show) override {
        Log(Call("RedrawDynamic", *box, show));
    }
    void StartScreenDraw() override { Log("StartScreenDraw()"); }

    void PenColor(int c) override { Log(Call("PenColor", c)); }
    void PenSize(long s) override { Log(Call("PenSize", s)); }
    void PenCap(int k) override { Log(Call("PenCap", k)); }
    void PenMode(int m) override { Log(Call("PenMode", m)); }
    int GetPenMode() override { return 7; }  // so that its restore is visible
    void DrawXorBox(SYS_Box b) override { Log(Call("DrawXorBox", b)); }
    SYS_Box DrawXorText(char const* text, int a, int b, long x, long y, int m) override {
        Log(Call("DrawXorText", text, a, b, x, y, m));
        return textBox;
    }
    SYS_Box DrawXorText(char const* text, int a, int b, SYS_Point p, int m) override {
        Log(Call("DrawXorText", text, a, b, "(" + Show(p) + ")", m));
        return textBox;
    }
    SYS_Box textBox;  // what DrawXorText reports

    void FastPolyPolyline(SYS_Point* points, unsigned long const* counts, int k) override {
        std::string call = "FastPolyPolyline(" + std::to_string(k);
        unsigned long total = 0;
        for (int i = 0; i < k; ++i) call += "," + std::to_string(counts[i]), total += counts[i];
        for (unsigned long i = 0; i < total; ++i) call += ",(" + Show(points[i]) + ")";
        Log(call + ")");
    }
    void FastFrameOval(SYS_Box const& b) override { Log(Call("FastFrameOval", b)); }
    void TextPath(double d) override {
        char text[32];
        std::snprintf(text, sizeof text, "TextPath(%.4f)", d);
        Log(text);
    }
    void DrawIcon(HICON icon, SYS_Point p, int f) override {
        char text[32];
        std::snprintf(text, sizeof text, "%#zx", reinterpret_cast<size_t>(icon));
        Log(Call("DrawIcon", text, p, f));
    }
    void FastPolyLine(int n, SYS_Point* points, long w, int m) override {
        std::string call = "FastPolyLine(" + std::to_string(n) + "," + std::to_string(w) + "," +
                           std::to_string(m);
        for (int i = 0; i < n; ++i) call += ",(" + Show(points[i]) + ")";
        Log(call + ")");
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
