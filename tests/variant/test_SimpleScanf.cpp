#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <string>

#include "SCC_Variant.h"
#include "SYS_Exception.h"
#include "tessar_reports.h"
#include "tests/variant/variant_test_support.h"

namespace {

const char kInvalidInteger[] = "Invalid integer";
const char kNotUnsigned[] = "Value should be unsigned integer.";
const char kInvalidFloat[] = "Invalid floating point format.";
const char kOutOfRange[] = "Value out of range.";

struct IntCase {
    const char* name;
    const char* text;
    const char* thrown;  // "" when the text is accepted
    int stored;
};

const IntCase kDecimal[] = {
    {"empty text reads zero", "", "", 0},
    {"blank text reads zero", " \t ", "", 0},
    {"between blanks", " \t42 \t", "", 42},
    {"negative", "-17", "", -17},
    {"explicit plus", "+5", "", 5},
    {"leading zeros", "007", "", 7},
    {"zero", "0", "", 0},
    {"int max", "2147483647", "", INT_MAX},
    {"int min", "-2147483648", "", INT_MIN},
    {"saturates above 32 bits", "2147483648", "", INT_MAX},
    {"saturates below 32 bits", "-2147483649", "", INT_MIN},
    {"saturates beyond 64 bits", "99999999999999999999", "", INT_MAX},
    {"trailing letter", "42x", kInvalidInteger, 0},
    {"minus zero is not a zero text", "-0", kInvalidInteger, 0},
    {"plus zero is not a zero text", "+0", kInvalidInteger, 0},
    {"letters", "abc", kInvalidInteger, 0},
    {"two numbers", "4 2", kInvalidInteger, 0},
    {"hexadecimal prefix", "0x1A", kInvalidInteger, 0},
    {"decimal point", "1.5", kInvalidInteger, 0},
    {"sign alone", "-", kInvalidInteger, 0},
    {"newline after the number", "7\n", kInvalidInteger, 0},
};

TEST(SimpleScanf, DecimalTextsTable) {
    for (const IntCase& c : kDecimal) {
        SCOPED_TRACE(c.name);
        int out = 12345;
        int result = -1;
        EXPECT_EQ(c.thrown, ThrownText([&] { result = SimpleScanf(c.text, "%d", &out); }));
        if (*c.thrown == '\0') {
            EXPECT_EQ(1, result);
            EXPECT_EQ(c.stored, out);
        } else {
            EXPECT_EQ(12345, out) << "a refused text stores nothing";
        }
    }
}

TEST(SimpleScanf, LongSizeWritesAllEightBytes) {
    for (const IntCase& c : kDecimal) {
        if (*c.thrown != '\0') continue;
        SCOPED_TRACE(c.name);
        long out = 0x5555555555555555L;
        ASSERT_EQ(1, SimpleScanf(c.text, "%ld", &out));
        EXPECT_EQ(static_cast<long>(c.stored), out);
    }
}

struct ShortCase {
    const char* text;
    const char* thrown;
    short stored;
};

TEST(SimpleScanf, ShortSizeChecksTheSixteenBitRange) {
    const ShortCase cases[] = {
        {"-32768", "", SHRT_MIN}, {"32767", "", SHRT_MAX},  {"32768", kOutOfRange, 0},
        {"-32769", kOutOfRange, 0}, {"70000", kOutOfRange, 0}, {"3000000000", kOutOfRange, 0},
        {"12y", kInvalidInteger, 0},
    };
    for (const ShortCase& c : cases) {
        SCOPED_TRACE(c.text);
        short out[2] = {77, 77};  // the second one must never be written
        EXPECT_EQ(c.thrown, ThrownText([&] { SimpleScanf(c.text, "%sd", &out[0]); }));
        EXPECT_EQ(*c.thrown == '\0' ? c.stored : 77, out[0]);
        EXPECT_EQ(77, out[1]);
    }
}

struct DoubleCase {
    const char* text;
    const char* thrown;
    double stored;
};

TEST(SimpleScanf, FloatingTextsTableForEverySize) {
    const DoubleCase cases[] = {
        {"1.5e3", "", 1500.0},        {"", "", 0.0},
        {" -2.5\t", "", -2.5},        {"7", "", 7.0},
        {".5", "", 0.5},              {"0x10", "", 16.0},
        {"1.5.2", kInvalidFloat, 0},  {"abc", kInvalidFloat, 0},
        {"2,5", kInvalidFloat, 0},    {"1e", kInvalidFloat, 0},
        {"- 1", kInvalidFloat, 0},
    };
    for (const char* format : {"%f", "%lf", "%sf"}) {
        for (const DoubleCase& c : cases) {
            SCOPED_TRACE(std::string(format) + " " + c.text);
            double out = -99.0;
            int result = -1;
            EXPECT_EQ(c.thrown, ThrownText([&] { result = SimpleScanf(c.text, format, &out); }));
            EXPECT_EQ(*c.thrown == '\0' ? c.stored : -99.0, out);
            if (*c.thrown == '\0') {
                EXPECT_EQ(1, result);
            }
        }
    }
}

TEST(SimpleScanf, FloatingSpecialValuesFollowStrtod) {
    double out = 0;
    ASSERT_EQ(1, SimpleScanf("inf", "%f", &out));
    EXPECT_TRUE(std::isinf(out));
    ASSERT_EQ(1, SimpleScanf(" nan ", "%f", &out));
    EXPECT_TRUE(std::isnan(out));
    ASSERT_EQ(1, SimpleScanf("1e999", "%f", &out));
    EXPECT_TRUE(std::isinf(out));
}

struct UnsignedCase {
    const char* text;
    const char* thrown;
    unsigned long stored;
};

// "%u" reads the unsigned value and refuses every negative, non-numeric or trailing text with
// "Value should be unsigned integer.".
TEST(SimpleScanf, UnsignedReadsTheValue) {
    const UnsignedCase cases[] = {
        {"42", "", 42},
        {" 0 ", "", 0},
        {"", "", 0},
        {"+7", "", 7},
        {"4294967295", "", 4294967295UL},
        {"4294967296", "", 4294967295UL},  // saturated as the 32-bit strtoul did
        {"-1", kNotUnsigned, 0},
        {"-0", kNotUnsigned, 0},
        {" -5", kNotUnsigned, 0},
        {"+-5", kNotUnsigned, 0},
        {"12x", kNotUnsigned, 0},
        {"abc", kNotUnsigned, 0},
        {"+0", kNotUnsigned, 0},
    };
    for (const UnsignedCase& c : cases) {
        SCOPED_TRACE(c.text);
        unsigned int out = 999;
        unsigned long wide = 999;
        EXPECT_EQ(c.thrown, ThrownText([&] { SimpleScanf(c.text, "%u", &out); }));
        EXPECT_EQ(c.thrown, ThrownText([&] { SimpleScanf(c.text, "%lu", &wide); }));
        EXPECT_EQ(*c.thrown == '\0' ? c.stored : 999u, out);
        EXPECT_EQ(*c.thrown == '\0' ? c.stored : 999u, wide);
    }
    unsigned short small = 1;
    EXPECT_EQ(kOutOfRange, ThrownText([&] { SimpleScanf("65536", "%su", &small); }));
    ASSERT_EQ(1, SimpleScanf("65535", "%su", &small));
    EXPECT_EQ(65535, small);
}

TEST(SimpleScanf, NullOutputChecksTheTextAndStoresNothing) {
    EXPECT_EQ(0, SimpleScanf("12", "%d", nullptr));
    EXPECT_EQ(kInvalidInteger, ThrownText([] { SimpleScanf("12z", "%d", nullptr); }));
    EXPECT_EQ(0, SimpleScanf("1.5", "%f", nullptr));
}

struct MisuseCase {
    const char* name;
    const char* text;
    const char* format;
    long line;
};

TEST(SimpleScanf, MisuseIsReportedAtItsSiteAndStoresNothing) {
    const MisuseCase cases[] = {
        {"null text", nullptr, "%d", 93},      {"null format", "1", nullptr, 94},
        {"no percent", "1", "d", 96},          {"empty format", "1", "", 96},
        {"unknown letter", "1", "%x", 109},    {"letter missing", "1", "%", 109},
        {"size letter alone", "1", "%l", 109}, {"two size letters", "1", "%lld", 109},
        {"size after letter", "1", "%dl", 110}, {"text after letter", "1", "%d ", 110},
    };
    for (const MisuseCase& c : cases) {
        SCOPED_TRACE(c.name);
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
