// Demo step: paths split into their parts, edited part by part, and completed against a
// directory.
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

}  // namespace
