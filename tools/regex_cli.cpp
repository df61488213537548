// Input and pattern handling shared by the grep and subst commands.
#include "regex_cli.h"

#include <sys/types.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

RegexInput::RegexInput(const char* name) : m_name(name) {
    m_file = std::strcmp(name, "-") == 0 ? stdin : std::fopen(name, "rb");
}

RegexInput::~RegexInput() {
    if (m_file != nullptr && m_file != stdin) std::fclose(m_file);
    std::free(m_buffer);
}

bool RegexInput::ReadLine(std::string& line, bool& hadNewline) {
    ssize_t read = getline(&m_buffer, &m_capacity, m_file);
    if (read <= 0) return false;
    hadNewline = m_buffer[read - 1] == '\n';
    line.assign(m_buffer, static_cast<size_t>(read) - (hadNewline ? 1 : 0));
    return true;
}

bool RegexTranslate(const char* command, const char* text, SYS_StrPattern& pattern) {
    pattern = text;
    if (pattern.GetCodeLength() > 0) return true;
    std::fprintf(stderr,
                 "tessar %s: SYS_StrPattern::MakePattern -- pattern cannot be translated: '%s'\n",
                 command, text);
    return false;
}

int RegexCannotOpen(const char* command, const RegexInput& input) {
    std::fprintf(stderr, "tessar %s: cannot open '%s': %s\n", command, input.Name(),
                 std::strerror(errno));
    return 2;
}
