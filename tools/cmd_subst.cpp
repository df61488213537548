// tessar subst: replaces the matches of a pattern, line by line, and prints the result.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "SYS_StrPattern.h"
#include "SYS_String.h"
#include "regex_cli.h"
#include "tessar_cli.h"

namespace {

struct SubstOptions {
    int count = 0;
    const char* pattern = nullptr;
    const char* replacement = nullptr;
    std::vector<const char*> files;
};

bool ParseCount(const char* text, int& count) {
    errno = 0;
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    if (*text == '\0' || *end != '\0' || errno != 0 || value < 0 || value > INT_MAX) {
        std::fprintf(stderr, "tessar subst: COUNT must be a whole number >= 0, not '%s'\n", text);
        return false;
    }
    count = static_cast<int>(value);
    return true;
}

// Reads -c COUNT (also -cCOUNT; "--" ends the options), the pattern, the replacement and the
// files.
bool ParseSubstOptions(int argc, char** argv, SubstOptions& options) {
    int i = 1;
    for (; i < argc && argv[i][0] == '-' && argv[i][1] != '\0'; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            ++i;
            break;
        }
        if (std::strncmp(argv[i], "-c", 2) != 0) {
            std::fprintf(stderr, "tessar subst: unknown option '%s'\n", argv[i]);
            return false;
        }
        const char* value = argv[i][2] != '\0' ? argv[i] + 2 : (i + 1 < argc ? argv[++i] : "");
        if (!ParseCount(value, options.count)) return false;
    }
    if (argc - i < 2) {
        std::fprintf(stderr, "tessar subst: missing PATTERN or REPLACEMENT (try 'tessar subst --help')\n");
        return false;
    }
    options.pattern = argv[i++];
    options.replacement = argv[i++];
    for (; i < argc; ++i) options.files.push_back(argv[i]);
    if (options.files.empty()) options.files.push_back("-");
    return true;
}

// Returns false when a search gave up.
bool SubstInput(const SubstOptions& options, SYS_StrPattern& pattern, RegexInput& input) {
    std::string line;
    const SYS_String replacement = options.replacement;
    bool hadNewline = false, complete = true;
    while (input.ReadLine(line, hadNewline)) {
        SYS_String text(line.data(), static_cast<int>(line.size()));
        pattern.Substitute(text, replacement, options.count);
        complete &= pattern.GaveUp() == 0;
        std::fwrite(static_cast<const char*>(text), 1, static_cast<size_t>(text.GetLength()), stdout);
        if (hadNewline) std::fputc('\n', stdout);
    }
    return complete;
}

int RunSubst(int argc, char** argv) {
    SubstOptions options;
    if (!ParseSubstOptions(argc, argv, options)) return 2;
    SYS_StrPattern pattern;
    if (!RegexTranslate("subst", options.pattern, pattern)) return 2;
    int status = 0;
    for (const char* name : options.files) {
        RegexInput input(name);
        if (!input.IsOpen()) {
            status = RegexCannotOpen("subst", input);
            continue;
        }
        if (!SubstInput(options, pattern, input)) {
            std::fprintf(stderr, "tessar subst: %s: a search gave up at the step budget\n", name);
            status = 2;
        }
    }
    return status;
}

const TessarCommandRegistrar kSubst(
    {"subst", "replace the matches of a pattern and print the result",
     "usage: tessar subst [-c COUNT] PATTERN REPLACEMENT [FILE...]\n"
     "\n"
     "Copies the files (standard input when none is given, or for \"-\") to standard output,\n"
     "replacing in each line the matches of PATTERN by REPLACEMENT, taken literally. Each\n"
     "search starts where the previous replacement ended; after an empty match the next\n"
     "character is kept. See 'tessar grep --help' for the pattern syntax.\n"
     "\n"
     "  -c COUNT   replace at most COUNT matches per line (0, the default: all)\n"
     "\n"
     "Exit status: 0 on success, 2 for a pattern that cannot be translated, a file that\n"
     "cannot be read, a bad COUNT, or a search that gave up at the step budget.\n",
     RunSubst});

}  // namespace
