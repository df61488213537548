#include <gtest/gtest.h>

#include <set>
#include <string>

#include "SSM.h"
#include "ssm_test_support.h"

namespace {

using ssm_test::HostHandler;
using ssm_test::ManagerTest;

using SSM_AssertObj = ManagerTest;

SYS_Handle HandleOf(const SSM::AssertData* record) {
    return reinterpret_cast<SYS_Handle>(record);
}

// Wherever it stood before, SetHandle puts a cursor on the stored record of the site it is
// given, or on nothing.
TEST_F(SSM_AssertObj, SetHandleStandsOnTheStoredRecordOrOnNothing) {
    SSM_AssertFailed("stored", "sfm/sfmfile", 120, SSM_FailureAssert, 3);
    SSM::AssertData fresh("another text", "sfm/sfmfile", 120, 99);
    SSM::AssertData unknown("", "sfm/sfmfile", 2, 0);
    const SYS_Handle stored = HandleOf(Record("sfm/sfmfile(120)"));
    SSM::AssertObj cursor;
    cursor.SetHandle(&fresh);  // fresh data of a known site
    EXPECT_EQ(stored, cursor.GetHandle());
    EXPECT_STREQ("stored", cursor.GetMsg());
    EXPECT_EQ(3, cursor.GetID());
    EXPECT_EQ(1, cursor.GetCount());
    EXPECT_EQ(120, cursor.GetLineNo());
    EXPECT_STREQ("sfm/sfmfile", cursor.GetFileName());
    cursor.SetHandle(&unknown);
    EXPECT_FALSE(cursor.IsValid());
    cursor.SetHandle(stored, &Manager());  // a hook's handle
    EXPECT_EQ(stored, cursor.GetHandle());
    cursor.SetHandle(nullptr);
    EXPECT_EQ(0, cursor.GetHandle());
    cursor.SetHandle(stored, &Manager());
    cursor.SetHandle(SYS_Handle(0), &Manager());
    EXPECT_FALSE(cursor.IsValid());
}

// Every accessor on a cursor that stands on nothing reports, answers its default and changes
// no record.
TEST_F(SSM_AssertObj, AccessorsOnNothingReportAndAnswerDefaults) {
    HostHandler reported("report", m_log);
    reported.HookOn(Manager().ReportEvent);
    SSM::AssertObj cursor;
    EXPECT_TRUE(cursor.GetFileName().IsEmpty());
    EXPECT_EQ(0, cursor.GetLineNo());
    EXPECT_EQ(0, cursor.GetID());
    EXPECT_EQ(0, cursor.GetCount());
    EXPECT_TRUE(cursor.GetMsg().IsEmpty());
    EXPECT_TRUE(cursor.GetLogMsg().IsEmpty());
    EXPECT_EQ(FALSE, cursor.IsDisabled());
    EXPECT_EQ(FALSE, cursor.IsLogRequired());
    EXPECT_EQ(SSM::Continue, cursor.GetAction());
    cursor.IncreaseCount();
    cursor.SetMsg("x");
    cursor.SetLogMsg("x");
    cursor.Disable(TRUE);
    cursor.SetLogRequired(FALSE);
    cursor.SetAction(SSM::Break);
    cursor.ClearAction();
    EXPECT_EQ(16u, m_log.size());  // one report per call, checked by the report tables
    EXPECT_EQ(1, Manager().Map.GetCount());  // only the report's own record exists
}

// SetAction only escalates; ClearAction resets.
TEST_F(SSM_AssertObj, FlagsActionsAndCountsChangeTheStoredRecord) {
    SSM_AssertFailed("stored", "sys/test", 1, SSM_FailureAssert, 0);
    SSM::AssertObj cursor;
    cursor.SetHandle(Record("sys/test(1)"));
    // The queries are read through a const cursor, as a host's const code holds one.
    const SSM::AssertObj& reader = cursor;
    cursor.Disable(5);
    EXPECT_EQ(TRUE, reader.IsDisabled());
    EXPECT_EQ(FALSE, Record("sys/test(1)")->Enabled);
    cursor.Disable(FALSE);
    EXPECT_EQ(FALSE, reader.IsDisabled());
    cursor.IncreaseCount();
    EXPECT_EQ(2, Record("sys/test(1)")->Count);
    EXPECT_EQ(TRUE, reader.IsLogRequired());
    cursor.SetLogRequired(FALSE);
    EXPECT_EQ(FALSE, reader.IsLogRequired());
    cursor.SetAction(SSM::Break);
    cursor.SetAction(SSM::Continue);
    EXPECT_EQ(SSM::Break, Record("sys/test(1)")->Action);
    cursor.SetAction(static_cast<SSM::Action>(6));  // beyond ThrowFatal is still higher
    EXPECT_EQ(static_cast<SSM::Action>(6), cursor.GetAction());
    cursor.ClearAction();
    cursor.SetAction(static_cast<SSM::Action>(-1));
    EXPECT_EQ(SSM::Continue, cursor.GetAction());
}

TEST_F(SSM_AssertObj, WalkVisitsEveryRecordOnceAndFollowsRemovals) {
    EXPECT_EQ(53, Manager().Map.GetTableSize());
    for (int line = 0; line < 300; ++line)  // enough sites to grow the map's table
        SSM_AssertFailed("walk", "sys/walk", line, SSM_FailureAssert, 0);
    EXPECT_GT(Manager().Map.GetTableSize(), 53);
    std::set<SYS_Handle> visited;
    long steps = 0;
    SSM::AssertObj cursor;
    for (cursor.GetFirst(nullptr); cursor.IsValid(); cursor.GetNext(), ++steps)
        visited.insert(cursor.GetHandle());
    EXPECT_EQ(300, steps);
    EXPECT_EQ(300u, visited.size());

    // A cursor whose record is removed moves on to the next one.
    cursor.GetFirst(&Manager());
    SSM::AssertObj follower;
    follower.SetHandle(cursor.GetHandle(), &Manager());
    follower.GetNext();
    const SSM::AssertData* first = reinterpret_cast<SSM::AssertData*>(cursor.GetHandle());
    ASSERT_TRUE(Manager().Map.Remove(FormattedString("sys/walk(%ld)", first->LineNo)));
    EXPECT_EQ(follower.GetHandle(), cursor.GetHandle());

    SSM other;  // refused, unregistered: an empty map of its own
    cursor.GetFirst(&other);
    EXPECT_FALSE(cursor.IsValid());
}

TEST_F(SSM_AssertObj, CursorAndChangeEventFollowTheRegisteredManager) {
    SSM_AssertFailed("site", "sys/test", 1, SSM_FailureAssert, 0);
    SSM::AssertObj cursor;
    cursor.SetHandle(Record("sys/test(1)"));
    EXPECT_EQ(&Manager().AssertEvent, SSM::AssertObj::GetChangeEvent(nullptr));
    DestroyManager();
    EXPECT_FALSE(cursor.IsValid());
    EXPECT_EQ(0, cursor.GetHandle());
    cursor.GetFirst(nullptr);  // no manager: nothing to stand on
    EXPECT_FALSE(cursor.IsValid());
    EXPECT_EQ(nullptr, SSM::AssertObj::GetChangeEvent(nullptr));
    // The default sort is a three-way comparison, without an overflowing difference.
    EXPECT_EQ(0, SSM::AssertObj::DefaultSort(7, 7));
    EXPECT_EQ(-1, SSM::AssertObj::DefaultSort(INT_MIN, INT_MAX));
    EXPECT_EQ(1, SSM::AssertObj::DefaultSort(INT_MAX, INT_MIN));
}

}  // namespace
