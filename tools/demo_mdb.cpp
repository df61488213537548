// Demo step: a message file written by hand, its sections and keys, the compact binary form
// saved from it, and the same answers read back from that form.
#include <unistd.h>

#include <cstdio>
#include <string>

#include "SFM_MessageDB.h"
#include "tessar_cli.h"

namespace {

const char kMessages[] =
    "; messages of the board checker\n"
    "[Errors]\n"
    "1:Disk full\n"
    "2:Net %s is open $\n"
    "5:Clearance violated\n"
    "[Warnings]\n"
    "1:Unrouted connection\n";

std::string WriteTemporary(const char* suffix, const std::string& content) {
    char name[] = "/tmp/tessar_demo_mdbXXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) return std::string();
    close(fd);
    std::remove(name);
    const std::string path = std::string(name) + suffix;
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(content.data(), 1, content.size(), file);
        std::fclose(file);
    }
    return path;
}

void ShowSection(std::ostream& out, SFM_MessageDB& db, const char* name) {
    out << "  [" << name << "] base " << db.GetSectionBase(name) << ":";
    for (SFM_MessageDB::SectionIterator it(&db, name, 1); !it.IsEmpty(); ++it)
        out << " " << it.GetPosition() << "='" << static_cast<SYS_String>(it) << "'";
    out << "\n";
}

void ShowMessages(std::ostream& out) {
    const std::string text = WriteTemporary(".txt", kMessages);
    const std::string binary = text.substr(0, text.size() - 4) + ".mdb";
    {
        SFM_MessageDB db(text.c_str(), 0);
        out << "Text form: " << db.GetCount() << " entries\n";
        ShowSection(out, db, "Errors");
        ShowSection(out, db, "warnings");
        out << "  key 4 (Errors 2, its '$' removed): '" << db.getTxt(4) << "'\n";
        out << "  key -2 (the section's own entry): '" << db.getTxt(-2) << "'\n";
        db.Save(binary.c_str());
    }
    SFM_MessageDB db(binary.c_str());
    out << "Binary form: " << db.GetCount() << " entries, no unnamed section (base of \"\": "
        << db.GetSectionBase("") << ")\n";
    ShowSection(out, db, "Errors");
    std::remove(text.c_str());
    std::remove(binary.c_str());
}

const TessarDemoRegistrar kStep({75, "Messages: a hand-written message file and its binary form",
                                 ShowMessages});

}  // namespace
