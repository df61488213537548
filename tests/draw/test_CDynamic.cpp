#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "CDynamic.h"
#include "draw_test_support.h"
#include "tessar_reports.h"

namespace {

using draw_test::LoggingArea;
using draw_test::OpenDynamic;
using Words = std::vector<uint32_t>;
using Calls = std::vector<std::string>;

const SYS_Point kPoints[] = {SYS_Point(0, 0), SYS_Point(4, 5), SYS_Point(-1, 3)};
const unsigned long kCounts[] = {2, 1};
HICON const kIcon = reinterpret_cast<HICON>(uintptr_t(0x123456789ABCDEF0ull));

struct RecordCase {
    const char* name;
    std::function<void(CDynamic&)> draw;
    Words words;  // the recording, word by word
};

const RecordCase kRecords[] = {
    {"pen colour", [](CDynamic& d) { d.PenColor(5); }, {0, 5}},
    {"negative pen size", [](CDynamic& d) { d.PenSize(-3); }, {1, 0xFFFFFFFDu}},
    {"xor box is normalised", [](CDynamic& d) { d.DrawXorBox(SYS_Box(10, 10, 0, 0)); },
     {2, 0, 0, 10, 10}},
    {"xor box of two points keeps their order",
     [](CDynamic& d) { d.DrawXorBox(SYS_Point(5, 6), SYS_Point(1, 2)); }, {2, 5, 6, 1, 2}},
    {"xor oval", [](CDynamic& d) { d.DrawXorOval(SYS_Box(10, 20, 0, 0)); }, {3, 0, 0, 10, 20}},
    {"fill", [](CDynamic& d) { d.FillRect(SYS_Box(10, 10, 0, 0), 5); }, {4, 0, 0, 10, 10, 5}},
    {"xor text counts its zero", [](CDynamic& d) { d.DrawXorText("abc", 0, 0, 1L, 2L, 1); },
     {5, 1, 2, 0, 0, 4, 97, 98, 99, 0}},
    {"xor text at a point, high bytes sign-extended",
     [](CDynamic& d) { d.DrawXorText("\xE9", 2, 1, SYS_Point(-1, 4), 0); },
     {5, 0xFFFFFFFFu, 4, 2, 1, 2, 0xFFFFFFE9u, 0}},
    {"line", [](CDynamic& d) { d.DrawLine(SYS_Point(3, 4), SYS_Point(1, 2), 7, 9); },
     {6, 3, 4, 1, 2, 7, 9}},
    {"arc",
     [](CDynamic& d) { d.DrawArc(SYS_Box(10, 10, 0, 0), SYS_Point(1, 2), SYS_Point(3, 4), 5, 6); },
     {7, 0, 0, 10, 10, 1, 2, 3, 4, 5, 6}},
    {"pen cap", [](CDynamic& d) { d.PenCap(2); }, {8, 2}},
    {"poly-polyline",
     [](CDynamic& d) { d.FastPolyPolyline(const_cast<SYS_Point*>(kPoints), kCounts, 2); },
     {9, 2, 2, 1, 0, 0, 4, 5, 0xFFFFFFFFu, 3}},
    {"poly-polyline of empty lists", [](CDynamic& d) {
         const unsigned long none[] = {0, 0};
         d.FastPolyPolyline(nullptr, none, 2);
     }, {9, 2, 0, 0}},
    {"switch pen", [](CDynamic& d) { d.SwitchPen(1, -2, 3); }, {10, 1, 0xFFFFFFFEu, 3}},
    {"move and line", [](CDynamic& d) {
         d.FastMoveTo(SYS_Point(7, 8));
         d.FastLineTo(SYS_Point(1, 2));
     }, {11, 7, 8, 12, 1, 2}},
    {"paint oval keeps its box", [](CDynamic& d) { d.FastPaintOval(SYS_Box(10, 10, 0, 0)); },
     {13, 10, 10, 0, 0}},
    {"polyline", [](CDynamic& d) { d.FastPolyLine(2, const_cast<SYS_Point*>(kPoints + 1), 3, 1); },
     {14, 3, 1, 2, 4, 5, 0xFFFFFFFFu, 3}},
    {"frame oval keeps its box", [](CDynamic& d) { d.FastFrameOval(SYS_Box(10, 10, 0, 0)); },
     {15, 10, 10, 0, 0}},
    {"text align", [](CDynamic& d) { d.TextAlign(1, 2); }, {16, 1, 2}},
    {"text extra", [](CDynamic& d) { d.TextExtra(3); }, {17, 3}},
    {"text face", [](CDynamic& d) { d.TextFace(4); }, {18, 4}},
    {"text path of one unit below zero is truncated", [](CDynamic& d) { d.TextPath(-1); },
     {19, 3599999}},
    {"text path of a tiny negative angle is 0, not 360", [](CDynamic& d) { d.TextPath(-1e-12); },
     {19, 0}},
    {"text path NaN", [](CDynamic& d) { d.TextPath(std::nan("")); }, {19, 0}},
    {"text size", [](CDynamic& d) { d.TextSize(5, 6); }, {20, 5, 6}},
    {"string without its zero", [](CDynamic& d) { d.DrawString("abc"); }, {21, 3, 97, 98, 99}},
    {"graphics mode", [](CDynamic& d) {
         gra_mode_union mode;
         mode.bits = 0xDEADBEEFu;
         d.SetGRAMode(mode);
     }, {22, 0xDEADBEEFu}},
    {"on screen", [](CDynamic& d) { d.DrawOnScreen(true); }, {23, 1}},
    {"off screen", [](CDynamic& d) { d.DrawOnScreen(false); }, {23, 0}},
    {"icon handle in two words, low half first",
     [](CDynamic& d) { d.DrawIcon(kIcon, SYS_Point(1, 2), 3); },
     {24, 0x9ABCDEF0u, 0x12345678u, 1, 2, 3}},
    {"pen mode is not recorded", [](CDynamic& d) {
         d.PenMode(2);
         d.InvalidateRect(nullptr);
     }, {}},
};

// The calls of a replay followed by the restore of the pen mode the draw area reported.
Calls Restored(Calls calls) {
    calls.push_back("PenMode(7)");
    return calls;
}

// What replaying these words asks of a draw area, the pen-mode restore included.
Calls Replay(const Words& words) {
    LoggingArea area;
    OpenDynamic dynamic(&area);
    dynamic.m_operations = words;
    area.log.clear();
    dynamic.ReplayNow();
    return area.Take();
}

// Each record, word by word. A record cut short anywhere replays nothing.
TEST(CDynamic, RecordsEachOperationWordByWord) {
    for (const RecordCase& c : kRecords) {
        SCOPED_TRACE(c.name);
        CDynamic dynamic(nullptr);
        c.draw(dynamic);
        EXPECT_EQ(c.words, dynamic.GetOperations());
        const bool twoRecords = !c.words.empty() && c.words[0] == CDynamic::kFastMoveTo;
        for (size_t cut = 1; cut < c.words.size() && !twoRecords; ++cut) {
            const Words words(c.words.begin(), c.words.begin() + cut);
            EXPECT_EQ(Calls({"PenMode(7)"}), Replay(words)) << "cut at " << cut;
        }
    }
}

// Replay gives back the values recorded: negative numbers and high text bytes sign-extended,
// the icon handle joined from its two halves, the text angle in degrees.
TEST(CDynamic, ReplayRestoresSignedValuesHandlesAndAngles) {
    CDynamic dynamic(nullptr);
    dynamic.PenSize(-3);
    dynamic.DrawXorText("\xE9", 2, 1, SYS_Point(-1, 4), 0);
    dynamic.DrawIcon(kIcon, SYS_Point(1, 2), 3);
    dynamic.TextPath(-1);
    EXPECT_EQ(Restored({"PenSize(-3)", "DrawXorText(\xE9,2,1,(-1,4),1)",
                        "DrawIcon(0x123456789abcdef0,1,2,3)", "TextPath(359.9999)"}),
              Replay(dynamic.GetOperations()));
}

// Oval records fall back to an exclusive-or box when under 2 pixels on screen.
TEST(CDynamic, OvalsUnderTwoPixelsBecomeBoxes) {
    const struct {
        const char* name;
        int pixelsPerUnit;
        SYS_Box box;
        Calls calls;
    } cases[] = {
        {"one pixel wide", 1, SYS_Box(0, 0, 1, 5), {"DrawXorBox(0,0,1,5)"}},
        {"one pixel high", 1, SYS_Box(0, 0, 5, 1), {"DrawXorBox(0,0,5,1)"}},
        {"negative scale counts by its size", -1, SYS_Box(0, 0, 2, 2),
         {"PenMode(2)", "FastFrameOval(0,0,2,2)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LoggingArea area;
        area.pixelsPerUnit = c.pixelsPerUnit;
        CDynamic oval(nullptr);
        oval.DrawXorOval(c.box);
        oval.Install(&area);
        area.log.clear();
        oval.OnNotification(1, nullptr);
        EXPECT_EQ(Restored(c.calls), area.Take());
    }
}

// A dynamic hooks itself on its draw area's redraw event until destroyed. Text measuring and
// screen drawing go to the draw area (the measured box widens the dirty box); without one they
// do nothing.
TEST(CDynamic, XorTextAndScreenDrawAreForwardedToTheDrawArea) {
    LoggingArea area;
    area.textBox = SYS_Box(1, 2, 3, 4);
    {
        CDynamic dynamic(&area);
        EXPECT_EQ(Calls({"InstallDynamic()"}), area.Take());
        EXPECT_EQ(SYS_Box(1, 2, 3, 4), dynamic.DrawXorText("hi", 1, 2, SYS_Point(5, 6), 1));
        EXPECT_EQ(SYS_Box(1, 2, 3, 4), dynamic.GetDirtyBox());
        dynamic.StartScreenDraw();
        EXPECT_EQ(Calls({"DrawXorText(hi,1,2,5,6,0)", "StartScreenDraw()"}), area.Take());
    }
    EXPECT_EQ(&area.RedrawEvent(), area.RedrawEvent().GetNextNode());
    CDynamic alone(nullptr);
    EXPECT_EQ(SYS_Box(), alone.DrawXorText("hi", 1, 2, 5L, 6L, 1));
    alone.StartScreenDraw();
    EXPECT_EQ(0, alone.GetPenMode());
}

// A batch closed while the dynamic has no draw area stays open until one is set.
TEST(CDynamic, BatchWithoutADrawAreaStaysOpen) {
    LoggingArea area;
    CDynamic alone(nullptr);
    alone.StartBatchDraw();
    alone.PenColor(1);
    alone.EndBatchDraw();
    alone.SetDrawArea(&area);
    alone.EndBatchDraw();
    alone.EndBatchDraw();  // depth is 0 again: nothing more
    EXPECT_EQ(Calls({"RedrawDynamic(0,0,0,0,1)"}), area.Take());
}

TEST(CDynamic, NotificationCodes) {
    LoggingArea area;
    CDynamic dynamic(&area);
    dynamic.PenColor(4);
    area.log.clear();
    EXPECT_EQ(0, dynamic.OnNotification(4, nullptr));  // ignored
    EXPECT_TRUE(area.Take().empty());
    EXPECT_EQ(0, dynamic.OnNotification(3, nullptr));  // clear
    EXPECT_EQ(Calls({"RedrawDynamic(0,0,0,0,0)"}), area.Take());
    EXPECT_TRUE(dynamic.GetOperations().empty());

    dynamic.PenColor(4);
    EXPECT_EQ(0, dynamic.OnNotification(2, nullptr));  // the draw area goes away
    EXPECT_EQ(nullptr, dynamic.GetDrawArea());
    dynamic.Clear();
    dynamic.OnNotification(1, nullptr);
    EXPECT_TRUE(area.Take().empty());
    EXPECT_FALSE(dynamic.GetOperations().empty());
}

// An unknown code and a text longer than the working buffer are reported and the walk goes on
// (the text cut to the buffer); negative counts replay without elements; a count larger than
// the buffer stops the walk; a report that throws leaves the replay not flushing.
TEST(CDynamic, ReplayReportsUnknownCodesCutsLongTextsAndStopsAtLyingCounts) {
    tessar_test::ScopedReportRecorder reports;
    CDynamic longText(nullptr);
    longText.DrawXorText(std::string(1400, 'x').c_str(), 0, 0, 0L, 0L, 1);
    Words words = {25, 0, 5, 0xFFFFFFFFu};  // one past the last code, then -1
    words.insert(words.end(), longText.GetOperations().begin(), longText.GetOperations().end());
    words.insert(words.end(), {9, 0xFFFFFFFFu, 14, 1, 2, 0xFFFFFFFEu, 8, 1});
    words.insert(words.end(), {14, 1, 0, 0x7FFFFFFFu, 1, 2, 8, 2});
    EXPECT_EQ(Calls({"PenColor(5)", "DrawXorText(" + std::string(1023, 'x') + ",0,0,(0,0),1)",
                     "FastPolyPolyline(-1)", "FastPolyLine(-2,1,2)", "PenCap(1)", "PenMode(7)"}),
              Replay(words));
    std::vector<tessar_test::Report> seen = reports.Take();
    ASSERT_EQ(3u, seen.size());
    const char* expected[] = {"Dynamic: wrong draw operation Code (25)",
                              "Dynamic: wrong draw operation Code (-1)",
                              "Increase the buffer size!"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(expected[i], seen[i].message);
        EXPECT_EQ("Tessar/dynamic", seen[i].unit);
        EXPECT_EQ(SSM_FailureAssert, seen[i].type);
    }
    reports.AskFor(SSM::ThrowFatal);
    LoggingArea area;
    OpenDynamic dynamic(&area);
    dynamic.m_operations = {99};
    EXPECT_ANY_THROW(dynamic.ReplayNow());
    EXPECT_FALSE(dynamic.IsFlushing());
}

// A call of the replay that takes the draw area away or forgets the recording ends the walk.
TEST(CDynamic, ReplayEndsSafelyWhenACallLeavesOrClears) {
    const struct {
        const char* name;
        bool areaLeaves;  // else the recording is reset
        Calls calls;
    } cases[] = {
        {"draw area leaves: no restore", true, {"PenColor(0)", "PenColor(1)"}},
        {"recording reset", false, {"PenColor(0)", "PenColor(1)", "PenMode(7)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LoggingArea area;
        OpenDynamic dynamic(&area);
        for (int i = 0; i < 100; ++i) dynamic.PenColor(i);
        area.onCall = [&](const std::string& call) {
            if (call != "PenColor(1)") return;
            if (c.areaLeaves) area.RedrawEvent().Notify(2, nullptr);
            else dynamic.Reset();
        };
        area.log.clear();
        dynamic.ReplayNow();
        EXPECT_EQ(c.calls, area.Take());
    }
}

TEST(CDynamic, NullInputsAreReportedAndRecordNothing) {
    tessar_test::ScopedReportRecorder reports;
    CDynamic dynamic(nullptr);
    dynamic.DrawString(nullptr);
    EXPECT_EQ(SYS_Box(), dynamic.DrawXorText(nullptr, 0, 0, 1L, 1L, 1));
    dynamic.FastPolyLine(2, nullptr, 1, 1);
    dynamic.FastPolyPolyline(nullptr, kCounts, 2);
    dynamic.FastPolyLine(0, nullptr, 1, 1);  // nothing to read: recorded
    EXPECT_EQ(Words({14, 1, 1, 0}), dynamic.GetOperations());
    std::vector<tessar_test::Report> seen = reports.Take();
    ASSERT_EQ(4u, seen.size());
    for (const tessar_test::Report& report : seen) {
        EXPECT_EQ("Tessar/dynamic", report.unit);
        EXPECT_EQ(SSM_FailureError, report.type);
    }
}

}  // namespace
