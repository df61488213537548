// Demo step: a file closed behind its user's back by the file manager, and resumed.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>

#include "SFM.h"
#include "SFM_File.h"
#include "tessar_cli.h"

namespace {

std::ostream* s_out = nullptr;

const char* CodeName(int code) {
    switch (code) {
    case SFM::EC_OPENING: return "opening";
    case SFM::EC_OPENED: return "opened";
    case SFM::EC_CLOSED: return "closed";
    case SFM::EC_OPEN_FAILED: return "open failed";
    default: return "other";
    }
}

int OnFileEvent(int code, SFM_EventData* data) {
    const char* name = data->GetFileName1();
    const char* slash = std::strrchr(name, '/');
    *s_out << "    event " << code << " (" << CodeName(code) << ") for " << (slash ? slash + 1 : name);
    if (code >= SFM::EC_TARGET_EXISTS) {
        const std::string text(static_cast<const char*>(data->GetText()));
        *s_out << ": " << text.substr(0, text.find('\r'));  // the text without the names
    }
    *s_out << "\n";
    return 0;
}

void ShowFiles(std::ostream& out) {
    s_out = &out;
    char directory[] = "/tmp/tessar_demo.XXXXXX";
    if (mkdtemp(directory) == nullptr) return;
    const std::string path = std::string(directory) + "/board.txt";
    SCC_EventHook<SFM_EventData> hook(OnFileEvent);
    AddHook(SFM::GetManager()->GetEvent(), hook);
    {
        out << "  A log file is opened with mode w and gets one line:\n";
        SFM_File log(path.c_str(), "w");
        log.WriteLine("placed U1");
        out << "  The manager closes it temporarily to free a stream slot (no event);\n"
               "  the next write re-opens it with mode a, so the first line stays:\n";
        log.TempClose();
        log.WriteLine("routed NET_VCC");
        log.Close();
        SFM_File reader(path.c_str(), "r");
        out << "  The file now reads: ";
        for (SYS_String line; !(line = reader.GetLine(0)).IsEmpty();)
            out << "\"" << std::string(static_cast<const char*>(line), line.GetLength() - 1) << "\" ";
        out << "(" << reader.GetLength() << " bytes)\n";
        out << "  Opening a missing file reports the system's text:\n";
        SFM_File missing((std::string(directory) + "/missing.brd").c_str(), "r");
    }
    Detach(hook);
    std::remove(path.c_str());
    rmdir(directory);
}

const TessarDemoRegistrar kStep({80, "Files: temporary closing and the file manager's events", ShowFiles});

}  // namespace
