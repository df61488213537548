// Translation of pattern text into compiled code: a recursive descent over
//   expression  = alternative { '|' alternative }
//   alternative = [ '^' ] { element [ closure ] }
// Each alternative and each closure element is translated into a buffer of its own first,
// because its wrapping ('|' ... 'e', or a closure code and a length byte) depends on what
// follows it. Group nesting is capped so that no pattern text can exhaust the stack.
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include "SSM_Assert.h"
#include "sys/syspttrn_engine.h"

namespace syspttrn {

size_t CharLen(const char* p, bool singleByte) {
    if (singleByte || static_cast<unsigned char>(*p) < 0x80) return 1;
    std::mbstate_t state{};
    size_t n = std::mbrlen(p, MB_CUR_MAX, &state);
    return (n == 0 || n > static_cast<size_t>(MB_CUR_MAX)) ? 1 : n;
}

namespace {

constexpr size_t kMaxOperandBytes = 255;

bool IsClosureChar(char c) {
    return c == '*' || c == '+' || c == '?' || c == '#' || c == '@';
}

bool CannotBeginElement(char c) {
    return std::strchr("#)*+?@]^|", c) != nullptr;
}

bool IsClassLetter(char c) {
    return c != '\0' && std::strchr("abcdluxhzn", c) != nullptr;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

class Translator {
public:
    explicit Translator(const char* text)
        : m_p(text), m_singleByte(MB_CUR_MAX == 1) {}

    bool Run(std::string& code) { return Expression(code, 0) && *m_p == '\0'; }

private:
    bool Expression(std::string& out, int depth);
    bool Alternative(std::string& out, int depth);
    bool ClosureOrElement(std::string& out, int depth);
    bool Element(std::string& out, int depth);
    bool Group(std::string& out, int depth);
    bool NamedClassOrColon(std::string& out);
    bool Class(std::string& out);
    bool ClassMembers(std::string& members);
    bool Character(std::string& ch);
    bool Escape(std::string& ch);
    void AddRange(std::string& members, const std::string& first, const std::string& last) const;

    const char* m_p;
    bool m_singleByte;
};

bool Translator::Expression(std::string& out, int depth) {
    if (depth > kMaxGroupNesting) return false;
    std::string alternative;
    for (;;) {
        alternative.clear();
        if (!Alternative(alternative, depth)) return false;
        if (*m_p != '|') break;
        ++m_p;
        out += '|';
        out += alternative;
        out += 'e';
    }
    out += alternative;
    out += 'e';
    return true;
}

bool Translator::Alternative(std::string& out, int depth) {
    if (*m_p == '^') {
        out += '^';
        ++m_p;
    }
    while (*m_p != '\0' && *m_p != '|' && *m_p != ')')
        if (!ClosureOrElement(out, depth)) return false;
    return true;
}

bool Translator::ClosureOrElement(std::string& out, int depth) {
    std::string element;
    if (!Element(element, depth)) return false;
    if (!IsClosureChar(*m_p)) {
        out += element;
        return true;
    }
    if (element.size() > kMaxOperandBytes) {
        SSM_CHECK(false, "ParseClosure -- closure expression too large", kUnit, SSM_FailureError);
        return false;
    }
    out += *m_p++;
    out += static_cast<char>(element.size());
    out += element;
    return true;
}

bool Translator::Element(std::string& out, int depth) {
    char c = *m_p;
    if (CannotBeginElement(c)) return false;
    switch (c) {
    case '.':
    case '$':
        out += c;
        ++m_p;
        return true;
    case '(': return Group(out, depth);
    case '[': return Class(out);
    case ':': return NamedClassOrColon(out);
    default: {
        std::string ch;
        if (!Character(ch)) return false;
        out += 'c';
        out += ch;
        return true;
    }
    }
}

bool Translator::Group(std::string& out, int depth) {
    ++m_p;
    out += ')';
    if (!Expression(out, depth + 1) || *m_p != ')') return false;
    ++m_p;
    return true;
}

bool Translator::NamedClassOrColon(std::string& out) {
    ++m_p;
    if (IsClassLetter(*m_p)) {
        out += ':';
        out += *m_p++;
    } else {
        out += "c:";
    }
    return true;
}

bool Translator::Class(std::string& out) {
    ++m_p;
    bool negated = *m_p == '^';
    if (negated) ++m_p;
    std::string members;
    if (!ClassMembers(members)) return false;
    if (members.size() > kMaxOperandBytes) {
        SSM_CHECK(false, "ParseCCL -- closure expression too large", kUnit, SSM_FailureError);
        return false;
    }
    out += negated ? ']' : '[';
    out += static_cast<char>(members.size());
    out += members;
    return true;
}

// Reads members up to and including the closing ']'. A range starts at the character written
// just before its hyphen; a hyphen first or last is an ordinary member.
bool Translator::ClassMembers(std::string& members) {
    std::string previous, ch;
    bool first = true;
    while (*m_p != ']') {
        if (*m_p == '\0') return false;
        bool isRange = *m_p == '-' && !first && m_p[1] != ']';
        if (isRange) ++m_p;
        if (*m_p == '\0') return false;
        ch.clear();
        if (!Character(ch)) return false;
        if (isRange)
            AddRange(members, previous, ch);
        else
            members += ch;
        previous = ch;
        first = false;
        // Stop adding once far over the limit: the class is refused anyway.
        if (members.size() > kMaxOperandBytes + 1) members.resize(kMaxOperandBytes + 1);
    }
    ++m_p;
    return true;
}

void Translator::AddRange(std::string& members, const std::string& first,
                          const std::string& last) const {
    if (first.size() == 1 && last.size() == 1) {
        for (int c = static_cast<signed char>(first[0]) + 1; c <= static_cast<signed char>(last[0]);
             ++c)
            members += static_cast<char>(c);
        return;
    }
    size_t prefix = first.size() - 1;
    if (first.size() != last.size() || first.compare(0, prefix, last, 0, prefix) != 0) return;
    std::string ch = first;
    for (int t = static_cast<unsigned char>(first[prefix]) + 1;
         t <= static_cast<unsigned char>(last[prefix]); ++t) {
        ch[prefix] = static_cast<char>(t);
        members += ch;
    }
}

// One character of the text, whole, or an escape.
bool Translator::Character(std::string& ch) {
    if (*m_p == '\\') return Escape(ch);
    size_t n = CharLen(m_p, m_singleByte);
    ch.append(m_p, n);
    m_p += n;
    return true;
}

bool Translator::Escape(std::string& ch) {
    char c = *++m_p;
    switch (c) {
    case '\0': return false;
    case 'b': ch += '\b'; break;
    case 'f': ch += '\f'; break;
    case 'n': ch += '\n'; break;
    case 'r': ch += '\r'; break;
    case 't': ch += '\t'; break;
    case 'x': {
        int value = HexValue(m_p[1]);
        if (value < 0) return false;
        ++m_p;
        if (HexValue(m_p[1]) >= 0) value = value * 16 + HexValue(*++m_p);
        if (value == 0) return false;
        ch += static_cast<char>(value);
        break;
    }
    default: {
        size_t n = CharLen(m_p, m_singleByte);
        ch.append(m_p, n);
        m_p += n;
        return true;
    }
    }
    ++m_p;
    return true;
}

}  // namespace

bool Translate(const char* text, std::string& code) {
    code.clear();
    if (text == nullptr || *text == '\0') return false;
    Translator translator(text);
    if (!translator.Run(code)) code.clear();
    return !code.empty();
}

}  // namespace syspttrn
