// Parsing and applying the drawing scripts of `tessar draw`.
#include "draw_script.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace {

// Argument kinds: L a length, I a small integer, D degrees; lowercase ones are optional and
// only trail. T ends the arguments with the rest of the line as text.
struct OpForm {
    const char* name;
    const char* arguments;
};

enum OpKind {
    kView,
    kColor,
    kWidth,
    kCap,
    kMove,
    kLineTo,
    kLine,
    kBox,
    kFill,
    kOval,
    kPaint,
    kFrame,
    kArc,
    kPolyline,
    kPolygon,
    kTextSize,
    kAlign,
    kAngle,
    kText,
    kLabel,
    kOpCount
};

const OpForm kOps[kOpCount] = {
    {"view", "LLLL"},      {"color", "I"},    {"width", "L"},     {"cap", "I"},
    {"move", "LL"},        {"lineto", "LL"},  {"line", "LLLLli"}, {"box", "LLLL"},
    {"fill", "LLLLi"},     {"oval", "LLLL"},  {"paint", "LLLL"},  {"frame", "LLLL"},
    {"arc", "LLLLLLLLli"}, {"polyline", "*"}, {"polygon", "*"},   {"textsize", "L"},
    {"align", "II"},       {"angle", "D"},    {"text", "LLT"},    {"label", "T"},
};

constexpr double kCoordLimit = 1066800000.0;

// A length: an integer in base units, or a number with the unit mm, mil or in.
bool ParseLength(const std::string& token, int32_t& value) {
    static const struct {
        const char* suffix;
        double units;
    } kUnits[] = {{"mm", 1500000.0}, {"mil", 38100.0}, {"in", 38100000.0}};
    const char* begin = token.c_str();
    char* end = nullptr;
    errno = 0;
    double number = std::strtod(begin, &end);
    if (end == begin || errno != 0 || !std::isfinite(number)) return false;
    double units = 0;
    if (*end == '\0') {
        if (token.find_first_of(".eEnNxXpP") != std::string::npos) return false;  // integers only
        units = 1;
    }
    for (const auto& unit : kUnits)
        if (std::strcmp(end, unit.suffix) == 0) units = unit.units;
    if (units == 0) return false;
    double base = number * units;
    if (!(std::fabs(base) < kCoordLimit)) return false;
    value = SYS_Round(base);
    return true;
}

bool ParseInteger(const std::string& token, int32_t& value) {
    const char* begin = token.c_str();
    char* end = nullptr;
    errno = 0;
    long number = std::strtol(begin, &end, 10);
    if (end == begin || *end != '\0' || errno != 0 || number < -1000000 || number > 1000000)
        return false;
    value = static_cast<int32_t>(number);
    return true;
}

bool ParseDegrees(const std::string& token, double& value) {
    const char* begin = token.c_str();
    char* end = nullptr;
    value = std::strtod(begin, &end);
    return end != begin && *end == '\0' && std::isfinite(value) && std::fabs(value) <= 1e6;
}

// The rest of the line after `count` words, leading blanks skipped.
std::string RestAfterWords(const std::string& line, int count) {
    size_t at = line.find_first_not_of(" \t");
    for (int i = 0; i < count && at != std::string::npos; ++i) {
        at = line.find_first_of(" \t", at);
        if (at != std::string::npos) at = line.find_first_not_of(" \t", at);
    }
    return at == std::string::npos ? std::string() : line.substr(at);
}

bool ParsePoints(const std::vector<std::string>& words, const OpForm& form, DrawScriptOp& op,
                 std::string& error) {
    size_t minimum = op.kind == kPolygon ? 3 : 2;
    if (words.size() % 2 != 0 || words.size() < 2 * minimum) {
        error = std::string(form.name) + " expects at least " + std::to_string(minimum) +
                " points (X Y pairs)";
        return false;
    }
    for (const std::string& word : words) {
        int32_t value = 0;
        if (!ParseLength(word, value)) {
            error = "'" + word + "' is not a length (an integer in base units, or mm, mil, in)";
            return false;
        }
        op.numbers.push_back(value);
    }
    return true;
}

std::string Usage(const OpForm& form) {
    std::string usage = form.name;
    static const char kKinds[] = "LIDT";
    static const char* const kNames[] = {"LENGTH", "INTEGER", "DEGREES", "TEXT"};
    for (const char* a = form.arguments; *a != '\0'; ++a) {
        const char* kind = std::strchr(kKinds, std::toupper(static_cast<unsigned char>(*a)));
        std::string name = kind != nullptr ? kNames[kind - kKinds] : "?";
        usage += std::islower(static_cast<unsigned char>(*a)) ? " [" + name + "]" : " " + name;
    }
    return usage;
}

bool ParseArgument(char kind, const std::string& word, DrawScriptOp& op, std::string& error) {
    int32_t value = 0;
    switch (std::toupper(static_cast<unsigned char>(kind))) {
    case 'L':
        if (!ParseLength(word, value)) {
            error = "'" + word + "' is not a length (an integer in base units, or mm, mil, in)";
            return false;
        }
        break;
    case 'I':
        if (!ParseInteger(word, value)) {
            error = "'" + word + "' is not an integer";
            return false;
        }
        break;
    default:
        if (!ParseDegrees(word, op.degrees)) {
            error = "'" + word + "' is not an angle in degrees";
            return false;
        }
        return true;
    }
    op.numbers.push_back(value);
    return true;
}

bool ParseArguments(const std::string& line, const std::vector<std::string>& words,
                    const OpForm& form, DrawScriptOp& op, std::string& error) {
    size_t index = 0;
    for (const char* a = form.arguments; *a != '\0'; ++a) {
        if (*a == 'T') {
            op.text = RestAfterWords(line, int(index) + 1);
            if (!op.text.empty()) return true;
            break;
        }
        if (index == words.size()) {
            if (std::islower(static_cast<unsigned char>(*a))) return true;
            break;
        }
        if (!ParseArgument(*a, words[index++], op, error)) return false;
        if (a[1] == '\0' && index == words.size()) return true;
    }
    error = "usage: " + Usage(form);
    return false;
}

}  // namespace

const char kDrawScriptHelp[] =
    "Script lines (# starts a comment; blank lines are skipped):\n"
    "  view L B R T               world box shown (default: everything drawn, plus 5%)\n"
    "  color C                    pen colour, a palette index 0 to 15\n"
    "  width W                    pen width\n"
    "  cap K                      line ends: 0 round, 1 square, 2 flat\n"
    "  move X Y                   current point\n"
    "  lineto X Y                 line from the current point, which moves to X Y\n"
    "  line X1 Y1 X2 Y2 [W [C]]   exclusive-or line (default width and colour: the pen's);\n"
    "                             it leaves the pen at its width and colour, as arc does\n"
    "  box L B R T                exclusive-or box outline\n"
    "  fill L B R T [C]           exclusive-or filled box\n"
    "  oval L B R T               exclusive-or outline of the oval in the box\n"
    "  paint L B R T              filled oval in the pen colour\n"
    "  frame L B R T              oval outline with the pen\n"
    "  arc L B R T X1 Y1 X2 Y2 [W [C]]\n"
    "                             exclusive-or arc of the oval in the box, counter-clockwise\n"
    "                             from the ray through X1 Y1 to the ray through X2 Y2\n"
    "  polyline X1 Y1 X2 Y2 ...   open polyline with the pen (2 points or more)\n"
    "  polygon X1 Y1 ...          closed outline with the pen (3 points or more)\n"
    "  textsize H                 text height\n"
    "  align H V                  H: 0 left, 1 centre, 2 right; V: 0 baseline, 1 middle, 2 top\n"
    "  angle DEGREES              text direction, counter-clockwise\n"
    "  text X Y TEXT...           exclusive-or text at X Y\n"
    "  label TEXT...              text at the current point\n"
    "Replaying sets the exclusive-or pen mode at the first line, arc, fill or oval; what\n"
    "follows it is drawn in that mode too.\n"
    "Lengths are integers in base units (1 mm = 1500000) or numbers with a unit:\n"
    "12.5mm, 40mil, 0.1in. Y grows upwards; a box may give its corners in any order.\n";

bool ParseDrawScriptLine(const std::string& line, int lineNumber, DrawScript& script,
                         std::string& error) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    if (words.empty() || words[0][0] == '#') return true;
    int kind = 0;
    while (kind < kOpCount && words[0] != kOps[kind].name) ++kind;
    if (kind == kOpCount) {
        error = "unknown operation '" + words[0] + "'";
        return false;
    }
    DrawScriptOp op;
    op.kind = kind;
    op.line = lineNumber;
    words.erase(words.begin());
    bool parsed = std::strcmp(kOps[kind].arguments, "*") == 0
                      ? ParsePoints(words, kOps[kind], op, error)
                      : ParseArguments(line, words, kOps[kind], op, error);
    if (!parsed) return false;
    if (kind == kView) {
        script.hasView = true;
        script.view = SYS_Box(op.numbers[0], op.numbers[1], op.numbers[2], op.numbers[3]);
        return true;
    }
    script.ops.push_back(op);
    return true;
}

namespace {

// The pen as the script has set it, for the operations whose width and colour are optional.
struct Pen {
    int color = 7;
    long width = 0;
    int alignX = 0;
    int alignY = 0;
};

SYS_Point PointAt(const std::vector<int32_t>& n, size_t i) { return SYS_Point(n[i], n[i + 1]); }
SYS_Box BoxAt(const std::vector<int32_t>& n, size_t i) {
    SYS_Box box(n[i], n[i + 1], n[i + 2], n[i + 3]);
    box.Normalize();  // corners may come in any order
    return box;
}
long Optional(const std::vector<int32_t>& n, size_t i, long otherwise) {
    return n.size() > i ? n[i] : otherwise;
}

void ApplyPoints(const DrawScriptOp& op, const Pen& pen, CDynamic& dynamic) {
    std::vector<SYS_Point> points;
    for (size_t i = 0; i + 1 < op.numbers.size(); i += 2) points.push_back(PointAt(op.numbers, i));
    dynamic.FastPolyLine(int(points.size()), points.data(), pen.width, op.kind == kPolygon ? 1 : 0);
}

void ApplyOne(const DrawScriptOp& op, Pen& pen, CDynamic& dynamic) {
    const std::vector<int32_t>& n = op.numbers;
    switch (op.kind) {
    case kColor: dynamic.PenColor(pen.color = n[0]); break;
    case kWidth: dynamic.PenSize(pen.width = n[0]); break;
    case kCap: dynamic.PenCap(n[0]); break;
    case kMove: dynamic.FastMoveTo(PointAt(n, 0)); break;
    case kLineTo: dynamic.FastLineTo(PointAt(n, 0)); break;
    case kLine:
        pen.width = Optional(n, 4, pen.width), pen.color = int(Optional(n, 5, pen.color));
        dynamic.DrawLine(PointAt(n, 0), PointAt(n, 2), pen.width, pen.color);
        break;
    case kBox: dynamic.DrawXorBox(BoxAt(n, 0)); break;
    case kFill: dynamic.FillRect(BoxAt(n, 0), int(Optional(n, 4, pen.color))); break;
    case kOval: dynamic.DrawXorOval(BoxAt(n, 0)); break;
    case kPaint: dynamic.FastPaintOval(BoxAt(n, 0)); break;
    case kFrame: dynamic.FastFrameOval(BoxAt(n, 0)); break;
    case kArc:
        pen.width = Optional(n, 8, pen.width), pen.color = int(Optional(n, 9, pen.color));
        dynamic.DrawArc(BoxAt(n, 0), PointAt(n, 4), PointAt(n, 6), pen.width, pen.color);
        break;
    case kPolyline:
    case kPolygon: ApplyPoints(op, pen, dynamic); break;
    case kTextSize: dynamic.TextSize(0, n[0]); break;
    case kAlign: dynamic.TextAlign(pen.alignX = n[0], pen.alignY = n[1]); break;
    case kAngle: dynamic.TextPath(op.degrees * 1800000.0); break;
    case kText:
        dynamic.DrawXorText(op.text.c_str(), pen.alignX, pen.alignY, PointAt(n, 0), 1);
        break;
    case kLabel: dynamic.DrawString(op.text.c_str()); break;
    default: break;
    }
}

}  // namespace

void ApplyDrawScript(const DrawScript& script, CDynamic& dynamic) {
    Pen pen;
    for (const DrawScriptOp& op : script.ops) ApplyOne(op, pen, dynamic);
}
