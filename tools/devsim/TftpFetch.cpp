#include "tools/devsim/TftpFetch.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/ByteOrder.h"

namespace devsim {

namespace {
constexpr uint16_t kRrq = 1, kData = 3, kAck = 4, kError = 5;
constexpr size_t kBlock = 512;
}  // namespace

TftpFetch::~TftpFetch() { Cancel(); }

void TftpFetch::Cancel() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    if (state_ == State::kRunning) state_ = State::kIdle;
}

void TftpFetch::Finish(State s, std::string why) {
    state_ = s;
    error_ = std::move(why);
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

bool TftpFetch::Start(in_addr_t local, in_addr_t server, uint16_t port, const std::string& file,
                      int64_t nowMs) {
    Cancel();
    state_ = State::kRunning;
    error_.clear();
    bytes_ = 0;
    expected_ = 1;
    tidKnown_ = false;
    fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        Finish(State::kFailed, std::string("socket: ") + std::strerror(errno));
        return false;
    }
    sockaddr_in me{};
    me.sin_family = AF_INET;
    me.sin_addr.s_addr = local;
    if (bind(fd_, reinterpret_cast<sockaddr*>(&me), sizeof me) != 0) {
        Finish(State::kFailed, std::string("bind: ") + std::strerror(errno));
        return false;
    }
    server_ = {};
    server_.sin_family = AF_INET;
    server_.sin_addr.s_addr = server;
    server_.sin_port = htons(port);
    last_.assign("\0\1", 2);
    last_[1] = static_cast<char>(kRrq);
    last_ += file;
    last_.push_back('\0');
    last_ += "octet";
    last_.push_back('\0');
    triesLeft_ = kTries;
    SendLast();
    deadline_ = nowMs + kTimeoutMs;
    return true;
}

void TftpFetch::SendLast() {
    sendto(fd_, last_.data(), last_.size(), 0, reinterpret_cast<const sockaddr*>(&server_),
           sizeof server_);
}

void TftpFetch::OnTimer(int64_t nowMs) {
    if (state_ != State::kRunning || nowMs < deadline_) return;
    if (--triesLeft_ <= 0) {
        Finish(State::kFailed, "no answer from the file server");
        return;
    }
    SendLast();
    deadline_ = nowMs + kTimeoutMs;
}

void TftpFetch::OnReadable(int64_t nowMs) {
    while (state_ == State::kRunning) {
        uint8_t buf[4 + kBlock + 64];
        sockaddr_in from{};
        socklen_t fromLen = sizeof from;
        const ssize_t n =
            recvfrom(fd_, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &fromLen);
        if (n < 0) {
            // ECONNREFUSED: the server port is closed (ICMP port unreachable).
            if (errno == ECONNREFUSED) Finish(State::kFailed, "file server port closed");
            return;
        }
        if (from.sin_addr.s_addr != server_.sin_addr.s_addr || n < 4) continue;
        if (tidKnown_ && from.sin_port != server_.sin_port) {
            // A stranger on our port: tell it off, keep the transfer (RFC 1350, error 5).
            const uint8_t err[] = {0, kError, 0, 5, 'u', 'n', 'k', 'n', 'o', 'w', 'n', 0};
            sendto(fd_, err, sizeof err, 0, reinterpret_cast<sockaddr*>(&from), fromLen);
            continue;
        }
        const uint16_t op = ReadBe16(buf);
        if (op == kError) {
            const size_t textLen = strnlen(reinterpret_cast<char*>(buf + 4), n - 4);
            Finish(State::kFailed, "file server error " + std::to_string(ReadBe16(buf + 2)) + ": " +
                                       std::string(reinterpret_cast<char*>(buf + 4), textLen));
            return;
        }
        if (op != kData) continue;
        if (!tidKnown_) {
            server_.sin_port = from.sin_port;
            tidKnown_ = true;
        }
        const uint16_t block = ReadBe16(buf + 2);
        const size_t dataLen = static_cast<size_t>(n) - 4;
        if (block == expected_) {
            bytes_ += dataLen;
            ++expected_;
            last_.assign(4, '\0');
            last_[1] = static_cast<char>(kAck);
            last_[2] = static_cast<char>(block >> 8);
            last_[3] = static_cast<char>(block & 0xff);
            triesLeft_ = kTries;
            SendLast();
            deadline_ = nowMs + kTimeoutMs;
            if (dataLen < kBlock) {
                Finish(State::kDone, {});
                return;
            }
        } else if (static_cast<uint16_t>(block + 1) == expected_) {
            SendLast();  // our ACK was lost: repeat it
        }
    }
}

}  // namespace devsim
