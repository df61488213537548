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

void Add(Program::ByteSet& set, unsigned char c) { set.bits[c >> 6] |= uint64_t(1) << (c & 63); }

void AddAll(Program::ByteSet& set) {
    for (int c = 1; c < 256; ++c) Add(set, static_cast<unsigned char>(c));
}

void AddSet(Program::ByteSet& set, const Program::ByteSet& more) {
    for (int i = 0; i < 4; ++i) set.bits[i] |= more.bits[i];
}

// What a match of one alternation, or of one closure's element, can begin with (single-byte
// locale), whether it can match without consuming, and the bytes its every match consumes in
// a single-byte locale (-1 when that varies).
struct Facts {
    Program::ByteSet first{{0, 0, 0, 0}};
    bool canBeEmpty = false;
    long width = -1;
};

// The facts of every alternation and closure of a code. Each is found by a walk over its own
// level of the code that takes the facts of what is nested in it as known; nested constructs
// stand further along the code, so taking the constructs from the last one back makes every
// fact ready when it is needed, and no walk recurses.
class StructureFacts {
public:
    // structures: the positions of the closures and of the first '|' of each alternation, in
    // code order.
    StructureFacts(std::string_view code, const Program& program,
                   const std::vector<size_t>& structures);

    // Adds to set the bytes a match of [pc, end) can begin with; true when it can match without
    // consuming. Follows the matcher: a '$' that would be reached before anything is consumed
    // ends every match there, because no attempt is made at the end of the subject.
    bool FirstBytes(size_t pc, size_t end, Program::ByteSet& set) const;
    // Bytes every match of [pc, end) consumes in a single-byte locale, or -1 when that varies.
    long Width(size_t pc, size_t end) const;
    const Facts& At(size_t pc) const { return m_facts[static_cast<size_t>(m_factAt[pc])]; }

private:
    Facts OfAlternation(size_t pc) const;
    Facts OfClosure(size_t pc) const;
    void AddOne(size_t pc, Program::ByteSet& set) const;

    std::string_view m_code;
    const Program& m_program;
    std::vector<int32_t> m_factAt;  // code position -> index into m_facts, -1 elsewhere
    std::vector<Facts> m_facts;
};

StructureFacts::StructureFacts(std::string_view code, const Program& program,
                               const std::vector<size_t>& structures)
    : m_code(code), m_program(program), m_factAt(code.size(), -1) {
    m_facts.reserve(structures.size());
    for (size_t i = structures.size(); i-- > 0;) {
        size_t pc = structures[i];
        Facts facts = code[pc] == '|' ? OfAlternation(pc) : OfClosure(pc);
        m_factAt[pc] = static_cast<int32_t>(m_facts.size());
        m_facts.push_back(facts);
    }
}

Facts StructureFacts::OfAlternation(size_t pc) const {
    Facts facts;
    long width = -2;  // none seen yet
    size_t q = pc;
    for (;; q = m_program.alternativeEnd[q] + 1) {
        bool last = m_code[q] != '|';
        size_t start = last ? q : q + 1;
        size_t end = last ? m_program.alternationEnd[pc] - 1 : m_program.alternativeEnd[q];
        facts.canBeEmpty |= FirstBytes(start, end, facts.first);
        long alternative = Width(start, end);
        width = alternative < 0 || (width != -2 && alternative != width) ? -1 : alternative;
        if (last) break;
    }
    facts.width = width;
    return facts;
}

Facts StructureFacts::OfClosure(size_t pc) const {
    Facts facts;
    size_t elementEnd = pc + 2 + static_cast<unsigned char>(m_code[pc + 1]);
    facts.canBeEmpty = FirstBytes(pc + 2, elementEnd, facts.first);
    facts.width = Width(pc + 2, elementEnd);
    return facts;
}

bool StructureFacts::FirstBytes(size_t pc, size_t end, Program::ByteSet& set) const {
    while (pc < end) {
        unsigned char op = static_cast<unsigned char>(m_code[pc]);
        if (op == 'e' || op == ')' || op == '^') {
            ++pc;
        } else if (op == '$') {
            return false;
        } else if (op == '|') {
            const Facts& alternation = At(pc);
            AddSet(set, alternation.first);
            if (!alternation.canBeEmpty) return false;
            pc = m_program.alternationEnd[pc];
        } else if (IsClosureOp(op)) {
            const Facts& element = At(pc);
            AddSet(set, element.first);
            if (!element.canBeEmpty && (op == '+' || op == '#')) return false;
            pc += 2 + static_cast<unsigned char>(m_code[pc + 1]);
        } else {
            AddOne(pc, set);
            return false;
        }
    }
    return true;
}

long StructureFacts::Width(size_t pc, size_t end) const {
    long width = 0;
    while (pc < end) {
        unsigned char op = static_cast<unsigned char>(m_code[pc]);
        if (op == 'e' || op == ')' || op == '^' || op == '$') {
            ++pc;
        } else if (op == '|') {
            long alternation = At(pc).width;
            if (alternation < 0) return -1;
            width += alternation;
            pc = m_program.alternationEnd[pc];
        } else if (!ConsumesOneCharacter(m_code, pc)) {
            return -1;
        } else {
            size_t next = NextOperation(m_code, pc);
            width += op == 'c' ? static_cast<long>(next - pc - 1) : 1;
            pc = next;
        }
    }
    return width;
}

void StructureFacts::AddOne(size_t pc, Program::ByteSet& set) const {
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

// Whether [pc, end) holds one-character operations only.
bool IsOneCharacterSequence(std::string_view code, size_t pc, size_t end) {
    for (; pc < end; pc = NextOperation(code, pc))
        if (!IsSingleCharOp(static_cast<unsigned char>(code[pc]))) return false;
    return true;
}

// Records the end of the alternation whose first '|' is at pc at each of its '|', and whether
// all its alternatives are one-character operations. Its alternatives' ends are known.
void IndexAlternation(std::string_view code, size_t pc, uint32_t after, Program& program) {
    size_t q = pc;
    bool simple = true;
    for (; code[q] == '|'; q = program.alternativeEnd[q] + 1) {
        program.alternationEnd[q] = after;
        simple = simple && IsOneCharacterSequence(code, q + 1, program.alternativeEnd[q]);
    }
    simple = simple && IsOneCharacterSequence(code, q, after - 1);
    for (q = pc; code[q] == '|'; q = program.alternativeEnd[q] + 1)
        program.simpleAlternation[q] = simple;
}

// Indexes the alternations of the code (where each alternative ends, where the whole ends,
// whether all its alternatives are one-character operations) in one walk that keeps its open
// groups and alternatives on a stack. Returns the positions of the closures and of the first
// '|' of each alternation, in code order.
std::vector<size_t> IndexStructure(std::string_view code, Program& program) {
    constexpr size_t kNoBar = SIZE_MAX;
    // An open expression (the whole code, or a group) with its first '|', or an open
    // alternative other than the last with its own '|'.
    struct Open {
        size_t bar;
        bool alternative;
    };
    std::vector<Open> open{{kNoBar, false}};
    std::vector<size_t> structures;
    for (size_t pc = 0; pc < code.size(); pc = NextOperation(code, pc)) {
        unsigned char op = static_cast<unsigned char>(code[pc]);
        if (IsClosureOp(op)) structures.push_back(pc);
        if (op == ')') open.push_back({kNoBar, false});
        if (op == '|') {
            if (open.back().bar == kNoBar) {
                open.back().bar = pc;
                structures.push_back(pc);
            }
            open.push_back({pc, true});
        }
        if (op != 'e' || open.empty()) continue;
        const Open closed = open.back();
        open.pop_back();
        if (closed.alternative) {
            program.alternativeEnd[closed.bar] = static_cast<uint32_t>(pc);
        } else if (closed.bar != kNoBar) {
            IndexAlternation(code, closed.bar, static_cast<uint32_t>(pc + 1), program);
        }
    }
    return structures;
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
    const std::vector<size_t> structures = IndexStructure(code, program);
    for (size_t pc = 0; pc < code.size(); pc = NextOperation(code, pc)) {
        char op = code[pc];
        if (op == '^') program.hasCaret = true;
        if (op == '[' || op == ']') {
            program.setAt[pc] = static_cast<int32_t>(program.sets.size());
            program.sets.push_back(MemberSet(code, pc));
        }
    }
    const StructureFacts facts(code, program, structures);
    for (size_t pc : structures) {
        if (code[pc] != '*' && code[pc] != '+') continue;
        long width = facts.At(pc).width;
        program.elementWidth[pc] = static_cast<uint32_t>(width > 0 ? width : 0);
    }
    program.literal = LiteralText(code);
    program.anchored = !code.empty() && code[0] == '^';
    Program::ByteSet first{{0, 0, 0, 0}};
    program.anyFirstByte = facts.FirstBytes(0, code.size(), first);
    program.firstBytes = first;
    program.firstByte = SingleMember(first);
    program.repeatPc = RepeatAfterOneCharacterPrefix(code);
}

}  // namespace syspttrn
