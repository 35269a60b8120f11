#pragma once
// One JSON line per datagram the simulator receives or sends, so that tests can check what
// the PC sent byte by byte. Lines are written whole and unbuffered: a reader that tails the
// file while the simulator runs never sees half a line.

#include <netinet/in.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace devsim {

class SimTrace {
  public:
    SimTrace() = default;
    ~SimTrace();
    SimTrace(const SimTrace&) = delete;
    SimTrace& operator=(const SimTrace&) = delete;

    // Truncates and opens `path`; false (with errno) when it cannot be opened.
    bool Open(const std::string& path);
    bool enabled() const { return fd_ >= 0; }

    // dir is "rx" or "tx". `from` and `to` are the datagram's source and destination.
    void Record(const char* dir, const sockaddr_in& from, const sockaddr_in& to,
                const uint8_t* data, size_t len);

    // Formats one line without writing it (also used by the tests).
    static std::string Format(double time, const char* dir, const sockaddr_in& from,
                              const sockaddr_in& to, const uint8_t* data, size_t len);

  private:
    int fd_ = -1;
};

std::string AddrText(const sockaddr_in& a);  // "a.b.c.d:port"

}  // namespace devsim
