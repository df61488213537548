// The array's report sites as a host sees them: message, unit, line and failure
// type.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "SCC_Array.h"
#include "SCC_Event.h"
#include "tessar_reports.h"

namespace {

using tessar_test::Report;
using tessar_test::ScopedReportRecorder;

const char kInline[] = "scc/SCC_Array_Inline";
// What the entry point reports for a check without a text of its own.
const char kNoMessage[] = "Message not available";

SCC_Array<long> Three() {
    SCC_Array<long> array;
    for (long value : {10, 20, 30})
        array.Add(value);
    return array;
}

struct SiteCase {
    const char* name;
    std::function<void(SCC_Array<long>&)> misuse;
    Report expected;
};

TEST(ArrayReports, TypedOperationsReportFromTheirInlineUnit) {
    const SiteCase cases[] = {
        {"read past the end",
         [](SCC_Array<long>& a) { (void)a.GetAt(3); },
         {kNoMessage, kInline, 315, SSM_FailureError}},
        {"read below 0",
         [](SCC_Array<long>& a) { (void)static_cast<const SCC_Array<long>&>(a)[-1]; },
         {kNoMessage, kInline, 315, SSM_FailureError}},
        {"write through []",
         [](SCC_Array<long>& a) { a[7] = 1; },
         {kNoMessage, kInline, 315, SSM_FailureError}},
        {"set past the end",
         [](SCC_Array<long>& a) { a.SetAt(3, 1); },
         {kNoMessage, kInline, 315, SSM_FailureError}},
        {"set-grow below 0",
         [](SCC_Array<long>& a) { a.SetAtGrow(-1, 1); },
         {kNoMessage, kInline, 315, SSM_FailureError}},
        {"swap past the end",
         [](SCC_Array<long>& a) { a.Swap(0, 3); },
         {kNoMessage, kInline, 315, SSM_FailureError}},
        {"insert a value below 0",
         [](SCC_Array<long>& a) { a.InsertAt(-1, 5L); },
         {kNoMessage, kInline, 370, SSM_FailureAssert}},
        {"insert an array below 0",
         [](SCC_Array<long>& a) { a.InsertAt(-2, Three()); },
         {kNoMessage, kInline, 370, SSM_FailureAssert}},
    };
    for (const SiteCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedReportRecorder recorder;
        SCC_Array<long> array = Three();
        c.misuse(array);
        EXPECT_EQ(std::vector<Report>{c.expected}, recorder.Take());
        // A refused operation leaves the array as it was.
        ASSERT_EQ(3, array.GetSize());
        EXPECT_EQ(30, array.GetAt(2));
    }
}

TEST(ArrayReports, MissingComparatorsAndBaseOperationsReportFromTheArrayUnit) {
    const char kUnit[] = "scc/SCC_Array";
    const SiteCase cases[] = {
        {"sort without a comparator",
         [](SCC_Array<long>& a) { a.Sort(1); },
         {"In SCC_Array::Sort(), The array has no comparator", kUnit, 0, SSM_FailureError}},
        {"ordered insert without a comparator",
         [](SCC_Array<long>& a) { a.AddSorted(40); },
         {"In SCC_Array::FindItemPosition(), The array has no comparator", kUnit, 0,
          SSM_FailureError}},
        {"place check without a comparator",
         [](SCC_Array<long>& a) { a.ItemInValidPlace(1); },
         {"In SCC_Array::ItemInValidPlace(), The array has no comparator", kUnit, 0,
          SSM_FailureError}},
        {"base comparison",
         [](SCC_Array<long>&) {
             long x = 1, y = 2;
             SCC_ComparatorBase().Compare(&x, &y);
         },
         {"SCC_ComparatorBase::Compare called.", kUnit, 0, SSM_FailureError}},
    };
    for (const SiteCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedReportRecorder recorder;
        SCC_Array<long> array = Three();
        c.misuse(array);
        const std::vector<Report> seen = recorder.Take();
        ASSERT_EQ(1u, seen.size());
        EXPECT_EQ(c.expected.message, seen[0].message);
        EXPECT_EQ(c.expected.unit, seen[0].unit);
        EXPECT_EQ(c.expected.type, seen[0].type);
    }
}

// A listener that empties the array while it grows leaves SetAtGrow without a
// buffer to write.
class ClearOnInsert : public SCC_EventNode<int> {
public:
    explicit ClearOnInsert(SCC_Array<long>& array) : m_array(array) {}
    int OnNotification(int code, int*) override {
        if (code == SCC_NotifyInserted) m_array.Clear();
        return 0;
    }

private:
    SCC_Array<long>& m_array;
};

TEST(ArrayReports, WriteAfterAListenerDroppedTheBufferReportsTheMissingBuffer) {
    ScopedReportRecorder recorder;
    SCC_Array<long> array;
    ClearOnInsert listener(array);
    array.AddListener(listener);
    array.SetAtGrow(4, 9);
    EXPECT_EQ(std::vector<Report>{Report({kNoMessage, kInline, 322, SSM_FailureError})},
              recorder.Take());
    EXPECT_EQ(0, array.GetSize());
}

TEST(ArrayReports, ReadingTheElementOfAnIteratorOnNoElementFails) {
    SCC_Array<long> array = Three();
    const Report failed{"SCC_Array::Iterator failed", kInline, 526, SSM_FailureError};
    SCC_ArrayIterator<long> detached;
    SCC_ArrayIterator<long> pastEnd(array, 2);
    pastEnd.GetNext();
    SCC_ArrayIterator<long> onLast(array, 2);
    ScopedReportRecorder recorder;
    EXPECT_EQ(0, *detached);
    EXPECT_EQ(0, pastEnd.GetItem());
    EXPECT_EQ(30, *onLast);
    EXPECT_EQ((std::vector<Report>{failed, failed}), recorder.Take());
}

}  // namespace
