// The base steps of an upgrade (CQxDevice). The bytes of the mode change,
// header, upload and program frames are this program's own layout
// (docs/upgrade-package.md).
#include "device/qxdevice.h"

#include "device/crc.h"
#include "device/framing.h"
#include "device/worker.h"
#include "res/resources.h"
#include "streamio/iostream.h"

#include <QtEndian>

#include <cstring>

namespace Device {
namespace {

constexpr std::uint8_t kBlockCommand = 0xF8;
constexpr std::uint8_t kHeaderPart = 0x01;
constexpr std::uint8_t kUploadData = 0x02;
constexpr std::uint8_t kUploadCrc = 0x03;
constexpr std::uint8_t kProgram = 0x04;
constexpr int kHeaderPartSize = 32;
constexpr int kDataPerFrame = 44;
constexpr std::uint8_t kRestartMode = 12;

}   // namespace

NError_code CQxDevice::BeginStep(int statusId)
{
    if (IsAborted())
        return Err_Aborted;
    if (!IsConnected())
        return Err_BadArguments;
    ReportStatus(statusId);
    return Err_Success;
}

void CQxDevice::ReportProgress(int percent, int kind)
{
    if (m_callback)
        m_callback->OnProgress(percent, kind, 0);
}

NError_code CQxDevice::ChangeMode(std::uint8_t mode)
{
    std::uint8_t payload[2] = {0x00, mode};
    if (m_commands->ShortExchange(Framing::kSession, 2, payload, 1, 5000) != 1)
        return Err_ModeChangeFailed;
    m_operationMode = mode;
    return Err_Success;
}

NError_code CQxDevice::SendHeaderBlock(const CContents &contents)
{
    for (int part = 0; part < CPackageHeader::kHeaderBlockSize / kHeaderPartSize; ++part) {
        std::uint8_t frame[2 + kHeaderPartSize] = {kHeaderPart, std::uint8_t(part)};
        std::memcpy(frame + 2, contents.header.headerBlock.constData() + part * kHeaderPartSize, kHeaderPartSize);
        std::uint32_t reply = 0;
        if (m_commands->Execute(kBlockCommand, frame, sizeof frame, reply, sizeof frame, 2000, -1, nullptr)
            != Err_Success)
            return Err_HeaderRefused;
    }
    m_blockSent = true;
    return Err_Success;
}

bool CQxDevice::RestartSession()
{
    if (!IsConnected())
        return false;
    m_commands->Resync();
    std::uint8_t payload[2] = {0x00, kRestartMode};
    return m_commands->ShortExchange(Framing::kSession, 2, payload, 1, 5000) == 1;
}

NError_code CQxDevice::SkipBlock(const SBlockDescriptor &block)
{
    if (IsAborted())
        return Err_Aborted;
    if (!m_package || !m_package->IsOpen() || !m_package->IsRandomAccess())
        return Err_BadArguments;
    try {
        const std::uint64_t target = std::uint64_t(m_package->GetPosition()) + block.size;
        if (target > m_package->GetLength())
            return Err_PackageRead;   // a block past the package's end
        m_package->SetPosition(std::uint32_t(target));
    } catch (const StreamIO::StreamError &) {
        return Err_PackageRead;
    }
    return Err_Success;
}

NError_code CQxDevice::CheckPackage(const CContents &contents)
{
    if (const NError_code e = BeginStep(Res::IDS_UPGRADE_CHECKS))
        return e;
    const std::int32_t id = GetFirmwareId();
    if (id == -1)
        return Err_Communication;
    return std::uint32_t(id) == contents.header.firmwareId ? Err_Success : Err_PackageType;
}

NError_code CQxDevice::PrepareUpgrade(const CContents &)
{
    m_blockSent = false;
    return BeginStep(Res::IDS_UPGRADE_PREPARE);
}

NError_code CQxDevice::SetModeForBlock(const CContents &contents, const SBlockDescriptor &block)
{
    if (const NError_code e = BeginStep(Res::IDS_UPGRADE_SET_MODE))
        return e;
    const bool changed = m_operationMode != block.modeBefore;
    if (changed && ChangeMode(block.modeBefore) != Err_Success)
        return Err_ModeChangeFailed;
    if ((changed || !m_blockSent) && (block.modeBefore & SBlockDescriptor::kSendHeader))
        return SendHeaderBlock(contents);
    return Err_Success;
}

NError_code CQxDevice::UploadBlock(const SBlockDescriptor &block)
{
    if (const NError_code e = BeginStep(Res::IDS_UPGRADE_UPLOAD))
        return e;
    if (!m_package)
        return Err_BadArguments;
    const std::uint32_t piece = GetUploadBlockSize();
    QByteArray data(qsizetype(std::min(piece, block.size)), Qt::Uninitialized);
    std::uint32_t done = 0;
    while (done < block.size) {
        if (IsAborted())
            return Err_Aborted;
        const int n = int(std::min(piece, block.size - done));
        if (m_package->Read(data.data(), n) != n)
            return Err_UploadFailed;
        for (int at = 0; at < n; at += kDataPerFrame) {
            const int len = std::min(kDataPerFrame, n - at);
            std::uint8_t frame[1 + kDataPerFrame] = {kUploadData};
            std::memcpy(frame + 1, data.constData() + at, std::size_t(len));
            std::uint32_t reply = 0;
            if (m_commands->Execute(kBlockCommand, frame, std::uint32_t(1 + len), reply, sizeof frame, 2000, -1,
                                    nullptr)
                != Err_Success)
                return IsAborted() ? Err_Aborted : Err_UploadFailed;
        }
        std::uint8_t crc[5] = {kUploadCrc};
        qToLittleEndian(Crc32(reinterpret_cast<const std::uint8_t *>(data.constData()), std::size_t(n)), crc + 1);
        std::uint32_t reply = 0;
        if (m_commands->Execute(kBlockCommand, crc, sizeof crc, reply, sizeof crc, 2000, -1, nullptr) != Err_Success)
            return IsAborted() ? Err_Aborted : Err_UploadFailed;
        done += std::uint32_t(n);
    }
    return Err_Success;
}

NError_code CQxDevice::ProgramBlock(const SBlockDescriptor &block)
{
    if (!(block.modeAfter & SBlockDescriptor::kProgram))
        return Err_Success;
    if (const NError_code e = BeginStep(Res::IDS_UPGRADE_PROGRAM))
        return e;
    std::uint8_t frame[8] = {kProgram};
    std::uint32_t reply = 0;
    // Programming takes as long as the instrument needs; it answers when done.
    return m_commands->Execute(kBlockCommand, frame, 1, reply, sizeof frame, 60000, -1, nullptr) == Err_Success
               ? Err_Success
               : Err_ProgramFailed;
}

NError_code CQxDevice::FinishBlock(const CContents &contents, const SBlockDescriptor &block)
{
    if (const NError_code e = BeginStep(Res::IDS_UPGRADE_SET_MODE))
        return e;
    const bool changed = (block.modeAfter & 0x0F) != (block.modeBefore & 0x0F) || (block.modeAfter & 0x10);
    if (changed && ChangeMode(block.modeAfter) != Err_Success)
        return Err_ModeChangeFailed;
    if ((changed || !m_blockSent) && (block.modeAfter & SBlockDescriptor::kSendHeader))
        return SendHeaderBlock(contents);
    return Err_Success;
}

NError_code CQxDevice::FinishUpgrade()
{
    if (const NError_code e = BeginStep(Res::IDS_UPGRADE_FINISHED))
        return e;
    ReportProgress(100, 1);
    return Err_Success;
}

}   // namespace Device
