#include <gtest/gtest.h>

#include "SSM.h"
#include "TessarPlatform.h"
#include "tessar_breaks.h"

namespace {

// The entry point knows the manager only through the handlers the manager installs: without a
// manager every report answers break, and a refused second manager neither replaces nor
// removes the handlers of the registered one.
TEST(AssertEntry, ReportsGoToTheRegisteredManagerOnly) {
    ScopedBreakCounter breaks;
    ASSERT_EQ(nullptr, SSM::GetManager());
    for (SSM_FailureType type : {SSM_FailureAssert, SSM_FailureError, SSM_FailureThrow})
        EXPECT_EQ(FALSE, SSM_AssertFailed("broken", "sys/test", 12, type, 0));
    int evaluations = 0;
    EXPECT_FALSE(SSM_CHECK(++evaluations == 5, "broken", "sys/test", SSM_FailureAssert));
    EXPECT_EQ(1, evaluations);  // the condition is evaluated once
    EXPECT_NO_THROW(SSM_CHECK_THROW_AT(false, "broken", "scc/SCC_Array", 77, SSM_FailureError));
    EXPECT_EQ(2, breaks.Take());  // each failed check breaks, and goes on
    EXPECT_NO_THROW(SSM_Throw());
    SSM::SetSilentMode(TRUE);  // nothing to set
    EXPECT_EQ(0, SSM::GetSilentMode());
    {
        SSM manager;
        { SSM refused; }
        EXPECT_EQ(TRUE, SSM_AssertFailed("after the refusal", "sys/test", 3, SSM_FailureAssert, 0));
        EXPECT_NE(nullptr, manager.Map.Lookup("sys/test(3)"));
    }
    EXPECT_EQ(FALSE, SSM_AssertFailed("gone", "sys/test", 3, SSM_FailureAssert, 0));
}

}  // namespace
