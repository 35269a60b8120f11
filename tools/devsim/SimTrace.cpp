#include "tools/devsim/SimTrace.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

#include "common/ByteOrder.h"

namespace devsim {

namespace {
constexpr char kHex[] = "0123456789abcdef";

void AppendHex(std::string& out, const uint8_t* p, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        out.push_back(kHex[p[i] >> 4]);
        out.push_back(kHex[p[i] & 15]);
    }
}
}  // namespace

std::string AddrText(const sockaddr_in& a) {
    char ip[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &a.sin_addr, ip, sizeof ip);
    return std::string(ip) + ":" + std::to_string(ntohs(a.sin_port));
}

SimTrace::~SimTrace() {
    if (fd_ >= 0) close(fd_);
}

bool SimTrace::Open(const std::string& path) {
    if (fd_ >= 0) close(fd_);
    fd_ = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
    return fd_ >= 0;
}

std::string SimTrace::Format(double time, const char* dir, const sockaddr_in& from,
                             const sockaddr_in& to, const uint8_t* data, size_t len) {
    std::string line;
    line.reserve(160 + 2 * len);
    char head[96];
    std::snprintf(head, sizeof head, "{\"time\":%.6f,\"dir\":\"%s\",", time, dir);
    line += head;
    line += "\"from\":\"" + AddrText(from) + "\",\"to\":\"" + AddrText(to) + "\",";
    line += "\"len\":" + std::to_string(len) + ",";
    if (len >= 16) {
        char hdr[160];
        std::snprintf(hdr, sizeof hdr,
                      "\"magic\":%u,\"ap_type\":%u,\"type\":%u,\"mcast_flag\":%u,"
                      "\"mac\":\"%02x:%02x:%02x:%02x:%02x:%02x\",\"data_len\":%u,",
                      ReadLe16(data), ReadLe16(data + 2), ReadLe16(data + 4), data[6], data[8],
                      data[9], data[10], data[11], data[12], data[13], ReadLe16(data + 14));
        line += hdr;
        line += "\"payload\":\"";
        AppendHex(line, data + 16, len - 16);
    } else {
        // Too short for a header: keep every byte.
        line += "\"type\":-1,\"raw\":\"";
        AppendHex(line, data, len);
    }
    line += "\"}\n";
    return line;
}

void SimTrace::Record(const char* dir, const sockaddr_in& from, const sockaddr_in& to,
                      const uint8_t* data, size_t len) {
    if (fd_ < 0) return;
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    const std::string line =
        Format(static_cast<double>(ts.tv_sec) + ts.tv_nsec / 1e9, dir, from, to, data, len);
    // O_APPEND and one write per line keep lines whole.
    ssize_t n;
    do {
        n = write(fd_, line.data(), line.size());
    } while (n < 0 && errno == EINTR);
}

}  // namespace devsim
