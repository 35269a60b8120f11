#pragma once
// Puts device addresses on, and takes them off, the simulator's interface through rtnetlink.
// A simulated device answers from its own address, and the kernel only sends from (and
// answers ARP for) addresses that are configured, so every device address lives on the
// interface while the device uses it.

#include <netinet/in.h>

#include <cstdint>
#include <string>

namespace devsim {

class AddressBook {
  public:
    AddressBook() = default;
    ~AddressBook();
    AddressBook(const AddressBook&) = delete;
    AddressBook& operator=(const AddressBook&) = delete;

    // Opens the netlink socket for interface `ifindex`.
    bool Open(int ifindex);
    // Adds ip/prefix (with its subnet broadcast). An address that is already there counts
    // as added. `ip` in network order.
    bool Add(in_addr_t ip, int prefix);
    // Removes ip/prefix; an address that is not there counts as removed.
    bool Remove(in_addr_t ip, int prefix);
    const std::string& error() const { return error_; }

  private:
    bool Request(int type, int flags, in_addr_t ip, int prefix);

    int fd_ = -1;
    int ifindex_ = 0;
    uint32_t seq_ = 0;
    std::string error_;
};

// Number of leading one bits of a network-order mask (a mask with holes counts up to them).
int PrefixOfMask(in_addr_t mask);

}  // namespace devsim
