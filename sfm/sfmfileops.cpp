// The operations of SFM_File on the file by its name, built on the directory class.
#include "SFM_Directory.h"
#include "SFM_File.h"

int SFM_File::Copy(const char* target, int overwrite) {
    return SFM_Directory().CopyFileA(GetName(), target, overwrite);
}

int SFM_File::Move(const char* target, int overwrite) {
    return SFM_Directory().MoveFileA(GetName(), target, overwrite);
}

int SFM_File::Delete() { return SFM_Directory().DeleteFileA(GetName()); }

int SFM_File::Exists() { return SFM_Directory().FileExists(GetName()); }
