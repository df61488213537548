#include <gtest/gtest.h>
#include "tessar_reports.h"
#include "SSM_Assert.h"
TEST(ReportRecorder, RecordsMessageUnitLineType) {
    tessar_test::ScopedReportRecorder recorder;
    EXPECT_FALSE(SSM_CHECK_AT(false, "boom", "sys/x", 42, SSM_FailureError));
    ASSERT_EQ(1u, recorder.Reports().size());
    EXPECT_EQ((tessar_test::Report{"boom", "sys/x", 42, 1}), recorder.Reports()[0]);
    EXPECT_EQ(0, recorder.Breaks());
}
