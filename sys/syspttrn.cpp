#include "SYS_StrPattern.h"

#include <string>
#include <string_view>

#include "SSM_Assert.h"
#include "TessarTypes.h"
#include "sys/syspttrn_engine.h"

using syspttrn::kUnit;

// The index of a compiled pattern; immutable once built, so copies of a pattern share it.
struct SYS_StrPatternIndex {
    syspttrn::Program program;
};

SYS_StrPattern::SYS_StrPattern() = default;

SYS_StrPattern::SYS_StrPattern(const char* text) { MakePattern(text); }

SYS_StrPattern::SYS_StrPattern(const CString& text) { MakePattern(text); }

SYS_StrPattern::SYS_StrPattern(const SYS_StrPattern& other)
    : m_Pattern(other.m_Pattern), m_Index(other.m_Index), m_StepBudget(other.m_StepBudget) {}

SYS_StrPattern::~SYS_StrPattern() = default;

SYS_StrPattern& SYS_StrPattern::operator=(const char* text) {
    MakePattern(text);
    return *this;
}

SYS_StrPattern& SYS_StrPattern::operator=(const CString& text) {
    MakePattern(text);
    return *this;
}

SYS_StrPattern& SYS_StrPattern::operator=(const SYS_StrPattern& other) {
    m_Pattern = other.m_Pattern;
    m_Index = other.m_Index;
    m_StepBudget = other.m_StepBudget;
    return *this;
}

SYS_StrPattern::operator const char*() const { return m_Pattern; }

long SYS_StrPattern::GetCodeLength() const { return m_Pattern.GetLength(); }

namespace {

std::string_view CodeOf(const SYS_String& pattern) {
    return std::string_view(pattern, static_cast<size_t>(pattern.GetLength()));
}

}  // namespace

// The text may point into this object's own compiled form: it is translated into a separate
// buffer before the old form is replaced.
void SYS_StrPattern::MakePattern(const char* text) {
    std::string code;
    syspttrn::Translate(text, code);
    m_Pattern = SYS_String(code.data(), static_cast<int>(code.size()));
    m_Index.reset();
    if (code.empty()) {
        SSM_CHECK(false, "SYS_StrPattern::MakePattern -- pattern cannot be translated", kUnit,
                  SSM_FailureError);
        return;
    }
    auto index = std::make_shared<SYS_StrPatternIndex>();
    syspttrn::BuildProgram(CodeOf(m_Pattern), index->program);
    m_Index = std::move(index);
}

int SYS_StrPattern::Match(const char* subject, int* length) const {
    m_GaveUp = FALSE;
    if (length != nullptr) *length = 0;
    if (!SSM_CHECK(!m_Pattern.IsEmpty(), "SYS_StrPattern::Match -- empty pattern", kUnit,
                   SSM_FailureError))
        return -1;
    syspttrn::Scratch scratch;
    scratch.baseSteps = m_StepBudget;
    syspttrn::Found found =
        syspttrn::Find(CodeOf(m_Pattern), m_Index->program, subject, nullptr, scratch);
    m_GaveUp = found.gaveUp ? TRUE : FALSE;
    if (found.offset < 0) return -1;
    if (length != nullptr) *length = static_cast<int>(found.length);
    return static_cast<int>(found.offset);
}

int SYS_StrPattern::Substitute(CString& text, const CString& replacement, int count) {
    m_GaveUp = FALSE;
    if (!SSM_CHECK(count >= 0, "SYS_StrPattern::Substitute -- negative counter", kUnit,
                   SSM_FailureError))
        return 0;
    if (!SSM_CHECK(!m_Pattern.IsEmpty(), "SYS_StrPattern::Match -- empty pattern", kUnit,
                   SSM_FailureError))
        return 0;
    std::string result;
    bool gaveUp = false;
    int replaced = syspttrn::SubstituteAll(
        CodeOf(m_Pattern), m_Index->program, text, static_cast<size_t>(text.GetLength()),
        replacement, static_cast<size_t>(replacement.GetLength()), count, m_StepBudget, result,
        gaveUp);
    m_GaveUp = gaveUp ? TRUE : FALSE;
    if (replaced > 0) text = CString(result.data(), static_cast<int>(result.size()));
    return replaced;
}
