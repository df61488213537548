// The file object: a C stream with the manager's events around every open, close and failure,
// and transparent re-opening after the manager closed the stream temporarily. A file's stream
// is used from one thread, as the whole library is, so transfers take the stream functions
// that skip the stream's lock.
#include "SFM_File.h"

#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <type_traits>
#include <vector>

#include "PLT_File.h"
#include "SFM.h"
#include "SSM_Assert.h"

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "typed values are stored least significant byte first, as in memory");

namespace {
const char kUnit[] = "sfm/sfmfile";
const char kVosk[] = "Vosk: ";
const char kGetLineOnBinary[] = "Vosk: Can't call GetLine on binary file";
const char kGetCharOnBinary[] = "Vosk: Can't call GetChar on binary file";
const char kGetOnText[] = "Vosk: Can't call Get on text file";
const char kPutOnText[] = "Vosk: Can't call Put on text file";
const char kNoByte = static_cast<char>(255);
const int kLineBufferSize = 512;
const long kLongestLineLimit = kLineBufferSize - 1;

// The unsigned integer of a typed value's width in the file.
template <class T> struct Wire;
template <> struct Wire<char> { typedef uint8_t Raw; };
template <> struct Wire<unsigned char> { typedef uint8_t Raw; };
template <> struct Wire<short> { typedef uint16_t Raw; };
template <> struct Wire<unsigned short> { typedef uint16_t Raw; };
template <> struct Wire<int> { typedef uint32_t Raw; };
template <> struct Wire<unsigned int> { typedef uint32_t Raw; };
template <> struct Wire<long> { typedef uint32_t Raw; };
template <> struct Wire<unsigned long> { typedef uint32_t Raw; };

// Bit 0 becomes the top bit of the width, and so on.
template <class Raw> Raw ReverseBits(Raw bits) {
    Raw reversed = 0;
    for (unsigned i = 0; i < sizeof(Raw) * 8; ++i) {
        reversed = static_cast<Raw>((reversed << 1) | (bits & 1u));
        bits = static_cast<Raw>(bits >> 1);
    }
    return reversed;
}

// The value of the stored bits: signed types sign-extend from the width, unsigned ones
// zero-extend.
template <class T, class Raw> T FromWire(Raw raw) {
    if constexpr (std::is_signed_v<T>)
        return static_cast<T>(static_cast<std::make_signed_t<Raw>>(raw));
    else
        return static_cast<T>(raw);
}

}  // namespace

struct SFM_File::Mapping {
    PLT_MappedFile file;
};

// ---------------------------------------------------------------------------------------------
// Construction, naming, assignment

SFM_File::SFM_File(const char* name) {
    if (name != nullptr && name[0] != '\0') m_name = name;
    m_length = m_name.IsEmpty() ? 0 : -1;
    CheckLength();
    if (SFM* manager = SFM::GetManager()) manager->m_files.AddTail(this);
}

SFM_File::SFM_File(const char* name, const char* mode) : SFM_File(name) {
    SSM_CHECK_THROW(name != nullptr && name[0] != '\0', kVosk, kUnit, SSM_FailureError);
    SSM_CHECK_THROW(mode != nullptr && mode[0] != '\0', kVosk, kUnit, SSM_FailureError);
    StoreMode(mode);
    Open(m_mode);
}

SFM_File::SFM_File(const SFM_File& other) : SCC_SafeDListNode<SFM_File>(other), m_name(other.m_name) {}

SFM_File& SFM_File::operator=(SFM_File& other) {
    if (&other == this) return *this;
    Close();  // this file's own stream and mapping would otherwise be lost
    SFM* manager = SFM::GetManager();
    if (manager != nullptr && IsLinked()) manager->m_files.Remove(this);
    if (manager != nullptr && other.IsLinked()) manager->m_files.InsertAfter(&other, this);
    // The stream, its saved positions and the mapping move: one object owns them at a time.
    m_stream = other.m_stream;
    other.m_stream = nullptr;
    m_tempClosed = other.m_tempClosed;
    other.m_tempClosed = FALSE;
    m_positions = other.m_positions;
    other.m_positions.RemoveAll();
    m_mapping = other.m_mapping;
    other.m_mapping = nullptr;
    m_name = other.m_name;
    StoreMode(other.m_mode);
    m_message = other.m_message;
    m_length = other.m_length;
    return *this;
}

SFM_File& SFM_File::operator=(const char* name) {
    SetName(name);
    return *this;
}

SFM_File::~SFM_File() {
    // A check of Close (a failed re-open) may throw on the host's request; a destructor must
    // not let it out, or the process would end.
    try {
        Close();
    } catch (...) {
    }
    ReleaseMapping();
}

void SFM_File::SetName(const char* name) {
    SSM_CHECK_THROW(!IsOpen(), kVosk, kUnit, SSM_FailureError);
    m_name = name;
}

void SFM_File::SetMode(const char* mode) {
    SSM_CHECK_THROW(!IsOpen(), kVosk, kUnit, SSM_FailureError);
    StoreMode(mode);
}

void SFM_File::StoreMode(const SYS_String& mode) {
    m_mode = mode;
    m_binary = std::strchr(m_mode, 'b') != nullptr;
}

// ---------------------------------------------------------------------------------------------
// Events

int SFM_File::RaiseEvent(int code) {
    int lastError = errno;  // what the manager reports, whatever happens on the way there
    SFM* manager = SFM::GetManager();
    if (manager == nullptr) return SFM::EC_NONE;
    SFM_EventData data(m_name, nullptr);
    errno = lastError;
    return manager->Event(static_cast<SFM::EventCode>(code), data);
}

bool SFM_File::RaiseStreamError(int code) {
    if (m_stream == nullptr || !ferror_unlocked(m_stream)) return false;
    RaiseEvent(code);
    if (m_stream != nullptr) clearerr_unlocked(m_stream);  // a hook may have closed the file
    return true;
}

// ---------------------------------------------------------------------------------------------
// Opening, closing, temporary closing

FILE* SFM_File::OpenStream(const char* mode) const {
    return std::fopen(PLT_SystemPath(m_name).c_str(), mode);
}

int SFM_File::Open(SYS_String mode) {
    if (!SSM_CHECK_THROW(!IsOpen(), kVosk, kUnit, SSM_FailureError)) return 0;
    RaiseEvent(SFM::EC_OPENING);
    if (!mode.IsEmpty()) StoreMode(mode);
    for (int attempt = 1;; ++attempt) {
        errno = 0;
        m_stream = OpenStream(m_mode);
        if (m_stream != nullptr) {
            RaiseEvent(SFM::EC_OPENED);
            m_length = -1;
            return 1;
        }
        if (RaiseEvent(SFM::EC_OPEN_FAILED) != SFM::EC_RETRY || attempt >= SFM::kMaxOpenAttempts)
            return 0;
    }
}

int SFM_File::ReOpen(const SYS_String& name, const SYS_String& mode) {
    Close();
    SetName(name);
    return Open(mode);
}

void SFM_File::Close() {
    if (IsOpen()) {
        ReOpen();
        if (m_stream != nullptr) {
            errno = 0;
            clearerr_unlocked(m_stream);
            FILE* stream = m_stream;
            m_stream = nullptr;  // hooks of the event see a closed file
            bool failed = std::fclose(stream) != 0;
            RaiseEvent(failed ? SFM::EC_CLOSE_FAILED : SFM::EC_CLOSED);
        }
    }
    if (m_mapping != nullptr) UnmapMemory();
    m_stream = nullptr;
}

void SFM_File::Flush() {
    if (!IsOpen()) return;
    ReOpen();
    if (m_stream != nullptr) std::fflush(m_stream);
}

int SFM_File::MayBeTempClosed() { return m_stream != nullptr && !m_tempClosed; }

void SFM_File::TempClose() {
    if (!SSM_CHECK_THROW(MayBeTempClosed(), kVosk, kUnit, SSM_FailureError)) return;
    // Without its position (the buffered data could not be written) the file could not resume
    // where it was: it stays open.
    if (!PushPosition(0, current)) return;
    m_tempClosed = TRUE;
    std::fclose(m_stream);
    m_stream = nullptr;
}

SYS_String SFM_File::ReOpenMode() const {
    if (m_mode.IsEmpty() || m_mode[0] != 'w') return m_mode;
    SYS_String mode = m_mode;
    mode.SetAt(0, 'a');
    return mode;
}

void SFM_File::ReOpen() {
    if (!m_tempClosed) return;
    m_tempClosed = FALSE;
    RaiseEvent(SFM::EC_OPENING);
    SYS_String mode = ReOpenMode();
    m_stream = OpenStream(mode);
    // Under the open-file limit the re-open itself needs a slot: free one from the least
    // recently opened other file, as the manager does for a failed Open.
    for (int attempt = 1; m_stream == nullptr && errno == EMFILE && attempt < SFM::kMaxOpenAttempts;
         ++attempt) {
        SFM* manager = SFM::GetManager();
        if (manager == nullptr || !manager->TempCloseSomeFile()) break;
        m_stream = OpenStream(mode);
    }
    SSM_CHECK_THROW(m_stream != nullptr, kVosk, kUnit, SSM_FailureError);
    PopPosition();
}

bool SFM_File::PrepareStream() {
    ReOpen();
    return SSM_CHECK_THROW(m_stream != nullptr, kVosk, kUnit, SSM_FailureError);
}

// ---------------------------------------------------------------------------------------------
// Mapping

void* SFM_File::MapToMemory() {
    ReleaseMapping();  // one view per file: the earlier one goes
    if (!IsOpen()) return nullptr;
    if (MayBeTempClosed()) TempClose();
    PLT_MappedFile file = PLT_MapFile(m_name);
    if (file.view == nullptr) return nullptr;
    m_mapping = new Mapping{file};
    return file.view;
}

void SFM_File::UnmapMemory() {
    if (m_mapping == nullptr || !PLT_UnmapFile(m_mapping->file)) return;
    delete m_mapping;
    m_mapping = nullptr;
    ReOpen();
}

void SFM_File::ReleaseMapping() {
    if (m_mapping == nullptr) return;
    PLT_UnmapFile(m_mapping->file);
    delete m_mapping;
    m_mapping = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Position and length

long SFM_File::GetPosition() {
    ReOpen();
    return m_stream != nullptr ? std::ftell(m_stream) : -1;
}

int SFM_File::SeekTo(long offset, int origin) {
    ReOpen();
    return m_stream != nullptr && std::fseek(m_stream, offset, origin) == 0;
}

int SFM_File::Seek(int offset, SeekType origin) { return SeekTo(offset, origin); }

int SFM_File::PushPosition(int offset, SeekType origin) {
    long remembered = GetPosition();
    if (!SeekTo(offset, origin)) {
        SeekTo(remembered, begin);
        return 0;
    }
    m_positions.Push(remembered);
    return 1;
}

void SFM_File::PopPosition() {
    // Popping nothing would report again from the stack and move to the start: refused here.
    if (!SSM_CHECK_THROW(!m_positions.IsEmpty(), kVosk, kUnit, SSM_FailureError)) return;
    SeekTo(m_positions.Pop(), begin);
}

long SFM_File::GetLength() {
    if (m_length != -1 || m_name.IsEmpty()) return m_length;
    if (IsOpen()) {
        long remembered = GetPosition();
        if (SeekTo(0, end)) m_length = GetPosition();
        SeekTo(remembered, begin);
        return m_length;
    }
    FILE* measuring = OpenStream("r");
    if (measuring == nullptr) return -1;
    if (std::fseek(measuring, 0, SEEK_END) == 0) m_length = std::ftell(measuring);
    std::fclose(measuring);
    return m_length;
}

void SFM_File::CheckLength() {
    if (m_length == -1) return;
    if (!IsOpen() || GetPosition() >= m_length) m_length = -1;
}

int SFM_File::Eof() {
    if (!PrepareStream()) return TRUE;
    if (feof_unlocked(m_stream)) return TRUE;
    return GetPosition() == GetLength();
}

// ---------------------------------------------------------------------------------------------
// Blocks, characters, lines

long SFM_File::Read(void* buffer, long count) {
    if (!SSM_CHECK_THROW(buffer != nullptr, kVosk, kUnit, SSM_FailureError)) return 0;
    if (!IsOpen() || !PrepareStream() || count <= 0) return 0;
    long got = static_cast<long>(fread_unlocked(buffer, 1, static_cast<size_t>(count), m_stream));
    RaiseStreamError(SFM::EC_READ_FAILED);
    return got;
}

int SFM_File::Write(const void* buffer, long count) {
    if (!SSM_CHECK_THROW(buffer != nullptr, kVosk, kUnit, SSM_FailureError)) return 0;
    if (!IsOpen() || !PrepareStream() || count < 0) return 0;
    long put = static_cast<long>(fwrite_unlocked(buffer, 1, static_cast<size_t>(count), m_stream));
    bool failed = RaiseStreamError(SFM::EC_WRITE_FAILED);
    CheckLength();
    return put == count && !failed;
}

char SFM_File::GetChar() {
    if (!IsOpen() || !PrepareStream()) return kNoByte;
    errno = 0;
    clearerr_unlocked(m_stream);
    int byte = getc_unlocked(m_stream);
    if (RaiseStreamError(SFM::EC_READ_FAILED) || byte == EOF) byte = 255;
    if (IsBinary()) SSM_CHECK_THROW(false, kGetCharOnBinary, kUnit, SSM_FailureError);
    if (byte != '\r' || m_stream == nullptr) return static_cast<char>(byte);
    int following = getc_unlocked(m_stream);
    if (following == '\n') return '\n';
    if (following != EOF) std::ungetc(following, m_stream);
    return '\r';
}

int SFM_File::PutChar(char c) {
    if (!IsOpen() || !PrepareStream()) return 0;
    bool put = fputc_unlocked(static_cast<unsigned char>(c), m_stream) != EOF;
    bool failed = RaiseStreamError(SFM::EC_WRITE_FAILED);
    CheckLength();
    return put && !failed;
}

SYS_String SFM_File::GetLine(long maxLength) {
    if (!IsOpen() || !PrepareStream()) return SYS_String();
    errno = 0;
    long limit = maxLength >= 1 && maxLength < kLongestLineLimit ? maxLength : kLongestLineLimit;
    char buffer[kLineBufferSize];
    const char* got = fgets_unlocked(buffer, static_cast<int>(limit), m_stream);
    if (RaiseStreamError(SFM::EC_READ_FAILED)) return SYS_String();
    SYS_String line(got != nullptr ? buffer : "");
    if (IsBinary()) SSM_CHECK_THROW(false, kGetLineOnBinary, kUnit, SSM_FailureError);
    return line;
}

int SFM_File::WriteLine(const SYS_String& line) {
    if (!IsOpen() || !PrepareStream()) return 0;
    size_t length = static_cast<size_t>(line.GetLength());
    // One block, so the line and its end reach the stream together.
    char small[kLineBufferSize];
    std::vector<char> large;
    char* block = small;
    if (length + 1 > sizeof small) {
        large.resize(length + 1);
        block = large.data();
    }
    std::memcpy(block, static_cast<const char*>(line), length);
    block[length] = '\n';
    bool put = fwrite_unlocked(block, 1, length + 1, m_stream) == length + 1;
    bool failed = RaiseStreamError(SFM::EC_WRITE_FAILED);
    CheckLength();
    return put && !failed;
}

long SFM_File::Printf(const char* format, ...) {
    if (!SSM_CHECK_THROW(format != nullptr, kVosk, kUnit, SSM_FailureError)) return 0;
    if (!IsOpen() || !PrepareStream()) return 0;
    va_list args;
    va_start(args, format);
    long written = std::vfprintf(m_stream, format, args);
    va_end(args);
    if (RaiseStreamError(SFM::EC_WRITE_FAILED) || written < 0) written = 0;
    CheckLength();
    return written;
}

// ---------------------------------------------------------------------------------------------
// Typed binary values

void SFM_File::CheckTyped(bool isGet) {
    if (!IsBinary()) SSM_CHECK_THROW(false, isGet ? kGetOnText : kPutOnText, kUnit, SSM_FailureError);
}

template <class T> T SFM_File::GetTyped(T& value, int reverse) {
    typedef typename Wire<T>::Raw Raw;
    CheckTyped(true);
    Raw raw = static_cast<Raw>(value);  // bytes a short read leaves keep the variable's
    Read(&raw, sizeof raw);
    if (reverse) raw = ReverseBits(raw);
    value = FromWire<T>(raw);
    return value;
}

template <class T> int SFM_File::PutTyped(T value, int reverse) {
    typedef typename Wire<T>::Raw Raw;
    CheckTyped(false);
    Raw raw = static_cast<Raw>(value);  // a long keeps its low 32 bits
    if (reverse) raw = ReverseBits(raw);
    return Write(&raw, sizeof raw);
}

double SFM_File::Get(double& value) {
    CheckTyped(true);
    Read(&value, sizeof value);
    return value;
}

int SFM_File::Put(double value) {
    CheckTyped(false);
    return Write(&value, sizeof value);
}

unsigned long SFM_File::Get(unsigned long& value, int reverse) { return GetTyped(value, reverse); }
long SFM_File::Get(long& value, int reverse) { return GetTyped(value, reverse); }
unsigned char SFM_File::Get(unsigned char& value, int reverse) { return GetTyped(value, reverse); }
char SFM_File::Get(char& value, int reverse) { return GetTyped(value, reverse); }
unsigned short SFM_File::Get(unsigned short& value, int reverse) { return GetTyped(value, reverse); }
short SFM_File::Get(short& value, int reverse) { return GetTyped(value, reverse); }
unsigned int SFM_File::Get(unsigned int& value, int reverse) { return GetTyped(value, reverse); }
int SFM_File::Get(int& value, int reverse) { return GetTyped(value, reverse); }
int SFM_File::Put(unsigned long value, int reverse) { return PutTyped(value, reverse); }
int SFM_File::Put(long value, int reverse) { return PutTyped(value, reverse); }
int SFM_File::Put(unsigned char value, int reverse) { return PutTyped(value, reverse); }
int SFM_File::Put(char value, int reverse) { return PutTyped(value, reverse); }
int SFM_File::Put(unsigned short value, int reverse) { return PutTyped(value, reverse); }
int SFM_File::Put(short value, int reverse) { return PutTyped(value, reverse); }
int SFM_File::Put(unsigned int value, int reverse) { return PutTyped(value, reverse); }
int SFM_File::Put(int value, int reverse) { return PutTyped(value, reverse); }

// ---------------------------------------------------------------------------------------------
// Stream-style shorthands

#define SFM_FILE_STREAM_OPERATORS(Type)                                                 \
    SFM_File& operator<<(SFM_File& file, Type value) {                                  \
        file.Put(value, 0);                                                             \
        return file;                                                                    \
    }                                                                                   \
    SFM_File& operator>>(SFM_File& file, Type& value) {                                 \
        file.Get(value, 0);                                                             \
        return file;                                                                    \
    }
SFM_FILE_STREAM_OPERATORS(unsigned long)
SFM_FILE_STREAM_OPERATORS(long)
SFM_FILE_STREAM_OPERATORS(unsigned char)
SFM_FILE_STREAM_OPERATORS(char)
SFM_FILE_STREAM_OPERATORS(unsigned short)
SFM_FILE_STREAM_OPERATORS(short)
SFM_FILE_STREAM_OPERATORS(unsigned int)
SFM_FILE_STREAM_OPERATORS(int)
#undef SFM_FILE_STREAM_OPERATORS

SFM_File& operator<<(SFM_File& file, double value) {
    file.Put(value);
    return file;
}

SFM_File& operator>>(SFM_File& file, double& value) {
    file.Get(value);
    return file;
}

SFM_File& operator<<(SFM_File& file, const SYS_String& line) {
    file.WriteLine(line);
    return file;
}

SFM_File& operator>>(SFM_File& file, SYS_String& line) {
    line = file.GetLine(0);
    return file;
}
