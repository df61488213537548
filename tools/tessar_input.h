#pragma once

// Input and argument handling shared by the commands that read lines (grep, subst, sort,
// match): one reader of files or standard input, one reader of single-letter flags, and the
// translation of a pattern argument.
#include <cstdio>
#include <cstring>
#include <string>

#include "SYS_StrPattern.h"

// One input: a named file, or standard input for "-". Lines may be of any length and hold any
// bytes, NUL included.
class TessarInput {
public:
    explicit TessarInput(const char* name);
    ~TessarInput();
    TessarInput(const TessarInput&) = delete;
    TessarInput& operator=(const TessarInput&) = delete;

    bool IsOpen() const { return m_file != nullptr; }
    const char* Name() const { return m_name; }
    // Next line without its '\n' in line; hadNewline tells whether one ended it. False at end.
    bool ReadLine(std::string& line, bool& hadNewline);
    // Next line without its "\n", "\r\n" or a final "\r". False at end.
    bool ReadLine(std::string& line);
    // True when reading failed (rather than reached the end).
    bool HadError() const { return m_file != nullptr && std::ferror(m_file) != 0; }
    // Reports that the input cannot be opened; returns the error exit code 2.
    int ReportCannotOpen(const char* command) const;

private:
    const char* m_name;
    std::FILE* m_file;
    char* m_buffer = nullptr;
    size_t m_capacity = 0;
};

// Reads the single-letter flags that lead the arguments (argv[0] is the command; groups such
// as "-on" allowed; "--" ends them) and hands each to accept(flag), which answers whether it
// knows it. Returns the index of the first operand, or -1 after printing an unknown flag.
template <class Accept>
int TessarReadFlags(int argc, char** argv, const char* command, Accept accept) {
    int i = 1;
    for (; i < argc && argv[i][0] == '-' && argv[i][1] != '\0'; ++i) {
        if (std::strcmp(argv[i], "--") == 0) return i + 1;
        for (const char* flag = argv[i] + 1; *flag != '\0'; ++flag) {
            if (accept(*flag)) continue;
            std::fprintf(stderr, "tessar %s: unknown option '-%c' (try 'tessar %s --help')\n",
                         command, *flag, command);
            return -1;
        }
    }
    return i;
}

// Translates text into pattern; on failure prints the library's message for the command and
// returns false.
bool TessarTranslatePattern(const char* command, const char* text, SYS_StrPattern& pattern);
