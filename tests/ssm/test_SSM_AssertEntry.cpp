#include <gtest/gtest.h>

#include "SSM.h"
#include "TessarPlatform.h"
#include "tessar_breaks.h"

namespace {

class AssertEntry : public ::testing::Test {
protected:
    int Breaks() const { return m_breaks.Breaks(); }
    void ResetBreaks() { m_breaks.Take(); }

private:
    ScopedBreakCounter m_breaks;
};

TEST_F(AssertEntry, WithoutManagerEveryReportAnswersBreak) {
    ASSERT_EQ(nullptr, SSM::GetManager());
    for (SSM_FailureType type : {SSM_FailureAssert, SSM_FailureError, SSM_FailureThrow}) {
        EXPECT_EQ(FALSE, SSM_AssertFailed("broken", "sys/test", 12, type, 0));
        EXPECT_EQ(FALSE, SSM_AssertFailed("", "sys/test", 12, type, 12));
        EXPECT_EQ(FALSE, SSM_AssertFailed(nullptr, "sys/test", 12, type, 0));
    }
    ResetBreaks();
    int evaluations = 0;
    EXPECT_FALSE(SSM_CHECK(++evaluations == 5, "broken", "sys/test", SSM_FailureAssert));
    EXPECT_EQ(1, evaluations);  // the condition is evaluated once
    EXPECT_NO_THROW(SSM_CHECK_THROW_AT(false, "broken", "scc/SCC_Array", 77, SSM_FailureError));
    EXPECT_EQ(2, Breaks());  // each failed check breaks, and goes on
    EXPECT_NO_THROW(SSM_Throw());
}

TEST(PlatformDebugBreak, WithoutDebuggerGoesOn) {
    ASSERT_EQ(FALSE, PLT_IsDebuggerAttached());
    PLT_DebugBreak();  // must return: no debugger, no handler
}

}  // namespace

// The entry point knows the manager only through the handlers the manager installs: they must
// be set exactly while a manager is registered, and a refused second manager must neither
// replace nor remove them.
TEST_F(AssertEntry, ManagerHandlersAreSetExactlyWhileAManagerIsRegistered) {
    const auto installed = [] {
        const SSM_ManagerHandlers current = SSM_SetManagerHandlers({nullptr, nullptr});
        SSM_SetManagerHandlers(current);
        return current.assertFailed != nullptr && current.throwLatest != nullptr;
    };
    EXPECT_FALSE(installed());
    {
        SSM manager;
        EXPECT_TRUE(installed());
        {
            SSM refused;
            ResetBreaks();
        }
        EXPECT_TRUE(installed());
        EXPECT_EQ(TRUE, SSM_AssertFailed("after the refusal", "sys/test", 3, SSM_FailureAssert, 0));
        EXPECT_NE(nullptr, manager.Map.Lookup("sys/test(3)"));
    }
    EXPECT_FALSE(installed());
    EXPECT_EQ(FALSE, SSM_AssertFailed("gone", "sys/test", 3, SSM_FailureAssert, 0));
}
