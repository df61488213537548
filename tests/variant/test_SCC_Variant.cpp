#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

#include "SCC_Convertor.h"
#include "SCC_Variant.h"
#include "SYS_Exception.h"
#include "tessar_reports.h"
#include "tests/variant/variant_test_support.h"

namespace {

const char kOutOfRange[] = "Value out of range.";
const char kInvalidFloat[] = "Invalid floating point format.";

std::string Text(const SCC_Variant& v) { return static_cast<const char*>(SYS_String(v)); }

TEST(SCC_Variant, ConstructorsGiveTheirTypes) {
    EXPECT_EQ(SCC_Variant::VT_EMPTY, SCC_Variant().GetType());
    EXPECT_TRUE(SCC_Variant().IsEmpty());
    EXPECT_EQ(SCC_Variant::VT_INT, SCC_Variant(7).GetType());
    EXPECT_EQ(SCC_Variant::VT_INT, SCC_Variant(-7L).GetType());
    EXPECT_EQ(SCC_Variant::VT_DOUBLE, SCC_Variant(0.5).GetType());
    EXPECT_EQ(SCC_Variant::VT_STRING, SCC_Variant("x").GetType());
    EXPECT_EQ(SCC_Variant::VT_STRING, SCC_Variant(SYS_String("x")).GetType());
    EXPECT_EQ("", Text(SCC_Variant(static_cast<const char*>(nullptr))));
}

// A long that an int cannot hold keeps its value as a double instead of wrapping.
TEST(SCC_Variant, LongBeyondThirtyTwoBitsIsHeldAsDouble) {
    SCC_Variant big(3000000000L);
    EXPECT_EQ(SCC_Variant::VT_DOUBLE, big.GetType());
    EXPECT_EQ("3000000000.", Text(big));
    EXPECT_EQ(kOutOfRange, ThrownText([&] { (void)long(big); }));
    EXPECT_EQ(SCC_Variant::VT_INT, SCC_Variant(long(INT_MIN)).GetType());
    EXPECT_EQ(INT_MIN, int(SCC_Variant(long(INT_MIN))));
}

struct LongCase {
    const char* name;
    SCC_Variant value;
    const char* thrown;
    long expected;
};

TEST(SCC_Variant, ConversionToLongTable) {
    const LongCase cases[] = {
        {"int", SCC_Variant(-12), "", -12},
        {"empty", SCC_Variant(), "", 0},
        {"double truncates toward zero", SCC_Variant(-2.7), "", -2},
        {"positive truncation", SCC_Variant(2.999), "", 2},
        {"upper bound inclusive", SCC_Variant(2147483647.0), "", 2147483647L},
        {"lower bound inclusive", SCC_Variant(-2147483648.0), "", -2147483648L},
        {"just above the range", SCC_Variant(2147483647.5), kOutOfRange, 0},
        {"3e9", SCC_Variant(3e9), kOutOfRange, 0},
        {"below the range", SCC_Variant(-2147483648.5), kOutOfRange, 0},
        {"nan", SCC_Variant(std::nan("")), kOutOfRange, 0},
        {"text", SCC_Variant(" 12.9 "), "", 12},
        {"text out of range", SCC_Variant("1e10"), kOutOfRange, 0},
        {"text not a number", SCC_Variant("12 apples"), kInvalidFloat, 0},
    };
    for (const LongCase& c : cases) {
        SCOPED_TRACE(c.name);
        long asLong = -1;
        int asInt = -1;
        EXPECT_EQ(c.thrown, ThrownText([&] { asLong = long(c.value); }));
        EXPECT_EQ(c.thrown, ThrownText([&] { asInt = int(c.value); }));
        if (*c.thrown == '\0') {
            EXPECT_EQ(c.expected, asLong);
            EXPECT_EQ(c.expected, asInt);
        }
    }
}

TEST(SCC_Variant, ConversionToDouble) {
    EXPECT_EQ(-3.0, double(SCC_Variant(-3)));
    EXPECT_EQ(0.25, double(SCC_Variant(0.25)));
    EXPECT_EQ(1500.0, double(SCC_Variant("1.5e3")));
    EXPECT_EQ(0.0, double(SCC_Variant()));
    EXPECT_EQ(kInvalidFloat, ThrownText([] { (void)double(SCC_Variant("1.5.2")); }));
}

struct TextCase {
    SCC_Variant value;
    const char* text;
};

TEST(SCC_Variant, ConversionToTextKeepsThePoint) {
    const TextCase cases[] = {
        {SCC_Variant(0.0), "0."},          {SCC_Variant(-1.25), "-1.25"},
        {SCC_Variant(3.0), "3."},          {SCC_Variant(2.5), "2.5"},
        {SCC_Variant(100.0), "100."},      {SCC_Variant(1e-7), "0."},
        {SCC_Variant(0.1234567), "0.123457"}, {SCC_Variant(-7), "-7"},
        {SCC_Variant(0), "0"},             {SCC_Variant("007"), "007"},
        {SCC_Variant(), ""},               {SCC_Variant(INFINITY), "inf"},
    };
    for (const TextCase& c : cases) EXPECT_EQ(c.text, Text(c.value));
}

struct EqualCase {
    const char* name;
    SCC_Variant a;
    SCC_Variant b;
    int equal;
};

TEST(SCC_Variant, EqualityInTheSuperiorTypeTable) {
    const EqualCase cases[] = {
        {"int and its text", SCC_Variant(5), SCC_Variant("5"), 1},
        {"double and its text", SCC_Variant(2.5), SCC_Variant("2.5"), 1},
        {"whole double and text with point", SCC_Variant(3.0), SCC_Variant("3."), 1},
        {"whole double and text without point", SCC_Variant(3.0), SCC_Variant("3"), 0},
        {"empty and int zero", SCC_Variant(), SCC_Variant(0), 0},
        {"empty and empty text", SCC_Variant(), SCC_Variant(""), 0},
        {"two empties", SCC_Variant(), SCC_Variant(), 1},
        {"int and equal double", SCC_Variant(2), SCC_Variant(2.0), 1},
        {"int and other double", SCC_Variant(2), SCC_Variant(2.5), 0},
        {"equal texts", SCC_Variant("ab"), SCC_Variant("ab"), 1},
        {"texts of one number", SCC_Variant("5"), SCC_Variant("05"), 0},
        {"texts differing in case", SCC_Variant("ab"), SCC_Variant("AB"), 0},
        {"nan is neither less nor greater", SCC_Variant(std::nan("")), SCC_Variant(1.0), 1},
        {"ints", SCC_Variant(-1), SCC_Variant(1), 0},
        {"text that is no number", SCC_Variant(1), SCC_Variant("one"), 0},
    };
    for (const EqualCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.equal, c.a == c.b);
        EXPECT_EQ(c.equal, c.b == c.a);  // symmetric
        EXPECT_EQ(!c.equal, c.a != c.b);
    }
}

TEST(SCC_Variant, AssignmentTakesTypeAndValue) {
    const SCC_Variant sources[] = {SCC_Variant(4), SCC_Variant(-0.5), SCC_Variant("t"),
                                   SCC_Variant()};
    for (const SCC_Variant& source : sources) {
        SCC_Variant target("old text");
        target = source;
        EXPECT_EQ(source.GetType(), target.GetType());
        EXPECT_TRUE(target == source);
        EXPECT_EQ(Text(source), Text(target));  // no leftover of the old text
    }
}

// Clearing before reading the source would empty a variant assigned to itself.
TEST(SCC_Variant, SelfAssignmentKeepsTheValue) {
    SCC_Variant values[] = {SCC_Variant(9), SCC_Variant(1.5), SCC_Variant("self")};
    for (SCC_Variant& v : values) {
        SCC_Variant& alias = v;
        SCC_Variant before(v);
        v = alias;
        EXPECT_EQ(before.GetType(), v.GetType());
        EXPECT_EQ(Text(before), Text(v));
    }
}

TEST(SCC_Variant, CopiesAreIndependentAndClearEmpties) {
    SCC_Variant a("shared?");
    SCC_Variant b(a);
    a.Clear();
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ("", Text(a));
    EXPECT_EQ("shared?", Text(b));
    EXPECT_EQ(0, long(a));
}

// Converts base units (1/1,500 micron) to millimetres and back.
class MillimetreConvertor : public SCC_Convertor {
public:
    SCC_Variant Convert(SCC_Variant value, int direction) override {
        return direction == 1 ? SCC_Variant(double(value) / 1500000.0)
                              : SCC_Variant(double(value) * 1500000.0);
    }
};

struct ValidateCase {
    const char* name;
    SCC_Variant value;
    const char* validation;
    bool withConvertor;
    int valid;
    const char* message;  // what an invalid value leaves in the variant
};

TEST(SCC_Variant, ValidateTable) {
    const ValidateCase cases[] = {
        {"low bound included", SCC_Variant(0), "[0,10)", false, 1, ""},
        {"high bound excluded", SCC_Variant(10), "[0,10)", false, 0,
         "Please enter a value within the [0.000000,10.000000) range."},
        {"below", SCC_Variant(-0.5), "[0,10)", false, 0,
         "Please enter a value within the [0.000000,10.000000) range."},
        {"open low bound", SCC_Variant(0), "(0,10]", false, 0,
         "Please enter a value within the (0.000000,10.000000] range."},
        {"closed high bound", SCC_Variant(10), "(0,10]", false, 1, ""},
        {"blanks in the range", SCC_Variant(5), "( 0 , 10 )", false, 1, ""},
        {"text value in range", SCC_Variant("2.5"), "[1,3]", false, 1, ""},
        {"length reached", SCC_Variant("hello"), "5", false, 1, ""},
        {"length exceeded", SCC_Variant("hello!"), "5", false, 0, ""},
        {"empty validation", SCC_Variant(1e300), "", false, 1, ""},
        {"empty value", SCC_Variant(), "[0,1]", false, 1, ""},
        {"empty value, length", SCC_Variant(), "0", false, 1, ""},
        // 30 mm in base units against a range in millimetres; the bounds shown in base units.
        {"converted units", SCC_Variant(45000000), "#[0,25]", true, 0,
         "Please enter a value within the [0.000000,37500000.000000] range."},
        {"converted units, in range", SCC_Variant(30000000), "#[0,25]", true, 1, ""},
        {"stored units with a convertor", SCC_Variant(30000000), "[0,25]", true, 0,
         "Please enter a value within the [0.000000,25.000000] range."},
        {"converted units without convertor", SCC_Variant(20), "#[0,25]", false, 1, ""},
    };
    for (const ValidateCase& c : cases) {
        SCOPED_TRACE(c.name);
        tessar_test::ScopedReportRecorder recorder;
        MillimetreConvertor millimetres;
        SCC_Variant v(c.value);
        EXPECT_EQ(c.valid, v.Validate(c.validation, c.withConvertor ? &millimetres : nullptr));
        EXPECT_TRUE(recorder.Reports().empty());
        if (*c.message != '\0') {
            EXPECT_EQ(SCC_Variant::VT_STRING, v.GetType());
            EXPECT_EQ(c.message, Text(v));
        } else {
            EXPECT_EQ(c.value.GetType(), v.GetType()) << "a value that passes is kept";
        }
    }
}

// The designed const operation writes its message into the variant: defined even when const.
TEST(SCC_Variant, ValidateWritesItsMessageIntoAConstVariant) {
    const SCC_Variant v(11);
    EXPECT_EQ(0, v.Validate("[0,10]", nullptr));
    EXPECT_EQ("Please enter a value within the [0.000000,10.000000] range.", Text(v));
}

TEST(SCC_Variant, ValidateOfATextThatIsNoNumberThrows) {
    SCC_Variant v("ten");
    EXPECT_EQ(kInvalidFloat, ThrownText([&] { v.Validate("[0,10]", nullptr); }));
    EXPECT_EQ("ten", Text(v));
}

struct BadValidationCase {
    const char* name;
    SCC_Variant value;
    const char* validation;
    long line;
    int valid;
};

TEST(SCC_Variant, MalformedValidationIsReportedAndGoesOn) {
    const BadValidationCase cases[] = {
        {"braces bound nothing", SCC_Variant(50), "{0,10}", 289, 1},
        {"bad closing only", SCC_Variant(-1), "[0,10>", 289, 0},
        {"length for an int", SCC_Variant(123456), "3", 303, 1},
        {"no number", SCC_Variant("abc"), "abc", 303, 0},
        {"no number, empty text", SCC_Variant(""), "x", 303, 1},
        {"hash alone", SCC_Variant("a"), "#", 303, 0},
    };
    for (const BadValidationCase& c : cases) {
        SCOPED_TRACE(c.name);
        tessar_test::ScopedReportRecorder recorder;
        SCC_Variant v(c.value);
        EXPECT_EQ(c.valid, v.Validate(c.validation, nullptr));
        ASSERT_EQ(1u, recorder.Reports().size());
        EXPECT_EQ((tessar_test::Report{"Invalid validation string", "scc/SCC_Variant", c.line, 0}),
                  recorder.Reports()[0]);
    }
}

}  // namespace
