// tessar units: converts board lengths and angles with SYS_Convert's own parsing and formatting.
#include <strings.h>

#include <cerrno>
#include <cmath>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "SYS_Convert.h"
#include "tessar_cli.h"

namespace {

const char kUsage[] =
    "usage: tessar units VALUE [--from UNIT] [--to UNIT] [--precision N] [--no-trim]\n"
    "       tessar units --angle DEGREES [--precision N] [--no-trim]\n"
    "\n"
    "Converts a length between user units and the board's base units (1/1,500 micron), as\n"
    "the library parses and shows them. VALUE is read in the --from unit (default mils) and\n"
    "must lie on the board: at most 1,066,800,000 base units (28 inches) either way. Without\n"
    "--to every unit is shown; with --to only the number in that unit is printed.\n"
    "\n"
    "  --from UNIT     unit of VALUE\n"
    "  --to UNIT       unit to print\n"
    "  --precision N   digits after the point (default: the unit's own, 3 for angles)\n"
    "  --no-trim       keep trailing zeros\n"
    "  --angle DEG     print the angle in the library's angle units (1,800,000 per degree)\n"
    "                  and back in degrees\n"
    "\n"
    "UNIT: Mils, Millimeters, Inches, Microns (any case), or mil, mm, in, um, base.\n"
    "Exit status: 0 on success, 2 when a value is refused or the command line is wrong.\n";

// A unit of the command: one of SYS_Convert's, or the base unit itself.
constexpr int kBaseUnit = -1;

struct UnitsOptions {
    const char* value = nullptr;
    const char* angle = nullptr;
    int from = SYS_UnitMils;
    int to = kBaseUnit - 1;  // none: show every unit
    int precision = INT_MIN;  // none: the unit's default
    bool trim = true;
};

int Fail(const std::string& message) {
    std::fprintf(stderr, "tessar units: %s\n", message.c_str());
    return 2;
}

// Prints the message; false, for the readers below.
bool Refuse(const std::string& message) {
    Fail(message);
    return false;
}

bool SameWord(const char* a, const char* b) { return strcasecmp(a, b) == 0; }

// The unit named by text, or kBaseUnit - 1 when the name is unknown.
int ParseUnit(const char* text) {
    static const char* const kShort[] = {"mil", "mm", "in", "um"};
    SYS_Convert::UnitTypeObj units;
    for (units.GetFirst(nullptr); units.IsValid(); units.GetNext()) {
        const int type = units.GetType();
        if (SameWord(text, units.GetName()) || SameWord(text, kShort[type])) return type;
    }
    return SameWord(text, "base") ? kBaseUnit : kBaseUnit - 1;
}

const char* UnitName(int unit) {
    static SYS_String names[4];
    if (unit == kBaseUnit) return "base units";
    names[unit] = SYS_Convert().GetUnitName(static_cast<SYS_UnitType>(unit));
    return names[unit];
}

// Reads "--name VALUE" at argv[i]; false after printing what is missing.
bool TakeValue(int argc, char** argv, int& i, const char*& value) {
    if (i + 1 >= argc) {
        std::fprintf(stderr, "tessar units: %s needs a value\n", argv[i]);
        return false;
    }
    value = argv[++i];
    return true;
}

bool TakeUnit(int argc, char** argv, int& i, int& unit) {
    const char* name;
    if (!TakeValue(argc, argv, i, name)) return false;
    unit = ParseUnit(name);
    if (unit >= kBaseUnit) return true;
    return Refuse(std::string("unknown unit '") + name + "' (try 'tessar units --help')");
}

bool TakePrecision(int argc, char** argv, int& i, int& precision) {
    const char* text;
    if (!TakeValue(argc, argv, i, text)) return false;
    long n;
    if (SYS_Convert::Str2Long(text, &n) && *text != '\0' && n >= 0 && n <= 30) {
        precision = static_cast<int>(n);
        return true;
    }
    return Refuse(std::string("precision '") + text + "' is not a whole number from 0 to 30");
}

bool ParseOptions(int argc, char** argv, UnitsOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        bool ok = true;
        if (std::strcmp(arg, "--from") == 0) ok = TakeUnit(argc, argv, i, options.from);
        else if (std::strcmp(arg, "--to") == 0) ok = TakeUnit(argc, argv, i, options.to);
        else if (std::strcmp(arg, "--precision") == 0)
            ok = TakePrecision(argc, argv, i, options.precision);
        else if (std::strcmp(arg, "--angle") == 0) ok = TakeValue(argc, argv, i, options.angle);
        else if (std::strcmp(arg, "--no-trim") == 0) options.trim = false;
        else if (options.value == nullptr && (arg[0] != '-' || arg[1] != '-'))
            options.value = arg;
        else
            ok = Refuse(std::string("unexpected argument '") + arg +
                        "' (try 'tessar units --help')");
        if (!ok) return false;
    }
    if ((options.value == nullptr) == (options.angle == nullptr))
        return Refuse("give either one VALUE or --angle DEGREES (try 'tessar units --help')");
    return true;
}

// Why text is not a number for the library: where the number ends, or its range.
std::string WhyNotANumber(const char* text) {
    char* end;
    errno = 0;
    (void)std::strtod(text, &end);
    if (*end != '\0') {
        if (end == text) return "'" + std::string(text) + "' is not a number";
        return "'" + std::string(text) + "' has characters left over after the number ('" +
               std::string(end) + "')";
    }
    return "'" + std::string(text) + "' is too large or too small for a number";
}

// The value in base units; false after printing why it is refused.
bool ReadLength(const UnitsOptions& options, long& base) {
    const char* text = options.value;
    double number;
    if (!SYS_Convert::Str2Double(text, &number)) return Refuse(WhyNotANumber(text));
    if (options.from == kBaseUnit) {
        if (std::trunc(number) != number)
            return Refuse(std::string("'") + text + "' base units must be a whole number");
        if (!SYS_Convert::Str2Long(text, &base)) base = SYS_Convert::kMaxBase + 1;
    } else if (!SYS_Convert(static_cast<SYS_UnitType>(options.from)).Str2Base(text, &base)) {
        base = SYS_Convert::kMaxBase + 1;  // refused: the number is off the board
    }
    if (base >= -SYS_Convert::kMaxBase && base <= SYS_Convert::kMaxBase) return true;
    return Refuse(std::string("'") + text + "' " + UnitName(options.from) +
                  " is out of the board's range (-1066800000 to 1066800000 base units)");
}

std::string Show(const UnitsOptions& options, int unit, long base) {
    if (unit == kBaseUnit) return std::to_string(base);
    SYS_Convert convert(static_cast<SYS_UnitType>(unit));
    if (options.precision != INT_MIN) convert.SetUnitPrecision(options.precision);
    convert.SetZeroTrimMode(options.trim);
    return std::string(convert.Base2Str(base));
}

int ConvertLength(const UnitsOptions& options) {
    long base;
    if (!ReadLength(options, base)) return 2;
    if (options.to >= kBaseUnit) {
        std::printf("%s\n", Show(options, options.to, base).c_str());
        return 0;
    }
    std::printf("%s %s is %ld base units:\n", options.value, UnitName(options.from), base);
    for (int unit = SYS_UnitMils; unit <= SYS_UnitMicrons; ++unit)
        std::printf("  %-12s %s\n", UnitName(unit), Show(options, unit, base).c_str());
    return 0;
}

int ConvertAngle(const UnitsOptions& options) {
    long angle;
    if (!SYS_Convert::Str2Angle(options.angle, &angle)) {
        double number;
        if (!SYS_Convert::Str2Double(options.angle, &number)) return Fail(WhyNotANumber(options.angle));
        return Fail(std::string("'") + options.angle +
                    "' degrees is out of the 32-bit angle range (about -1193.046 to 1193.046)");
    }
    SYS_Convert convert;
    if (options.precision != INT_MIN) convert.SetAnglePrecision(options.precision);
    convert.SetZeroTrimMode(options.trim);
    std::printf("%s degrees is %ld angle units, shown as %s degrees\n", options.angle, angle,
                static_cast<const char*>(convert.Angle2Str(angle)));
    return 0;
}

int RunUnits(int argc, char** argv) {
    if (TessarWantsHelp(argc, argv)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    UnitsOptions options;
    if (!ParseOptions(argc, argv, options)) return 2;
    return options.angle != nullptr ? ConvertAngle(options) : ConvertLength(options);
}

const TessarCommandRegistrar kUnits({"units", "convert board lengths and angles between units",
                                     kUsage, RunUnits});

}  // namespace
