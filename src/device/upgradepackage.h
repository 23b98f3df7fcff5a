#pragma once
// The firmware package of an upgrade: a header, content entries, block
// descriptors and the blocks' data, read from a package stream. The layout
// (docs/upgrade-package.md) is this program's own; the descriptor fields the
// upgrade steps use are fixed.

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <optional>

namespace StreamIO {
class CIoStream;
}

namespace Device {

struct SContentEntry
{
    static constexpr std::uint8_t kLeaveOut = 0x80;
    std::uint8_t flags = 0;
    std::uint16_t firstBlock = 0;
    std::uint16_t blockCount = 0;
};

// What the upgrade steps read of a block descriptor (16 bytes).
struct SBlockDescriptor
{
    std::uint32_t size = 0;         // offset 4: the block's data in the package
    std::uint8_t modeBefore = 0;    // offset 10: bit 0 send the header block
    std::uint8_t modeAfter = 0;     // offset 11: bit 0 header block, bit 6 program the block
    std::uint8_t contentKind = 0;   // offset 12: high nibble 4 = S-record data
    std::uint8_t deviceMode = 0;    // offset 13: the cover meter's mode for the block
    bool transfer = true;           // set by the selection list

    static constexpr std::uint8_t kSendHeader = 0x01;
    static constexpr std::uint8_t kProgram = 0x40;
    static constexpr int kSize = 16;
};

struct CPackageHeader
{
    static constexpr char kMagic[4] = {'Q', 'X', 'P', 'K'};
    static constexpr int kHeaderBlockSize = 128;
    static constexpr int kSize = 16 + kHeaderBlockSize;

    std::uint16_t blockCount = 0;
    std::uint16_t contentCount = 0;
    std::uint32_t firmwareId = 0;
    QByteArray headerBlock = QByteArray(kHeaderBlockSize, '\0');
};

struct CContents
{
    CPackageHeader header;
    QList<SContentEntry> entries;
    QList<SBlockDescriptor> blocks;

    // Reads header, entries and descriptors from the stream's current
    // position; the stream is left at the first block's data.
    bool Read(StreamIO::CIoStream &package);
    // Marks the blocks a selection leaves out; without one every block goes.
    void ApplySelection(const QList<SContentEntry> *selection);
};

// A package with the given blocks (their data in order): what the tests and
// a package tool write.
QByteArray BuildPackage(const CPackageHeader &header, const QList<SContentEntry> &entries,
                        const QList<SBlockDescriptor> &blocks, const QList<QByteArray> &data);

}   // namespace Device
