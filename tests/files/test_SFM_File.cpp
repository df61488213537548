#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "SFM.h"
#include "SFM_File.h"
#include "tessar_files.h"
#include "tessar_reports.h"


using namespace tessar_test;

namespace {

const char kUnit[] = "sfm/sfmfile";

std::vector<std::string> Messages(const std::vector<Report>& reports) {
    std::vector<std::string> messages;
    for (const Report& report : reports) {
        EXPECT_EQ(kUnit, report.unit);
        messages.push_back(report.message);
    }
    return messages;
}

// ---------------------------------------------------------------------------------------------
// Lines and characters: the pieces of GetLine and the line ends of GetChar over any content are
// checked by the file fuzz target.

TEST(SFM_File, WriteLineAndStreamOperatorsRoundTrip) {
    TempDir dir;
    {
        SFM_File file((dir / "w.txt").c_str(), "w");
        EXPECT_TRUE(file.WriteLine("first"));
        file << SYS_String("second");
        EXPECT_TRUE(file.PutChar('!'));
        EXPECT_EQ(5, file.Printf("%d-%s", 12, "ab"));
    }
    EXPECT_EQ("first\nsecond\n!12-ab", ReadBytes(dir / "w.txt"));
    SFM_File file((dir / "w.txt").c_str(), "r");
    SYS_String line;
    file >> line;
    EXPECT_EQ("first\n", Text(line));
}

// ---------------------------------------------------------------------------------------------
// Typed binary values

template <class T>
T Next(SFM_File& file) {
    T value = 0;
    file >> value;
    return value;
}

TEST(SFM_File, TypedValuesHaveTheFileWidthsLeastSignificantByteFirst) {
    TempDir dir;
    const std::string path = dir / "t.bin";
    {
        SFM_File file(path.c_str(), "wb");
        file << char(0x41) << static_cast<unsigned char>(0xfe) << short(-2)
             << static_cast<unsigned short>(0x1234) << int(-3) << 0x89abcdefu
             << long(0x1122334455667788L) << 0xfffffffffffffff0UL << 1.5;
    }
    const unsigned char expected[] = {0x41, 0xfe, 0xfe, 0xff, 0x34, 0x12, 0xfd, 0xff, 0xff, 0xff,
                                      0xef, 0xcd, 0xab, 0x89, 0x88, 0x77, 0x66, 0x55, 0xf0, 0xff,
                                      0xff, 0xff, 0, 0, 0, 0, 0, 0, 0xf8, 0x3f};
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(expected), sizeof expected),
              ReadBytes(path));

    SFM_File file(path.c_str(), "rb");
    EXPECT_EQ(0x41, Next<char>(file));
    EXPECT_EQ(0xfe, Next<unsigned char>(file));
    EXPECT_EQ(-2, Next<short>(file));
    EXPECT_EQ(0x1234, Next<unsigned short>(file));
    EXPECT_EQ(-3, Next<int>(file));
    EXPECT_EQ(0x89abcdefu, Next<unsigned int>(file));
    EXPECT_EQ(0x55667788L, Next<long>(file));            // the low 32 bits, positive
    EXPECT_EQ(0xfffffff0UL, Next<unsigned long>(file));  // zero-extended
    EXPECT_EQ(1.5, Next<double>(file));
    long negative = 0;
    file.Rewind();
    file.Seek(6, SFM_File::begin);
    EXPECT_EQ(-3L, file.Get(negative));  // sign-extended
    file.Seek(28, SFM_File::begin);
    int partial = 0x7a7b7c7d;
    EXPECT_EQ(0x7a7b3ff8, file.Get(partial));  // a short read keeps the bytes not read
    EXPECT_TRUE(file.Eof());
}

// Writes `value` reversed, and returns the bytes written and the value read back reversed.
template <class T>
std::pair<std::string, long> ReversedRoundTrip(const std::string& path, T value) {
    {
        SFM_File out(path.c_str(), "wb");
        EXPECT_TRUE(out.Put(value, 1));
    }
    SFM_File in(path.c_str(), "rb");
    T back = 0;
    return {ReadBytes(path), static_cast<long>(in.Get(back, 1))};
}

TEST(SFM_File, ReversedValuesReverseTheBitsOfTheirWidth) {
    TempDir dir;
    const std::string path = dir / "r.bin";
    using Result = std::pair<std::string, long>;
    EXPECT_EQ(Result(std::string("\x80", 1), 1), ReversedRoundTrip(path, char(1)));
    EXPECT_EQ(Result(std::string("\x00\x80", 2), 1), ReversedRoundTrip(path, short(1)));
    EXPECT_EQ(Result(std::string("\0\0\0\x80", 4), 1), ReversedRoundTrip(path, 1L));
    // Bits, not bytes: 0x12 is 00010010, reversed 01001000 in the top byte.
    EXPECT_EQ(Result(std::string("\0\0\0\x48", 4), 0x12), ReversedRoundTrip(path, int(0x12)));
}

TEST(SFM_File, WrongModeOperationsAreReportedAndStillWork) {
    ScopedReportRecorder recorder;
    TempDir dir;
    WriteBytes(dir / "m", "x\r\ny\n");
    {
        SFM_File binary((dir / "m").c_str(), "rb");
        EXPECT_EQ("x\r\n", Text(binary.GetLine(0)));
        EXPECT_EQ('y', binary.GetChar());
    }
    {
        SFM_File text((dir / "m").c_str(), "r");
        short value = 0;
        EXPECT_EQ(0x0d78, text.Get(value));
        EXPECT_TRUE(text.Put(value) == 0);  // a read-only stream: the write fails, reported
    }
    EXPECT_EQ((std::vector<std::string>{"Vosk: Can't call GetLine on binary file",
                                        "Vosk: Can't call GetChar on binary file",
                                        "Vosk: Can't call Get on text file",
                                        "Vosk: Can't call Put on text file"}),
              Messages(recorder.Reports()));
    for (const Report& report : recorder.Reports()) EXPECT_EQ(SSM_FailureError, report.type);
}

// ---------------------------------------------------------------------------------------------
// Positions and length

TEST(SFM_File, PushAndPopPositionsNestAndInvalidOnesChangeNothing) {
    TempDir dir;
    WriteBytes(dir / "p", "0123456789");
    SFM_File file((dir / "p").c_str(), "rb");
    file.Seek(2, SFM_File::begin);
    EXPECT_TRUE(file.PushPosition(5, SFM_File::begin));
    EXPECT_TRUE(file.PushPosition(-1, SFM_File::end));
    EXPECT_EQ('9', file.GetChar());
    file.PopPosition();
    EXPECT_EQ(5, file.GetPosition());
    file.PopPosition();
    EXPECT_EQ(2, file.GetPosition());
    // A push to an invalid offset changes nothing.
    ScopedReportRecorder recorder;
    file.Seek(4, SFM_File::begin);
    EXPECT_FALSE(file.PushPosition(-100, SFM_File::current));
    EXPECT_EQ(4, file.GetPosition());
    file.PopPosition();  // nothing was pushed: reported, position kept
    EXPECT_EQ(4, file.GetPosition());
    EXPECT_EQ(std::vector<std::string>{"Vosk: "}, Messages(recorder.Take()));
}

TEST(SFM_File, LengthIsMeasuredOnceForgottenByWritesThatReachItAndWide) {
    TempDir dir;
    const std::string path = dir / "len";
    WriteBytes(path, "12345");
    SFM_File file(path.c_str());
    EXPECT_EQ(5, file.GetLength());
    EXPECT_FALSE(file.IsOpen());  // measured without staying open
    ASSERT_TRUE(file.Open("r+"));
    EXPECT_EQ(5, file.GetLength());
    EXPECT_TRUE(file.Write("ab", 2));  // inside: the cached length stays
    WriteBytes(path, "1234567");       // changed behind the file's back
    EXPECT_EQ(5, file.GetLength());
    file.Seek(0, SFM_File::end);
    EXPECT_TRUE(file.Write("c", 1));   // past the cached length: measured again
    EXPECT_EQ(8, file.GetLength());
    SFM_File unnamed;
    EXPECT_EQ(-1, unnamed.GetLength());
    SFM_File missing((dir / "none").c_str());
    EXPECT_EQ(-1, missing.GetLength());

    // Lengths and positions beyond 2 GiB keep their width, also across a temporary close.
    const long size = 3L << 30;
    if (truncate(path.c_str(), size) != 0) GTEST_SKIP() << "no sparse file here";
    SFM_File sparse(path.c_str());
    EXPECT_EQ(size, sparse.GetLength());
    ASSERT_TRUE(sparse.Open("rb"));
    EXPECT_TRUE(sparse.PushPosition(-1, SFM_File::end));
    EXPECT_EQ(size - 1, sparse.GetPosition());
    sparse.TempClose();
    EXPECT_EQ(size - 1, sparse.GetPosition());  // resumed at the full position
    sparse.PopPosition();
    EXPECT_EQ(0, sparse.GetPosition());
}

// ---------------------------------------------------------------------------------------------
// States and transitions

// A temporary close tells nobody and its re-open announces only the opening; a re-open with a
// name closes the file and opens the other one.
TEST(SFM_File, EventsFollowEveryTransition) {
    TempDir dir;
    const std::string path = dir / "ev", other = dir / "other";
    WriteBytes(other, "bee");
    ScopedEventRecorder events;
    SFM_File file(path.c_str(), "w");
    file.TempClose();
    file.Flush();
    EXPECT_TRUE(file.ReOpen(other.c_str(), "r"));
    EXPECT_EQ("bee", Text(file.GetLine(0)));
    EXPECT_EQ("r", Text(file.GetMode()));
    const std::vector<std::pair<int, std::string>> expected = {
        {SFM::EC_OPENING, path}, {SFM::EC_OPENED, path},   {SFM::EC_OPENING, path},
        {SFM::EC_CLOSED, path},  {SFM::EC_OPENING, other}, {SFM::EC_OPENED, other}};
    std::vector<std::pair<int, std::string>> seen;
    for (const auto& event : events.Events()) seen.push_back({event.code, event.name1 + event.name2});
    EXPECT_EQ(expected, seen);
}

TEST(SFM_File, BrokenPreconditionsReturnFailureAndClosedFilesDoNothing) {
    ScopedReportRecorder recorder;
    TempDir dir;
    const std::string path = dir / "pre";
    SFM_File file(path.c_str(), "w");
    EXPECT_EQ(0, file.Open("r"));  // already open: refused, the stream stays
    EXPECT_EQ(0, file.Write(nullptr, 3));
    EXPECT_EQ(0, file.Read(nullptr, 3));
    EXPECT_EQ(0, file.Printf(nullptr));
    file.SetName("other");           // reported, then done
    EXPECT_TRUE(file.WriteLine("kept"));
    file.Close();
    EXPECT_EQ("kept\n", ReadBytes(path));
    EXPECT_EQ(std::vector<std::string>(5, "Vosk: "), Messages(recorder.Take()));
    SFM_File noMode(path.c_str(), "");  // reported, and the open with no mode fails
    EXPECT_FALSE(noMode.IsOpen());
    EXPECT_EQ(std::vector<std::string>{"Vosk: "}, Messages(recorder.Take()));
    EXPECT_TRUE(noMode.Eof());          // no stream: reported, treated as the end
    EXPECT_EQ(std::vector<std::string>{"Vosk: "}, Messages(recorder.Take()));

    SFM_File closed;  // a file that is not open does nothing, without a report
    char buffer[4];
    EXPECT_EQ("", Text(closed.GetLine(0)));
    EXPECT_EQ(255, static_cast<unsigned char>(closed.GetChar()));
    EXPECT_EQ(-1, closed.GetPosition());
    EXPECT_EQ(0, closed.Seek(0, SFM_File::begin));
    EXPECT_EQ(0, closed.Read(buffer, 4));
    EXPECT_EQ(0, closed.Write(buffer, 4));
    EXPECT_EQ(0, closed.PutChar('a'));
    EXPECT_EQ(0, closed.WriteLine("x"));
    EXPECT_EQ(0, closed.Printf("x"));
    EXPECT_EQ(nullptr, closed.MapToMemory());
    closed.Flush();
    closed.Close();
    EXPECT_TRUE(recorder.Reports().empty());
}

// ---------------------------------------------------------------------------------------------
// Mapping

// Views of `path` in this process's address space.
int ViewsOf(const std::string& path) {
    std::string maps = ReadBytes("/proc/self/maps");
    int views = 0;
    for (size_t at = maps.find(path); at != std::string::npos; at = maps.find(path, at + 1)) ++views;
    return views;
}

TEST(SFM_File, MappingIsAPrivateViewOfTheWholeFileThatClosingReleases) {
    TempDir dir;
    const std::string path = dir / "map";
    WriteBytes(path, "mapped bytes");
    SFM_File file(path.c_str(), "r");
    EXPECT_EQ("mapped", Text(file.GetLine(7)));
    char* view = static_cast<char*>(file.MapToMemory());
    ASSERT_NE(nullptr, view);
    EXPECT_EQ(0, std::memcmp(view, "mapped bytes", 12));
    view[0] = 'M';  // a private copy
    EXPECT_EQ("mapped bytes", ReadBytes(path));
    char* again = static_cast<char*>(file.MapToMemory());  // replaces the first view
    ASSERT_NE(nullptr, again);
    EXPECT_EQ('m', again[0]);
    EXPECT_EQ(1, ViewsOf(path));  // the first view was released
    file.UnmapMemory();
    EXPECT_EQ(" bytes", Text(file.GetLine(0)));  // the stream resumed where it was
    ASSERT_NE(nullptr, file.MapToMemory());
    ScopedEventRecorder events;
    file.Close();
    EXPECT_EQ(0, ViewsOf(path));
    EXPECT_EQ((std::vector<int>{SFM::EC_OPENING, SFM::EC_CLOSED}), events.Codes());
    WriteBytes(dir / "empty", "");
    SFM_File empty((dir / "empty").c_str(), "r");
    EXPECT_EQ(nullptr, empty.MapToMemory());
}

// ---------------------------------------------------------------------------------------------
// Copies and assignment

TEST(SFM_File, AssignmentMovesTheStreamSoItIsClosedOnce) {
    TempDir dir;
    const std::string path = dir / "as";
    SFM_File target((dir / "old").c_str(), "w");
    EXPECT_TRUE(target.WriteLine("old"));
    SFM_File source(path.c_str(), "w");
    EXPECT_TRUE(source.WriteLine("one"));
    source.TempClose();
    SFM_File copy(source);  // a copy has the name only
    EXPECT_EQ(source.GetName(), copy.GetName());
    EXPECT_FALSE(copy.IsOpen() || copy.IsLinked());
    ScopedEventRecorder events;
    target = source;
    EXPECT_EQ("old\n", ReadBytes(dir / "old"));  // its own stream was closed, not dropped
    EXPECT_FALSE(source.IsOpen());
    EXPECT_TRUE(target.IsOpen());
    EXPECT_EQ(&source, target.GetPrev());  // linked beside the other file
    EXPECT_TRUE(target.WriteLine("two"));  // resumes the temporarily closed stream
    target.Close();
    EXPECT_EQ("one\ntwo\n", ReadBytes(path));
    EXPECT_EQ(2, events.Count(SFM::EC_CLOSED));  // "old", then the moved stream
}

}  // namespace
