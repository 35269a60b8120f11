#pragma once
// What the simulator is asked to simulate: command-line options and the optional ini file.
//
// Device settings and faults are "key=value" pairs that apply to every device or to a list of
// them ("name=Roof@3", "drop=0.5@0,4-7"). They come from the ini file's [all] and
// [device N] sections first, then from --set / --fault options, later ones winning.

#include <netinet/in.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/wire.h"

namespace devsim {

// Misbehaviour on demand, per device.
struct FaultSet {
    double drop = 0;           // share of requests (any datagram for the device) ignored
    int delayMs = 0;           // every answer goes out this late
    bool twice = false;        // every answer goes out twice
    int hbStopAfterS = -1;     // heartbeats stop this many seconds after the simulator started
    int moveAfterS = -1;       // the device changes its address by itself after this time...
    in_addr_t moveTo = 0;      // ...to this one (0: its address plus 100)
    double badMagic = 0;       // share of sent datagrams with a wrong magic
    double shortPayload = 0;   // share of sent datagrams cut to a third of their payload
    double oversize = 0;       // share padded to the largest legal datagram (1472 bytes)
    double giant = 0;          // share padded beyond it (1600 bytes)
    bool icountOver = false;   // survey datagrams claim more entries than they hold (icount 40)
    bool badUtf8Name = false;  // the name reported holds bytes that are not UTF-8
};

// One simulated device as configured: its factory state.
struct DeviceSetup {
    ap_info_stu record{};  // the configuration it reports (up_time is the start value)
    uint16_t apType = 0;
    std::array<uint8_t, 6> mac{};
    FaultSet faults;
};

struct SimConfig {
    int count = 1;
    std::string iface;  // empty: the first interface that is up and not loopback
    std::string tracePath;
    std::string configPath;
    int heartbeatMs = 5000;
    int rebootMs = 8000;  // silence of a reboot, restore or VLAN restart
    int flashMs = 10000;  // from the start request to the success report
    uint16_t tftpPort = 69;
    double durationS = 0;  // 0: until SIGINT or SIGTERM
    uint32_t seed = 1;
    std::vector<DeviceSetup> devices;  // count entries, built by ParseSimArgs
};

// Parses argv (and the --config file it names). False with a message in `error` on any
// mistake; `error` holds the usage text and `help` is set for --help.
bool ParseSimArgs(int argc, char** argv, SimConfig& config, std::string& error, bool& help);

// The default device `index` of a simulator whose first device has `firstIp` (network order).
DeviceSetup DefaultDevice(int index, in_addr_t firstIp, in_addr_t mask, in_addr_t gateway,
                          const std::array<uint8_t, 6>& firstMac);

// Applies one device key; false with a message for an unknown key or a bad value.
bool ApplyDeviceKey(DeviceSetup& device, const std::string& key, const std::string& value,
                    std::string& error);

// "3", "0,4-7", "all" -> sorted device indices below count; false on a malformed list.
bool ParseDeviceList(const std::string& text, int count, std::vector<int>& out);

const char* SimUsage();

}  // namespace devsim
