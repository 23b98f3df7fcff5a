// The cover meter's upgrade steps: erase with S-commands, then S-records
// each answered with 'P'.
#include "device/vetrasmartdevice.h"

#include "device/worker.h"
#include "res/resources.h"
#include "streamio/iostream.h"

#include <QtEndian>

#include <chrono>
#include <thread>

using StreamIO::StreamError;

namespace Device {
namespace {

constexpr int kMinReadTimeout = 3000;
constexpr int kEraseTimeout = 15000;
constexpr std::uint8_t kSRecordContent = 0x40;
constexpr int kSubHeaderSize = 16;

}   // namespace

NError_code CVetraSmartDevice::PrepareUpgrade(const CContents &contents)
{
    if (CQxDevice::PrepareUpgrade(contents) != Err_Success)
        return Err_BadArguments;
    StreamIO::CIoStream &stream = *GetStream();
    int readMs = -1, writeMs = -1;
    try {
        stream.GetTimeouts(readMs, writeMs);
        if (readMs >= 0 && readMs < kMinReadTimeout && !stream.SetTimeouts(kMinReadTimeout, kMinReadTimeout))
            return Err_Communication;
        if (readMs >= 0 && readMs < kMinReadTimeout)
            readMs = writeMs = kMinReadTimeout;
        if (m_protocol == Protocol_Text) {
            std::uint8_t buffer[8] = {0x01};
            if (Query(0xD2, 1, buffer, sizeof buffer, 3000) >= 240)
                return Err_ModeChangeFailed;
            for (int i = 0; i < 5; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                sendS("SC030000FC\r\n", 0);
            }
            m_mode = Mode_Normal;
            m_protocol = Protocol_S;
        }
    } catch (const StreamError &) {
        return Err_ModeChangeFailed;
    }
    ReportStatus(Res::IDS_UPGRADE_ERASE);
    ReportProgress(0, 1);
    if (!EnterMode1())
        return Err_ModeChangeFailed;
    // From here on any failure puts the time-outs back and is a communication error.
    try {
        if (!stream.SetTimeouts(kEraseTimeout, kEraseTimeout))
            return Err_Communication;
        const bool erased = sendS("SE030000FC\r\n", 'E') && (ReportProgress(50, 1), EnterMode2())
                            && sendS("SE030000FC\r\n", 'E');
        stream.SetTimeouts(readMs, writeMs);
        if (!erased)
            return Err_Communication;
    } catch (const StreamError &) {
        try {
            stream.SetTimeouts(readMs, writeMs);
        } catch (const StreamError &) {
        }
        return Err_Communication;
    }
    ReportProgress(100, 1);
    return Err_Success;
}

NError_code CVetraSmartDevice::SetModeForBlock(const CContents &, const SBlockDescriptor &block)
{
    if (const NError_code e = BeginStep(Res::IDS_UPGRADE_SET_MODE))
        return e;
    if (block.deviceMode == m_mode || (block.modeBefore & 0x08))
        return Err_Success;
    try {
        switch (block.deviceMode) {
        case Mode_1: return EnterMode1() ? Err_Success : Err_ModeChangeFailed;
        case Mode_2: return EnterMode2() ? Err_Success : Err_ModeChangeFailed;
        default: return Err_BadArguments;
        }
    } catch (const StreamError &) {
        return Err_ModeChangeFailed;
    }
}

NError_code CVetraSmartDevice::UploadBlock(const SBlockDescriptor &block)
{
    if (const NError_code e = BeginStep(Res::IDS_UPGRADE_UPLOAD))
        return e;
    if ((block.contentKind & 0xF0) != kSRecordContent)
        return Err_Success;   // only S-record data goes to this instrument
    StreamIO::CIoStream *package = GetPackage();
    if (!package)
        return Err_BadArguments;
    char sub[kSubHeaderSize];
    if (package->Read(sub, kSubHeaderSize) != kSubHeaderSize)
        return Err_UploadFailed;
    const std::uint16_t headerLength = qFromLittleEndian<std::uint16_t>(sub + 4);
    const std::uint32_t dataLength = qFromLittleEndian<std::uint32_t>(sub + 12);
    if (headerLength < 16 || headerLength > 512 || block.size < headerLength || dataLength != block.size - headerLength)
        return Err_UploadFailed;
    // Nothing is allocated for data the package does not hold.
    if (package->IsRandomAccess()
        && std::uint64_t(package->GetPosition()) + block.size - kSubHeaderSize > package->GetLength())
        return Err_UploadFailed;
    QByteArray skip(headerLength - kSubHeaderSize, Qt::Uninitialized);
    if (!skip.isEmpty() && package->Read(skip.data(), int(skip.size())) != skip.size())
        return Err_UploadFailed;
    QByteArray data(qsizetype(dataLength), Qt::Uninitialized);
    if (package->Read(data.data(), int(dataLength)) != int(dataLength))
        return Err_UploadFailed;
    // One record from each 'S' to the next.
    qsizetype sent = 0;
    try {
        while (sent < data.size()) {
            if (IsAborted())
                return Err_Aborted;
            qsizetype next = data.indexOf('S', sent + 1);
            if (next < 0)
                next = data.size();
            const QByteArray record = data.mid(sent, next - sent);
            if (!Commands()->SendS(record.constData(), std::uint32_t(record.size()), 'P'))
                return IsAborted() ? Err_Aborted : Err_UploadFailed;
            sent = next;
            ReportProgress(int(sent * 100 / data.size()), 2);
        }
    } catch (const StreamError &) {
        return IsAborted() ? Err_Aborted : Err_UploadFailed;
    }
    return Err_Success;
}

NError_code CVetraSmartDevice::FinishUpgrade()
{
    if (IsAborted())
        return Err_Aborted;
    try {
        if (m_mode != Mode_1 && !EnterMode1())
            return Err_Communication;
        if (!sendS("SX030000FC\r\n", 'X') || !sendS("SC030202F8\r\n", 'G') || !sendS("SX030000FC\r\n", 'X'))
            return Err_Communication;
    } catch (const StreamError &) {
        return Err_Communication;
    }
    m_mode = Mode_2;
    return CQxDevice::FinishUpgrade();
}

}   // namespace Device
