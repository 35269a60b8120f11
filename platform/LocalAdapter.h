#pragma once
// The PC's network adapters as adapter records.
//
// What counts as an adapter: every interface that is up and is not a loopback. Its name is the
// interface name (so packet-capture device names contain it), its MAC the hardware address, its
// description the interface name and, when known, the driver, and its addresses the IPv4
// addresses of the interface (labelled aliases such as "eth0:1" included) in the kernel's
// order, at most 10. `usable` is 1 while the link is running and 0 without carrier.
//
// Two ways to get them:
//   - ListLocalAdapters(): a plain vector, for C++ callers;
//   - GetLocalAdapterInfo() / ClearLocalAdapterInfo(): the record chain of the adapter library,
//     each record followed by a pointer to the next. Get builds a fresh chain (replacing any
//     earlier one) and returns its first record or null; Clear frees it. Callers serialise
//     the two (the engine holds its adapter-library lock around get, walk and clear).

#include <cstddef>
#include <cstdint>
#include <vector>

struct local_address_info {
    char ip[16];     // dotted text
    char mask[16];   // dotted text
    char other[16];  // not filled here; carried for the layout
};
static_assert(sizeof(local_address_info) == 48);

struct local_adapter_info {
    std::uint8_t usable;  // 1 when the adapter may be used
    std::uint8_t mac[8];  // hardware address in the first 6 bytes
    char description[132];
    char name[260];
    std::int32_t address_count;  // valid entries of `addresses`
    local_address_info addresses[10];
    // Carried, not used by the engine: [0] interface index, [1] interface flags (IFF_*),
    // [2] MTU.
    std::uint32_t further_data[8];
};
static_assert(sizeof(local_adapter_info) == 920);
static_assert(offsetof(local_adapter_info, usable) == 0);
static_assert(offsetof(local_adapter_info, mac) == 1);
static_assert(offsetof(local_adapter_info, description) == 9);
static_assert(offsetof(local_adapter_info, name) == 141);
static_assert(offsetof(local_adapter_info, address_count) == 404);
static_assert(offsetof(local_adapter_info, addresses) == 408);
static_assert(offsetof(local_adapter_info, further_data) == 888);

// One link of the library's chain: the record and, at offset 920, the next link.
struct local_adapter_record {
    local_adapter_info info;
    local_adapter_record* next;
};
static_assert(offsetof(local_adapter_record, next) == 920);

local_adapter_record* GetLocalAdapterInfo();
void ClearLocalAdapterInfo();

namespace platform {

inline constexpr int kMaxAdapterAddresses = 10;

std::vector<local_adapter_info> ListLocalAdapters();

}  // namespace platform
