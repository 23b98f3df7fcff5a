#include "streamio/rs232stream.h"

#include "res/resources.h"
#include "streamio/portmap.h"

#include <cerrno>
#include <cstring>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace StreamIO {
namespace {

struct BaudCode
{
    std::uint32_t baud;
    speed_t code;
};
constexpr BaudCode kBauds[] = {
    {50, B50},           {75, B75},         {110, B110},         {134, B134},         {150, B150},
    {200, B200},         {300, B300},       {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},       {4800, B4800},     {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200}, {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600}, {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000},
};

speed_t speedCode(std::uint32_t baud)
{
    for (const BaudCode &b : kBauds)
        if (b.baud == baud)
            return b.code;
    return B0;
}

std::uint32_t baudOf(speed_t code)
{
    for (const BaudCode &b : kBauds)
        if (b.code == code)
            return b.baud;
    return 0;
}

// Errors of the device that mean "this device cannot do that".
bool unsupported(int e)
{
    return e == ENOTTY || e == EINVAL || e == ENOTSUP || e == ENOSYS;
}

}   // namespace

CRs232Stream::CRs232Stream(std::uint32_t port, std::uint32_t flags, const SSerialSettings *settings)
{
    if (!OpenPort(port, flags, settings))
        throw StreamError(GetErrorCode(), GetName());
}

int CRs232Stream::BytesPerSecond(const SSerialSettings &s)
{
    const std::uint32_t bitsPerChar = 10 + (s.parity != 0 ? 1 : 0) + (s.stopBits != 0 ? 1 : 0);
    return int(s.baud / bitsPerChar * s.dataBits / 8);
}

bool CRs232Stream::OpenPort(std::uint32_t port, std::uint32_t flags, const SSerialSettings *settings)
{
    if (settings && settings->marker != SSerialSettings::kMarker) {
        SetError(ERR_INVALID_PARAMETER);
        return false;
    }
    if (IsOpen()) {
        SetError(ERR_NOT_SUPPORTED);
        return false;
    }
    m_port = port;
    const QString device = ResolvePort(port);
    const QString portName = QStringLiteral("COM%1").arg(port);
    try {
        if (device.isEmpty())
            throw StreamError(ERR_FILE_NOT_FOUND, portName);
        Open(device, flags & ~SO_CREATE_MASK);
    } catch (const StreamError &e) {
        // Say which port failed and what the user can do about it.
        Res::StrId reason = Res::IDS_SERIAL_OTHER;
        if (e.code() == ERR_FILE_NOT_FOUND || e.code() == ERR_PATH_NOT_FOUND || e.code() == ERR_DEVICE_NOT_CONNECTED)
            reason = Res::IDS_SERIAL_NO_SUCH_PORT;
        else if (e.code() == ERR_ACCESS_DENIED)
            reason = Res::IDS_SERIAL_PERMISSION;
        else if (e.code() == ERR_SHARING_VIOLATION || e.code() == ERR_BUSY)
            reason = Res::IDS_SERIAL_BUSY;
        const QString why = e.systemText().isEmpty() ? StreamCodeText(e.code()) : e.systemText();
        const QString text = Res::FormatString(reason, {portName, why});
        SetError(e.code());
        throw StreamError(e.code(), device.isEmpty() ? portName : device, text);
    }
    if (!::isatty(Descriptor())) {
        const std::uint32_t code = ERR_NOT_SUPPORTED;
        Close();
        SetError(code);
        throw StreamError(code, device, Res::FormatString(Res::IDS_SERIAL_NOT_A_PORT, {portName}));
    }
    if (settings) {
        m_settings = *settings;
        SetLineSettings(m_settings);
    } else {
        GetLineSettings(m_settings);
    }
    return GetErrorCode() == 0;
}

bool CRs232Stream::Reopen()
{
    if (GetName().isEmpty())
        return false;
    if (!Open(GetName(), GetFlags()))
        return false;
    return SetLineSettings(m_settings);
}

bool CRs232Stream::GetLineSettings(SSerialSettings &out)
{
    RequireOpen();
    termios t{};
    if (::tcgetattr(Descriptor(), &t) != 0) {
        out = SSerialSettings{0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
        SetError(CodeFromErrno(errno));
        return false;
    }
    out.marker = SSerialSettings::kMarker;
    out.baud = baudOf(cfgetospeed(&t));
    switch (t.c_cflag & CSIZE) {
    case CS5: out.dataBits = 5; break;
    case CS6: out.dataBits = 6; break;
    case CS7: out.dataBits = 7; break;
    default: out.dataBits = 8; break;
    }
    if (!(t.c_cflag & PARENB))
        out.parity = 0;
    else if (t.c_cflag & CMSPAR)
        out.parity = (t.c_cflag & PARODD) ? 3 : 4;
    else
        out.parity = (t.c_cflag & PARODD) ? 2 : 1;
    out.stopBits = (t.c_cflag & CSTOPB) ? 2 : 0;
    // The lines the terminal settings cannot show keep what was applied.
    out.handshake = std::uint8_t((m_settings.handshake & (SSerialSettings::HS_DTRDSR | SSerialSettings::HS_RTS_OFF))
                                 | ((t.c_iflag & (IXON | IXOFF)) ? SSerialSettings::HS_XONXOFF : 0)
                                 | ((t.c_cflag & CRTSCTS) ? SSerialSettings::HS_RTSCTS : 0));
    out.receiveQueue = m_settings.receiveQueue;
    out.transmitQueue = m_settings.transmitQueue;
    int readMs = -1, writeMs = -1;
    GetTimeouts(readMs, writeMs);
    out.readTimeout = readMs;
    out.writeTimeout = writeMs;
    SetError(0);
    return true;
}

void CRs232Stream::applyModemLines(std::uint8_t handshake)
{
    int lines = TIOCM_DTR;
    ::ioctl(Descriptor(), TIOCMBIS, &lines);   // DTR on; a pseudo-terminal has no lines (ENOTTY)
    lines = TIOCM_RTS;
    const bool rtsOn = !(handshake & SSerialSettings::HS_RTS_OFF);
    ::ioctl(Descriptor(), rtsOn ? TIOCMBIS : TIOCMBIC, &lines);
}

bool CRs232Stream::SetLineSettings(const SSerialSettings &in)
{
    RequireOpen();
    if (in.marker != SSerialSettings::kMarker) {
        SetError(ERR_INVALID_PARAMETER);
        return false;
    }
    termios t{};
    if (::tcgetattr(Descriptor(), &t) != 0) {
        SetError(CodeFromErrno(errno));
        return false;
    }
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    switch (in.dataBits) {
    case 5: t.c_cflag |= CS5; break;
    case 6: t.c_cflag |= CS6; break;
    case 7: t.c_cflag |= CS7; break;
    default: t.c_cflag |= CS8; break;
    }
    switch (in.parity) {
    case 1: t.c_cflag |= PARENB; break;
    case 2: t.c_cflag |= PARENB | PARODD; break;
    case 3: t.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case 4: t.c_cflag |= PARENB | CMSPAR; break;
    default: break;
    }
    if (in.parity != 0)
        t.c_iflag |= INPCK;
    if (in.stopBits != 0)
        t.c_cflag |= CSTOPB;
    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    if (in.handshake & SSerialSettings::HS_XONXOFF) {
        t.c_iflag |= IXON | IXOFF;
        t.c_cc[VSTART] = 0x11;
        t.c_cc[VSTOP] = 0x13;
    }
    if ((in.handshake & SSerialSettings::HS_RTSCTS) && !(in.handshake & SSerialSettings::HS_RTS_OFF))
        t.c_cflag |= CRTSCTS;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    const speed_t speed = speedCode(in.baud);
    if (speed == B0) {
        SetError(ERR_INVALID_PARAMETER);
        return false;
    }
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    if (::tcsetattr(Descriptor(), TCSANOW, &t) != 0) {
        if (!unsupported(errno)) {
            SetError(CodeFromErrno(errno));
            return false;
        }
        // The device refuses the framing (a pseudo-terminal): keep 8N1 and the rate.
        t.c_cflag = (t.c_cflag & ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB)) | CS8;
        t.c_iflag &= ~INPCK;
        ::tcsetattr(Descriptor(), TCSANOW, &t);
    }
    applyModemLines(in.handshake);
    m_settings = in;
    SetError(0);
    if (in.readTimeout != 0 || in.writeTimeout != 0)
        SetTimeouts(in.readTimeout, in.writeTimeout);
    return GetErrorCode() == 0;
}

void CRs232Stream::ClearInput()
{
    RequireOpen();
    if ((GetFlags() & SO_READ) && ::tcflush(Descriptor(), TCIFLUSH) != 0)
        RaiseErrno(errno);
}

int CRs232Stream::GetInputCount()
{
    RequireOpen();
    if (!(GetFlags() & SO_READ))
        return 0;
    int count = 0;
    if (::ioctl(Descriptor(), FIONREAD, &count) != 0)
        RaiseErrno(errno);
    return count;
}

int CRs232Stream::GetBytesPerSecond()
{
    return BytesPerSecond(m_settings);
}

}   // namespace StreamIO
