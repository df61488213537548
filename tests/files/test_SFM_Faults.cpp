// Real faults of the system, each provoked for real: the open-file limit, a full device, a file
// removed behind a temporarily closed one, a directory without permission, and hooks that keep
// asking for retries.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "SFM.h"
#include "SFM_File.h"
#include "tessar_files.h"
#include "tessar_reports.h"


using namespace tessar_test;

namespace {

// Lowers the open-file limit so that exactly `spare` more descriptors can be opened.
bool LeaveSpareDescriptors(int spare) {
    int highest = 2;
    if (DIR* fds = opendir("/proc/self/fd")) {
        while (dirent* entry = readdir(fds)) {
            int fd = std::atoi(entry->d_name);
            if (fd != dirfd(fds)) highest = std::max(highest, fd);
        }
        closedir(fds);
    }
    rlimit limit{static_cast<rlim_t>(highest + 1 + spare), static_cast<rlim_t>(highest + 1 + spare)};
    if (setrlimit(RLIMIT_NOFILE, &limit) != 0) return false;
    // Fill the free numbers below the limit, then give back `spare` of them.
    std::vector<int> fillers;
    for (int fd; (fd = open("/dev/null", O_RDONLY)) >= 0;) fillers.push_back(fd);
    for (int i = 0; i < spare && !fillers.empty(); ++i) {
        close(fillers.back());
        fillers.pop_back();
    }
    return errno == EMFILE;
}

// The sanitizers' runtime opens a pipe for each memory probe of its checks, so it reports
// false errors in a process left without a spare descriptor: the tests that use up every
// descriptor run in the presets without sanitizers.
#if defined(__SANITIZE_ADDRESS__)
#define SKIP_UNDER_SANITIZERS() GTEST_SKIP() << "needs every descriptor; the sanitizers need one"
#else
#define SKIP_UNDER_SANITIZERS() (void)0
#endif

std::string Row(int file, int round) {
    return "file " + std::to_string(file) + " round " + std::to_string(round);
}

TEST(SFM_Faults, TemporaryClosingLetsMoreFilesThanTheLimitBeUsedButARetryMustFreeOne) {
    SKIP_UNDER_SANITIZERS();
    TempDir dir;
    const int kFiles = 12;
    const int kRounds = 5;
    EXPECT_EQ(0, RunInChild([&] {
        SFM::GetManager();
        if (!LeaveSpareDescriptors(3)) return 1;
        ScopedEventRecorder events;
        std::vector<std::unique_ptr<SFM_File>> files;
        for (int i = 0; i < kFiles; ++i) {
            files.emplace_back(new SFM_File((dir / std::to_string(i)).c_str(), "w+"));
            if (!files.back()->IsOpen()) return 2;
        }
        // Every round touches every file, so each one is re-opened (freeing another) and has
        // to resume where it was.
        for (int round = 0; round < kRounds; ++round)
            for (int i = 0; i < kFiles; ++i)
                if (!files[i]->WriteLine(Row(i, round).c_str())) return 3;
        for (int i = 0; i < kFiles; ++i) {
            files[i]->Rewind();
            for (int round = 0; round < kRounds; ++round)
                if (Text(files[i]->GetLine(0)) != Row(i, round) + "\n") return 4;
        }
        if (events.Count(SFM::EC_OPEN_FAILED) != 0) return 5;  // the hooks never saw error 24
        // With no descriptor left and every file closed, a retry frees nothing: the open ends.
        files.clear();
        if (!LeaveSpareDescriptors(0)) return 6;
        events.Clear();
        SFM_File file((dir / "0").c_str());
        if (file.Open("r") != 0) return 7;
        return events.Codes() == std::vector<int>{SFM::EC_OPENING} ? 0 : 8;
    }));
}

TEST(SFM_Faults, FailedTransfersRaiseTheirEventWithTheSystemText) {
    ScopedEventRecorder events;
    // The C library opens a directory for reading; each transfer from it fails.
    TempDir dir;
    const std::string isADirectory = "Is a directory\r\n\"" + dir.Path() + "\"";
    SFM_File directory(dir.Path().c_str(), "r");
    ASSERT_TRUE(directory.IsOpen());
    EXPECT_EQ("", Text(directory.GetLine(0)));
    EXPECT_EQ(255, static_cast<unsigned char>(directory.GetChar()));
    EXPECT_EQ(2, events.Count(SFM::EC_READ_FAILED));
    EXPECT_EQ(isADirectory, events.Events().back().text);
    EXPECT_EQ(isADirectory, Text(directory.GetMsg()));

    if (!Exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    const std::string kNoSpace = "No space left on device\r\n\"/dev/full\"";
    events.Clear();
    {
        SFM_File file("/dev/full", "wb");
        const std::string block(1 << 16, 'z');  // more than any stream buffer
        EXPECT_EQ(0, file.Write(block.data(), static_cast<long>(block.size())));
        EXPECT_EQ(1, events.Count(SFM::EC_WRITE_FAILED));
        EXPECT_EQ(kNoSpace, events.Events().back().text);
        EXPECT_EQ(kNoSpace, Text(file.GetMsg()));
        EXPECT_EQ(1, file.Write("ok", 2));  // the error indicator was cleared
    }
    events.Clear();
    {
        SFM_File file("/dev/full", "w");
        EXPECT_EQ(1, file.WriteLine("small"));  // buffered: nothing fails yet
        file.Close();
        EXPECT_EQ(1, events.Count(SFM::EC_CLOSE_FAILED));
        EXPECT_EQ(0, events.Count(SFM::EC_CLOSED));
        EXPECT_EQ(kNoSpace, Text(file.GetMsg()));
        EXPECT_FALSE(file.IsOpen());
    }
}

TEST(SFM_Faults, AFileRemovedWhileTemporarilyClosed) {
    ScopedReportRecorder recorder;
    TempDir dir;
    const std::string reading = dir / "reading";
    WriteBytes(reading, "one\ntwo\n");
    SFM_File reader(reading.c_str(), "r");
    EXPECT_EQ("one\n", Text(reader.GetLine(0)));
    reader.TempClose();
    unlink(reading.c_str());
    EXPECT_EQ("", Text(reader.GetLine(0)));  // the re-open fails: reported, no crash
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(2u, recorder.Take().size());  // the failed re-open and the missing stream
    EXPECT_EQ(0, reader.Seek(0, SFM_File::begin));

    // A file being written is created again (mode a): what is written after the removal
    // is kept.
    const std::string writing = dir / "writing";
    SFM_File writer(writing.c_str(), "w");
    EXPECT_TRUE(writer.WriteLine("lost with the removed file"));
    writer.TempClose();
    unlink(writing.c_str());
    EXPECT_TRUE(writer.WriteLine("kept"));
    EXPECT_EQ("w", Text(writer.GetMode()));  // the stored mode is unchanged
    writer.Close();
    EXPECT_EQ("kept\n", ReadBytes(writing));
    EXPECT_TRUE(recorder.Reports().empty());
}

TEST(SFM_Faults, ADirectoryWithoutPermissionRaisesOpenFailed) {
    TempDir dir;
    const std::string locked = dir / "locked";
    mkdir(locked.c_str(), 0700);
    WriteBytes(locked + "/secret", "s");
    EXPECT_EQ(0, RunInChild([&] {
        // As root permissions are not checked: drop to an unprivileged user, or lock the
        // directory against the user we are.
        if (geteuid() == 0) {
            if (setgid(65534) != 0 || setuid(65534) != 0) return 1;
        } else if (chmod(locked.c_str(), 0) != 0) {
            return 1;
        }
        ScopedEventRecorder events;
        SFM_File file((locked + "/secret").c_str(), "r");
        if (file.IsOpen()) return 2;
        if (events.Codes() != std::vector<int>{SFM::EC_OPENING, SFM::EC_OPEN_FAILED}) return 3;
        const tessar_test::SeenEvent& failed = events.Events().back();
        if (failed.errorCode != EACCES) return 4;
        return failed.text == "Permission denied\r\n\"" + locked + "/secret\"" ? 0 : 5;
    }));
}

TEST(SFM_Faults, AHookThatAlwaysRetriesIsAskedABoundedNumberOfTimes) {
    TempDir dir;
    ScopedEventRecorder events([](int code, const SFM_EventData&) {
        return code == SFM::EC_OPEN_FAILED ? SFM::EC_RETRY : SFM::EC_NONE;
    });
    SFM_File never((dir / "never").c_str(), "r");
    EXPECT_FALSE(never.IsOpen());
    EXPECT_EQ(SFM::kMaxOpenAttempts, events.Count(SFM::EC_OPEN_FAILED));
}

}  // namespace
