// tessar value: strict number reading with SimpleScanf, and validation with SCC_Variant.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "SCC_Variant.h"
#include "SSM.h"
#include "SYS_Exception.h"
#include "tessar_cli.h"

namespace {

const char kUsage[] =
    "usage: tessar value [-f FORMAT] [-v RULE] [--] TEXT...\n"
    "\n"
    "Reads each TEXT strictly, as the library reads numbers that users type: blanks\n"
    "around the number are allowed, anything else after it is refused. Prints the\n"
    "value read, or the library's message for a refused TEXT.\n"
    "\n"
    "  -f FORMAT  %d (default) 32-bit integer, %ld 64-bit, %sd 16-bit;\n"
    "             %u, %lu, %su the same unsigned; %f (also %lf) floating point.\n"
    "             Integers beyond 32 bits saturate, as on the original platform.\n"
    "  -v RULE    also validate each TEXT: [low,high] a range ('[' and ']' include the\n"
    "             bound, '(' and ')' exclude it, in any mix), N a maximum length.\n"
    "\n"
    "Exit status: 0 when every TEXT was read (and is valid), 1 when one was refused or\n"
    "is not valid, 2 when the command line, FORMAT or RULE is wrong.\n";

const char* const kFormats[] = {"%d", "%ld", "%sd", "%u", "%lu", "%su", "%f", "%lf", "%sf"};

bool IsKnownFormat(const char* format) {
    for (const char* known : kFormats)
        if (std::strcmp(known, format) == 0) return true;
    return false;
}

template <class T>
T Read(const char* text, const char* format) {
    T value = 0;
    SimpleScanf(text, format, &value);
    return value;
}

// Reads `text` with `format` into the type the format stores, and shows the value read.
std::string ReadAndShow(const char* text, const char* format) {
    char buffer[64];
    const char size = format[1] == 'l' || format[1] == 's' ? format[1] : 0;
    const char conversion = format[std::strlen(format) - 1];
    if (conversion == 'f') {
        std::snprintf(buffer, sizeof buffer, "%.17g", Read<double>(text, format));
    } else if (conversion == 'u') {
        const unsigned long value = size == 's'   ? Read<unsigned short>(text, format)
                                    : size == 'l' ? Read<unsigned long>(text, format)
                                                  : Read<unsigned int>(text, format);
        std::snprintf(buffer, sizeof buffer, "%lu", value);
    } else {
        const long value = size == 's'   ? Read<short>(text, format)
                           : size == 'l' ? Read<long>(text, format)
                                         : Read<int>(text, format);
        std::snprintf(buffer, sizeof buffer, "%ld", value);
    }
    return buffer;
}

// Counts the reports of failed checks while it lives (a malformed rule is reported).
class ReportCounter {
public:
    ReportCounter() : m_hook(this, &ReportCounter::OnReport, 0) {
        if (SSM::GetManager() == nullptr) m_manager.reset(new SSM);
        AddHook(SSM::GetManager()->AssertEvent, m_hook);
    }
    int Count() const { return m_count; }

private:
    int OnReport(int, int*) {
        ++m_count;
        return 0;  // the default answer: go on
    }
    std::unique_ptr<SSM> m_manager;
    SCC_ObjectEventHook<ReportCounter, int> m_hook;
    int m_count = 0;
};

struct Options {
    const char* format = "%d";
    const char* rule = nullptr;
    int firstText = 0;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    int i = 1;
    for (; i < argc; ++i) {
        const bool takesValue = std::strcmp(argv[i], "-f") == 0 || std::strcmp(argv[i], "-v") == 0;
        if (std::strcmp(argv[i], "--") == 0) {
            ++i;
            break;
        }
        if (!takesValue) break;
        if (i + 1 >= argc) {
            std::fprintf(stderr, "tessar value: %s needs a value\n", argv[i]);
            return false;
        }
        (argv[i][1] == 'f' ? options.format : options.rule) = argv[i + 1];
        ++i;
    }
    options.firstText = i;
    if (!IsKnownFormat(options.format)) {
        std::fprintf(stderr, "tessar value: unknown FORMAT '%s' (try 'tessar value --help')\n",
                     options.format);
        return false;
    }
    if (i >= argc) {
        std::fprintf(stderr, "tessar value: missing TEXT (try 'tessar value --help')\n");
        return false;
    }
    return true;
}

// 0 valid, 1 not valid (the library's message printed), 2 a malformed rule.
int Validate(const char* text, const char* rule, ReportCounter& reports) {
    SCC_Variant value(text);
    const int before = reports.Count();
    const int valid = value.Validate(rule, nullptr);
    if (reports.Count() != before) {
        std::fprintf(stderr, "tessar value: invalid RULE '%s'\n", rule);
        return 2;
    }
    if (valid) return 0;
    std::printf("%s: %s\n", text, static_cast<const char*>(SYS_String(value)));
    return 1;
}

int RunValue(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) return 2;
    ReportCounter reports;
    int status = 0;
    for (int i = options.firstText; i < argc; ++i) {
        const char* text = argv[i];
        try {
            std::string shown = ReadAndShow(text, options.format);
            const int validation =
                options.rule != nullptr ? Validate(text, options.rule, reports) : 0;
            if (validation == 2) return 2;
            if (validation == 0) std::printf("%s: %s\n", text, shown.c_str());
            if (validation > status) status = validation;
        } catch (const SYS_Exception& e) {
            std::printf("%s: %s\n", text, static_cast<const char*>(e.GetText()));
            status = 1;
        }
    }
    std::fflush(stdout);
    return status;
}

const TessarCommandRegistrar kCommand({"value", "read numbers strictly and validate them", kUsage,
                                       RunValue});

}  // namespace
