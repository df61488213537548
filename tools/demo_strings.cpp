// Demo step: the library's string, its searches, trimming, formatting, numeric-aware
// ordering and wildcard patterns.
#include <algorithm>
#include <vector>

#include "SYS_String.h"
#include "tessar_cli.h"

namespace {

const char* const kSampleNames[] = {"U1",       "U10",     "U2",          "R20",
                                    "R100",     "C3",      "main.brd",    "main.sch",
                                    "power_v2.sch", "power_v12.sch", "cpu.brd", "J1_hdr"};

void ShowSharing(std::ostream& out) {
    SYS_String layer("TOP_LAYER");
    SYS_String copy(layer);
    out << "Copy-on-write: a copy shares the buffer: "
        << (static_cast<const char*>(layer) == static_cast<const char*>(copy) ? "yes" : "no") << "\n";
    copy << "_2";
    out << "  after appending to the copy: original '" << layer << "', copy '" << copy
        << "', shared: "
        << (static_cast<const char*>(layer) == static_cast<const char*>(copy) ? "yes" : "no") << "\n";
}

void ShowSearchesAndTrimming(std::ostream& out) {
    SYS_String path("boards/cpu/main.brd");
    int dot = path.ReverseFind('.');
    int slash = path.ReverseFindOneOf("/\\");
    out << "Searches in '" << path << "': extension '" << path.Mid(dot + 1) << "', name '"
        << path.Mid(slash + 1, dot - slash - 1) << "', first '/' at " << path.Find('/')
        << ", 'cpu' at " << path.Find("cpu") << "\n";
    SYS_String padded("   R12  ");
    SYS_String zeros("000450");
    out << "Trimming: '" << padded << "' -> '" << padded.AllTrim() << "', '" << zeros
        << "' without leading zeros -> '" << zeros.TrimLeft("0") << "'\n";
}

void ShowFormatting(std::ostream& out) {
    SYS_String placed = FormattedString("%s at (%d, %d)", "U7", 1500, -300);
    SYS_String width;
    width << "width " << 0.25 << " mm, " << 38100 << " units";
    out << "Formatting: " << placed << "; appending: " << width << "\n";
}

void ShowOrdering(std::ostream& out) {
    std::vector<SYS_String> names(std::begin(kSampleNames), std::begin(kSampleNames) + 6);
    std::vector<SYS_String> plain = names;
    std::sort(plain.begin(), plain.end(),
              [](const SYS_String& a, const SYS_String& b) { return SCC_Compare(a, b) < 0; });
    std::sort(names.begin(), names.end(),
              [](const SYS_String& a, const SYS_String& b) { return a.CompareAlNum(b) < 0; });
    out << "Byte order:          ";
    for (const SYS_String& name : plain) out << " " << name;
    out << "\nNumeric-aware order: ";
    for (const SYS_String& name : names) out << " " << name;
    out << "\n";
}

void ShowWildcards(std::ostream& out) {
    for (const char* pattern : {"U*", "*.brd", "R[0-9]?", "[!CU]*", "power_v?.sch"}) {
        out << "  " << pattern << " matches:";
        for (const char* name : kSampleNames)
            if (SYS_String(name).Match(pattern)) out << " " << name;
        out << "\n";
    }
    int fault = 0;
    SYS_String("U[1").IsValidPattern(&fault);
    out << "  'U[1' is not a valid pattern (code " << fault << ": the set is not closed)\n";
}

void ShowStrings(std::ostream& out) {
    ShowSharing(out);
    ShowSearchesAndTrimming(out);
    ShowFormatting(out);
    ShowOrdering(out);
    out << "Wildcard patterns on sample part references and file names:\n";
    ShowWildcards(out);
}

const TessarDemoRegistrar kStep({20, "Strings and wildcard patterns", ShowStrings});

}  // namespace
