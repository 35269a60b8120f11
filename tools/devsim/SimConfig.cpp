#include "tools/devsim/SimConfig.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>

#include "common/DeviceText.h"

namespace devsim {

const char* SimUsage() {
    return "usage: merrowin-devsim [options]\n"
           "Simulates devices of the Merrowin protocol. Run it inside a lab namespace:\n"
           "  scripts/lab dev NAME merrowin-devsim --count 20\n"
           "options:\n"
           "  --count N            devices to simulate (default 1)\n"
           "  --first-ip A.B.C.D   address of device 0; the others follow (default 198.51.100.3,\n"
           "                       or 198.18.0.3 for more than 252 devices)\n"
           "  --mask M             subnet mask (default 255.255.255.0, /22 for the large plan)\n"
           "  --gateway G          gateway and DNS reported (default the .1 of the subnet)\n"
           "  --first-mac MAC      MAC of device 0 (default 02:4d:57:00:00:01)\n"
           "  --iface NAME         interface to use (default the first one up, not loopback)\n"
           "  --heartbeat MS       heartbeat period (default 5000)\n"
           "  --reboot-time MS     silence of a reboot (default 8000)\n"
           "  --flash-time MS      flashing time of an upgrade (default 10000)\n"
           "  --tftp-port P        port of the PC's file server (default 69)\n"
           "  --trace FILE         one JSON line per datagram received or sent\n"
           "  --duration S         stop after S seconds (default: run until a signal)\n"
           "  --seed N             seed of the fault dice (default 1)\n"
           "  --config FILE        ini file: [simulator] options, [all] and [device N] keys\n"
           "  --set KEY=VALUE[@DEVICES]   a device key for all devices or a list (0,3-5)\n"
           "  --fault KIND[=VALUE][@DEVICES]   same as --set, VALUE defaults to 1\n"
           "device keys: name ssid ip mask gateway dns1 dns2 mac type version work_mode\n"
           "  mode_switch channel uptime rf_type network_mode bandwidth country tx_power\n"
           "  secure_mode cipher psk vlan_en vlan_id transparent tdma wl_dfs\n"
           "fault keys: drop=SHARE delay=MS twice hb_stop_after=S move_after=S move_to=IP\n"
           "  bad_magic=SHARE short=SHARE oversize=SHARE giant=SHARE icount_over bad_utf8_name\n";
}

namespace {

std::string Lower(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

bool ParseIp(const std::string& text, in_addr_t& out) {
    in_addr a{};
    if (inet_pton(AF_INET, text.c_str(), &a) != 1) return false;
    out = a.s_addr;
    return true;
}

bool ParseMac(const std::string& text, std::array<uint8_t, 6>& out) {
    unsigned v[6];
    char tail;
    if (std::sscanf(text.c_str(), "%x:%x:%x:%x:%x:%x%c", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5],
                    &tail) != 6) {
        return false;
    }
    for (int i = 0; i < 6; ++i) {
        if (v[i] > 255) return false;
        out[i] = static_cast<uint8_t>(v[i]);
    }
    return true;
}

bool ParseLong(const std::string& text, long lo, long hi, long& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 0);
    if (*end != '\0' || v < lo || v > hi) return false;
    out = v;
    return true;
}

bool ParseShare(const std::string& text, double& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !(v >= 0 && v <= 1)) return false;
    out = v;
    return true;
}

void SetText(char* field, uint8_t& len, size_t width, const std::string& text) {
    std::span<uint8_t> f(reinterpret_cast<uint8_t*>(field), width);
    if (width == kDeviceTextBudget) {
        len = WriteDeviceTextField(text, f);  // never splits a character
    } else {
        std::fill(f.begin(), f.end(), 0);
        const size_t n = std::min(text.size(), width);
        std::copy_n(text.begin(), n, f.begin());
        len = static_cast<uint8_t>(n);
    }
}

in_addr_t AddHost(in_addr_t ip, uint32_t k) { return htonl(ntohl(ip) + k); }

struct Pair {
    std::string key, value, devices;  // devices: "all" or a list
};

// "key=value@devices" -> Pair
bool SplitPair(const std::string& arg, const char* defaultValue, Pair& p, std::string& error) {
    std::string body = arg;
    p.devices = "all";
    const auto at = body.rfind('@');
    if (at != std::string::npos) {
        p.devices = body.substr(at + 1);
        body = body.substr(0, at);
    }
    const auto eq = body.find('=');
    if (eq == std::string::npos) {
        if (!defaultValue) {
            error = "expected KEY=VALUE: '" + arg + "'";
            return false;
        }
        p.key = Lower(Trim(body));
        p.value = defaultValue;
    } else {
        p.key = Lower(Trim(body.substr(0, eq)));
        p.value = Trim(body.substr(eq + 1));
    }
    return true;
}

struct IniSection {
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys;  // lower-case keys, first wins
};

bool ReadIni(const std::string& path, std::vector<IniSection>& out, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot read config file " + path;
        return false;
    }
    std::string line;
    IniSection* cur = nullptr;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            const std::string name = Lower(Trim(line.substr(1, line.size() - 2)));
            auto it = std::find_if(out.begin(), out.end(),
                                   [&](const IniSection& s) { return s.name == name; });
            if (it == out.end()) {
                out.push_back({name, {}});
                cur = &out.back();
            } else {
                cur = &*it;
            }
            continue;
        }
        const auto eq = line.find('=');
        if (!cur || eq == std::string::npos) continue;
        const std::string key = Lower(Trim(line.substr(0, eq)));
        const bool seen = std::any_of(cur->keys.begin(), cur->keys.end(),
                                      [&](const auto& kv) { return kv.first == key; });
        if (!seen) cur->keys.emplace_back(key, Trim(line.substr(eq + 1)));
    }
    return true;
}

}  // namespace

bool ParseDeviceList(const std::string& text, int count, std::vector<int>& out) {
    out.clear();
    if (Lower(Trim(text)) == "all") {
        for (int i = 0; i < count; ++i) out.push_back(i);
        return true;
    }
    size_t pos = 0;
    const std::string t = Trim(text);
    if (t.empty()) return false;
    while (pos <= t.size()) {
        size_t comma = t.find(',', pos);
        if (comma == std::string::npos) comma = t.size();
        const std::string item = Trim(t.substr(pos, comma - pos));
        long a, b;
        const auto dash = item.find('-');
        if (dash == std::string::npos) {
            if (!ParseLong(item, 0, 1 << 20, a)) return false;
            b = a;
        } else if (!ParseLong(Trim(item.substr(0, dash)), 0, 1 << 20, a) ||
                   !ParseLong(Trim(item.substr(dash + 1)), 0, 1 << 20, b) || b < a) {
            return false;
        }
        for (long i = a; i <= b && i < count; ++i) out.push_back(static_cast<int>(i));
        pos = comma + 1;
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return true;
}

DeviceSetup DefaultDevice(int index, in_addr_t firstIp, in_addr_t mask, in_addr_t gateway,
                          const std::array<uint8_t, 6>& firstMac) {
    // Varied, plausible devices: a mix of models, modes, bands and security settings.
    static constexpr uint16_t kTypes[] = {257, 14, 6, 10, 4, 272, 1, 268, 15, 263, 12, 277};
    static constexpr uint8_t kSecure[] = {3, 0, 4, 2, 3, 1};
    static constexpr uint8_t k5gChannels[] = {0, 36, 40, 44, 149, 157, 161};
    static constexpr uint8_t k24Channels[] = {0, 1, 6, 11};
    const unsigned i = static_cast<unsigned>(index);

    DeviceSetup d;
    d.apType = kTypes[i % std::size(kTypes)];
    uint32_t low = (static_cast<uint32_t>(firstMac[3]) << 16) | (firstMac[4] << 8) | firstMac[5];
    low += i;
    d.mac = firstMac;
    d.mac[3] = static_cast<uint8_t>(low >> 16);
    d.mac[4] = static_cast<uint8_t>(low >> 8);
    d.mac[5] = static_cast<uint8_t>(low);

    ap_info_stu& r = d.record;
    r.work_mode = (i % 4 == 1) ? 2 : (i % 7 == 3) ? 5 : 1;
    r.mode_btn_status = r.work_mode == 2 ? 2 : 1;
    r.up_time = 3600u * (i % 48) + 17u * i + 60u;
    r.ip_mode = 1;
    const in_addr_t ip = AddHost(firstIp, i);
    std::memcpy(r.ip, &ip, 4);
    std::memcpy(r.ip_mask, &mask, 4);
    std::memcpy(r.ip_gateway, &gateway, 4);
    std::memcpy(r.ip_dns1, &gateway, 4);
    char text[40];
    std::snprintf(text, sizeof text, "devsim-%03u", i);
    SetText(r.ap_name, r.ap_name_len, sizeof r.ap_name, text);
    std::snprintf(text, sizeof text, "V2.%u.%u build 2024%02u", 3 + i % 3, i % 10, 1 + i % 12);
    SetText(r.version, r.version_len, sizeof r.version, text);
    r.restart_en = 0;
    r.restart_type = 0x7f;
    r.restart_time = 180;  // 03:00
    r.rf_count = 1;
    r.rf_en = 1;
    r.rf_type = (i % 3 == 2) ? 0 : 1;
    r.country_code = (i % 2) ? 31 : 4;
    if (r.rf_type) {
        r.network_mode = 1;
        r.bandwidth = 2;
        r.channel = k5gChannels[i % std::size(k5gChannels)];
    } else {
        r.network_mode = 4;
        r.bandwidth = 0;
        r.channel = k24Channels[i % std::size(k24Channels)];
    }
    r.expand_channel = 0;
    r.tx_power = 20;
    r.tx_power_min = 1;
    r.tx_power_max = 27;
    r.ssid_rf_type = r.rf_type;
    r.ssid_id = 0;
    r.ssid_hide = 0;
    std::memcpy(r.ssid_mac, d.mac.data(), 6);
    r.ssid_mac[0] ^= 0x04;  // the radio has a MAC of its own
    std::snprintf(text, sizeof text, "merrowin-%03u", i);
    SetText(r.ssid, r.ssid_len, sizeof r.ssid, text);
    r.secure_mode = kSecure[i % std::size(kSecure)];
    r.wpapsk_auth_type = static_cast<uint8_t>(i % 3);
    std::snprintf(text, sizeof text, "simkey%04u", i);
    SetText(r.wpapsk_key_value, r.wpapsk_key_value_len, sizeof r.wpapsk_key_value, text);
    r.wpapsk_key_time = 3600;
    r.wep_key_index = 1;
    SetText(r.wep_key_value0, r.wep_key_value0_len, sizeof r.wep_key_value0, "12345");
    r.wpa_radius_port = 1812;
    r.wpa_key_time = 3600;
    r.ssid_count = 1;
    if (r.work_mode == 2) {
        // A station is linked to the device before it.
        r.bridge_work_mode = 2;
        std::array<uint8_t, 6> peer = firstMac;
        const uint32_t pl = low - 1;
        peer[3] = static_cast<uint8_t>(pl >> 16);
        peer[4] = static_cast<uint8_t>(pl >> 8);
        peer[5] = static_cast<uint8_t>(pl);
        peer[0] ^= 0x04;
        std::memcpy(r.bridge_mac, peer.data(), 6);
        r.bridge_channel = r.channel;
        std::snprintf(text, sizeof text, "merrowin-%03u", i - 1);
        SetText(r.bridge_ssid, r.bridge_ssid_len, sizeof r.bridge_ssid, text);
    }
    r.vlan_en = 0;
    r.vlan_id = 1;
    r.vlan_id_wlan = 1;
    r.vlan_id_lan = 1;
    r.bridge_transparent = static_cast<uint8_t>(i % 2);
    r.tdmaEn = static_cast<uint8_t>(i % 3 == 0);
    r.vlan_pvid = 1;
    r.vlan_id_lan3 = 1;
    r.vlan_id_lan4 = 1;
    r.wl_dfs = 0;
    return d;
}

bool ApplyDeviceKey(DeviceSetup& d, const std::string& key, const std::string& value,
                    std::string& error) {
    ap_info_stu& r = d.record;
    FaultSet& f = d.faults;
    long n = 0;
    in_addr_t a = 0;
    auto bad = [&] {
        error = "bad value for " + key + ": '" + value + "'";
        return false;
    };
    auto u8 = [&](uint8_t& field) {
        if (!ParseLong(value, 0, 255, n)) return bad();
        field = static_cast<uint8_t>(n);
        return true;
    };
    auto u16 = [&](LeU16& field) {
        if (!ParseLong(value, 0, 65535, n)) return bad();
        field = static_cast<uint16_t>(n);
        return true;
    };
    auto addr = [&](uint8_t* field) {
        if (!ParseIp(value, a)) return bad();
        std::memcpy(field, &a, 4);
        return true;
    };
    auto share = [&](double& field) { return ParseShare(value, field) ? true : bad(); };
    auto flag = [&](bool& field) {
        if (!ParseLong(value, 0, 1, n)) return bad();
        field = n != 0;
        return true;
    };

    if (key == "name") {
        SetText(r.ap_name, r.ap_name_len, sizeof r.ap_name, value);
    } else if (key == "ssid") {
        SetText(r.ssid, r.ssid_len, sizeof r.ssid, value);
    } else if (key == "version") {
        SetText(r.version, r.version_len, sizeof r.version, value);
    } else if (key == "psk") {
        SetText(r.wpapsk_key_value, r.wpapsk_key_value_len, sizeof r.wpapsk_key_value, value);
    } else if (key == "ip") {
        return addr(r.ip);
    } else if (key == "mask") {
        return addr(r.ip_mask);
    } else if (key == "gateway") {
        return addr(r.ip_gateway);
    } else if (key == "dns1") {
        return addr(r.ip_dns1);
    } else if (key == "dns2") {
        return addr(r.ip_dns2);
    } else if (key == "mac") {
        if (!ParseMac(value, d.mac)) return bad();
        std::memcpy(r.ssid_mac, d.mac.data(), 6);
        r.ssid_mac[0] ^= 0x04;
    } else if (key == "type") {
        if (!ParseLong(value, 0, 65535, n)) return bad();
        d.apType = static_cast<uint16_t>(n);
    } else if (key == "work_mode") {
        return u8(r.work_mode);
    } else if (key == "mode_switch") {
        return u8(r.mode_btn_status);
    } else if (key == "channel") {
        return u8(r.channel);
    } else if (key == "uptime") {
        if (!ParseLong(value, 0, 0x7fffffff, n)) return bad();
        r.up_time = static_cast<uint32_t>(n);
    } else if (key == "rf_type") {
        return u8(r.rf_type);
    } else if (key == "network_mode") {
        return u8(r.network_mode);
    } else if (key == "bandwidth") {
        return u8(r.bandwidth);
    } else if (key == "country") {
        return u8(r.country_code);
    } else if (key == "tx_power") {
        return u8(r.tx_power);
    } else if (key == "secure_mode") {
        return u8(r.secure_mode);
    } else if (key == "cipher") {
        return u8(r.wpapsk_auth_type);
    } else if (key == "vlan_en") {
        return u8(r.vlan_en);
    } else if (key == "vlan_id") {
        return u16(r.vlan_id);
    } else if (key == "transparent") {
        return u8(r.bridge_transparent);
    } else if (key == "tdma") {
        return u8(r.tdmaEn);
    } else if (key == "wl_dfs") {
        return u8(r.wl_dfs);
    } else if (key == "drop") {
        return share(f.drop);
    } else if (key == "delay") {
        if (!ParseLong(value, 0, 600000, n)) return bad();
        f.delayMs = static_cast<int>(n);
    } else if (key == "twice") {
        return flag(f.twice);
    } else if (key == "hb_stop_after") {
        if (!ParseLong(value, 0, 86400, n)) return bad();
        f.hbStopAfterS = static_cast<int>(n);
    } else if (key == "move_after") {
        if (!ParseLong(value, 0, 86400, n)) return bad();
        f.moveAfterS = static_cast<int>(n);
    } else if (key == "move_to") {
        if (!ParseIp(value, f.moveTo)) return bad();
    } else if (key == "bad_magic") {
        return share(f.badMagic);
    } else if (key == "short") {
        return share(f.shortPayload);
    } else if (key == "oversize") {
        return share(f.oversize);
    } else if (key == "giant") {
        return share(f.giant);
    } else if (key == "icount_over") {
        return flag(f.icountOver);
    } else if (key == "bad_utf8_name") {
        return flag(f.badUtf8Name);
    } else {
        error = "unknown device key: " + key;
        return false;
    }
    return true;
}

bool ParseSimArgs(int argc, char** argv, SimConfig& c, std::string& error, bool& help) {
    help = false;
    std::map<std::string, std::string> globals;  // option name -> value, command line
    std::vector<Pair> cliPairs;
    for (int i = 1; i < argc; ++i) {
        std::string opt = argv[i];
        if (opt == "--help" || opt == "-h") {
            help = true;
            error = SimUsage();
            return false;
        }
        std::string value;
        const auto eq = opt.find('=');
        if (opt.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = opt.substr(eq + 1);
            opt = opt.substr(0, eq);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            error = std::string("missing value for ") + opt + "\n" + SimUsage();
            return false;
        }
        if (opt == "--set" || opt == "--fault") {
            Pair p;
            if (!SplitPair(value, opt == "--fault" ? "1" : nullptr, p, error)) return false;
            cliPairs.push_back(p);
        } else if (opt.rfind("--", 0) == 0 && opt.size() > 2) {
            globals[opt.substr(2)] = value;
        } else {
            error = "unknown argument: " + opt + "\n" + SimUsage();
            return false;
        }
    }

    std::vector<IniSection> ini;
    if (globals.count("config")) {
        c.configPath = globals["config"];
        if (!ReadIni(c.configPath, ini, error)) return false;
        for (const auto& s : ini) {
            if (s.name != "simulator") continue;
            for (const auto& [k, v] : s.keys) {
                std::string name = k;
                std::replace(name.begin(), name.end(), '_', '-');
                globals.emplace(name, v);  // the command line wins
            }
        }
    }

    long n;
    for (const auto& [k, v] : globals) {
        if (k == "config") continue;
        bool ok = true;
        if (k == "count") {
            ok = ParseLong(v, 1, 4096, n) && ((c.count = static_cast<int>(n)), true);
        } else if (k == "heartbeat") {
            ok = ParseLong(v, 100, 3600000, n) && ((c.heartbeatMs = static_cast<int>(n)), true);
        } else if (k == "reboot-time") {
            ok = ParseLong(v, 0, 3600000, n) && ((c.rebootMs = static_cast<int>(n)), true);
        } else if (k == "flash-time") {
            ok = ParseLong(v, 0, 3600000, n) && ((c.flashMs = static_cast<int>(n)), true);
        } else if (k == "tftp-port") {
            ok = ParseLong(v, 1, 65535, n) && ((c.tftpPort = static_cast<uint16_t>(n)), true);
        } else if (k == "seed") {
            ok = ParseLong(v, 0, 0x7fffffff, n) && ((c.seed = static_cast<uint32_t>(n)), true);
        } else if (k == "duration") {
            char* end = nullptr;
            c.durationS = std::strtod(v.c_str(), &end);
            ok = !v.empty() && *end == '\0' && c.durationS >= 0;
        } else if (k == "trace") {
            c.tracePath = v;
        } else if (k == "iface") {
            c.iface = v;
        } else if (k != "first-ip" && k != "mask" && k != "gateway" && k != "first-mac") {
            error = "unknown option: --" + k + "\n" + SimUsage();
            return false;
        }
        if (!ok) {
            error = "bad value for --" + k + ": '" + v + "'";
            return false;
        }
    }

    const bool large = c.count > 252;
    in_addr_t firstIp = 0, mask = 0, gateway = 0;
    ParseIp(large ? "198.18.0.3" : "198.51.100.3", firstIp);
    ParseIp(large ? "255.255.252.0" : "255.255.255.0", mask);
    std::array<uint8_t, 6> firstMac = {0x02, 0x4d, 0x57, 0x00, 0x00, 0x01};
    if (globals.count("first-ip") && !ParseIp(globals["first-ip"], firstIp)) {
        error = "bad --first-ip";
        return false;
    }
    if (globals.count("mask") && !ParseIp(globals["mask"], mask)) {
        error = "bad --mask";
        return false;
    }
    gateway = (firstIp & mask) | htonl(1);
    if (globals.count("gateway") && !ParseIp(globals["gateway"], gateway)) {
        error = "bad --gateway";
        return false;
    }
    if (globals.count("first-mac") && !ParseMac(globals["first-mac"], firstMac)) {
        error = "bad --first-mac";
        return false;
    }

    c.devices.clear();
    for (int i = 0; i < c.count; ++i) {
        c.devices.push_back(DefaultDevice(i, firstIp, mask, gateway, firstMac));
    }

    std::vector<Pair> pairs;
    for (const auto& s : ini) {
        if (s.name == "all") {
            for (const auto& [k, v] : s.keys) pairs.push_back({k, v, "all"});
        }
    }
    for (const auto& s : ini) {
        if (s.name.rfind("device", 0) == 0 && s.name.size() > 6) {
            const std::string list = Trim(s.name.substr(6));
            for (const auto& [k, v] : s.keys) pairs.push_back({k, v, list});
        } else if (s.name != "all" && s.name != "simulator") {
            error = "unknown section [" + s.name + "] in " + c.configPath;
            return false;
        }
    }
    pairs.insert(pairs.end(), cliPairs.begin(), cliPairs.end());
    for (const auto& p : pairs) {
        std::vector<int> which;
        if (!ParseDeviceList(p.devices, c.count, which)) {
            error = "bad device list '" + p.devices + "' for " + p.key;
            return false;
        }
        for (int i : which) {
            if (!ApplyDeviceKey(c.devices[i], p.key, p.value, error)) return false;
        }
        if (which.empty()) {
            // Still check the key, so a typo is not silently ignored.
            DeviceSetup probe;
            if (!ApplyDeviceKey(probe, p.key, p.value, error)) return false;
        }
    }
    return true;
}

}  // namespace devsim
