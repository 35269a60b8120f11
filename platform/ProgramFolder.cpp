#include "platform/ProgramFolder.h"

#include <unistd.h>

#include <climits>
#include <string_view>

namespace platform {

std::string FolderOfPath(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    return path.substr(0, slash + 1);
}

std::string GetProgramFolder() {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    std::string path(buf, static_cast<size_t>(n));
    // A replaced or removed executable still reports its old path with this suffix.
    constexpr std::string_view kDeleted = " (deleted)";
    if (path.size() > kDeleted.size() && path.ends_with(kDeleted))
        path.resize(path.size() - kDeleted.size());
    return FolderOfPath(path);
}

}  // namespace platform
