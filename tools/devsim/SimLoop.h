#pragma once
// The simulator's sockets and its single-threaded epoll loop. Two receive sockets (discovery
// broadcasts on 9786, multicast requests on 9787) serve every device; each answer leaves
// from its device's own address through IP_PKTINFO, so a thousand devices need no thousand
// sockets. TFTP fetches get a socket each while they run.

#include <netinet/in.h>

#include <map>
#include <memory>
#include <string>

#include "tools/devsim/AddressBook.h"
#include "tools/devsim/DeviceFarm.h"
#include "tools/devsim/SimConfig.h"
#include "tools/devsim/SimTrace.h"
#include "tools/devsim/TftpFetch.h"

namespace devsim {

// False only inside a named network namespace (one made by `ip netns add`, as the lab
// does); true anywhere else, where broadcasts might reach the machine's real networks.
bool InMachineNamespace();

class SimLoop final : public SimOutput {
  public:
    explicit SimLoop(const SimConfig& config);
    ~SimLoop() override;

    // Opens the sockets and puts the device addresses on the interface.
    bool Open(std::string& error);
    // Runs until SIGINT/SIGTERM or the configured duration. Returns the exit status.
    int Run();

    void Send(in_addr_t src, in_addr_t dst, uint16_t port,
              std::span<const uint8_t> datagram) override;
    bool AddAddress(in_addr_t ip, int prefix) override;
    bool RemoveAddress(in_addr_t ip, int prefix) override;
    void StartFetch(int index, in_addr_t local, in_addr_t server, uint16_t port,
                    const std::string& file) override;

    const std::string& ifaceName() const { return ifname_; }
    uint64_t sent() const { return sent_; }
    uint64_t sendErrors() const { return sendErrors_; }

  private:
    void ReadSocket(int fd, bool discovery, int64_t now);
    void ReadFetch(int index, int64_t now);
    void CheckFetches(int64_t now);
    void FetchEnded(int index, int64_t now);
    int64_t NextWake() const;

    const SimConfig& config_;
    DeviceFarm farm_;
    SimTrace trace_;
    AddressBook addresses_;
    std::string ifname_;
    int ifindex_ = 0;
    int epoll_ = -1, discSock_ = -1, reqSock_ = -1, timer_ = -1, signals_ = -1;
    std::map<int, std::unique_ptr<TftpFetch>> fetches_;  // by device index
    uint64_t sent_ = 0, sendErrors_ = 0;
};

int64_t MonotonicMs();

}  // namespace devsim
