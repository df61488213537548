#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

#include "SCC_Convertor.h"
#include "SCC_Variant.h"
#include "tessar_reports.h"
#include "tests/variant/variant_test_support.h"

namespace {

const char kRange[] = "Value out of range.";
const char kFloat[] = "Invalid floating point format.";

std::string Text(const SCC_Variant& v) { return static_cast<const char*>(SYS_String(v)); }

TEST(SCC_Variant, ConversionToLongAndInt) {
    const struct {
        SCC_Variant value;
        const char* thrown;
        long expected;
    } cases[] = {
        {SCC_Variant(-12), "", -12},           {SCC_Variant(), "", 0},
        {SCC_Variant(-2.7), "", -2},           {SCC_Variant(2147483647.0), "", INT_MAX},
        {SCC_Variant(2147483647.5), kRange, 0},    {SCC_Variant(-2147483648.5), kRange, 0},
        {SCC_Variant(std::nan("")), kRange, 0},    {SCC_Variant(" 12.9 "), "", 12},
        {SCC_Variant("1e10"), kRange, 0},      {SCC_Variant("12 apples"), kFloat, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Text(c.value));
        long asLong = -1;
        int asInt = -1;
        EXPECT_EQ(c.thrown, ThrownText([&] { asLong = long(c.value); }));
        EXPECT_EQ(c.thrown, ThrownText([&] { asInt = int(c.value); }));
        EXPECT_EQ(*c.thrown == '\0' ? c.expected : -1, asLong);
        EXPECT_EQ(*c.thrown == '\0' ? c.expected : -1, asInt);
    }
    EXPECT_EQ(1500.0, double(SCC_Variant("1.5e3")));
    EXPECT_EQ(kFloat, ThrownText([] { (void)double(SCC_Variant("1.5.2")); }));
    // A long that an int cannot hold keeps its value as a double instead of wrapping.
    SCC_Variant big(3000000000L);
    EXPECT_EQ(SCC_Variant::VT_DOUBLE, big.GetType());
    EXPECT_EQ("3000000000.", Text(big));
    EXPECT_EQ(kRange, ThrownText([&] { (void)long(big); }));
    EXPECT_EQ(SCC_Variant::VT_INT, SCC_Variant(long(INT_MIN)).GetType());
}

TEST(SCC_Variant, EqualityInTheSuperiorType) {
    const struct {
        SCC_Variant a, b;
        int equal;
    } cases[] = {
        {SCC_Variant(5), SCC_Variant("5"), 1},       {SCC_Variant(3.0), SCC_Variant("3."), 1},
        {SCC_Variant(3.0), SCC_Variant("3"), 0},     {SCC_Variant(), SCC_Variant(0), 0},
        {SCC_Variant(), SCC_Variant(), 1},           {SCC_Variant(2), SCC_Variant(2.5), 0},
        {SCC_Variant("5"), SCC_Variant("05"), 0},
        {SCC_Variant(std::nan("")), SCC_Variant(1.0), 1},  // neither less nor greater
        {SCC_Variant(1), SCC_Variant("one"), 0},     // compared as texts: never throws
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Text(c.a) + " vs " + Text(c.b));
        EXPECT_EQ(c.equal, c.a == c.b);
        EXPECT_EQ(!c.equal, c.b != c.a);
    }
}

TEST(SCC_Variant, AssignmentTakesTypeAndValueAndSelfAssignmentKeepsIt) {
    for (const SCC_Variant& source :
         {SCC_Variant(4), SCC_Variant(-0.5), SCC_Variant("t"), SCC_Variant()}) {
        SCC_Variant target("old text");
        target = source;
        EXPECT_EQ(source.GetType(), target.GetType());
        EXPECT_EQ(Text(source), Text(target));  // no leftover of the old text
        SCC_Variant& alias = target;
        target = alias;  // clearing before reading would empty it
        EXPECT_EQ(source.GetType(), target.GetType());
        EXPECT_EQ(Text(source), Text(target));
    }
}

// Converts base units (1/1,500 micron) to millimetres and back.
class MillimetreConvertor : public SCC_Convertor {
public:
    SCC_Variant Convert(SCC_Variant value, int direction) override {
        return SCC_Variant(direction == 1 ? double(value) / 1.5e6 : double(value) * 1.5e6);
    }
};

// A malformed validation text is reported at its site and validation goes on as it can.
TEST(SCC_Variant, Validate) {
    const char kTo10[] = "Please enter a value within the [0.000000,10.000000) range.";
    const struct {
        SCC_Variant value;
        const char* validation;
        bool withConvertor;
        int valid;
        const char* message;  // what an invalid range leaves in the variant
        long reportLine;      // of "Invalid validation string", 0 for none
    } cases[] = {
        {SCC_Variant(0), "[0,10)", false, 1, "", 0},
        {SCC_Variant(10), "[0,10)", false, 0, kTo10, 0},
        {SCC_Variant(0), "(0,10]", false, 0, "Please enter a value within the (0.000000,10.000000] range.", 0},
        {SCC_Variant("10"), "( 0 , 10 ]", false, 1, "", 0},
        {SCC_Variant("hello"), "5", false, 1, "", 0},
        {SCC_Variant("hello!"), "5", false, 0, "", 0},
        {SCC_Variant(), "[0,1]", false, 1, "", 0},
        // 30 mm in base units against a range in millimetres; the bounds shown in base units.
        {SCC_Variant(45000000), "#[1,25]", true, 0, "Please enter a value within the [1500000.000000,37500000.000000] range.", 0},
        {SCC_Variant(30000000), "[0,25]", true, 0, "Please enter a value within the [0.000000,25.000000] range.", 0},
        {SCC_Variant(50), "{0,10}", false, 1, "", 289},
        {SCC_Variant(-1), "[0,10>", false, 0, "Please enter a value within the [0.000000,10.000000> range.", 289},
        {SCC_Variant(123456), "3", false, 1, "", 303},
        {SCC_Variant("a"), "#", false, 0, "", 303},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Text(c.value) + " in " + c.validation);
        tessar_test::ScopedReportRecorder recorder;
        MillimetreConvertor millimetres;
        const SCC_Variant v(c.value);  // the message is written even into a const variant
        EXPECT_EQ(c.valid, v.Validate(c.validation, c.withConvertor ? &millimetres : nullptr));
        EXPECT_EQ(*c.message ? SCC_Variant::VT_STRING : c.value.GetType(), v.GetType());
        EXPECT_EQ(*c.message ? c.message : Text(c.value), Text(v));
        if (c.reportLine == 0) {
            EXPECT_TRUE(recorder.Reports().empty());
            continue;
        }
        ASSERT_EQ(1u, recorder.Reports().size());
        EXPECT_EQ((tessar_test::Report{"Invalid validation string", "scc/SCC_Variant", c.reportLine, 0}),
                  recorder.Reports()[0]);
    }
    SCC_Variant text("ten");
    EXPECT_EQ(kFloat, ThrownText([&] { text.Validate("[0,10]", nullptr); }));
}

}  // namespace
