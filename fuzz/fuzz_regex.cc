// Regular expressions: assignment (translation), Match and Substitute with a count of 0 to 3
// on `pattern\0subject\0replacement`; the pattern is also matched inside up to 4033 groups.
// The input's bytes also choose a pattern built together with a plain recursive matcher
// written straight from the matching rules (continuations as closures, closures recursing once
// per repetition), and SYS_StrPattern must agree with that reference on subjects chosen alike.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "SYS_StrEx.h"
#include "SYS_StrPattern.h"
#include "SYS_String.h"
#include "fuzz_harness.h"

namespace {

constexpr unsigned long long kFuzzStepBudget = 1ULL << 16;

struct Search {
    const std::string& subject;
    int length;
    int start;  // where the attempt began: a caret matches only in the attempt at 0
};
using Cont = std::function<int(int)>;
// Matches from pos and passes the end to the continuation: the end the whole reaches, or -1.
using Matcher = std::function<int(const Search&, int, const Cont&)>;

// A piece of pattern: its text and how it matches.
struct Piece {
    std::string text;
    Matcher match;
};

int Alone(const Matcher& element, const Search& s, int pos) {
    return element(s, pos, [](int p) { return p; });
}

Piece OneByte(std::string text, std::function<bool(unsigned char)> accepts) {
    return {std::move(text), [accepts](const Search& s, int pos, const Cont& k) {
                return pos < s.length && accepts(static_cast<unsigned char>(s.subject[pos]))
                           ? k(pos + 1) : -1;
            }};
}

// The whole-number classes stand for the library's number readers.
Piece Number(char letter) {
    return {std::string(":") + letter, [letter](const Search& s, int pos, const Cont& k) {
                const char* text = s.subject.c_str() + pos;
                const char* end = letter == 'n' ? getdouble(text, 1)
                                                : getinteger(text, letter == 'h' ? 3 : 1);
                return end == nullptr ? -1 : k(static_cast<int>(end - s.subject.c_str()));
            }};
}

Piece Anchor(char which) {
    return {std::string(1, which), [which](const Search& s, int pos, const Cont& k) {
                bool at = which == '$' ? pos == s.length : s.start == 0;
                return at ? k(pos) : -1;
            }};
}

int RunFrom(const std::vector<Piece>& items, size_t i, const Search& s, int pos, const Cont& k) {
    if (i == items.size()) return k(pos);
    return items[i].match(s, pos, [&](int p) { return RunFrom(items, i + 1, s, p, k); });
}

Piece Sequence(const std::vector<Piece>& items) {
    std::string text;
    for (const Piece& item : items) text += item.text;
    return {text, [items](const Search& s, int pos, const Cont& k) {
                return RunFrom(items, 0, s, pos, k);
            }};
}

// The furthest end over the alternatives; one that reaches the end of the subject ends the search.
Piece Alternation(const std::vector<Piece>& alternatives) {
    std::string text = alternatives[0].text;
    for (size_t i = 1; i < alternatives.size(); ++i) text += "|" + alternatives[i].text;
    return {text, [alternatives](const Search& s, int pos, const Cont& k) {
                int best = -1;
                for (size_t i = 0; i < alternatives.size() && best < s.length; ++i)
                    best = std::max(best, alternatives[i].match(s, pos, k));
                return best;
            }};
}

// The element once, then the closure again from there; failing that, the rest after it.
int Greedy(const Matcher& element, char op, const Search& s, int pos, const Cont& k) {
    int q = Alone(element, s, pos);
    if (q < 0) return op == '*' ? k(pos) : -1;
    if (q == pos) return k(q);
    int r = Greedy(element, op, s, q, k);
    return r >= 0 ? r : k(q);
}

int Lazy(const Matcher& element, char op, const Search& s, int pos, const Cont& k) {
    bool matched = false;
    for (int q = pos;;) {
        int next = Alone(element, s, q);
        if (next < 0) break;
        matched = true;
        int r = k(next);
        if (r >= 0 || next == q) return r;
        q = next;
    }
    return (!matched && op == '@') ? k(pos) : -1;
}

Piece Closure(const Piece& element, char op) {
    const Matcher e = element.match;
    return {element.text + op, [e, op](const Search& s, int pos, const Cont& k) {
                if (op == '*' || op == '+') return Greedy(e, op, s, pos, k);
                if (op == '#' || op == '@') return Lazy(e, op, s, pos, k);
                int q = Alone(e, s, pos);
                int r = q >= 0 ? k(q) : -1;
                return r >= 0 ? r : k(pos);
            }};
}

// {offset, length} of the leftmost match, {-1, 0} when none.
std::pair<int, int> Find(const Piece& pattern, const std::string& subject) {
    const int length = static_cast<int>(subject.size());
    for (int start = 0; start < length; ++start) {
        int end = pattern.match(Search{subject, length, start}, start, [](int p) { return p; });
        if (end >= 0) return {start, end - start};
    }
    return {-1, 0};
}

// Builds patterns and subjects from a stream of choices: the fuzz input's bytes, then zeros.
class Generator {
public:
    Generator(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    Piece Pattern(int depth = 0) {
        std::vector<Piece> alternatives;
        for (size_t n = Pick(4) == 0 ? 2 + Pick(2) : 1; n > 0; --n) {
            std::vector<Piece> items;
            if (Pick(8) == 0) items.push_back(Anchor('^'));
            for (size_t i = (depth == 0 ? 1 : 0) + Pick(4); i > 0; --i) items.push_back(Element(depth));
            alternatives.push_back(Sequence(items));
        }
        return Alternation(alternatives);
    }

    // One to three one-character atoms, a greedy closure over one more, then up to three
    // random elements: the shape whose failed attempts let the scan skip start positions.
    Piece PrefixedRepeat() {
        std::vector<Piece> items;
        for (size_t i = 1 + Pick(3); i > 0; --i) items.push_back(OneCharacter());
        items.push_back(Closure(OneCharacter(), "*+"[Pick(2)]));
        for (size_t i = Pick(4); i > 0; --i) items.push_back(Element(1));
        return Sequence(items);
    }

    std::string Subject() {
        static const char kAlphabet[] = "ab1-.2 xA0";
        std::string s(Pick(11), ' ');
        for (char& c : s) c = kAlphabet[Pick(sizeof kAlphabet - 1)];
        return s;
    }

    // Runs of repeated characters, where such closures backtrack the most.
    std::string RunsSubject() {
        std::string s;
        for (size_t runs = 1 + Pick(4); runs > 0; --runs) s.append(1 + Pick(12), "ab1-x"[Pick(5)]);
        return s;
    }

private:
    size_t Pick(size_t n) { return m_next < m_size ? m_data[m_next++] % n : 0; }

    Piece Element(int depth) {
        Piece atom = Atom(depth);
        return Pick(3) != 0 ? atom : Closure(atom, "*+?#@"[Pick(5)]);
    }

    Piece Atom(int depth) {
        size_t kind = Pick(depth < 3 ? 14 : 11);
        if (kind < 7) return kind == 6 ? Anchor('$') : OneCharacter(kind);
        if (kind < 11) return OneCharacter(kind);
        Piece group = Pattern(depth + 1);
        group.text = "(" + group.text + ")";
        return group;
    }

    // kind: 0-4 literal, 5 any, 7-8 class, 9-10 named class; by default one of them at random.
    Piece OneCharacter(size_t kind = 99) {
        const bool plain = kind == 99;  // no number reader: it may take several characters
        if (plain) kind = "05789"[Pick(5)] - '0';
        if (kind < 5) {
            char ch = "ab1-."[Pick(5)];
            return OneByte(ch == '.' ? "\\." : std::string(1, ch), [ch](unsigned char c) { return c == ch; });
        }
        if (kind < 7) return OneByte(".", [](unsigned char) { return true; });
        if (kind < 9) return Class();
        char letter = "abcdluxhzn"[Pick(plain ? 7 : 10)];
        if (letter == 'h' || letter == 'z' || letter == 'n') return Number(letter);
        return OneByte(std::string(":") + letter, [letter](unsigned char c) {
            switch (letter) {
            case 'a': return std::isalnum(c) != 0;
            case 'b': return std::isspace(c) != 0;
            case 'c': return std::isalpha(c) != 0;
            case 'd': return std::isdigit(c) != 0;
            case 'l': return std::islower(c) != 0;
            case 'u': return std::isupper(c) != 0;
            default: return std::isxdigit(c) != 0;
            }
        });
    }

    Piece Class() {
        static const char* const kItems[][2] = {
            {"a", "a"}, {"b", "b"}, {"1", "1"}, {"a-b", "ab"}, {"0-2", "012"},
            {"\\x61", "a"}, {"\\-", "-"}, {".", "."}, {" ", " "}};
        const bool negated = Pick(3) == 0;
        std::string text = negated ? "[^" : "[", members;
        if (Pick(4) == 0) text += members = "-";
        for (size_t i = Pick(4); i > 0; --i) {
            const auto& item = kItems[Pick(sizeof kItems / sizeof kItems[0])];
            text += item[0];
            members += item[1];
        }
        return OneByte(text + "]", [members, negated](unsigned char c) {
            return (members.find(static_cast<char>(c)) != std::string::npos) != negated;
        });
    }

    const uint8_t* m_data;
    size_t m_size;
    size_t m_next = 0;
};

// The pattern the input's bytes choose must translate, and find what the reference finds on
// the subjects chosen after it (unless the search spends its budget).
void CompareWithTheReference(const uint8_t* data, size_t size) {
    Generator generator(data, size);
    const bool runs = size > 0 && data[0] % 2 == 1;
    const Piece tree = runs ? generator.PrefixedRepeat() : generator.Pattern();
    SYS_StrPattern pattern(tree.text.c_str());
    fuzz::Require(pattern.GetCodeLength() > 0, "a generated pattern translates");
    for (int i = 0; i < 8; ++i) {
        const std::string subject = runs ? generator.RunsSubject() : generator.Subject();
        int length = -1;
        int offset = pattern.Match(subject.c_str(), &length);
        fuzz::Require(pattern.GaveUp() || Find(tree, subject) == std::make_pair(offset, length),
                      "the match of the reference matcher");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> parts = fuzz::SplitInput(data, size, 3);
    SYS_StrPattern pattern(parts[0].c_str());
    // Runaway searches give up within milliseconds instead of a second, so the fuzzer spends
    // its time on new inputs; the budget logic is the same whatever its base.
    pattern.SetStepBudget(kFuzzStepBudget);
    const long codeLength = pattern.GetCodeLength();
    const char* code = pattern;
    fuzz::Require(codeLength == 0 || code[codeLength - 1] == 'e', "compiled form ends with e");

    const std::string& subject = parts[1];
    int length = -1;
    int offset = pattern.Match(subject.c_str(), &length);
    size_t visible = std::strlen(subject.c_str());
    fuzz::Require(offset >= -1 && length >= 0, "Match result");
    fuzz::Require(offset < 0 ? length == 0 : offset + static_cast<size_t>(length) <= visible,
                  "match inside the subject");
    fuzz::Require(offset < 0 || static_cast<size_t>(offset) < visible, "no attempt at the end");

    SYS_StrPattern copy(pattern);
    int again = -1;
    fuzz::Require(copy.Match(subject.c_str(), &again) == offset && again == length,
                  "a copy matches alike");

    // Groups around a pattern change neither its meaning nor, however deep, whether it can be
    // translated and matched: the wrapped pattern compiles to the same code inside ')' ... 'e'
    // and finds the same match (unless either search spends its budget, which the extra group
    // steps may change).
    if (codeLength > 0) {
        size_t depth = 1 + (size > 0 ? data[0] % 64 : 0) * 64;
        std::string wrapped = std::string(depth, '(') + parts[0] + std::string(depth, ')');
        SYS_StrPattern nested(wrapped.c_str());
        nested.SetStepBudget(kFuzzStepBudget);
        std::string expected = std::string(depth, ')') + std::string(code, codeLength) +
                               std::string(depth, 'e');
        fuzz::Require(nested.GetCodeLength() == static_cast<long>(expected.size()) &&
                          std::memcmp(static_cast<const char*>(nested), expected.data(),
                                      expected.size()) == 0,
                      "a pattern in groups compiles inside them");
        int nestedLength = -1;
        int nestedOffset = nested.Match(subject.c_str(), &nestedLength);
        fuzz::Require(pattern.GaveUp() || nested.GaveUp() ||
                          (nestedOffset == offset && nestedLength == length),
                      "a pattern in groups matches alike");
    }

    int count = size > 0 ? data[size - 1] % 4 : 0;
    SYS_String text(subject.c_str());
    int replaced = pattern.Substitute(text, SYS_String(parts[2].c_str()), count);
    fuzz::Require(replaced >= 0 && (count == 0 || replaced <= count), "replacement count");
    fuzz::Require(offset >= 0 || pattern.GaveUp() || replaced == 0, "no match, no replacement");

    CompareWithTheReference(data, size);
    return 0;
}
