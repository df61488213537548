// The application profile as an INI file. The text rules (PLT_IniFind, PLT_IniSet) work on the
// whole text in memory, line by line; reading loads the file, writing loads it, changes one
// line and replaces the file atomically (temporary file in the same directory, then rename).
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "PLT_File.h"
#include "TessarPlatform.h"

namespace {

std::string s_profilePath;  // empty: the default path

const char kBlanks[] = " \t\r";

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos) return std::string();
    size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

bool SameName(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

// One line of the text, without its line feed.
struct Line {
    size_t begin;  // offset of the line in the text
    size_t end;    // offset of its line feed, or the text's length
};

bool NextLine(const std::string& text, size_t& at, Line& line) {
    if (at >= text.size()) return false;
    size_t feed = text.find('\n', at);
    line.begin = at;
    line.end = feed == std::string::npos ? text.size() : feed;
    at = feed == std::string::npos ? text.size() : feed + 1;
    return true;
}

// The name of a "[name]" header line, false for other lines.
bool SectionOf(const std::string& lineText, std::string& name) {
    std::string trimmed = Trim(lineText);
    if (trimmed.size() < 2 || trimmed.front() != '[') return false;
    size_t close = trimmed.find(']');
    if (close == std::string::npos) return false;
    name = Trim(trimmed.substr(1, close - 1));
    return true;
}

// The key and value of a "key=value" line, false for other lines and comments.
bool EntryOf(const std::string& lineText, std::string& key, std::string& value) {
    std::string trimmed = Trim(lineText);
    if (trimmed.empty() || trimmed[0] == ';') return false;
    size_t equals = trimmed.find('=');
    if (equals == std::string::npos) return false;
    key = Trim(trimmed.substr(0, equals));
    value = Trim(trimmed.substr(equals + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return true;
}

// Where a key lives in a text: the line that holds it (if any) and where its section ends.
struct KeyPlace {
    bool sectionFound = false;
    bool keyFound = false;
    Line keyLine{0, 0};
    size_t sectionEnd = 0;  // offset just after the last non-blank line of the first section
    std::string value;
};

KeyPlace FindKey(const std::string& text, const char* section, const char* key) {
    KeyPlace place;
    bool inSection = false;
    size_t at = 0;
    Line line;
    while (NextLine(text, at, line)) {
        std::string lineText = text.substr(line.begin, line.end - line.begin);
        std::string name, value;
        if (SectionOf(lineText, name)) {
            if (place.sectionFound) break;  // only the first section of that name counts
            inSection = SameName(name, section);
            if (inSection) {
                place.sectionFound = true;
                place.sectionEnd = at;
            }
            continue;
        }
        if (!inSection) continue;
        if (!Trim(lineText).empty()) place.sectionEnd = at;
        if (!place.keyFound && EntryOf(lineText, name, value) && SameName(name, key)) {
            place.keyFound = true;
            place.keyLine = line;
            place.value = value;
        }
    }
    return place;
}

// Names the format can hold: not blank at their ends, no line break, and nothing that would
// read back as a header, a comment or the end of a key.
bool IsStorableName(const char* name, const char* forbidden) {
    if (name == nullptr || name[0] == '\0' || Trim(name) != name) return false;
    return std::strpbrk(name, forbidden) == nullptr;
}

bool IsStorable(const char* section, const char* key) {
    return IsStorableName(section, "\r\n]") && IsStorableName(key, "\r\n=") && key[0] != ';' &&
           key[0] != '[';
}

std::string ValueLine(const char* key, const char* value) {
    std::string stored(value != nullptr ? value : "");
    stored = stored.substr(0, stored.find_first_of("\r\n"));
    // A value with blanks at its ends, or quoted, keeps them inside quotes.
    if (!stored.empty() && (Trim(stored) != stored || stored.front() == '"'))
        stored = '"' + stored + '"';
    return std::string(key) + "=" + stored;
}

std::string DefaultProfilePath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (config != nullptr && config[0] != '\0') {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home != nullptr ? home : "") + "/.config";
    }
    return base + "/Tessar500r/profile.ini";
}

bool ReadWholeFile(const std::string& path, std::string& text) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

// Creates every missing directory of `directory`.
void MakeDirectories(const std::string& directory) {
    for (size_t slash = directory.find('/', 1); ; slash = directory.find('/', slash + 1)) {
        mkdir(directory.substr(0, slash).c_str(), 0777);
        if (slash == std::string::npos) break;
    }
}

bool WriteAtomically(const std::string& path, const std::string& text) {
    size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0) MakeDirectories(path.substr(0, slash));
    std::string temporary = path + ".XXXXXX";
    int descriptor = mkstemp(&temporary[0]);
    if (descriptor < 0) return false;
    FILE* file = fdopen(descriptor, "wb");
    if (file == nullptr) {
        close(descriptor);
        unlink(temporary.c_str());
        return false;
    }
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = std::fflush(file) == 0 && ok;
    ok = fsync(fileno(file)) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    if (ok && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
    unlink(temporary.c_str());
    return false;
}

}  // namespace

bool PLT_IniFind(const std::string& text, const char* section, const char* key,
                 std::string& value) {
    if (section == nullptr || key == nullptr) return false;
    KeyPlace place = FindKey(text, section, key);
    if (place.keyFound) value = place.value;
    return place.keyFound;
}

std::string PLT_IniSet(const std::string& text, const char* section, const char* key,
                       const char* value) {
    if (!IsStorable(section, key)) return text;
    KeyPlace place = FindKey(text, section, key);
    std::string line = ValueLine(key, value);
    if (place.keyFound) {
        std::string changed = text;
        changed.replace(place.keyLine.begin, place.keyLine.end - place.keyLine.begin, line);
        return changed;
    }
    std::string changed = text;
    size_t insertAt = place.sectionFound ? place.sectionEnd : changed.size();
    // The line before the insertion point must be ended before anything follows it.
    if (insertAt > 0 && changed[insertAt - 1] != '\n') {
        changed.insert(insertAt, "\n");
        ++insertAt;
    }
    std::string added = place.sectionFound ? line + "\n" : "[" + std::string(section) + "]\n" + line + "\n";
    changed.insert(insertAt, added);
    return changed;
}

void PLT_SetProfilePath(const char* path) { s_profilePath = path != nullptr ? path : ""; }

std::string PLT_GetProfilePath() {
    return s_profilePath.empty() ? DefaultProfilePath() : s_profilePath;
}

std::string PLT_ReadProfileString(const char* section, const char* key,
                                  const char* defaultValue) {
    PLT_ErrnoGuard keepLastError;
    std::string text, value;
    if (ReadWholeFile(PLT_GetProfilePath(), text) && PLT_IniFind(text, section, key, value))
        return value;
    return defaultValue != nullptr ? defaultValue : "";
}

int PLT_ReadProfileInt(const char* section, const char* key, int defaultValue) {
    PLT_ErrnoGuard keepLastError;
    std::string text, value;
    if (!ReadWholeFile(PLT_GetProfilePath(), text) || !PLT_IniFind(text, section, key, value))
        return defaultValue;
    return static_cast<int>(std::strtol(value.c_str(), nullptr, 10));
}

int PLT_WriteProfileString(const char* section, const char* key, const char* value) {
    PLT_ErrnoGuard keepLastError;
    if (!IsStorable(section, key)) return FALSE;
    std::string path = PLT_GetProfilePath();
    std::string text;
    ReadWholeFile(path, text);
    return WriteAtomically(path, PLT_IniSet(text, section, key, value)) ? TRUE : FALSE;
}
