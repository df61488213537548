#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

#include "SCC_Variant.h"
#include "tessar_reports.h"
#include "tests/variant/variant_test_support.h"

namespace {

const char kInt[] = "Invalid integer";
const char kUnsigned[] = "Value should be unsigned integer.";
const char kFloat[] = "Invalid floating point format.";
const char kRange[] = "Value out of range.";

struct IntCase {
    const char* text;
    const char* thrown;  // "" when the text is accepted
    long stored;
};

// "%d" stores an int and "%ld" all eight bytes of a long, both saturated to 32 bits.
TEST(SimpleScanf, DecimalTexts) {
    const IntCase cases[] = {
        {"", "", 0},         {" \t ", "", 0},       {" \t42 \t", "", 42},   {"-17", "", -17},
        {"+5", "", 5},       {"007", "", 7},        {"2147483647", "", INT_MAX},
        {"-2147483648", "", INT_MIN},               {"2147483648", "", INT_MAX},
        {"-2147483649", "", INT_MIN},               {"99999999999999999999", "", INT_MAX},
        {"42x", kInt, 0},    {"-0", kInt, 0},       {"+0", kInt, 0},        {"abc", kInt, 0},
        {"4 2", kInt, 0},    {"0x1A", kInt, 0},     {"1.5", kInt, 0},       {"-", kInt, 0},
        {"7\n", kInt, 0},     {"\v5", "", 5},        // strtol skips other white space
        {"-999999999999999999", "", INT_MIN},       {"1234567890123456789", "", INT_MAX},
    };
    for (const IntCase& c : cases) {
        SCOPED_TRACE(c.text);
        const bool accepted = *c.thrown == '\0';
        int asInt = 12345;
        long asLong = 0x5555555555555555L;
        int result = -1;
        EXPECT_EQ(c.thrown, ThrownText([&] { result = SimpleScanf(c.text, "%d", &asInt); }));
        EXPECT_EQ(c.thrown, ThrownText([&] { SimpleScanf(c.text, "%ld", &asLong); }));
        EXPECT_EQ(accepted ? c.stored : 12345, asInt) << "a refused text stores nothing";
        EXPECT_EQ(accepted ? c.stored : 0x5555555555555555L, asLong);
        EXPECT_EQ(accepted ? 1 : -1, result);
    }
}

TEST(SimpleScanf, ShortSizeChecksTheSixteenBitRange) {
    const IntCase cases[] = {{"-32768", "", SHRT_MIN}, {"32767", "", SHRT_MAX},
                             {"32768", kRange, 0},      {"-32769", kRange, 0},
                             {"70000", kRange, 0},      {"3000000000", kRange, 0},
                             {"12y", kInt, 0}};
    for (const IntCase& c : cases) {
        SCOPED_TRACE(c.text);
        short out[2] = {77, 77};  // the second one must never be written
        EXPECT_EQ(c.thrown, ThrownText([&] { SimpleScanf(c.text, "%sd", &out[0]); }));
        EXPECT_EQ(*c.thrown == '\0' ? c.stored : 77, out[0]);
        EXPECT_EQ(77, out[1]);
    }
}

// "%f" stores a double (8 bytes), whatever the size letter.
TEST(SimpleScanf, FloatingTexts) {
    const struct {
        const char* text;
        const char* thrown;
        double stored;
    } cases[] = {
        {"1.5e3", "", 1500.0}, {"", "", 0.0},        {" -2.5\t", "", -2.5}, {".5", "", 0.5},
        {"0x10", "", 16.0},    {"1.5.2", kFloat, 0}, {"abc", kFloat, 0},    {"2,5", kFloat, 0},
        {"1e", kFloat, 0},     {"- 1", kFloat, 0},
    };
    for (const char* format : {"%f", "%lf", "%sf"}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(format) + " " + c.text);
            double out = -99.0;
            EXPECT_EQ(c.thrown, ThrownText([&] { SimpleScanf(c.text, format, &out); }));
            EXPECT_EQ(*c.thrown == '\0' ? c.stored : -99.0, out);
        }
    }
    double special = 0;
    SimpleScanf(" nan ", "%f", &special);
    EXPECT_TRUE(std::isnan(special));
    SimpleScanf("1e999", "%f", &special);
    EXPECT_TRUE(std::isinf(special));
}

// "%u" reads the unsigned value and refuses every negative, non-numeric or trailing text.
TEST(SimpleScanf, UnsignedReadsTheValue) {
    const IntCase cases[] = {
        {"42", "", 42},        {" 0 ", "", 0},        {"", "", 0},           {"+7", "", 7},
        {"4294967295", "", 4294967295L},             {"4294967296", "", 4294967295L},
        {"-1", kUnsigned, 0},  {"-0", kUnsigned, 0},  {" -5", kUnsigned, 0}, {"+-5", kUnsigned, 0},
        {"12x", kUnsigned, 0}, {"abc", kUnsigned, 0}, {"+0", kUnsigned, 0},
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
    unsigned short small = 1;
    EXPECT_EQ(kRange, ThrownText([&] { SimpleScanf("65536", "%su", &small); }));
    EXPECT_EQ(1, SimpleScanf("65535", "%su", &small));
    EXPECT_EQ(65535, small);
    // Without a destination the text is still checked, and nothing is stored.
    EXPECT_EQ(0, SimpleScanf("12", "%d", nullptr));
    EXPECT_EQ(kInt, ThrownText([] { SimpleScanf("12z", "%d", nullptr); }));
}

TEST(SimpleScanf, MisuseIsReportedAtItsSiteAndStoresNothing) {
    const struct {
        const char* text;
        const char* format;
        long line;
    } cases[] = {
        {nullptr, "%d", 93}, {"1", nullptr, 94}, {"1", "d", 96},    {"1", "", 96},
        {"1", "%x", 109},    {"1", "%", 109},    {"1", "%l", 109},  {"1", "%lld", 109},
        {"1", "%dl", 110},   {"1", "%d ", 110},
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
