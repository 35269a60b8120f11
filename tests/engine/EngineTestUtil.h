#pragma once
// Fakes for driving the engine without sockets: a sender that records every datagram, an
// adapter library with a chosen set of adapters, a capture library that records frames, and
// builders for received datagrams.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "common/ValueTables.h"
#include "common/wire.h"
#include "engine/AcTransmitManage.h"
#include "store/CSqlManagement.h"

namespace enginetest {

struct Sent {
    SendSocket socket;
    std::string source_ip;
    unsigned source_ifindex;
    std::string dest_ip;
    uint16_t dest_port;
    std::vector<uint8_t> bytes;

    datagram_header header() const { return LoadWire<datagram_header>(bytes); }
    uint16_t type() const { return header().msg_type; }
    std::string mac() const { return MacBytesToText(header().mac); }
    std::vector<uint8_t> payload() const {
        return std::vector<uint8_t>(bytes.begin() + kHeaderSize, bytes.end());
    }
};

class FakeSender : public CDatagramSender {
  public:
    bool Send(const OutgoingDatagram& d) override {
        std::lock_guard<std::mutex> lock(lock_);
        sent_.push_back({d.socket, d.source_ip, d.source_ifindex, d.dest_ip, d.dest_port,
                         std::vector<uint8_t>(d.bytes.begin(), d.bytes.end())});
        return succeed_;
    }
    std::vector<Sent> Take() {
        std::lock_guard<std::mutex> lock(lock_);
        std::vector<Sent> out;
        out.swap(sent_);
        return out;
    }
    void SetSucceed(bool on) { succeed_ = on; }

  private:
    std::mutex lock_;
    std::vector<Sent> sent_;
    bool succeed_ = true;
};

struct FakeAdapter {
    std::string name;
    std::array<uint8_t, 6> mac;
    std::vector<std::pair<std::string, std::string>> addresses;  // ip, mask
    unsigned ifindex = 2;
    uint8_t usable = 1;
};

class FakeAdapters : public CAdapterLibrary {
  public:
    std::vector<FakeAdapter> adapters;

    local_adapter_record* GetLocalAdapterInfo() override {
        records_.clear();
        records_.resize(adapters.size());
        for (std::size_t i = 0; i < adapters.size(); ++i) {
            local_adapter_info& r = records_[i].info;
            std::memset(&r, 0, sizeof r);
            r.usable = adapters[i].usable;
            std::memcpy(r.mac, adapters[i].mac.data(), 6);
            std::snprintf(r.name, sizeof r.name, "%s", adapters[i].name.c_str());
            r.address_count = static_cast<int32_t>(adapters[i].addresses.size());
            for (std::size_t k = 0; k < adapters[i].addresses.size() && k < 10; ++k) {
                std::snprintf(r.addresses[k].ip, 16, "%s", adapters[i].addresses[k].first.c_str());
                std::snprintf(r.addresses[k].mask, 16, "%s",
                              adapters[i].addresses[k].second.c_str());
            }
            r.further_data[0] = adapters[i].ifindex;
            records_[i].next = i + 1 < adapters.size() ? &records_[i + 1] : nullptr;
        }
        return records_.empty() ? nullptr : &records_[0];
    }
    void ClearLocalAdapterInfo() override { records_.clear(); }

  private:
    std::vector<local_adapter_record> records_;
};

class FakeCapture : public CCaptureLibrary {
  public:
    std::vector<std::string> devices;
    std::vector<std::pair<std::string, std::vector<uint8_t>>> frames;
    bool FindAllDevices(std::vector<std::string>& names) override {
        names = devices;
        return true;
    }
    bool SendFrame(const std::string& device, std::span<const uint8_t> frame) override {
        frames.emplace_back(device, std::vector<uint8_t>(frame.begin(), frame.end()));
        return true;
    }
};

// A datagram as a device sends it, queued as the receive thread would queue it.
inline ap_packet_info DevicePacket(const std::string& from_ip, uint16_t msg_type,
                                   const std::string& mac, std::span<const uint8_t> payload = {},
                                   uint16_t ap_type = 14) {
    ap_packet_info p{};
    SetSender(p, IpTextToBytes(from_ip), 9999);
    datagram_header h = MakeHeader(msg_type, MacTextToBytes(mac), 0, false);
    h.ap_type = ap_type;
    BuildDatagram(p.packet, h, payload);
    return p;
}

inline ap_brief_info Brief(const std::string& version, uint32_t up_time,
                           const std::string& name = "", const std::string& ssid = "") {
    ap_brief_info b{};
    std::memcpy(b.version, version.data(), std::min<std::size_t>(version.size(), 32));
    b.version_len = static_cast<uint8_t>(std::min<std::size_t>(version.size(), 32));
    b.work_mode = 1;
    b.up_time = up_time;
    std::memcpy(b.ap_name, name.data(), std::min<std::size_t>(name.size(), 32));
    b.ap_name_len = static_cast<uint8_t>(name.size());
    std::memcpy(b.ssid, ssid.data(), std::min<std::size_t>(ssid.size(), 32));
    b.ssid_len = static_cast<uint8_t>(ssid.size());
    b.channel = 36;
    return b;
}

// A configuration report payload for a device at `ip`.
inline std::vector<uint8_t> Report(const std::string& ip, const std::string& name = "Roof",
                                   uint32_t up_time = 100) {
    ap_info_stu r{};
    r.up_time = up_time;
    const IpBytes b = IpTextToBytes(ip);
    std::memcpy(r.ip, b.data(), 4);
    std::memcpy(r.ap_name, name.data(), std::min<std::size_t>(name.size(), 32));
    r.ap_name_len = static_cast<uint8_t>(name.size());
    std::memcpy(r.version, "V1.0", 4);
    r.version_len = 4;
    r.bridge_transparent = 1;
    r.tdmaEn = 1;
    const auto bytes = ConfigReportBytes(r);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

// An engine over fakes and an in-memory store; one local address 198.51.100.1/24 on "pc0".
class EngineFixture : public ::testing::Test {
  protected:
    EngineFixture() : store_(CSqlManagement::kInMemoryDatabase) {
        adapters_.adapters.push_back(
            {"pc0", {0x02, 0, 0, 0, 0, 0x01}, {{"198.51.100.1", "255.255.255.0"}}, 7});
    }

    void MakeEngine(EngineTiming timing = {}) {
        EngineDeps deps;
        deps.store = &store_;
        deps.sender = &sender_;
        deps.adapters = &adapters_;
        deps.capture = &capture_;
        deps.timing = timing;
        engine_ = std::make_unique<AcTransmitManage>(deps);
        std::vector<local_adapter_info> list;
        engine_->GetLocalAdapterList(list);
    }

    void SetUp() override { MakeEngine(); }

    // A device that answered discovery and sent its report: reported, stored "Online".
    void Learn(const std::string& ip, const std::string& mac) {
        const ap_brief_info b = Brief("V1.0", 5);
        engine_->ManageDiscoverPacket(DevicePacket(ip, VALTO_APDiscoverRequest, mac, WireBytes(b)));
        const auto report = Report(ip);
        engine_->ManageConfigPacket(DevicePacket(ip, VALTO_APConfigRequest, mac, report));
        sender_.Take();
    }

    const manage_ap_info* Find(const std::string& mac) {
        snapshot_ = engine_->GetManageApSnapshot();
        for (const auto& ap : snapshot_) {
            if (ap.mac == mac) return &ap;
        }
        return nullptr;
    }

    CSqlManagement store_;
    FakeSender sender_;
    FakeAdapters adapters_;
    FakeCapture capture_;
    std::unique_ptr<AcTransmitManage> engine_;
    std::vector<manage_ap_info> snapshot_;
};

}  // namespace enginetest
