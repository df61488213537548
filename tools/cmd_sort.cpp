// tessar sort: sorts lines with an SCC_SortableArray<SYS_String> and a comparator.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "SCC_Array.h"
#include "SYS_String.h"
#include "tessar_cli.h"
#include "tessar_input.h"

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
    options.firstFile = TessarReadFlags(argc, argv, "sort", [&options](char flag) {
        if (flag == 'n') return options.numeric = true;
        if (flag == 'r') return options.descending = true;
        return false;
    });
    return options.firstFile >= 0;
}

// Appends the lines of the file `name` ("-": standard input); false after printing why not.
bool ReadFile(const char* name, SCC_SortableArray<SYS_String>& lines) {
    TessarInput input(name);
    if (!input.IsOpen()) return input.ReportCannotOpen("sort") == 0;
    std::string line;
    while (input.ReadLine(line)) {
        if (line.size() > INT_MAX) {
            std::fprintf(stderr, "tessar sort: a line of '%s' is too long\n", name);
            return false;
        }
        // Appended as read: the comparator sorts them all at once afterwards.
        lines.InsertAt(lines.GetSize(), SYS_String(line.data(), static_cast<int>(line.size())));
    }
    if (!input.HadError()) return true;
    std::fprintf(stderr, "tessar sort: cannot read '%s'\n", name);
    return false;
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
