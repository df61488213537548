// The file manager's message database and directories.
#include "SFM.h"

#include "SFM_File.h"
#include "SFM_FilePath.h"
#include "SFM_MessageDB.h"
#include "SSM_Assert.h"

namespace {
const char kUnit[] = "sfm/sfmanagr";
const char kVosk[] = "Vosk: ";
}  // namespace

void SFM::Initiate(const char* messageFile) {
    if (m_messageDB != nullptr || messageFile == nullptr) return;
    const SYS_String name(messageFile);
    if (SFM_FilePath(messageFile).GetFileExtension().CompareNoCase(".mdb") == 0)
        m_messageDB = new SFM_MessageDB(name);
    else
        m_messageDB = new SFM_MessageDB(name, 0);
}

int SFM::IsValid() {
    int valid = SSM_CHECK_THROW(m_messageDB != nullptr && m_messageDB->IsValid(), kVosk, kUnit,
                                SSM_FailureError);
    if (!SSM_CHECK_THROW(m_files.IsValid(), kVosk, kUnit, SSM_FailureError)) valid = FALSE;
    for (SFM_File* file = m_files.GetHead(); file != nullptr; file = file->GetNext())
        if (!SSM_CHECK_THROW(file->IsValid(), kVosk, kUnit, SSM_FailureError)) valid = FALSE;
    return valid ? TRUE : FALSE;
}

SYS_String SFM::GetExternalFileName(int index, const char* name) const {
    return m_directories.GetAt(index) + name;
}
