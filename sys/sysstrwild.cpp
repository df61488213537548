// Wildcard patterns of SYS_String.
//
// The matcher is the classic pair of a main routine and a star routine with six results
// (valid, end, abort, range, literal, pattern). In that pair the main routine hands over to
// the star routine with a tail call, and the star routine returns at once whatever comes back
// from a main routine that reached the next "*" (only valid, abort or pattern can). So each
// "*" commits to the first text position from which the pattern up to the next "*" matches,
// and the mutual recursion is a loop here: one pass per "*", no stack growth with the pattern
// or the text, and time bounded by text length times segment length, never exponential.
// Text and pattern are compared as signed bytes, which orders bracket ranges.
#include "SYS_String.h"

#include <cstring>

namespace {

enum MatchResult {
    kStarReached = 0,  // internal: the main routine stopped at a "*" (cursor left there)
    kValid = 1,        // the text matches
    kEnd = 2,          // the pattern ended before the text
    kAbort = 3,        // the text ended before the pattern (or a "*" search ran out of text)
    kRange = 4,        // a character did not match a bracket set
    kLiteral = 5,      // a character did not match a literal pattern character
    kPattern = 6       // the pattern is malformed inside a bracket set
};

struct Cursor {
    const char* p;  // pattern
    const char* t;  // text
};

bool InRange(signed char c, signed char first, signed char last) {
    return first <= last ? (c >= first && c <= last) : (c >= last && c <= first);
}

// Skips the rest of a set after a member matched, up to its "]"; kPattern if unclosed.
int SkipRestOfSet(const char*& p) {
    while (*p != ']') {
        if (*p == '\0') return kPattern;
        if (*p == '\\' && *++p == '\0') return kPattern;
        ++p;
    }
    return kStarReached;
}

// Reads one member (possibly a range) at p; false with `result` set when malformed.
bool ReadMember(const char*& p, signed char& first, signed char& last, int& result) {
    if (*p == '\\') ++p;
    first = last = static_cast<signed char>(*p);
    if (*p == '\0') return result = kPattern, false;
    if (*++p != '-') return true;
    last = static_cast<signed char>(*++p);
    if (last == '\0' || last == ']') return result = kPattern, false;
    if (last == '\\') {
        last = static_cast<signed char>(*++p);
        if (last == '\0') return result = kPattern, false;
    }
    ++p;
    return true;
}

// Matches text character c against the set whose "[" is at p. On success returns
// kStarReached (0) with p on the closing "]"; otherwise kRange or kPattern.
int MatchSet(const char*& p, signed char c) {
    ++p;
    bool negated = *p == '!' || *p == '^';
    if (negated) ++p;
    if (*p == ']') return kPattern;
    bool member = false;
    while (*p != ']' && !member) {
        signed char first = 0, last = 0;
        int result = kPattern;
        if (!ReadMember(p, first, last, result)) return result;
        member = InRange(c, first, last);
    }
    if (member == negated) return kRange;
    return member ? SkipRestOfSet(p) : kStarReached;
}

// The main routine, up to the next "*": a final result, or kStarReached with `at` on it.
int MatchSegment(Cursor& at) {
    const char* p = at.p;
    const char* t = at.t;
    for (; *p != '\0'; ++p, ++t) {
        if (*t == '\0') return (*p == '*' && p[1] == '\0') ? kValid : kAbort;
        switch (*p) {
            case '*':
                at = Cursor{p, t};
                return kStarReached;
            case '?':
                break;
            case '[': {
                int result = MatchSet(p, static_cast<signed char>(*t));
                if (result != kStarReached) return result;
                break;
            }
            default:
                if (*p != *t) return kLiteral;
        }
    }
    return *t == '\0' ? kValid : kEnd;
}

// Passes the "*" and "?" at the cursor; false with kAbort when a "?" finds no text.
bool SkipStarsAndAnys(Cursor& at) {
    for (; *at.p == '*' || *at.p == '?'; ++at.p) {
        if (*at.p == '?' && *at.t++ == '\0') return false;
    }
    return true;
}

// The star routine, with its tail call into the next "*" turned into the outer loop.
// textEnd is the text's terminator: the search for the next pattern character is a memchr
// over the rest of the text, never a rescan from each position.
int MatchFromStar(Cursor at, const char* textEnd) {
    for (;;) {
        if (!SkipStarsAndAnys(at)) return kAbort;
        if (*at.p == '\0') return kValid;
        const char next = *at.p;
        const char* t = at.t;
        int result = kAbort;
        for (;; ++t) {
            if (next != '[') {  // positions where `next` cannot match are passed over at once
                t = static_cast<const char*>(std::memchr(t, next, textEnd - t));
                if (t == nullptr) return kAbort;
            }
            Cursor segment{at.p, t};
            result = MatchSegment(segment);
            if (result == kStarReached) {
                at = segment;
                break;
            }
            if (*t == '\0') return kAbort;
            if (result == kValid || result == kAbort || result == kPattern) return result;
        }
    }
}

// Validation of one bracket set whose "[" is at p; p ends on its "]".
int ValidateSet(const char*& p) {
    ++p;
    if (*p == ']') return -4;
    while (*p != ']') {
        if (*p == '\0') return -3;
        if (*p == '\\' && *++p == '\0') return -1;
        if (*++p != '-') continue;
        ++p;
        if (*p == '\0' || *p == ']') return -2;
        if (*p == '\\' && *++p == '\0') return -1;
        ++p;
    }
    return 0;
}

}  // namespace

int SYS_String::IsPattern() const {
    return std::strpbrk(m_pchData, "*?[") != nullptr ? TRUE : FALSE;
}

int SYS_String::IsValidPattern(int* pError) const {
    int error = 0;
    for (const char* p = m_pchData; error == 0 && *p != '\0'; ++p) {
        if (*p == '[') error = ValidateSet(p);
    }
    if (pError != nullptr) *pError = error;
    return error == 0 ? TRUE : FALSE;
}

int SYS_String::Match(const CString& pattern) const {
    Cursor at{pattern, m_pchData};
    int result = MatchSegment(at);
    if (result == kStarReached) result = MatchFromStar(at, m_pchData + std::strlen(m_pchData));
    return result == kValid ? TRUE : FALSE;
}
