// tessar path: the parts of paths as SFM_FilePath parses them.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "SFM_FilePath.h"
#include "tessar_cli.h"

namespace {

const char kUsage[] =
    "usage: tessar path [--json] [--] PATH...\n"
    "\n"
    "Prints, for each PATH, the parts as the library parses them, one labelled line\n"
    "each, with an empty line between paths:\n"
    "  base path           drive (C:) or network root (\\\\srv\\share\\), else empty\n"
    "  relative directory  after the base path, up to and including the last separator\n"
    "  name                the file name without its extension\n"
    "  extension           from the last '.' of the file name on, dot included\n"
    "  full path           base path + relative directory + name + extension\n"
    "Both \\ and / are separators; trailing dots of the file name are dropped.\n"
    "\n"
    "  --json   print one JSON array with an object per path instead, with the keys\n"
    "           path, base, relative, name, extension and full; bytes that are not\n"
    "           UTF-8 are written as \\u00XX\n"
    "\n"
    "Exit status: 0 on success, 2 when no PATH is given or an option is unknown.\n";

struct PathParts {
    std::string path, base, relative, name, extension, full;
};

std::string Text(const SYS_String& s) { return std::string(static_cast<const char*>(s), s.GetLength()); }

PathParts Parse(const char* text) {
    SFM_FilePath path(text);
    return {text,
            Text(path.GetBasePath()),
            Text(path.GetRelPath()),
            Text(path.GetFileName()),
            Text(path.GetFileExtension()),
            Text(path)};
}

void PrintLabelled(const PathParts& parts) {
    std::printf("base path:          %s\n", parts.base.c_str());
    std::printf("relative directory: %s\n", parts.relative.c_str());
    std::printf("name:               %s\n", parts.name.c_str());
    std::printf("extension:          %s\n", parts.extension.c_str());
    std::printf("full path:          %s\n", parts.full.c_str());
}

// Length of the well-formed UTF-8 sequence at text[i], or 0 when the byte there starts none.
size_t Utf8SequenceLength(const std::string& text, size_t i) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (lead >= 0xF5) length = 0;
    if (length == 0 || i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
    const unsigned char second = static_cast<unsigned char>(text[i + 1]);
    if (lead == 0xE0 && second < 0xA0) return 0;  // overlong
    if (lead == 0xED && second >= 0xA0) return 0;  // surrogate
    if (lead == 0xF0 && second < 0x90) return 0;  // overlong
    if (lead == 0xF4 && second >= 0x90) return 0;  // beyond U+10FFFF
    return length;
}

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    char escape[8];
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (size_t length = Utf8SequenceLength(text, i)) {
            out.append(text, i, length);
            i += length - 1;
        } else {
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        }
    }
    return out + "\"";
}

void PrintJson(const std::vector<PathParts>& all) {
    std::printf("[");
    for (size_t i = 0; i < all.size(); ++i) {
        const PathParts& p = all[i];
        std::printf("%s\n  {\"path\": %s, \"base\": %s, \"relative\": %s, \"name\": %s, "
                    "\"extension\": %s, \"full\": %s}",
                    i == 0 ? "" : ",", JsonString(p.path).c_str(), JsonString(p.base).c_str(),
                    JsonString(p.relative).c_str(), JsonString(p.name).c_str(),
                    JsonString(p.extension).c_str(), JsonString(p.full).c_str());
    }
    std::printf("%s]\n", all.empty() ? "" : "\n");
}

int RunPath(int argc, char** argv) {
    bool json = false;
    int first = 1;
    for (; first < argc && argv[first][0] == '-' && argv[first][1] != '\0'; ++first) {
        if (std::strcmp(argv[first], "--") == 0) {
            ++first;
            break;
        }
        if (std::strcmp(argv[first], "--json") == 0) {
            json = true;
        } else {
            std::fprintf(stderr, "tessar path: unknown option '%s' (try 'tessar path --help')\n",
                         argv[first]);
            return 2;
        }
    }
    if (first >= argc) {
        std::fprintf(stderr, "tessar path: missing PATH (try 'tessar path --help')\n");
        return 2;
    }
    std::vector<PathParts> all;
    for (int i = first; i < argc; ++i) all.push_back(Parse(argv[i]));
    if (json) {
        PrintJson(all);
    } else {
        for (size_t i = 0; i < all.size(); ++i) {
            if (i > 0) std::printf("\n");
            PrintLabelled(all[i]);
        }
    }
    std::fflush(stdout);
    return 0;
}

const TessarCommandRegistrar kPath({"path", "print the parts of paths as the library parses them",
                                    kUsage, RunPath});

}  // namespace
