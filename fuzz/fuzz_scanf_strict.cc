// The strict number reader and validation. The first byte picks the format (or, past the
// table, takes it from the input); the rest is "text\0validation\0format". Invariants: an
// exception carries one of the reader's four texts, an accepted text stores exactly what the
// 32-bit C conversion (strtol/strtoul/strtod, saturated to 32 bits) gives and writes no byte
// beyond its type, and validation answers 0 or 1, leaving its message only on 0.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "SCC_Convertor.h"
#include "SCC_Variant.h"
#include "SYS_Exception.h"
#include "fuzz_harness.h"

namespace {

const char* const kFormats[] = {"%d", "%ld", "%sd", "%u", "%lu", "%su", "%f", "%lf", "%sf"};
const int kFormatCount = sizeof kFormats / sizeof kFormats[0];

const char* const kReaderTexts[] = {"Invalid integer", "Value should be unsigned integer.",
                                    "Invalid floating point format.", "Value out of range."};

bool IsReaderText(const SYS_String& text) {
    for (const char* known : kReaderTexts)
        if (std::strcmp(text, known) == 0) return true;
    return false;
}

const char* SkipBlanks(const char* p) {
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

// What the reader must do with a text: refuse it, or store `bytes` of `value`.
struct Expected {
    bool accepted = false;
    unsigned char value[8] = {};
    size_t bytes = 0;
};

template <class T>
Expected Store(T value) {
    Expected e;
    e.accepted = true;
    std::memcpy(e.value, &value, sizeof value);
    e.bytes = sizeof value;
    return e;
}

long Saturate32(long v) { return v > INT32_MAX ? INT32_MAX : (v < INT32_MIN ? INT32_MIN : v); }

// A zero result is only a number when the text is empty or starts with '0'.
bool BadZero(bool zero, const char* t) { return zero && *t != '\0' && *t != '0'; }

Expected Reference(const char* text, const char* format) {
    const char* t = SkipBlanks(text);
    const char size = format[1] == 'l' || format[1] == 's' ? format[1] : 0;
    const char conversion = format[size ? 2 : 1];
    char* end = nullptr;
    errno = 0;
    if (conversion == 'f') {
        const double v = std::strtod(t, &end);
        return *SkipBlanks(end) ? Expected() : Store(v);
    }
    if (conversion == 'd') {
        const long v = Saturate32(std::strtol(t, &end, 10));
        if (*SkipBlanks(end) || BadZero(v == 0, t)) return Expected();
        if (size == 's') return v < -32768 || v > 32767 ? Expected() : Store(static_cast<short>(v));
        return size == 'l' ? Store(v) : Store(static_cast<int>(v));
    }
    const unsigned long raw = std::strtoul(t, &end, 10);
    const unsigned long v = raw > UINT32_MAX ? UINT32_MAX : raw;
    if (std::memchr(t, '-', end - t) || *t == '-' || *SkipBlanks(end) || BadZero(v == 0, t))
        return Expected();
    if (size == 's') return v > 65535 ? Expected() : Store(static_cast<unsigned short>(v));
    return size == 'l' ? Store(v) : Store(static_cast<unsigned int>(v));
}

bool SameBytes(const unsigned char* a, const unsigned char* b, size_t n, bool isDouble) {
    if (isDouble) {
        double x, y;
        std::memcpy(&x, a, 8);
        std::memcpy(&y, b, 8);
        if (std::isnan(x) && std::isnan(y)) return true;
    }
    return std::memcmp(a, b, n) == 0;
}

void CheckReader(const char* text, const char* format) {
    unsigned char out[16];
    std::memset(out, 0xA5, sizeof out);
    int result = -1;
    bool threw = false;
    try {
        result = SimpleScanf(text, format, out);
    } catch (const SYS_Exception& e) {
        fuzz::Require(IsReaderText(e.GetText()), "an exception carries one of the reader's texts");
        threw = true;
    }
    const Expected expected = Reference(text, format);
    fuzz::Require(threw != expected.accepted, "the reader accepts what the C conversion accepts");
    if (threw) {
        for (unsigned char byte : out) fuzz::Require(byte == 0xA5, "a refused text stores nothing");
        return;
    }
    fuzz::Require(result == 1, "an accepted text reports a stored value");
    const bool isDouble = format[std::strlen(format) - 1] == 'f';
    fuzz::Require(SameBytes(out, expected.value, expected.bytes, isDouble),
                  "the stored value is the 32-bit C conversion");
    for (size_t i = expected.bytes; i < sizeof out; ++i)
        fuzz::Require(out[i] == 0xA5, "nothing is written beyond the stored type");
}

// An arbitrary format: only the reports of the reader's own checks may follow.
void CheckAnyFormat(const char* text, const char* format) {
    unsigned char out[16];
    try {
        const int result = SimpleScanf(text, format, out);
        fuzz::Require(result == 0 || result == 1, "the reader answers 0 or 1");
    } catch (const SYS_Exception& e) {
        fuzz::Require(IsReaderText(e.GetText()), "an exception carries one of the reader's texts");
    }
}

class Halving : public SCC_Convertor {
public:
    SCC_Variant Convert(SCC_Variant value, int direction) override {
        return SCC_Variant(direction == 1 ? double(value) / 2 : double(value) * 2);
    }
};

bool Unchanged(const SCC_Variant& v, const SCC_Variant& model) {
    return v.GetType() == model.GetType() && v == model;
}

bool IsRangeMessage(const SCC_Variant& v) {
    const char kStart[] = "Please enter a value within the ";
    return v.GetType() == SCC_Variant::VT_STRING &&
           std::strncmp(SYS_String(v), kStart, sizeof kStart - 1) == 0;
}

void CheckValidate(const SCC_Variant& model, const char* validation, bool withConvertor) {
    Halving halving;
    SCC_Variant v(model);
    try {
        const int valid = v.Validate(validation, withConvertor ? &halving : nullptr);
        fuzz::Require(valid == 0 || valid == 1, "Validate answers 0 or 1");
        if (valid == 1)
            fuzz::Require(Unchanged(v, model), "a valid value is left as it was");
        else
            fuzz::Require(Unchanged(v, model) || IsRangeMessage(v),
                          "an invalid value is kept (a length) or becomes the range message");
    } catch (const SYS_Exception& e) {
        fuzz::Require(IsReaderText(e.GetText()), "validation throws only the reader's texts");
        fuzz::Require(model.GetType() == SCC_Variant::VT_STRING, "only a text can fail to read");
        fuzz::Require(Unchanged(v, model), "a throwing validation leaves the value");
    }
}

void CheckVariant(const char* text, const char* validation) {
    const SCC_Variant asText(text);
    CheckValidate(asText, validation, false);
    CheckValidate(asText, validation, true);
    try {
        const SCC_Variant number(static_cast<double>(asText));
        CheckValidate(number, validation, true);
        const int whole = int(number);
        fuzz::Require(whole == int(SCC_Variant(SYS_String(SCC_Variant(whole)))),
                      "an int survives its text");
    } catch (const SYS_Exception& e) {
        fuzz::Require(IsReaderText(e.GetText()), "conversions throw only the reader's texts");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::vector<std::string> parts = fuzz::SplitInput(data + 1, size - 1, 3);
    const char* text = parts[0].c_str();
    const char* validation = parts[1].c_str();
    const int pick = data[0] % 16;
    if (pick < kFormatCount)
        CheckReader(text, kFormats[pick]);
    else
        CheckAnyFormat(text, parts[2].c_str());
    CheckVariant(text, validation);
    return 0;
}
