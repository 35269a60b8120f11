#include "common/Validation.h"

#include <algorithm>
#include <regex>

#include "common/DeviceText.h"

namespace {

CheckResult Fail(std::string message, MessageKind box, CheckFocus focus = CheckFocus::None) {
    CheckResult r;
    r.ok = false;
    r.message = std::move(message);
    r.box = box;
    r.focus = focus;
    return r;
}

CheckResult AddressFail(const char* message) { return Fail(message, MessageKind::Plain); }

// The canonical text of an address, so that texts an address control would write the same way
// compare equal ("" reads as "0.0.0.0").
std::string Canonical(std::string_view ip) { return IpBytesToText(IpTextToBytes(ip)); }

bool IsUnset(std::string_view ip) { return ip.empty() || ip == "0.0.0.0"; }

// A number part of an address: digits only, at most 255.
bool ReadOctet(std::string_view part, int& value) {
    if (part.empty()) return false;
    int v = 0;
    for (char c : part) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
        if (v > 255) return false;
    }
    value = v;
    return true;
}

bool HostAddressBytesOk(const IpBytes& b) {
    if (b[0] == 0 || b[0] == 127 || b[0] >= 224) return false;
    return b[3] != 0 && b[3] != 255;
}

bool IsHexDigit(char16_t c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// The shared steps of the address-set validators, in the order the dialogs run them.
CheckResult CheckAddressAndGateway(const IpSetTexts& t) {
    if (!CheckIpAddress(t.ip, false)) return AddressFail("The ip address is invalid!");
    if (!CheckNetmask(t.mask)) return AddressFail("The subnet mask is invalid!");
    if (!CheckIpAddress(t.gateway, true)) return AddressFail("The gateway address is invalid!");
    if (!t.gateway.empty() && Canonical(t.ip) == Canonical(t.gateway))
        return AddressFail("The ip address and gateway address cannot be the same!");
    return {};
}

CheckResult CheckNotSegment(std::string_view ip, std::string_view mask) {
    const IpBytes addr = IpTextToBytes(ip);
    if (GetNetworkSegment(addr, IpTextToBytes(mask)) == IpBytesToText(addr))
        return AddressFail("IP Address can't be the network segment!");
    return {};
}

CheckResult CheckGatewaySubnet(std::string_view ip, const IpSetTexts& t) {
    if (IsUnset(t.gateway)) return {};
    if (!IsGatewayInSubnet(IpTextToBytes(t.gateway), IpTextToBytes(ip), IpTextToBytes(t.mask)))
        return AddressFail("Ip address and gateway address is not in the same subnet!");
    return {};
}

CheckResult CheckCharRule(std::u16string_view text, int ap_type, const char* strict_message,
                          const char* loose_message, CheckFocus focus) {
    if (IsStrictNameType(ap_type)) {
        if (!CheckNameStrict(text)) return Fail(strict_message, MessageKind::Warning, focus);
    } else if (!CheckNameLoose(text)) {
        return Fail(loose_message, MessageKind::Warning, focus);
    }
    return {};
}

CheckResult CheckSsidRule(std::u16string_view ssid, int ap_type) {
    return CheckCharRule(
        ssid, ap_type,
        "SSID maximum allowed 32 bytes, only support combination of Chinese, lowercase letters, "
        "0-9 numbers",
        "SSID maximum allowed 32 bytes, only support combination of Chinese, ASCII characters",
        CheckFocus::Ssid);
}

constexpr const char* kPskKeyMessage =
    "Please enter a key for 8~63 ASCII characters or 8~64 HEX characters!";
constexpr const char* kIntervalEmpty = "The key update interval should not be empty!";
constexpr const char* kIntervalRange = "The key update interval range: 60~99999 or 0!";

bool IntervalInRange(std::u16string_view interval) {
    const auto v = ParseFieldNumber(interval);
    return v && (*v == 0 || (*v >= 60 && *v <= 99999));
}

}  // namespace

std::string MessageText(const CheckResult& result, const Translator& tr) {
    const std::string message = Translate(tr, result.message);
    // The %d are filled in by hand: a translated format is data and must not reach printf.
    std::string text;
    std::size_t next_arg = 0;
    for (std::size_t i = 0; i < message.size(); ++i) {
        if (message[i] == '%' && i + 1 < message.size() && message[i + 1] == 'd' &&
            next_arg < result.args.size()) {
            text += std::to_string(result.args[next_arg++]);
            ++i;
        } else {
            text += message[i];
        }
    }
    if (!result.label.empty()) return Translate(tr, result.label) + " " + text;
    return text;
}

std::vector<std::string> SplitString(std::string_view text, std::string_view delimiter,
                                     bool drop_empty, std::string_view empty_value) {
    std::vector<std::string> parts;
    if (delimiter.empty()) {
        parts.emplace_back(text);
        return parts;
    }
    // The delimiter goes on the end first, so the last part is always taken.
    std::string rest(text);
    rest += delimiter;
    std::string_view view(rest);
    for (std::size_t pos; (pos = view.find(delimiter)) != std::string_view::npos;) {
        const std::string_view part = view.substr(0, pos);
        if (!part.empty())
            parts.emplace_back(part);
        else if (!drop_empty)
            parts.emplace_back(empty_value);
        view.remove_prefix(pos + delimiter.size());
    }
    return parts;
}

bool HasFourParts(std::string_view text) { return SplitString(text, ".", false).size() == 4; }

bool IsHexString(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), IsHexDigit);
}

bool IsAsciiString(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 128; });
}

bool HasNonSpace(std::u16string_view text) {
    return std::any_of(text.begin(), text.end(), [](char16_t c) { return c != u' '; });
}

bool CheckIpAddress(std::string_view text, bool allow_empty) {
    if (IsUnset(text)) return allow_empty;
    const std::vector<std::string> parts = SplitString(text, ".", false);
    if (parts.size() != 4) return false;
    IpBytes b{};
    for (std::size_t i = 0; i < 4; ++i) {
        int v;
        // The address controls give only 0 to 255; typed text (the command line) may not.
        if (!ReadOctet(parts[i], v)) return false;
        b[i] = static_cast<std::uint8_t>(v);
    }
    return HostAddressBytesOk(b);
}

bool CheckNetmask(std::string_view text) {
    // The dots are not escaped; with exactly four parts they can only match the dots.
    static const std::regex kMask(
        "^(254|252|248|240|224|192|128).0.0.0$|^(255.(254|252|248|240|224|192|128|0).0.0)$|^("
        "255.255.(254|252|248|240|224|192|128|0).0)$|^(255.255.255.(254|252|248|240|224|192|128|"
        "0))$",
        std::regex::ECMAScript);
    if (text.size() > 15 || !HasFourParts(text)) return false;
    return std::regex_match(text.begin(), text.end(), kMask);
}

bool IsGatewayInSubnet(const IpBytes& gateway, const IpBytes& address, const IpBytes& mask) {
    for (std::size_t i = 0; i < 4; ++i)
        if ((address[i] & mask[i]) != (gateway[i] & mask[i])) return false;
    return true;
}

std::string GetNetworkSegment(const IpBytes& address, const IpBytes& mask) {
    IpBytes net;
    for (std::size_t i = 0; i < 4; ++i) net[i] = address[i] & mask[i];
    return IpBytesToText(net);
}

bool CheckDnsPair(std::string_view primary, std::string_view secondary) {
    if (IsUnset(primary) || IsUnset(secondary)) return true;
    return Canonical(primary) != Canonical(secondary);
}

CheckResult CheckIpSettings(const IpSetTexts& t) {
    if (auto r = CheckAddressAndGateway(t); !r) return r;
    if (auto r = CheckNotSegment(t.ip, t.mask); !r) return r;
    if (auto r = CheckGatewaySubnet(t.ip, t); !r) return r;
    if (!CheckIpAddress(t.dns1, true)) return AddressFail("The primary DNS Server is invalid!");
    if (!CheckIpAddress(t.dns2, true)) return AddressFail("The secondary DNS Server is invalid!");
    if (!CheckDnsPair(t.dns1, t.dns2))
        return AddressFail("Primary DNS Server and Secondary DNS Server can't be the same!");
    return {};
}

CheckResult CheckIpSettingsMulti(const IpSetTexts& t, int device_count) {
    if (auto r = CheckAddressAndGateway(t); !r) return r;
    const bool range = device_count > 1;
    if (range) {
        if (!CheckIpAddress(t.last_ip, false)) return AddressFail("The ip address is invalid!");
        if (IpTextToNumber(t.ip) >= IpTextToNumber(t.last_ip))
            return AddressFail("The ip address is invalid!");
        if (!t.gateway.empty() && Canonical(t.last_ip) == Canonical(t.gateway))
            return AddressFail("The ip address and gateway address cannot be the same!");
    }
    if (auto r = CheckNotSegment(t.ip, t.mask); !r) return r;
    if (auto r = CheckGatewaySubnet(t.ip, t); !r) return r;
    if (range) {
        if (auto r = CheckGatewaySubnet(t.last_ip, t); !r) return r;
    }
    if (!CheckIpAddress(t.dns1, true)) return AddressFail("The primary DNS Server is invalid!");
    if (!CheckIpAddress(t.dns2, true)) return AddressFail("The secondary DNS Server is invalid!");
    if (!CheckDnsPair(t.dns1, t.dns2))
        return AddressFail("Primary DNS Server and Secondary DNS Server can't be the same!");
    return {};
}

CheckResult CheckBridgeIpSettings(const IpSetTexts& t) {
    if (auto r = CheckAddressAndGateway(t); !r) return r;
    if (auto r = CheckGatewaySubnet(t.ip, t); !r) return r;
    if (!CheckIpAddress(t.dns1, true)) return AddressFail("The primary DNS Server is invalid!");
    if (!CheckDnsPair(t.dns1, t.dns2))
        return AddressFail(
            "The primary DNS server cannot be the same as the secondary DNS server!");
    return {};
}

CheckResult CheckIpInUse(std::string_view new_ip, std::string_view current_ip,
                         const IpListSource& stored_ips) {
    const std::string wanted = Canonical(new_ip);
    if (wanted == Canonical(current_ip)) return {};
    if (!stored_ips) return {};
    for (const std::string& ip : stored_ips())
        if (ip == wanted) return AddressFail("The ip address is already in use, please respecify!");
    return {};
}

CheckResult CheckSsid(std::u16string_view ssid, int ap_type) {
    // An SSID of spaces only gets the empty message too.
    if (ssid.empty() || !HasNonSpace(ssid))
        return Fail("The ssid can not be empty!", MessageKind::Warning, CheckFocus::Ssid);
    return CheckSsidRule(ssid, ap_type);
}

CheckResult CheckBridgeSsid(std::u16string_view ssid, int ap_type) {
    if (ssid.empty())
        return Fail("The ssid can not be empty!", MessageKind::Warning, CheckFocus::Ssid);
    return CheckSsidRule(ssid, ap_type);
}

CheckResult CheckDeviceName(std::u16string_view name, int ap_type) {
    if (name.empty())
        return Fail("The device name can not be empty!", MessageKind::Warning,
                    CheckFocus::DeviceName);
    return CheckDeviceNameRule(name, ap_type);
}

CheckResult CheckDeviceNameRule(std::u16string_view name, int ap_type) {
    return CheckCharRule(name, ap_type,
                         "Device name maximum allowed 32 bytes, only support combination of "
                         "Chinese, lowercase letters, 0-9 numbers",
                         "Device name maximum allowed 32 bytes, only support combination of "
                         "Chinese, ASCII characters",
                         CheckFocus::DeviceName);
}

bool CheckPskKey(std::u16string_view key) {
    if (key.size() < 8 || key.size() > 64) return false;
    if (key.size() == 64 && !IsHexString(key)) return false;
    return IsAsciiString(key);
}

CheckResult CheckPskSettings(std::u16string_view key, std::u16string_view interval) {
    if (!CheckPskKey(key)) return Fail(kPskKeyMessage, MessageKind::Warning);
    if (interval.empty())
        return Fail(kIntervalEmpty, MessageKind::Warning, CheckFocus::PskKeyInterval);
    if (!IntervalInRange(interval))
        return Fail(kIntervalRange, MessageKind::Warning, CheckFocus::PskKeyInterval);
    return {};
}

CheckResult CheckBridgePskSettings(std::u16string_view key, std::u16string_view interval) {
    if (!CheckPskKey(key)) return Fail(kPskKeyMessage, MessageKind::Warning);
    if (interval.empty()) return Fail(kIntervalEmpty, MessageKind::Warning);
    return {};
}

CheckResult CheckRadiusServer(const IpBytes& server, std::u16string_view port) {
    if (!HostAddressBytesOk(server))
        return Fail("Please enter a valid RADIUS Server address!", MessageKind::Warning);
    const auto p = ParseFieldNumber(port.empty() ? u"0" : port);
    if (!p || *p < 1 || *p > 65535)
        return Fail("Please specify a valid RADIUS Port!", MessageKind::Warning);
    return {};
}

CheckResult CheckRadiusSettings(const IpBytes& server, std::u16string_view port,
                                std::u16string_view key, std::u16string_view interval) {
    if (auto r = CheckRadiusServer(server, port); !r) return r;
    if (key.empty() || key.size() > 64 || !IsAsciiString(key))
        return Fail("Please enter a key for 1~64 ASCII characters!", MessageKind::Warning);
    if (interval.empty()) return Fail(kIntervalEmpty, MessageKind::Warning);
    if (!IntervalInRange(interval))
        return Fail(kIntervalRange, MessageKind::Warning, CheckFocus::RadiusKeyInterval);
    return {};
}

CheckResult CheckWepKey(std::u16string_view key, bool hex, bool bridge_wizard) {
    const MessageKind box = bridge_wizard ? MessageKind::Warning : MessageKind::WarningAppCaption;
    if (hex) {
        if ((key.size() != 10 && key.size() != 26) || !IsHexString(key))
            return Fail("WEP key is invalid! Please enter 10 or 26 HEX characters!", box);
        return {};
    }
    constexpr const char* kAsciiLength =
        "WEP key is invalid! Please enter 5 or 13 ASCII characters!";
    if (key.size() != 5 && key.size() != 13) return Fail(kAsciiLength, box);
    if (!IsAsciiString(key)) {
        if (bridge_wizard) return Fail(kAsciiLength, box);
        return Fail(
            "WEP key includes invalid characters (It should only include 0-9,a-z,A-Z,@,*,- and "
            "_.)!",
            box);
    }
    return {};
}

CheckResult CheckWepKeys(const WepKeyTexts& keys, int default_key, bool bridge_wizard) {
    for (int i = 0; i < 4; ++i) {
        if (keys.key[i].empty()) continue;
        if (auto r = CheckWepKey(keys.key[i], keys.hex[i], bridge_wizard); !r) return r;
    }
    static constexpr const char* kEnterKey[4] = {
        "Please enter the WEP key1!", "Please enter the WEP key2!", "Please enter the WEP key3!",
        "Please enter the WEP key4!"};
    if (default_key >= 1 && default_key <= 4 && keys.key[default_key - 1].empty())
        return Fail(kEnterKey[default_key - 1],
                    bridge_wizard ? MessageKind::Warning : MessageKind::WarningAppCaption);
    return {};
}

CheckResult CheckTxPower(std::u16string_view power, int tx_power_min, int tx_power_max) {
    const auto v = ParseFieldNumber(power);
    if (!v || *v < tx_power_min || *v > tx_power_max) {
        CheckResult r = Fail("Power value range:%d-%d", MessageKind::Warning, CheckFocus::TxPower);
        r.args = {tx_power_min, tx_power_max};
        return r;
    }
    return {};
}

CheckResult CheckVlanId(std::u16string_view id, std::string_view label) {
    const auto v = ParseFieldNumber(id);
    if (!v || *v < 1 || *v > 4094) {
        CheckResult r = Fail("range:1-4094", MessageKind::Warning, CheckFocus::VlanId);
        r.label = std::string(label);
        return r;
    }
    return {};
}

CheckResult CheckRebootTime(std::u16string_view hour, std::u16string_view minute, bool any_day) {
    if (hour.empty() || minute.empty())
        return Fail("The time can not be empty!", MessageKind::Warning);
    const auto h = ParseFieldNumber(hour), m = ParseFieldNumber(minute);
    if (!h || !m || *h < 0 || *h > 23 || *m < 0 || *m > 59)
        return Fail("The time is error!", MessageKind::Warning);
    if (!any_day)
        return Fail("Please selectting the day that you want to reboot!", MessageKind::Warning);
    return {};
}

std::optional<long long> ParseFieldNumber(std::u16string_view text) {
    bool negative = false;
    if (!text.empty() && text.front() == u'-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    long long v = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
        v = std::min<long long>(v * 10 + (c - u'0'), 1'000'000'000'000LL);
    }
    return negative ? -v : v;
}
