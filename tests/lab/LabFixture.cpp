#include "tests/lab/LabFixture.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "common/ValueTables.h"
#include "common/wire.h"

namespace testlab {

namespace {

std::atomic<int> g_labCounter{0};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

pid_t SpawnArgv(const std::vector<std::string>& argv, const std::string& outFile) {
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out >= 0) {
            dup2(out, 1);
            dup2(out, 2);
        }
        const int in = open("/dev/null", O_RDONLY);
        if (in >= 0) dup2(in, 0);
        // The child gets a clean signal mask: the simulator blocks SIGTERM for its signalfd.
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    return pid;
}

int WaitStatus(pid_t pid, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int status = 0;
        const pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (r < 0) return -1;
        if (std::chrono::steady_clock::now() >= end) return -2;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::vector<uint8_t> FromHex(const std::string& hex) {
    std::vector<uint8_t> out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        out.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return out;
}

// The trace's lines are flat objects of strings (without escapes) and numbers.
std::map<std::string, std::string> ParseFlatJson(const std::string& line) {
    std::map<std::string, std::string> out;
    size_t i = line.find('{');
    if (i == std::string::npos) return out;
    ++i;
    while (i < line.size()) {
        const size_t k0 = line.find('"', i);
        if (k0 == std::string::npos) break;
        const size_t k1 = line.find('"', k0 + 1);
        const size_t colon = line.find(':', k1);
        if (k1 == std::string::npos || colon == std::string::npos) break;
        const std::string key = line.substr(k0 + 1, k1 - k0 - 1);
        size_t v = colon + 1;
        std::string value;
        if (line[v] == '"') {
            const size_t v1 = line.find('"', v + 1);
            value = line.substr(v + 1, v1 - v - 1);
            i = v1 + 1;
        } else {
            size_t v1 = line.find_first_of(",}", v);
            value = line.substr(v, v1 - v);
            i = v1;
        }
        out[key] = value;
        i = line.find_first_of(",}", i);
        if (i == std::string::npos || line[i] == '}') break;
        ++i;
    }
    return out;
}

}  // namespace

std::string Lab::LabScript() { return MERROWIN_LAB_SCRIPT; }
std::string Lab::SimulatorPath() { return MERROWIN_DEVSIM; }

Lab::Lab(int devices) {
    name_ = "mw" + std::to_string(getpid()) + "_" + std::to_string(g_labCounter++);
    char tmpl[] = "/tmp/merrowin-lab-XXXXXX";
    if (!mkdtemp(tmpl)) {
        error_ = "cannot make a scratch folder";
        return;
    }
    dir_ = tmpl;
    if (geteuid() != 0) {
        error_ = "lab tests need root: they create network namespaces (run the tests as root)";
        return;
    }
    const std::string out = dir_ + "/lab-up.out";
    const int rc =
        Run("", {"/bin/bash", LabScript(), "up", name_, "--devices", std::to_string(devices)}, out);
    if (rc != 0) {
        error_ = "lab up " + name_ + " failed (" + std::to_string(rc) + "): " + ReadFile(out);
        Run("", {"/bin/bash", LabScript(), "down", name_});
        return;
    }
    up_ = true;
}

Lab::~Lab() {
    StopSimulator();
    for (pid_t p : spawned_) Stop(p, 500);
    if (up_) Run("", {"/bin/bash", LabScript(), "down", name_});
    if (!dir_.empty() && !std::getenv("MERROWIN_KEEP_LAB")) {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
}

pid_t Lab::Spawn(const std::string& side, const std::vector<std::string>& argv,
                 const std::string& outFile) {
    std::vector<std::string> full;
    if (!side.empty()) full = {"/bin/bash", LabScript(), side, name_};
    full.insert(full.end(), argv.begin(), argv.end());
    const pid_t pid = SpawnArgv(full, outFile);
    if (pid > 0 && !side.empty()) spawned_.push_back(pid);
    return pid;
}

int Lab::Run(const std::string& side, const std::vector<std::string>& argv,
             const std::string& outFile) {
    std::vector<std::string> full;
    if (!side.empty()) full = {"/bin/bash", LabScript(), side, name_};
    full.insert(full.end(), argv.begin(), argv.end());
    const pid_t pid = SpawnArgv(full, outFile);
    if (pid < 0) return -1;
    const int rc = WaitStatus(pid, 60000);
    if (rc == -2) return Stop(pid, 100);
    return rc;
}

int Lab::Stop(pid_t pid, int graceMs) {
    if (pid <= 0) return -1;
    kill(pid, SIGTERM);
    int rc = WaitStatus(pid, graceMs);
    if (rc == -2) {
        kill(pid, SIGKILL);
        rc = WaitStatus(pid, 5000);
    }
    return rc;
}

bool Lab::StartSimulator(const std::vector<std::string>& args, int timeoutMs) {
    if (!up_) {
        error_ = "lab is not up: " + error_;
        return false;
    }
    std::vector<std::string> argv = {SimulatorPath(), "--trace", tracePath()};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::string> full = {"/bin/bash", LabScript(), "dev", name_};
    full.insert(full.end(), argv.begin(), argv.end());
    simPid_ = SpawnArgv(full, dir_ + "/devsim.out");
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (simulatorOutput().find("ready") != std::string::npos) return true;
        int status;
        if (waitpid(simPid_, &status, WNOHANG) == simPid_) {
            error_ = "simulator exited early: " + simulatorOutput();
            simPid_ = -1;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    error_ = "simulator not ready in time: " + simulatorOutput();
    return false;
}

int Lab::StopSimulator() {
    if (simPid_ <= 0) return -1;
    const int rc = Stop(simPid_, 2000);
    simPid_ = -1;
    return rc;
}

std::string Lab::simulatorOutput() const { return ReadFile(dir_ + "/devsim.out"); }

std::vector<TraceRecord> Lab::ReadTrace() const {
    std::vector<TraceRecord> out;
    std::istringstream in(ReadFile(tracePath()));
    std::string line;
    while (std::getline(in, line)) {
        auto f = ParseFlatJson(line);
        if (f.empty()) continue;
        TraceRecord r;
        r.time = std::atof(f["time"].c_str());
        r.dir = f["dir"];
        r.from = f["from"];
        r.to = f["to"];
        r.len = std::strtoul(f["len"].c_str(), nullptr, 10);
        r.type = std::atoi(f["type"].c_str());
        r.apType = std::strtoul(f["ap_type"].c_str(), nullptr, 10);
        r.mcastFlag = std::strtoul(f["mcast_flag"].c_str(), nullptr, 10);
        r.mac = f["mac"];
        r.dataLen = std::strtoul(f["data_len"].c_str(), nullptr, 10);
        r.payload = FromHex(f.count("payload") ? f["payload"] : f["raw"]);
        out.push_back(std::move(r));
    }
    return out;
}

NetnsScope::NetnsScope(const std::string& ns) {
    home_ = open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    const int target = open(("/run/netns/" + ns).c_str(), O_RDONLY | O_CLOEXEC);
    ok_ = home_ >= 0 && target >= 0 && setns(target, CLONE_NEWNET) == 0;
    if (!ok_) error_ = "entering " + ns + ": " + std::strerror(errno);
    if (target >= 0) close(target);
}

NetnsScope::~NetnsScope() {
    if (home_ >= 0) {
        if (ok_) setns(home_, CLONE_NEWNET);
        close(home_);
    }
}

UdpPeer::UdpPeer() = default;

void UdpPeer::Ensure() {
    if (fd_ >= 0) return;
    fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    const int buf = 8 << 20;
    setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &buf, sizeof buf);
    setsockopt(fd_, IPPROTO_IP, IP_PKTINFO, &one, sizeof one);
}

UdpPeer::~UdpPeer() {
    if (fd_ >= 0) close(fd_);
}

bool UdpPeer::Bind(const std::string& ip, uint16_t port) {
    Ensure();
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    if (inet_pton(AF_INET, ip.c_str(), &a.sin_addr) != 1) return false;
    return bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
}

void UdpPeer::AllowBroadcast() {
    Ensure();
    const int one = 1;
    setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &one, sizeof one);
}

void UdpPeer::MulticastFrom(const std::string& localIp) {
    Ensure();
    in_addr a{};
    inet_pton(AF_INET, localIp.c_str(), &a);
    setsockopt(fd_, IPPROTO_IP, IP_MULTICAST_IF, &a, sizeof a);
}

bool UdpPeer::SendTo(const std::string& ip, uint16_t port, const std::vector<uint8_t>& bytes) {
    Ensure();
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    if (inet_pton(AF_INET, ip.c_str(), &a.sin_addr) != 1) return false;
    return sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&a), sizeof a) ==
           static_cast<ssize_t>(bytes.size());
}

std::optional<UdpPeer::Datagram> UdpPeer::Receive(int timeoutMs) {
    Ensure();
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) <= 0) return std::nullopt;
    uint8_t buf[4096];
    sockaddr_in from{};
    iovec iov{buf, sizeof buf};
    alignas(cmsghdr) char control[128];
    msghdr msg{};
    msg.msg_name = &from;
    msg.msg_namelen = sizeof from;
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    const ssize_t n = recvmsg(fd_, &msg, 0);
    if (n < 0) return std::nullopt;
    Datagram d;
    char ip[INET_ADDRSTRLEN];
    inet_ntop(AF_INET, &from.sin_addr, ip, sizeof ip);
    d.fromIp = ip;
    d.fromPort = ntohs(from.sin_port);
    for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
        if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
            in_pktinfo info;
            std::memcpy(&info, CMSG_DATA(c), sizeof info);
            inet_ntop(AF_INET, &info.ipi_addr, ip, sizeof ip);
            d.toIp = ip;
        }
    }
    d.bytes.assign(buf, buf + n);
    return d;
}

std::vector<UdpPeer::Datagram> UdpPeer::ReceiveAll(int windowMs, size_t max) {
    std::vector<Datagram> out;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(windowMs);
    while (out.size() < max) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              end - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) break;
        auto d = Receive(static_cast<int>(left));
        if (!d) break;
        out.push_back(std::move(*d));
    }
    return out;
}

std::vector<uint8_t> PcDatagram(uint16_t msgType, const std::string& mac, bool mcast,
                                const std::vector<uint8_t>& payload) {
    const MacBytes m = MacTextToBytes(mac);
    const datagram_header h = MakeHeader(msgType, std::span<const uint8_t, 6>(m),
                                         static_cast<uint16_t>(payload.size()), mcast);
    std::vector<uint8_t> out(kHeaderSize + payload.size());
    const size_t n = BuildDatagram(out, h, payload);
    out.resize(n);
    return out;
}

}  // namespace testlab
