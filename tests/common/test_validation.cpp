#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Validation.h"

namespace {

std::u16string Repeat(std::u16string_view unit, int n) {
    std::u16string s;
    for (int i = 0; i < n; ++i) s += unit;
    return s;
}

std::string Bracket(const std::string& s) { return "[" + s + "]"; }

TEST(Split, KeepsOrDropsEmptyParts) {
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitString("1..2.3", ".", false), (V{"1", "", "2", "3"}));
    EXPECT_EQ(SplitString("1..2.3", ".", true), (V{"1", "2", "3"}));
    EXPECT_EQ(SplitString("1..2.3", ".", false, "x"), (V{"1", "x", "2", "3"}));
    EXPECT_EQ(SplitString("", ".", false), (V{""}));
    EXPECT_EQ(SplitString("a,", ",", false), (V{"a", ""}));
    EXPECT_EQ(SplitString("0,36l,40u", ",", false), (V{"0", "36l", "40u"}));
    EXPECT_TRUE(HasFourParts("1..2.3"));
    EXPECT_FALSE(HasFourParts("1.2.3.4."));
    EXPECT_FALSE(HasFourParts("1.2.3"));
}

TEST(IpAddressRule, Table) {
    struct Case {
        const char* text;
        bool allow_empty;
        bool ok;
    } cases[] = {
        {"", false, false},
        {"", true, true},
        {"0.0.0.0", false, false},
        {"0.0.0.0", true, true},
        {"10.0.0.1", false, true},
        {"223.255.255.254", false, true},
        {"127.0.0.1", true, false},
        {"224.0.0.1", true, false},
        {"0.1.2.3", true, false},
        {"10.0.0.0", true, false},
        {"10.0.0.255", true, false},
        {"1..2.3", true, false},
        {"1.2.3.4.5", true, false},
        {"1.2.3", true, false},
        // Typed text may hold what an address control never gives; it must not wrap to a
        // different address.
        {"10.0.0.257", true, false},
        {"10.0.x.1", true, false},
        {" 10.0.0.1", true, false},
        {"10.0.0.-1", true, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckIpAddress(c.text, c.allow_empty), c.ok)
            << '"' << c.text << "\" allow_empty=" << c.allow_empty;
}

std::string PrefixMask(int len) {
    const std::uint32_t m = len == 0 ? 0 : 0xFFFFFFFFu << (32 - len);
    return IpNumberToText(m);
}

TEST(NetmaskRule, ExactlyTheContiguousMasksFrom1To31Bits) {
    for (int len = 0; len <= 32; ++len) {
        const bool expected = len >= 1 && len <= 31;
        EXPECT_EQ(CheckNetmask(PrefixMask(len)), expected) << PrefixMask(len);
        // A set bit after a zero below the prefix makes it non-contiguous.
        if (len <= 30) {
            const std::uint32_t prefix = len == 0 ? 0 : 0xFFFFFFFFu << (32 - len);
            const std::string holed = IpNumberToText(prefix | (1u << (30 - len)));
            EXPECT_FALSE(CheckNetmask(holed)) << holed;
        }
    }
    for (const char* bad : {"255.0.255.0", "255.255.255.255", "0.0.0.0", "255.255.255.0.0",
                            "255x255.255.0", "255.255.255", "", "255.255.255.000"})
        EXPECT_FALSE(CheckNetmask(bad)) << bad;
    EXPECT_TRUE(CheckNetmask("255.255.255.0"));
    EXPECT_TRUE(CheckNetmask("128.0.0.0"));
}

TEST(AddressHelpers, SubnetSegmentAndDnsPair) {
    const IpBytes mask = {255, 255, 255, 0};
    EXPECT_TRUE(IsGatewayInSubnet({192, 168, 1, 1}, {192, 168, 1, 20}, mask));
    EXPECT_FALSE(IsGatewayInSubnet({192, 168, 2, 1}, {192, 168, 1, 20}, mask));
    EXPECT_EQ(GetNetworkSegment({192, 168, 1, 130}, {255, 255, 255, 128}), "192.168.1.128");
    EXPECT_FALSE(CheckDnsPair("8.8.8.8", "8.8.8.8"));
    EXPECT_TRUE(CheckDnsPair("8.8.8.8", ""));
    EXPECT_TRUE(CheckDnsPair("0.0.0.0", "0.0.0.0"));
    EXPECT_TRUE(CheckDnsPair("8.8.8.8", "8.8.4.4"));
}

// One valid address set, each case changes one or two fields.
IpSetTexts ValidSet() {
    return {"192.168.1.20", "255.255.255.0", "192.168.1.1", "8.8.8.8", "8.8.4.4", ""};
}

constexpr const char* kOk = "";
constexpr const char* kIp = "The ip address is invalid!";
constexpr const char* kMask = "The subnet mask is invalid!";
constexpr const char* kGw = "The gateway address is invalid!";
constexpr const char* kSame = "The ip address and gateway address cannot be the same!";
constexpr const char* kSegment = "IP Address can't be the network segment!";
constexpr const char* kSubnet = "Ip address and gateway address is not in the same subnet!";
constexpr const char* kDns1 = "The primary DNS Server is invalid!";
constexpr const char* kDns2 = "The secondary DNS Server is invalid!";
constexpr const char* kPair = "Primary DNS Server and Secondary DNS Server can't be the same!";
constexpr const char* kBridgePair =
    "The primary DNS server cannot be the same as the secondary DNS server!";

TEST(AddressSets, ThreeDialogsOneDeviceEach) {
    struct Case {
        const char* what;
        void (*change)(IpSetTexts&);
        const char *device, *multi, *bridge;
    } cases[] = {
        {"valid", [](IpSetTexts&) {}, kOk, kOk, kOk},
        {"no address", [](IpSetTexts& t) { t.ip = "0.0.0.0"; }, kIp, kIp, kIp},
        {"address and mask bad: address first",
         [](IpSetTexts& t) {
             t.ip = "";
             t.mask = "0.0.0.0";
         },
         kIp, kIp, kIp},
        {"mask", [](IpSetTexts& t) { t.mask = "255.0.255.0"; }, kMask, kMask, kMask},
        {"gateway", [](IpSetTexts& t) { t.gateway = "192.168.1.255"; }, kGw, kGw, kGw},
        {"gateway is address", [](IpSetTexts& t) { t.gateway = t.ip; }, kSame, kSame, kSame},
        {"network segment",
         [](IpSetTexts& t) {
             t.ip = "192.168.1.128";
             t.mask = "255.255.255.128";
             t.gateway = "192.168.1.129";
         },
         kSegment, kSegment, kOk},
        {"gateway elsewhere", [](IpSetTexts& t) { t.gateway = "10.0.0.1"; }, kSubnet, kSubnet,
         kSubnet},
        {"gateway unset skips subnet", [](IpSetTexts& t) { t.gateway = "0.0.0.0"; }, kOk, kOk, kOk},
        {"gateway empty", [](IpSetTexts& t) { t.gateway = ""; }, kOk, kOk, kOk},
        {"primary dns", [](IpSetTexts& t) { t.dns1 = "127.0.0.1"; }, kDns1, kDns1, kDns1},
        {"secondary dns", [](IpSetTexts& t) { t.dns2 = "224.1.1.1"; }, kDns2, kDns2, kOk},
        {"same dns", [](IpSetTexts& t) { t.dns2 = t.dns1; }, kPair, kPair, kBridgePair},
        {"one dns", [](IpSetTexts& t) { t.dns2 = ""; }, kOk, kOk, kOk},
        {"no dns",
         [](IpSetTexts& t) {
             t.dns1 = "";
             t.dns2 = "0.0.0.0";
         },
         kOk, kOk, kOk},
        {"bad last address ignored for one device", [](IpSetTexts& t) { t.last_ip = "1.2"; }, kOk,
         kOk, kOk},
    };
    for (const Case& c : cases) {
        IpSetTexts t = ValidSet();
        c.change(t);
        const CheckResult device = CheckIpSettings(t), multi = CheckIpSettingsMulti(t, 1),
                          bridge = CheckBridgeIpSettings(t);
        EXPECT_EQ(device.message, c.device) << c.what;
        EXPECT_EQ(multi.message, c.multi) << c.what;
        EXPECT_EQ(bridge.message, c.bridge) << c.what;
        EXPECT_EQ(device.ok, *c.device == 0) << c.what;
        if (!device.ok) {
            EXPECT_EQ(device.box, MessageKind::Plain) << c.what;
        }
    }
}

TEST(AddressSets, RangeChecksForSeveralDevices) {
    struct Case {
        const char *first, *last, *gateway;
        const char* message;
    } cases[] = {
        {"192.168.1.20", "192.168.1.40", "192.168.1.1", kOk},
        {"192.168.1.20", "", "192.168.1.1", kIp},
        {"192.168.1.20", "192.168.1.255", "192.168.1.1", kIp},
        {"10.0.0.5", "10.0.0.5", "", kIp},  // first must be below last
        {"192.168.1.40", "192.168.1.20", "192.168.1.1", kIp},
        {"192.168.1.20", "192.168.1.30", "192.168.1.30", kSame},  // last is the gateway
        {"192.168.1.20", "192.168.2.9", "192.168.1.1", kSubnet},
        {"192.168.1.20", "192.168.2.9", "", kOk},
    };
    for (const Case& c : cases) {
        IpSetTexts t = ValidSet();
        t.ip = c.first;
        t.last_ip = c.last;
        t.gateway = c.gateway;
        EXPECT_EQ(CheckIpSettingsMulti(t, 3).message, c.message) << c.first << " - " << c.last;
    }
    // Numeric, not text, order: "9.x" sorts after "10.x" as text.
    const IpSetTexts t = {"9.0.0.1", "248.0.0.0", "", "", "", "10.0.0.1"};
    EXPECT_TRUE(CheckIpSettingsMulti(t, 2).ok) << CheckIpSettingsMulti(t, 2).message;
}

TEST(AddressInUse, ReadsTheStoreOnlyForANewAddress) {
    int reads = 0;
    const IpListSource store = [&] {
        ++reads;
        return std::vector<std::string>{"192.168.1.20", "192.168.1.21"};
    };
    EXPECT_TRUE(CheckIpInUse("192.168.1.20", "192.168.1.20", store).ok);
    EXPECT_TRUE(CheckIpInUse("", "0.0.0.0", store).ok);
    EXPECT_EQ(reads, 0);

    const CheckResult taken = CheckIpInUse("192.168.1.21", "192.168.1.20", store);
    EXPECT_FALSE(taken.ok);
    EXPECT_EQ(taken.message, "The ip address is already in use, please respecify!");
    EXPECT_EQ(taken.box, MessageKind::Plain);
    EXPECT_TRUE(CheckIpInUse("192.168.1.22", "192.168.1.20", store).ok);
    EXPECT_EQ(reads, 2);
}

constexpr const char* kSsidEmpty = "The ssid can not be empty!";
constexpr const char* kSsidStrict =
    "SSID maximum allowed 32 bytes, only support combination of Chinese, lowercase letters, 0-9 "
    "numbers";
constexpr const char* kSsidLoose =
    "SSID maximum allowed 32 bytes, only support combination of Chinese, ASCII characters";

TEST(SsidRule, WirelessPageAndBridgeWizard) {
    struct Case {
        std::u16string ssid;
        int type;
        const char *wireless, *bridge;
    } cases[] = {
        {u"", 1, kSsidEmpty, kSsidEmpty},
        {u"   ", 1, kSsidEmpty, kOk},  // the wizard has no spaces-only step
        {u"   ", 4, kSsidEmpty, kSsidStrict},
        {u"Mast North", 1, kOk, kOk},
        {u"Mast North", 276, kSsidStrict, kSsidStrict},
        {Repeat(u"\u5317", 10), 17, kOk, kOk},
        {Repeat(u"\u5317", 11), 17, kSsidStrict, kSsidStrict},
        {Repeat(u"\u5317", 11), 5, kSsidLoose, kSsidLoose},
        {Repeat(u"a", 32), 5, kOk, kOk},
        {u"caf\u00E9", 5, kSsidLoose, kSsidLoose},
    };
    for (const Case& c : cases) {
        const CheckResult w = CheckSsid(c.ssid, c.type), b = CheckBridgeSsid(c.ssid, c.type);
        EXPECT_EQ(w.message, c.wireless) << c.type;
        EXPECT_EQ(b.message, c.bridge) << c.type;
        if (!w.ok) {
            EXPECT_EQ(w.focus, CheckFocus::Ssid);
            EXPECT_EQ(w.box, MessageKind::Warning);
        }
    }
}

TEST(DeviceNameRule, EmptyThenCharacterRuleByType) {
    EXPECT_EQ(CheckDeviceName(u"", 1).message, "The device name can not be empty!");
    EXPECT_EQ(CheckDeviceName(u"", 1).focus, CheckFocus::DeviceName);
    EXPECT_EQ(CheckDeviceName(u"roof mast", 261).message,
              "Device name maximum allowed 32 bytes, only support combination of Chinese, "
              "lowercase letters, 0-9 numbers");
    EXPECT_TRUE(CheckDeviceName(u"roof mast", 260).ok);
    EXPECT_EQ(CheckDeviceName(Repeat(u"\u5317", 11), 260).message,
              "Device name maximum allowed 32 bytes, only support combination of Chinese, ASCII "
              "characters");
    EXPECT_TRUE(CheckDeviceName(Repeat(u"\u5317", 10), 260).ok);
}

constexpr const char* kPskKey =
    "Please enter a key for 8~63 ASCII characters or 8~64 HEX characters!";
constexpr const char* kIntervalEmpty = "The key update interval should not be empty!";
constexpr const char* kIntervalRange = "The key update interval range: 60~99999 or 0!";

TEST(PskRule, KeyThenInterval) {
    const std::u16string hex64 = Repeat(u"0123456789abcdEF", 4);
    struct Case {
        std::u16string key, interval;
        const char* wireless;
        const char* bridge;
    } cases[] = {
        {hex64, u"3600", kOk, kOk},
        {hex64.substr(0, 63) + u"g", u"3600", kPskKey, kPskKey},
        {hex64.substr(0, 62) + u"g", u"3600", kOk, kOk},  // 63 characters need not be hex
        {u"1234567", u"0", kPskKey, kPskKey},
        {u"12345678", u"0", kOk, kOk},
        {u"pass\u00E9word", u"0", kPskKey, kPskKey},
        {hex64 + u"0", u"0", kPskKey, kPskKey},
        {u"12345678", u"", kIntervalEmpty, kIntervalEmpty},
        {u"12345678", u"59", kIntervalRange, kOk},  // the wizard has no range rule
        {u"12345678", u"60", kOk, kOk},
        {u"12345678", u"99999", kOk, kOk},
        {u"12345678", u"100000", kIntervalRange, kOk},
    };
    for (const Case& c : cases) {
        const CheckResult w = CheckPskSettings(c.key, c.interval);
        EXPECT_EQ(w.message, c.wireless);
        EXPECT_EQ(CheckBridgePskSettings(c.key, c.interval).message, c.bridge);
        if (!w.ok) {
            EXPECT_EQ(w.focus,
                      w.message == kPskKey ? CheckFocus::None : CheckFocus::PskKeyInterval);
        }
    }
}

TEST(RadiusRule, ServerPortKeyInterval) {
    const IpBytes good = {192, 168, 1, 5};
    constexpr const char* kServer = "Please enter a valid RADIUS Server address!";
    constexpr const char* kPort = "Please specify a valid RADIUS Port!";
    constexpr const char* kKey = "Please enter a key for 1~64 ASCII characters!";
    const std::u16string key64 = Repeat(u"aZ9!@#-_", 8);
    struct Case {
        IpBytes server;
        std::u16string port, key, interval;
        const char* message;
    } cases[] = {
        {good, u"1812", key64, u"0", kOk},
        {{0, 1, 1, 1}, u"1812", key64, u"0", kServer},
        {{127, 0, 0, 1}, u"1812", key64, u"0", kServer},
        {{224, 0, 0, 9}, u"1812", key64, u"0", kServer},
        {{10, 0, 0, 0}, u"1812", key64, u"0", kServer},
        {{10, 0, 0, 255}, u"1812", key64, u"0", kServer},
        {good, u"", key64, u"0", kPort},
        {good, u"0", key64, u"0", kPort},
        {good, u"65535", key64, u"0", kOk},
        {good, u"65536", key64, u"0", kPort},
        {good, u"1812", u"", u"0", kKey},
        {good, u"1812", key64 + u"x", u"0", kKey},
        {good, u"1812", u"k\u00E9y", u"0", kKey},
        {good, u"1812", u"k", u"", kIntervalEmpty},
        {good, u"1812", u"k", u"59", kIntervalRange},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckRadiusSettings(c.server, c.port, c.key, c.interval).message, c.message)
            << int(c.server[0]) << " port " << c.port.size();
    // Only the range message focuses the interval field here.
    EXPECT_EQ(CheckRadiusSettings(good, u"1", u"k", u"").focus, CheckFocus::None);
    EXPECT_EQ(CheckRadiusSettings(good, u"1", u"k", u"59").focus, CheckFocus::RadiusKeyInterval);
}

constexpr const char* kWepAsciiLen = "WEP key is invalid! Please enter 5 or 13 ASCII characters!";
constexpr const char* kWepAsciiChars =
    "WEP key includes invalid characters (It should only include 0-9,a-z,A-Z,@,*,- and _.)!";
constexpr const char* kWepHex = "WEP key is invalid! Please enter 10 or 26 HEX characters!";

TEST(WepRule, OneKeyByFormat) {
    struct Case {
        std::u16string key;
        bool hex;
        const char *wireless, *bridge;
    } cases[] = {
        {Repeat(u"a1", 13), true, kOk, kOk},
        {Repeat(u"a1", 12) + u"a", true, kWepHex, kWepHex},
        {u"012345678g", true, kWepHex, kWepHex},
        {u"0123456789", true, kOk, kOk},
        {u"abcde", false, kOk, kOk},
        {u"abcdef", false, kWepAsciiLen, kWepAsciiLen},
        {u"a b\"~`!x{}|\\^", false, kOk, kOk},  // every ASCII character is admitted
        {u"abcd\u00E9", false, kWepAsciiChars, kWepAsciiLen},
    };
    for (const Case& c : cases) {
        const CheckResult w = CheckWepKey(c.key, c.hex), b = CheckWepKey(c.key, c.hex, true);
        EXPECT_EQ(w.message, c.wireless);
        EXPECT_EQ(b.message, c.bridge);
        if (!w.ok) {
            EXPECT_EQ(w.box, MessageKind::WarningAppCaption);
            EXPECT_EQ(b.box, MessageKind::Warning);
        }
    }
}

TEST(WepRule, KeysInOrderThenTheDefaultKey) {
    WepKeyTexts keys;
    keys.key[1] = u"abcdef";  // bad, while key 1 is empty and skipped
    keys.key[3] = u"zz";      // also bad, but later
    EXPECT_EQ(CheckWepKeys(keys, 2).message, kWepAsciiLen);

    keys.key[1] = u"abcde";
    keys.key[3] = u"0123456789";
    keys.hex[3] = true;
    EXPECT_TRUE(CheckWepKeys(keys, 2).ok);
    EXPECT_TRUE(CheckWepKeys(keys, 4).ok);
    EXPECT_EQ(CheckWepKeys(keys, 1).message, "Please enter the WEP key1!");
    EXPECT_EQ(CheckWepKeys(keys, 3).message, "Please enter the WEP key3!");
    EXPECT_EQ(CheckWepKeys(WepKeyTexts{}, 4).message, "Please enter the WEP key4!");
}

TEST(OtherFields, PowerVlanAndRebootTime) {
    EXPECT_TRUE(CheckTxPower(u"1", 1, 27).ok);
    EXPECT_TRUE(CheckTxPower(u"27", 1, 27).ok);
    for (const char16_t* bad : {u"", u"0", u"28", u"2x"}) {
        const CheckResult r = CheckTxPower(bad, 1, 27);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.focus, CheckFocus::TxPower);
        EXPECT_EQ(MessageText(r), "Power value range:1-27");
    }

    for (const char16_t* id : {u"1", u"4094"}) EXPECT_TRUE(CheckVlanId(id, "VLAN").ok);
    for (const char16_t* id : {u"0", u"4095", u"", u"99999999999999999999"}) {
        const CheckResult r = CheckVlanId(id, "LAN3");
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.focus, CheckFocus::VlanId);
        EXPECT_EQ(MessageText(r), "LAN3 range:1-4094");
        EXPECT_EQ(MessageText(r, Bracket), "[LAN3] [range:1-4094]");
    }

    struct Case {
        std::u16string hour, minute;
        bool any_day;
        const char* message;
    } reboot[] = {
        {u"23", u"59", true, kOk},
        {u"0", u"0", true, kOk},
        {u"24", u"00", true, "The time is error!"},
        {u"23", u"60", true, "The time is error!"},
        {u"3", u"", true, "The time can not be empty!"},
        {u"", u"30", false, "The time can not be empty!"},
        {u"3", u"30", false, "Please selectting the day that you want to reboot!"},
    };
    for (const Case& c : reboot)
        EXPECT_EQ(CheckRebootTime(c.hour, c.minute, c.any_day).message, c.message);
}

TEST(Messages, TranslatedFormatIsFilledSafely) {
    CheckResult r = CheckTxPower(u"99", 3, 20);
    EXPECT_EQ(MessageText(r, [](const std::string&) { return std::string("P %d..%d %s %n"); }),
              "P 3..20 %s %n");
    EXPECT_EQ(MessageText(CheckSsid(u"", 1), Bracket), "[The ssid can not be empty!]");
}

}  // namespace
