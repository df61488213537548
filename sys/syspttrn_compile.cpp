// Translation of pattern text into compiled code, in one left-to-right pass over
//   expression  = alternative { '|' alternative }
//   alternative = [ '^' ] { element [ closure ] }
//   element     = '(' expression ')' | class | named class | '.' | '$' | character
// Open groups wait on a heap stack, so any nesting depth costs memory, never machine stack.
// Two kinds of code depend on text not yet read where they belong: the '|' before every
// alternative but the last (known once a '|' follows it), and the closure code and length byte
// before a repeated element (known once the closure character follows it). The pass writes
// everything else and notes each of those insertions; one merge at the end puts them in place.
#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <vector>

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

    // The compiled code of the whole text, or false when the text is not a pattern.
    bool Run(std::string& code);

private:
    // Bytes that go before the code written at `at`.
    struct Insertion {
        size_t at;
        char bytes[2];
        size_t size;
    };
    // A group whose ')' has not been read yet: where its code starts, and the state of the
    // enclosing alternative to return to.
    struct OpenGroup {
        size_t elementStart;
        size_t insertedBefore;
        size_t alternativeStart;
    };

    void BeginAlternative();
    bool EndElement(size_t elementStart, size_t insertedBefore);
    void Insert(size_t at, char first, char second, size_t size);
    void Merge(std::string& code);
    bool Element(std::string& out);
    bool NamedClassOrColon(std::string& out);
    bool Class(std::string& out);
    bool ClassMembers(std::string& members);
    bool Character(std::string& ch);
    bool Escape(std::string& ch);
    void AddRange(std::string& members, const std::string& first, const std::string& last) const;

    const char* m_p;
    bool m_singleByte;
    std::string m_code;                    // the code without its insertions
    std::vector<Insertion> m_insertions;   // in the order they became known
    size_t m_insertedBytes = 0;            // bytes of all insertions so far
    std::vector<OpenGroup> m_groups;
    size_t m_alternativeStart = 0;
};

bool Translator::Run(std::string& code) {
    BeginAlternative();
    for (;;) {
        char c = *m_p;
        if (c == '|') {
            ++m_p;
            Insert(m_alternativeStart, '|', 0, 1);
            m_code += 'e';
            BeginAlternative();
        } else if (c == ')' || c == '\0') {
            m_code += 'e';
            if (m_groups.empty() || c == '\0') break;
            ++m_p;
            OpenGroup group = m_groups.back();
            m_groups.pop_back();
            m_alternativeStart = group.alternativeStart;
            if (!EndElement(group.elementStart, group.insertedBefore)) return false;
        } else if (c == '(') {
            ++m_p;
            m_groups.push_back({m_code.size(), m_insertedBytes, m_alternativeStart});
            m_code += ')';
            BeginAlternative();
        } else {
            size_t elementStart = m_code.size();
            size_t insertedBefore = m_insertedBytes;
            if (!Element(m_code) || !EndElement(elementStart, insertedBefore)) return false;
        }
    }
    // A ')' without its '(' ends the text too early; a '(' without its ')' leaves a group open.
    if (*m_p != '\0' || !m_groups.empty()) return false;
    Merge(code);
    return true;
}

void Translator::BeginAlternative() {
    m_alternativeStart = m_code.size();
    if (*m_p == '^') {
        m_code += '^';
        ++m_p;
    }
}

// Wraps the element whose code starts at elementStart into the closure that follows it, if any.
// Its size counts the insertions made inside it since (insertedBefore bytes came before it).
bool Translator::EndElement(size_t elementStart, size_t insertedBefore) {
    if (!IsClosureChar(*m_p)) return true;
    size_t size = m_code.size() - elementStart + (m_insertedBytes - insertedBefore);
    if (size > kMaxOperandBytes) {
        SSM_CHECK(false, "ParseClosure -- closure expression too large", kUnit, SSM_FailureError);
        return false;
    }
    Insert(elementStart, *m_p++, static_cast<char>(size), 2);
    return true;
}

void Translator::Insert(size_t at, char first, char second, size_t size) {
    m_insertions.push_back({at, {first, second}, size});
    m_insertedBytes += size;
}

// Two insertions at one place belong to nested constructs that start there: an alternative and
// the element that begins it. The outer one became known later and goes first.
void Translator::Merge(std::string& code) {
    std::vector<size_t> order(m_insertions.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [this](size_t a, size_t b) {
        const size_t atA = m_insertions[a].at, atB = m_insertions[b].at;
        return atA != atB ? atA < atB : a > b;
    });
    code.clear();
    code.reserve(m_code.size() + m_insertedBytes);
    size_t from = 0;
    for (size_t i : order) {
        const Insertion& insertion = m_insertions[i];
        code.append(m_code, from, insertion.at - from);
        code.append(insertion.bytes, insertion.size);
        from = insertion.at;
    }
    code.append(m_code, from, std::string::npos);
}

// An element other than a group.
bool Translator::Element(std::string& out) {
    char c = *m_p;
    if (CannotBeginElement(c)) return false;
    switch (c) {
    case '.':
    case '$':
        out += c;
        ++m_p;
        return true;
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
