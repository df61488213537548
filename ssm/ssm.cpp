// The assertion manager. One failure moves through: entered (depth raised, record found or
// created) -> guarded (already being handled: leave) -> pushed -> asked (unless silent,
// disabled or always thrown) -> reported -> logged (if required and enabled) -> popped ->
// left (depth lowered) -> thrown (if requested). Entering and pushing are undone by scope
// objects, so after a hook or a nested failure threw, Depth and Stack are as they were before
// the failure and Current is on its record, exactly as after a normal end; the manager's own
// exception is thrown only once both scopes are closed.
#include "SSM.h"

#include "PLT_Debug.h"

SSM* SSM::Instance = nullptr;
long SSM::InstanceCount = 0;

namespace {

const char kUnit[] = "ssm/ssm";
const char kOnlyInstance[] = "SSM may have the only instance";
const char kInvalidAction[] = "Assert handler encountered invalid action code.";

// The key of an assertion site: "file(line)".
SYS_String SiteKey(const char* file, long line) {
    SYS_String key;
    key.Format("%s(%lu)", file != nullptr ? file : "", static_cast<unsigned long>(line));
    return key;
}

// Raises the nesting depth for the life of one failure.
class DepthScope {
public:
    explicit DepthScope(long& depth) : m_depth(depth) { ++m_depth; }
    ~DepthScope() { --m_depth; }
    DepthScope(const DepthScope&) = delete;
    DepthScope& operator=(const DepthScope&) = delete;

private:
    long& m_depth;
};

// The entry point's way to the registered manager (installed while SSM::Instance is set).
int ReportToManager(const char* message, const char* file, int line, SSM_FailureType type,
                    int id) {
    return SSM::Instance != nullptr ? SSM::Instance->AssertFailed(message, file, line, type, id)
                                    : FALSE;
}

void ThrowFromManager() {
    if (SSM::Instance != nullptr) SSM::Instance->Throw();
}

}  // namespace

// Keeps a record on the manager's stack while its failure is handled. On leaving, normally
// or by an exception, the record's action is cleared, the stack popped and Current put back
// on the popped record, so that Throw() finds it even when nested failures moved Current.
class SSM::HandlingScope {
public:
    HandlingScope(SSM& manager, AssertData& record) : m_manager(manager), m_record(record) {
        const long before = m_manager.Stack.GetCount();
        m_manager.Stack.Push(&record);
        m_pushed = m_manager.Stack.GetCount() > before;  // the stack may fail to grow
        m_manager.Current.MoveTo(m_manager.Map, record);
    }
    ~HandlingScope() {
        m_record.Action = Continue;
        // A hook may have emptied the public stack; a destructor must not report then.
        if (!m_pushed || m_manager.Stack.IsEmpty()) return;
        AssertData* popped = m_manager.Stack.Pop();
        if (popped != nullptr) m_manager.Current.MoveTo(m_manager.Map, *popped);
    }
    HandlingScope(const HandlingScope&) = delete;
    HandlingScope& operator=(const HandlingScope&) = delete;

private:
    SSM& m_manager;
    AssertData& m_record;
    bool m_pushed;
};

// ---------------------------------------------------------------------------------------------
// Records, the map and the exception

SSM::AssertData::AssertData()
    : LineNo(0), Count(0), Enabled(TRUE), LogRequired(TRUE), Action(Continue), ID(0) {}

SSM::AssertData::AssertData(const char* message, const char* file, long line, long id)
    : FileName(file),
      Msg(message),
      LineNo(line),
      Count(0),
      Enabled(TRUE),
      LogRequired(TRUE),
      Action(Continue),
      ID(id) {}

SSM::AssertMap::AssertMap() : SCC_Map<SYS_String, AssertData>(53) {}
SSM::AssertMap::AssertMap(const AssertMap& other) : SCC_Map<SYS_String, AssertData>(other) {}
SSM::AssertMap& SSM::AssertMap::operator=(const AssertMap& other) {
    SCC_Map<SYS_String, AssertData>::operator=(other);
    return *this;
}
SSM::AssertMap::~AssertMap() = default;

// ---------------------------------------------------------------------------------------------
// The cursor

SSM::AssertObj::AssertObj() { OnFocusDeleteGoForward(); }

SSM::AssertObj::~AssertObj() = default;

void SSM::AssertObj::GetFirst(SSM* manager) {
    if (manager == nullptr) manager = Instance;
    if (manager == nullptr) {
        Invalidate();
        return;
    }
    SCC_MapIterator::GetFirst(manager->Map);
}

void SSM::AssertObj::SetHandle(AssertData* data) {
    SCC_Map<SYS_String, AssertData>* map = GetMap();
    if (map == nullptr && Instance != nullptr) map = &Instance->Map;
    if (data == nullptr || map == nullptr) {
        Clear();
        return;
    }
    MoveTo(*map, *data);
}

void SSM::AssertObj::SetHandle(SYS_Handle handle, SSM* manager) {
    if (manager == nullptr) manager = Instance;
    if (handle == 0 || manager == nullptr) {
        Clear();
        return;
    }
    MoveTo(manager->Map, *reinterpret_cast<AssertData*>(handle));
}

void SSM::AssertObj::MoveTo(SCC_Map<SYS_String, AssertData>& map, const AssertData& site) {
    SetPosition(map, SiteKey(site.FileName, site.LineNo));
}

SSM::AssertData* SSM::AssertObj::CheckedRecord() const {
    if (!SSM_CHECK(IsValid(), "", SCC_ListDetail::kUnit, SSM_FailureAssert)) return nullptr;
    return reinterpret_cast<AssertData*>(GetHandle());
}

int SSM::AssertObj::IsValid() const {
    // The map iterator's own test; it reads the cursor and changes nothing.
    return const_cast<AssertObj*>(this)->SCC_MapIterator::IsValid();
}

SYS_Handle SSM::AssertObj::GetHandle() const {
    return const_cast<AssertObj*>(this)->SCC_MapIterator::GetHandle();
}

SYS_String SSM::AssertObj::GetFileName() {
    const AssertData* record = CheckedRecord();
    return record != nullptr ? record->FileName : SYS_String();
}

long SSM::AssertObj::GetLineNo() {
    const AssertData* record = CheckedRecord();
    return record != nullptr ? record->LineNo : 0;
}

long SSM::AssertObj::GetID() {
    const AssertData* record = CheckedRecord();
    return record != nullptr ? record->ID : 0;
}

long SSM::AssertObj::GetCount() {
    const AssertData* record = CheckedRecord();
    return record != nullptr ? record->Count : 0;
}

void SSM::AssertObj::IncreaseCount() {
    if (AssertData* record = CheckedRecord()) ++record->Count;
}

SYS_String SSM::AssertObj::GetMsg() {
    const AssertData* record = CheckedRecord();
    return record != nullptr ? record->Msg : SYS_String();
}

void SSM::AssertObj::SetMsg(SYS_String msg) {
    if (AssertData* record = CheckedRecord()) record->Msg = msg;
}

SYS_String SSM::AssertObj::GetLogMsg() {
    const AssertData* record = CheckedRecord();
    return record != nullptr ? record->LogMsg : SYS_String();
}

void SSM::AssertObj::SetLogMsg(SYS_String msg) {
    if (AssertData* record = CheckedRecord()) record->LogMsg = msg;
}

int SSM::AssertObj::IsDisabled() const {
    const AssertData* record = CheckedRecord();
    return record != nullptr && !record->Enabled ? TRUE : FALSE;
}

void SSM::AssertObj::Disable(int bDisable) {
    if (AssertData* record = CheckedRecord()) record->Enabled = !bDisable;
}

int SSM::AssertObj::IsLogRequired() const {
    const AssertData* record = CheckedRecord();
    return record != nullptr ? record->LogRequired : FALSE;
}

void SSM::AssertObj::SetLogRequired(int required) {
    if (AssertData* record = CheckedRecord()) record->LogRequired = required;
}

SSM::Action SSM::AssertObj::GetAction() {
    const AssertData* record = CheckedRecord();
    return record != nullptr ? record->Action : Continue;
}

void SSM::AssertObj::SetAction(SSM::Action action) {
    AssertData* record = CheckedRecord();
    if (record != nullptr && action > record->Action) record->Action = action;
}

void SSM::AssertObj::ClearAction() {
    if (AssertData* record = CheckedRecord()) record->Action = Continue;
}

int SSM::AssertObj::DefaultSort(const int& a, const int& b) {
    if (a > b) return 1;
    return a < b ? -1 : 0;
}

SCC_Notifier* SSM::AssertObj::GetChangeEvent(void*) {
    return Instance != nullptr ? &Instance->AssertEvent : nullptr;
}

void SSM::AssertObj::OnUpdatePointers(void*) {}

// ---------------------------------------------------------------------------------------------
// The manager

SSM::SSM()
    : Depth(-1), FatalData(nullptr), SilentMode(FALSE), m_registered(FALSE) {
    if (Instance != nullptr) {
        // A programming error of the host: report it to the manager in charge, then stop.
        SSM_AssertFailed(kOnlyInstance, kUnit, __LINE__, SSM_FailureAssert, 0);
        PLT_DebugBreak();
        return;
    }
    Instance = this;
    SSM_SetManagerHandlers({ReportToManager, ThrowFromManager});
    ++InstanceCount;
    m_registered = TRUE;
}

SSM::~SSM() {
    if (!m_registered) return;
    try {
        SSM_CHECK(InstanceCount == 1 && Instance == this, kOnlyInstance, kUnit,
                  SSM_FailureAssert);
    } catch (...) {
        // A destructor cannot pass on the exception a handler asked for; the break stays.
        PLT_DebugBreak();
    }
    --InstanceCount;
    if (Instance == this) {
        Instance = nullptr;
        SSM_SetManagerHandlers({nullptr, nullptr});
    }
}

int SSM::GetSilentMode() { return Instance != nullptr ? Instance->SilentMode : FALSE; }

void SSM::SetSilentMode(int silent) {
    if (Instance != nullptr) Instance->SilentMode = silent;
}

// Steps: (1) depth up, result TRUE, no throw request, FatalData cleared; (2-3) the site's
// stored record, created on first failure; (4) a record already being handled answers TRUE at
// once; (5) push, Current on it, Count up, action cleared, Msg set; (6-8) ask the AssertEvent
// handlers unless the type is always thrown, silent mode is on or the site is disabled;
// (9-10) report, and log when required and enabled; (11) clear the action, pop, Current back
// on the record; (12) depth down, then throw when requested.
int SSM::AssertFailed(const char* message, const char* file, int line, SSM_FailureType type,
                      int id) {
    Outcome outcome;
    {
        DepthScope depth(Depth);
        FatalData = nullptr;
        AssertData* record = FindOrAddRecord(message, file, line, id);
        if (record == nullptr) return FALSE;
        if (IsBeingHandled(record)) return TRUE;
        HandlingScope handling(*this, *record);
        ++record->Count;
        record->Action = Continue;
        record->Msg = message;
        outcome = HandleRecord(*record, type);
    }
    if (!outcome.throwRequest) return outcome.result;
    Throw();
    return outcome.result;
}

void SSM::Throw() {
    if (FatalData != nullptr) throw FatalException{FatalData};
    if (Current.IsValid()) throw Current.GetValue();
}

SSM::AssertData* SSM::FindOrAddRecord(const char* message, const char* file, int line, int id) {
    const SYS_String key = SiteKey(file, line);
    AssertData* stored = Map.Lookup(key);
    if (stored != nullptr) return stored;
    Map.Add(key, AssertData(message, file, line, id));
    // Looked up again: a listener of the map may have changed it while the add was announced.
    return Map.Lookup(key);
}

int SSM::IsBeingHandled(const AssertData* record) const {
    for (long below = 0; below < Stack.GetCount(); ++below)
        if (Stack.Peek(below) == record) return TRUE;
    return FALSE;
}

SSM::Outcome SSM::HandleRecord(AssertData& record, SSM_FailureType type) {
    Outcome outcome;
    if (type == SSM_FailureThrow)
        outcome.throwRequest = TRUE;
    else if (!SilentMode && record.Enabled)
        AskHandlers(record, type, outcome);
    Announce(ReportEvent, type, record);
    if (record.LogRequired && record.Enabled) Announce(LogEvent, type, record);
    return outcome;
}

void SSM::AskHandlers(AssertData& record, SSM_FailureType type, Outcome& outcome) {
    // A non-assert failure nested in the handling of another one breaks by default.
    record.Action = Depth > 0 && type != SSM_FailureAssert ? Break : Continue;
    Announce(AssertEvent, type, record);
    switch (record.Action) {
        case Continue:
            break;
        case Break:
            outcome.result = FALSE;
            break;
        case ThrowData:
            outcome.throwRequest = TRUE;
            break;
        case ThrowFatal:
            outcome.throwRequest = TRUE;
            FatalData = &record;
            break;
        default:
            // Reported as a nested failure; when that answers FALSE: break, then SSM_Throw().
            SSM_CheckFailedThrow(kInvalidAction, kUnit, __LINE__, SSM_FailureError, 0);
            break;
    }
}

void SSM::Announce(SCC_Notifier& event, SSM_FailureType type, const AssertData& record) {
    event.Notify(type, SCC_Notifier::ValueAsData(reinterpret_cast<SYS_Handle>(&record)));
}
