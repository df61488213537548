// The backtracking matcher over compiled code.
//
// A Run matches code [pc, end) at subject position s, then whatever the alternation frames say
// comes next, and yields where the whole match ends (null: no match). An alternative other than
// the last ends with an 'e' that must jump past the rest of its alternation; the frame pushed
// for it says where ('stopAt' -> 'resumeAt'). Every other 'e' and every ')' is simply stepped
// over. A closure matches its element in isolation (a Run over the element's code alone), so
// the element yields one end position per attempt.
//
// Closures iterate: greedy ones collect the positions their repetitions reach (arithmetically
// when the element has a fixed width, else on a heap stack) and then try the rest from the
// furthest position back; lazy ones try the rest after each repetition.
//
// Nothing here recurses on the machine stack. A Run goes through plain code (characters,
// classes, anchors, group bounds) in a loop; the alternations and closures it reaches become
// tasks on a heap stack. A construct takes over the Run that reached it (the rest of that Run
// is the construct's business); when it needs a Run of its own (an alternative, the rest after
// a repetition, a compound element), that Run goes as far as it can at once, and the construct
// waits only when the Run reaches a construct in turn, pushed above it. Frames of alternatives
// and positions of repetitions live on heap stacks too, so a pattern of any nesting depth or
// length costs memory in proportion, and the step budget alone bounds time.
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>

#include "SYS_StrEx.h"
#include "sys/syspttrn_engine.h"

namespace syspttrn {
namespace {

constexpr size_t kNoFrame = SIZE_MAX;

// Where a Run that reaches stopAt goes on, and the frame that holds after that.
struct Frame {
    size_t stopAt;
    size_t resumeAt;
    size_t parent;  // index on the frame stack, kNoFrame for none
};

// Progress of a task: which result it waits for, or what it does next.
enum Phase : uint8_t {
    kFirst,         // not started
    kAfterElement,  // the element's end has come (null: it did not match)
    kCounted,       // fixed-width repetitions counted
    kTryNext,       // tries the rest after the next repetition back
    kAfterRest,     // the rest (or a non-last alternative and the rest) has answered
    kAfterLast,     // the last alternative and the rest have answered
};

// An alternation or a closure that a Run reached, matching it and the rest of that Run.
struct Task {
    enum Kind : uint8_t { kAlternation, kSimpleAlternation, kOptional, kGreedy, kGreedyFixed, kLazy };
    Kind kind;
    Phase phase;
    size_t pc;          // the construct's code; an alternation's current alternative
    size_t end;         // where the code to match ends
    size_t frame;       // innermost alternation frame
    const char* s;      // subject position the task starts at
    const char* at;     // where a closure's next repetition starts
    const char* best;   // an alternation's furthest end; a lazy closure's last repetition end
    size_t mark;        // greedy: chain base; fixed greedy: element width; simple: alternation end
    size_t count;       // repetitions counted, or left to try
};

// A stack whose first kInline elements live inside it, so that a search whose nesting stays
// shallow allocates nothing; deeper elements go to the heap. T is trivially copyable. A push
// may move the heap elements, never the inline ones.
template <class T>
class SmallStack {
public:
    static constexpr size_t kInline = 16;

    bool empty() const { return m_size == 0; }
    size_t size() const { return m_size; }
    T& operator[](size_t i) { return i < kInline ? m_inline[i] : m_heap[i - kInline]; }
    T& back() { return (*this)[m_size - 1]; }
    void push_back(const T& value) {
        if (m_size < kInline) m_inline[m_size] = value;
        else m_heap.push_back(value);
        ++m_size;
    }
    void pop_back() {
        if (--m_size >= kInline) m_heap.pop_back();
    }

private:
    T m_inline[kInline];
    std::vector<T> m_heap;
    size_t m_size = 0;
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
    const char* Attempt(const char* s);
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
    // Each task handler gets the answer of the Run it waited for (or null) and returns true
    // when the task is done, with its answer in result; false when the top of the task stack
    // (a task pushed above it, or the task itself, turned into another construct) is to go on.
    // After a push, a handler no longer touches its task: the push may move it.
    bool Resume(Task& t, const char* child, const char*& result);
    bool RunPlain(size_t& pc, size_t end, size_t& frame, const char*& s, const char*& result);
    bool Call(size_t pc, size_t end, size_t frame, const char* s, const char*& result);
    bool BecomeRun(Task& t, size_t pc, const char* s, const char*& result);
    void Begin(Task& t, size_t pc, size_t frame, const char* s) const;
    bool Alternation(Task& t, const char* child, const char*& result);
    bool SimpleAlternation(Task& t, const char* child, const char*& result);
    bool Optional(Task& t, const char* child, const char*& result);
    bool Greedy(Task& t, const char* child, const char*& result);
    bool GreedyFixed(Task& t, const char* child, const char*& result);
    bool Lazy(Task& t, const char* child, const char*& result);
    bool ElementNow(size_t pc, const char* s, const char*& end);
    // The closure's element once more from t.at, its end then due (phase kAfterElement).
    bool NextRepetition(Task& t, const char*& end) {
        t.phase = kAfterElement;
        return ElementNow(t.pc, t.at, end);
    }
    const char* LongestAlternative(size_t pc, size_t after, const char* s);
    size_t AlternativeStart(size_t body) const { return m_code[body] == '|' ? body + 1 : body; }
    size_t AlternativeEnd(size_t body, size_t after) const {
        return m_code[body] == '|' ? m_program.alternativeEnd[body] : after - 1;
    }
    size_t Rest(size_t closurePc) const { return closurePc + 2 + m_code[closurePc + 1]; }
    const char* MatchSequence(size_t pc, size_t end, const char* s);
    size_t ElementWidth(size_t pc) const;
    bool IsOneByteElement(size_t pc) const;
    // A '*' or '+' over a one-byte element (single-byte locale).
    bool IsOneByteRepeat(size_t pc) const {
        return (m_code[pc] == '*' || m_code[pc] == '+') && IsOneByteElement(pc);
    }
    // Whether the one-byte element of the closure at pc matches at s; changes nothing.
    bool StartsRepetition(size_t pc, const char* s) const {
        return *s != '\0' && ByteMatches(m_code[pc + 2], pc + 2, static_cast<unsigned char>(*s));
    }
    bool ByteMatches(unsigned char op, size_t pc, unsigned char c) const;
    size_t CountOneByteRepetitions(size_t pc, const char* s);
    bool CanStart(size_t pc, size_t end, const char* s);
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
    SmallStack<Task> m_tasks;
    SmallStack<Frame> m_frames;
    bool m_singleByte;
    const char* m_attempt = nullptr;
    const char* m_budgetOrigin;
    const char* m_furthest;
    uint64_t m_baseSteps;
    uint64_t m_steps;
    bool m_gaveUp = false;
};

bool Done(const char*& result, const char* value) {
    result = value;
    return true;
}

// Keeps the end that lies further along the subject (the earlier one when they are equal).
void KeepFurthest(const char*& best, const char* end) {
    if (end != nullptr && (best == nullptr || end > best)) best = end;
}

// Counts one step; false (and gives up) when the budget is exhausted.
bool Matcher::Step() {
    if (m_gaveUp) return false;
    if ((++m_steps & 1023) != 0) return true;
    uint64_t reached = static_cast<uint64_t>(m_furthest - m_budgetOrigin);
    if (m_steps > m_baseSteps + kStepsPerByte * reached) m_gaveUp = true;
    return !m_gaveUp;
}

const char* Matcher::Attempt(const char* s) {
    m_attempt = s;
    if (s > m_furthest) m_furthest = s;  // the budget grows with every start position
    const char* result = nullptr;
    if (Call(0, m_codeLength, kNoFrame, s, result)) return result;
    while (!m_tasks.empty()) {
        const char* child = result;
        if (Resume(m_tasks.back(), child, result)) m_tasks.pop_back();
    }
    return result;
}

bool Matcher::Resume(Task& t, const char* child, const char*& result) {
    switch (t.kind) {
    case Task::kAlternation: return Alternation(t, child, result);
    case Task::kSimpleAlternation: return SimpleAlternation(t, child, result);
    case Task::kOptional: return Optional(t, child, result);
    case Task::kGreedy: return Greedy(t, child, result);
    case Task::kGreedyFixed: return GreedyFixed(t, child, result);
    default: return Lazy(t, child, result);
    }
}

// Sets t up as the construct at pc, started at s.
void Matcher::Begin(Task& t, size_t pc, size_t frame, const char* s) const {
    t.phase = kFirst;
    t.pc = pc;
    t.frame = frame;
    t.s = s;
    switch (m_code[pc]) {
    case '|':
        t.kind = m_program.simpleAlternation[pc] ? Task::kSimpleAlternation : Task::kAlternation;
        break;
    case '?': t.kind = Task::kOptional; break;
    case '*':
    case '+':
        t.mark = ElementWidth(pc);
        t.kind = t.mark != 0 ? Task::kGreedyFixed : Task::kGreedy;
        break;
    default: t.kind = Task::kLazy; break;
    }
}

// Runs code [pc, end) from s: true with its answer in result when it ends, false when it
// reaches an alternation or a closure (pc, frame and s then say where and how).
inline bool Matcher::RunPlain(size_t& pc, size_t end, size_t& frame, const char*& s,
                       const char*& result) {
    if (m_gaveUp) return Done(result, nullptr);
    for (;;) {
        if (frame != kNoFrame && pc == m_frames[frame].stopAt) {
            pc = m_frames[frame].resumeAt;
            frame = m_frames[frame].parent;
            continue;
        }
        if (pc >= end) return Done(result, s);
        if (!Step()) return Done(result, nullptr);
        unsigned char op = m_code[pc];
        if (op == 'e' || op == ')') {
            ++pc;
        } else if (op == '^') {
            if (m_attempt != m_subject) return Done(result, nullptr);
            ++pc;
        } else if (op == '$') {
            if (*s != '\0') return Done(result, nullptr);
            ++pc;
        } else if (IsOneByteRepeat(pc) && !StartsRepetition(pc, s)) {
            // What GreedyFixed would do, without a task: one counted try, then the rest here.
            if (*s != '\0' && !Step()) return Done(result, nullptr);
            if (op == '+') return Done(result, nullptr);
            pc = Rest(pc);
        } else if (op == '|' || IsClosureOp(op)) {
            return false;
        } else {
            s = MatchOne(pc, s);
            if (s == nullptr) return Done(result, nullptr);
            pc = SkipElement(pc);
        }
    }
}

// A Run of [pc, end) from s: true with its answer in result when it needs no task; else false
// after pushing the task of the construct it reached.
bool Matcher::Call(size_t pc, size_t end, size_t frame, const char* s, const char*& result) {
    if (RunPlain(pc, end, frame, s, result)) return true;
    Task t{Task::kLazy, kFirst, pc, end, frame, s, nullptr, nullptr, 0, 0};
    Begin(t, pc, frame, s);
    m_tasks.push_back(t);
    return false;
}

// The task goes on as a Run of the rest (a tail call): true with the Run's answer in result
// when it needs no task; else false, the task having become the construct the Run reached.
bool Matcher::BecomeRun(Task& t, size_t pc, const char* s, const char*& result) {
    size_t frame = t.frame;
    if (RunPlain(pc, t.end, frame, s, result)) return true;
    Begin(t, pc, frame, s);
    return false;
}

// Each alternative is tried followed by the rest; the one that ends furthest along the subject
// wins, the first among equals. One that reaches the end of the subject cannot be beaten, so
// the others are not tried.
bool Matcher::Alternation(Task& t, const char* child, const char*& result) {
    for (;;) {
        switch (t.phase) {
        case kFirst:
            t.best = nullptr;
            break;
        case kAfterRest:
            m_frames.pop_back();
            KeepFurthest(t.best, child);
            if (m_gaveUp) return Done(result, nullptr);
            if (t.best != nullptr && *t.best == '\0') return Done(result, t.best);
            t.pc = m_program.alternativeEnd[t.pc] + 1;
            break;
        default:
            KeepFurthest(t.best, child);
            return Done(result, m_gaveUp ? nullptr : t.best);
        }
        if (m_code[t.pc] != '|') {
            t.phase = kAfterLast;
            if (!Call(t.pc, t.end, t.frame, t.s, child)) return false;
            continue;
        }
        m_frames.push_back(
            Frame{m_program.alternativeEnd[t.pc], m_program.alternationEnd[t.pc], t.frame});
        t.phase = kAfterRest;
        if (!Call(t.pc + 1, t.end, m_frames.size() - 1, t.s, child)) return false;
    }
}

// Alternation as above, for alternatives made of one-character operations only: each
// alternative's end is found with a loop, and the rest runs once per alternative that matched
// (not at all when nothing follows).
bool Matcher::SimpleAlternation(Task& t, const char* child, const char*& result) {
    if (t.phase == kFirst) {
        t.mark = m_program.alternationEnd[t.pc];
        if (t.mark >= t.end && t.frame == kNoFrame)
            return Done(result, LongestAlternative(t.pc, t.mark, t.s));
        t.best = nullptr;
    }
    for (;;) {
        if (t.phase != kAfterRest) {
            child = MatchSequence(AlternativeStart(t.pc), AlternativeEnd(t.pc, t.mark), t.s);
            if (child != nullptr) {
                t.phase = kAfterRest;
                if (!Call(t.mark, t.end, t.frame, child, child)) return false;
            }
        }
        t.phase = kTryNext;
        if (m_gaveUp) return Done(result, nullptr);
        KeepFurthest(t.best, child);
        if (m_code[t.pc] != '|' || (t.best != nullptr && *t.best == '\0'))
            return Done(result, t.best);
        t.pc = m_program.alternativeEnd[t.pc] + 1;
    }
}

// The furthest end of the one-character alternatives of the alternation at pc, nothing after.
const char* Matcher::LongestAlternative(size_t pc, size_t after, const char* s) {
    const char* best = nullptr;
    for (size_t body = pc;; body = m_program.alternativeEnd[body] + 1) {
        const char* end = MatchSequence(AlternativeStart(body), AlternativeEnd(body, after), s);
        if (m_gaveUp) return nullptr;
        KeepFurthest(best, end);
        if (m_code[body] != '|' || (best != nullptr && *best == '\0')) return best;
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

// The element of the closure at pc, matched once in isolation from s: true with its end (null
// when it does not match) when that takes no Run; else false after pushing the Run.
bool Matcher::ElementNow(size_t pc, const char* s, const char*& end) {
    size_t elementPc = pc + 2;
    size_t elementEnd = Rest(pc);
    if (IsSingleCharOp(m_code[elementPc]) && SkipElement(elementPc) == elementEnd) {
        end = Step() ? MatchOne(elementPc, s) : nullptr;
        return true;
    }
    size_t alternation = elementPc + 1;  // a group of one-character alternatives
    if (m_code[elementPc] == ')' && m_code[alternation] == '|' &&
        m_program.simpleAlternation[alternation] &&
        m_program.alternationEnd[alternation] == elementEnd) {
        end = LongestAlternative(alternation, elementEnd, s);
        return true;
    }
    return Call(elementPc, elementEnd, kNoFrame, s, end);
}

// '?': the element and the rest, else the rest alone.
bool Matcher::Optional(Task& t, const char* child, const char*& result) {
    for (;;) {
        switch (t.phase) {
        case kFirst:
            t.phase = kAfterElement;
            if (!ElementNow(t.pc, t.s, child)) return false;
            break;
        case kAfterElement:
            if (child == nullptr) return BecomeRun(t, Rest(t.pc), t.s, result);
            t.phase = kAfterRest;
            if (!Call(Rest(t.pc), t.end, t.frame, child, child)) return false;
            break;
        default:
            if (child != nullptr || m_gaveUp) return Done(result, child);
            return BecomeRun(t, Rest(t.pc), t.s, result);
        }
    }
}

// Byte width of every match of the one-operation element at elementPc, or 0 when it varies.
size_t Matcher::FixedWidth(size_t elementPc) const {
    unsigned char op = m_code[elementPc];
    if (op == 'c') return SkipElement(elementPc) - elementPc - 1;
    return m_singleByte && ConsumesOneCharacter(m_code + elementPc) ? 1 : 0;
}

// Bytes every repetition of the element of the closure at pc consumes, or 0 when that varies.
size_t Matcher::ElementWidth(size_t pc) const {
    if (m_singleByte) return m_program.elementWidth[pc];
    size_t elementPc = pc + 2;
    return SkipElement(elementPc) == Rest(pc) ? FixedWidth(elementPc) : 0;
}

// '*' and '+' over an element of varying width: its repetitions' ends are collected on the
// chain, then the rest is tried from the furthest back. (Begin sends elements of a fixed width
// to GreedyFixed.)
bool Matcher::Greedy(Task& t, const char* child, const char*& result) {
    for (;;) {
        switch (t.phase) {
        case kFirst:
            t.mark = m_chain.size();
            t.at = t.s;
            if (!NextRepetition(t, child)) return false;
            break;
        case kAfterElement:
            if (child != nullptr) {
                m_chain.push_back(child);
                // An empty repetition would repeat forever.
                if (child != t.at && !m_gaveUp) {
                    t.at = child;
                    if (!NextRepetition(t, child)) return false;
                    break;
                }
            }
            t.count = m_chain.size() - t.mark;
            if (t.count == 0 && m_code[t.pc] == '*' && !m_gaveUp) {
                t.phase = kAfterRest;
                if (!Call(Rest(t.pc), t.end, t.frame, t.s, child)) return false;
                break;
            }
            t.phase = kTryNext;
            break;
        case kTryNext:
            if (t.count-- > 0 && !m_gaveUp) {
                t.phase = kAfterRest;
                if (!Call(Rest(t.pc), t.end, t.frame, m_chain[t.mark + t.count], child))
                    return false;
                break;
            }
            m_chain.resize(t.mark);
            return Done(result, nullptr);
        default:
            if (child == nullptr) {
                t.phase = kTryNext;
                break;
            }
            m_chain.resize(t.mark);
            return Done(result, m_gaveUp ? nullptr : child);
        }
    }
}

// '*' and '+' over an element of fixed width (t.mark bytes): the repetitions are counted, and
// the rest is tried after each count from the largest down.
bool Matcher::GreedyFixed(Task& t, const char* child, const char*& result) {
    const size_t width = t.mark;
    for (;;) {
        switch (t.phase) {
        case kFirst:
            t.count = 0;
            t.at = t.s;
            if (!IsOneByteElement(t.pc)) {
                if (!NextRepetition(t, child)) return false;
                break;
            }
            t.count = CountOneByteRepetitions(t.pc, t.s);
            t.phase = kCounted;
            break;
        case kAfterElement:
            if (child != nullptr && child == t.at + width) {
                ++t.count;
                t.at = child;
                if (!NextRepetition(t, child)) return false;
            } else {
                t.phase = kCounted;
            }
            break;
        case kCounted:
            if (m_gaveUp) return Done(result, nullptr);
            if (t.count == 0) {
                if (m_code[t.pc] == '*') return BecomeRun(t, Rest(t.pc), t.s, result);
                return Done(result, nullptr);
            }
            t.phase = kTryNext;
            break;
        case kTryNext:
            while (t.count > 0 && !CanStart(Rest(t.pc), t.end, t.s + t.count * width)) --t.count;
            if (t.count == 0) return Done(result, nullptr);
            t.phase = kAfterRest;
            if (!Call(Rest(t.pc), t.end, t.frame, t.s + t.count * width, child)) return false;
            break;
        default:
            if (child != nullptr || m_gaveUp) return Done(result, child);
            --t.count;
            t.phase = kTryNext;
            break;
        }
    }
}

// Whether the element of the closure at pc is one operation that consumes one byte, in a
// single-byte locale.
inline bool Matcher::IsOneByteElement(size_t pc) const {
    size_t elementPc = pc + 2;
    return m_singleByte && m_code[pc + 1] == SkipElement(elementPc) - elementPc &&
           ConsumesOneCharacter(m_code + elementPc);
}

// Repetitions of the one-byte element of the closure at pc from s, as many as match.
size_t Matcher::CountOneByteRepetitions(size_t pc, const char* s) {
    size_t elementPc = pc + 2;
    unsigned char op = m_code[elementPc];
    size_t count = 0;
    for (const char* q = s; *q != '\0' && Step() && MatchOneByte(op, elementPc, q); ++q) ++count;
    return count;
}

// False when the code at pc certainly fails at s: it starts with a one-character operation
// that does not match there (single-byte locale). Saves a Run per backtracking position.
bool Matcher::CanStart(size_t pc, size_t end, const char* s) {
    if (!m_singleByte || pc >= end) return true;
    unsigned char op = m_code[pc];
    if (!ConsumesOneCharacter(m_code + pc)) return true;
    return *s != '\0' && MatchOneByte(op, pc, s) != nullptr;
}

// '#' and '@': the rest is tried after each repetition, the first success wins. Without any
// repetition '@' tries the rest where it stands and '#' fails.
bool Matcher::Lazy(Task& t, const char* child, const char*& result) {
    for (;;) {
        switch (t.phase) {
        case kFirst:
            t.at = t.s;
            t.count = 0;  // repetitions matched
            if (!NextRepetition(t, child)) return false;
            break;
        case kAfterElement:
            if (child == nullptr) {
                t.phase = kCounted;
                break;
            }
            ++t.count;
            t.best = child;
            t.phase = kAfterRest;
            if (!Call(Rest(t.pc), t.end, t.frame, child, child)) return false;
            break;
        case kCounted:
            if (m_gaveUp) return Done(result, nullptr);
            if (t.count == 0 && m_code[t.pc] == '@') return BecomeRun(t, Rest(t.pc), t.s, result);
            return Done(result, nullptr);
        default:
            if (child != nullptr || m_gaveUp) return Done(result, child);
            // An empty repetition would repeat forever.
            if (t.best == t.at) {
                t.phase = kCounted;
                break;
            }
            t.at = t.best;
            if (!NextRepetition(t, child)) return false;
            break;
        }
    }
}

// MatchOne in a single-byte locale, where every byte is a character; s is not at the end.
const char* Matcher::MatchOneByte(unsigned char op, size_t pc, const char* s) {
    if (!ByteMatches(op, pc, static_cast<unsigned char>(*s))) return nullptr;
    if (s + 1 > m_furthest) m_furthest = s + 1;
    return s + 1;
}

// Whether the byte c satisfies the one-byte operation op at pc (single-byte locale).
inline bool Matcher::ByteMatches(unsigned char op, size_t pc, unsigned char c) const {
    switch (op) {
    case 'c': return c == m_code[pc + 1];
    case '.': return true;
    case ':': return TestClass(m_code[pc + 1], c);
    case '[': return m_program.sets[m_program.setAt[pc]].Has(c);
    default: return !m_program.sets[m_program.setAt[pc]].Has(c);
    }
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
