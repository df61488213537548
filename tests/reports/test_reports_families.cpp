// The report sites of each family as a host sees them: the message character for character,
// the unit, the failure type, and the line where the site has a fixed one. One table per family;
// every misuse must produce exactly the listed reports and nothing else.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "SCC_Iterator.h"
#include "SCC_List.h"
#include "SCC_Map.h"
#include "SCC_SafeDList.h"
#include "SCC_SharedBuffer.h"
#include "SCC_Stack.h"
#include "SCC_StdCollection.h"
#include "SYS_Geom.h"
#include "SYS_StrPattern.h"
#include "SYS_String.h"
#include "tessar_reports.h"

namespace {

using tessar_test::Report;
using tessar_test::ScopedReportRecorder;

const char kNoMessage[] = "Message not available";
const long kOwnLine = 0;  // the site's line is its own source line, not a fixed one

struct Site {
    const char* message;
    const char* unit;
    long line;
    int type;
};

struct Case {
    const char* name;
    std::function<void()> misuse;
    std::vector<Site> expected;
};

void ExpectReports(const Case& c) {
    SCOPED_TRACE(c.name);
    ScopedReportRecorder recorder;
    c.misuse();
    const std::vector<Report> seen = recorder.Take();
    ASSERT_EQ(c.expected.size(), seen.size());
    for (size_t i = 0; i < seen.size(); ++i) {
        const Site& site = c.expected[i];
        EXPECT_EQ(site.message, seen[i].message);
        EXPECT_EQ(site.unit, seen[i].unit);
        EXPECT_EQ(site.type, seen[i].type);
        if (site.line == kOwnLine)
            EXPECT_GT(seen[i].line, 0);
        else
            EXPECT_EQ(site.line, seen[i].line);
    }
}

TEST(FamilyReports, Strings) {
    const Site insert{"SYS_String::Insert -- negative index", "sys/sysstr", kOwnLine, 0};
    const Site erase{"SYS_String::Delete -- negative index or length", "sys/sysstr", kOwnLine, 0};
    const Case cases[] = {
        {"insert below 0", [] { SYS_String("abc").Insert(-1, "x"); }, {insert}},
        {"delete below 0", [] { SYS_String("abc").Delete(-1, 1); }, {erase}},
        {"delete a negative count", [] { SYS_String("abc").Delete(0, -2); }, {erase}},
        // Delete, then Insert, each with its own check.
        {"replace below 0", [] { SYS_String("abc").Replace(-1, 1, "x"); }, {erase, insert}},
    };
    for (const Case& c : cases) ExpectReports(c);
}

struct Plain : SCC_DListNode<Plain> {};
struct Safe : SCC_SafeDListNode<Safe> {};

TEST(FamilyReports, ListsAndStack) {
    const Site listSite{kNoMessage, "scc/SCC_List_Inline", kOwnLine, 0};
    const Site safe{kNoMessage, "scc/SCC_SafeDList_Inline", kOwnLine, 0};
    const Site stack{kNoMessage, "scc/sccstack", kOwnLine, 1};
    const Case cases[] = {
        {"add a node twice",
         [] {
             SCC_DList<Plain> list;
             Plain node;
             list.AddTail(&node);
             list.AddTail(&node);
             list.RemoveAll();
         },
         {listSite}},
        {"add no node", [] { SCC_DList<Plain>().AddHead(nullptr); }, {listSite}},
        {"remove a free node from a safe list",
         [] {
             SCC_SafeDList<Safe> list;
             Safe node;
             list.Remove(&node);
         },
         {safe}},
        {"insert after a free node",
         [] {
             SCC_SafeDList<Safe> list;
             Safe free, node;
             list.InsertAfter(&free, &node);
         },
         {safe}},
        {"pop an empty stack", [] { SCC_Stack<int>().Pop(); }, {stack}},
        {"peek below the bottom",
         [] {
             SCC_Stack<int> s;
             s.Push(1);
             s.Peek(1);
         },
         {stack}},
    };
    for (const Case& c : cases) ExpectReports(c);
}

TEST(FamilyReports, SharedBuffersIteratorsAndMaps) {
    auto base = [](const char* message) { return Site{message, "scc/SCC_Iterator", kOwnLine, 0}; };
    const Case cases[] = {
        {"release an unreferenced buffer",
         [] { SCC_SharedBuffer().Deref(); },
         {{kNoMessage, "scc/SCC_Misc", kOwnLine, 0}}},
        {"base GetHandle",
         [] { SCC_Iterator().GetHandle(); },
         {base("SCC_Iterator::GetHandle() is called")}},
        {"base Clear", [] { SCC_Iterator().Clear(); }, {base("SCC_Iterator::Clear() is called")}},
        {"base GetNext",
         [] { SCC_Iterator().GetNext(); },
         {base("SCC_Iterator::GetNext() is called")}},
        {"base GetPrev",
         [] { SCC_Iterator().GetPrev(); },
         {base("SCC_Iterator::GetPrev() is called")}},
        {"base Invalidate",
         [] { SCC_Iterator().Invalidate(); },
         {base("SCC_Iterator::Invalidate() is called")}},
        {"base IsEmpty",
         [] { SCC_Iterator().IsEmpty(); },
         {base("SCC_Iterator::IsEmpty() is called")}},
        {"map iterator without a map",
         [] { SCC_MapIterator<long, long>().GetFirst(); },
         {{kNoMessage, "scc/SCC_Map_Inline", kOwnLine, 0}}},
    };
    for (const Case& c : cases) ExpectReports(c);
}

TEST(FamilyReports, Collections) {
    const Case cases[] = {
        {"position before the first element",
         [] {
             SCC_StdCollection collection;
             collection.GetPosition();
         },
         {{kNoMessage, "scc/SCC_Array", kOwnLine, 0}}},
        {"handle of a position on no element",
         [] {
             SCC_StdCollection::Position position;
             (void)position.GetItem();
         },
         {{"SCC_Array::Iterator failed", "scc/SCC_Array_Inline", 526, 1}}},
        {"a clear, a reset and unknown codes",
         [] {
             SCC_StdCollection collection;
             for (int code : {int{SCC_NotifyCleared}, int{SCC_NotifyReset}, 8, 11})
                 collection.OnNotification(code, nullptr);
         },
         {}},
    };
    for (const Case& c : cases) ExpectReports(c);
}

TEST(FamilyReports, Patterns) {
    const char kUnit[] = "sys/syspttrn";
    const Site untranslated{"SYS_StrPattern::MakePattern -- pattern cannot be translated", kUnit,
                            kOwnLine, 1};
    const Site empty{"SYS_StrPattern::Match -- empty pattern", kUnit, kOwnLine, 1};
    const Case cases[] = {
        {"empty pattern text", [] { SYS_StrPattern pattern(""); }, {untranslated}},
        {"unbalanced group", [] { SYS_StrPattern pattern("a)"); }, {untranslated}},
        {"closure over a large element",
         [] { SYS_StrPattern pattern(("(" + std::string(300, 'a') + ")*").c_str()); },
         {{"ParseClosure -- closure expression too large", kUnit, kOwnLine, 1}, untranslated}},
        {"class of too many members",
         [] { SYS_StrPattern pattern(("[" + std::string(256, 'a') + "]").c_str()); },
         {{"ParseCCL -- closure expression too large", kUnit, kOwnLine, 1}, untranslated}},
        {"match without a pattern",
         [] {
             int length = 0;
             SYS_StrPattern().Match("abc", &length);
         },
         {empty}},
        {"negative substitution count",
         [] {
             CString text("abc");
             SYS_StrPattern("b").Substitute(text, CString("x"), -1);
         },
         {{"SYS_StrPattern::Substitute -- negative counter", kUnit, kOwnLine, 1}}},
    };
    for (const Case& c : cases) ExpectReports(c);
}

TEST(FamilyReports, Geometry) {
    const char kInline[] = "sys/SYS_Geom_Inline";
    const char kLocgeom[] = "sys/locgeom";
    const Case cases[] = {
        {"point beyond the double point range",
         [] { (void)static_cast<SYS_DoublePoint>(SYS_Point(SYS_COORD_LIMIT, 0)); },
         {{"Invalid point", kInline, kOwnLine, 0}}},
        // Built from values, then converted: each step checks the point.
        {"double point outside the range",
         [] { (void)SYS_Point(SYS_DoublePoint(2e9, 0)); },
         {{"Invalid point", kInline, kOwnLine, 0}, {"Invalid point", kInline, kOwnLine, 0}}},
        {"lower-left above the upper-right",
         [] { SYS_Box(0, 0, 10, 10).SetLowerLeft(SYS_Point(20, 20)); },
         {{"Invalid box", kInline, kOwnLine, 0}}},
        {"union of boxes not valid",
         [] { SYS_Box(10, 10, 0, 0).Combine(SYS_Box(10, 10, 0, 0)); },
         {{"SYS_Box is not valid", kLocgeom, kOwnLine, 0}}},
    };
    for (const Case& c : cases) ExpectReports(c);
}

}  // namespace
