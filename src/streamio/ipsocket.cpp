#include "streamio/ipsocket.h"

#include "streamio/streamerror.h"

#include <QString>

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace StreamIO {
namespace {

constexpr std::uint32_t kWsaNetReset = 10052;
constexpr std::uint32_t kWsaNotConnected = 10057;
constexpr std::uint32_t kWsaTimedOut = 10060;

bool isConnectionLoss(std::uint32_t code)
{
    return code == kWsaNetReset || code == ERR_WSA_CONNABORTED || code == ERR_WSA_CONNRESET || code == kWsaNotConnected
           || code == kWsaTimedOut;
}

std::uint32_t resolverCode(int error)
{
    switch (error) {
    case EAI_NONAME: return ERR_WSA_HOST_NOT_FOUND;
    case EAI_AGAIN: return 11002;
    default: return 11003;
    }
}

// Resolves host and service for an IPv4 socket of `type`; numeric hosts
// are not looked up.
std::uint32_t resolve(const std::optional<QByteArray> &host, const std::optional<QByteArray> &service, int type,
                      bool passive, addrinfo **result)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = type;
    hints.ai_flags = passive ? AI_PASSIVE : 0;
    if (host) {
        in_addr numeric{};
        if (::inet_pton(AF_INET, host->constData(), &numeric) == 1)
            hints.ai_flags |= AI_NUMERICHOST;
    }
    const int r = ::getaddrinfo(host ? host->constData() : nullptr, service ? service->constData() : nullptr, &hints,
                                result);
    return r == 0 ? 0 : resolverCode(r);
}

void setFlag(int fd, int level, int option)
{
    const int on = 1;
    ::setsockopt(fd, level, option, &on, sizeof on);
}

}   // namespace

std::uint32_t CIpSocket::CodeFromSocketErrno(int error)
{
    switch (error) {
    case ENETRESET: return kWsaNetReset;
    case ECONNABORTED: return ERR_WSA_CONNABORTED;
    case ECONNRESET:
    case EPIPE: return ERR_WSA_CONNRESET;
    case ENOTCONN: return kWsaNotConnected;
    case ETIMEDOUT: return kWsaTimedOut;
    case ECONNREFUSED: return ERR_WSA_CONNREFUSED;
    case EADDRINUSE: return 10048;
    case EADDRNOTAVAIL: return 10049;
    case ENETUNREACH: return 10051;
    case EHOSTUNREACH: return 10065;
    default: return CodeFromErrno(error);
    }
}

void CIpSocket::SplitName(const QString &name, std::optional<QByteArray> &host, std::optional<QByteArray> &service)
{
    const qsizetype c1 = name.indexOf(u':');
    const qsizetype c2 = name.lastIndexOf(u':');
    QString h, s;
    if (c1 >= 0 && c1 != c2) {
        h = name.mid(c1 + 1, c2 - c1 - 1);
        s = name.mid(c2 + 1);
    } else if (c1 >= 0) {
        h = name.left(c1);
        s = name.mid(c1 + 1);
    } else {
        s = name;
    }
    host = h.isEmpty() ? std::nullopt : std::optional<QByteArray>(h.toLocal8Bit());
    service = s.isEmpty() ? std::nullopt : std::optional<QByteArray>(s.toLocal8Bit());
}

CIpSocket::~CIpSocket()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

std::uint32_t CIpSocket::CloseSocket()
{
    m_connected = false;
    if (m_fd < 0)
        return 0;
    const int fd = m_fd;
    m_fd = -1;
    return ::close(fd) == 0 ? 0 : CodeFromSocketErrno(errno);
}

int CIpSocket::InputCount() const
{
    int count = 0;
    if (m_fd < 0 || ::ioctl(m_fd, FIONREAD, &count) != 0)
        return 0;
    return count;
}

int CIpSocket::waitFor(int fd, short events, int timeoutMs)
{
    pollfd p{fd, events, 0};
    int r;
    do {
        r = ::poll(&p, 1, timeoutMs);
    } while (r < 0 && errno == EINTR);
    if (r < 0)
        return -errno;
    if (r > 0 && (p.revents & (POLLERR | POLLNVAL)) && !(p.revents & events)) {
        int error = 0;
        socklen_t length = sizeof error;
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
        return -(error ? error : ECONNRESET);
    }
    return r;
}

void CIpSocket::pauseWhileCancelling() const
{
    if (cancelling)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

// ---------------------------------------------------------------------------
// TCP

CTcpSocket::~CTcpSocket()
{
    if (m_listener >= 0)
        ::close(m_listener);
}

std::uint32_t CTcpSocket::OpenSocket()
{
    addrinfo *list = nullptr;
    if (const std::uint32_t code = resolve(m_host, m_service, SOCK_STREAM, IsServer(), &list))
        return code;
    std::uint32_t code = ERR_WSA_CONNREFUSED;
    for (addrinfo *a = list; a; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) {
            code = CodeFromSocketErrno(errno);
            continue;
        }
        if (IsServer()) {
            setFlag(fd, SOL_SOCKET, SO_REUSEADDR);
            if (::bind(fd, a->ai_addr, a->ai_addrlen) == 0 && ::listen(fd, 1) == 0) {
                m_listener = fd;
                code = 0;
                break;
            }
        } else {
            // Connect without blocking longer than kConnectTimeoutMs.
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
            if (::connect(fd, a->ai_addr, a->ai_addrlen) == 0 || errno == EINPROGRESS) {
                const int r = waitFor(fd, POLLOUT, kConnectTimeoutMs);
                int error = 0;
                socklen_t length = sizeof error;
                ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
                if (r > 0 && error == 0) {
                    setFlag(fd, SOL_SOCKET, SO_OOBINLINE);
                    m_fd = fd;
                    m_connected = true;
                    code = 0;
                    break;
                }
                code = r == 0 ? kWsaTimedOut : CodeFromSocketErrno(error ? error : -r);
            } else {
                code = CodeFromSocketErrno(errno);
            }
        }
        code = code ? code : CodeFromSocketErrno(errno);
        ::close(fd);
    }
    ::freeaddrinfo(list);
    return code;
}

std::uint32_t CTcpSocket::CloseSocket()
{
    if (m_listener >= 0) {
        ::close(m_listener);
        m_listener = -1;
    }
    return CIpSocket::CloseSocket();
}

std::uint32_t CTcpSocket::accept()
{
    if (m_listener < 0)
        return kWsaNotConnected;
    const int r = waitFor(m_listener, POLLIN, receiveTimeout);
    if (r == 0)
        return ERR_TIMEOUT;
    if (r < 0)
        return CodeFromSocketErrno(-r);
    const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0)
        return CodeFromSocketErrno(errno);
    setFlag(fd, SOL_SOCKET, SO_OOBINLINE);
    setFlag(fd, SOL_SOCKET, SO_KEEPALIVE);
    ::close(m_listener);
    m_listener = -1;
    m_fd = fd;
    m_connected = true;
    return 0;
}

std::uint32_t CTcpSocket::listenAgain()
{
    CloseSocket();
    return OpenSocket();
}

// The start of every transfer: a server takes its peer first.
std::uint32_t CTcpSocket::ready()
{
    pauseWhileCancelling();
    if (!m_connected && IsServer())
        if (const std::uint32_t code = accept())
            return code;
    return m_fd < 0 ? kWsaNotConnected : 0;
}

std::uint32_t CTcpSocket::Receive(void *buffer, int size, int &received)
{
    received = 0;
    if (const std::uint32_t code = ready())
        return code;
    const int r = waitFor(m_fd, POLLIN, receiveTimeout);
    if (r == 0)
        return ERR_TIMEOUT;
    if (r < 0) {
        const std::uint32_t code = CodeFromSocketErrno(-r);
        return IsServer() && isConnectionLoss(code) ? listenAgain() : code;
    }
    const ssize_t n = ::recv(m_fd, buffer, std::size_t(size), 0);
    if (n > 0) {
        received = int(n);
        return 0;
    }
    // The peer left (or the receive failed): the server side listens anew.
    const std::uint32_t code = n == 0 ? std::uint32_t(ERR_WSA_CONNRESET) : CodeFromSocketErrno(errno);
    if (IsServer())
        return listenAgain();
    m_connected = false;
    return code;
}

std::uint32_t CTcpSocket::Send(const void *data, int size, int &sent)
{
    sent = 0;
    if (const std::uint32_t code = ready())
        return code;
    const int r = waitFor(m_fd, POLLOUT, sendTimeout);
    if (r == 0)
        return ERR_TIMEOUT;
    const ssize_t n = r > 0 ? ::send(m_fd, data, std::size_t(size), MSG_NOSIGNAL) : -1;
    if (n >= 0) {
        sent = int(n);
        return 0;
    }
    const std::uint32_t code = CodeFromSocketErrno(r < 0 ? -r : errno);
    if (isConnectionLoss(code)) {
        if (IsServer())
            return listenAgain();
        m_connected = false;   // nothing went out; the caller sees 0 bytes
        return 0;
    }
    return code;
}

// ---------------------------------------------------------------------------
// UDP

std::uint32_t CUdpSocket::OpenSocket()
{
    addrinfo *list = nullptr;
    if (const std::uint32_t code = resolve(m_host, m_service, SOCK_DGRAM, IsServer(), &list))
        return code;
    std::uint32_t code = ERR_WSA_CONNREFUSED;
    for (addrinfo *a = list; a; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0)
            continue;
        const int r = IsServer() ? ::bind(fd, a->ai_addr, a->ai_addrlen) : ::connect(fd, a->ai_addr, a->ai_addrlen);
        if (r == 0) {
            m_fd = fd;
            m_connected = !IsServer();
            code = 0;
            break;
        }
        code = CodeFromSocketErrno(errno);
        ::close(fd);
    }
    ::freeaddrinfo(list);
    return code;
}

std::uint32_t CUdpSocket::Receive(void *buffer, int size, int &received)
{
    received = 0;
    pauseWhileCancelling();
    if (m_restPos < m_rest.size()) {
        const qsizetype n = std::min<qsizetype>(size, m_rest.size() - m_restPos);
        std::memcpy(buffer, m_rest.constData() + m_restPos, std::size_t(n));
        m_restPos += n;
        received = int(n);
        return 0;
    }
    if (m_fd < 0)
        return kWsaNotConnected;
    const int r = waitFor(m_fd, POLLIN, receiveTimeout);
    if (r == 0)
        return ERR_TIMEOUT;
    if (r < 0)
        return CodeFromSocketErrno(-r);
    // The size of the waiting datagram, to keep what does not fit.
    const ssize_t waiting = ::recv(m_fd, nullptr, 0, MSG_PEEK | MSG_TRUNC);
    sockaddr_storage from{};
    socklen_t fromLength = sizeof from;
    auto *sender = IsServer() ? reinterpret_cast<sockaddr *>(&from) : nullptr;
    ssize_t n;
    if (waiting > size) {
        m_rest.resize(waiting);
        n = ::recvfrom(m_fd, m_rest.data(), std::size_t(waiting), 0, sender, sender ? &fromLength : nullptr);
        if (n >= 0) {
            m_rest.resize(n);
            m_restPos = std::min<qsizetype>(size, n);
            std::memcpy(buffer, m_rest.constData(), std::size_t(m_restPos));
            n = m_restPos;
        }
    } else {
        n = ::recvfrom(m_fd, buffer, std::size_t(size), 0, sender, sender ? &fromLength : nullptr);
    }
    if (n < 0)
        return CodeFromSocketErrno(errno);
    if (sender) {
        m_peer = from;
        m_peerLength = fromLength;
        m_connected = true;
    }
    received = int(n);
    return 0;
}

std::uint32_t CUdpSocket::Send(const void *data, int size, int &sent)
{
    sent = 0;
    pauseWhileCancelling();
    if (m_fd < 0 || !m_connected)
        return kWsaNotConnected;
    const int r = waitFor(m_fd, POLLOUT, sendTimeout);
    if (r == 0)
        return ERR_TIMEOUT;
    const ssize_t n = r < 0        ? -1
                      : IsServer() ? ::sendto(m_fd, data, std::size_t(size), 0, reinterpret_cast<sockaddr *>(&m_peer),
                                              m_peerLength)
                                   : ::send(m_fd, data, std::size_t(size), 0);
    if (n >= 0) {
        sent = int(n);
        return 0;
    }
    const std::uint32_t code = CodeFromSocketErrno(r < 0 ? -r : errno);
    if (IsServer())
        m_connected = false;   // the peer is forgotten
    return (code == ERR_WSA_CONNABORTED || code == ERR_WSA_CONNRESET || code == kWsaTimedOut) ? 0 : code;
}

}   // namespace StreamIO
