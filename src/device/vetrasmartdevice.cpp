#include "device/vetrasmartdevice.h"

#include "data/datafile.h"
#include "device/framing.h"
#include "res/resources.h"
#include "streamio/rs232stream.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <thread>

using namespace StreamIO;

namespace Device {
namespace {

using namespace Framing;

// An 8-bit text field: up to the first zero byte, never past the field.
QString fieldText(const std::uint8_t *field, std::size_t width)
{
    const void *zero = std::memchr(field, 0, width);
    const std::size_t n = zero ? std::size_t(static_cast<const std::uint8_t *>(zero) - field) : width;
    return QString::fromLatin1(reinterpret_cast<const char *>(field), qsizetype(n));
}

// A signature as a 32-bit hexadecimal number; values from 0x80000000 do not read.
bool readSignature(const QString &text, std::uint32_t &value)
{
    bool ok = false;
    const qulonglong v = text.trimmed().toULongLong(&ok, 16);
    if (!ok || v > 0x7FFFFFFFull)
        return false;
    value = std::uint32_t(v);
    return true;
}

std::uint16_t le16(const std::uint8_t *p)
{
    return std::uint16_t(p[0] | (p[1] << 8));
}

}   // namespace

CVetraSmartDevice::CVetraSmartDevice()
    : CQxDevice(Type_Vetrameter, Port_Serial, QStringLiteral("Vetrameter"), kFamilyCode)
{
    m_lineSettings.baud = kDefaultBaud;
    m_lineSettings.dataBits = 8;
    m_lineSettings.parity = 0;
    m_lineSettings.stopBits = 0;
    m_lineSettings.handshake = 0;
    m_lineSettings.receiveQueue = 1024;
    m_lineSettings.transmitQueue = 256;
    m_lineSettings.readTimeout = 1500;
    m_lineSettings.writeTimeout = 50;
}

bool CVetraSmartDevice::sendS(const char *command, char echo)
{
    return Commands()->SendS(command, std::uint32_t(std::strlen(command)), echo);
}

bool CVetraSmartDevice::ReadIdentityS(QString &text)
{
    if (!IsConnected())
        return false;
    bool entered = false;
    if (m_mode == Mode_Normal) {
        if (!sendS("SC030202F8\r\n", 'G'))
            return false;
        m_mode = Mode_2;
        entered = true;
    }
    sendS("SI030000FC\r\n", 0);
    char buffer[66];
    const int n = GetStream()->Read(buffer, int(sizeof buffer));
    if (n <= 3)
        return false;
    text = QString::fromLatin1(buffer, n);
    if (entered) {
        if (!sendS("SC030200FA\r\n", 'G'))
            return false;
        m_mode = Mode_Normal;
    }
    return true;
}

bool CVetraSmartDevice::Identify(SDeviceInfo &info)
{
    SetLastFailure(NFailureCause::None);
    if (!IsConnected() || !GetStream()->IsOpen())
        return false;
    QString identity;
    if (Commands()->SendText("@ID@", 2000)) {
        identity = QString::fromLatin1(Commands()->ReplyText());
        if (m_mode == Mode_Normal)
            m_mode = Mode_2;
        m_protocol = Protocol_Text;
    } else {
        if (!ReadIdentityS(identity))
            return false;
        m_protocol = Protocol_S;
    }
    // Empty fields survive the splitting as "-".
    while (identity.contains(QStringLiteral(";;")))
        identity.replace(QStringLiteral(";;"), QStringLiteral(";-;"));
    const QStringList fields = identity.split(u';', Qt::SkipEmptyParts);
    if (fields.size() < 5)
        return false;
    m_identity = {fields[0], fields[4], fields[2]};
    m_hardwareRevision = fields[1];
    m_signature = fields[3];
    info = m_identity;
    std::uint32_t signature = 0;
    if (!readSignature(m_signature, signature))
        return false;
    if ((signature >> 24) != GetFamilyCode()) {
        SetLastFailure(NFailureCause::WrongType);
        return false;
    }
    return !m_identity.typeName.isEmpty() && !m_identity.firmwareVersion.isEmpty() && !m_identity.serialNumber.isEmpty()
           && !m_hardwareRevision.isEmpty() && !m_signature.isEmpty();
}

bool CVetraSmartDevice::QuickIdentify(SDeviceInfo &info)
{
    if (CQxDevice::QuickIdentify(info)) {
        if (m_mode == Mode_Normal)
            m_mode = Mode_2;
        m_protocol = Protocol_Text;
        return true;
    }
    return Identify(info);
}

QString CVetraSmartDevice::GetInfoText()
{
    m_infoText = Res::FormatString(
        Res::IDS_VETRA_INFO_TEXT,
        {m_identity.typeName, m_identity.serialNumber, m_identity.firmwareVersion, m_hardwareRevision, m_signature});
    return m_infoText;
}

std::int32_t CVetraSmartDevice::GetFirmwareId()
{
    SDeviceInfo info;
    std::uint32_t signature = 0;
    if (!Identify(info) || !readSignature(m_signature, signature))
        return 0;
    return std::int32_t(signature);
}

QStringList CVetraSmartDevice::GetIdentity() const
{
    return {m_identity.typeName, m_identity.firmwareVersion, m_identity.serialNumber, m_hardwareRevision, m_signature};
}

bool CVetraSmartDevice::EnterMode1()
{
    if (m_protocol != Protocol_S || !IsConnected())
        return false;
    if (m_mode == Mode_2) {
        if (!sendS("SC030200FA\r\n", 'G'))
            return false;
        m_mode = Mode_Normal;
    }
    if (!sendS("SC030102F9\r\n", 'G'))
        return false;
    m_mode = Mode_1;
    return true;
}

bool CVetraSmartDevice::EnterMode2()
{
    if (m_protocol != Protocol_S || !IsConnected())
        return false;
    if (m_mode == Mode_1) {
        if (!sendS("SC030100FB\r\n", 'G'))
            return false;
        m_mode = Mode_Normal;
    }
    if (!sendS("SC030202F8\r\n", 'G'))
        return false;
    m_mode = Mode_2;
    return true;
}

// ---------------------------------------------------------------------------
// Service functions

int CVetraSmartDevice::service(const QByteArray &payload, std::uint8_t *reply, std::uint32_t size)
{
    if (payload.size() > qsizetype(CQxCommands::kMaxPayload) || qsizetype(size) < payload.size())
        return CQxCommands::Query_BadArguments;
    std::memcpy(reply, payload.constData(), std::size_t(payload.size()));
    return Query(kAppCommand, std::uint32_t(payload.size()), reply, size, 3000);
}

QString CVetraSmartDevice::ReadServiceText()
{
    std::uint8_t reply[100] = {};
    const int n = service(QByteArray(1, char(0x33)), reply, sizeof reply);
    return n > 0 && n < 240 ? QString::fromLatin1(reinterpret_cast<const char *>(reply), std::min(n, 100)) : QString();
}

bool CVetraSmartDevice::ServiceCommand31()
{
    std::uint8_t reply[64] = {};
    return service(QByteArray(1, char(0x31)), reply, sizeof reply) < 240;
}

bool CVetraSmartDevice::ServiceCommand32()
{
    std::uint8_t reply[64] = {};
    return service(QByteArray(1, char(0x32)), reply, sizeof reply) < 240;
}

bool CVetraSmartDevice::ServiceCommandText(const QString &a, const QString &b)
{
    std::uint8_t reply[64] = {};
    return service('0' + a.toLatin1() + ';' + b.toLatin1(), reply, sizeof reply) < 240;
}

bool CVetraSmartDevice::ServiceCommand4060(bool flag)
{
    QByteArray payload("406000000");
    if (flag)
        payload[4] = '1';
    std::uint8_t reply[64] = {};
    return service(payload, reply, sizeof reply) < 240;
}

int CVetraSmartDevice::ReadServiceByte()
{
    std::uint8_t reply[64] = {};
    const int n = service(QByteArray(1, char(0x13)), reply, sizeof reply);
    return n > 0 && n < 240 ? reply[0] : -1;
}

bool CVetraSmartDevice::ServiceCommand06()
{
    std::uint8_t reply[64] = {};
    return service(QByteArray(1, char(0x06)), reply, sizeof reply) == 1 && reply[0] == 0;
}

bool CVetraSmartDevice::ServiceCommand05()
{
    std::uint8_t reply[64] = {};
    return service(QByteArray(1, char(0x05)), reply, sizeof reply) == 1 && reply[0] == 0;
}

// ---------------------------------------------------------------------------
// Baud rate

bool CVetraSmartDevice::applyBaud(std::uint32_t baud)
{
    m_lineSettings.baud = baud;
    auto *serial = dynamic_cast<CRs232Stream *>(GetStream());
    return serial && serial->SetLineSettings(m_lineSettings);
}

bool CVetraSmartDevice::SetBaudRate(std::uint32_t baud)
{
    if (!IsConnected() || baud == 0)
        return false;
    if (m_lineSettings.baud == baud)
        return true;
    char answer[1024];
    if (QueryText("BR ?", answer, int(sizeof answer), 2000) <= 0 || answer[0] == '?')
        return false;
    const int code = int(std::lround(4000000.0 / baud));
    QueryText(Res::Format(u"BR %03d\r", {code}).toLatin1().constData(), answer, int(sizeof answer), 2000);
    const std::uint32_t old = m_lineSettings.baud;
    bool applied = false;
    try {
        applied = applyBaud(baud);
    } catch (const StreamError &) {
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (applied && QueryText("BR ?", answer, int(sizeof answer), 2000) > 0 && answer[0] != '?')
        return true;
    try {
        applyBaud(old);
    } catch (const StreamError &) {
    }
    m_lineSettings.baud = old;
    return false;
}

// ---------------------------------------------------------------------------
// Download and deletion

bool CVetraSmartDevice::ParseBinaryObject(TVetraObject &o, const std::uint8_t *r) const
{
    if (!r)
        return false;
    o.version = CVersion((std::uint64_t(r[0]) << 32) | r[1]);
    o.deviceName = fieldText(r + 2, 16);
    o.serialNumber = fieldText(r + 18, 16);
    o.softwareVersion = fieldText(r + 34, 9);
    o.hardwareIndex = fieldText(r + 43, 5);
    o.signature = fieldText(r + 48, 9);
    o.regional = r[57];
    o.storageMode = r[58] == 'A' ? 1 : r[58] == 'M' ? 0 : kUnknownSetting;
    o.rawDefaultBarDiameter = r[59];
    o.neighborCorrection = r[60];
    o.objectNumber = le16(r + 61);
    const int count = r[63];
    if (count > kMaxMeasurements)
        return false;
    o.measurements.clear();
    for (int i = 0; i < count; ++i)
        o.measurements.push_back({std::uint8_t(i + 1), r[64 + i], r[163 + i]});
    return true;
}

bool CVetraSmartDevice::ParseBinaryReply(STransferContainer &c, const std::uint8_t *reply, std::uint32_t length) const
{
    if (length < 5 || reply[0] != 1 || le16(reply + 3) != kRecordSize)
        return false;
    const std::uint32_t n = le16(reply + 1);
    // Every announced record must be there: never read past the reply.
    if (length < 5 + std::uint64_t(kRecordSize) * n)
        return false;
    c.version = CVersion(std::uint64_t(1) << 32);
    int failed = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
        TVetraObject o;
        if (ParseBinaryObject(o, reply + 5 + std::size_t(i) * kRecordSize))
            c.objects.append(std::move(o));
        else
            ++failed;
    }
    return failed == 0;
}

bool CVetraSmartDevice::ParseTextReply(STransferContainer &c, const std::uint8_t *reply, std::uint32_t length) const
{
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(reply), qsizetype(length));
    // "%c;%d;": the character '1', the count, each followed by ';'.
    if (text.size() < 4 || text[0] != u'1' || text[1] != u';')
        return false;
    qsizetype end = text.indexOf(u';', 2);
    bool ok = false;
    const int n = end > 2 ? text.mid(2, end - 2).trimmed().toInt(&ok) : 0;
    if (!ok || n < 1 || n > 500)
        return false;
    c.version = CVersion(std::uint64_t(1) << 32);
    qsizetype pos = end + 1;
    int failed = 0;
    const QString eof = QStringLiteral("<eof>");
    for (int i = 0; i < n; ++i) {
        const qsizetype header = text.indexOf(kDataFileMarker, pos);
        if (header < 0)
            return false;
        const qsizetype stop = text.indexOf(eof, header);
        if (stop < 0) {
            ++failed;
            break;
        }
        TVetraObject o;
        try {
            if (ParseDataFile(o, text.mid(header, stop - header)))
                c.objects.append(std::move(o));
            else
                ++failed;
        } catch (const DataFileError &) {
            ++failed;   // an impossible date spoils this object, not the download
        }
        pos = stop;
    }
    return failed == 0;
}

bool CVetraSmartDevice::downloadReply(std::uint8_t *buffer, std::uint32_t size, int readMs, int totalMs,
                                      std::uint32_t &length, bool &empty)
{
    empty = false;
    const NError_code result = Execute(kAppCommand, buffer, 1, length, size, readMs, totalMs);
    if (result == Err_Success) {
        // The checksum after the data is no part of the reply's content.
        length = std::min(length, Commands()->LastDataLength());
        return true;
    }
    // "No objects" is the instrument's status byte for a refused request only.
    empty = result == Err_Communication && Commands()->LastStatus() == kNoObjects;
    return false;
}

bool CVetraSmartDevice::DownloadObjects(STransferContainer &c, std::uint32_t baud, bool binary)
{
    if (!IsConnected()) {
        SetLastFailure(NFailureCause::NotConnected);
        return false;
    }
    int readMs = -1, writeMs = -1;
    const bool hadTimeouts = GetStream()->GetTimeouts(readMs, writeMs);
    c.objects.clear();

    const std::uint32_t size = binary ? kBinaryBufferSize : kTextBufferSize;
    std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[size]());
    buffer[0] = binary ? kBinaryDownload : kTextDownload;
    SetBaudRate(baud);
    std::uint32_t length = 0;
    bool empty = false;
    const bool ok = binary ? downloadReply(buffer.get(), size, 1500, 80000, length, empty)
                           : downloadReply(buffer.get(), size, 35000, 2400000, length, empty);
    const SFailure failure = LastFailure();
    try {
        if (hadTimeouts)
            GetStream()->SetTimeouts(readMs, writeMs);
    } catch (const StreamError &) {
    }
    SetBaudRate(kDefaultBaud);
    if (!ok) {
        SetLastFailure(empty ? SFailure{} : failure);
        return empty;
    }
    const bool parsed = binary ? ParseBinaryReply(c, buffer.get(), length) : ParseTextReply(c, buffer.get(), length);
    SetLastFailure(parsed ? NFailureCause::None : NFailureCause::BadReply);
    return parsed;
}

NError_code CVetraSmartDevice::DeleteAllObjects()
{
    std::uint8_t buffer[64] = {kDeleteAll};
    std::uint32_t length = 0;
    return Execute(kAppCommand, buffer, 1, length, sizeof buffer, 2000, -1);
}

QString CVetraSmartDevice::FormatDataFile(const TVetraObject &object) const
{
    return ::FormatDataFile(object);
}

bool CVetraSmartDevice::ParseDataFile(TVetraObject &object, const QString &text) const
{
    return ::ParseDataFile(text, object);
}

}   // namespace Device
