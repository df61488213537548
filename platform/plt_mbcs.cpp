#include "PLT_MbText.h"

#include <cctype>
#include <cstring>
#include <cwchar>
#include <cwctype>

namespace plt {

size_t MultiByteCharLen(const char* p, size_t left) {
    std::mbstate_t state{};
    size_t n = std::mbrlen(p, left, &state);
    if (n == 0 || n == static_cast<size_t>(-1) || n == static_cast<size_t>(-2)) return 1;
    return n;
}

bool PLT_MbText::IsSpace(const char* p, size_t n) const {
    if (n == 1) return std::isspace(static_cast<unsigned char>(*p)) != 0;
    std::mbstate_t state{};
    wchar_t wide = 0;
    size_t used = std::mbrtowc(&wide, p, n, &state);
    return used == n && std::iswspace(static_cast<wint_t>(wide)) != 0;
}

namespace {

// Walks characters from a known boundary; tells whether a byte index is a boundary.
class BoundaryWalker {
public:
    BoundaryWalker(const PLT_MbText& text, const char* s, size_t len, size_t from)
        : m_text(text), m_s(s), m_len(len), m_pos(from) {}

    // Advances to the first boundary at or after `target`; true when it lands on it.
    bool ReachExactly(size_t target) {
        while (m_pos < target) m_pos += m_text.CharLen(m_s + m_pos, m_len - m_pos);
        return m_pos == target;
    }
    size_t Position() const { return m_pos; }
    size_t CharLenHere() const { return m_pos < m_len ? m_text.CharLen(m_s + m_pos, m_len - m_pos) : 1; }
    void Skip(size_t n) { m_pos += n; }

private:
    const PLT_MbText& m_text;
    const char* m_s;
    size_t m_len;
    size_t m_pos;
};

}  // namespace

size_t PLT_MbText::FindCharMultiByte(const char* s, size_t len, size_t start, char ch) const {
    BoundaryWalker walker(*this, s, len, start);
    while (walker.Position() < len) {
        size_t from = walker.Position();
        const void* hit = std::memchr(s + from, ch, len - from);
        if (hit == nullptr) return kNotFound;
        size_t at = static_cast<const char*>(hit) - s;
        if (walker.ReachExactly(at)) {
            size_t n = walker.CharLenHere();
            if (n == 1) return at;
            walker.Skip(n);  // ch is the first byte of a longer character
        }
    }
    return kNotFound;
}

size_t PLT_MbText::ReverseFindCharMultiByte(const char* s, size_t len, size_t last,
                                            char ch) const {
    size_t found = kNotFound;
    for (size_t at = FindChar(s, len, 0, ch); at != kNotFound && at <= last;
         at = FindChar(s, len, at + 1, ch))
        found = at;
    return found;
}

// First occurrence of sub in [s, s + len). A memchr skip to the first byte of sub, which is
// fastest when that byte is rare; after many false starts the rest goes to memmem, whose
// worst case stays linear.
const char* FindBytes(const char* s, size_t len, const char* sub, size_t subLen) {
    constexpr int kFalseStartsBeforeMemmem = 32;
    const char* end = s + len;
    int falseStarts = 0;
    for (const char* p = s; static_cast<size_t>(end - p) >= subLen;) {
        p = static_cast<const char*>(std::memchr(p, sub[0], static_cast<size_t>(end - p) - subLen + 1));
        if (p == nullptr) return nullptr;
        if (std::memcmp(p + 1, sub + 1, subLen - 1) == 0) return p;
        if (++falseStarts == kFalseStartsBeforeMemmem)
            return static_cast<const char*>(memmem(p + 1, static_cast<size_t>(end - p - 1), sub, subLen));
        ++p;
    }
    return nullptr;
}

size_t PLT_MbText::FindSub(const char* s, size_t len, size_t start, const char* sub,
                           size_t subLen) const {
    if (start >= len || subLen > len - start) return kNotFound;
    BoundaryWalker walker(*this, s, len, start);
    while (walker.Position() < len) {
        size_t from = walker.Position();
        const char* hit = FindBytes(s + from, len - from, sub, subLen);
        if (hit == nullptr) return kNotFound;
        size_t at = static_cast<size_t>(hit - s);
        if (m_singleByte) return at;
        if (walker.ReachExactly(at)) {
            BoundaryWalker end(*this, s, len, at);
            if (end.ReachExactly(at + subLen)) return at;  // whole characters only
            walker.Skip(walker.CharLenHere());
        }
    }
    return kNotFound;
}

PLT_MbCharSet::PLT_MbCharSet(const PLT_MbText& text, const char* set)
    : m_text(text), m_set(set != nullptr ? set : "") {
    size_t left = std::strlen(m_set);
    for (const char* p = m_set; left > 0;) {
        size_t n = m_text.CharLen(p, left);
        if (n == 1) {
            unsigned char byte = static_cast<unsigned char>(*p);
            m_bytes[byte >> 6] |= 1ULL << (byte & 63);
        } else {
            m_hasMultiByte = true;
        }
        p += n;
        left -= n;
    }
}

bool PLT_MbCharSet::ContainsMultiByte(const char* p, size_t n) const {
    size_t left = std::strlen(m_set);
    for (const char* member = m_set; left > 0;) {
        size_t m = m_text.CharLen(member, left);
        if (m == n && std::memcmp(member, p, n) == 0) return true;
        member += m;
        left -= m;
    }
    return false;
}

size_t PLT_MbCharSet::Span(const char* s, size_t len, bool inSet) const {
    size_t pos = 0;
    while (pos < len) {
        size_t n = m_text.CharLen(s + pos, len - pos);
        if (Contains(s + pos, n) != inSet) break;
        pos += n;
    }
    return pos;
}

size_t PLT_MbCharSet::FindFirst(const char* s, size_t len, size_t start) const {
    for (size_t pos = start; pos < len;) {
        size_t n = m_text.CharLen(s + pos, len - pos);
        if (Contains(s + pos, n)) return pos;
        pos += n;
    }
    return kNotFound;
}

size_t PLT_MbCharSet::FindLast(const char* s, size_t len, size_t last) const {
    if (last >= len) return kNotFound;
    if (m_text.IsSingleByte()) {
        for (size_t pos = last + 1; pos-- > 0;)
            if (Contains(s + pos, 1)) return pos;
        return kNotFound;
    }
    size_t found = kNotFound;
    for (size_t pos = 0; pos <= last;) {
        size_t n = m_text.CharLen(s + pos, len - pos);
        if (Contains(s + pos, n)) found = pos;
        pos += n;
    }
    return found;
}

}  // namespace plt
