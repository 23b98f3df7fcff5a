#pragma once
// CVetraSmartDevice: the driver of the Vetrameter cover meter (type 3, serial
// only, family code 6).

#include "data/measurement.h"
#include "device/qxdevice.h"

#include <QList>

namespace Device {

// What a download brings: the record version and the objects.
struct STransferContainer
{
    CVersion version;
    QList<TVetraObject> objects;
};

class CVetraSmartDevice : public CQxDevice
{
public:
    static constexpr std::uint32_t kFamilyCode = 6;
    static constexpr std::uint32_t kRecordSize = 262;
    static constexpr std::uint32_t kBinaryBufferSize = 144100;
    static constexpr std::uint32_t kTextBufferSize = 5000000;
    static constexpr std::uint32_t kDefaultBaud = 19200;
    static constexpr std::uint32_t kDownloadBaud = 115200;

    enum NMode : std::uint8_t { Mode_Normal = 0, Mode_1 = 1, Mode_2 = 2 };
    enum NProtocol : std::uint8_t { Protocol_S = 3, Protocol_Text = 8 };

    CVetraSmartDevice();

    CQxDevice *CreateInstance() const override { return new CVetraSmartDevice; }
    bool Identify(SDeviceInfo &info) override;
    QString GetInfoText() override;
    QString GetSerialNumber() override { return m_identity.serialNumber; }
    bool QuickIdentify(SDeviceInfo &info) override;
    std::int32_t GetFirmwareId() override;
    NError_code PrepareUpgrade(const CContents &contents) override;
    NError_code SetModeForBlock(const CContents &contents, const SBlockDescriptor &block) override;
    NError_code UploadBlock(const SBlockDescriptor &block) override;
    NError_code ProgramBlock(const SBlockDescriptor &) override { return Err_Success; }
    NError_code FinishBlock(const CContents &, const SBlockDescriptor &) override { return Err_Success; }
    NError_code FinishUpgrade() override;

    // Service functions of application command 0xD2 (this program calls none of them).
    virtual QString ReadServiceText();
    virtual bool ServiceCommand31();
    virtual bool ServiceCommand32();
    virtual bool ServiceCommandText(const QString &a, const QString &b);
    virtual bool ServiceCommand4060(bool flag);
    virtual int ReadServiceByte();
    virtual bool ServiceCommand06();
    virtual bool ServiceCommand05();

    virtual bool DownloadObjects(STransferContainer &container, std::uint32_t baud, bool binary);
    // Deletes every object on the instrument; Err_Success when it did.
    virtual NError_code DeleteAllObjects();
    virtual QString FormatDataFile(const TVetraObject &object) const;
    virtual bool ParseDataFile(TVetraObject &object, const QString &text) const;
    // Type name, firmware version, serial number, hardware revision, signature.
    virtual QStringList GetIdentity() const;
    virtual bool ReadIdentityS(QString &text);
    virtual bool EnterMode1();
    virtual bool EnterMode2();
    virtual bool ParseBinaryObject(TVetraObject &object, const std::uint8_t *record) const;

    bool SetBaudRate(std::uint32_t baud);
    // The reply of a download request: false when it is malformed or a piece
    // failed (the objects read stay in the container).
    bool ParseBinaryReply(STransferContainer &container, const std::uint8_t *reply, std::uint32_t length) const;
    bool ParseTextReply(STransferContainer &container, const std::uint8_t *reply, std::uint32_t length) const;
    std::uint8_t GetMode() const { return m_mode; }
    std::uint8_t GetProtocol() const { return m_protocol; }
    const QString &GetHardwareRevision() const { return m_hardwareRevision; }
    const QString &GetSignature() const { return m_signature; }

private:
    bool sendS(const char *command, char echo);
    // 0xD2 with `payload`; the Query result, the reply in `reply`.
    int service(const QByteArray &payload, std::uint8_t *reply, std::uint32_t size);
    bool applyBaud(std::uint32_t baud);
    bool downloadReply(std::uint8_t *buffer, std::uint32_t size, int readMs, int totalMs, std::uint32_t &length,
                       bool &empty);

    std::uint8_t m_mode = Mode_Normal;
    std::uint8_t m_protocol = Protocol_Text;
    SDeviceInfo m_identity;
    QString m_hardwareRevision;
    QString m_signature;
    QString m_infoText;
};

}   // namespace Device
