#include "platform/InstanceGuard.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <utility>

namespace platform {

CInstanceGuard CInstanceGuard::TryAcquire(std::string_view name) {
    CInstanceGuard guard;
    guard.state_ = State::kFailed;
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    // Abstract address: a leading NUL, then the name (not NUL-terminated).
    if (name.empty() || name.size() > sizeof addr.sun_path - 1) return guard;
    std::memcpy(addr.sun_path + 1, name.data(), name.size());
    const auto len = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());

    const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return guard;
    if (bind(fd, reinterpret_cast<const sockaddr*>(&addr), len) != 0) {
        guard.state_ = errno == EADDRINUSE ? State::kAlreadyRunning : State::kFailed;
        close(fd);
        return guard;
    }
    guard.fd_ = fd;
    guard.state_ = State::kHeld;
    return guard;
}

CInstanceGuard::CInstanceGuard(CInstanceGuard&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), state_(std::exchange(other.state_, State::kNotHeld)) {}

CInstanceGuard& CInstanceGuard::operator=(CInstanceGuard&& other) noexcept {
    if (this != &other) {
        Release();
        fd_ = std::exchange(other.fd_, -1);
        state_ = std::exchange(other.state_, State::kNotHeld);
    }
    return *this;
}

CInstanceGuard::~CInstanceGuard() { Release(); }

void CInstanceGuard::Release() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    if (state_ == State::kHeld) state_ = State::kNotHeld;
}

}  // namespace platform
