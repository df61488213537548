#include "SFM_MessageDB.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

#include "SSM_Assert.h"
#include "sfm/sfmmsgdb.h"

namespace {
const char kUnit[] = "sfm/sfmmsgdb";
const char kVosk[] = "Vosk: ";
// getTxt's buffer; the longest text leaves its last byte NUL.
const int kTextBuffer = sfm_msgdb::kMaxText + 1;
// Save reads each text into a buffer of this size (at most kMaxText bytes and a NUL).
const int kSaveBuffer = 512;
const size_t kReadChunk = 4096;

// Every byte of the file just opened, at most 2 GiB (offsets are 32-bit). The length measured
// at opening sizes the buffer; a file that grew meanwhile is read on in chunks.
std::string ReadWholeFile(SFM_File& file) {
    std::string bytes;
    const size_t limit = static_cast<size_t>(std::numeric_limits<int32_t>::max());
    size_t wanted = static_cast<size_t>(std::max(file.GetLength(), 0L)) + 1;
    long got = 1;
    while (got > 0 && bytes.size() < limit) {
        const size_t start = bytes.size();
        wanted = std::min(std::max<size_t>(wanted, kReadChunk), limit - start);
        bytes.resize(start + wanted);
        got = file.Read(&bytes[start], static_cast<long>(wanted));
        bytes.resize(start + static_cast<size_t>(std::max(got, 0L)));
    }
    return bytes;
}

// Reads the entry's text from the message file: at most kMaxText bytes, nothing when the
// offset cannot be reached. The number of bytes read.
long ReadEntryText(SFM_File& file, const SFM_MessageDB::keyTableElem& entry, char* buffer) {
    if (!file.Seek(entry.offset, SFM_File::begin)) return 0;
    return file.Read(buffer, std::min<long>(entry.length, sfm_msgdb::kMaxText));
}

// Sorts the keys in ascending order. In a hand-written file the message keys mostly come in
// ascending order and the section entries (minus ever larger bases) in descending order, so the
// two runs are put together without a full sort when they are.
void SortKeys(std::vector<int32_t>& keys) {
    const auto firstNonNegative =
        std::stable_partition(keys.begin(), keys.end(), [](int32_t key) { return key < 0; });
    std::reverse(keys.begin(), firstNonNegative);
    if (!std::is_sorted(keys.begin(), keys.end())) std::sort(keys.begin(), keys.end());
}

}  // namespace

// Builds a database's tables from what a loader found.
class SFM_MessageDBInstaller {
public:
    static void Install(SFM_MessageDB& db, const sfm_msgdb::Model& model) {
        db.m_tableSize = model.tableSize;
        db.m_keys = new SCC_Map<int, SFM_MessageDB::keyTableElem>(model.tableSize);
        for (const sfm_msgdb::Section& section : model.sections)
            db.m_sections.AddTail(new SFM_MessageDB::SectionTableNode(
                SYS_String(section.name.data(), static_cast<int>(section.name.size())),
                section.baseMinusOne, section.highest));
        db.m_sortedKeys.reserve(model.entries.size());
        for (const sfm_msgdb::Entry& entry : model.entries) {
            if (db.m_keys->Add(entry.key, {entry.key, entry.offset, entry.length}) != nullptr)
                db.m_sortedKeys.push_back(entry.key);
        }
        SortKeys(db.m_sortedKeys);
    }

    static std::string Read(SFM_MessageDB& db, const char* mode) {
        if (!db.m_file.Open(mode)) return std::string();
        return ReadWholeFile(db.m_file);
    }

    static bool IsOpen(SFM_MessageDB& db) { return db.m_file.IsOpen() != 0; }
};

SFM_MessageDB::SFM_MessageDB(SYS_String fileName, int) : m_file(fileName) {
    const std::string bytes = SFM_MessageDBInstaller::Read(*this, "r");
    if (SFM_MessageDBInstaller::IsOpen(*this))
        SFM_MessageDBInstaller::Install(*this, sfm_msgdb::ParseTextForm(bytes, fileName));
}

SFM_MessageDB::SFM_MessageDB(SYS_String fileName) : m_file(fileName) {
    const std::string bytes = SFM_MessageDBInstaller::Read(*this, "rb");
    if (SFM_MessageDBInstaller::IsOpen(*this))
        SFM_MessageDBInstaller::Install(*this, sfm_msgdb::ParseBinaryForm(bytes));
}

SFM_MessageDB::~SFM_MessageDB() {
    delete m_keys;
    m_sections.DeleteAll();
    m_file.Close();
}

SYS_String SFM_MessageDB::getTxt(long key) {
    char buffer[kTextBuffer] = {};
    if (m_keys == nullptr || key < std::numeric_limits<int32_t>::min() ||
        key > std::numeric_limits<int32_t>::max())
        return SYS_String();
    const keyTableElem* entry = m_keys->Lookup(static_cast<int>(key));
    if (entry == nullptr) return SYS_String();
    ReadEntryText(m_file, *entry, buffer);
    const size_t length = std::strlen(buffer);
    if (length > 0 && buffer[length - 1] == '$') buffer[length - 1] = '\0';
    return SYS_String(buffer);
}

long SFM_MessageDB::GetSectionBase(SYS_String name) {
    const SectionTableNode* section = GetSection(name);
    return section != nullptr ? section->GetBase() : -1;
}

SFM_MessageDB::SectionTableNode* SFM_MessageDB::GetSection(SYS_String name) {
    for (SectionTableNode* node = m_sections.GetTail(); node != nullptr; node = node->GetPrev())
        if (node->GetName().CompareNoCase(name) == 0) return node;
    return nullptr;
}

void SFM_MessageDB::Save(SYS_String fileName) {
    if (!SSM_CHECK_THROW(GetCount() <= sfm_msgdb::kMaxEntries, kVosk, kUnit, SSM_FailureError))
        return;
    const auto count = static_cast<int16_t>(GetCount());
    std::string records, texts;
    int32_t latestHighest = 0;
    for (size_t i = 0; i < m_sortedKeys.size(); ++i) {
        const int32_t key = m_sortedKeys[i];
        char buffer[kSaveBuffer] = {};
        long length = ReadEntryText(m_file, *m_keys->Lookup(key), buffer);
        if (length == 0 || buffer[length - 1] != '\0') buffer[length++] = '\0';
        sfm_msgdb::Record record{static_cast<int16_t>(i), key < 0,
                                 static_cast<int32_t>(texts.size()),
                                 static_cast<int32_t>(length), latestHighest, key};
        if (record.isSection) {
            const SectionTableNode* section = GetSection(buffer);
            SSM_CHECK_THROW(section != nullptr, kVosk, kUnit, SSM_FailureError);
            record.highest = latestHighest = section != nullptr ? section->GetHighest() : 0;
            record.number = sfm_msgdb::Wrap32(-1 - static_cast<int64_t>(key));
        }
        sfm_msgdb::AppendRecord(records, record);
        texts.append(buffer, static_cast<size_t>(length));
    }
    // The output is opened only now, after every text was read, so that it may be this
    // database's own file. A zero record written first gives even an empty database the length
    // of one record, as the form has always had.
    SFM_File out(fileName, "w+b");
    if (!out.IsOpen()) return;
    const std::string zeroRecord(sfm_msgdb::kRecordSize, '\0');
    out.Write(zeroRecord.data(), sfm_msgdb::kRecordSize);
    out.Rewind();
    std::string header;
    sfm_msgdb::AppendHeader(header, count);
    out.Write(header.data(), static_cast<long>(header.size()));
    out.Write(records.data(), static_cast<long>(records.size()));
    out.Write(texts.data(), static_cast<long>(texts.size()));
    out.Close();
}

// ---------------------------------------------------------------------------------------------
// SectionIterator

SFM_MessageDB::SectionIterator::SectionIterator(SFM_MessageDB* db, SYS_String section,
                                                long start)
    : m_db(db), m_section(section) {
    SSM_CHECK_THROW(db != nullptr, kVosk, kUnit, SSM_FailureError);
    *this = start;
}

bool SFM_MessageDB::SectionIterator::HasDatabase() const {
    return SSM_CHECK_THROW(m_db != nullptr, kVosk, kUnit, SSM_FailureError);
}

SFM_MessageDB::SectionIterator& SFM_MessageDB::SectionIterator::operator=(long start) {
    Clear();
    m_last = m_base = 0;
    const SectionTableNode* section = m_db != nullptr ? m_db->GetSection(m_section) : nullptr;
    if (section == nullptr) return *this;
    m_base = sfm_msgdb::Wrap32(section->GetBase());
    m_last = sfm_msgdb::Wrap32(static_cast<int64_t>(m_base) + section->GetHighest());
    // The start is a 32-bit value on the original host.
    m_current = sfm_msgdb::Wrap32(static_cast<int64_t>(m_base) +
                                  sfm_msgdb::Wrap32(start) - 1);
    GetNext();
    return *this;
}

SFM_MessageDB::SectionIterator& SFM_MessageDB::SectionIterator::operator=(
    const SectionIterator& other) {
    HasDatabase();
    m_db = other.m_db;
    m_section = other.m_section;
    m_current = other.m_current;
    m_last = other.m_last;
    m_base = other.m_base;
    return *this;
}

SFM_MessageDB::SectionIterator::operator SYS_String() {
    return IsEmpty() || m_db == nullptr ? SYS_String() : m_db->getTxt(m_current);
}

SYS_String SFM_MessageDB::SectionIterator::operator++() {
    if (!HasDatabase()) return SYS_String();
    GetNext();
    return *this;
}

SYS_String SFM_MessageDB::SectionIterator::operator++(int) {
    if (!HasDatabase()) return SYS_String();
    SYS_String text = *this;
    GetNext();
    return text;
}

// Stepping number by number would add one to current until it meets a key of the table or
// passes last; the sorted keys give the same key in one search, however far apart the numbers.
void SFM_MessageDB::SectionIterator::GetNext() {
    if (!SSM_CHECK_THROW(m_db->m_keys != nullptr, kVosk, kUnit, SSM_FailureError)) {
        Clear();
        return;
    }
    const std::vector<int32_t>& keys = m_db->m_sortedKeys;
    const auto next = std::upper_bound(keys.begin(), keys.end(), m_current);
    if (m_current >= m_last || next == keys.end() || *next > m_last) {
        Clear();
        return;
    }
    m_current = *next;
}
