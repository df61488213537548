// Differential test: random patterns, generated as syntax trees and printed as text, are
// matched by SYS_StrPattern and by a plain recursive matcher written here straight from the
// matching rules (continuations as closures, closures recursing once per repetition). The two
// must agree on every subject.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "SYS_StrEx.h"
#include "SYS_StrPattern.h"
#include "regex_test_support.h"

namespace {

struct Node {
    enum Kind { Lit, Any, End, Caret, Class, Named, Group, Closure } kind = Lit;
    char ch = 0;                           // Lit
    std::string members;                   // Class, expanded
    bool negated = false;                  // Class
    std::string text;                      // Class, as written
    char letter = 0;                       // Named
    std::vector<std::vector<Node>> alts;   // Group
    char op = 0;                           // Closure
    std::vector<Node> inner;               // Closure: one element
};
using Alternatives = std::vector<std::vector<Node>>;

Node Make(Node::Kind kind) {
    Node n;
    n.kind = kind;
    return n;
}

// The whole-number classes stand for the library's number readers.
int ReadNumber(const std::string& s, int pos, char letter) {
    const char* text = s.c_str() + pos;
    const char* end = letter == 'n' ? getdouble(text, 1) : getinteger(text, letter == 'h' ? 3 : 1);
    return end == nullptr ? -1 : static_cast<int>(end - s.c_str());
}

class Reference {
public:
    using Cont = std::function<int(int)>;

    explicit Reference(const std::string& subject) : m_s(subject), m_len(static_cast<int>(subject.size())) {}

    // {offset, length} of the leftmost match, {-1, 0} when none.
    std::pair<int, int> Find(const Alternatives& top) {
        for (m_start = 0; m_start < m_len; ++m_start) {
            int end = Alts(top, m_start, [](int p) { return p; });
            if (end >= 0) return {m_start, end - m_start};
        }
        return {-1, 0};
    }

private:
    int Alts(const Alternatives& alts, int pos, const Cont& k) {
        int best = -1;
        for (const std::vector<Node>& alt : alts) {
            int r = Seq(alt.data(), alt.size(), pos, k);
            if (r > best) best = r;
            if (best == m_len) break;
        }
        return best;
    }

    int Seq(const Node* nodes, size_t count, int pos, const Cont& k) {
        if (count == 0) return k(pos);
        const Node& n = nodes[0];
        Cont rest = [&](int p) { return Seq(nodes + 1, count - 1, p, k); };
        switch (n.kind) {
        case Node::End: return pos == m_len ? rest(pos) : -1;
        case Node::Caret: return m_start == 0 ? rest(pos) : -1;
        case Node::Group: return Alts(n.alts, pos, rest);
        case Node::Closure: return ClosureAt(n, pos, rest);
        default: {
            int q = Single(n, pos);
            return q < 0 ? -1 : rest(q);
        }
        }
    }

    int Isolated(const Node& element, int pos) {
        return Seq(&element, 1, pos, [](int p) { return p; });
    }

    int ClosureAt(const Node& n, int pos, const Cont& rest) {
        const Node& e = n.inner[0];
        if (n.op == '?') {
            int q = Isolated(e, pos);
            if (q >= 0) {
                int r = rest(q);
                if (r >= 0) return r;
            }
            return rest(pos);
        }
        if (n.op == '*' || n.op == '+') return Greedy(n, pos, rest);
        bool matched = false;
        for (int q = pos;;) {
            int next = Isolated(e, q);
            if (next < 0) break;
            matched = true;
            int r = rest(next);
            if (r >= 0) return r;
            if (next == q) break;
            q = next;
        }
        return (!matched && n.op == '@') ? rest(pos) : -1;
    }

    // The element once, then the closure again from there; failing that, the rest after it.
    int Greedy(const Node& n, int pos, const Cont& rest) {
        int q = Isolated(n.inner[0], pos);
        if (q < 0) return n.op == '*' ? rest(pos) : -1;
        if (q == pos) return rest(q);
        int r = Greedy(n, q, rest);
        return r >= 0 ? r : rest(q);
    }

    int Single(const Node& n, int pos) {
        if (n.kind == Node::Named && (n.letter == 'z' || n.letter == 'h' || n.letter == 'n'))
            return ReadNumber(m_s, pos, n.letter);
        if (pos >= m_len) return -1;
        unsigned char c = static_cast<unsigned char>(m_s[pos]);
        bool ok = false;
        switch (n.kind) {
        case Node::Lit: ok = m_s[pos] == n.ch; break;
        case Node::Any: ok = true; break;
        case Node::Class: ok = (n.members.find(m_s[pos]) != std::string::npos) != n.negated; break;
        case Node::Named: ok = NamedClass(n.letter, c); break;
        default: break;
        }
        return ok ? pos + 1 : -1;
    }

    static bool NamedClass(char letter, unsigned char c) {
        switch (letter) {
        case 'a': return std::isalnum(c);
        case 'b': return std::isspace(c);
        case 'c': return std::isalpha(c);
        case 'd': return std::isdigit(c);
        case 'l': return std::islower(c);
        case 'u': return std::isupper(c);
        case 'x': return std::isxdigit(c);
        default: return false;
        }
    }

    const std::string& m_s;
    int m_len;
    int m_start = 0;
};

class Generator {
public:
    explicit Generator(unsigned seed) : m_rng(seed) {}

    Alternatives Pattern() { return Alts(0); }

    std::string Subject() {
        static const char kAlphabet[] = "ab1-.2 xA0";
        std::string s(Pick(11), ' ');
        for (char& c : s) c = kAlphabet[Pick(sizeof kAlphabet - 1)];
        return s;
    }

    // One to three one-character atoms, a greedy closure over one more, then up to three
    // random elements: the shape whose failed attempts let the scan skip start positions.
    Alternatives PrefixedRepeat() {
        std::vector<Node> alt;
        for (size_t i = 1 + Pick(3); i > 0; --i) alt.push_back(OneCharacterAtom());
        Node closure = Make(Node::Closure);
        closure.op = "*+"[Pick(2)];
        closure.inner.push_back(OneCharacterAtom());
        alt.push_back(closure);
        for (size_t i = Pick(4); i > 0; --i) alt.push_back(Element(1));
        return Alternatives{alt};
    }

    // Runs of repeated characters, where such closures backtrack the most.
    std::string RunsSubject() {
        static const char kAlphabet[] = "ab1-x";
        std::string s;
        for (size_t runs = 1 + Pick(4); runs > 0; --runs)
            s.append(1 + Pick(12), kAlphabet[Pick(sizeof kAlphabet - 1)]);
        return s;
    }

private:
    size_t Pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(m_rng); }

    Alternatives Alts(int depth) {
        Alternatives alts(Pick(4) == 0 ? 2 + Pick(2) : 1);
        for (std::vector<Node>& alt : alts) {
            if (Pick(8) == 0) alt.push_back(Make(Node::Caret));
            size_t count = (depth == 0 ? 1 : 0) + Pick(4);
            for (size_t i = 0; i < count; ++i) alt.push_back(Element(depth));
        }
        return alts;
    }

    Node Element(int depth) {
        Node n = Atom(depth);
        if (Pick(3) != 0) return n;
        Node closure = Make(Node::Closure);
        closure.op = "*+?#@"[Pick(5)];
        closure.inner.push_back(n);
        return closure;
    }

    Node OneCharacterAtom() {
        for (;;) {
            Node n = Atom(3);  // no groups at this depth
            if (n.kind == Node::End) continue;
            if (n.kind == Node::Named && std::strchr("hzn", n.letter) != nullptr) continue;
            return n;
        }
    }

    Node Atom(int depth) {
        size_t kind = Pick(depth < 3 ? 14 : 11);
        Node n;
        if (kind < 5) {
            n.kind = Node::Lit;
            n.ch = "ab1-."[Pick(5)];
        } else if (kind < 6) {
            n.kind = Node::Any;
        } else if (kind < 7) {
            n.kind = Node::End;
        } else if (kind < 9) {
            ClassAtom(n);
        } else if (kind < 11) {
            n.kind = Node::Named;
            n.letter = "abcdluxhzn"[Pick(10)];
        } else {
            n.kind = Node::Group;
            n.alts = Alts(depth + 1);
        }
        return n;
    }

    void ClassAtom(Node& n) {
        static const char* const kItems[][2] = {
            {"a", "a"}, {"b", "b"}, {"1", "1"}, {"a-b", "ab"}, {"0-2", "012"},
            {"\\x61", "a"}, {"\\-", "-"}, {".", "."}, {" ", " "}};
        n.kind = Node::Class;
        n.negated = Pick(3) == 0;
        n.text = n.negated ? "[^" : "[";
        if (Pick(4) == 0) {
            n.text += '-';
            n.members += '-';
        }
        for (size_t i = Pick(4); i > 0; --i) {
            const auto& item = kItems[Pick(sizeof kItems / sizeof kItems[0])];
            n.text += item[0];
            n.members += item[1];
        }
        n.text += ']';
    }

    std::mt19937 m_rng;
};

std::string Print(const Alternatives& alts);

std::string Print(const Node& n) {
    switch (n.kind) {
    case Node::Lit: return n.ch == '.' ? "\\." : std::string(1, n.ch);
    case Node::Any: return ".";
    case Node::End: return "$";
    case Node::Caret: return "^";
    case Node::Class: return n.text;
    case Node::Named: return std::string(":") + n.letter;
    case Node::Group: return "(" + Print(n.alts) + ")";
    case Node::Closure: return Print(n.inner[0]) + n.op;
    }
    return "";
}

std::string Print(const Alternatives& alts) {
    std::string text;
    for (size_t i = 0; i < alts.size(); ++i) {
        if (i > 0) text += '|';
        for (const Node& n : alts[i]) text += Print(n);
    }
    return text;
}

// Random trees on short random subjects, then one to three one-character atoms before a greedy
// closure on runs of repeated characters: the shape whose failed attempts let the scan skip
// start positions.
TEST(SYS_StrPatternReference, AgreesWithAPlainRecursiveMatcher) {
    Generator generator(20261206);
    int compared = 0, matched = 0;
    for (int round = 0; round < 7000; ++round) {
        const bool runs = round >= 4000;
        Alternatives tree = runs ? generator.PrefixedRepeat() : generator.Pattern();
        std::string text = Print(tree);
        BreakCounter breaks;
        SYS_StrPattern pattern(text.c_str());
        ASSERT_EQ(0, breaks.Breaks()) << text;
        for (int i = 0; i < 20; ++i) {
            std::string subject = runs ? generator.RunsSubject() : generator.Subject();
            std::pair<int, int> expected = Reference(subject).Find(tree);
            int length = -1;
            int offset = pattern.Match(subject.c_str(), &length);
            ASSERT_EQ(expected, std::make_pair(offset, length))
                << "pattern '" << text << "' subject '" << subject << "'";
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
