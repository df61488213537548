#pragma once

#include <cstdint>
#include <vector>

#include "SCC_Map.h"
#include "SCC_SafeDList.h"
#include "SFM_File.h"
#include "SYS_String.h"
#include "TessarExport.h"

/// Numbered message texts grouped in named sections, read from a message file without holding
/// the texts in memory: loading records, per message, its global key, where its text lies in the
/// file and how long it is; getTxt reads the text from the file, which stays open (as a member
/// of the file manager's list, so the manager may close it temporarily) for the database's life.
///
/// Keys. A message's key is its section's base plus its number. A section also has an entry,
/// under minus its base, that describes its name in the file; section entries therefore have
/// negative keys whenever the base is positive. The first definition of a key wins; later ones
/// are ignored. A message with a negative key (a negative number whose base does not lift it
/// to zero) shares that key space with the section entries, first definition winning again; Save
/// writes such an entry as a section record (and reports the section it cannot find).
///
/// Text form (any file name), one entry per line:
///     ; comment            blank lines and lines starting with ';' are skipped
///     [Name]               a section header: base = key of the previous message + 2
///     12:Text$             message 12 of the current section; a final '$' keeps trailing blanks
/// Lines before the first header belong to the unnamed section (base 0). Syntax errors are
/// printed to standard output with the file name and line number, and loading goes on:
///     `"<file>(<line>) : leading blanks are not allowed"`
///     `"<file>(<line>) : invalid section : "<line text>""`
///     `"<file>(<line>) : invalid line : "<line text>""`
/// A physical line longer than 510 bytes is read, counted and parsed as several lines, and a NUL
/// byte ends a line's text.
///
/// Binary form (".mdb", written by Save): little-endian; a 14-byte header (0, record count R,
/// records to read N, 0, 0), R records of 36 bytes (index, section flag, text offset from the
/// start of the text area, text length with its NUL, highest number of the section, the key or
/// base minus one in decimal ASCII), then the NUL-terminated texts. It holds at most 32767
/// entries and no unnamed section. Its section table is rebuilt from the records in key order, so
/// a round trip keeps every text and the base and highest number of every section whose name is
/// defined once; a section whose entry was ignored (a header right after another) is not in the
/// binary form, and of a repeated name the binary form finds the definition with the lowest
/// base. A section name is read straight from the records' text area (the text-only line reader
/// is not used, so loading a valid file raises no report).
///
/// Loading reads the file once, in one block, and keeps none of its texts; the key table starts
/// at the number of lines or records plus a quarter, but never above the largest size the hash
/// map grows to, nor above what the records present need.
///
/// Limits. A text is at most 199 bytes: longer texts are cut to their first 199 bytes when
/// loading (both forms), so getTxt's 200-byte buffer always ends in a NUL. A hostile file of any
/// content loads without reading or writing outside a buffer and without allocating more than in
/// proportion to the file: an incomplete record ends the binary records, offsets outside the
/// file give empty texts, numbers beyond the 32-bit range are saturated as a 32-bit strtol does,
/// and keys wrap at 32 bits as they did on the original 32-bit host. Only the first 2 GiB of a
/// message file are read.
///
/// Copying. The key table and the open message file belong to one database: copying is refused.
class TESSAR_EXPORT SFM_MessageDB {
public:
    /// One entry of the key table: where the text of a message or a section name lies.
    struct keyTableElem {
        int32_t key;     ///< the global key (repeated from the map key)
        int32_t offset;  ///< byte offset of the text in the message file
        uint8_t length;  ///< bytes to read, at most 199
    };

    /// One section; the most recently defined is at the tail of the section table.
    class TESSAR_EXPORT SectionTableNode : public SCC_SafeDListNode<SectionTableNode> {
    public:
        /// A section named `name` with base baseMinusOne + 1 and highest number `highest`.
        SectionTableNode(const SYS_String& name, int32_t baseMinusOne, int32_t highest)
            : m_name(name), m_baseMinusOne(baseMinusOne), m_highest(highest) {}
        /// The section's name as the file wrote it.
        const SYS_String& GetName() const { return m_name; }
        /// The base, computed in 64 bits (a hostile base minus one may be INT32_MAX).
        long GetBase() const { return static_cast<long>(m_baseMinusOne) + 1; }
        /// The base minus one, as the binary form stores it.
        int32_t GetBaseMinusOne() const { return m_baseMinusOne; }
        /// The largest message number defined in the section (0 when none).
        int32_t GetHighest() const { return m_highest; }
        /// Raises the highest number to `number` when that is larger.
        void RaiseHighest(int32_t number) {
            if (number > m_highest) m_highest = number;
        }

    private:
        SYS_String m_name;
        int32_t m_baseMinusOne;
        int32_t m_highest;
    };

    /// Walks the messages of one section in number order, skipping numbers without a message and
    /// never going past the section's highest number. Valid as long as its database lives.
    class TESSAR_EXPORT SectionIterator {
    public:
        /// Requires `db` ("Vosk: "); positions on the first message numbered `start` or above.
        SectionIterator(SFM_MessageDB* db, SYS_String section, long start);
        /// Copies position, range and database (both iterators then walk the same section).
        SectionIterator(const SectionIterator& other) = default;
        /// An iterator owns nothing.
        ~SectionIterator() = default;

        /// Positions on the first existing message numbered `start` or above; empty when the
        /// section does not exist or has no such message.
        SectionIterator& operator=(long start);
        /// Requires this iterator to be bound to a database ("Vosk: "); copies every member.
        SectionIterator& operator=(const SectionIterator& other);

        /// The current text; empty when the iterator is empty.
        operator SYS_String();
        /// Advance, then the new current text (empty at the end).
        SYS_String operator++();
        /// The current text, then advance.
        SYS_String operator++(int);

        /// Any negative current key means empty.
        int IsEmpty() const { return m_current < 0; }
        /// Makes the iterator empty.
        void Clear() { m_current = -1; }
        /// The name of the section the iterator walks.
        SYS_String GetName() const { return m_section; }
        /// The current message number, or -1 when empty.
        long GetPosition() const { return IsEmpty() ? -1 : static_cast<long>(m_current) - m_base; }

    private:
        /// One step: the next key of the table after current and not past last, else empty.
        void GetNext();
        bool HasDatabase() const;

        SFM_MessageDB* m_db;
        int32_t m_current = -1;
        int32_t m_last = 0;
        int32_t m_base = 0;
        SYS_String m_section;
    };

    /// Loads the text form (opened with mode "r"); the integer only selects this form.
    SFM_MessageDB(SYS_String fileName, int);
    /// Loads the binary form (opened with mode "rb").
    explicit SFM_MessageDB(SYS_String fileName);
    SFM_MessageDB(const SFM_MessageDB&) = delete;
    SFM_MessageDB& operator=(const SFM_MessageDB&) = delete;
    /// Deletes the key table and the sections and closes the message file.
    virtual ~SFM_MessageDB();

    /// The text of the message or section entry `key`, at most 199 bytes, with a final '$'
    /// removed; empty when the key is unknown or the file is not open. One lookup, one seek and
    /// one read.
    SYS_String getTxt(long key);
    /// The base of the latest section named `name` (case ignored), or -1 when there is none.
    long GetSectionBase(SYS_String name);
    /// Writes the binary form of every entry, in ascending key order. More than 32767 entries
    /// cannot be counted by the form: that is reported ("Vosk: ") and nothing is written. The
    /// texts are read before the output is opened, so `fileName` may name this database's own
    /// file.
    void Save(SYS_String fileName);
    /// Always TRUE.
    virtual int IsValid() { return TRUE; }

    /// Every key of the key table in ascending order (messages and sections alike), for tools
    /// that list what a file defined without walking every number.
    const std::vector<int32_t>& GetKeys() const { return m_sortedKeys; }
    /// The sections from the first defined to the latest; walk with GetNext(). Null when none.
    const SectionTableNode* GetFirstSection() const { return m_sections.GetHead(); }
    /// The number of entries in the key table.
    long GetCount() const { return m_keys != nullptr ? m_keys->GetCount() : 0; }

protected:
    /// The latest section whose name equals `name` ignoring case, or null.
    SectionTableNode* GetSection(SYS_String name);

private:
    friend class SFM_MessageDBInstaller;

    SCC_SafeDList<SectionTableNode> m_sections;
    SCC_Map<int, keyTableElem>* m_keys = nullptr;
    int32_t m_tableSize = 0;
    SFM_File m_file;
    std::vector<int32_t> m_sortedKeys;  ///< the key table's keys, ascending, for the iterators
};
