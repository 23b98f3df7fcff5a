#pragma once
// The checksums of the instrument protocol, from 256-entry tables:
// CRC-8/MAXIM, CRC-16/ARC and CRC-32 (IEEE 802.3).

#include <cstddef>
#include <cstdint>

namespace Device {

std::uint8_t Crc8(const std::uint8_t *data, std::size_t length);
std::uint16_t Crc16(const std::uint8_t *data, std::size_t length);
std::uint32_t Crc32(const std::uint8_t *data, std::size_t length);

}   // namespace Device
