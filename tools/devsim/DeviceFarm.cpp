#include "tools/devsim/DeviceFarm.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cstring>

#include "tools/devsim/AddressBook.h"

namespace devsim {

namespace {

uint64_t MacKey(const uint8_t* mac) {
    uint64_t k = 0;
    for (int i = 0; i < 6; ++i) k = (k << 8) | mac[i];
    return k;
}

in_addr_t Addr(const uint8_t (&b)[4]) {
    in_addr_t a;
    std::memcpy(&a, b, 4);
    return a;
}

// Bytes a device that lost track of its text encoding might send: not UTF-8.
constexpr uint8_t kBadName[] = {'d', 'e', 'v', 0xff, 0xfe, 's', 'i', 'm', 0xc3, 0x28, 0xe4, 0xb8};

}  // namespace

uint8_t SurveySecurityCode(uint8_t secureMode, uint8_t pskCipher, uint8_t wpaCipher) {
    // Codes: 0 None, 1 WEP, 2/3 WPA-PSK AES/TKIP, 4/5/6 WPA2-PSK AES/TKIP/both,
    // 7/8/9 WPA/WPA2-PSK AES/TKIP/both, 10 WPA-PSK TKIP&AES. Enterprise networks are shown
    // as their PSK counterparts with the RADIUS cipher (0 AES, 1 TKIP, 2 both).
    auto pick = [](uint8_t cipher, uint8_t aes, uint8_t tkip, uint8_t both) {
        return cipher == 0 ? aes : cipher == 1 ? tkip : both;
    };
    switch (secureMode) {
        case 0:
            return 0;
        case 1:
            return 1;
        case 2:
            return pick(pskCipher, 2, 3, 10);
        case 3:
            return pick(pskCipher, 4, 5, 6);
        case 4:
            return pick(pskCipher, 7, 8, 9);
        case 5:
            return pick(wpaCipher, 2, 3, 10);
        case 6:
            return pick(wpaCipher, 4, 5, 6);
        default:
            return 0;
    }
}

DeviceFarm::DeviceFarm(const SimConfig& config, SimOutput& out)
    : config_(config), out_(out), dice_(config.seed) {
    devices_.reserve(config.devices.size());
    for (const auto& setup : config.devices) {
        Device d;
        d.factory = setup;
        d.rec = setup.record;
        d.apType = setup.apType;
        d.mac = setup.mac;
        d.faults = setup.faults;
        d.uptimeBase = setup.record.up_time;
        byMac_.emplace(MacKey(d.mac.data()), static_cast<int>(devices_.size()));
        devices_.push_back(std::move(d));
    }
}

in_addr_t DeviceFarm::DeviceIp(int index) const { return Addr(devices_[index].rec.ip); }

uint32_t DeviceFarm::UpTime(int index, int64_t nowMs) const {
    const Device& d = devices_[index];
    return d.uptimeBase + static_cast<uint32_t>(std::max<int64_t>(0, nowMs - d.bootMs) / 1000);
}

void DeviceFarm::Start(int64_t nowMs) {
    now_ = startMs_ = nowMs;
    for (size_t i = 0; i < devices_.size(); ++i) {
        Device& d = devices_[i];
        d.bootMs = nowMs;
        if (d.faults.moveAfterS >= 0) {
            const int index = static_cast<int>(i);
            timers_.At(nowMs + d.faults.moveAfterS * 1000LL, [this, index] {
                Device& dev = devices_[index];
                in_addr_t to = dev.faults.moveTo;
                if (to == 0) to = htonl(ntohl(DeviceIp(index)) + 100);
                MoveTo(index, to, Addr(dev.rec.ip_mask));
            });
        }
    }
}

bool DeviceFarm::Roll(double share) {
    if (share <= 0) return false;
    if (share >= 1) return true;
    return std::uniform_real_distribution<double>(0, 1)(dice_) < share;
}

DeviceFarm::Bytes DeviceFarm::Datagram(const Device& d, uint16_t type,
                                       std::span<const uint8_t> payload) {
    Bytes out(kHeaderSize + payload.size());
    datagram_header h = MakeHeader(type, std::span<const uint8_t, 6>(d.mac), 0, false);
    h.ap_type = d.apType;
    h.data_len = static_cast<uint16_t>(payload.size());
    std::memcpy(out.data(), &h, kHeaderSize);
    if (!payload.empty()) std::memcpy(out.data() + kHeaderSize, payload.data(), payload.size());
    Corrupt(d, out);
    return out;
}

void DeviceFarm::Corrupt(const Device& d, Bytes& dg) {
    const FaultSet& f = d.faults;
    auto setLen = [&](size_t payload) {
        dg.resize(kHeaderSize + payload, 0xee);
        WriteLe16(dg.data() + 14, static_cast<uint16_t>(payload));
    };
    if (Roll(f.shortPayload)) setLen((dg.size() - kHeaderSize) / 3);
    if (Roll(f.oversize)) setLen(kMaxPayloadSize);
    if (Roll(f.giant)) setLen(1600 - kHeaderSize);
    if (Roll(f.badMagic)) {
        dg[0] = 0x89;
        dg[1] = 0x18;
    }
}

ap_brief_info DeviceFarm::Brief(int index) const {
    const Device& d = devices_[index];
    const ap_info_stu& r = d.rec;
    ap_brief_info b{};
    std::memcpy(b.version, r.version, sizeof b.version);
    b.version_len = r.version_len;
    b.work_mode = r.work_mode;
    b.mode_btn_status = r.mode_btn_status;
    b.up_time = UpTime(index, now_);
    std::memcpy(b.ap_name, r.ap_name, sizeof b.ap_name);
    b.ap_name_len = r.ap_name_len;
    if (d.faults.badUtf8Name) {
        std::memset(b.ap_name, 0, sizeof b.ap_name);
        std::memcpy(b.ap_name, kBadName, sizeof kBadName);
        b.ap_name_len = sizeof kBadName;
    }
    std::memcpy(b.ssid, r.ssid, sizeof b.ssid);
    b.ssid_len = r.ssid_len;
    b.channel = r.channel;
    b.bridge_transparent = r.bridge_transparent;
    b.tdmaEn = r.tdmaEn;
    return b;
}

DeviceFarm::Bytes DeviceFarm::ConfigReport(int index) const {
    const Device& d = devices_[index];
    ap_info_stu r = d.rec;
    r.up_time = UpTime(index, now_);
    if (d.faults.badUtf8Name) {
        std::memset(r.ap_name, 0, sizeof r.ap_name);
        std::memcpy(r.ap_name, kBadName, sizeof kBadName);
        r.ap_name_len = sizeof kBadName;
    }
    const auto report = ConfigReportBytes(r);
    return Bytes(report.begin(), report.end());
}

void DeviceFarm::Emit(int index, Bytes datagram, in_addr_t dst, uint16_t port,
                      std::function<void()> after) {
    Device& d = devices_[index];
    const in_addr_t src = DeviceIp(index);  // the address it has when it decides to answer
    const int copies = d.faults.twice ? 2 : 1;
    auto send = [this, src, dst, port, copies, dg = std::move(datagram), after = std::move(after)] {
        for (int c = 0; c < copies; ++c) out_.Send(src, dst, port, dg);
        if (after) after();
    };
    if (d.faults.delayMs > 0) {
        timers_.At(now_ + d.faults.delayMs, std::move(send));
    } else {
        send();
    }
}

void DeviceFarm::Answer(int index, uint16_t type, in_addr_t dst, uint8_t result,
                        std::function<void()> after) {
    const uint8_t payload[1] = {result};
    Emit(index, Datagram(devices_[index], type, payload), dst, kConfigPort, std::move(after));
}

void DeviceFarm::OnDiscovery(int64_t nowMs, const sockaddr_in& from, in_addr_t dst,
                             std::span<const uint8_t> datagram) {
    now_ = nowMs;
    const auto h = ParseHeader(datagram);
    if (!h || h->msg_type != VALTO_APDiscoverRequest) return;
    const bool toAll = dst == INADDR_BROADCAST;
    for (size_t i = 0; i < devices_.size(); ++i) {
        const int index = static_cast<int>(i);
        Device& d = devices_[i];
        if (Silent(d)) continue;
        const in_addr_t ip = DeviceIp(index);
        const in_addr_t mask = Addr(d.rec.ip_mask);
        // A device hears the limited broadcast, its own subnet's broadcast and its address.
        if (!toAll && dst != (ip | ~mask) && dst != ip) continue;
        if (Roll(d.faults.drop)) continue;
        const ap_brief_info b = Brief(index);
        Emit(index, Datagram(d, VALTO_APDiscoverRequest, WireBytes(b)), from.sin_addr.s_addr,
             kDiscoverRecvPort);
    }
}

void DeviceFarm::OnRequest(int64_t nowMs, const sockaddr_in& from,
                           std::span<const uint8_t> datagram) {
    now_ = nowMs;
    const auto h = ParseHeader(datagram);
    if (!h) return;
    const auto it = byMac_.find(MacKey(h->mac));
    if (it == byMac_.end()) return;  // not one of ours: a real device stays quiet too
    Device& d = devices_[it->second];
    if (Silent(d) || Roll(d.faults.drop)) return;
    HandleRequest(it->second, h->msg_type, from.sin_addr.s_addr, DatagramPayload(datagram));
}

void DeviceFarm::Acknowledged(int index, in_addr_t pc) {
    Device& d = devices_[index];
    d.acked = true;
    d.pcIp = pc;
    if (!d.beating) {
        d.beating = true;
        const uint64_t gen = d.hbGen;
        timers_.At(now_ + config_.heartbeatMs, [this, index, gen] { Heartbeat(index, gen); });
    }
}

void DeviceFarm::Heartbeat(int index, uint64_t gen) {
    Device& d = devices_[index];
    if (gen != d.hbGen) return;  // rebooted or released since: that run of heartbeats is over
    if (!d.acked ||
        (d.faults.hbStopAfterS >= 0 && now_ - startMs_ >= d.faults.hbStopAfterS * 1000LL)) {
        d.beating = false;
        return;
    }
    const ap_brief_info b = Brief(index);
    Emit(index, Datagram(d, VALTO_APHeartbeat, WireBytes(b)), d.pcIp, kHeartbeatPort);
    timers_.At(now_ + config_.heartbeatMs, [this, index, gen] { Heartbeat(index, gen); });
}

void DeviceFarm::MoveTo(int index, in_addr_t ip, in_addr_t mask) {
    Device& d = devices_[index];
    const in_addr_t old = DeviceIp(index);
    const int oldPrefix = PrefixOfMask(Addr(d.rec.ip_mask));
    std::memcpy(d.rec.ip_mask, &mask, 4);
    if (ip == old) return;
    out_.AddAddress(ip, PrefixOfMask(mask));
    std::memcpy(d.rec.ip, &ip, 4);
    const bool shared = std::any_of(devices_.begin(), devices_.end(),
                                    [&](const Device& o) { return Addr(o.rec.ip) == old; });
    if (!shared) out_.RemoveAddress(old, oldPrefix);
}

void DeviceFarm::Reboot(int index, bool restore, std::string newVersion) {
    Device& d = devices_[index];
    ++d.gen;
    ++d.hbGen;
    d.acked = false;
    d.beating = false;
    d.upgrade = Device::Upgrade::kNone;
    d.silentUntil = now_ + config_.rebootMs;
    const uint64_t gen = d.gen;
    timers_.At(d.silentUntil, [this, index, gen, restore, v = std::move(newVersion)] {
        Device& dev = devices_[index];
        if (gen != dev.gen) return;
        if (restore) {
            const ap_info_stu& f = dev.factory.record;
            MoveTo(index, Addr(f.ip), Addr(f.ip_mask));
            dev.rec = f;
        }
        if (!v.empty()) {
            std::span<uint8_t> field(reinterpret_cast<uint8_t*>(dev.rec.version),
                                     sizeof dev.rec.version);
            std::fill(field.begin(), field.end(), 0);
            const size_t n = std::min(v.size(), field.size());
            std::memcpy(field.data(), v.data(), n);
            dev.rec.version_len = static_cast<uint8_t>(n);
        }
        dev.bootMs = now_;
        dev.uptimeBase = 0;
    });
}

void DeviceFarm::Survey(int index, in_addr_t dst) {
    // Every other simulated device is a network this one sees.
    std::vector<config_otherwl_basic> seen;
    for (size_t j = 0; j < devices_.size(); ++j) {
        if (static_cast<int>(j) == index) continue;
        const ap_info_stu& o = devices_[j].rec;
        config_otherwl_basic e{};
        std::memcpy(e.mac, o.ssid_mac, 6);
        // Signal from -35 to -89 dBm, steady for a pair of devices.
        const int dbm = -35 - static_cast<int>((index * 31u + j * 17u) % 55u);
        e.signal = static_cast<uint8_t>(static_cast<int8_t>(dbm));
        e.channel = o.channel ? o.channel : (o.rf_type ? 149 : 6);
        e.secure_mode = SurveySecurityCode(o.secure_mode, o.wpapsk_auth_type, o.wpa_auth_type);
        std::memcpy(e.ssid, o.ssid, sizeof e.ssid);
        e.ssid_len = o.ssid_len;
        e.exchannel = o.expand_channel;
        e.bandwidth = o.bandwidth;
        seen.push_back(e);
    }
    const Device& d = devices_[index];
    const size_t per = kMaxSurveyEntries;
    const size_t packets = std::max<size_t>(1, (seen.size() + per - 1) / per);
    for (size_t p = 0; p < packets; ++p) {
        const size_t first = p * per;
        const size_t n = std::min(per, seen.size() - std::min(seen.size(), first));
        Bytes payload(3 + n * sizeof(config_otherwl_basic));
        payload[0] = static_cast<uint8_t>(packets);
        payload[1] = static_cast<uint8_t>(p);
        payload[2] = static_cast<uint8_t>(d.faults.icountOver ? 40 : n);
        if (n) std::memcpy(payload.data() + 3, &seen[first], n * sizeof(config_otherwl_basic));
        Emit(index, Datagram(d, VALTO_APSearchApRequest, payload), dst, kConfigPort);
    }
}

void DeviceFarm::HandleRequest(int index, uint16_t type, in_addr_t pc,
                               std::span<const uint8_t> payload) {
    Device& d = devices_[index];
    ap_info_stu& r = d.rec;
    switch (type) {
        case VALTO_APDiscoverRequest:  // the PC acknowledges a discovery answer
            Acknowledged(index, pc);
            break;
        case VALTO_APConfigRequest: {
            Acknowledged(index, pc);
            const Bytes report = ConfigReport(index);
            Emit(index, Datagram(d, type, report), pc, kConfigPort);
            break;
        }
        case VALTO_APIpSetRequest: {
            const auto b = LoadWire<ip_block>(payload);
            in_addr_t ip = Addr(b.ip), mask = Addr(b.ip_mask);
            if (ip == 0) ip = DeviceIp(index);
            if (mask == 0) mask = Addr(r.ip_mask);
            // Answer from the old address, then move: the PC matches the answer by it.
            Answer(index, type, pc, 0, [this, index, b, ip, mask] {
                ap_info_stu& rec = devices_[index].rec;
                rec.ip_mode = b.ip_mode;
                std::memcpy(rec.ip_gateway, b.ip_gateway, 4);
                std::memcpy(rec.ip_dns1, b.ip_dns1, 4);
                std::memcpy(rec.ip_dns2, b.ip_dns2, 4);
                MoveTo(index, ip, mask);
            });
            break;
        }
        case VALTO_APWirelessSetRequest: {
            StoreBlock(r, LoadWire<wireless_block>(payload));
            // The longer form carries only the DFS flag in its switch block.
            if (payload.size() >= sizeof(wireless_switch_block)) {
                r.wl_dfs = LoadWire<wireless_switch_block>(payload).switches.wl_dfs;
            }
            Answer(index, type, pc, 0);
            break;
        }
        case VALTO_APTimeRebootRequest:
            StoreBlock(r, LoadWire<reboot_block>(payload));
            Answer(index, type, pc, 0);
            break;
        case VALTO_APSearchApRequest:
            Survey(index, pc);
            break;
        case VALTO_APBridgeSetRequest: {
            const auto b = LoadWire<config_bridge>(payload);
            auto rb = WireBytes(r);
            const auto bb = WireBytes(b);
            // Link fields and security fields sit in the record in the same order.
            std::memcpy(rb.data() + kBridgeLinkRecordOffset, bb.data(), 41);
            std::memcpy(rb.data() + kBridgeSecurityRecordOffset + 42, bb.data() + 42, 262);
            r.work_mode = 2;
            const ip_block ipb = b.ip_settings;
            Answer(index, type, pc, 0, [this, index, ipb] {
                if (Addr(ipb.ip) == 0) return;  // no address given: keep the current one
                ap_info_stu& rec = devices_[index].rec;
                rec.ip_mode = ipb.ip_mode;
                std::memcpy(rec.ip_gateway, ipb.ip_gateway, 4);
                std::memcpy(rec.ip_dns1, ipb.ip_dns1, 4);
                std::memcpy(rec.ip_dns2, ipb.ip_dns2, 4);
                const in_addr_t mask = Addr(ipb.ip_mask) ? Addr(ipb.ip_mask) : Addr(rec.ip_mask);
                MoveTo(index, Addr(ipb.ip), mask);
            });
            break;
        }
        case VALTO_APNameSetRequest:
            StoreBlock(r, LoadWire<name_block>(payload));
            r.ap_name_len = std::min<uint8_t>(r.ap_name_len, sizeof r.ap_name);
            Answer(index, type, pc, 0);
            break;
        case VALTO_APRebootRequest:
        case VALTO_APRestoreRequest:
            Answer(index, type, pc, 0,
                   [this, index, type] { Reboot(index, type == VALTO_APRestoreRequest); });
            break;
        case VALTO_APVlanSetRequest: {
            const auto v = LoadWire<vlan_block>(payload);
            r.vlan_en = v.vlan_en;
            r.vlan_id = v.vlan_id;
            r.vlan_id_wlan = v.vlan_id_wlan;
            r.vlan_id_lan = v.vlan_id_lan;
            if (payload.size() >= sizeof(vlan_switch_block)) {
                // The port fields of the longer form; its DFS byte is always zero.
                const switch_block s = LoadWire<vlan_switch_block>(payload).switches;
                r.bridge_transparent = s.bridge_transparent;
                r.tdmaEn = s.tdmaEn;
                r.vlan_pvid = s.vlan_pvid;
                r.vlan_id_lan3 = s.vlan_id_lan3;
                r.vlan_id_lan4 = s.vlan_id_lan4;
            }
            Answer(index, type, pc, 0, [this, index] { Reboot(index, false); });
            break;
        }
        case VALTO_APTransparentBridgeRequest:
            r.bridge_transparent = LoadWire<switch_block>(payload).bridge_transparent;
            Answer(index, type, pc, 0);
            break;
        case VALTO_APTdMaenRequest:
            r.tdmaEn = LoadWire<switch_block>(payload).tdmaEn;
            Answer(index, type, pc, 0);
            break;
        case VALTO_APUpgradeRequest: {
            const auto o = LoadWire<upgrade_order>(payload);
            const size_t len = std::min<size_t>(o.file_name_len, sizeof o.file_name);
            d.upgradeFile.assign(o.file_name, strnlen(o.file_name, len));
            d.upgradeSize = o.file_size;
            d.upgradeFrom = pc;
            d.upgrade = Device::Upgrade::kFetching;
            Answer(index, type, pc, 0, [this, index, pc] {
                Device& dev = devices_[index];
                out_.StartFetch(index, DeviceIp(index), pc, config_.tftpPort, dev.upgradeFile);
            });
            break;
        }
        case VALTO_APUpgradeStartRequest: {
            const bool start = d.upgrade == Device::Upgrade::kWaiting;
            if (start) d.upgrade = Device::Upgrade::kFlashing;
            const uint64_t gen = d.gen;
            Answer(index, type, pc, 0);
            if (!start) break;
            timers_.At(now_ + config_.flashMs, [this, index, gen, pc] {
                Device& dev = devices_[index];
                if (gen != dev.gen || dev.upgrade != Device::Upgrade::kFlashing) return;
                // The new firmware's version is the file's name without ".bin".
                std::string v = dev.upgradeFile;
                if (v.size() > 4 && (v.ends_with(".bin") || v.ends_with(".BIN"))) {
                    v.resize(v.size() - 4);
                }
                if (v.empty()) v = "upgraded";
                Answer(index, VALTO_APUpgradeStatus, pc, 2,
                       [this, index, v] { Reboot(index, false, v); });
            });
            break;
        }
        case VALTO_APHeartbeatAck:
            break;  // nothing to do: heartbeats go on while the PC keeps the device
        case VALTO_APReleaseRequest:
            d.acked = false;
            d.beating = false;
            ++d.hbGen;
            break;
        default:
            break;  // types a device never receives (12, 14, unknown): ignored
    }
}

void DeviceFarm::OnFetchDone(int64_t nowMs, int index, bool ok, size_t bytes) {
    now_ = nowMs;
    Device& d = devices_[index];
    if (d.upgrade != Device::Upgrade::kFetching) return;
    // A size of 0 means the PC could not read the file: nothing it serves can match it.
    ok = ok && d.upgradeSize != 0 && bytes == d.upgradeSize;
    d.upgrade = ok ? Device::Upgrade::kWaiting : Device::Upgrade::kNone;
    Answer(index, VALTO_APUpgradeStatus, d.upgradeFrom, ok ? 0 : 1);
}

void DeviceFarm::RunTimers(int64_t nowMs) {
    now_ = nowMs;
    timers_.RunDue(nowMs);
}

}  // namespace devsim
