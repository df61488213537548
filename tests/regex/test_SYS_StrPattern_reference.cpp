// Differential test: random patterns are built together with a plain recursive matcher written
// straight from the matching rules (continuations as closures, closures recursing once per
// repetition), and SYS_StrPattern must agree with it on every subject.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "SYS_StrEx.h"
#include "SYS_StrPattern.h"
#include "tessar_breaks.h"

namespace {

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

class Generator {
public:
    explicit Generator(unsigned seed) : m_rng(seed) {}

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
    size_t Pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(m_rng); }

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

    std::mt19937 m_rng;
};

// Random trees on short random subjects, then one-character prefixes before a greedy closure on
// runs of repeated characters.
TEST(SYS_StrPatternReference, AgreesWithAPlainRecursiveMatcher) {
    Generator generator(20261206);
    int compared = 0, matched = 0;
    for (int round = 0; round < 7000; ++round) {
        const bool runs = round >= 4000;
        const Piece tree = runs ? generator.PrefixedRepeat() : generator.Pattern();
        ScopedBreakCounter breaks;
        SYS_StrPattern pattern(tree.text.c_str());
        ASSERT_EQ(0, breaks.Breaks()) << tree.text;
        for (int i = 0; i < 20; ++i) {
            const std::string subject = runs ? generator.RunsSubject() : generator.Subject();
            int length = -1;
            int offset = pattern.Match(subject.c_str(), &length);
            ASSERT_EQ(Find(tree, subject), std::make_pair(offset, length))
                << "pattern '" << tree.text << "' subject '" << subject << "'";
            ASSERT_FALSE(pattern.GaveUp());
            ++compared;
            matched += offset >= 0;
        }
    }
    // The generator must exercise both outcomes, not just one of them.
    EXPECT_GT(matched, compared / 5);
    EXPECT_LT(matched, compared * 4 / 5);
}

}  // namespace
