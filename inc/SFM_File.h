#pragma once

#include <cstdio>

#include "SCC_SafeDList.h"
#include "SCC_Stack.h"
#include "SYS_String.h"
#include "TessarExport.h"

/// One named file on disk, read and written through a buffered C stream in text or binary mode
/// (binary exactly when the mode contains 'b'), with a cached length, a stack of saved positions,
/// typed binary values, line and character transfer for text, formatted output, and an optional
/// copy-on-write mapping of the whole file into memory.
///
/// States: closed (no stream), open (a stream), temporarily closed (no stream, position saved on
/// the position stack), each optionally mapped. The file manager (SFM.h) may close an open file
/// temporarily to free a stream slot; the next operation that touches the stream re-opens it
/// with the re-open mode (the mode with a leading w replaced by a, so nothing written is
/// truncated) and resumes at the saved position. A temporarily closed file counts as open for
/// every caller. When that re-open fails because too many files are open, the file closes the
/// least recently opened other file temporarily and tries again (at most SFM::kMaxOpenAttempts
/// times), so that temporary closing keeps its promise under the open-file limit. Because the
/// re-open mode of w and w+ is a and a+, writes after a re-open always go to the end of the file.
/// A file whose buffered data cannot be written when it is closed temporarily (so its position
/// cannot be saved) stays open. Every name is given to the system with '\' turned into '/'.
///
/// Manager. Every file is a node of the manager's list from construction to destruction (copies
/// excepted, see below) and raises its events there (SFM::Event) with its name as the first
/// file name: EC_OPENING before every open and re-open, EC_OPENED, EC_CLOSED, and the failures
/// EC_OPEN_FAILED (a retry answer repeats the open), EC_CLOSE_FAILED, EC_READ_FAILED and
/// EC_WRITE_FAILED, after each of which the stream's error indicator is cleared. Without a
/// manager (after library unload) a file works alone and raises nothing.
///
/// Checks are check-and-throw reports "Vosk: " from sfm/sfmfile (setting name or mode while
/// open, opening an open file, a missing name or mode, a null buffer or format, popping an empty
/// position stack, a missing stream, a failed re-open). When the assertion manager lets the call
/// go on, an operation that would use a null buffer or format, open over an open stream, or pop
/// an empty position stack, returns its failure value (changing nothing); the others go on. A
/// check that throws on the host's request during the destructor's Close stays inside it. Using text operations on a binary file and typed
/// values on a text file is reported with the four "Vosk: Can't call ..." messages, and then the
/// operation goes on.
///
/// Length. The cached length is 64 bits (long), so files beyond 2 GiB have their true length;
/// -1 means not known. Open makes it unknown; a write keeps it only while the file is open and
/// the position stays below it.
///
/// Mapping. MapToMemory maps the whole file privately: writing into the view never changes the
/// file. A file holds at most one mapping; mapping again releases the earlier view first, so its
/// address becomes invalid. Several files may be mapped at once.
///
/// Copies and assignment. A copy gets the name only: it starts closed and in no list.
/// Assignment moves the other file's stream, temporarily-closed state, saved positions and
/// mapping to this file (after closing this file's own stream and mapping), copies the name,
/// mode, message and length, and links this file beside the other one in its list; the other
/// file keeps its name and mode but is left closed. So one stream is never closed twice and no
/// stream is lost.
class TESSAR_EXPORT SFM_File : public SCC_SafeDListNode<SFM_File> {
public:
    /// Origin of Seek and PushPosition.
    enum SeekType { begin = 0, current = 1, end = 2 };  ///< passed to fseek unchanged

    /// Stores the name (if any) and joins the manager's list; the file is not opened.
    SFM_File(const char* name = nullptr);
    /// As above, then requires a non-empty name and mode and opens with that mode.
    SFM_File(const char* name, const char* mode);
    /// Copies the name only: the copy starts closed and in no list (see Copies and assignment).
    SFM_File(const SFM_File& other);
    /// Takes over the other file's stream and state (see Copies and assignment); returns this file.
    SFM_File& operator=(SFM_File& other);
    /// Same as SetName(name); returns this file.
    SFM_File& operator=(const char* name);
    /// Closes the file (and its mapping) and leaves the list.
    ~SFM_File() override;

    /// The file's name as given (before any '\' is turned into '/').
    const SYS_String& GetName() const { return m_name; }
    /// The mode given at construction, to SetMode or to Open.
    const SYS_String& GetMode() const { return m_mode; }
    /// The last failure text the manager attached to this file (with the names, see SFM).
    const SYS_String& GetMsg() const { return m_message; }
    /// Name and mode may only be set while the file is closed.
    ///@{
    void SetName(const char* name);
    void SetMode(const char* mode);
    ///@}
    /// Replaces the failure text (see GetMsg).
    void SetMsg(const char* message) { m_message = message; }

    /// The file by its name, through SFM_Directory with an empty path (a relative name stays
    /// relative to the current directory); the file itself is not opened. 1 or 0.
    int Copy(const char* target, int overwrite);  ///< SFM_Directory::CopyFileA(name, target, ...)
    int Move(const char* target, int overwrite);  ///< SFM_Directory::MoveFileA(name, target, ...)
    int Delete();                                 ///< SFM_Directory::DeleteFileA(name)
    int Exists();                                 ///< SFM_Directory::FileExists(name)

    /// Open and not already closed temporarily.
    virtual int MayBeTempClosed();
    /// Closes the stream behind the caller's back, keeping the position; no event.
    virtual void TempClose();
    /// Close, rename, and Open(mode).
    virtual int ReOpen(const SYS_String& name, const SYS_String& mode);

private:
    /// Re-opens a temporarily closed file (with the re-open mode, at the saved position); called
    /// first by every operation that touches the stream. See the class comment.
    virtual void ReOpen();

public:
    /// Always TRUE. (The const form is the node's own check of the iterators standing on it.)
    virtual int IsValid() { return TRUE; }
    using SCC_RefDList::IsValid;
    /// Requires a closed file. Opens with `mode` (which becomes the file's mode) or, when it is
    /// empty, with the stored mode. 1 on success; 0 when the open failed and no hook answered
    /// EC_RETRY, after SFM::kMaxOpenAttempts attempts, or at once without a manager.
    virtual int Open(SYS_String mode = SYS_String());
    /// End-of-file indicator, else whether the position equals the length.
    virtual int Eof();
    /// A stream is set or the file is closed temporarily.
    virtual int IsOpen() { return m_stream != nullptr || m_tempClosed; }
    /// Writes the stream's buffered data (re-opening a temporarily closed file first); nothing when
    /// the file is not open.
    virtual void Flush();
    /// Closes the stream (EC_CLOSED, or EC_CLOSE_FAILED when buffered data could not be written)
    /// and releases a mapping.
    virtual void Close();
    /// The address of a private, copy-on-write view of the whole file, or null (file not open,
    /// empty, or not mappable). An open stream is closed temporarily meanwhile.
    virtual void* MapToMemory();
    /// Releases the view; re-opens a stream that mapping closed temporarily.
    virtual void UnmapMemory();
    /// 1 when the seek succeeded, 0 when it failed or the file is not open.
    virtual int Seek(int offset, SeekType origin);
    /// Seeks and, on success, saves the previous position on the stack (1); on failure the
    /// position and the stack stay as they were (0).
    virtual int PushPosition(int offset, SeekType origin);
    /// Requires a saved position; seeks to it.
    virtual void PopPosition();
    /// Reads up to `count` bytes; the number read.
    virtual long Read(void* buffer, long count);
    /// 1 when all `count` bytes were written.
    virtual int Write(const void* buffer, long count);

    /// Typed binary values, least significant byte first, in the widths of the file format:
    /// char 1 byte, short 2, int and long 4, double 8. A long is stored as its low 32 bits and
    /// read back sign-extended (unsigned long zero-extended). With `reverse` the order of the
    /// value's bits within its width is reversed (bit 0 becomes the top bit), after reading and
    /// before writing. A short read leaves the bytes not read as they were. Each Get returns the
    /// value; each Put returns Write's result. A text file is reported and then used anyway.
    ///@{
    virtual double Get(double& value);
    virtual unsigned long Get(unsigned long& value, int reverse = 0);
    virtual long Get(long& value, int reverse = 0);
    virtual unsigned char Get(unsigned char& value, int reverse = 0);
    virtual char Get(char& value, int reverse = 0);
    virtual unsigned short Get(unsigned short& value, int reverse = 0);
    virtual short Get(short& value, int reverse = 0);
    virtual unsigned int Get(unsigned int& value, int reverse = 0);
    virtual int Get(int& value, int reverse = 0);
    virtual int Put(double value);
    virtual int Put(unsigned long value, int reverse = 0);
    virtual int Put(long value, int reverse = 0);
    virtual int Put(unsigned char value, int reverse = 0);
    virtual int Put(char value, int reverse = 0);
    virtual int Put(unsigned short value, int reverse = 0);
    virtual int Put(short value, int reverse = 0);
    virtual int Put(unsigned int value, int reverse = 0);
    virtual int Put(int value, int reverse = 0);
    ///@}

    /// One byte, with CR LF read as one LF (a CR before anything else is returned as CR); byte
    /// 255 at the end, on a read error or when the file is not open.
    virtual char GetChar();
    /// Writes one byte; 1 on success, 0 on a write error or when the file is not open.
    virtual int PutChar(char c);
    /// One line with its line feed, or a piece of at most n - 1 bytes of a longer line, where
    /// n is `maxLength` within 1..510 and 511 otherwise. Empty at the end of the file and on an
    /// error. A NUL byte ends the returned text (text files hold none).
    virtual SYS_String GetLine(long maxLength = 0);
    /// The line's bytes and one line feed, in one block; 1 when all were written.
    virtual int WriteLine(const SYS_String& line);
    /// Formatted output; the number of characters written, 0 on a stream error.
    virtual long Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

    /// -1 when not open, else the stream's offset.
    long GetPosition();
    /// The length in bytes, measured once and cached (-1 when it cannot be measured).
    long GetLength();
    /// Seek(0, begin).
    int Rewind() { return Seek(0, begin); }
    /// Seek(0, end).
    int SeekToEnd() { return Seek(0, end); }

private:
    struct Mapping;

    /// fseek after ReOpen, with a position of the full width; 1 on success.
    int SeekTo(long offset, int origin);
    /// ReOpen, then whether a stream exists (reported when it does not).
    bool PrepareStream();
    /// Raises `code` with this file's name through the manager; EC_NONE without one.
    int RaiseEvent(int code);
    /// Raises `code` when the stream's error indicator is set, then clears it; true when it was.
    bool RaiseStreamError(int code);
    /// After a write: the cached length stays valid only below it while open.
    void CheckLength();
    bool IsBinary() const { return m_binary; }
    /// Stores the mode and whether it is binary (it contains 'b').
    void StoreMode(const SYS_String& mode);
    /// The re-open mode: a leading w becomes a.
    SYS_String ReOpenMode() const;
    /// fopen of the name (with '\' turned into '/').
    FILE* OpenStream(const char* mode) const;
    void ReleaseMapping();
    /// Reports a typed value on a text file (the operation then goes on).
    void CheckTyped(bool isGet);
    template <class T> T GetTyped(T& value, int reverse);
    template <class T> int PutTyped(T value, int reverse);

    FILE* m_stream = nullptr;
    SYS_String m_name;
    SYS_String m_mode;
    SYS_String m_message;
    long m_length = -1;
    int m_tempClosed = FALSE;
    SCC_Stack<long> m_positions;
    Mapping* m_mapping = nullptr;
    bool m_binary = false;  ///< follows m_mode
};

/// Stream-style shorthands: << is Put(value, 0) (WriteLine for a string), >> is Get(value, 0)
/// (GetLine(0) for a string).
TESSAR_EXPORT SFM_File& operator<<(SFM_File& file, double value);
TESSAR_EXPORT SFM_File& operator<<(SFM_File& file, unsigned long value);
TESSAR_EXPORT SFM_File& operator<<(SFM_File& file, long value);
TESSAR_EXPORT SFM_File& operator<<(SFM_File& file, unsigned char value);
TESSAR_EXPORT SFM_File& operator<<(SFM_File& file, char value);
TESSAR_EXPORT SFM_File& operator<<(SFM_File& file, unsigned short value);
TESSAR_EXPORT SFM_File& operator<<(SFM_File& file, short value);
TESSAR_EXPORT SFM_File& operator<<(SFM_File& file, unsigned int value);
TESSAR_EXPORT SFM_File& operator<<(SFM_File& file, int value);
TESSAR_EXPORT SFM_File& operator<<(SFM_File& file, const SYS_String& line);
TESSAR_EXPORT SFM_File& operator>>(SFM_File& file, double& value);
TESSAR_EXPORT SFM_File& operator>>(SFM_File& file, unsigned long& value);
TESSAR_EXPORT SFM_File& operator>>(SFM_File& file, long& value);
TESSAR_EXPORT SFM_File& operator>>(SFM_File& file, unsigned char& value);
TESSAR_EXPORT SFM_File& operator>>(SFM_File& file, char& value);
TESSAR_EXPORT SFM_File& operator>>(SFM_File& file, unsigned short& value);
TESSAR_EXPORT SFM_File& operator>>(SFM_File& file, short& value);
TESSAR_EXPORT SFM_File& operator>>(SFM_File& file, unsigned int& value);
TESSAR_EXPORT SFM_File& operator>>(SFM_File& file, int& value);
TESSAR_EXPORT SFM_File& operator>>(SFM_File& file, SYS_String& line);
