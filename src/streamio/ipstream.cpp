#include "streamio/ipstream.h"

#include "streamio/ipsocket.h"

#include <chrono>
#include <thread>

namespace StreamIO {
namespace {

using Clock = std::chrono::steady_clock;

bool lostConnection(std::uint32_t code)
{
    return code == ERR_WSA_CONNABORTED || code == ERR_WSA_CONNRESET;
}

}   // namespace

CIpStream::CIpStream() = default;

CIpStream::~CIpStream()
{
    try {
        if (m_socket)
            Close();
    } catch (const StreamError &) {
    }
}

CIpSocket &CIpStream::socket()
{
    if (!m_socket)
        Raise(ERR_INVALID_HANDLE);
    return *m_socket;
}

bool CIpStream::Open(const QString &name, std::uint32_t flags)
{
    if (IsOpen()) {
        SetError(ERR_NOT_SUPPORTED);
        return false;
    }
    const QString full = name.startsWith(u"IP:", Qt::CaseInsensitive) ? name : QStringLiteral("IP:") + name;
    SetNameAndFlags(full, flags);
    std::optional<QByteArray> host, service;
    CIpSocket::SplitName(full, host, service);
    std::unique_ptr<CIpSocket> s;
    if (flags & SO_DATAGRAM)
        s = std::make_unique<CUdpSocket>(host, service);
    else
        s = std::make_unique<CTcpSocket>(host, service);
    if (const std::uint32_t code = s->OpenSocket())
        Raise(code);
    m_socket = std::move(s);
    SetError(0);
    return true;
}

bool CIpStream::IsConnected()
{
    return m_socket && m_socket->IsConnected();
}

void CIpStream::Close()
{
    if (!m_socket)
        Raise(ERR_INVALID_HANDLE);
    std::unique_ptr<CIpSocket> s = std::move(m_socket);
    if (const std::uint32_t code = s->CloseSocket())
        Raise(code);
    SetError(0);
}

void CIpStream::ClearInput()
{
    CIpSocket &s = socket();
    const int saved = s.receiveTimeout;
    s.receiveTimeout = 0;
    char discard[512];
    int got = 0;
    while (s.InputCount() > 0 && s.Receive(discard, int(sizeof discard), got) == 0 && got > 0) {
    }
    s.receiveTimeout = saved;
}

int CIpStream::GetInputCount()
{
    return m_socket ? m_socket->InputCount() : 0;
}

bool CIpStream::GetTimeouts(int &readMs, int &writeMs)
{
    CIpSocket &s = socket();
    readMs = s.receiveTimeout;
    writeMs = s.sendTimeout;
    return true;
}

bool CIpStream::SetTimeouts(int readMs, int writeMs)
{
    CIpSocket &s = socket();
    s.receiveTimeout = readMs < 0 ? -1 : readMs;
    s.sendTimeout = writeMs < 0 ? -1 : writeMs;
    return true;
}

bool CIpStream::CancelTransfer()
{
    CIpSocket &s = socket();
    s.cancelling = true;
    s.CloseSocket();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::uint32_t code = s.OpenSocket();
    s.cancelling = false;
    if (code)
        Raise(code);
    return true;
}

void CIpStream::reconnect()
{
    int readMs = 0, writeMs = 0;
    GetTimeouts(readMs, writeMs);
    Abort();
    if (!Reopen())
        Raise(GetErrorCode() ? GetErrorCode() : std::uint32_t(ERR_WSA_CONNRESET));
    SetTimeouts(readMs, writeMs);
}

int CIpStream::Read(void *buffer, int count)
{
    socket();
    CheckRead(count);
    auto *out = static_cast<char *>(buffer);
    const auto start = Clock::now();
    int have = 0;
    bool reconnected = false;
    while (have < count) {
        int got = 0;
        const std::uint32_t code = m_socket->Receive(out + have, count - have, got);
        have += got;
        if (code != 0 && code != ERR_TIMEOUT && !lostConnection(code))
            Raise(code);
        if (lostConnection(code)) {
            if (reconnected)
                break;   // one reopen per call: a peer that keeps dropping ends the read
            reconnect();
            reconnected = true;
            continue;
        }
        if (have == 0 && code != ERR_TIMEOUT) {
            SetError(ERR_HANDLE_EOF);
            return 0;
        }
        if (code != 0)
            break;
        const int limit = m_socket->receiveTimeout;
        if (have < count && limit >= 0
            && std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count() >= limit)
            break;
    }
    SetError(have < count ? ERR_TIMEOUT : 0);
    return have;
}

int CIpStream::Write(const void *buffer, int count)
{
    socket();
    CheckWrite(count);
    // A socket takes what fits its buffer: send on until all is out or the
    // send time-out has passed.
    const auto *in = static_cast<const char *>(buffer);
    const auto start = Clock::now();
    int sent = 0;
    std::uint32_t code = 0;
    bool reconnected = false;
    while (sent < count) {
        int n = 0;
        code = m_socket->Send(in + sent, count - sent, n);
        sent += n;
        if (lostConnection(code) && !reconnected && sent == 0) {
            reconnect();
            reconnected = true;
            continue;
        }
        if (code != 0 && code != ERR_TIMEOUT && !lostConnection(code))
            Raise(code);
        if (code != 0 || n == 0)
            break;
        const int limit = m_socket->sendTimeout;
        if (limit >= 0 && std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count() >= limit)
            break;
    }
    if (sent == 0 && count > 0)
        SetError(code == ERR_TIMEOUT ? ERR_TIMEOUT : ERR_HANDLE_EOF);
    else
        SetError(sent < count ? ERR_TIMEOUT : 0);
    return sent;
}

}   // namespace StreamIO
