#pragma once

#include "SCC_Map.h"
#include "SCC_Notifier.h"
#include "SCC_Stack.h"
#include "SSM_Assert.h"
#include "SYS_String.h"
#include "TessarExport.h"
#include "TessarTypes.h"

/// The assertion manager: the process-wide single object behind SSM_AssertFailed. The host
/// creates one early and destroys it last; while none exists every report answers FALSE (the
/// caller breaks into the debugger) and SSM_Throw does nothing.
///
/// The manager keeps one record (SSM::AssertData) per assertion site, keyed "file(line)", with
/// a hit count, an enabled flag, a log flag and the latest message, and tells the host about
/// every failure through three notifiers. It shows nothing itself: dialogs, log files and
/// message boxes belong to the host's handlers.
///
/// Handlers. A host installs a handler by hooking an event node on AssertEvent, ReportEvent or
/// LogEvent (AddHook / AddNode); there is no other registration. A notification carries the
/// failure type as its code and the handle of the record, at full pointer width, in the data
/// pointer. A hook reads it back and positions a cursor on the record:
///
///     int OnAssert(int type, int* data) {
///         SSM::AssertObj record;
///         record.SetHandle(SCC_Notifier::DataAsValue(data), nullptr);
///         if (type == SSM_FailureError) record.SetAction(SSM::Break);
///         return 0;
///     }
///
/// SetAction only ever raises the action, so among several AssertEvent hooks (called by
/// descending priority) the strongest request wins whatever the order.
///
/// Failures raised while a failure is being handled (by a hook, or by the manager itself) are
/// expected: Depth counts the nesting (-1 when idle, 0 for the outermost failure) and Stack
/// holds the records being handled, innermost on top. A failure at a site whose failure is
/// being handled is not reported again and answers TRUE at once.
///
/// The manager is not copyable: the library never copies a manager, and a copy could neither
/// be registered nor take over the host's hooks without stealing them from the original.
class TESSAR_EXPORT SSM {
    class HandlingScope;  ///< keeps a record on Stack while its failure is handled

public:
    /// The outcome chosen for one failure; hooks can only raise it (AssertObj::SetAction).
    /// Based on int so that any value a handler stores is a valid Action; values other than
    /// these four are reported by the manager and treated as Continue.
    enum Action : int {
        Continue = 0,    // SSM_AssertFailed answers TRUE: the caller goes on
        Break = 1,       // SSM_AssertFailed answers FALSE: the caller breaks into the debugger
        ThrowData = 2,   // the manager throws the record's SSM::AssertData*
        ThrowFatal = 3   // the manager throws SSM::FatalException
    };

    /// The record of one assertion site. Records live in the manager's Map for the life of the
    /// manager and never move, so their addresses serve as handles.
    struct TESSAR_EXPORT AssertData {
        AssertData();
        /// A record at its creation values for a failure of `file`(`line`).
        AssertData(const char* message, const char* file, long line, long id);

        SYS_String FileName;  ///< the source unit as the check passed it
        SYS_String Msg;       ///< the message of the latest failure at this site
        SYS_String LogMsg;    ///< text for the log, set by handlers; empty at creation
        /// The line of the check.
        long LineNo;
        long Count;           ///< failures at this site so far
        int Enabled;          ///< 0: the site is disabled (no handler is asked, nothing logged)
        int LogRequired;      ///< LogEvent is fired for an enabled site with this flag
        SSM::Action Action;   ///< the action chosen for the failure being handled
        long ID;              ///< the message ID passed by the caller, 0 when none
    };

    /// All sites seen so far, keyed "%s(%lu)" (file, line); starts with 53 buckets.
    class TESSAR_EXPORT AssertMap : public SCC_Map<SYS_String, AssertData> {
    public:
        AssertMap();
        /// Copies every record, as SCC_Map copies.
        AssertMap(const AssertMap& other);
        /// Replaces the records with copies of those of `other`, as SCC_Map assigns.
        AssertMap& operator=(const AssertMap& other);
        ~AssertMap() override;
    };

    /// A cursor on one record of a manager's Map. Its handle is the address of the record
    /// (an SSM::AssertData*), 0 when the cursor is on nothing. When the record under the
    /// cursor is removed, the cursor moves forward.
    ///
    /// The accessors require the cursor to be on a record: on nothing, they report the failure
    /// (type 0, empty message, as the list iterators do in "scc/SCC_List_Inline") and then
    /// answer an empty text, 0 or SSM::Continue, and the setters change nothing.
    class TESSAR_EXPORT AssertObj : public SCC_MapIterator<SYS_String, AssertData> {
    public:
        /// On nothing. Like every map iterator, a cursor is not copyable: it listens to its map.
        AssertObj();
        ~AssertObj() override;

        /// The first record of `manager`'s map (the registered manager's when null): bucket
        /// order, then chain order. On nothing when there is no manager or no record.
        /// GetNext is the map iterator's.
        void GetFirst(SSM* manager);

        using SCC_MapIterator::IsValid;
        /// TRUE when the cursor is on a record.
        int IsValid() const;
        using SCC_MapIterator::GetHandle;
        /// The address of the record under the cursor, 0 on nothing.
        SYS_Handle GetHandle() const;

        /// Moves onto the stored record of the site of `data` (its FileName and LineNo), so any
        /// AssertData built for the same file and line finds it. The map searched is the one
        /// the cursor is on, else the registered manager's. Null, an unknown site or no map
        /// leave the cursor on nothing. Linear in the number of records: the cursor walks the map
        /// to the record found by hash lookup and key comparison.
        void SetHandle(AssertData* data);
        /// The same with a handle as a hook receives it (the address of an AssertData), searched
        /// in `manager`'s map (the registered manager's when null). 0 leaves the cursor on
        /// nothing.
        void SetHandle(SYS_Handle handle, SSM* manager);

        /// The fields of the record under the cursor (see SSM::AssertData); IsDisabled answers
        /// non-zero for a disabled site, IncreaseCount adds one failure, ClearAction resets the
        /// action to Continue (SetAction cannot lower it).
        ///@{
        SYS_String GetFileName();
        long GetLineNo();
        long GetID();
        long GetCount();
        void IncreaseCount();
        SYS_String GetMsg();
        void SetMsg(SYS_String msg);
        SYS_String GetLogMsg();
        void SetLogMsg(SYS_String msg);
        int IsDisabled() const;
        /// The site is disabled when `bDisable` is non-zero, enabled otherwise.
        void Disable(int bDisable);
        int IsLogRequired() const;
        void SetLogRequired(int required);
        SSM::Action GetAction();
        ///@}
        /// Stores `action` only when it is greater than the stored one: handlers can only
        /// escalate. Values beyond ThrowFatal are stored too; the manager reports them.
        void SetAction(SSM::Action action);
        /// Resets the action to Continue, which SetAction cannot do.
        void ClearAction();

        /// 1 when a > b, -1 when a < b, else 0.
        static int DefaultSort(const int& a, const int& b);
        /// The registered manager's AssertEvent (null without a manager); the argument is
        /// ignored.
        static SCC_Notifier* GetChangeEvent(void* unused);
        /// Does nothing: records never move.
        void OnUpdatePointers(void* unused);

    private:
        friend class SSM;
        friend class SSM::HandlingScope;
        /// The record under the cursor, or null after a report (the accessors' precondition).
        AssertData* CheckedRecord() const;
        /// Stands on the stored record of `site`'s file and line in `map`, or on nothing.
        void MoveTo(SCC_Map<SYS_String, AssertData>& map, const AssertData& site);
    };

    /// Thrown for SSM::ThrowFatal.
    struct TESSAR_EXPORT FatalException {
        AssertData* Data;  ///< the record of the failure, owned by the manager's Map
    };

    /// Registers this manager as SSM::Instance, installs its handlers in the entry point
    /// (SSM_SetManagerHandlers) and counts it. While another manager exists, the new one is
    /// refused: "SSM may have the only instance" is reported (type 0, file "ssm/ssm") to the
    /// existing manager, the debugger break follows, and the new object is left unregistered
    /// and uncounted. It still works as a manager of its own when called
    /// directly, but SSM_AssertFailed never reaches it, and its destruction touches neither
    /// SSM::Instance nor SSM::InstanceCount. An exception requested by a handler for that
    /// report leaves the constructor, and the object is not created.
    SSM();
    /// The registered manager checks that it is the only instance ("SSM may have the only
    /// instance", type 0, file "ssm/ssm"), then uncounts and unregisters itself, removing its
    /// handlers from the entry point; an exception a handler asks for in that report cannot
    /// leave a destructor, so the debugger break is executed instead. The map announces its
    /// destruction (SCC_NotifyCleared) to its observers before the records go; cursors on it
    /// are left on nothing.
    ~SSM();
    SSM(const SSM&) = delete;
    SSM& operator=(const SSM&) = delete;

    /// The registered manager (SSM::Instance), or null while none exists.
    static SSM* GetManager() { return Instance; }
    /// The registered manager's flag; 0 without a manager.
    static int GetSilentMode();
    /// Sets the registered manager's flag; does nothing without a manager. In silent mode no
    /// AssertEvent handler is asked: every failure not of type SSM_FailureThrow continues.
    static void SetSilentMode(int silent);

    /// Handles one failure and answers TRUE (go on) or FALSE (break). The site's record is found
    /// or created; a failure at a site whose failure is being handled answers TRUE at once.
    /// Otherwise the record is counted and takes the message, the AssertEvent hooks choose the
    /// action (not for SSM_FailureThrow, in silent mode or for a disabled site, which go on),
    /// ReportEvent is fired, and LogEvent for an enabled site that requires logging. Throws, at
    /// the very end and with Depth and Stack restored, the record's AssertData* (catchable as
    /// void*) or an SSM::FatalException when a handler asked for it or when `type` is
    /// SSM_FailureThrow. Every failure, nested ones included, starts by clearing FatalData: when
    /// a report or log handler raises a failure after a handler chose ThrowFatal, this failure
    /// ends by throwing its record (AssertData*), not an SSM::FatalException. An action beyond
    /// ThrowFatal is reported as "Assert handler encountered invalid action code." (type 1,
    /// "ssm/ssm"); when that report answers FALSE the debugger break and SSM_Throw() follow,
    /// which throws the nested report's record, otherwise this failure continues. An exception from a hook
    /// or a nested failure passes through with Depth and Stack restored and Current on this
    /// failure's record; this failure is then neither reported nor logged. A failure that
    /// cannot be recorded (a listener of Map removed the new record at once) answers FALSE, as
    /// without a manager.
    int AssertFailed(const char* message, const char* file, int line, SSM_FailureType type,
                     int id);
    /// Throws SSM::FatalException with FatalData when it is set; otherwise the AssertData* of
    /// the record under Current; returns when Current is on nothing.
    void Throw();

    long Depth;                 ///< nesting of failures being handled; -1 when none is
    SCC_Notifier AssertEvent;   ///< asks the handlers for an action (type, handle)
    SCC_Notifier ReportEvent;   ///< every recorded failure (type, handle)
    SCC_Notifier LogEvent;      ///< failures of enabled sites that require logging
    AssertObj Current;          ///< the record being handled, or the latest one handled
    AssertData* FatalData;      ///< set when a handler chose ThrowFatal
    AssertMap Map;              ///< every site seen so far
    SCC_Stack<AssertData*> Stack;  ///< the records being handled, innermost on top
    /// Non-zero in silent mode (see SetSilentMode).
    int SilentMode;

    /// The registered manager, or null.
    static SSM* Instance;
    /// Registered managers alive: 1 while one is registered, else 0.
    static long InstanceCount;

private:
    /// What one failure asks for once its record is handled.
    struct Outcome {
        int result = TRUE;            ///< the answer when nothing is thrown
        int throwRequest = FALSE;
    };

    /// The steps of AssertFailed: the site's record (null when a listener of Map removed it at
    /// once), the re-entrance guard, the handling of a pushed record (ask, report, log), the
    /// hooks' choice of action, and one notification of a record's handle.
    AssertData* FindOrAddRecord(const char* message, const char* file, int line, int id);
    int IsBeingHandled(const AssertData* record) const;
    Outcome HandleRecord(AssertData& record, SSM_FailureType type);
    void AskHandlers(AssertData& record, SSM_FailureType type, Outcome& outcome);
    void Announce(SCC_Notifier& event, SSM_FailureType type, const AssertData& record);

    int m_registered;  ///< this object is SSM::Instance
};
