// Number readers and string utilities. The first byte picks the operation, the rest is text.
#include <cstring>

#include "SYS_StrEx.h"
#include "SYS_String.h"
#include "fuzz_harness.h"

namespace {

bool Within(const char* p, const std::string& text) {
    return p >= text.c_str() && p <= text.c_str() + std::strlen(text.c_str());
}

void CheckInteger(const std::string& text, int base) {
    const char* end = getinteger(text.c_str(), base);
    fuzz::Require(end == nullptr || Within(end, text), "getinteger stays inside the text");
    bool whole = end != nullptr && *end == '\0';
    fuzz::Require((isinteger(text.c_str(), base) != 0) == whole, "isinteger agrees with getinteger");
}

void CheckDouble(const std::string& text, int decimalOnly) {
    const char* end = getdouble(text.c_str(), decimalOnly);
    fuzz::Require(end == nullptr || Within(end, text), "getdouble stays inside the text");
    bool whole = end != nullptr && *end == '\0';
    fuzz::Require((isdouble(text.c_str(), decimalOnly) != 0) == whole, "isdouble agrees with getdouble");
}

int Sign(int value) { return (value > 0) - (value < 0); }

void CheckNumCompare(const std::string& text) {
    std::vector<std::string> parts = fuzz::SplitInput(reinterpret_cast<const uint8_t*>(text.data()),
                                                      text.size(), 2);
    const char* a = parts[0].c_str();
    const char* b = parts[1].c_str();
    fuzz::Require(_tcsnumcmp(a, a) == 0, "a text equals itself");
    fuzz::Require(Sign(_tcsnumcmp(a, b)) == -Sign(_tcsnumcmp(b, a)), "ordering is antisymmetric");
    fuzz::Require(SYS_String(a).CompareAlNum(b) == _tcsnumcmp(a, b), "CompareAlNum is _tcsnumcmp");
}

void CheckExtract(const std::string& text) {
    if (text.empty()) return;
    char separator = text[0];
    int index = text.size() > 1 ? static_cast<unsigned char>(text[1]) % 8 : 0;
    const char* list = text.size() > 2 ? text.c_str() + 2 : "";
    SYS_String field("unchanged");
    int found = SysExtractSubString(field, list, index, separator);
    fuzz::Require(found || field.GetLength() == 0, "a missing field empties the output");
    if (found && separator != '\0')
        fuzz::Require(std::strchr(static_cast<const char*>(field), separator) == nullptr,
                      "a field holds no separator");
}

void CheckValue(const std::string& text) {
    SYS_String string(text.c_str());
    const char* begin = string;
    const char* end = nullptr;
    long asLong = 0;
    string.Value(&asLong, &end);
    fuzz::Require(end >= begin && end <= begin + string.GetLength(), "Value end inside the text");
    double asDouble = 0;
    string.Value(&asDouble, &end);
    fuzz::Require(end >= begin && end <= begin + string.GetLength(), "Value end inside the text");
    short asShort = 0;
    string.Value(&asShort, &end);
    unsigned int number = 0;
    SYS_String rest = string >> number;
    fuzz::Require(rest.GetLength() <= string.GetLength(), "extract leaves a suffix");
    SYS_String token;
    rest = string >> token;
    fuzz::Require(rest.GetLength() <= string.GetLength(), "token extract leaves a suffix");
    rest = string >> " \t";
    fuzz::Require(rest.GetLength() <= string.GetLength(), "skip leaves a suffix");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string cText = text.c_str();  // what the C-string functions see
    switch (data[0] % 8) {
        case 0: CheckInteger(cText, 1); break;
        case 1: CheckInteger(cText, 2); break;
        case 2: CheckInteger(cText, 3); break;
        case 3: CheckInteger(cText, data[0] / 8); break;
        case 4: CheckDouble(cText, data[0] & 8 ? 1 : 0); break;
        case 5: CheckNumCompare(text); break;
        case 6: CheckExtract(text); break;
        default: CheckValue(cText); break;
    }
    return 0;
}
