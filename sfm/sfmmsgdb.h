#pragma once
// The message database's loaders, working from the bytes of a message file: the file
// constructors read the file once and hand its bytes here. Pure functions of the bytes, so that
// every hostile content can be checked without the file layer.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sfm_msgdb {

// The longest text getTxt answers: its buffer holds 200 bytes and always ends in a NUL.
const int kMaxText = 199;
// The binary form's layout.
const int kHeaderSize = 14;
const int kRecordSize = 36;
const int kNumberFieldSize = 20;
// Records and named sections together: the counts are signed 16-bit.
const long kMaxEntries = 32767;

struct Section {
    std::string name;
    int32_t baseMinusOne;
    int32_t highest;
};

struct Entry {
    int32_t key;
    int32_t offset;
    uint8_t length;
};

// What a file defines, in file order. Entries may repeat a key; the first one wins.
struct Model {
    int32_t tableSize = 1;
    std::vector<Section> sections;
    std::vector<Entry> entries;
};

// Arithmetic of the 32-bit original: results wrap to 32 bits, conversions saturate.
inline int32_t Wrap32(int64_t value) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value)));
}
// The C library's decimal conversion as on a 32-bit host: leading white space, a sign, digits
// up to the first non-digit (none gives 0), saturated to the 32-bit range. Reads at most `size`
// bytes and stops at a NUL.
int32_t DecimalValue(const char* text, size_t size);

// The text form; syntax errors are printed to standard output with `fileName`.
Model ParseTextForm(const std::string& bytes, const char* fileName);
// The binary form.
Model ParseBinaryForm(const std::string& bytes);

// One binary record as Save writes it.
struct Record {
    int16_t index;
    bool isSection;
    int32_t textOffset;
    int32_t length;
    int32_t highest;
    int32_t number;
};
// The 14-byte header with R = N = `count`.
void AppendHeader(std::string& out, int16_t count);
void AppendRecord(std::string& out, const Record& record);

}  // namespace sfm_msgdb
