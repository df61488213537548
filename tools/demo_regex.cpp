// Demo step: picking values and names out of text with SYS_StrPattern.
#include <string>

#include "SYS_StrPattern.h"
#include "SYS_String.h"
#include "tessar_cli.h"

namespace {

// Prints every match of pattern in text, each search starting where the previous match ended.
void ShowMatches(std::ostream& out, const char* pattern, const char* text) {
    SYS_StrPattern compiled(pattern);
    out << "  " << pattern << " ->";
    for (const char* rest = text;;) {
        int length = 0;
        int offset = compiled.Match(rest, &length);
        if (offset < 0) break;
        out << " [" << std::string(rest + offset, static_cast<size_t>(length)) << "]";
        rest += offset + (length > 0 ? length : 1);  // an empty match never stands at the end
    }
    out << "\n";
}

void ShowPatterns(std::ostream& out) {
    const char* line = "PAD 12 at X=1.25mm Y=-3.5mm; VIA 7 on NET=VCC_CORE; MASK 0x1F";
    out << "Text: " << line << "\n";
    ShowMatches(out, ":n", line);
    ShowMatches(out, "(PAD|VIA) :z", line);
    ShowMatches(out, "NET=[A-Z_]+", line);
    ShowMatches(out, "0x:h", line);
    SYS_StrPattern unit(":nmm");
    SYS_String text = line;
    int replaced = unit.Substitute(text, "<length>", 0);
    out << "  Substitute :nmm -> <length>: " << replaced << " replaced: " << static_cast<const char*>(text) << "\n";
    SYS_StrPattern bad("(PAD");
    out << "  An unbalanced \"(PAD\" holds no pattern: compiled length " << bad.GetCodeLength()
        << "\n";
}

const TessarDemoRegistrar kStep({60, "Patterns: picking values out of text", ShowPatterns});

}  // namespace
