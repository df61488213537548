// tessar sort: sorts lines with an SCC_SortableArray<SYS_String> and a comparator.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "SCC_Array.h"
#include "SYS_String.h"
#include "tessar_cli.h"

namespace {

const char kUsage[] =
    "usage: tessar sort [-n] [-r] [FILE...]\n"
    "\n"
    "Prints the lines of the FILEs (standard input without FILE, or for \"-\") in order:\n"
    "byte by byte by default. The sort is not stable: equal lines are equal anyway.\n"
    "\n"
    "  -n  order runs of digits by their value, so item9 comes before item10\n"
    "  -r  descending order\n"
    "\n"
    "A trailing \"\\r\\n\" or \"\\n\" ends a line; every printed line ends with \"\\n\".\n"
    "Exit status: 0 on success, 2 when a file cannot be read or the command line is wrong.\n";

int CompareNumbersByValue(const SYS_String& a, const SYS_String& b) { return a.CompareAlNum(b); }

struct SortOptions {
    bool numeric = false;
    bool descending = false;
    int firstFile = 0;  // index of the first file argument in argv
};

// Parses the flags; false after printing what is wrong.
bool ParseOptions(int argc, char** argv, SortOptions& options) {
    int i = 1;
    for (; i < argc && argv[i][0] == '-' && argv[i][1] != '\0'; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            ++i;
            break;
        }
        for (const char* flag = argv[i] + 1; *flag != '\0'; ++flag) {
            if (*flag == 'n') {
                options.numeric = true;
            } else if (*flag == 'r') {
                options.descending = true;
            } else {
                std::fprintf(stderr, "tessar sort: unknown option '-%c'\n%s", *flag, kUsage);
                return false;
            }
        }
    }
    options.firstFile = i;
    return true;
}

// Appends every line of `stream`; false when a line is too long for a string.
bool ReadLines(std::FILE* stream, SCC_SortableArray<SYS_String>& lines) {
    char* line = nullptr;
    size_t capacity = 0;
    bool fits = true;
    for (ssize_t length; (length = getline(&line, &capacity, stream)) >= 0;) {
        if (length > 0 && line[length - 1] == '\n') --length;
        if (length > 0 && line[length - 1] == '\r') --length;
        if (length > INT_MAX) {
            fits = false;
            break;
        }
        // Appended as read: the comparator sorts them all at once afterwards.
        lines.InsertAt(lines.GetSize(), SYS_String(line, static_cast<int>(length)));
    }
    std::free(line);
    return fits;
}

// Reads the lines of the file `name` ("-": standard input); false after printing why not.
bool ReadFile(const char* name, SCC_SortableArray<SYS_String>& lines) {
    if (std::strcmp(name, "-") == 0) {
        if (ReadLines(stdin, lines) && !std::ferror(stdin)) return true;
        std::fprintf(stderr, "tessar sort: cannot read standard input\n");
        return false;
    }
    std::FILE* stream = std::fopen(name, "rb");
    if (stream == nullptr) {
        std::fprintf(stderr, "tessar sort: cannot open '%s': %s\n", name, std::strerror(errno));
        return false;
    }
    bool read = ReadLines(stream, lines) && !std::ferror(stream);
    if (!read) std::fprintf(stderr, "tessar sort: cannot read '%s'\n", name);
    std::fclose(stream);
    return read;
}

int RunSort(int argc, char** argv) {
    if (TessarWantsHelp(argc, argv)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    SortOptions options;
    if (!ParseOptions(argc, argv, options)) return 2;
    SCC_Comparator<SYS_String>* comparator =
        new SCC_Comparator<SYS_String>(options.numeric ? CompareNumbersByValue : nullptr);
    SCC_SortableArray<SYS_String> lines(comparator);  // empty: nothing to sort yet
    bool ok = true;
    if (options.firstFile == argc) ok = ReadFile("-", lines);
    for (int i = options.firstFile; ok && i < argc; ++i) ok = ReadFile(argv[i], lines);
    if (!ok) return 2;
    lines.Sort(options.descending ? -1 : 1);
    for (long i = 0; i < lines.GetSize(); ++i) {
        const SYS_String& line = lines[i];
        std::fwrite(static_cast<const char*>(line), 1, static_cast<size_t>(line.GetLength()),
                    stdout);
        std::fputc('\n', stdout);
    }
    return 0;
}

const TessarCommandRegistrar kSort({"sort", "sort lines, optionally by embedded numbers",
                                    kUsage, RunSort});

}  // namespace
