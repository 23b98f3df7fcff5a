#include "device/crc.h"

#include <array>

namespace Device {
namespace {

// All three are reflected CRCs: one table generator serves them.
template <class T>
constexpr std::array<T, 256> reflectedTable(T polynomial)
{
    std::array<T, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        T crc = T(i);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? T((crc >> 1) ^ polynomial) : T(crc >> 1);
        table[i] = crc;
    }
    return table;
}

constexpr auto kCrc8 = reflectedTable<std::uint8_t>(0x8C);           // 0x31 reflected
constexpr auto kCrc16 = reflectedTable<std::uint16_t>(0xA001);       // 0x8005 reflected
constexpr auto kCrc32 = reflectedTable<std::uint32_t>(0xEDB88320);   // 0x04C11DB7 reflected

template <class T, std::size_t N>
T run(const std::array<T, N> &table, T crc, const std::uint8_t *data, std::size_t length)
{
    for (std::size_t i = 0; i < length; ++i)
        crc = T(table[(crc ^ data[i]) & 0xFF] ^ (sizeof(T) > 1 ? (crc >> 8) : 0));
    return crc;
}

}   // namespace

std::uint8_t Crc8(const std::uint8_t *data, std::size_t length)
{
    return run(kCrc8, std::uint8_t(0), data, length);
}

std::uint16_t Crc16(const std::uint8_t *data, std::size_t length)
{
    return run(kCrc16, std::uint16_t(0), data, length);
}

std::uint32_t Crc32(const std::uint8_t *data, std::size_t length)
{
    return ~run(kCrc32, 0xFFFFFFFFu, data, length);
}

}   // namespace Device
