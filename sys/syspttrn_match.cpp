// The backtracking matcher over compiled code.
//
// Run(pc, end, frames, s) matches code [pc, end) at subject position s, then whatever the
// alternation frames say comes next, and returns where the whole match ends (null: no match).
// An alternative other than the last ends with an 'e' that must jump past the rest of its
// alternation; the frame pushed for it says where ('stopAt' -> 'resumeAt'). Every other 'e'
// and every ')' is simply stepped over. A closure matches its element in isolation (a fresh
// Run over the element's code alone), so the element yields one end position per attempt.
//
// Closures iterate: greedy ones collect the positions their repetitions reach (arithmetically
// when the element has a fixed width, else on a heap stack) and then try the rest from the
// furthest position back; lazy ones try the rest after each repetition. The recursion that
// remains follows the nesting of the code, and is capped.
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>

#include "SYS_StrEx.h"
#include "sys/syspttrn_engine.h"

namespace syspttrn {
namespace {

struct Frame {
    size_t stopAt;
    size_t resumeAt;
    const Frame* parent;
};

class Matcher {
public:
    Matcher(std::string_view code, const Program& program, const char* subject,
            Scratch& scratch)
        : m_codeText(code),
          m_code(reinterpret_cast<const unsigned char*>(code.data())),
          m_codeLength(code.size()),
          m_program(program),
          m_subject(subject),
          m_chain(scratch.chain),
          m_singleByte(MB_CUR_MAX == 1),
          m_budgetOrigin(scratch.origin != nullptr ? scratch.origin : subject),
          m_furthest(subject),
          m_baseSteps(scratch.baseSteps),
          m_steps(scratch.steps) {}

    // Whole match starting at s, or null.
    const char* Attempt(const char* s) {
        m_attempt = s;
        if (s > m_furthest) m_furthest = s;  // the budget grows with every start position
        return Run(0, m_codeLength, nullptr, s);
    }
    bool GaveUp() const { return m_gaveUp; }
    uint64_t Steps() const { return m_steps; }
    const char* MatchOne(size_t pc, const char* s);
    // Where the one-character operations of [0, end) leave s, or null when one fails or they
    // do not end exactly at end.
    const char* MatchPrefix(size_t end, const char* s) {
        size_t pc = 0;
        for (; pc < end && s != nullptr; pc = SkipElement(pc)) s = MatchOne(pc, s);
        return pc == end ? s : nullptr;
    }

private:
    const char* Run(size_t pc, size_t end, const Frame* frames, const char* s);
    const char* Alternation(size_t pc, size_t end, const Frame* frames, const char* s);
    const char* SimpleAlternation(size_t pc, size_t end, const Frame* frames, const char* s);
    const char* MatchSequence(size_t pc, size_t end, const char* s);
    const char* Closure(size_t pc, size_t end, const Frame* frames, const char* s);
    const char* Greedy(size_t pc, size_t end, const Frame* frames, const char* s);
    const char* GreedyFixed(size_t pc, size_t end, const Frame* frames, const char* s,
                            size_t width);
    size_t CountRepetitions(size_t pc, const char* s, size_t width);
    bool CanStart(size_t pc, size_t end, const char* s);
    const char* Lazy(size_t pc, size_t end, const Frame* frames, const char* s);
    const char* Element(size_t pc, const char* s);
    size_t FixedWidth(size_t elementPc) const;
    const char* MatchNamedClass(unsigned char letter, const char* s) const;
    const char* MatchOneByte(unsigned char op, size_t pc, const char* s);
    bool InClass(size_t pc, const char* s, size_t n) const;
    bool Step();
    // Position after the element at pc; one-character operations inline.
    size_t SkipElement(size_t pc) const {
        unsigned char op = m_code[pc];
        if (op == '.') return pc + 1;
        if (op == ':' || (op == 'c' && m_singleByte)) return pc + 2;
        if (op == '[' || op == ']') return pc + 2 + m_code[pc + 1];
        return syspttrn::SkipElement(m_codeText, pc, m_singleByte);
    }

    std::string_view m_codeText;
    const unsigned char* m_code;
    size_t m_codeLength;
    const Program& m_program;
    const char* m_subject;
    std::vector<const char*>& m_chain;
    bool m_singleByte;
    const char* m_attempt = nullptr;
    const char* m_budgetOrigin;
    const char* m_furthest;
    uint64_t m_baseSteps;
    uint64_t m_steps;
    int m_depth = 0;
    bool m_gaveUp = false;
};

// Counts one step; false (and gives up) when the budget or the depth cap is exhausted.
bool Matcher::Step() {
    if (m_gaveUp) return false;
    if ((++m_steps & 1023) != 0) return true;
    uint64_t reached = static_cast<uint64_t>(m_furthest - m_budgetOrigin);
    if (m_steps > m_baseSteps + kStepsPerByte * reached) m_gaveUp = true;
    return !m_gaveUp;
}

// Keeps the recursion depth of one Run call.
class DepthGuard {
public:
    explicit DepthGuard(int& depth) : m_depth(depth) { ++m_depth; }
    ~DepthGuard() { --m_depth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    int& m_depth;
};

const char* Matcher::Run(size_t pc, size_t end, const Frame* frames, const char* s) {
    DepthGuard guard(m_depth);
    if (m_depth > kMaxRunDepth) m_gaveUp = true;
    if (m_gaveUp) return nullptr;
    for (;;) {
        if (frames != nullptr && pc == frames->stopAt) {
            pc = frames->resumeAt;
            frames = frames->parent;
            continue;
        }
        if (pc >= end) return s;
        if (!Step()) return nullptr;
        unsigned char op = m_code[pc];
        if (op == 'e' || op == ')') {
            ++pc;
        } else if (op == '^') {
            if (m_attempt != m_subject) return nullptr;
            ++pc;
        } else if (op == '$') {
            if (*s != '\0') return nullptr;
            ++pc;
        } else if (op == '|') {
            return Alternation(pc, end, frames, s);
        } else if (IsClosureOp(op)) {
            return Closure(pc, end, frames, s);
        } else {
            s = MatchOne(pc, s);
            if (s == nullptr) return nullptr;
            pc = SkipElement(pc);
        }
    }
}

// The first alternative that ends furthest along the subject wins; one that reaches the end of
// the subject cannot be beaten, so the others are not tried.
const char* Matcher::Alternation(size_t pc, size_t end, const Frame* frames, const char* s) {
    if (m_program.simpleAlternation[pc]) return SimpleAlternation(pc, end, frames, s);
    size_t after = m_program.alternationEnd[pc];
    const char* best = nullptr;
    while (m_code[pc] == '|') {
        size_t bodyEnd = m_program.alternativeEnd[pc];
        Frame frame{bodyEnd, after, frames};
        const char* r = Run(pc + 1, end, &frame, s);
        if (r != nullptr && (best == nullptr || r > best)) best = r;
        if (m_gaveUp) return nullptr;
        if (best != nullptr && *best == '\0') return best;
        pc = bodyEnd + 1;
    }
    const char* r = Run(pc, end, frames, s);
    if (r != nullptr && (best == nullptr || r > best)) best = r;
    return m_gaveUp ? nullptr : best;
}

// Alternation as above, for alternatives made of one-character operations only: each
// alternative's end is found with a loop, and the rest runs once per alternative that matched
// (not at all when nothing follows).
const char* Matcher::SimpleAlternation(size_t pc, size_t end, const Frame* frames,
                                       const char* s) {
    size_t after = m_program.alternationEnd[pc];
    bool nothingFollows = after >= end && frames == nullptr;
    const char* best = nullptr;
    for (size_t body = pc;;) {
        bool last = m_code[body] != '|';
        size_t bodyStart = last ? body : body + 1;
        size_t bodyEnd = last ? after - 1 : m_program.alternativeEnd[body];
        const char* e = MatchSequence(bodyStart, bodyEnd, s);
        const char* r = e == nullptr || nothingFollows ? e : Run(after, end, frames, e);
        if (m_gaveUp) return nullptr;
        if (r != nullptr && (best == nullptr || r > best)) best = r;
        if (last || (best != nullptr && *best == '\0')) return best;
        body = bodyEnd + 1;
    }
}

// End of the one-character operations [pc, end) matched from s, or null.
const char* Matcher::MatchSequence(size_t pc, size_t end, const char* s) {
    while (pc < end && s != nullptr) {
        if (!Step()) return nullptr;
        s = MatchOne(pc, s);
        pc = SkipElement(pc);
    }
    return s;
}

const char* Matcher::Closure(size_t pc, size_t end, const Frame* frames, const char* s) {
    unsigned char op = m_code[pc];
    if (op == '*' || op == '+') return Greedy(pc, end, frames, s);
    if (op == '#' || op == '@') return Lazy(pc, end, frames, s);
    size_t rest = pc + 2 + m_code[pc + 1];
    const char* once = Element(pc, s);
    if (once != nullptr) {
        const char* r = Run(rest, end, frames, once);
        if (r != nullptr || m_gaveUp) return r;
    }
    return Run(rest, end, frames, s);
}

// The element of the closure at pc, matched once in isolation from s.
const char* Matcher::Element(size_t pc, const char* s) {
    size_t elementPc = pc + 2;
    size_t elementEnd = elementPc + m_code[pc + 1];
    if (IsSingleCharOp(m_code[elementPc]) && SkipElement(elementPc) == elementEnd) {
        if (!Step()) return nullptr;
        return MatchOne(elementPc, s);
    }
    size_t alternation = elementPc + 1;  // a group of one-character alternatives
    if (m_code[elementPc] == ')' && m_code[alternation] == '|' &&
        m_program.simpleAlternation[alternation] &&
        m_program.alternationEnd[alternation] == elementEnd)
        return SimpleAlternation(alternation, elementEnd, nullptr, s);
    return Run(elementPc, elementEnd, nullptr, s);
}

// Byte width of every match of the one-operation element at elementPc, or 0 when it varies.
size_t Matcher::FixedWidth(size_t elementPc) const {
    unsigned char op = m_code[elementPc];
    if (op == 'c') return SkipElement(elementPc) - elementPc - 1;
    return m_singleByte && ConsumesOneCharacter(m_code + elementPc) ? 1 : 0;
}

const char* Matcher::Greedy(size_t pc, size_t end, const Frame* frames, const char* s) {
    size_t elementPc = pc + 2;
    size_t rest = elementPc + m_code[pc + 1];
    size_t width = m_singleByte ? m_program.elementWidth[pc]
                 : (SkipElement(elementPc) == rest ? FixedWidth(elementPc) : 0);
    if (width != 0) return GreedyFixed(pc, end, frames, s, width);
    size_t base = m_chain.size();
    for (const char* q = s;;) {
        const char* next = Element(pc, q);
        if (next == nullptr) break;
        m_chain.push_back(next);
        if (next == q || m_gaveUp) break;  // an empty repetition would repeat forever
        q = next;
    }
    size_t count = m_chain.size() - base;
    const char* result = nullptr;
    if (count == 0) {
        if (m_code[pc] == '*' && !m_gaveUp) result = Run(rest, end, frames, s);
    } else {
        for (size_t i = count; i-- > 0 && result == nullptr && !m_gaveUp;)
            result = Run(rest, end, frames, m_chain[base + i]);
    }
    m_chain.resize(base);
    return m_gaveUp ? nullptr : result;
}

const char* Matcher::GreedyFixed(size_t pc, size_t end, const Frame* frames, const char* s,
                                 size_t width) {
    size_t rest = pc + 2 + m_code[pc + 1];
    size_t count = CountRepetitions(pc, s, width);
    if (m_gaveUp) return nullptr;
    if (count == 0) return m_code[pc] == '*' ? Run(rest, end, frames, s) : nullptr;
    for (; count > 0; --count) {
        const char* from = s + count * width;
        if (!CanStart(rest, end, from)) continue;
        const char* r = Run(rest, end, frames, from);
        if (r != nullptr || m_gaveUp) return r;
    }
    return nullptr;
}

// Repetitions of the fixed-width element of the closure at pc from s, as many as match.
size_t Matcher::CountRepetitions(size_t pc, const char* s, size_t width) {
    size_t elementPc = pc + 2;
    unsigned char op = m_code[elementPc];
    size_t count = 0;
    if (m_singleByte && m_code[pc + 1] == SkipElement(elementPc) - elementPc &&
        ConsumesOneCharacter(m_code + elementPc)) {
        for (const char* q = s; *q != '\0' && Step() && MatchOneByte(op, elementPc, q); ++q)
            ++count;
        return count;
    }
    const char* next;
    for (const char* q = s; (next = Element(pc, q)) != nullptr && next == q + width; q = next)
        ++count;
    return count;
}

// False when the code at pc certainly fails at s: it starts with a one-character operation
// that does not match there (single-byte locale). Saves a call per backtracking position.
bool Matcher::CanStart(size_t pc, size_t end, const char* s) {
    if (!m_singleByte || pc >= end) return true;
    unsigned char op = m_code[pc];
    if (!ConsumesOneCharacter(m_code + pc)) return true;
    return *s != '\0' && MatchOneByte(op, pc, s) != nullptr;
}

const char* Matcher::Lazy(size_t pc, size_t end, const Frame* frames, const char* s) {
    size_t rest = pc + 2 + m_code[pc + 1];
    bool matched = false;
    for (const char* q = s;;) {
        const char* next = Element(pc, q);
        if (next == nullptr) break;
        matched = true;
        const char* r = Run(rest, end, frames, next);
        if (r != nullptr || m_gaveUp) return r;
        if (next == q) break;  // an empty repetition would repeat forever
        q = next;
    }
    if (m_gaveUp) return nullptr;
    if (!matched && m_code[pc] == '@') return Run(rest, end, frames, s);
    return nullptr;
}

// MatchOne in a single-byte locale, where every byte is a character; s is not at the end.
const char* Matcher::MatchOneByte(unsigned char op, size_t pc, const char* s) {
    unsigned char c = static_cast<unsigned char>(*s);
    bool ok;
    switch (op) {
    case 'c': ok = c == m_code[pc + 1]; break;
    case '.': ok = true; break;
    case ':': ok = TestClass(m_code[pc + 1], c); break;
    case '[': ok = m_program.sets[m_program.setAt[pc]].Has(c); break;
    default: ok = !m_program.sets[m_program.setAt[pc]].Has(c); break;
    }
    if (!ok) return nullptr;
    if (s + 1 > m_furthest) m_furthest = s + 1;
    return s + 1;
}

// Matches one single-character operation ('c', '.', ':', '[', ']') at s.
const char* Matcher::MatchOne(size_t pc, const char* s) {
    unsigned char op = m_code[pc];
    if (op == ':' && IsNumberClass(m_code[pc + 1])) {
        const char* next = MatchNamedClass(m_code[pc + 1], s);
        if (next != nullptr && next > m_furthest) m_furthest = next;
        return next;
    }
    if (*s == '\0') return nullptr;
    if (m_singleByte) return MatchOneByte(op, pc, s);
    size_t n = CharLen(s, false);
    bool ok;
    if (op == 'c') {
        size_t operand = SkipElement(pc) - pc - 1;
        ok = operand == n && std::memcmp(s, m_code + pc + 1, n) == 0;
    } else if (op == '.') {
        ok = true;
    } else if (op == ':') {
        ok = MatchNamedClass(m_code[pc + 1], s) != nullptr;
    } else {
        ok = InClass(pc, s, n) == (op == '[');
    }
    if (!ok) return nullptr;
    if (s + n > m_furthest) m_furthest = s + n;
    return s + n;
}

// End of the named class at s, or null. s is not at the terminator for one-character classes.
const char* Matcher::MatchNamedClass(unsigned char letter, const char* s) const {
    switch (letter) {
    case 'h': return getinteger(s, 3);
    case 'z': return getinteger(s, 1);
    case 'n': return getdouble(s, 1);
    default: break;
    }
    size_t n = CharLen(s, m_singleByte);
    if (n == 1) return TestClass(letter, static_cast<unsigned char>(*s)) ? s + 1 : nullptr;
    std::mbstate_t state{};
    wchar_t wide;
    size_t got = std::mbrtowc(&wide, s, n, &state);
    if (got != n) return nullptr;
    return TestWideClass(letter, static_cast<wint_t>(wide)) ? s + n : nullptr;
}

// Whether the multibyte-locale character of n bytes at s is a member of the class at pc.
bool Matcher::InClass(size_t pc, const char* s, size_t n) const {
    const char* member = reinterpret_cast<const char*>(m_code + pc + 2);
    const char* membersEnd = member + m_code[pc + 1];
    while (member < membersEnd) {
        size_t m = CharLen(member, false);
        if (member + m > membersEnd) m = static_cast<size_t>(membersEnd - member);
        if (m == n && std::memcmp(member, s, n) == 0) return true;
        member += m;
    }
    return false;
}

// Start of the next attempt after a failed one at s. When the code starts with k one-character
// operations and then a greedy closure over one character, and has no '^', an attempt at s
// whose prefix matched ran the closure to the end of its run (q) and tried the rest of the
// code at every position the closure could stop at. A later start j <= q - k would run the
// closure to the same q and try the rest at a subset of those positions, so it fails too: the
// next start worth trying is q - k + 1 (one character past q when k is 0). With k > 0 the step
// back is counted in bytes, so it is taken only in a single-byte locale.
const char* NextStart(Matcher& matcher, const Program& program, const char* s, bool singleByte) {
    const size_t repeatPc = program.repeatPc;
    if (repeatPc != Program::kNoRepeat && !program.hasCaret && (repeatPc == 0 || singleByte)) {
        const char* p = matcher.MatchPrefix(repeatPc, s);
        if (p != nullptr) {
            const char* q = p;
            while (*q != '\0') {
                const char* next = matcher.MatchOne(repeatPc + 2, q);
                if (next == nullptr) break;
                q = next;
            }
            if (*q == '\0') return q;  // no later start has room for the prefix and the rest
            if (singleByte) return q - (p - s) + 1;
            if (q != s) return q + CharLen(q, singleByte);
        }
    }
    return s + CharLen(s, singleByte);
}

// First position from s holding c, or null when the subject ends first. With a known end the
// search is memchr. Otherwise the text is taken in blocks whose length strnlen bounds: each
// call reads at most one block past the match, so repeated searches along a long text stay
// linear (strchr would too, but sanitizers check the whole rest of the string on every call).
const char* SkipToByte(const char* s, const char* subjectEnd, char c) {
    if (subjectEnd != nullptr)
        return static_cast<const char*>(std::memchr(s, c, static_cast<size_t>(subjectEnd - s)));
    constexpr size_t kBlock = 4096;
    for (;;) {
        size_t length = strnlen(s, kBlock);
        if (const void* hit = std::memchr(s, c, length)) return static_cast<const char*>(hit);
        if (length < kBlock) return c == '\0' ? s + length : nullptr;
        s += length;
    }
}

// First position from s whose byte can begin a match, or null.
const char* SkipToFirstByte(const Program& program, const char* s, const char* subjectEnd) {
    if (program.firstByte >= 0) return SkipToByte(s, subjectEnd, static_cast<char>(program.firstByte));
    while (!program.firstBytes.Has(static_cast<unsigned char>(*s))) {
        if (*s == '\0') return nullptr;
        ++s;
    }
    return s;
}

// Leftmost occurrence of a literal text in a single-byte subject: a skip to each occurrence
// of its first byte, then a compare that stops at the first difference (or the terminator).
Found FindLiteral(const std::string& literal, const char* subject, const char* subjectEnd) {
    Found found;
    for (const char* s = subject; (s = SkipToByte(s, subjectEnd, literal[0])) != nullptr; ++s) {
        size_t i = 1;
        while (i < literal.size() && s[i] == literal[i]) ++i;
        if (i == literal.size()) {
            found.offset = s - subject;
            found.length = static_cast<long>(literal.size());
            break;
        }
        if (s[i] == '\0') break;
    }
    return found;
}

// Tries the start positions of the subject from the first; the first match wins.
Found Scan(Matcher& matcher, const Program& program, const char* subject,
           const char* subjectEnd, bool singleByte) {
    Found found;
    for (const char* s = subject; *s != '\0'; s = NextStart(matcher, program, s, singleByte)) {
        if (singleByte && !program.anyFirstByte) {
            s = SkipToFirstByte(program, s, subjectEnd);
            if (s == nullptr) break;
        }
        const char* end = matcher.Attempt(s);
        if (end != nullptr) {
            found.offset = s - subject;
            found.length = end - s;
            return found;
        }
        if (matcher.GaveUp() || program.anchored) break;
    }
    found.gaveUp = matcher.GaveUp();
    return found;
}

}  // namespace

Found Find(std::string_view code, const Program& program, const char* subject,
           const char* subjectEnd, Scratch& scratch) {
    if (code.empty() || subject == nullptr || *subject == '\0') return Found();
    bool singleByte = MB_CUR_MAX == 1;
    if (singleByte && !program.literal.empty()) return FindLiteral(program.literal, subject, subjectEnd);
    Matcher matcher(code, program, subject, scratch);
    Found found = Scan(matcher, program, subject, subjectEnd, singleByte);
    scratch.steps = matcher.Steps();
    return found;
}

int SubstituteAll(std::string_view code, const Program& program, const char* text,
                  size_t length, const char* replacement, size_t replacementLength, int count,
                  uint64_t baseSteps, std::string& out, bool& gaveUp) {
    Scratch scratch;
    scratch.baseSteps = baseSteps;
    scratch.origin = text;  // one step budget for all the searches over text
    bool singleByte = MB_CUR_MAX == 1;
    const char* searchEnd = text + std::strlen(text);  // searches stop at the first NUL
    size_t pos = 0;
    int replaced = 0;
    gaveUp = false;
    while (count == 0 || replaced < count) {
        Found found = Find(code, program, text + pos, searchEnd, scratch);
        gaveUp = found.gaveUp;
        if (found.offset < 0) break;
        size_t matchStart = pos + static_cast<size_t>(found.offset);
        out.append(text + pos, matchStart - pos);
        out.append(replacement, replacementLength);
        pos = matchStart + static_cast<size_t>(found.length);
        ++replaced;
        if (found.length == 0) {
            if (text[pos] == '\0') break;
            size_t n = CharLen(text + pos, singleByte);
            out.append(text + pos, n);
            pos += n;
        }
    }
    out.append(text + pos, length - pos);
    return replaced;
}

}  // namespace syspttrn
