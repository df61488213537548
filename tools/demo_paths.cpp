// Demo steps: paths split into their parts, edited part by part, and completed against a
// directory; then a directory tree made, listed, copied into and deleted in a temporary place.
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "SFM.h"
#include "SFM_Directory.h"
#include "SFM_FilePath.h"
#include "tessar_cli.h"

namespace {

void ShowParts(std::ostream& out, const char* text) {
    SFM_FilePath path(text);
    out << "  " << text << "  ->  base '" << path.GetBasePath() << "', directory '"
        << path.GetRelPath() << "', name '" << path.GetFileName() << "', extension '"
        << path.GetFileExtension() << "'\n";
}

void ShowEditing(std::ostream& out) {
    SFM_FilePath board("C:\\work\\sub\\plan.brd");
    out << "Editing " << board << ":\n";
    out << "  extension txt:          " << board.SetFileExtension("txt") << "\n";
    out << "  name x.y, name only:    " << board.SetFileName("x.y", 1) << "\n";
    out << "  directory D:\\data:      " << board.SetFileDirectory("D:\\data") << "\n";
    SFM_FilePath name("layout.sch");
    out << "  layout.sch against C:\\work: " << name.SetDefPath("C:\\work") << "\n";
    SFM_FilePath rooted("/etc/boards.ini");
    out << "  /etc/boards.ini against /tmp/work stays rooted: " << rooted.SetDefPath("/tmp/work")
        << "\n";
}

void ShowPaths(std::ostream& out) {
    out << "Paths are split into base path, relative directory, name and extension:\n";
    for (const char* text : {"C:\\work\\sub\\plan.brd", "\\\\srv\\share\\doc\\a.txt",
                             "/home/pcb/archive.tar.gz", "/home/pcb/.profile", "plan."})
        ShowParts(out, text);
    ShowEditing(out);
}

const TessarDemoRegistrar kStep({70, "Paths: parts of Windows and POSIX paths", ShowPaths});

void ListFiles(std::ostream& out, SFM_Directory& dir, const char* pattern) {
    out << "  files matching " << pattern << ":";
    for (const char* name = dir.GetNextFile(pattern); name != nullptr; name = dir.GetNextFile())
        out << " " << name;
    out << "\n";
}

// Answers the manager's "target exists" question with "overwrite".
int AllowOverwrite(int code, SFM_EventData* data) {
    if (code == SFM::EC_TARGET_EXISTS) data->SetResult(SFM::EC_YES);
    return 0;
}

void ShowTree(std::ostream& out, const std::string& root) {
    SFM_FilePath::DefaultSeparator = 1;  // this platform's own separator
    SFM_Directory dir(root.c_str());
    dir.MakePath(dir + "boards/cpu");
    for (const char* name : {"boards/cpu/main.brd", "boards/cpu/main.sch", "boards/notes"})
        if (FILE* file = std::fopen((dir + name), "w")) std::fclose(file);
    SFM_Directory boards(dir + "boards/cpu");
    ListFiles(out, boards, "*.*");
    ListFiles(out, boards, "*.brd");
    out << "  copy main.brd to backup.brd: "
        << boards.CopyFileA(boards + "main.brd", boards + "backup.brd", 0) << "\n";
    out << "  again, without overwrite and no answer: "
        << boards.CopyFileA(boards + "main.brd", boards + "backup.brd", 0) << "\n";
    SCC_EventHook<SFM_EventData> allow(AllowOverwrite);
    AddHook(SFM::GetManager()->GetEvent(), allow);
    out << "  again, with a hook that allows overwriting: "
        << boards.CopyFileA(boards + "main.brd", boards + "backup.brd", 0) << "\n";
    Detach(allow);
    ListFiles(out, boards, "*.brd");
    out << "  subdirectories of the root:";
    for (const char* name = dir.GetNextSubdir("*.*"); name != nullptr; name = dir.GetNextSubdir())
        out << " " << name;
    out << "\n  delete everything below the root: " << dir.DeleteAll()
        << "; files left: " << dir.FileExists("*.*") << ", subdirectories left: "
        << dir.DirExists("*.*") << "\n";
    SFM_FilePath::DefaultSeparator = 0;
}

void ShowDirectories(std::ostream& out) {
    char pattern[] = "/tmp/tessar_demo.XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        out << "  (no temporary directory: " << pattern << ")\n";
        return;
    }
    out << "A tree under a temporary directory:\n";
    ShowTree(out, pattern);
    rmdir(pattern);
}

const TessarDemoRegistrar kTreeStep({71, "Directories: listing, copying with the manager's "
                                         "questions, deleting a tree", ShowDirectories});

}  // namespace
