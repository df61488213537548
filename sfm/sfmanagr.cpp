#include "SFM.h"

#include <cerrno>

#include "PLT_File.h"
#include "SFM_File.h"
#include "SFM_MessageDB.h"
#include "SFM_TR.h"
#include "SSM_Assert.h"
#include "TessarPlatform.h"

namespace {
const char kUnit[] = "sfm/sfmanagr";
const char kVosk[] = "Vosk: ";
const int kTextForUnknownError = 45103;
}  // namespace

SFM* SFM::Instance = nullptr;
int SFM::InstanceCount = 0;

SFM_FileList::SFM_FileList() = default;
SFM_FileList::~SFM_FileList() = default;

SFM* SFM::GetManager() {
    if (Instance == nullptr && InstanceCount == 0) new SFM();
    return Instance;
}

SFM::SFM() {
    SSM_CHECK_THROW(InstanceCount == 0, kVosk, kUnit, SSM_FailureError);
    SSM_CHECK_THROW(Instance == nullptr, kVosk, kUnit, SSM_FailureError);
    Instance = this;
    ++InstanceCount;
    PLT_TraceLifetime("+file manager");
}

SFM::~SFM() {
    PLT_TraceLifetime("-file manager");
    delete m_messageDB;  // while the manager lives: closing its file is still an event
    m_messageDB = nullptr;
    InstanceCount = -1;
    if (Instance == this) Instance = nullptr;
    // The members' destructors detach the event's hooks and unlink every file.
}

void SFM_DestroyManager() {
    if (SFM::Instance != nullptr) delete SFM::Instance;
    SFM::InstanceCount = -1;
}

SFM::EventCode SFM::Event(EventCode code, SFM_EventData& data) {
    PLT_ErrnoGuard keepLastError;
    data.m_result = EC_NONE;
    data.m_errorCode = errno;
    if (code == EC_OPEN_FAILED && data.m_errorCode == kTooManyOpenFiles) {
        TempCloseSomeFile();
        return EC_RETRY;
    }
    if (code == EC_OPENING) {
        SFM_File* file = FindLastNamed(data.m_fileName1);
        if (file != nullptr && file != m_files.GetTail()) {
            m_files.Remove(file);
            m_files.AddTail(file);
        }
    }
    if (code >= EC_TARGET_EXISTS) CreateMessage(code, data);
    m_event.Notify(code, &data);
    if (code >= EC_TARGET_EXISTS) {
        // A hook may have closed or destroyed files: search again.
        SFM_File* file = FindLastNamed(data.m_fileName1);
        if (file != nullptr) file->SetMsg(data.GetText());
    }
    return data.m_result;
}

void SFM::CreateMessage(EventCode /*code*/, SFM_EventData& data) {
    std::string text = PLT_SystemErrorText(data.m_errorCode);
    if (!text.empty())
        data.m_text = text.c_str();
    else
        data.m_text.Format(TR(kTextForUnknownError), data.m_errorCode);
}

int SFM::TempCloseSomeFile() {
    for (SFM_File* file = m_files.GetHead(); file != nullptr; file = file->GetNext()) {
        if (!file->MayBeTempClosed()) continue;
        file->TempClose();
        if (!file->MayBeTempClosed()) return TRUE;
    }
    return FALSE;
}

SFM_File* SFM::FindLastNamed(const SYS_String& name) const {
    for (SFM_File* file = m_files.GetTail(); file != nullptr; file = file->GetPrev())
        if (SCC_Compare(file->GetName(), name) == 0) return file;
    return nullptr;
}

SYS_String SFM::ReadProfileString(const char* section, const char* key,
                                  const char* defaultValue) {
    return SYS_String(PLT_ReadProfileString(section, key, defaultValue).c_str());
}

void SFM::SetProfileString(const char* section, const char* key, const char* value) {
    PLT_WriteProfileString(section, key, value);
}

int SFM::GetProfileIntA(const char* section, const char* key, int defaultValue) {
    return PLT_ReadProfileInt(section, key, defaultValue);
}

void SFM::SetProfileInt(const char* section, const char* key, int value) {
    SYS_String text;
    text.Format("%d", value);
    PLT_WriteProfileString(section, key, text);
}

namespace {

// `text` as one word of the shell: in single quotes, each quote inside written as '\''.
std::string ShellWord(const char* text) {
    std::string word = "'";
    for (const char* at = text; *at != '\0'; ++at) {
        if (*at == '\'')
            word += "'\\''";
        else
            word += *at;
    }
    return word + "'";
}

}  // namespace

void SFM::ShowFile(const char* fileName) {
    SYS_String editor = ReadProfileString("general", "editor", "");
    if (editor.IsEmpty()) return;
    std::string commandLine(static_cast<const char*>(editor));
    commandLine += ' ';
    commandLine += ShellWord(fileName != nullptr ? fileName : "");
    PLT_StartProgram(commandLine.c_str());
}

SFM_EventData::SFM_EventData(const char* fileName1, const char* fileName2)
    : m_errorCode(0), m_fileName1(fileName1), m_fileName2(fileName2), m_result(SFM::EC_NONE) {}

void SFM_EventData::SetResult(SFM::EventCode result) {
    SSM_CHECK_THROW(m_result == SFM::EC_NONE || result == SFM::EC_NONE, kVosk, kUnit,
                    SSM_FailureError);
    m_result = result;
}

SYS_String SFM_EventData::GetText() const {
    SYS_String text = m_text;
    if (!m_fileName1.IsEmpty()) text << "\r\n\"" << m_fileName1 << "\"";
    if (!m_fileName2.IsEmpty()) text << "\r\n\"" << m_fileName2 << "\"";
    return text;
}
