// The index of a compiled pattern: member sets of its classes, jump targets of its
// alternations, widths of repeated elements, and what a match can begin with. Built once per
// pattern; each fact only lets the matcher skip work whose outcome it already knows.
#include <clocale>
#include <cstdlib>

#include "sys/syspttrn_engine.h"

namespace syspttrn {
namespace {

// True when the code at pc is a greedy closure over one character-wide element: the leftmost
// scan may then skip what its failed repetitions already covered.
bool IsRepeatOfOneCharacter(std::string_view code, size_t pc) {
    if (pc + 3 >= code.size() || (code[pc] != '*' && code[pc] != '+')) return false;
    size_t length = static_cast<unsigned char>(code[pc + 1]);
    unsigned char op = static_cast<unsigned char>(code[pc + 2]);
    unsigned char operand = static_cast<unsigned char>(code[pc + 3]);
    switch (op) {
    case '.': return length == 1;
    case ':': return length == 2 && !IsNumberClass(operand);
    case '[':
    case ']': return length == 2u + operand;
    case 'c': return length == 1 + CharLen(code.data() + pc + 3, MB_CUR_MAX == 1);
    default: return false;
    }
}

// The position of the closure when the code is a run of one-character operations (no number
// classes) followed by a greedy closure over one character, else Program::kNoRepeat.
size_t RepeatAfterOneCharacterPrefix(std::string_view code) {
    size_t pc = 0;
    while (pc < code.size() && ConsumesOneCharacter(code, pc)) pc = NextOperation(code, pc);
    return IsRepeatOfOneCharacter(code, pc) ? pc : Program::kNoRepeat;
}

// Bytes a match can begin with, in a single-byte locale, and whether the code can match
// without consuming anything (then any byte can begin a match). Walks the code as the matcher
// does; a '$' that would be reached before anything is consumed ends every match there,
// because no attempt is made at the end of the subject.
class FirstBytes {
public:
    FirstBytes(std::string_view code, const Program& program) : m_code(code), m_program(program) {}

    bool Of(size_t pc, size_t end, Program::ByteSet& set, int depth) const;

private:
    void AddOne(size_t pc, Program::ByteSet& set) const;
    bool OfAlternation(size_t pc, Program::ByteSet& set, int depth) const;

    std::string_view m_code;
    const Program& m_program;
};

void Add(Program::ByteSet& set, unsigned char c) { set.bits[c >> 6] |= uint64_t(1) << (c & 63); }

void AddAll(Program::ByteSet& set) {
    for (int c = 1; c < 256; ++c) Add(set, static_cast<unsigned char>(c));
}

// Returns true when [pc, end) can match without consuming.
bool FirstBytes::Of(size_t pc, size_t end, Program::ByteSet& set, int depth) const {
    if (depth > 200) {
        AddAll(set);
        return true;
    }
    while (pc < end) {
        unsigned char op = static_cast<unsigned char>(m_code[pc]);
        if (op == 'e' || op == ')' || op == '^') {
            ++pc;
        } else if (op == '$') {
            return false;
        } else if (op == '|') {
            if (!OfAlternation(pc, set, depth)) return false;
            pc = m_program.alternationEnd[pc];
        } else if (IsClosureOp(op)) {
            size_t elementEnd = pc + 2 + static_cast<unsigned char>(m_code[pc + 1]);
            bool empty = Of(pc + 2, elementEnd, set, depth + 1);
            if (!empty && (op == '+' || op == '#')) return false;
            pc = elementEnd;
        } else {
            AddOne(pc, set);
            return false;
        }
    }
    return true;
}

bool FirstBytes::OfAlternation(size_t pc, Program::ByteSet& set, int depth) const {
    bool empty = false;
    size_t q = pc;
    for (; m_code[q] == '|'; q = m_program.alternativeEnd[q] + 1)
        empty |= Of(q + 1, m_program.alternativeEnd[q], set, depth + 1);
    empty |= Of(q, m_program.alternationEnd[pc] - 1, set, depth + 1);
    return empty;
}

void FirstBytes::AddOne(size_t pc, Program::ByteSet& set) const {
    unsigned char op = static_cast<unsigned char>(m_code[pc]);
    unsigned char operand = static_cast<unsigned char>(m_code[pc + 1]);
    if (op == 'c') return Add(set, operand);
    if (op == '.') return AddAll(set);
    if (op == '[' || op == ']') {
        Program::ByteSet members = MemberSet(m_code, pc);
        for (int c = 1; c < 256; ++c)
            if (members.Has(static_cast<unsigned char>(c)) == (op == '['))
                Add(set, static_cast<unsigned char>(c));
        return;
    }
    // Named classes: their ASCII members, and every byte above ASCII, whose class depends on
    // the locale in force when matching.
    for (int c = 1; c < 256; ++c) {
        bool sign = c == '+' || c == '-';
        bool member;
        if (c >= 0x80) member = true;
        else if (operand == 'h') member = std::isxdigit(c) != 0 || sign;
        else if (operand == 'z') member = std::isdigit(c) != 0 || sign;
        else if (operand == 'n') member = std::isdigit(c) != 0 || sign || c == '.';
        else member = TestClass(operand, c);
        if (member) Add(set, static_cast<unsigned char>(c));
    }
}

// The one byte of set, or -1 when it has none or several.
int SingleMember(const Program::ByteSet& set) {
    int member = -1;
    for (int c = 0; c < 256; ++c) {
        if (!set.Has(static_cast<unsigned char>(c))) continue;
        if (member >= 0) return -1;
        member = c;
    }
    return member;
}

// Bytes every match of the alternation at pc consumes in a single-byte locale, or -1.
long AlternationWidth(std::string_view code, const Program& program, size_t pc, int depth);

// Bytes every match of [pc, end) consumes in a single-byte locale, or -1 when that varies.
long SequenceWidth(std::string_view code, const Program& program, size_t pc, size_t end,
                   int depth) {
    long width = 0;
    while (pc < end && depth < 100) {
        unsigned char op = static_cast<unsigned char>(code[pc]);
        if (op == 'e' || op == ')' || op == '^' || op == '$') {
            ++pc;
            continue;
        }
        if (op == '|') {
            long alternation = AlternationWidth(code, program, pc, depth + 1);
            if (alternation < 0) return -1;
            width += alternation;
            pc = program.alternationEnd[pc];
            continue;
        }
        if (!ConsumesOneCharacter(code, pc)) return -1;
        size_t next = NextOperation(code, pc);
        width += op == 'c' ? static_cast<long>(next - pc - 1) : 1;
        pc = next;
    }
    return pc < end ? -1 : width;
}

long AlternationWidth(std::string_view code, const Program& program, size_t pc, int depth) {
    long width = -2;
    size_t q = pc;
    for (; code[q] == '|'; q = program.alternativeEnd[q] + 1) {
        long alternative = SequenceWidth(code, program, q + 1, program.alternativeEnd[q], depth);
        if (alternative < 0 || (width != -2 && alternative != width)) return -1;
        width = alternative;
    }
    long last = SequenceWidth(code, program, q, program.alternationEnd[pc] - 1, depth);
    return last == width ? width : -1;
}

// Whether [pc, end) holds one-character operations only.
bool IsOneCharacterSequence(std::string_view code, size_t pc, size_t end) {
    for (; pc < end; pc = NextOperation(code, pc))
        if (!IsSingleCharOp(static_cast<unsigned char>(code[pc]))) return false;
    return true;
}

// Records the ends of the alternation whose first '|' is at pc, for each of its alternatives.
void IndexAlternation(std::string_view code, size_t pc, Program& program) {
    bool singleByte = MB_CUR_MAX == 1;
    size_t q = pc;
    while (code[q] == '|') {
        program.alternativeEnd[q] = static_cast<uint32_t>(SkipSequence(code, q + 1, singleByte));
        q = program.alternativeEnd[q] + 1;
    }
    uint32_t after = static_cast<uint32_t>(SkipSequence(code, q, singleByte) + 1);
    bool simple = IsOneCharacterSequence(code, q, after - 1);
    for (q = pc; code[q] == '|'; q = program.alternativeEnd[q] + 1) {
        program.alternationEnd[q] = after;
        simple = simple && IsOneCharacterSequence(code, q + 1, program.alternativeEnd[q]);
    }
    for (q = pc; code[q] == '|'; q = program.alternativeEnd[q] + 1)
        program.simpleAlternation[q] = simple;
}

// The text a code of literal characters alone stands for ("" when it holds anything else).
std::string LiteralText(std::string_view code) {
    std::string text;
    size_t pc = 0;
    while (pc + 1 < code.size() && code[pc] == 'c') {
        size_t next = NextOperation(code, pc);
        text.append(code.data() + pc + 1, next - pc - 1);
        pc = next;
    }
    return pc + 1 == code.size() && code[pc] == 'e' ? text : std::string();
}

}  // namespace

void BuildProgram(std::string_view code, Program& program) {
    program = Program();
    program.setAt.assign(code.size(), -1);
    program.alternativeEnd.assign(code.size(), 0);
    program.alternationEnd.assign(code.size(), 0);
    program.simpleAlternation.assign(code.size(), 0);
    program.elementWidth.assign(code.size(), 0);
    for (size_t pc = 0; pc < code.size(); pc = NextOperation(code, pc)) {
        char op = code[pc];
        if (op == '^') program.hasCaret = true;
        if (op == '|' && program.alternationEnd[pc] == 0) IndexAlternation(code, pc, program);
        if (op == '[' || op == ']') {
            program.setAt[pc] = static_cast<int32_t>(program.sets.size());
            program.sets.push_back(MemberSet(code, pc));
        }
    }
    for (size_t pc = 0; pc < code.size(); pc = NextOperation(code, pc)) {
        if (code[pc] != '*' && code[pc] != '+') continue;
        size_t elementEnd = pc + 2 + static_cast<unsigned char>(code[pc + 1]);
        long width = SequenceWidth(code, program, pc + 2, elementEnd, 0);
        program.elementWidth[pc] = static_cast<uint32_t>(width > 0 ? width : 0);
    }
    program.literal = LiteralText(code);
    program.anchored = !code.empty() && code[0] == '^';
    Program::ByteSet first{{0, 0, 0, 0}};
    program.anyFirstByte = FirstBytes(code, program).Of(0, code.size(), first, 0);
    program.firstBytes = first;
    program.firstByte = SingleMember(first);
    program.repeatPc = RepeatAfterOneCharacterPrefix(code);
}

}  // namespace syspttrn
