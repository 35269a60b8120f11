#pragma once
// Explicit byte-order helpers. Wire records are byte-packed, so their integers may sit at
// any address; reading them through an integer pointer would be an unaligned access. These
// helpers go byte by byte instead and work the same on any host.

#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>

constexpr uint16_t ReadLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

constexpr uint32_t ReadLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

constexpr void WriteLe16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

constexpr void WriteLe32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

// Network order, used only by the raw Ethernet/ARP frame.
constexpr uint16_t ReadBe16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

constexpr void WriteBe16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v >> 8);
    p[1] = static_cast<uint8_t>(v);
}

// Fixed-extent span forms: a span of the wrong size does not compile, e.g.
// ReadLe16(bytes.subspan<14, 2>()) or ReadLe32(some_uint8_array_of_4).
constexpr uint16_t ReadLe16(std::span<const uint8_t, 2> s) { return ReadLe16(s.data()); }
constexpr uint32_t ReadLe32(std::span<const uint8_t, 4> s) { return ReadLe32(s.data()); }
constexpr void WriteLe16(std::span<uint8_t, 2> s, uint16_t v) { WriteLe16(s.data(), v); }
constexpr void WriteLe32(std::span<uint8_t, 4> s, uint32_t v) { WriteLe32(s.data(), v); }

// An integer stored as little-endian bytes. Alignment 1 and no padding, so it can sit at any
// offset inside a packed record; it reads and assigns like the plain integer:
//     rec.up_time = 3600;  uint32_t t = rec.up_time;
// Pass `.get()` to printf-style functions (varargs would otherwise receive the bytes).
template <class T>
struct LeInt {
    static_assert(std::is_integral_v<T> && (sizeof(T) == 2 || sizeof(T) == 4));
    using value_type = T;
    uint8_t bytes[sizeof(T)];

    constexpr T get() const {
        if constexpr (sizeof(T) == 2) {
            return static_cast<T>(ReadLe16(bytes));
        } else {
            return static_cast<T>(ReadLe32(bytes));
        }
    }
    constexpr void set(T v) {
        if constexpr (sizeof(T) == 2) {
            WriteLe16(bytes, static_cast<uint16_t>(v));
        } else {
            WriteLe32(bytes, static_cast<uint32_t>(v));
        }
    }
    constexpr operator T() const { return get(); }
    constexpr LeInt& operator=(T v) {
        set(v);
        return *this;
    }
};

using LeU16 = LeInt<uint16_t>;
using LeU32 = LeInt<uint32_t>;
using LeI32 = LeInt<int32_t>;

// Big-endian 16-bit field, for the Ethernet/ARP frame only.
struct BeU16 {
    uint8_t bytes[2];
    constexpr uint16_t get() const { return ReadBe16(bytes); }
    constexpr void set(uint16_t v) { WriteBe16(bytes, v); }
    constexpr operator uint16_t() const { return get(); }
    constexpr BeU16& operator=(uint16_t v) {
        set(v);
        return *this;
    }
};

static_assert(sizeof(LeU16) == 2 && alignof(LeU16) == 1);
static_assert(sizeof(LeU32) == 4 && alignof(LeU32) == 1);
static_assert(sizeof(LeI32) == 4 && alignof(LeI32) == 1);
static_assert(sizeof(BeU16) == 2 && alignof(BeU16) == 1);
static_assert(std::is_trivially_copyable_v<LeU32> && std::is_standard_layout_v<LeU32>);
static_assert(std::is_trivially_copyable_v<BeU16> && std::is_standard_layout_v<BeU16>);
