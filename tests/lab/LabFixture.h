#pragma once
// Test helpers around scripts/lab: a private two-namespace network per test, the simulator
// started inside it with a trace file, and sockets opened inside the PC namespace.
//
//   testlab::Lab lab(5);                       // lab up <unique name> --devices 5
//   ASSERT_TRUE(lab.ok()) << lab.error();      // no namespaces: the test fails, loudly
//   ASSERT_TRUE(lab.StartSimulator({"--count", "5"})) << lab.error();
//   testlab::NetnsScope pc(lab.pcNs());        // this thread now lives in the PC namespace
//   testlab::UdpPeer peer; peer.Bind("198.51.100.1", 9785); ...
//   auto lines = lab.ReadTrace();              // what the simulator saw and sent
//
// The destructor stops every process the lab started (by PID) and takes the lab down.

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testlab {

// One line of the simulator's trace file.
struct TraceRecord {
    double time = 0;
    std::string dir;   // "rx" or "tx"
    std::string from;  // "a.b.c.d:port"
    std::string to;
    size_t len = 0;  // datagram length
    int type = -1;   // msg_type; -1 for a datagram shorter than a header
    unsigned apType = 0;
    unsigned mcastFlag = 0;
    std::string mac;
    unsigned dataLen = 0;
    std::vector<uint8_t> payload;  // bytes after the header (or all of a short datagram)
};

class Lab {
  public:
    // Brings up a lab named "mw<pid>_<n>"; `devices` picks the address plan and pre-adds
    // that many device addresses (0: addresses are left to the simulator).
    explicit Lab(int devices = 0);
    ~Lab();
    Lab(const Lab&) = delete;
    Lab& operator=(const Lab&) = delete;

    bool ok() const { return up_; }
    const std::string& error() const { return error_; }
    const std::string& name() const { return name_; }
    std::string pcNs() const { return name_ + "-pc"; }
    std::string devNs() const { return name_ + "-dev"; }
    const std::string& dir() const { return dir_; }  // scratch folder of this lab

    // Starts merrowin-devsim in the device namespace with `args` plus --trace, and waits
    // until it says it is ready (false on timeout or early exit; see error()).
    bool StartSimulator(const std::vector<std::string>& args, int timeoutMs = 10000);
    // SIGTERM, then SIGKILL after a second; returns its exit status (-1 if none ran).
    int StopSimulator();
    pid_t simulatorPid() const { return simPid_; }
    std::string tracePath() const { return dir_ + "/devsim.trace"; }
    std::string simulatorOutput() const;  // its stdout and stderr so far
    std::vector<TraceRecord> ReadTrace() const;

    // Starts argv in "pc" or "dev"'s namespace with output to `outFile`; the lab stops it at
    // the end if the test has not.
    pid_t Spawn(const std::string& side, const std::vector<std::string>& argv,
                const std::string& outFile);
    // Runs argv there and waits; returns the exit status (or -1).
    int Run(const std::string& side, const std::vector<std::string>& argv,
            const std::string& outFile = "/dev/null");
    // SIGTERM, then SIGKILL; returns the exit status.
    static int Stop(pid_t pid, int graceMs = 1000);

    static std::string LabScript();
    static std::string SimulatorPath();

  private:
    std::string name_, dir_, error_;
    bool up_ = false;
    pid_t simPid_ = -1;
    std::vector<pid_t> spawned_;
};

// Moves the calling thread into a named network namespace until destroyed. Sockets made
// meanwhile stay in that namespace for their life; threads started meanwhile start there.
class NetnsScope {
  public:
    explicit NetnsScope(const std::string& ns);
    ~NetnsScope();
    NetnsScope(const NetnsScope&) = delete;
    NetnsScope& operator=(const NetnsScope&) = delete;
    bool ok() const { return ok_; }
    const std::string& error() const { return error_; }

  private:
    int home_ = -1;
    bool ok_ = false;
    std::string error_;
};

// A UDP socket for playing the PC in tests. The socket is made at its first use, in the
// namespace the calling thread is in at that moment, so a peer may be declared anywhere.
class UdpPeer {
  public:
    struct Datagram {
        std::string fromIp;
        uint16_t fromPort = 0;
        std::string toIp;  // destination address of the datagram
        std::vector<uint8_t> bytes;
    };
    UdpPeer();
    ~UdpPeer();
    UdpPeer(const UdpPeer&) = delete;
    UdpPeer& operator=(const UdpPeer&) = delete;

    bool Bind(const std::string& ip, uint16_t port);
    void AllowBroadcast();
    void MulticastFrom(const std::string& localIp);  // IP_MULTICAST_IF
    bool SendTo(const std::string& ip, uint16_t port, const std::vector<uint8_t>& bytes);
    std::optional<Datagram> Receive(int timeoutMs);
    // Everything that arrives within `windowMs` (stops early once `max` have come).
    std::vector<Datagram> ReceiveAll(int windowMs, size_t max = SIZE_MAX);
    int fd() {
        Ensure();
        return fd_;
    }

  private:
    void Ensure();
    int fd_ = -1;
};

// A PC-side datagram: header (magic, msg_type, mcast flag, target MAC, data_len) + payload.
std::vector<uint8_t> PcDatagram(uint16_t msgType, const std::string& mac, bool mcast,
                                const std::vector<uint8_t>& payload = {});

}  // namespace testlab
