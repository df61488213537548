#pragma once

// Pieces shared by the pattern commands (grep, subst): reading input line by line and
// translating the pattern argument.
#include <cstdio>
#include <string>

#include "SYS_StrPattern.h"

// One input: a named file, or standard input for "-".
class RegexInput {
public:
    explicit RegexInput(const char* name);
    ~RegexInput();
    RegexInput(const RegexInput&) = delete;
    RegexInput& operator=(const RegexInput&) = delete;

    bool IsOpen() const { return m_file != nullptr; }
    const char* Name() const { return m_name; }
    // Next line without its '\n' in line; hadNewline tells whether one ended it. False at end.
    bool ReadLine(std::string& line, bool& hadNewline);

private:
    const char* m_name;
    std::FILE* m_file;
    char* m_buffer = nullptr;
    size_t m_capacity = 0;
};

// Translates text into pattern; on failure prints the library's message for the command and
// returns false.
bool RegexTranslate(const char* command, const char* text, SYS_StrPattern& pattern);

// Reports an input that cannot be opened; always returns the error exit code 2.
int RegexCannotOpen(const char* command, const RegexInput& input);
