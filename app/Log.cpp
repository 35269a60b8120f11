#include "app/Log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "platform/ProgramFolder.h"

namespace {

// The process-wide log lives until the process ends: static objects destroyed at exit (the
// engine, the store) still log from their destructors.
CLogFile& ProcessLog() {
    static CLogFile* log = new CLogFile;
    return *log;
}

std::tm LocalNow(int* milliseconds) {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm tm{};
    localtime_r(&ts.tv_sec, &tm);
    if (milliseconds) *milliseconds = static_cast<int>(ts.tv_nsec / 1000000);
    return tm;
}

}  // namespace

std::string LogFileName(const std::tm& start) {
    char name[64];
    std::snprintf(name, sizeof name, "%04d%02d%02d%02d%02d%02d.log", start.tm_year + 1900,
                  start.tm_mon + 1, start.tm_mday, start.tm_hour, start.tm_min, start.tm_sec);
    return name;
}

std::string LogLinePrefix(const std::tm& t, int milliseconds, int level, unsigned thread_id,
                          const char* function, int line) {
    char stamp[96];
    std::snprintf(stamp, sizeof stamp, "[%04d-%02d-%02d %02d:%02d:%02d:%04d]%s[ThreadID: %u]",
                  t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec,
                  milliseconds, level == kLogError ? "[ERROR]" : "[INFO]", thread_id);
    std::string prefix = stamp;
    prefix += '[';
    prefix += function ? function : "";
    prefix += ':';
    prefix += std::to_string(line);
    prefix += ']';
    return prefix;
}

CLogFile::~CLogFile() {
    const int fd = fd_.exchange(-1);
    if (fd >= 0) close(fd);
}

bool CLogFile::IsOpen() const { return fd_ >= 0; }

bool CLogFile::Open(const std::string& program_folder, const std::tm& start) {
    if (fd_ >= 0) return false;
    const std::string folder = program_folder + "Logs/";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);  // a non-folder in the way fails below
    const std::string path = folder + LogFileName(start);
    // Create-new: a file left by a run in the same second is never touched. Others may read.
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    path_ = path;
    fd_ = fd;
    return true;
}

bool CLogFile::WriteV(int level, const char* function, int line, const char* format, va_list args) {
    int ms = 0;
    const std::tm now = LocalNow(&ms);
    std::string text =
        LogLinePrefix(now, ms, level, static_cast<unsigned>(gettid()), function, line);
    if (format) {
        va_list sized;
        va_copy(sized, args);
        const int n = std::vsnprintf(nullptr, 0, format, sized);
        va_end(sized);
        if (n > 0) {
            const size_t head = text.size();
            text.resize(head + static_cast<size_t>(n) + 1);
            std::vsnprintf(text.data() + head, static_cast<size_t>(n) + 1, format, args);
            text.resize(head + static_cast<size_t>(n));
        }
    }
    text += "\r\n";
    const int fd = fd_.load();
    if (fd < 0) return false;

    std::lock_guard<std::mutex> hold(append_lock_);
    // One write per line (O_APPEND puts it at the end); only an interrupted or short write is
    // continued, a failure is ignored and the next line is attempted normally.
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            break;
        }
    }
    if (sync_) fdatasync(fd);
    return true;
}

bool CLogFile::Write(int level, const char* function, int line, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const bool ok = WriteV(level, function, line, format, args);
    va_end(args);
    return ok;
}

bool OpenLogFile(const std::string& program_folder) {
    const std::tm start = LocalNow(nullptr);
    return ProcessLog().Open(program_folder, start);
}

void SetLogSyncToDisk(bool on) { ProcessLog().SetSyncToDisk(on); }

bool OpenLogFile() { return OpenLogFile(platform::GetProgramFolder()); }

bool WriteLog(int level, const char* function, int line, const char* format, ...) {
    CLogFile& log = ProcessLog();
    if (!log.IsOpen()) return false;
    va_list args;
    va_start(args, format);
    const bool ok = log.WriteV(level, function, line, format, args);
    va_end(args);
    return ok;
}
