#pragma once
// The sockets behind CIpStream: TCP (client, or a server that accepts one
// peer at a time) and UDP (connected, or bound and answering its last
// sender). Results are the numeric codes callers test (10053 aborted, 10054
// reset, 10060 time-out, 11001 host not found, 1460 nothing in time); 0 is
// success.

#include <QByteArray>

#include <atomic>
#include <cstdint>
#include <optional>
#include <sys/socket.h>

namespace StreamIO {

class CIpSocket
{
public:
    CIpSocket(std::optional<QByteArray> host, std::optional<QByteArray> service)
        : m_host(std::move(host)), m_service(std::move(service))
    {
    }
    virtual ~CIpSocket();
    CIpSocket(const CIpSocket &) = delete;
    CIpSocket &operator=(const CIpSocket &) = delete;

    virtual std::uint32_t OpenSocket() = 0;
    virtual std::uint32_t CloseSocket();
    virtual std::uint32_t Receive(void *buffer, int size, int &received) = 0;
    virtual std::uint32_t Send(const void *data, int size, int &sent) = 0;

    bool IsConnected() const { return m_connected; }
    bool IsServer() const { return !m_host; }
    int InputCount() const;
    // Time-outs in ms; -1 = none.
    int receiveTimeout = 500;
    int sendTimeout = 100;
    std::atomic<bool> cancelling{false};

    // Splits "IP:host:port" (or "host:port", ":port") into host and service.
    static void SplitName(const QString &name, std::optional<QByteArray> &host, std::optional<QByteArray> &service);
    static std::uint32_t CodeFromSocketErrno(int error);

protected:
    // 1 ready, 0 time-out, or a negative errno.
    static int waitFor(int fd, short events, int timeoutMs);
    void pauseWhileCancelling() const;

    std::optional<QByteArray> m_host;
    std::optional<QByteArray> m_service;
    int m_fd = -1;
    bool m_connected = false;
};

class CTcpSocket : public CIpSocket
{
public:
    using CIpSocket::CIpSocket;
    ~CTcpSocket() override;

    std::uint32_t OpenSocket() override;
    std::uint32_t CloseSocket() override;
    std::uint32_t Receive(void *buffer, int size, int &received) override;
    std::uint32_t Send(const void *data, int size, int &sent) override;

    static constexpr int kConnectTimeoutMs = 5000;   // a reconnect never blocks for long

private:
    std::uint32_t accept();
    std::uint32_t ready();
    std::uint32_t listenAgain();
    int m_listener = -1;
};

class CUdpSocket : public CIpSocket
{
public:
    using CIpSocket::CIpSocket;

    std::uint32_t OpenSocket() override;
    std::uint32_t Receive(void *buffer, int size, int &received) override;
    std::uint32_t Send(const void *data, int size, int &sent) override;

private:
    sockaddr_storage m_peer{};
    socklen_t m_peerLength = 0;
    QByteArray m_rest;   // what did not fit the caller's buffer of the last datagram
    qsizetype m_restPos = 0;
};

}   // namespace StreamIO
