// tessar grep: prints the lines in which a pattern matches.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "SYS_StrPattern.h"
#include "regex_cli.h"
#include "tessar_cli.h"

namespace {

struct GrepOptions {
    bool onlyMatching = false;
    bool lineNumbers = false;
    bool countOnly = false;
    const char* pattern = nullptr;
    std::vector<const char*> files;
};

struct GrepState {
    long matchedLines = 0;
    bool gaveUp = false;
};

// Reads flags (-o -n -c, combinable, "--" ends them), the pattern and the files.
bool ParseGrepOptions(int argc, char** argv, GrepOptions& options) {
    int i = 1;
    for (; i < argc && argv[i][0] == '-' && argv[i][1] != '\0'; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            ++i;
            break;
        }
        for (const char* flag = argv[i] + 1; *flag != '\0'; ++flag) {
            if (*flag == 'o') options.onlyMatching = true;
            else if (*flag == 'n') options.lineNumbers = true;
            else if (*flag == 'c') options.countOnly = true;
            else {
                std::fprintf(stderr, "tessar grep: unknown option '-%c'\n", *flag);
                return false;
            }
        }
    }
    if (i >= argc) {
        std::fprintf(stderr, "tessar grep: missing PATTERN (try 'tessar grep --help')\n");
        return false;
    }
    options.pattern = argv[i++];
    for (; i < argc; ++i) options.files.push_back(argv[i]);
    if (options.files.empty()) options.files.push_back("-");
    return true;
}

void PrintPrefix(const GrepOptions& options, const RegexInput& input, long lineNumber) {
    if (options.files.size() > 1) std::printf("%s:", input.Name());
    if (options.lineNumbers) std::printf("%ld:", lineNumber);
}

// Prints each non-empty match of the line on a line of its own; each search after a match
// starts where it ended. Returns whether the line matched at all.
bool PrintMatches(const GrepOptions& options, const SYS_StrPattern& pattern,
                  const RegexInput& input, const std::string& line, long lineNumber,
                  GrepState& state) {
    bool any = false;
    size_t pos = 0;
    while (pos < line.size()) {
        int length = 0;
        int offset = pattern.Match(line.c_str() + pos, &length);
        state.gaveUp |= pattern.GaveUp() != 0;
        if (offset < 0) break;
        any = true;
        size_t start = pos + static_cast<size_t>(offset);
        if (length > 0 && !options.countOnly) {
            PrintPrefix(options, input, lineNumber);
            std::printf("%.*s\n", length, line.c_str() + start);
        }
        pos = start + static_cast<size_t>(length > 0 ? length : 1);
    }
    return any;
}

void GrepInput(const GrepOptions& options, const SYS_StrPattern& pattern, RegexInput& input,
               GrepState& state) {
    std::string line;
    bool hadNewline = false;
    long lineNumber = 0, matched = 0;
    while (input.ReadLine(line, hadNewline)) {
        ++lineNumber;
        bool hit;
        if (options.onlyMatching) {
            hit = PrintMatches(options, pattern, input, line, lineNumber, state);
        } else {
            int length = 0;
            hit = pattern.Match(line.c_str(), &length) >= 0;
            state.gaveUp |= pattern.GaveUp() != 0;
            if (hit && !options.countOnly) {
                PrintPrefix(options, input, lineNumber);
                std::printf("%s\n", line.c_str());
            }
        }
        matched += hit;
    }
    if (options.countOnly) {
        if (options.files.size() > 1) std::printf("%s:", input.Name());
        std::printf("%ld\n", matched);
    }
    state.matchedLines += matched;
}

int RunGrep(int argc, char** argv) {
    GrepOptions options;
    if (!ParseGrepOptions(argc, argv, options)) return 2;
    SYS_StrPattern pattern;
    if (!RegexTranslate("grep", options.pattern, pattern)) return 2;
    GrepState state;
    bool failed = false;
    for (const char* name : options.files) {
        RegexInput input(name);
        if (!input.IsOpen()) {
            failed = RegexCannotOpen("grep", input) != 0;
            continue;
        }
        GrepInput(options, pattern, input, state);
    }
    if (state.gaveUp)
        std::fprintf(stderr, "tessar grep: some searches gave up at the step budget\n");
    if (failed || state.gaveUp) return 2;
    return state.matchedLines > 0 ? 0 : 1;
}

const TessarCommandRegistrar kGrep(
    {"grep", "print the lines in which a pattern matches",
     "usage: tessar grep [-o] [-n] [-c] PATTERN [FILE...]\n"
     "\n"
     "Prints each line of the files (standard input when none is given, or for \"-\") in\n"
     "which the pattern matches. With several files each line is preceded by its file name.\n"
     "\n"
     "  -o   print only the matched text, each match on a line of its own; after a match\n"
     "       the search starts afresh where it ended (so ^ matches there again)\n"
     "  -n   precede each printed line with its line number\n"
     "  -c   print only the number of matching lines\n"
     "\n"
     "Pattern syntax: alternatives a|b, groups (...), classes [a-z] [^0-9], any character .,\n"
     "^ at the start of an alternative, $ at the end of the line, named classes :a :b :c :d\n"
     ":l :u :x and whole numbers :h (hexadecimal) :z (integer) :n (decimal number), closures\n"
     "* + ? (greedy) and # @ (as few as possible), escapes \\n \\t \\xHH and \\ before a\n"
     "special character.\n"
     "\n"
     "Exit status: 0 when a line matched, 1 when none did, 2 for a pattern that cannot be\n"
     "translated, a file that cannot be read, or a search that gave up at the step budget.\n",
     RunGrep});

}  // namespace
