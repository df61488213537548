#pragma once

// Shared pieces of the tests that touch the disk: a temporary directory per test, whole-file
// helpers, a recorder of the file manager's events that can answer them, and a child-process
// runner for tests that change process-wide limits or identity.

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "SFM.h"
#include "SFM_File.h"

namespace tessar_test {

inline std::string Text(const SYS_String& s) {
    return std::string(static_cast<const char*>(s), static_cast<size_t>(s.GetLength()));
}

// A fresh directory under TMPDIR (or /tmp), removed with its content at the end.
class TempDir {
public:
    TempDir() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr && base[0] ? base : "/tmp") + "/sfm.XXXXXX";
        m_path = mkdtemp(&pattern[0]) != nullptr ? pattern : std::string();
    }
    ~TempDir() { Remove(m_path); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    static void Remove(const std::string& path) {
        if (path.empty()) return;
        chmod(path.c_str(), 0700);
        if (DIR* dir = opendir(path.c_str())) {
            while (dirent* entry = readdir(dir)) {
                std::string name = entry->d_name;
                if (name == "." || name == "..") continue;
                std::string child = path + "/" + name;
                struct stat info;
                if (lstat(child.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
                    Remove(child);
                else
                    unlink(child.c_str());
            }
            closedir(dir);
        }
        rmdir(path.c_str());
    }

    std::string m_path;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

inline std::string ReadBytes(const std::string& path) {
    std::string bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return "<missing>";
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
    std::fclose(file);
    return bytes;
}

inline bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

struct SeenEvent {
    int code;
    std::string name1;
    std::string name2;
    std::string text;  // GetText() as the hooks see it
    int errorCode;
};

// Hooks the manager's event while it lives. `answer` (optional) decides each reply.
class ScopedEventRecorder {
public:
    typedef std::function<SFM::EventCode(int code, const SFM_EventData& data)> Answer;

    explicit ScopedEventRecorder(Answer answer = Answer())
        : m_answer(std::move(answer)), m_hook(this, &ScopedEventRecorder::OnEvent, 0) {
        if (SFM* manager = SFM::GetManager()) AddHook(manager->GetEvent(), m_hook);
    }
    ~ScopedEventRecorder() { Detach(m_hook); }
    ScopedEventRecorder(const ScopedEventRecorder&) = delete;
    ScopedEventRecorder& operator=(const ScopedEventRecorder&) = delete;

    const std::vector<SeenEvent>& Events() const { return m_events; }
    std::vector<int> Codes() const {
        std::vector<int> codes;
        for (const SeenEvent& event : m_events) codes.push_back(event.code);
        return codes;
    }
    int Count(int code) const {
        int count = 0;
        for (const SeenEvent& event : m_events) count += event.code == code;
        return count;
    }
    void Clear() { m_events.clear(); }

private:
    int OnEvent(int code, SFM_EventData* data) {
        m_events.push_back({code, Text(data->GetFileName1()), Text(data->GetFileName2()),
                            Text(data->GetText()), data->GetErrorCode()});
        if (m_answer) {
            SFM::EventCode answer = m_answer(code, *data);
            if (answer != SFM::EC_NONE) data->SetResult(answer);
        }
        return 0;
    }

    Answer m_answer;
    SCC_ObjectEventHook<ScopedEventRecorder, SFM_EventData> m_hook;
    std::vector<SeenEvent> m_events;
};

// How a child of RunInChild ends: at once (its process-wide state may be left broken on purpose,
// so nothing of it runs again), or through exit, destroying static objects only (the test's
// locals stay the parent's), so that coverage counts of what it reached are written.
enum class ChildExit { Immediate, Normal };

// Runs `body` in a child process and returns its exit status (the body's result), or -1 when
// the child did not exit normally. For tests that change process-wide limits or identity.
inline int RunInChild(const std::function<int()>& body, ChildExit how = ChildExit::Immediate) {
    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        const int status = body();
        if (how == ChildExit::Normal) std::exit(status);
        _exit(status);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

}  // namespace tessar_test
