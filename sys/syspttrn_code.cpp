// Walks over compiled pattern code, shared by the matcher and the index of a pattern.
#include <clocale>
#include <cstdlib>

#include "sys/syspttrn_engine.h"

namespace syspttrn {

size_t SkipElement(std::string_view code, size_t pc, bool singleByte) {
    unsigned char op = static_cast<unsigned char>(code[pc]);
    switch (op) {
    case 'c': {
        size_t n = CharLen(code.data() + pc + 1, singleByte);
        size_t left = code.size() - pc - 1;
        return pc + 1 + (n < left ? n : left);
    }
    case ':': return pc + 2;
    case '[':
    case ']':
    case '*':
    case '+':
    case '?':
    case '#':
    case '@': return pc + 2 + static_cast<unsigned char>(code[pc + 1]);
    case ')': return SkipExpression(code, pc + 1, singleByte);
    default: return pc + 1;
    }
}

// An expression ends with the 'e' of its last alternative; every '|' and ')' inside it opens
// one more alternative or group, closed by an 'e' of its own, so counting them finds the end
// without following the nesting.
size_t SkipExpression(std::string_view code, size_t pc, bool singleByte) {
    for (size_t open = 1; pc < code.size();) {
        char op = code[pc];
        if (op == 'e' && --open == 0) return pc + 1;
        if (op == '|' || op == ')') ++open;
        pc = op == 'e' || op == '|' || op == ')' ? pc + 1 : SkipElement(code, pc, singleByte);
    }
    return pc;
}

size_t NextOperation(std::string_view code, size_t pc) {
    switch (code[pc]) {
    case 'c': return pc + 1 + CharLen(code.data() + pc + 1, MB_CUR_MAX == 1);
    case ':':
    case '*':
    case '+':
    case '?':
    case '#':
    case '@': return pc + 2;
    case '[':
    case ']': return pc + 2 + static_cast<unsigned char>(code[pc + 1]);
    default: return pc + 1;
    }
}

Program::ByteSet MemberSet(std::string_view code, size_t pc) {
    Program::ByteSet set{{0, 0, 0, 0}};
    size_t count = static_cast<unsigned char>(code[pc + 1]);
    for (size_t i = 0; i < count; ++i) {
        unsigned char member = static_cast<unsigned char>(code[pc + 2 + i]);
        set.bits[member >> 6] |= uint64_t(1) << (member & 63);
    }
    return set;
}

}  // namespace syspttrn
