#include "device/qxdevice.h"

#include "device/vetrasmartdevice.h"
#include "device/worker.h"
#include "res/resources.h"
#include "streamio/iostream.h"

#include <cstring>

namespace Device {
namespace {

struct ErrorText
{
    NError_code code;
    Res::StrId text;
    bool restartAdvice;
};
constexpr ErrorText kErrorTexts[] = {
    {Err_UploadFailed, Res::IDS_DEVERR_UPLOAD, true},    {Err_ProgramFailed, Res::IDS_DEVERR_PROGRAM, true},
    {Err_ModeChangeFailed, Res::IDS_DEVERR_MODE, true},  {Err_Communication, Res::IDS_DEVERR_COMMUNICATION, true},
    {Err_PackageRead, Res::IDS_DEVERR_FILE_READ, false}, {Err_PackageType, Res::IDS_DEVERR_PACKAGE_TYPE, false},
    {Err_Aborted, Res::IDS_DEVERR_ABORTED, false},       {Err_HardwareRevision, Res::IDS_DEVERR_HARDWARE, false},
    {Err_NeedsNewerOs, Res::IDS_DEVERR_NEWER_OS, false},
};

struct TypeEntry
{
    NTypes type;
    const char16_t *name;
    CQxDevice *(*create)();
};
// Only the cover meter has a driver in this program; the other families of
// the instrument layer are not built.
constexpr TypeEntry kTypes[] = {
    {Type_Vetrameter, u"Vetrameter", [] { return static_cast<CQxDevice *>(new CVetraSmartDevice); }},
};

}   // namespace

void CCallback::OnDeviceFound(CQxDevice *device)
{
    delete device;
}

QString GetPortKindText(NPorts kind)
{
    switch (kind) {
    case Port_Serial: return Res::LoadString(Res::IDS_PORT_SERIAL);
    case Port_Usb: return Res::LoadString(Res::IDS_PORT_USB);
    case Port_Ip: return Res::LoadString(Res::IDS_PORT_ETHERNET);
    default: return {};
    }
}

CQxDevice::CQxDevice(NTypes type, std::uint32_t portMask, QString typeName, std::uint32_t familyCode)
    : m_type(type), m_portMask(portMask), m_typeName(std::move(typeName)), m_familyCode(familyCode)
{
}

CQxDevice::~CQxDevice()
{
    m_commands.reset();
    if (m_stream)
        m_stream->Abort();   // closing may fail on a lost link; that must not escape
}

QString CQxDevice::GetErrorText(NError_code code) const
{
    for (const ErrorText &e : kErrorTexts) {
        if (e.code == code) {
            const QString text = Res::LoadString(e.text);
            return e.restartAdvice ? text + Res::LoadString(Res::IDS_DEVERR_RESTART) : text;
        }
    }
    return Res::FormatString(Res::IDS_DEVERR_GENERIC, {int(code)}) + Res::LoadString(Res::IDS_DEVERR_RESTART);
}

bool CQxDevice::Connect(StreamIO::CIoStream *stream, NPorts kind)
{
    if (m_stream || m_portKind != Port_None)
        return false;
    if ((kind != Port_Serial && kind != Port_Usb && kind != Port_Ip) || !stream || !stream->IsOpen())
        return false;
    m_stream.reset(stream);
    m_portKind = kind;
    m_commands = std::make_unique<CQxCommands>(stream);
    m_commands->SetAbortTest(&WorkerAbortTest, 0);
    m_commands->SetLineEndMode(false, false);
    return true;
}

StreamIO::CIoStream *CQxDevice::Disconnect()
{
    m_commands.reset();
    m_portKind = Port_None;
    return m_stream.release();
}

QString CQxDevice::GetStreamName() const
{
    return m_stream ? m_stream->GetName() : QString();
}

bool CQxDevice::AttachPackage(StreamIO::CIoStream *package)
{
    if (m_package || !package || !package->IsOpen())
        return false;
    m_package = package;
    return true;
}

StreamIO::CIoStream *CQxDevice::DetachPackage()
{
    return std::exchange(m_package, nullptr);
}

bool CQxDevice::SetCallback(CCallback *callback)
{
    if (m_callback || !callback)
        return false;
    m_callback = callback;
    return true;
}

CCallback *CQxDevice::DetachCallback()
{
    return std::exchange(m_callback, nullptr);
}

bool CQxDevice::Login(SLoginRecord &record)
{
    m_login = SLoginRecord{};
    m_login.text = Res::LoadString(Res::IDS_NO_REMOTE_LOGIN);
    m_login.flags = 6;
    record = m_login;
    return true;
}

bool CQxDevice::Logout()
{
    m_login = SLoginRecord{};
    return true;
}

bool CQxDevice::SetRemoteSession(bool on, int timeoutMs)
{
    return IsConnected() && m_commands->SetRemoteSession(on, timeoutMs);
}

bool CQxDevice::SendSessionCommand()
{
    if (!IsConnected())
        return false;
    std::uint8_t payload[2] = {0x12, 0xD0};
    return m_commands->ShortExchange(0xF4, 2, payload, 1, 20000) == 1;
}

bool CQxDevice::ListDirectory(std::uint16_t directory, QString &listing)
{
    return IsConnected() && m_commands->ListDirectory(directory, listing);
}

bool CQxDevice::LoadFile(StreamIO::CIoStream &destination, const QString &name)
{
    return IsConnected() && m_commands->LoadFile(destination, name);
}

bool CQxDevice::SaveFileFrom(const QString &name, StreamIO::CIoStream &source)
{
    return IsConnected() && m_commands->SaveFileFrom(name, source);
}

bool CQxDevice::SaveEmptyFile(const QString &name)
{
    return IsConnected() && m_commands->SaveEmptyFile(name);
}

bool CQxDevice::MoveDeviceFile(const QString &from, const QString &to)
{
    return IsConnected() && m_commands->MoveDeviceFile(from, to);
}

bool CQxDevice::DeleteDeviceFile(const QString &name)
{
    return IsConnected() && m_commands->DeleteDeviceFile(name);
}

bool CQxDevice::QuickIdentify(SDeviceInfo &info)
{
    if (!IsConnected() || !m_commands->SendText("ID", 2000))
        return false;
    const QStringList fields = QString::fromLatin1(m_commands->ReplyText()).split(u';');
    if (fields.size() < 3)
        return false;
    info = {fields[0], fields[1], fields[2]};
    return !info.typeName.isEmpty() && !info.firmwareVersion.isEmpty() && !info.serialNumber.isEmpty();
}

std::int32_t CQxDevice::GetFirmwareId()
{
    return IsConnected() ? std::int32_t(m_commands->ReadValue()) : -1;
}

int CQxDevice::QueryText(const char *command, char *answer, int answerSize, int timeoutMs)
{
    if (!IsConnected())
        return -1;
    return m_commands->QueryText(command, answer, answerSize, timeoutMs < 0 ? 1000 : timeoutMs);
}

NError_code CQxDevice::Execute(std::uint8_t command, std::uint8_t *buffer, std::uint32_t payloadLength,
                               std::uint32_t &replyLength, std::uint32_t bufferSize, int readTimeoutMs,
                               int totalTimeoutMs)
{
    replyLength = 0;
    if (!IsConnected() || !buffer || bufferSize == 0) {
        SetLastFailure(IsConnected() ? NFailureCause::None : NFailureCause::NotConnected);
        return Err_BadArguments;
    }
    const NError_code result = m_commands->Execute(command, buffer, payloadLength, replyLength, bufferSize,
                                                   readTimeoutMs < 0 ? 2000 : readTimeoutMs, totalTimeoutMs,
                                                   m_callback);
    m_lastFailure = m_commands->LastFailure();
    return result;
}

int CQxDevice::Query(std::uint8_t command, std::uint32_t payloadLength, std::uint8_t *buffer, std::uint32_t bufferSize,
                     int timeoutMs)
{
    if (!IsConnected())
        return 0;
    return m_commands->Query(command, payloadLength, buffer, bufferSize, timeoutMs < 0 ? 1000 : timeoutMs);
}

void CQxDevice::ReportStatus(int stringId)
{
    if (m_callback)
        m_callback->OnStatus(Res::LoadString(stringId) + m_statusSuffix);
}

CQxDevice *CreateDevice(NTypes type)
{
    for (const TypeEntry &t : kTypes)
        if (t.type == type)
            return t.create();
    return nullptr;
}

QString GetTypeName(NTypes type)
{
    for (const TypeEntry &t : kTypes)
        if (t.type == type)
            return QString::fromUtf16(t.name);
    return {};
}

}   // namespace Device
