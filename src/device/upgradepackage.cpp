#include "device/upgradepackage.h"

#include "streamio/iostream.h"

#include <QtEndian>

#include <cstring>

namespace Device {
namespace {

bool readExactly(StreamIO::CIoStream &s, char *data, int n)
{
    return s.Read(data, n) == n;
}

}   // namespace

bool CContents::Read(StreamIO::CIoStream &package)
{
    char fixed[16];
    if (!readExactly(package, fixed, 16) || std::memcmp(fixed, CPackageHeader::kMagic, 4) != 0
        || qFromLittleEndian<std::uint16_t>(fixed + 4) != 1)
        return false;
    header.blockCount = qFromLittleEndian<std::uint16_t>(fixed + 6);
    header.contentCount = qFromLittleEndian<std::uint16_t>(fixed + 8);
    header.firmwareId = qFromLittleEndian<std::uint32_t>(fixed + 12);
    header.headerBlock.resize(CPackageHeader::kHeaderBlockSize);
    if (!readExactly(package, header.headerBlock.data(), CPackageHeader::kHeaderBlockSize))
        return false;
    entries.clear();
    for (int i = 0; i < header.contentCount; ++i) {
        char e[8];
        if (!readExactly(package, e, 8))
            return false;
        entries.append(
            {std::uint8_t(e[0]), qFromLittleEndian<std::uint16_t>(e + 2), qFromLittleEndian<std::uint16_t>(e + 4)});
    }
    blocks.clear();
    for (int i = 0; i < header.blockCount; ++i) {
        char d[SBlockDescriptor::kSize];
        if (!readExactly(package, d, SBlockDescriptor::kSize))
            return false;
        SBlockDescriptor b;
        b.size = qFromLittleEndian<std::uint32_t>(d + 4);
        b.modeBefore = std::uint8_t(d[10]);
        b.modeAfter = std::uint8_t(d[11]);
        b.contentKind = std::uint8_t(d[12]);
        b.deviceMode = std::uint8_t(d[13]);
        blocks.append(b);
    }
    return true;
}

void CContents::ApplySelection(const QList<SContentEntry> *selection)
{
    for (SBlockDescriptor &b : blocks)
        b.transfer = true;
    if (!selection)
        return;
    for (const SContentEntry &e : *selection) {
        if (!(e.flags & SContentEntry::kLeaveOut))
            continue;
        for (int i = e.firstBlock; i < e.firstBlock + e.blockCount && i < blocks.size(); ++i)
            blocks[i].transfer = false;
    }
}

QByteArray BuildPackage(const CPackageHeader &header, const QList<SContentEntry> &entries,
                        const QList<SBlockDescriptor> &blocks, const QList<QByteArray> &data)
{
    QByteArray out(16, '\0');
    std::memcpy(out.data(), CPackageHeader::kMagic, 4);
    qToLittleEndian<std::uint16_t>(1, out.data() + 4);
    qToLittleEndian<std::uint16_t>(std::uint16_t(blocks.size()), out.data() + 6);
    qToLittleEndian<std::uint16_t>(std::uint16_t(entries.size()), out.data() + 8);
    qToLittleEndian<std::uint32_t>(header.firmwareId, out.data() + 12);
    out += header.headerBlock.leftJustified(CPackageHeader::kHeaderBlockSize, '\0', true);
    for (const SContentEntry &e : entries) {
        QByteArray entry(8, '\0');
        entry[0] = char(e.flags);
        qToLittleEndian<std::uint16_t>(e.firstBlock, entry.data() + 2);
        qToLittleEndian<std::uint16_t>(e.blockCount, entry.data() + 4);
        out += entry;
    }
    for (qsizetype i = 0; i < blocks.size(); ++i) {
        QByteArray d(SBlockDescriptor::kSize, '\0');
        qToLittleEndian<std::uint32_t>(std::uint32_t(data.value(i).size()), d.data() + 4);
        d[10] = char(blocks[i].modeBefore);
        d[11] = char(blocks[i].modeAfter);
        d[12] = char(blocks[i].contentKind);
        d[13] = char(blocks[i].deviceMode);
        out += d;
    }
    for (const QByteArray &b : data)
        out += b;
    return out;
}

}   // namespace Device
