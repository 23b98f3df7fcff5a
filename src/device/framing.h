#pragma once
// The bytes of the instrument protocol that both sides agree on: the command
// engine here, and the simulated instrument in tools/vetrasim.

#include <cstdint>

namespace Device::Framing {

inline constexpr std::uint8_t kFrameBase = 0xC0;   // + payload length, 0..47
inline constexpr std::uint8_t kMaxFramePayload = 47;
inline constexpr std::uint8_t kLongReply = 0xEF;     // K, L (24 bits), data, checksum
inline constexpr std::uint8_t kFirstStatus = 0xF0;   // 0xF0..0xFF: a status instead of data
inline constexpr std::uint8_t kResynced = 0xF0;
inline constexpr std::uint8_t kNoObjects = 0xF3;
inline constexpr std::uint8_t kDle = 0x10;   // introduces a text command
inline constexpr std::uint8_t kCr = 0x0D;
inline constexpr std::uint8_t kLf = 0x0A;

inline constexpr std::uint8_t kAppCommand = 0xD2;
inline constexpr std::uint8_t kTextDownload = 0x10;
inline constexpr std::uint8_t kDeleteAll = 0x11;
inline constexpr std::uint8_t kBinaryDownload = 0x12;
inline constexpr std::uint8_t kReadValue = 0xF1;
inline constexpr std::uint8_t kSession = 0xF4;
inline constexpr std::uint8_t kResync = 0xF7;
inline constexpr std::uint8_t kResyncPayload[] = {0x00, 0x05, 0x55, 0x5A, 0xAA, 0xAF, 0xFF, 0xF0};

}   // namespace Device::Framing
