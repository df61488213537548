#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "SYS_Convert.h"
#include "sys/sysconv_grid.h"
#include "tessar_locale.h"
#include "tessar_reports.h"

namespace {

using tessar_test::ScopedReportRecorder;

constexpr SYS_UnitType kMils = SYS_UnitMils;
constexpr SYS_UnitType kMm = SYS_UnitMillimeters;
constexpr SYS_UnitType kInches = SYS_UnitInches;
constexpr SYS_UnitType kMicrons = SYS_UnitMicrons;
const SYS_UnitType kBadType = static_cast<SYS_UnitType>(7);

// The oracle of every formatting function: "%.*f", then trailing zeros and a last point off.
std::string Printf(double value, int precision, bool trim) {
    char text[2048];
    std::snprintf(text, sizeof text, "%.*f", precision, value);
    std::string s(text);
    if (trim && s.find('.') != std::string::npos) {
        s.erase(s.find_last_not_of('0') + 1);
        if (s.back() == '.') s.pop_back();
    }
    return s;
}

std::string Str(const SYS_String& s) { return std::string(static_cast<const char*>(s)); }

void ExpectReports(ScopedReportRecorder& recorder, const char* message, size_t count) {
    const auto reports = recorder.Take();
    ASSERT_EQ(count, reports.size());
    for (const auto& report : reports) {
        EXPECT_EQ(message, report.message);
        EXPECT_EQ("sys/sysconv", report.unit);
        EXPECT_EQ(0, report.type);
        EXPECT_GT(report.line, 0);
    }
}

TEST(SYS_Convert, UnitNamesComeFromTheStringTableInTheEnumeratorsOrder) {
    SYS_Convert::UnitTypeObj units;
    EXPECT_EQ(kMils, units.GetType());  // no current handle: the fallback record
    EXPECT_TRUE(units.GetName().IsEmpty());
    std::string seen;
    SYS_Convert c(12);  // the int is not used: mils
    for (units.GetFirst(nullptr); units.IsValid(); units.GetNext()) {
        EXPECT_EQ(units.GetHandle() - 1, units.GetType());
        c.SetUnitType(units.GetType());
        EXPECT_EQ(Str(units.GetName()), Str(c.GetUnitName()));
        seen += Str(units.GetName()) + ";";
    }
    EXPECT_EQ("Mils;Millimeters;Inches;Microns;", seen);
    units.SetHandle(5, nullptr);
    EXPECT_EQ(kMils, units.GetType());
    EXPECT_TRUE(units.GetName().IsEmpty());
}

TEST(SYS_Convert, BadUnitTypeAndOverflowAreReported) {
    ScopedReportRecorder recorder;
    SYS_Convert c(kMm);
    c.SetUnitType(kBadType);
    ExpectReports(recorder, "Bad unit type value", 1);
    EXPECT_EQ(kBadType, c.GetUnitType());
    EXPECT_TRUE(c.GetUnitName().IsEmpty());
    ExpectReports(recorder, "", 0);  // the current unit's name does not report
    EXPECT_TRUE(c.GetUnitName(kBadType).IsEmpty());
    EXPECT_TRUE(c.GetUnitName(static_cast<SYS_UnitType>(-1)).IsEmpty());
    ExpectReports(recorder, "Bad unit type value", 2);

    EXPECT_EQ(0, c.User2Base(5.0));
    EXPECT_EQ(0.0, c.User2BaseDouble(1e308));
    c.SetUnitPrecision(4);  // no precision to set
    EXPECT_EQ(0, c.GetUnitPrecision());
    EXPECT_EQ("0", Str(c.Base2Str(123456L)));
    long base = 99;
    EXPECT_EQ(1, c.Str2Base("3", &base));
    EXPECT_EQ(0, base);
    ExpectReports(recorder, "", 0);
    c.SetUnitType(kMicrons);  // back to a good type: its precision was kept
    EXPECT_EQ(2, c.GetUnitPrecision());

    // Rounding is half away from zero; a value beyond 32 bits gives the overflow mark as a
    // long and a report as a double.
    EXPECT_EQ(-2, c.User2Base(-0.001));  // -1.5 base units
    EXPECT_EQ(SYS_Convert::kOverflowMark, SYS_Convert(kMils).User2Base(56364.41));
    EXPECT_EQ(-INFINITY, SYS_Convert(kInches).User2BaseDouble(-1e301));
    ExpectReports(recorder, "Overflow in User2BaseDouble()", 1);
}

TEST(SYS_Convert, FormatsTheUnitTexts) {
    struct Row {
        const char* name;
        SYS_UnitType type;
        int trim;
        long value;
        const char* expected;
    };
    const Row rows[] = {
        {"mil, untrimmed", kMils, 0, 38100, "1.00"},
        {"mm, untrimmed", kMm, 0, 1500000, "1.00000"},
        {"negative", kInches, 1, -19050000, "-0.5"},
        {"rounds to a negative zero", kMils, 1, -1, "-0"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SYS_Convert c(row.type);
        c.SetZeroTrimMode(row.trim);
        EXPECT_EQ(row.expected, Str(c.Base2Str(row.value)));
        EXPECT_EQ(row.expected, Str(c.Measure2Str(double(row.value))));
        EXPECT_EQ(row.expected, Str(c.Measure2String(row.value)));
        char buffer[64] = "garbage";
        EXPECT_STREQ(row.expected, c.Base2Str(buffer, double(row.value)));
    }
}

TEST(SYS_Convert, CoordinatesAreRelativeToTheOrigin) {
    SYS_Convert c(SYS_Point(38100, -76200));  // in mils
    EXPECT_EQ("-1", Str(c.CoordX2Str(0.0)));
    EXPECT_EQ("2", Str(c.CoordY2Str(0L)));
    EXPECT_EQ("x=3", Str(c.CoordX2String("x=", 152400L)));
    EXPECT_EQ("y=3", Str(c.CoordY2String("y=", 38100L)));
    EXPECT_EQ("4", Str(c.CoordX2String(190500L)));
    EXPECT_EQ("3", Str(c.CoordY2String(38100L)));
    EXPECT_EQ("(0.5,2.5)", Str(c.Point2Str(SYS_DoublePoint(57150.0, 19050.0))));
    EXPECT_EQ("at (1,1)", Str(c.Point2String("at ", SYS_Point(76200, -38100))));
    EXPECT_EQ("(1,1)", Str(c.Point2String(SYS_Point(76200, -38100))));
    EXPECT_EQ("len 2", Str(c.Measure2String("len ", 76200L)));
    // The difference of two longs is exact, beyond 32 bits too.
    SYS_Convert microns(kMicrons, SYS_Point(-2147483647 - 1, 0));
    EXPECT_EQ("2863311.53", Str(microns.CoordX2Str(2147483647L)));
}

TEST(SYS_Convert, AnglesHaveTheirOwnPrecision) {
    SYS_Convert c(kMm);
    EXPECT_EQ(3, c.GetAnglePrecision());
    EXPECT_EQ("-45.5", Str(c.Angle2Str(-81900000L)));
    EXPECT_EQ("0", Str(c.Angle2Str(899L)));  // 0.0004995 degrees
    c.SetZeroTrimMode(0);
    EXPECT_EQ("90.000", Str(c.Angle2Str(162000000L)));
    char buffer[64];
    EXPECT_STREQ("90.000", c.Angle2Str(buffer, 162000000L));
    // Precisions beyond the process-wide buffer still give the whole text.
    c.SetAnglePrecision(70);
    EXPECT_EQ(Printf(2147483647 * 5.555555555555555e-7, 70, false), Str(c.Angle2Str(2147483647L)));
    EXPECT_EQ(5, c.GetUnitPrecision());  // the angle precision is separate from the unit's
    c.SetAnglePrecision(-3);  // negative: six digits, as "%.*f" takes it
    EXPECT_EQ("90.000000", Str(c.Angle2Str(162000000L)));
}

// Extreme doubles and precisions beyond any stack buffer format as "%.*f" does; trimmed texts
// end at the last digit a double can have, however large the precision.
TEST(SYS_Convert, ExtremeValuesAndPrecisionsFormatAsPrintf) {
    SYS_Convert c(kMicrons);
    c.SetZeroTrimMode(0);
    c.SetUnitPrecision(1100);
    std::string buffer(313 + 1100, 'x');  // sign, 309 digits, point, precision, terminator
    EXPECT_STREQ(Printf(-DBL_MAX / 1500, 1100, false).c_str(), c.Base2Str(&buffer[0], -DBL_MAX));
    EXPECT_EQ(Printf(NAN, 1100, false), Str(c.Base2Str(double(NAN))));
    c.SetZeroTrimMode(1);
    c.SetUnitPrecision(INT_MAX);
    c.SetAnglePrecision(INT_MAX);
    EXPECT_EQ(Printf(1.0 / 1500, 1074, true), Str(c.Base2Str(1L)));
    EXPECT_EQ(Printf(7 * 5.555555555555555e-7, 1074, true), Str(c.Angle2Str(7L)));
    EXPECT_STREQ(Printf(1.0 / 1500, 1074, true).c_str(), c.Base2Str(&buffer[0], 1L));
}

// A locale whose decimal point is a comma: the installed one, or one compiled for this run into
// a private directory (setlocale reads LOCPATH on every call). Empty when neither is possible.
std::string CommaLocale() {
    const char* name = "de_DE.UTF-8";
    if (ScopedLocale(name).IsActive()) return name;
    static const std::string dir = ::testing::TempDir() + "tessar_locales";
    const std::string make = "mkdir -p '" + dir + "' && localedef -i de_DE -f UTF-8 '" + dir +
                             "/" + name + "' >/dev/null 2>&1";
    static const bool made = std::system(make.c_str()) == 0;
    if (!made) return "";
    setenv("LOCPATH", dir.c_str(), 1);  // until the end of the test, see the test's guard
    return name;
}

struct LocPathGuard {
    ~LocPathGuard() { unsetenv("LOCPATH"); }
};

TEST(SYS_Convert, FormattingFollowsTheLocalesDecimalPoint) {
    LocPathGuard guard;
    const std::string name = CommaLocale();
    if (name.empty()) GTEST_SKIP() << "no locale with a decimal comma";
    ScopedLocale locale(name.c_str());
    ASSERT_TRUE(locale.IsActive());
    SYS_Convert c(kMm);
    EXPECT_EQ("1,50000", Str(c.Base2Str(2250000L)));  // no '.', so nothing is trimmed
    char buffer[64];
    EXPECT_STREQ("-0,50000", SYS_Convert(kInches).Base2Str(buffer, -19050000L));
    c.SetZeroTrimMode(0);
    EXPECT_EQ("90,000", Str(c.Angle2Str(162000000L)));
    double v = 0;
    EXPECT_EQ(1, SYS_Convert::Str2Double("2,5", &v));
    EXPECT_EQ(2.5, v);
}

TEST(SYS_Convert, TrimStrNumberEditsInPlace) {
    const char* const rows[][2] = {
        {"1.500", "1.5"}, {"1.000", "1"}, {"100", "100"}, {".0", ""}, {"", ""}};
    for (const auto& row : rows) {
        std::string text = row[0];
        SYS_Convert::TrimStrNumber(text.c_str());
        EXPECT_STREQ(row[1], text.c_str()) << row[0];
    }
    SYS_Convert::TrimStrNumber(nullptr);
}

TEST(SYS_Convert, ParsersRefuseNullArguments) {
    const SYS_Convert c;
    double d;
    long l;
    const int results[] = {
        SYS_Convert::Str2Double(nullptr, &d), SYS_Convert::Str2Long(nullptr, &l),
        SYS_Convert::Str2Double("1", nullptr), SYS_Convert::Str2Long("1", nullptr),
        c.Str2Base("1", static_cast<long*>(nullptr)), c.Str2Base("1", static_cast<double*>(nullptr)),
        c.Str2Measure("1", static_cast<long*>(nullptr)),
        c.Str2Measure(nullptr, &d), c.Str2CoordX("1", static_cast<long*>(nullptr)),
        c.Str2CoordY("1", static_cast<double*>(nullptr)), SYS_Convert::Str2Angle("1", nullptr),
        SYS_Convert::Str2Angle(nullptr, &l)};
    for (int result : results) EXPECT_EQ(0, result);
}

// Measures and coordinates take lengths >= 0 only (the fuzzer checks every text of every
// parser against strtod); a refusal leaves the destination as it was.
TEST(SYS_Convert, MeasuresAndCoordinatesRefuseNegativeNumbers) {
    const SYS_Convert mils(kMils, SYS_Point(1000, -500)), in(kInches);
    long l = -1;
    double d = -1;
    EXPECT_EQ(0, in.Str2Measure("57", &l));  // beyond 32 bits: refused, not stored as the mark
    EXPECT_EQ(-1, l);
    EXPECT_EQ(0, mils.Str2CoordX("-0.5", &d));
    EXPECT_EQ(1, mils.Str2CoordY("", &l));
    EXPECT_EQ(-500, l);
    // A coordinate beyond 32 bits is formed exactly.
    const SYS_Convert far(kMils, SYS_Point(2147483647, 0));
    EXPECT_EQ(1, far.Str2CoordX("56364.4", &l));
    EXPECT_EQ(2147483647L + 2147483640L, l);
}

TEST(SYS_Convert, GridAlignmentGoesToTheNearestMultiple) {
    // The routing grid is one base unit: every value and point is on it.
    EXPECT_EQ(1, SYS_Convert::GetMinRoutingGrid());
    EXPECT_EQ(-2147483648L, SYS_Convert::AlignToMinRoutingGrid(-2147483648L));
    EXPECT_EQ(1, SYS_Convert::IsAlignedToMinRoutingGrid(7L));
    const SYS_Point p(-3, 5);
    EXPECT_TRUE(SYS_Convert::AlignToMinRoutingGrid(p) == p);
    EXPECT_EQ(1, SYS_Convert::IsAlignedToMinRoutingGrid(p));
    struct Row {
        long v, grid, expected;
    };
    const Row rows[] = {
        {8, 4, 8}, {9, 4, 8}, {10, 4, 12}, {-9, 4, -8}, {-10, 4, -12},
        {7, 5, 10}, {-7, 5, -10}, {6, 5, 5}, {-6, 5, -5}, {3, 1, 3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.v) + " on " + std::to_string(row.grid));
        EXPECT_EQ(row.expected, SYS_AlignToGrid(row.v, row.grid));
        EXPECT_EQ(row.v == row.expected, SYS_IsAlignedToGrid(row.v, row.grid));
    }
}

}  // namespace
