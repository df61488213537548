#pragma once

#include "SCC_Event.h"
#include "SCC_SafeDList.h"
#include "SFM_Directory.h"
#include "SYS_String.h"
#include "TessarExport.h"

/// @class SFM
/// The file manager: one process-wide object that every file and directory operation reports
/// to. It keeps every live SFM_File in a list ordered by most recent opening, turns platform
/// failures into readable texts, lets the host answer failures (retry, overwrite) through its
/// event, and frees a stream slot when too many files are open by closing the least recently
/// opened file temporarily (the file re-opens itself at its next operation, at the same place).
///
/// Lifetime. The manager is created by the first GetManager() (every SFM_File constructor makes
/// that call) and destroyed when the library is unloaded; afterwards GetManager() answers null
/// and files work alone: no events, no retries. A manager constructed directly while another
/// exists is a broken precondition.
///
/// Answering failures. A host attaches hooks to GetEvent(); each hook receives the event code
/// and the SFM_EventData and may answer with SetResult (EC_RETRY to try again, EC_YES to allow
/// an overwrite). Without an answer the operation fails. An open that fails because the process
/// has too many files open (errno EMFILE) is retried by the manager itself, after it closed one
/// other file temporarily, without asking the hooks. A hook may open, close or read other files
/// (the file whose event it answers may be closed temporarily meanwhile), but must not destroy,
/// open or close that file itself.
///
/// Retries are bounded: an open, copy, move or delete is attempted at most SFM::kMaxOpenAttempts
/// times in one call, so a hook that always answers retry, or a too-many-files retry that frees
/// nothing, ends with the operation failing instead of looping forever.

class SFM_File;
class SFM_MessageDB;
class SFM_EventData;

/// The manager's file list. It links the files without owning them: destroying it, or the
/// manager, only unlinks them. The most recently created or opened file is at the tail.
class TESSAR_EXPORT SFM_FileList : public SCC_SafeDList<SFM_File> {
public:
    SFM_FileList();
    ~SFM_FileList() override;
};

class TESSAR_EXPORT SFM {
public:
    /// Event codes and answers. Codes below EC_TARGET_EXISTS are notifications; codes from it
    /// on carry a failure text (SFM_EventData::GetText).
    enum EventCode {
        EC_NONE = 0,             // no answer
        EC_YES = 1,              // answer: go ahead (overwrite)
        EC_RETRY = 2,            // answer: try again
        EC_OPENING = 101,        // a file is about to be opened or re-opened
        EC_OPENED = 102,         // a file was opened
        EC_CLOSED = 103,         // a file was closed
        EC_TARGET_EXISTS = 151,  // the target of a copy or move exists; overwrite?
        EC_OPEN_FAILED = 201,
        EC_CLOSE_FAILED = 202,
        EC_READ_FAILED = 203,
        EC_WRITE_FAILED = 204,
        EC_COPY_FAILED = 205,
        EC_MOVE_FAILED = 206,
        EC_DELETE_FAILED = 207
    };

    /// The last error that means "too many open files" (EMFILE, 24 as on the original host).
    static constexpr int kTooManyOpenFiles = 24;
    /// Attempts of one open (the first one and every retry, whoever asked for it).
    static constexpr int kMaxOpenAttempts = 64;

    /// The one manager, or null; InstanceCount is 0 before it was created, 1 while it lives and
    /// -1 after it was destroyed.
    ///@{
    static SFM* Instance;
    static int InstanceCount;
    ///@}

    /// The manager, created on first demand; null after it was destroyed (never re-created).
    static SFM* GetManager();

    /// Requires that no manager was created before ("Vosk: ", sfm/sfmanagr); becomes Instance.
    SFM();
    /// Deletes the message database (its file closes with the usual event), unlinks every file
    /// (they stay alive and work alone), detaches the event's hooks, releases the directories,
    /// and sets Instance to null and InstanceCount to -1.
    virtual ~SFM();
    /// Copying is refused: a copy would share the message database that each manager's destructor
    /// deletes, and would claim the process-wide Instance and the files of the first.
    SFM(const SFM&) = delete;
    SFM& operator=(const SFM&) = delete;

    /// Creates the application's message database from `messageFile`, only when none exists yet
    /// and a name is given: the binary form when the extension is ".mdb" (case ignored), else
    /// the text form. A file that cannot be opened gives an empty database. Later calls do
    /// nothing.
    virtual void Initiate(const char* messageFile);
    /// Valid when the message database exists and is valid, the file list is valid and every
    /// listed file is valid. Each part that is not is reported ("Vosk: ", sfm/sfmanagr).
    virtual int IsValid();

    /// The message database created by Initiate (owned by the manager), or null before.
    SFM_MessageDB* GetMessageDB() const { return m_messageDB; }
    /// `name` made absolute against directory `index` of GetDirectories(); an index outside the
    /// list is reported by the array and completes against an empty directory.
    SYS_String GetExternalFileName(int index, const char* name) const;
    /// The directories against which external file names are built; the host fills them.
    SFM_DirArray& GetDirectories() { return m_directories; }

    /// Tells the manager about an operation on the files named in `data` and returns the answer.
    /// The data's result is reset and its error code set to errno first. For EC_OPEN_FAILED with
    /// error 24 one other file is closed temporarily and EC_RETRY is returned without the hooks.
    /// EC_OPENING moves the last listed file of that name to the tail. Codes from
    /// EC_TARGET_EXISTS on get the system's text for the error, and after the hooks that text
    /// (with the names) becomes the message of the last listed file of that name. The result is
    /// what the hooks answered (EC_NONE without an answer). errno is kept.
    EventCode Event(EventCode code, SFM_EventData& data);

    /// The event every code is dispatched on; hosts hook it to answer failures.
    SCC_Event<SFM_EventData>& GetEvent() { return m_event; }
    /// Every live file, least recently opened at the head.
    SFM_FileList& GetFileList() { return m_files; }

    /// The application profile (an INI file, see PLT_File.h). Missing settings read as the
    /// default; writes replace the file atomically.
    ///@{
    SYS_String ReadProfileString(const char* section, const char* key, const char* defaultValue);
    void SetProfileString(const char* section, const char* key, const char* value);
    int GetProfileIntA(const char* section, const char* key, int defaultValue);
    void SetProfileInt(const char* section, const char* key, int value);
    ///@}

    /// Starts the editor of the profile (section "general", key "editor") on `fileName` without
    /// waiting for it; does nothing when no editor is set. The command line is the editor
    /// command, a blank and the file name as one shell word (quoted), so that a name with blanks
    /// or shell characters is passed as it is and runs nothing else. Nothing is reported.
    void ShowFile(const char* fileName);

private:
    friend class SFM_File;

    /// Sets the data's text to the system's text for its error code, or to TR(45103) with the
    /// number when the system has none.
    void CreateMessage(EventCode code, SFM_EventData& data);
    /// Closes the first file from the head (least recently opened) that may be closed
    /// temporarily, if any; a file that cannot keep its position stays open and the walk goes on.
    /// TRUE when one was closed.
    int TempCloseSomeFile();
    /// The last file of the list (searching from the tail) named `name`, or null.
    SFM_File* FindLastNamed(const SYS_String& name) const;

    SFM_FileList m_files;
    SFM_MessageDB* m_messageDB = nullptr;
    SCC_Event<SFM_EventData> m_event;
    SFM_DirArray m_directories;
};

/// What one event is about, and the host's answer.
class TESSAR_EXPORT SFM_EventData {
public:
    /// Null names become empty; error code and result start at 0.
    SFM_EventData(const char* fileName1 = nullptr, const char* fileName2 = nullptr);

    /// The names the event is about (the file's own name first); empty when not given.
    ///@{
    const SYS_String& GetFileName1() const { return m_fileName1; }
    const SYS_String& GetFileName2() const { return m_fileName2; }
    ///@}
    /// errno as the manager captured it when the event was raised.
    int GetErrorCode() const { return m_errorCode; }
    /// The answer set by a hook (SetResult); EC_NONE when none answered.
    SFM::EventCode GetResult() const { return m_result; }

    /// Sets the answer. Replacing a non-zero answer with another non-zero one is a broken
    /// precondition ("Vosk: ", sfm/sfmanagr), after which it is replaced; 0 is always accepted.
    void SetResult(SFM::EventCode result);
    /// The failure text, without the names (see GetText).
    void SetText(SYS_String text) { m_text = text; }
    /// The failure text, then for each non-empty name (first, then second) CR, LF and the name
    /// in double quotes.
    SYS_String GetText() const;

private:
    friend class SFM;

    int m_errorCode;
    SYS_String m_fileName1;
    SYS_String m_fileName2;
    SYS_String m_text;
    SFM::EventCode m_result;
};

/// The library's unload deletes the file manager if it exists; GetManager() answers null from
/// then on. Only the library's own entry calls it; not exported.
void SFM_DestroyManager();
