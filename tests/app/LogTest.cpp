#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <regex>
#include <thread>
#include <vector>

#include "TempFolder.h"
#include "app/Log.h"

namespace {

std::tm MakeTime(int year, int mon, int day, int hour, int min, int sec) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = mon - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = min;
    t.tm_sec = sec;
    return t;
}

TEST(LogFormat, FileNameIsFourteenDigits) {
    EXPECT_EQ(LogFileName(MakeTime(2024, 1, 31, 15, 30, 2)), "20240131153002.log");
    EXPECT_EQ(LogFileName(MakeTime(2009, 9, 5, 4, 3, 7)), "20090905040307.log");
}

TEST(LogFormat, PrefixLayoutAndLevels) {
    const std::tm t = MakeTime(2024, 1, 31, 15, 30, 2);
    EXPECT_EQ(LogLinePrefix(t, 42, kLogError, 4412, "S", 45),
              "[2024-01-31 15:30:02:0042][ERROR][ThreadID: 4412][S:45]");
    // Every level but 1 is info.
    for (int level : {0, 2, -1, 7})
        EXPECT_EQ(LogLinePrefix(t, 999, level, 1, "f", 1),
                  "[2024-01-31 15:30:02:0999][INFO][ThreadID: 1][f:1]")
            << level;
}

TEST(LogFile, CreatesMissingFoldersAndWritesWholeLines) {
    TempFolder tmp;
    const std::string program = tmp.Path() + "a/b/";  // neither exists yet
    CLogFile log;
    ASSERT_TRUE(log.Open(program, MakeTime(2024, 1, 31, 15, 30, 2)));
    EXPECT_EQ(log.Path(), program + "Logs/20240131153002.log");

    EXPECT_TRUE(
        log.Write(kLogError, "bool CApplicationApp::InitInstance()", 45, "init socker error"));
    const std::string big(5 * 1024, 'x');
    EXPECT_TRUE(log.Write(kLogInfo, "f", 7, "%s|%d", big.c_str(), 12));

    const std::string text = ReadWholeFile(log.Path());
    const std::regex lines(
        R"(\[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d:0\d{3}\]\[ERROR\]\[ThreadID: (\d+)\])"
        R"(\[bool CApplicationApp::InitInstance\(\):45\]init socker error\r\n)"
        R"(\[[^\]]+\]\[INFO\]\[ThreadID: \d+\]\[f:7\]x{5120}\|12\r\n)");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(text, m, lines)) << text.substr(0, 200);
    EXPECT_EQ(m[1].str(), std::to_string(gettid()));
}

TEST(LogFile, SecondRunInTheSameSecondGetsNoLog) {
    TempFolder tmp;
    const std::tm start = MakeTime(2024, 1, 31, 15, 30, 2);
    CLogFile first;
    ASSERT_TRUE(first.Open(tmp.Path(), start));
    ASSERT_TRUE(first.Write(kLogInfo, "f", 1, "first run"));
    const std::string before = ReadWholeFile(first.Path());

    CLogFile second;
    EXPECT_FALSE(second.Open(tmp.Path(), start));
    EXPECT_FALSE(second.IsOpen());
    EXPECT_FALSE(second.Write(kLogInfo, "f", 2, "lost"));
    EXPECT_EQ(ReadWholeFile(first.Path()), before);
}

TEST(LogFile, LogsNameTakenByAFileGivesNoLog) {
    TempFolder tmp;
    tmp.Write("Logs", "not a folder");
    CLogFile log;
    EXPECT_FALSE(log.Open(tmp.Path(), MakeTime(2024, 1, 1, 0, 0, 0)));
    EXPECT_EQ(ReadWholeFile(tmp.Path() + "Logs"), "not a folder");
}

TEST(LogFile, LinesOfManyThreadsNeverMix) {
    TempFolder tmp;
    CLogFile log;
    ASSERT_TRUE(log.Open(tmp.Path(), MakeTime(2024, 1, 1, 0, 0, 0)));
    constexpr int kThreads = 4, kLines = 200;
    const std::string body(3000, 'y');  // longer than a pipe-atomic write
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kLines; ++i) log.Write(kLogInfo, "w", t, "%d:%s", i, body.c_str());
        });
    for (auto& th : threads) th.join();

    const std::string text = ReadWholeFile(log.Path());
    const std::regex one(R"(\[[^\]]+\]\[INFO\]\[ThreadID: \d+\]\[w:\d\]\d+:y{3000})");
    size_t count = 0, pos = 0;
    while (pos < text.size()) {
        const size_t end = text.find("\r\n", pos);
        ASSERT_NE(end, std::string::npos);
        ASSERT_TRUE(std::regex_match(text.substr(pos, end - pos), one)) << "line " << count;
        pos = end + 2;
        ++count;
    }
    EXPECT_EQ(count, size_t{kThreads * kLines});
}

// A line is in the file the moment WriteLog returns: a process killed right after keeps it.
TEST(LogFile, LineSurvivesTheProcessBeingKilled) {
    TempFolder tmp;
    for (const bool sync : {false, true}) {
        CLogFile log;
        ASSERT_TRUE(log.Open(tmp.Path(), MakeTime(2024, 1, 1, 0, 0, sync ? 1 : 0)));
        log.SetSyncToDisk(sync);
        const pid_t pid = fork();
        if (pid == 0) {
            log.Write(kLogError, "f", 1, "last words");
            kill(getpid(), SIGKILL);  // no exit handlers, no destructors
            _exit(0);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        EXPECT_TRUE(ReadWholeFile(log.Path()).ends_with("[f:1]last words\r\n")) << sync;
    }
}

// The process-wide log: nothing is written before it is opened, then the macro supplies the
// caller's signature and line.
TEST(ProcessLog, MacroBeforeAndAfterOpen) {
    EXPECT_FALSE(WRITE_LOG_INFO("before open"));
    TempFolder tmp;
    ASSERT_TRUE(OpenLogFile(tmp.Path()));
    const int line = __LINE__ + 1;
    EXPECT_TRUE(WRITE_LOG_ERROR("value %d", 5));
    EXPECT_FALSE(OpenLogFile(tmp.Path())) << "the log is opened once per process";

    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::directory_iterator(tmp.Path() + "Logs"))
        files.push_back(e.path());
    ASSERT_EQ(files.size(), 1u);
    const std::string text = ReadWholeFile(files[0].string());
    EXPECT_NE(text.find("[ERROR]"), std::string::npos);
    EXPECT_NE(text.find("MacroBeforeAndAfterOpen"), std::string::npos) << text;
    EXPECT_NE(text.find(":" + std::to_string(line) + "]value 5\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("before open"), std::string::npos);
}

}  // namespace
