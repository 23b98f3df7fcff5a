#pragma once
// CQxDevice: the abstract instrument driver. Once connected it owns the stream
// and a command engine on it; derived classes identify the instrument and
// carry out its functions.

#include "device/callback.h"
#include "device/devicetypes.h"
#include "device/errorcode.h"
#include "device/failure.h"
#include "device/qxcommands.h"
#include "device/upgradepackage.h"
#include "streamio/rs232stream.h"

#include <QString>

#include <cstdint>
#include <memory>

namespace StreamIO {
class CIoStream;
}

namespace Device {

struct SLoginRecord
{
    QString user;
    QString text;
    std::uint32_t flags = 0;
    std::int32_t value = 0;
};

class CQxDevice
{
public:
    CQxDevice(NTypes type, std::uint32_t portMask, QString typeName, std::uint32_t familyCode);
    CQxDevice(const CQxDevice &) = delete;
    CQxDevice &operator=(const CQxDevice &) = delete;

    virtual ~CQxDevice();
    virtual CQxDevice *CreateInstance() const = 0;
    virtual QString GetErrorText(NError_code code) const;
    // Takes ownership of an open stream of kind 1, 2 or 4.
    virtual bool Connect(StreamIO::CIoStream *stream, NPorts kind);
    // Gives the stream back; the caller owns it then.
    virtual StreamIO::CIoStream *Disconnect();
    virtual StreamIO::CIoStream *GetStream() const { return m_stream.get(); }
    virtual QString GetStreamName() const;
    virtual NPorts GetPortKind() const { return m_portKind; }
    virtual bool AttachPackage(StreamIO::CIoStream *package);
    virtual StreamIO::CIoStream *DetachPackage();
    virtual bool SetCallback(CCallback *callback);
    virtual CCallback *DetachCallback();
    virtual std::uint32_t GetUploadBlockSize() const { return 0x8000; }
    virtual int GetUploadChecksumKind() const { return 2; }
    virtual StreamIO::SSerialSettings *GetLineSettings() { return &m_lineSettings; }
    virtual bool Login(SLoginRecord &record);
    virtual bool Logout();
    virtual bool SetRemoteSession(bool on, int timeoutMs);
    virtual bool SendSessionCommand();
    // File commands of instruments with a file system; false when not connected.
    virtual bool ListDirectory(std::uint16_t directory, QString &listing);
    virtual bool LoadFile(StreamIO::CIoStream &destination, const QString &name);
    virtual bool SaveFileFrom(const QString &name, StreamIO::CIoStream &source);
    virtual bool SaveEmptyFile(const QString &name);
    virtual bool MoveDeviceFile(const QString &from, const QString &to);
    virtual bool DeleteDeviceFile(const QString &name);
    virtual bool RestartSession();
    virtual bool Identify(SDeviceInfo &info) = 0;
    virtual QString GetInfoText() = 0;
    virtual QString GetSerialNumber() = 0;
    virtual bool QuickIdentify(SDeviceInfo &info);
    virtual std::int32_t GetFirmwareId();
    virtual int QueryText(const char *command, char *answer, int answerSize, int timeoutMs);
    virtual NError_code Execute(std::uint8_t command, std::uint8_t *buffer, std::uint32_t payloadLength,
                                std::uint32_t &replyLength, std::uint32_t bufferSize, int readTimeoutMs,
                                int totalTimeoutMs);
    virtual int Query(std::uint8_t command, std::uint32_t payloadLength, std::uint8_t *buffer, std::uint32_t bufferSize,
                      int timeoutMs);

    // The steps of an upgrade job. Each returns 9 when the job was aborted
    // and 1 when the driver is not connected, and sends its status line.
    virtual NError_code SkipBlock(const SBlockDescriptor &block);
    virtual NError_code CheckPackage(const CContents &contents);
    virtual NError_code PrepareUpgrade(const CContents &contents);
    virtual NError_code SetModeForBlock(const CContents &contents, const SBlockDescriptor &block);
    virtual NError_code UploadBlock(const SBlockDescriptor &block);
    virtual NError_code ProgramBlock(const SBlockDescriptor &block);
    virtual NError_code FinishBlock(const CContents &contents, const SBlockDescriptor &block);
    virtual NError_code FinishUpgrade();

    NTypes GetType() const { return m_type; }
    std::uint32_t GetPortMask() const { return m_portMask; }
    const QString &GetTypeName() const { return m_typeName; }
    std::uint32_t GetFamilyCode() const { return m_familyCode; }
    bool IsConnected() const { return m_stream && m_commands; }
    CQxCommands *Commands() const { return m_commands.get(); }
    CCallback *Callback() const { return m_callback; }
    void SetStatusSuffix(const QString &suffix) { m_statusSuffix = suffix; }

    StreamIO::CIoStream *GetPackage() const { return m_package; }

    // Why the last operation failed, for the second line of its message.
    const SFailure &LastFailure() const { return m_lastFailure; }

protected:
    // Sends a status line (a string resource plus the suffix) to the callback.
    void ReportStatus(int stringId);
    // The common start of an upgrade step: 9 aborted, 1 not connected, else
    // the status line is sent and 0 returned.
    NError_code BeginStep(int statusId);
    void ReportProgress(int percent, int kind);
    // The operation-mode change and header block of the base steps.
    NError_code ChangeMode(std::uint8_t mode);
    NError_code SendHeaderBlock(const CContents &contents);

    void SetLastFailure(const SFailure &failure) { m_lastFailure = failure; }
    void SetLastFailure(NFailureCause cause)
    {
        m_lastFailure = SFailure();
        m_lastFailure.cause = cause;
    }

    StreamIO::SSerialSettings m_lineSettings;

private:
    SFailure m_lastFailure;
    StreamIO::CIoStream *m_package = nullptr;
    std::unique_ptr<StreamIO::CIoStream> m_stream;
    NPorts m_portKind = Port_None;
    CCallback *m_callback = nullptr;
    std::unique_ptr<CQxCommands> m_commands;
    SLoginRecord m_login;
    bool m_blockSent = false;   // the header block went to the instrument in this upgrade
    std::uint8_t m_operationMode = 0;
    QString m_statusSuffix;
    const NTypes m_type;
    const std::uint32_t m_portMask;
    const QString m_typeName;
    const std::uint32_t m_familyCode;
};

// A new, unconnected driver of `type`, or null for types without a driver.
CQxDevice *CreateDevice(NTypes type);
// The display name of `type`, or an empty text.
QString GetTypeName(NTypes type);

}   // namespace Device
