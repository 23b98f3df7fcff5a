// TCP and UDP streams on the loopback interface.
#include "streamtest.h"

#include "streamio/ipsocket.h"
#include "streamio/ipstream.h"
#include "streamio/streamtable.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <thread>

using namespace StreamIO;
using StreamTest::CodeOf;

namespace {

// A free loopback port for this test run.
int FreePort(int type)
{
    const int fd = ::socket(AF_INET, type, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a);
    socklen_t length = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &length);
    ::close(fd);
    return ntohs(a.sin_port);
}

QString Loopback(int port)
{
    return QStringLiteral("127.0.0.1:%1").arg(port);
}

}   // namespace

TEST(IpStream, NamesGetThePrefixAndSplitIntoHostAndService)
{
    std::optional<QByteArray> host, service;
    CIpSocket::SplitName(QStringLiteral("IP:192.168.0.2:3728"), host, service);
    EXPECT_EQ(host.value_or("none"), QByteArray("192.168.0.2"));
    EXPECT_EQ(service.value_or("none"), QByteArray("3728"));
    CIpSocket::SplitName(QStringLiteral("IP::3728"), host, service);
    EXPECT_FALSE(host.has_value());   // no host: wait for a peer
    EXPECT_EQ(service.value_or("none"), QByteArray("3728"));

    const int port = FreePort(SOCK_STREAM);
    CIpStream server;
    ASSERT_TRUE(server.Open(QStringLiteral(":%1").arg(port), SO_READ | SO_WRITE));
    EXPECT_EQ(server.GetName(), QStringLiteral("IP::%1").arg(port));
    CIpStream client;
    ASSERT_TRUE(client.Open(Loopback(port), SO_READ | SO_WRITE));
    EXPECT_EQ(client.GetName(), QStringLiteral("IP:") + Loopback(port));
    EXPECT_FALSE(server.Open(Loopback(port), SO_READ));   // already open
    EXPECT_EQ(server.GetErrorCode(), ERR_NOT_SUPPORTED);
}

TEST(IpStream, AServerAcceptsANewPeerAfterTheOldOneLeft)
{
    const int port = FreePort(SOCK_STREAM);
    CIpStream server;
    ASSERT_TRUE(server.Open(QStringLiteral("IP::%1").arg(port), SO_READ | SO_WRITE));
    ASSERT_TRUE(server.SetTimeouts(2000, 2000));
    char buffer[16] = {};
    {
        std::unique_ptr<CIoStream> first(OpenStream(QStringLiteral("IP:") + Loopback(port), SO_READ | SO_WRITE));
        EXPECT_EQ(first->Write("hello", 5), 5);
        EXPECT_EQ(server.Read(buffer, 5), 5);
        EXPECT_EQ(QByteArray(buffer, 5), QByteArray("hello"));
        EXPECT_EQ(server.Write("back", 4), 4);
        EXPECT_EQ(first->Read(buffer, 4), 4);
    }
    EXPECT_EQ(server.Read(buffer, 5), 0);   // the peer left: the server listens again
    EXPECT_FALSE(server.IsConnected());
    std::unique_ptr<CIoStream> second(OpenStream(QStringLiteral("IP:") + Loopback(port), SO_READ | SO_WRITE));
    EXPECT_EQ(second->Write("again", 5), 5);
    EXPECT_EQ(server.Read(buffer, 5), 5);
    EXPECT_EQ(QByteArray(buffer, 5), QByteArray("again"));
    EXPECT_TRUE(server.IsConnected());
}

TEST(IpStream, ASilentPeerEndsAReadWithATimeout)
{
    const int port = FreePort(SOCK_STREAM);
    CIpStream server;
    ASSERT_TRUE(server.Open(QStringLiteral("IP::%1").arg(port), SO_READ | SO_WRITE));
    CIpStream client;
    ASSERT_TRUE(client.Open(Loopback(port), SO_READ | SO_WRITE));
    ASSERT_TRUE(client.SetTimeouts(100, 100));
    char buffer[8];
    EXPECT_EQ(client.Read(buffer, 8), 0);
    EXPECT_EQ(client.GetErrorCode(), ERR_TIMEOUT);
    EXPECT_TRUE(client.IsTimeoutOrEnd());
    int r = 0, w = 0;
    ASSERT_TRUE(client.GetTimeouts(r, w));
    EXPECT_EQ(r, 100);
}

TEST(IpStream, ADatagramLargerThanTheBufferComesInPieces)
{
    const int port = FreePort(SOCK_DGRAM);
    CIpStream receiver;
    ASSERT_TRUE(receiver.Open(QStringLiteral("IP::%1").arg(port), SO_READ | SO_WRITE | SO_DATAGRAM));
    CIpStream sender;
    ASSERT_TRUE(sender.Open(Loopback(port), SO_READ | SO_WRITE | SO_DATAGRAM));
    QByteArray datagram(100, '\0');
    for (int i = 0; i < 100; ++i)
        datagram[i] = char(i);
    ASSERT_EQ(sender.Write(datagram.constData(), 100), 100);
    ASSERT_TRUE(receiver.SetTimeouts(200, 200));
    QByteArray got;
    for (const int expected : {30, 30, 30, 10}) {
        char piece[30];
        const int n = receiver.Read(piece, 30);   // the last read ends with the time-out
        EXPECT_EQ(n, expected);
        got.append(piece, n);
    }
    EXPECT_EQ(got, datagram);
    // The sender became the peer: an answer goes back to it.
    EXPECT_EQ(receiver.Write("ok", 2), 2);
    char answer[2];
    EXPECT_EQ(sender.Read(answer, 2), 2);
}

TEST(IpStream, FailuresAreStreamErrors)
{
    CIpStream closed;
    char b;
    EXPECT_EQ(CodeOf([&] { closed.Read(&b, 1); }), ERR_INVALID_HANDLE);
    const int port = FreePort(SOCK_STREAM);   // nobody listens there
    CIpStream refused;
    EXPECT_EQ(CodeOf([&] { refused.Open(Loopback(port), SO_READ | SO_WRITE); }), ERR_WSA_CONNREFUSED);
    EXPECT_FALSE(refused.IsOpen());
    CIpStream unknown;
    const std::uint32_t notFound = CodeOf(
        [&] { unknown.Open(QStringLiteral("IP:no-such-host.invalid:3728"), SO_READ); });
    EXPECT_TRUE(notFound == ERR_WSA_HOST_NOT_FOUND || notFound == 11002) << notFound;   // 11002: no resolver answered
    CIpStream readOnly;
    CIpStream server;
    const int listening = FreePort(SOCK_STREAM);
    ASSERT_TRUE(server.Open(QStringLiteral("IP::%1").arg(listening), SO_READ | SO_WRITE));
    ASSERT_TRUE(readOnly.Open(Loopback(listening), SO_READ));
    EXPECT_EQ(CodeOf([&] { readOnly.Write("x", 1); }), ERR_WRITE_FAULT);
}

TEST(IpStream, AWriteLargerThanTheSocketBufferGoesOutWhole)
{
    const int port = FreePort(SOCK_STREAM);
    CIpStream server;
    ASSERT_TRUE(server.Open(QStringLiteral("IP::%1").arg(port), SO_READ | SO_WRITE));
    ASSERT_TRUE(server.SetTimeouts(5000, 5000));
    CIpStream client;
    ASSERT_TRUE(client.Open(Loopback(port), SO_READ | SO_WRITE));
    ASSERT_TRUE(client.SetTimeouts(5000, 5000));
    QByteArray data(4 * 1024 * 1024, '\0');
    for (qsizetype i = 0; i < data.size(); ++i)
        data[i] = char(i * 31);
    QByteArray received;
    std::thread reader([&] {
        QByteArray chunk(64 * 1024, '\0');
        while (received.size() < data.size()) {
            const int n = server.Read(chunk.data(),
                                      int(std::min<qsizetype>(chunk.size(), data.size() - received.size())));
            if (n <= 0)
                break;
            received.append(chunk.constData(), n);
        }
    });
    EXPECT_EQ(client.Write(data.constData(), int(data.size())), int(data.size()));
    reader.join();
    EXPECT_EQ(received, data);
}
