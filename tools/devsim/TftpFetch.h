#pragma once
// A TFTP read (RFC 1350, octet mode) driven by an event loop: the simulated device fetches
// the firmware file named in an upgrade order from the PC's file server. The content is
// counted, not kept: a simulated device has nothing to flash.

#include <netinet/in.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace devsim {

class TftpFetch {
  public:
    enum class State { kIdle, kRunning, kDone, kFailed };

    TftpFetch() = default;
    ~TftpFetch();
    TftpFetch(const TftpFetch&) = delete;
    TftpFetch& operator=(const TftpFetch&) = delete;

    // Sends the read request from `local` (an address of this host) to server:port.
    // Addresses in network order, port in host order. False when no socket could be made.
    bool Start(in_addr_t local, in_addr_t server, uint16_t port, const std::string& file,
               int64_t nowMs);
    // Reads whatever arrived on fd(); call when it is readable.
    void OnReadable(int64_t nowMs);
    // Resends the last packet or gives up once its time has passed.
    void OnTimer(int64_t nowMs);
    void Cancel();

    int fd() const { return fd_; }
    State state() const { return state_; }
    int64_t deadline() const { return deadline_; }
    size_t bytes() const { return bytes_; }
    const std::string& error() const { return error_; }

    static constexpr int kTimeoutMs = 1000;
    static constexpr int kTries = 5;

  private:
    void SendLast();
    void Finish(State s, std::string why);

    int fd_ = -1;
    State state_ = State::kIdle;
    sockaddr_in server_{};  // request port until the first DATA names the transfer port
    bool tidKnown_ = false;
    uint16_t expected_ = 1;  // next DATA block
    std::string last_;       // the packet to resend on timeout
    int triesLeft_ = 0;
    int64_t deadline_ = 0;
    size_t bytes_ = 0;
    std::string error_;
};

}  // namespace devsim
