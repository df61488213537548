#include "tessar_input.h"

#include <sys/types.h>

#include <cerrno>
#include <cstdlib>

TessarInput::TessarInput(const char* name) : m_name(name) {
    m_file = std::strcmp(name, "-") == 0 ? stdin : std::fopen(name, "rb");
}

TessarInput::~TessarInput() {
    if (m_file != nullptr && m_file != stdin) std::fclose(m_file);
    std::free(m_buffer);
}

bool TessarInput::ReadLine(std::string& line, bool& hadNewline) {
    if (m_file == nullptr) return false;
    ssize_t read = getline(&m_buffer, &m_capacity, m_file);
    if (read <= 0) return false;
    hadNewline = m_buffer[read - 1] == '\n';
    line.assign(m_buffer, static_cast<size_t>(read) - (hadNewline ? 1 : 0));
    return true;
}

bool TessarInput::ReadLine(std::string& line) {
    bool hadNewline = false;
    if (!ReadLine(line, hadNewline)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

int TessarInput::ReportCannotOpen(const char* command) const {
    std::fprintf(stderr, "tessar %s: cannot open '%s': %s\n", command, m_name, std::strerror(errno));
    return 2;
}

bool TessarTranslatePattern(const char* command, const char* text, SYS_StrPattern& pattern) {
    pattern = text;
    if (pattern.GetCodeLength() > 0) return true;
    std::fprintf(stderr,
                 "tessar %s: SYS_StrPattern::MakePattern -- pattern cannot be translated: '%s'\n",
                 command, text);
    return false;
}
