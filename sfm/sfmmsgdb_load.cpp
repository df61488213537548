// The two forms of a message file, read from its bytes.
//
// Text form. The file is read as the line reader reads it: pieces of at most 510 bytes, each
// ending after a line feed when one comes first, and a NUL ending a piece's text. The number of
// pieces sizes the key table; the parse keeps the running base and last key, and every entry
// records the file offset and the length of its text, never the text.
//
// Binary form. Every field is taken from the bytes with bounds checks: the header and records
// that are present, offsets computed in 64 bits, numbers read from their 20-byte field only.
#include "sfmmsgdb.h"  // relative: the fuzz targets compile this file too

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string_view>

namespace sfm_msgdb {

namespace {

// GetLine(0) reads at most 510 bytes per call.
const size_t kLinePiece = 510;
// The key table starts no larger than the largest size the hash map grows to: a file of empty
// lines must not size a table of hundreds of millions of buckets.
const int64_t kMaxTableSize = 467183;

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Where the piece starting at `start` ends (after its line feed, or at the read limit).
size_t PieceEnd(const std::string& bytes, size_t start) {
    const size_t limit = std::min(bytes.size(), start + kLinePiece);
    const void* lineFeed = std::memchr(bytes.data() + start, '\n', limit - start);
    return lineFeed != nullptr ? static_cast<const char*>(lineFeed) - bytes.data() + 1 : limit;
}

int32_t TableSizeFor(int64_t count) {
    const int64_t size = count + count / 4;
    return static_cast<int32_t>(std::min(std::max<int64_t>(size, 1), kMaxTableSize));
}

uint8_t CutLength(int64_t length) {
    return static_cast<uint8_t>(std::min<int64_t>(std::max<int64_t>(length, 0), kMaxText));
}

// An offset as the 32-bit field holds it; -1 (never readable) when it does not fit.
int32_t FileOffset(int64_t offset) {
    if (offset < 0 || offset > std::numeric_limits<int32_t>::max()) return -1;
    return static_cast<int32_t>(offset);
}

class TextParser {
public:
    TextParser(const std::string& bytes, const char* fileName)
        : m_bytes(bytes), m_fileName(fileName != nullptr ? fileName : "") {}

    // One pass: the lines are counted while they are parsed, since the key table is created
    // only after parsing. A piece of a long line counts as a line.
    Model Parse() {
        m_model.sections.push_back({std::string(), -1, 0});  // the unnamed section, base 0
        long lineNumber = 0;
        for (size_t start = 0; start < m_bytes.size();) {
            const size_t end = PieceEnd(m_bytes, start);
            ParseLine(start, TrimmedLine(start, end), ++lineNumber);
            start = end;
        }
        m_model.tableSize = TableSizeFor(lineNumber);
        return std::move(m_model);
    }

private:
    // The piece's text up to its first NUL, without trailing line feeds and white space.
    std::string_view TrimmedLine(size_t start, size_t end) const {
        const char* text = m_bytes.data() + start;
        const void* nul = std::memchr(text, '\0', end - start);
        size_t length = nul != nullptr ? static_cast<const char*>(nul) - text : end - start;
        while (length > 0 && IsWhiteSpace(text[length - 1])) --length;
        return std::string_view(text, length);
    }

    void ParseLine(size_t lineStart, std::string_view line, long lineNumber) {
        if (line.empty() || line[0] == ';') return;
        if (line[0] == ' ') {
            std::printf("%s(%ld) : leading blanks are not allowed\n", m_fileName, lineNumber);
        } else if (line[0] == '[') {
            ParseHeader(lineStart, line, lineNumber);
        } else {
            ParseMessage(lineStart, line, lineNumber);
        }
    }

    void PrintInvalid(const char* what, std::string_view line, long lineNumber) const {
        std::printf("%s(%ld) : invalid %s : \"%.*s\"\n", m_fileName, lineNumber, what,
                    static_cast<int>(line.size()), line.data());
    }

    void ParseHeader(size_t lineStart, std::string_view line, long lineNumber) {
        if (line.find(']') != line.size() - 1) {
            PrintInvalid("section", line, lineNumber);
            return;
        }
        const size_t first = line.find_first_not_of('[');
        const size_t last = line.find_last_not_of(']');
        const std::string_view name = first <= last && last != std::string_view::npos
                                          ? line.substr(first, last - first + 1)
                                          : std::string_view();
        const int32_t base = Wrap32(static_cast<int64_t>(m_lastKey) + 2);
        m_model.sections.push_back(
            {std::string(name), Wrap32(static_cast<int64_t>(m_lastKey) + 1), 0});
        AddEntry(Wrap32(-static_cast<int64_t>(base)), lineStart + 1, name.size());
    }

    void ParseMessage(size_t lineStart, std::string_view line, long lineNumber) {
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos || colon == 0) {
            PrintInvalid("line", line, lineNumber);
            return;
        }
        const int32_t number = DecimalValue(line.data(), colon);
        Section& section = m_model.sections.back();
        const int32_t key = Wrap32(static_cast<int64_t>(section.baseMinusOne) + 1 + number);
        if (number > section.highest) section.highest = number;
        AddEntry(key, lineStart + colon + 1, line.size() - colon - 1);
        m_lastKey = key;
    }

    void AddEntry(int32_t key, size_t offset, size_t length) {
        m_model.entries.push_back(
            {key, FileOffset(static_cast<int64_t>(offset)), CutLength(static_cast<int64_t>(length))});
    }

    const std::string& m_bytes;
    const char* m_fileName;
    Model m_model;
    int32_t m_lastKey = 0;
};

int16_t Int16At(const char* p) {
    const uint16_t value = static_cast<uint16_t>(static_cast<unsigned char>(p[0]) |
                                                 static_cast<unsigned char>(p[1]) << 8);
    return static_cast<int16_t>(value);
}

int32_t Int32At(const char* p) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(p[i]);
    return static_cast<int32_t>(value);
}

void PutInt16(char* p, int16_t value) {
    const uint16_t bits = static_cast<uint16_t>(value);
    p[0] = static_cast<char>(bits & 0xff);
    p[1] = static_cast<char>(bits >> 8);
}

void PutInt32(char* p, int32_t value) {
    const uint32_t bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i) p[i] = static_cast<char>(bits >> (8 * i) & 0xff);
}

// A section name as GetLine(storedLength) would read it at `offset`: at most n - 1 bytes (n the
// stored length within 1..510, else 511), up to and with a line feed, then up to a NUL.
std::string SectionName(const std::string& bytes, int64_t offset, int32_t storedLength) {
    if (offset < 0 || offset >= static_cast<int64_t>(bytes.size())) return std::string();
    const int64_t limit = storedLength >= 1 && storedLength <= 510 ? storedLength : 511;
    const size_t start = static_cast<size_t>(offset);
    size_t end = std::min(bytes.size(), start + static_cast<size_t>(limit - 1));
    const void* lineFeed = std::memchr(bytes.data() + start, '\n', end - start);
    if (lineFeed != nullptr) end = static_cast<const char*>(lineFeed) - bytes.data() + 1;
    const void* nul = std::memchr(bytes.data() + start, '\0', end - start);
    if (nul != nullptr) end = static_cast<const char*>(nul) - bytes.data();
    return bytes.substr(start, end - start);
}

// The stored length modulo 255, kept in 8 bits as the original did, then cut to kMaxText.
uint8_t StoredLength(int32_t stored) {
    return CutLength(static_cast<uint8_t>(stored % 255));
}

void ParseRecord(const std::string& bytes, const char* record, int64_t textStart,
                 Model& model) {
    const int64_t offset = textStart + Int32At(record + 4);
    const int32_t stored = Int32At(record + 8);
    const int32_t number = DecimalValue(record + 16, kNumberFieldSize);
    int32_t key = number;
    if (record[2] != 0) {
        model.sections.push_back({SectionName(bytes, offset, stored), number, Int32At(record + 12)});
        key = Wrap32(-1 - static_cast<int64_t>(number));
    }
    model.entries.push_back({key, FileOffset(offset), StoredLength(stored)});
}

}  // namespace

int32_t DecimalValue(const char* text, size_t size) {
    size_t i = 0;
    while (i < size && IsWhiteSpace(text[i])) ++i;
    bool negative = false;
    if (i < size && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const int64_t limit = negative ? -static_cast<int64_t>(std::numeric_limits<int32_t>::min())
                                   : std::numeric_limits<int32_t>::max();
    int64_t value = 0;
    for (; i < size && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(limit, value * 10 + (text[i] - '0'));
    return static_cast<int32_t>(negative ? -value : value);
}

Model ParseTextForm(const std::string& bytes, const char* fileName) {
    return TextParser(bytes, fileName).Parse();
}

Model ParseBinaryForm(const std::string& bytes) {
    char header[kHeaderSize] = {};
    std::memcpy(header, bytes.data(), std::min<size_t>(bytes.size(), kHeaderSize));
    const int16_t recordCount = Int16At(header + 2);
    const int16_t toRead = Int16At(header + 4);
    // The table is sized for the records present: a header may claim more than the file holds.
    const int64_t present = bytes.size() < static_cast<size_t>(kHeaderSize)
                                ? 0
                                : static_cast<int64_t>((bytes.size() - kHeaderSize) / kRecordSize);
    Model model;
    model.tableSize = TableSizeFor(std::min<int64_t>(toRead, present));
    const int64_t textStart = kHeaderSize + static_cast<int64_t>(kRecordSize) * recordCount;
    for (int64_t i = 0; i < toRead; ++i) {
        const int64_t at = kHeaderSize + i * kRecordSize;
        if (at + kRecordSize > static_cast<int64_t>(bytes.size())) break;  // incomplete record
        ParseRecord(bytes, bytes.data() + at, textStart, model);
    }
    return model;
}

void AppendHeader(std::string& out, int16_t count) {
    char header[kHeaderSize] = {};
    PutInt16(header + 2, count);
    PutInt16(header + 4, count);
    out.append(header, kHeaderSize);
}

void AppendRecord(std::string& out, const Record& record) {
    char bytes[kRecordSize] = {};
    PutInt16(bytes, record.index);
    bytes[2] = record.isSection ? 1 : 0;
    PutInt32(bytes + 4, record.textOffset);
    PutInt32(bytes + 8, record.length);
    PutInt32(bytes + 12, record.highest);
    std::snprintf(bytes + 16, kNumberFieldSize, "%d", record.number);
    out.append(bytes, kRecordSize);
}

}  // namespace sfm_msgdb
