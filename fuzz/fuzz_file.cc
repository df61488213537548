// File reading over arbitrary content (first byte: GetLine's limit, the rest: the file):
// GetChar yields the bytes with each CR LF pair as one LF; GetLine's pieces respect the limit
// and, for content without NUL bytes, join up to the content; typed ints read in binary mode
// are the little-endian words of the content.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "SFM_File.h"
#include "fuzz_harness.h"

namespace {

const std::string& ScratchPath() {
    static const std::string path = "/tmp/tessar_fuzz_file_" + std::to_string(getpid());
    return path;
}

void WriteContent(const std::string& content) {
    FILE* file = std::fopen(ScratchPath().c_str(), "wb");
    std::fwrite(content.data(), 1, content.size(), file);
    std::fclose(file);
}

// The model of GetChar: each CR LF pair becomes LF.
std::string CharsModel(const std::string& content) {
    std::string chars;
    for (size_t i = 0; i < content.size(); ++i) {
        if (content[i] == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ++i;
        chars += content[i];
    }
    return chars;
}

void CheckChars(const std::string& content) {
    SFM_File file(ScratchPath().c_str(), "r");
    const std::string expected = CharsModel(content);
    for (char c : expected) fuzz::Require(file.GetChar() == c, "GetChar follows the model");
    fuzz::Require(file.GetChar() == static_cast<char>(255), "255 at the end");
}

void CheckLines(const std::string& content, long maxLength) {
    const long limit = maxLength >= 1 && maxLength <= 510 ? maxLength : 511;
    if (limit == 1) return;  // every piece is empty: nothing to join
    SFM_File file(ScratchPath().c_str(), "r");
    std::string joined;
    for (size_t pieces = 0; pieces <= content.size(); ++pieces) {
        SYS_String piece = file.GetLine(maxLength);
        if (piece.IsEmpty()) break;
        fuzz::Require(piece.GetLength() <= limit - 1, "a piece respects the limit");
        joined.append(static_cast<const char*>(piece), piece.GetLength());
    }
    if (content.find('\0') == std::string::npos)
        fuzz::Require(joined == content, "the pieces join up to the content");
}

void CheckInts(const std::string& content) {
    SFM_File file(ScratchPath().c_str(), "rb");
    for (size_t at = 0; at + 4 <= content.size(); at += 4) {
        unsigned int expected = 0;
        for (int b = 3; b >= 0; --b) expected = expected << 8 | static_cast<uint8_t>(content[at + b]);
        unsigned int value = 0;
        fuzz::Require(file.Get(value) == expected, "ints are little-endian words");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const long maxLength = static_cast<int8_t>(data[0]) * 5;  // -640..635: every limit rule
    const std::string content(reinterpret_cast<const char*>(data) + 1, size - 1);
    WriteContent(content);
    CheckChars(content);
    CheckLines(content, maxLength);
    CheckInts(content);
    std::remove(ScratchPath().c_str());
    return 0;
}
