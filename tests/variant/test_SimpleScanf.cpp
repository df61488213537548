#include <gtest/gtest.h>

#include <string>

#include "SCC_Variant.h"
#include "tessar_reports.h"
#include "tests/variant/variant_test_support.h"

namespace {

const char kInt[] = "Invalid integer";
const char kUnsigned[] = "Value should be unsigned integer.";

struct IntCase {
    const char* text;
    const char* thrown;  // "" when the text is accepted
    long stored;
};

// "%u" reads the unsigned value and refuses every negative, non-numeric or trailing text.
TEST(SimpleScanf, UnsignedReadsTheValue) {
    const IntCase cases[] = {
        {"", "", 0},           {"+7", "", 7},         {"4294967296", "", 4294967295L},
        {"-1", kUnsigned, 0},  {" -5", kUnsigned, 0}, {"12x", kUnsigned, 0}, {"+0", kUnsigned, 0},
    };
    for (const IntCase& c : cases) {
        SCOPED_TRACE(c.text);
        unsigned int out = 999;
        unsigned long wide = 999;
        EXPECT_EQ(c.thrown, ThrownText([&] { SimpleScanf(c.text, "%u", &out); }));
        EXPECT_EQ(c.thrown, ThrownText([&] { SimpleScanf(c.text, "%lu", &wide); }));
        EXPECT_EQ(*c.thrown == '\0' ? c.stored : 999, static_cast<long>(out));
        EXPECT_EQ(*c.thrown == '\0' ? c.stored : 999, static_cast<long>(wide));
    }
    // Without a destination the text is still checked, and nothing is stored.
    EXPECT_EQ(0, SimpleScanf("12", "%d", nullptr));
    EXPECT_EQ(kInt, ThrownText([] { SimpleScanf("12z", "%d", nullptr); }));
    EXPECT_EQ("Value out of range.", ThrownText([] { SimpleScanf("-32769", "%sd", nullptr); }));
}

TEST(SimpleScanf, MisuseIsReportedAtItsSiteAndStoresNothing) {
    const struct {
        const char* text;
        const char* format;
        long line;
    } cases[] = {
        {nullptr, "%d", 93}, {"1", nullptr, 94}, {"1", "d", 96},    {"1", "%x", 109},
        {"1", "%l", 109},    {"1", "%lld", 109}, {"1", "%dl", 110},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format != nullptr ? c.format : "null format");
        tessar_test::ScopedReportRecorder recorder;
        long out = 5;
        EXPECT_EQ(0, SimpleScanf(c.text, c.format, &out));
        EXPECT_EQ(5, out);
        ASSERT_EQ(1u, recorder.Reports().size());
        EXPECT_EQ((tessar_test::Report{"Message not available", "scc/SCC_Variant", c.line, 0}),
                  recorder.Reports()[0]);
    }
}

}  // namespace
