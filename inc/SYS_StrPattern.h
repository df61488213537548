#pragma once

#include <memory>

#include "SYS_String.h"
#include "TessarExport.h"

struct SYS_StrPatternIndex;

/// A small regular-expression pattern, translated once when it is assigned and then used to
/// find (Match) or replace (Substitute) its occurrences in text. Text is byte text of the
/// current locale; multibyte characters are matched whole.
///
/// Pattern syntax:
/// @verbatim
///   a|b          alternatives; each may start with ^ (match only at offset 0 of the subject)
///   c            an ordinary character; \b \f \n \r \t, \xH or \xHH (not 0), \ before any other
///                character gives that character
///   .  $  (...)  any character; the end of the subject; a group
///   [abc] [^a-z] a class, negated with a leading ^; a - first or last is a member; a range
///                compares single-byte ends as signed bytes
///   :a :b :c :d :l :u :x   alphanumeric, white space, alphabetic, digit, lower, upper, hex digit
///   :h :z :n     a whole hexadecimal integer, decimal integer, decimal number (no exponent),
///                as getinteger (base 3, base 1) and getdouble (decimal only) read them: signs
///                are taken wherever they stand, and :h takes a "0x" prefix
///   X* X+ X?     zero or more / one or more (as many as possible), zero or one (one preferred)
///   X# X@        one or more / as few as possible, where @ takes zero only when X does not
///                match at all
/// # ) * + ? @ ] ^ | cannot begin an element; ':' before any other character is literal. An
/// alternative may be empty, so "(a|)" matches "a" or nothing.
/// @endverbatim
///
/// Semantics, as a backtracking matcher gives them:
///   - the leftmost start position wins; the position at the end of the subject is never tried;
///   - of the alternatives of an alternation, the one after which the whole rest of the
///     pattern ends furthest along the subject wins (the first one on a tie);
///   - a closure matches its element in isolation, once per repetition, so a group under a
///     closure never gives back part of what it matched; X* and X+ then try the rest after the
///     most repetitions first, down to one; X* takes zero repetitions only when X does not
///     match at all (so "a*a" does not match "a"); X? tries the rest after one X, then
///     without it; X# and X@ try the rest after each repetition; a repetition that matches
///     nothing ends the repetitions (where a literal reading would repeat it forever).
///
/// Compiled form (what operator const char* shows; it may hold NUL bytes, see GetCodeLength):
///   'c' char   '.'   '$'   '^'   ':' letter   '[' n members   ']' n members (negated)
///   ')' group start   '|' alternative ... 'e'   'e' end of alternative or group
///   '*' '+' '?' '#' '@' n element-code
/// n is one unsigned byte (at most 255); class members are listed with ranges expanded; the
/// whole form ends with 'e'.
///
/// Limits: an element under a closure compiles to at most 255 bytes ("ParseClosure -- closure
/// expression too large") and a class holds at most 255 member bytes ("ParseCCL -- closure
/// expression too large"); beyond them, as for any text that is not a pattern,
/// "SYS_StrPattern::MakePattern -- pattern cannot be translated" is reported and the object
/// holds no pattern. Nothing else limits a pattern: groups nest, and closures and alternatives
/// follow one another, as deep and as long as the text goes, and neither translation nor
/// matching uses machine stack in proportion to them.
///
/// Reports go through SSM_AssertFailed (unit "sys/syspttrn", failure type 1); nothing throws.
///
/// Every Match has a step budget of 2^24 steps (SetStepBudget changes this base for one
/// object and its copies) plus 64 per subject byte it has reached (the searches of one
/// Substitute share one such budget over the whole text). Searches that are linear in the
/// subject never come near the budget, 16 MB subjects included; runaway backtracking does (a
/// chain of groups with
/// alternatives on a subject that does not match, or a closure behind a group or another
/// closure, retried from every start position of a long run). A closure over one character
/// that only one-character elements precede, as in "b[^z]*x", is not retried: a failed attempt
/// lets the scan skip every start that would end its repetitions at the same place (in a
/// multibyte locale, only when nothing precedes the closure). A search that exhausts the budget
/// stops as if nothing were found: Match answers -1 and Substitute stops replacing; GaveUp()
/// then answers TRUE. The budget is this library's own choice: a pattern typed by a user can
/// backtrack exponentially, and a host must get an answer instead of hanging.
class TESSAR_EXPORT SYS_StrPattern {
public:
    SYS_StrPattern();
    SYS_StrPattern(const char* text);         ///< NOLINT: converts like a string
    SYS_StrPattern(const CString& text);      ///< NOLINT
    /// Shares the compiled form of `other` and copies its step budget.
    SYS_StrPattern(const SYS_StrPattern& other);
    ~SYS_StrPattern();

    /// Translates `text` as the new pattern (see the syntax above); the step budget is kept.
    ///@{
    SYS_StrPattern& operator=(const char* text);
    SYS_StrPattern& operator=(const CString& text);
    ///@}
    /// Shares the compiled form of `other` and copies its step budget.
    SYS_StrPattern& operator=(const SYS_StrPattern& other);

    /// The compiled form; "" when there is no pattern.
    operator const char*() const;
    /// Bytes of the compiled form (it may contain NUL bytes); 0 when there is no pattern.
    long GetCodeLength() const;

    /// Byte offset of the leftmost match in the NUL-terminated subject, or -1; *length (when
    /// length is not null) receives the matched byte count, 0 when there is none. An empty
    /// pattern is reported ("SYS_StrPattern::Match -- empty pattern"). A null subject is empty.
    int Match(const char* subject, int* length) const;

    /// Replaces up to count matches (0: all) in text, scanning from the start: each search
    /// starts where the previous replacement ended, as a new subject (so "^" matches there
    /// too). After a match of no characters the character that follows it is kept and the scan
    /// resumes behind it, so the scan always ends; no match is tried at the end of the text.
    /// Text after an embedded NUL is never searched. Returns the number of replacements; a
    /// negative count is reported ("SYS_StrPattern::Substitute -- negative counter"), and
    /// without a pattern Match's report is made; either way nothing is replaced. Besides the
    /// searches, the work is linear in the lengths of text and result (one new buffer).
    int Substitute(CString& text, const CString& replacement, int count);

    /// TRUE when the last Match or Substitute on this object stopped at the step budget.
    int GaveUp() const { return m_GaveUp; }

    /// The base of the step budget of a new pattern.
    static constexpr unsigned long long kDefaultStepBudget = 1ULL << 24;

    /// The base of the step budget, kDefaultStepBudget unless set. A caller that must answer quickly (a
    /// search typed into a dialog, a fuzzer) lowers it so that a runaway search gives up in
    /// milliseconds; searches that are linear in the subject need only the per-byte part.
    /// Copies and assignments carry it; assigning a new pattern text keeps it.
    ///@{
    void SetStepBudget(unsigned long long baseSteps) { m_StepBudget = baseSteps; }
    unsigned long long GetStepBudget() const { return m_StepBudget; }
    ///@}

private:
    void MakePattern(const char* text);

    SYS_String m_Pattern;  ///< compiled form; empty: no pattern
    std::shared_ptr<const SYS_StrPatternIndex> m_Index;  ///< built with m_Pattern, shared by copies
    mutable int m_GaveUp = 0;
    unsigned long long m_StepBudget = kDefaultStepBudget;
};
