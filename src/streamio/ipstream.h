#pragma once
// CIpStream: a stream over a TCP connection or a UDP socket, named
// "IP:host:port" (no host: wait for a peer on the port). SO_DATAGRAM selects
// UDP. A dropped connection is reopened once within a read or write.

#include "streamio/iostream.h"

#include <memory>

namespace StreamIO {

class CIpSocket;

class CIpStream : public CIoStream
{
public:
    CIpStream();
    ~CIpStream() override;

    // A name without "IP:" gets it.
    virtual bool Open(const QString &name, std::uint32_t flags);
    virtual bool IsConnected();

    bool Reopen() override { return ReopenByName(*this); }
    void Close() override;
    void ClearInput() override;
    int GetInputCount() override;
    bool GetTimeouts(int &readMs, int &writeMs) override;
    bool SetTimeouts(int readMs, int writeMs) override;
    bool CancelTransfer() override;
    bool IsOpen() override { return m_socket != nullptr; }
    int Read(void *buffer, int count) override;
    int Write(const void *buffer, int count) override;

private:
    CIpSocket &socket();
    // After 10053/10054: reopen with the same time-outs.
    void reconnect();

    std::unique_ptr<CIpSocket> m_socket;
};

}   // namespace StreamIO
