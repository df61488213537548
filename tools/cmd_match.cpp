// tessar match: wildcard matching of names with SYS_String::Match.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "SYS_String.h"
#include "tessar_cli.h"
#include "tessar_input.h"

namespace {

const char kUsage[] =
    "usage: tessar match PATTERN [NAME...]\n"
    "\n"
    "Prints each NAME that the wildcard PATTERN matches as a whole; without NAME\n"
    "arguments, reads the names from standard input, one per line.\n"
    "\n"
    "Pattern: *  any run of characters (also none)\n"
    "         ?  any one byte\n"
    "         [set]  one byte of the set: members, ranges such as a-z (either order),\n"
    "                \\ before a member takes it literally; [!set] or [^set] negates\n"
    "Every other character, \\ included, stands for itself; case counts.\n"
    "\n"
    "Exit status: 0 when some name matched, 1 when none did, 2 when the pattern is\n"
    "invalid or the command line is wrong.\n";

const char* DescribePatternFault(int code) {
    switch (code) {
        case -1: return "a \\ inside a bracket set is the last character of the pattern";
        case -2: return "a range inside a bracket set has no end character";
        case -3: return "a bracket set is not closed";
        case -4: return "a bracket set is empty ([])";
        default: return "unknown fault";
    }
}

// Prints `name` (`length` bytes, NULs included) when it matches; true when it did.
bool PrintIfMatching(const SYS_String& pattern, const char* name, size_t length) {
    if (!SYS_String(name).Match(pattern)) return false;
    std::fwrite(name, 1, length, stdout);
    std::fputc('\n', stdout);
    return true;
}

int MatchArguments(const SYS_String& pattern, int count, char** names) {
    bool matched = false;
    for (int i = 0; i < count; ++i) matched |= PrintIfMatching(pattern, names[i], std::strlen(names[i]));
    return matched ? 0 : 1;
}

// One name per line of any length; a trailing "\r\n" or "\n" is not part of the name.
int MatchStandardInput(const SYS_String& pattern) {
    TessarInput input("-");
    std::string line;
    bool matched = false;
    while (input.ReadLine(line)) matched |= PrintIfMatching(pattern, line.c_str(), line.size());
    if (input.HadError()) {
        std::fprintf(stderr, "tessar match: cannot read standard input\n");
        return 2;
    }
    return matched ? 0 : 1;
}

int RunMatch(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "tessar match: missing PATTERN (try 'tessar match --help')\n");
        return 2;
    }
    SYS_String pattern(argv[1]);
    int fault = 0;
    if (!pattern.IsValidPattern(&fault)) {
        std::fprintf(stderr, "tessar match: invalid pattern '%s': %s (code %d)\n", argv[1],
                     DescribePatternFault(fault), fault);
        return 2;
    }
    int result = argc > 2 ? MatchArguments(pattern, argc - 2, argv + 2) : MatchStandardInput(pattern);
    std::fflush(stdout);
    return result;
}

const TessarCommandRegistrar kMatch({"match", "print the names a wildcard pattern matches", kUsage,
                                     RunMatch});

}  // namespace
