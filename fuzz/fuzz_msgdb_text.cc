// Message database, text form. Every input: the parser's entries lie inside the input, hold no
// line feed or NUL, and fit the lookup buffer. A share of the inputs is also loaded from a file,
// looked up and walked, saved in the binary form and reloaded: every key must give the same
// text in both forms.
#include "msgdb_fuzz_support.h"

namespace {

// The loader prints syntax errors to standard output: keep the run's output readable.
const bool kQuiet = std::freopen("/dev/null", "w", stdout) != nullptr;

void CheckParsed(const std::string& bytes) {
    const sfm_msgdb::Model model = sfm_msgdb::ParseTextForm(bytes, "fuzz");
    msgdb_fuzz::CheckModel(model, bytes.size() / 510 + static_cast<size_t>(
                                      std::count(bytes.begin(), bytes.end(), '\n')) + 1);
    fuzz::Require(!model.sections.empty() && model.sections[0].name.empty() &&
                      model.sections[0].baseMinusOne == -1,
                  "the unnamed section comes first with base 0");
    for (const sfm_msgdb::Entry& entry : model.entries) {
        fuzz::Require(entry.offset >= 0 &&
                          static_cast<size_t>(entry.offset) + entry.length <= bytes.size(),
                      "a text-form entry lies inside the file");
        const std::string text = bytes.substr(static_cast<size_t>(entry.offset), entry.length);
        fuzz::Require(text.find_first_of(std::string("\n\0", 2)) == std::string::npos,
                      "a text-form entry holds no line feed or NUL");
    }
}

void CheckThroughFiles(const uint8_t* data, size_t size) {
    static const std::string textPath = msgdb_fuzz::TempPath(".txt");
    static const std::string binaryPath = msgdb_fuzz::TempPath(".mdb");
    msgdb_fuzz::WriteFile(textPath, data, size);
    SFM_MessageDB text(textPath.c_str(), 0);
    msgdb_fuzz::CheckDatabase(text);
    text.Save(binaryPath.c_str());
    SFM_MessageDB binary(binaryPath.c_str());
    msgdb_fuzz::CheckDatabase(binary);
    fuzz::Require(text.GetKeys() == binary.GetKeys(), "the binary form keeps every key");
    for (int32_t key : text.GetKeys())
        fuzz::Require(text.getTxt(key) == binary.getTxt(key), "the binary form keeps every text");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    (void)kQuiet;
    CheckParsed(std::string(reinterpret_cast<const char*>(data), size));
    if (msgdb_fuzz::TakesFilePath(data, size)) CheckThroughFiles(data, size);
    return 0;
}
