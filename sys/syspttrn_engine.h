#pragma once

// The engine behind SYS_StrPattern: the translator from pattern text to compiled code, and the
// backtracking matcher that runs the code over a NUL-terminated subject.
//
// Compiled code is a byte sequence of operations (see inc/SYS_StrPattern.h for the table). The
// matcher walks it directly; an index (Program) built once per pattern adds what a walk cannot
// see cheaply: a 256-bit member set per class, the jump targets of alternations, the widths of
// repeated elements, and what a match can begin with, so that the leftmost scan skips start
// positions that cannot match. None of it changes a result.
//
// Robustness: neither the translator, nor the index, nor the matcher recurses on the machine
// stack. What follows the nesting of a pattern (open groups, pending alternatives and closures,
// the continuation after a closure) is kept on heap stacks, and closure repetitions are loops,
// so a pattern of any length or nesting depth needs memory in proportion and never overflows
// the stack. Every search has a step budget; when it is exhausted the search gives up and says
// so (Found::gaveUp).
#include <ctype.h>
#include <wctype.h>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "SYS_StrPattern.h"

namespace syspttrn {

// The source unit under which the pattern engine reports.
constexpr const char* kUnit = "sys/syspttrn";

// Step budget of one search: kBaseSteps plus kStepsPerByte for every subject byte that the
// search has reached so far. Linear searches stay far below it; runaway backtracking does not.
constexpr uint64_t kBaseSteps = SYS_StrPattern::kDefaultStepBudget;
constexpr uint64_t kStepsPerByte = 64;

// Translates text into code. On failure returns false with code emptied; the limit reports
// ("ParseClosure -- ...", "ParseCCL -- ...") are made here, the generic one by the caller.
bool Translate(const char* text, std::string& code);

// Length in bytes of the character at p (1 for a NUL, an ASCII byte, an invalid or incomplete
// sequence, and for every byte in a single-byte locale).
size_t CharLen(const char* p, bool singleByte);

// Operations of the compiled code.
// One-character operations consume one character ('c', '.', '[', ']', ':' with a class
// letter), or a whole number for ':' with h, z or n.
inline bool IsSingleCharOp(unsigned char op) {
    return op == 'c' || op == '.' || op == ':' || op == '[' || op == ']';
}

inline bool IsNumberClass(unsigned char letter) {
    return letter == 'h' || letter == 'z' || letter == 'n';
}

// Whether the operation at `at` consumes exactly one character: a one-character operation
// other than a number class. Reads the operand only after a ':'.
inline bool ConsumesOneCharacter(const unsigned char* at) {
    return IsSingleCharOp(at[0]) && !(at[0] == ':' && IsNumberClass(at[1]));
}
inline bool ConsumesOneCharacter(std::string_view code, size_t pc) {
    return ConsumesOneCharacter(reinterpret_cast<const unsigned char*>(code.data() + pc));
}

inline bool IsClosureOp(unsigned char op) {
    return op == '*' || op == '+' || op == '?' || op == '#' || op == '@';
}

// The C library's tests of a one-character named class, for single bytes and for wide
// characters; null for a letter that names no such class. The one list of those classes.
struct NamedClassTests {
    int (*narrow)(int);
    int (*wide)(wint_t);
};
inline NamedClassTests NamedClass(unsigned char letter) {
    switch (letter) {
    case 'a': return {::isalnum, ::iswalnum};
    case 'b': return {::isspace, ::iswspace};
    case 'c': return {::isalpha, ::iswalpha};
    case 'd': return {::isdigit, ::iswdigit};
    case 'l': return {::islower, ::iswlower};
    case 'u': return {::isupper, ::iswupper};
    case 'x': return {::isxdigit, ::iswxdigit};
    default: return {nullptr, nullptr};
    }
}

// Whether the byte c (0-255) belongs to the one-character named class of letter.
inline bool TestClass(unsigned char letter, int c) {
    const NamedClassTests tests = NamedClass(letter);
    return tests.narrow != nullptr && tests.narrow(c) != 0;
}

// Whether the wide character c belongs to the one-character named class of letter.
inline bool TestWideClass(unsigned char letter, wint_t c) {
    const NamedClassTests tests = NamedClass(letter);
    return tests.wide != nullptr && tests.wide(c) != 0;
}

// Walks of the code. Every position given is that of an operation; singleByte tells how the
// operand of 'c' is measured.
// Position after the element at pc (a closure or a group whole).
size_t SkipElement(std::string_view code, size_t pc, bool singleByte);
// Position after the expression at pc: its alternatives, the last one's 'e' included.
size_t SkipExpression(std::string_view code, size_t pc, bool singleByte);
// Position of the operation after the one at pc in code order; closures and groups are
// entered, so this walk visits every operation once.
size_t NextOperation(std::string_view code, size_t pc);

// Index of a compiled pattern, built once per pattern.
struct Program {
    static constexpr size_t kNoRepeat = SIZE_MAX;

    struct ByteSet {
        uint64_t bits[4];
        bool Has(unsigned char c) const { return (bits[c >> 6] >> (c & 63)) & 1; }
    };
    std::vector<ByteSet> sets;      // member bytes of each class, in code order
    std::vector<int32_t> setAt;     // code position -> index into sets, -1 elsewhere
    // At each '|': the position of the 'e' ending its alternative, and the position after the
    // whole alternation (the last alternative's 'e' included).
    std::vector<uint32_t> alternativeEnd;
    std::vector<uint32_t> alternationEnd;
    // At each '|': every alternative of its alternation is one-character operations only.
    std::vector<uint8_t> simpleAlternation;
    // At each '*' and '+': the bytes every match of its element consumes in a single-byte
    // locale (its repetitions then need no list of positions), 0 when that varies.
    std::vector<uint32_t> elementWidth;
    std::string literal;            // the text of a pattern made of literal characters alone
    ByteSet firstBytes{{0, 0, 0, 0}};  // bytes a match can start with (single-byte locale)
    bool anyFirstByte = true;       // the pattern can match without consuming: no filter
    int firstByte = -1;             // the only member of firstBytes, or -1
    bool anchored = false;          // the code starts with '^': only offset 0 can match
    bool hasCaret = false;          // some '^' anywhere: results depend on the attempt start
    // Where the code's first greedy closure ('*' or '+') over a one-character element stands
    // when only one-character operations (no number classes) come before it; kNoRepeat when
    // the code does not start that way.
    size_t repeatPc = kNoRepeat;
};

// The member bytes of the class at pc.
Program::ByteSet MemberSet(std::string_view code, size_t pc);

void BuildProgram(std::string_view code, Program& program);

struct Found {
    long offset = -1;     // byte offset of the match in the subject, -1 for none
    long length = 0;      // bytes matched
    bool gaveUp = false;  // the step budget ended the search
};

// State a series of searches shares: memory for the positions of variable-width repetitions,
// and the step budget, which a series over one text (Substitute) spends as a whole: its
// allowance grows with the bytes reached from origin.
struct Scratch {
    std::vector<const char*> chain;
    uint64_t steps = 0;
    uint64_t baseSteps = kBaseSteps;  // the budget before any subject byte is reached
    const char* origin = nullptr;     // null: each search's own subject
};

// Leftmost match of code in the NUL-terminated subject; the position at the terminator is
// never tried. subjectEnd, when not null, is the subject's terminator (it speeds up the
// search). code and program must come from Translate and BuildProgram.
Found Find(std::string_view code, const Program& program, const char* subject,
           const char* subjectEnd, Scratch& scratch);

// Replaces up to count (0: all) matches in text [0, length), appending the result to out.
// After an empty match the character at the match position is kept and the scan goes on
// after it. Returns the number of replacements; gaveUp tells whether a search gave up.
// baseSteps is the step budget before any byte of text is reached.
int SubstituteAll(std::string_view code, const Program& program, const char* text,
                  size_t length, const char* replacement, size_t replacementLength, int count,
                  uint64_t baseSteps, std::string& out, bool& gaveUp);

}  // namespace syspttrn
