// The run's log: one file per run, <program folder>/Logs/<yyyymmddhhmmss>.log, one line per
// record. Each line is handed to the kernel with a single write as soon as it is formatted (no
// buffering in the process), so the file is complete up to the last line even when the process
// is killed or crashes. Forcing every line onto the disk as well (fdatasync) is available but
// off: it costs milliseconds per line and would stall every logging thread behind the disk.
//
// How to log from any layer (engine, store, ui, cli, tools):
//
//     #include "app/Log.h"
//     WRITE_LOG_INFO("search start, %d adapters", count);
//     WRITE_LOG_ERROR("socket bind fail");
//     WRITE_LOG(level, "...", ...);          // level 1 = error, anything else = info
//
// The macros pass __PRETTY_FUNCTION__ and __LINE__ as the function text and line number; they
// are printf-style over narrow (UTF-8) text, and the compiler checks the arguments. Convert
// wide texts before passing them. Calling them before OpenLogFile (or in a test program that
// never opens a log) is harmless: the line is discarded and WriteLog returns false.
//
// Line layout, with nothing between the pieces and CR LF at the end:
//     [2024-01-31 15:30:02:0042][ERROR][ThreadID: 4412][<function>:45]init socker error
//
// Thread safety: any thread may call WriteLog at any time; each line is formatted in the
// caller's own buffer and only the append is serialised, so lines never mix.

#include <atomic>
#include <cstdarg>
#include <ctime>
#include <mutex>
#include <string>

inline constexpr int kLogInfo = 0;
inline constexpr int kLogError = 1;

// Opens the process-wide log under the executable's folder. Called once, first thing at
// start-up. False when the Logs folder or the file cannot be created (for example a file of
// that name exists because a previous run started in the same second); the run then has no log.
bool OpenLogFile();
// The same under another program folder (with trailing '/'); for tools and tests.
bool OpenLogFile(const std::string& program_folder);

// Appends one line to the process-wide log. False when there is no log file.
bool WriteLog(int level, const char* function, int line, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

// Also force each line of the process-wide log onto the disk (off by default).
void SetLogSyncToDisk(bool on);

#define WRITE_LOG(level, ...) WriteLog((level), __PRETTY_FUNCTION__, __LINE__, __VA_ARGS__)
#define WRITE_LOG_INFO(...) WRITE_LOG(kLogInfo, __VA_ARGS__)
#define WRITE_LOG_ERROR(...) WRITE_LOG(kLogError, __VA_ARGS__)

// One log file. The process-wide log above is one of these that is never closed; tests make
// their own.
class CLogFile {
  public:
    CLogFile() = default;
    ~CLogFile();
    CLogFile(const CLogFile&) = delete;
    CLogFile& operator=(const CLogFile&) = delete;

    // Creates <program_folder>Logs/ (and any missing parent) and a new file named after
    // `start` (local time). Fails when the file exists already; never truncates one.
    bool Open(const std::string& program_folder, const std::tm& start);
    bool IsOpen() const;
    const std::string& Path() const { return path_; }

    bool Write(int level, const char* function, int line, const char* format, ...)
        __attribute__((format(printf, 5, 6)));
    bool WriteV(int level, const char* function, int line, const char* format, va_list args);

    // Also force each line onto the disk before Write returns; off by default.
    void SetSyncToDisk(bool on) { sync_ = on; }

  private:
    std::mutex append_lock_;   // serialises the append and flush of one line
    std::atomic<int> fd_{-1};  // set once by Open; never changes afterwards
    std::atomic<bool> sync_{false};
    std::string path_;
};

// The file name for a run started at `start`: fourteen digits and ".log".
std::string LogFileName(const std::tm& start);

// The part of a line before the message, for the given local time and milliseconds.
std::string LogLinePrefix(const std::tm& time, int milliseconds, int level, unsigned thread_id,
                          const char* function, int line);
