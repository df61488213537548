// The binary form: Save's layout, the round trip, and hostile files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "msgdb_test_support.h"
#include "tessar_reports.h"

using namespace msgdb_test;

namespace {

const char kSample[] =
    "; sample\n"
    "0:unnamed zero\n"
    "4:unnamed four$\n"
    "[Errors]\n"
    "1:Disk full\n"
    "2:Retry? $\n"
    "2:ignored duplicate\n"
    "7:seven\n"
    "[Warnings]\n"
    "1:Low\n"
    "[Empty]\n"
    "3:empty three\n"
    "[Last]\n"
    "3:again\n";

// Every observable answer of a database: texts of its keys and of keys around them, and the
// named sections' bases, highest numbers and walks.
std::vector<std::string> Answers(SFM_MessageDB& db, const std::vector<int32_t>& keys,
                                 const std::vector<std::string>& sections) {
    std::vector<std::string> answers;
    for (int32_t key : keys)
        for (long k = key - 1; k <= key + 1; ++k)
            answers.push_back(std::to_string(k) + "=" + Txt(db, k));
    for (const std::string& name : sections) {
        answers.push_back(name + "@" + std::to_string(db.GetSectionBase(name.c_str())));
        for (SFM_MessageDB::SectionIterator it(&db, name.c_str(), 0); !it.IsEmpty(); ++it)
            answers.push_back(name + "#" + std::to_string(it.GetPosition()) + "=" + Text(it));
    }
    return answers;
}

// Saved and loaded again, the database gives the same answers, except that the unnamed section
// is not saved; saving a database onto the file it came from keeps every text.
TEST(SFM_MessageDB_Binary, RoundTripGivesTheSameAnswersWithoutTheUnnamedSection) {
    tessar_test::ScopedReportRecorder recorder;  // a valid file loads without any report
    TempDir dir;
    Loaded text = LoadText(dir / "m.txt", kSample);
    ASSERT_EQ("", text.printed);
    text.db->Save((dir / "m.mdb").c_str());
    const std::string saved = ReadBytes(dir / "m.mdb");
    {
        SFM_MessageDB binary(SYS_String((dir / "m.mdb").c_str()));
        const std::vector<std::string> named = {"Errors", "Warnings", "Empty", "LAST", "none"};
        EXPECT_EQ(text.db->GetKeys(), binary.GetKeys());
        EXPECT_EQ(Answers(*text.db, text.db->GetKeys(), named),
                  Answers(binary, text.db->GetKeys(), named));
        EXPECT_EQ("unnamed four", Txt(binary, 4));
        EXPECT_EQ(0, text.db->GetSectionBase(""));
        EXPECT_EQ(-1, binary.GetSectionBase(""));
        binary.Save((dir / "m.mdb").c_str());
    }
    EXPECT_EQ(saved, ReadBytes(dir / "m.mdb"));
    EXPECT_EQ(std::vector<tessar_test::Report>(), recorder.Reports());
}

TEST(SFM_MessageDB_Binary, SaveRefusesMoreEntriesThanTheFormCounts) {
    TempDir dir;
    for (int count : {32767, 32768}) {
        SCOPED_TRACE(count);
        tessar_test::ScopedReportRecorder recorder;
        std::string content;
        for (int i = 0; i < count; ++i) content += std::to_string(i) + ":t\n";
        Loaded l = LoadText(dir / "big.txt", content);
        const std::string out = dir / ("big" + std::to_string(count) + ".mdb");
        l.db->Save(out.c_str());
        if (count == 32767) {
            EXPECT_TRUE(recorder.Reports().empty());
            auto db = LoadBinary(dir / "copy.mdb", ReadBytes(out));
            EXPECT_EQ(32767, db->GetCount());
            EXPECT_EQ("t", Txt(*db, 32766));
        } else {
            ASSERT_EQ(1u, recorder.Reports().size());
            EXPECT_EQ("Vosk: ", recorder.Reports()[0].message);
            EXPECT_EQ("sfm/sfmmsgdb", recorder.Reports()[0].unit);
            EXPECT_EQ(1, recorder.Reports()[0].type);
            EXPECT_FALSE(tessar_test::Exists(out));
        }
    }
}

TEST(SFM_MessageDB_Binary, ANegativeKeyIsSavedAsASectionRecordAndKeepsItsText) {
    tessar_test::ScopedReportRecorder recorder;
    TempDir dir;
    Loaded l = LoadText(dir / "m.txt", "-5:below zero\n1:one\n");
    EXPECT_EQ("below zero", Txt(*l.db, -5));
    l.db->Save((dir / "m.mdb").c_str());
    // Save finds no section named after the text of key -5.
    ASSERT_EQ(1u, recorder.Reports().size());
    EXPECT_EQ("sfm/sfmmsgdb", recorder.Reports()[0].unit);
    SFM_MessageDB binary(SYS_String((dir / "m.mdb").c_str()));
    EXPECT_EQ("below zero", Txt(binary, -5));
    EXPECT_EQ("one", Txt(binary, 1));
    EXPECT_EQ(5, binary.GetSectionBase("below zero"));
}

TEST(SFM_MessageDB_Binary, SaveToAnUnwritablePlaceWritesNothing) {
    TempDir dir;
    Loaded l = LoadText(dir / "m.txt", "1:one\n");
    const std::string out = dir / "missing/m.mdb";
    l.db->Save(out.c_str());
    EXPECT_FALSE(tessar_test::Exists(out));
    EXPECT_EQ("one", Txt(*l.db, 1));
}

// ---------------------------------------------------------------------------------------------
// Hostile files.

// Loads `bytes` and checks what holds for any content: every text fits the lookup buffer, no
// more entries than records present, and every walk ends. Returns the database for more checks.
std::unique_ptr<SFM_MessageDB> LoadHostile(const TempDir& dir, const std::string& bytes) {
    auto db = LoadBinary(dir / "h.mdb", bytes);
    const long recordsPresent = bytes.size() < 14 ? 0 : static_cast<long>((bytes.size() - 14) / 36);
    EXPECT_LE(db->GetCount(), recordsPresent);
    for (int32_t key : db->GetKeys()) EXPECT_LE(db->getTxt(key).GetLength(), 199);
    for (const auto* s = db->GetFirstSection(); s != nullptr; s = s->GetNext()) {
        long steps = 0;
        for (SFM_MessageDB::SectionIterator it(db.get(), s->GetName(), 0); !it.IsEmpty(); ++it)
            EXPECT_LE(++steps, db->GetCount());
    }
    return db;
}

TEST(SFM_MessageDB_Binary, EverySingleBitFlipOfHeaderAndFirstRecordsLoadsSafely) {
    TempDir dir;
    Loaded text = LoadText(dir / "seed.txt", kSample);
    text.db->Save((dir / "seed.mdb").c_str());
    const std::string seed = ReadBytes(dir / "seed.mdb");
    for (size_t bit = 0; bit < 8 * (14 + 2 * 36); ++bit) {
        SCOPED_TRACE(bit);
        std::string flipped = seed;
        flipped[bit / 8] = static_cast<char>(flipped[bit / 8] ^ (1 << (bit % 8)));
        LoadHostile(dir, flipped);
    }
}

struct HostileCase {
    const char* name;
    std::string bytes;
    std::vector<std::pair<long, std::string>> texts;  // key = expected text
    long count;
};

const std::string kTexts = std::string("Name\0text\0", 10);

TEST(SFM_MessageDB_Binary, HostileFieldsGiveBoundedAnswers) {
    const std::string twentyDigits(20, '9');
    const HostileCase cases[] = {
        {"R and N negative", Header(-1, -1) + Record(0, 0, 0, 5, 0, "1") + kTexts, {{1, ""}}, 0},
        {"N zero", Header(1, 0) + Record(0, 0, 0, 5, 0, "1") + kTexts, {}, 0},
        {"N beyond the records present", Header(1, 500) + Record(0, 0, 0, 5, 0, "1") + kTexts,
         {{1, "Name"}}, 1},
        {"R negative moves the text area before the records",
         Header(-1, 1) + Record(0, 0, 72, 5, 0, "1") + kTexts, {{1, "Name"}}, 1},
        {"offset negative", Header(1, 1) + Record(0, 0, -100, 5, 0, "1") + kTexts, {{1, ""}}, 1},
        {"offset past the end", Header(1, 1) + Record(0, 0, 1 << 30, 5, 0, "1") + kTexts,
         {{1, ""}}, 1},
        {"offset beyond 32 bits", Header(1, 1) + Record(0, 0, 0x7fffffff, 5, 0, "1") + kTexts,
         {{1, ""}}, 1},
        {"length zero", Header(1, 1) + Record(0, 0, 0, 0, 0, "1") + kTexts, {{1, ""}}, 1},
        {"length negative", Header(1, 1) + Record(0, 0, 0, -1, 0, "1") + kTexts, {{1, "Name"}}, 1},
        {"length 255 is 0", Header(1, 1) + Record(0, 0, 0, 255, 0, "1") + kTexts, {{1, ""}}, 1},
        {"length 2^30", Header(1, 1) + Record(0, 0, 5, 1 << 30, 0, "1") + kTexts, {{1, "text"}}, 1},
        {"number field without NUL saturates",
         Header(1, 1) + Record(0, 0, 5, 5, 0, twentyDigits) + kTexts, {{2147483647L, "text"}}, 1},
        {"section number INT32_MIN wraps its key",
         Header(1, 1) + Record(0, 1, 0, 5, 3, "-2147483648") + kTexts, {{2147483647L, "Name"}}, 1},
        {"section name without NUL up to the end",
         Header(1, 1) + Record(0, 1, 0, 400, 0, "5") + "Nameless", {{-6, "Nameless"}}, 1},
        {"short header", std::string("\0\0\1", 3), {}, 0},
        {"a section record names its section", Header(3, 3) + Record(0, 1, 0, 5, 9, "4") +
             Record(1, 0, 5, 5, 9, "6") + Record(2, 0, 5, 5, 9, "9") + kTexts,
         {{-5, "Name"}, {6, "text"}, {9, "text"}}, 3},
    };
    TempDir dir;
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto db = LoadHostile(dir, c.bytes);
        EXPECT_EQ(c.count, db->GetCount());
        for (const auto& row : c.texts) EXPECT_EQ(row.second, Txt(*db, row.first)) << row.first;
    }
}

}  // namespace
