#pragma once
// CRs232Stream: a serial port on POSIX termios. Ports are numbered as the
// user knows them (COMn); portmap.h says which device a number stands for.
//
// Pseudo-terminals keep 8 data bits and no parity and have no modem lines;
// settings they cannot take are treated as not supported by the device, and
// the rest still applies. GetBytesPerSecond therefore always follows the
// settings record, not what the device reports.

#include "streamio/filestream.h"

namespace StreamIO {

struct SSerialSettings
{
    static constexpr std::uint32_t kMarker = 0xA500;

    enum NHandshake : std::uint8_t {
        HS_XONXOFF = 0x01,
        HS_DTRDSR = 0x02,
        HS_RTSCTS = 0x04,
        HS_RTS_OFF = 0x08,
    };

    std::uint32_t marker = kMarker;
    std::uint32_t baud = 9600;
    std::uint8_t dataBits = 8;
    std::uint32_t parity = 0;     // 0 none, 1 even, 2 odd, 3 mark, 4 space
    std::uint32_t stopBits = 0;   // 0 one, 1 one and a half, 2 two
    std::uint8_t handshake = 0;
    std::uint16_t receiveQueue = 1024;
    std::uint16_t transmitQueue = 256;
    std::int32_t readTimeout = 500;   // ms, -1 = none
    std::int32_t writeTimeout = 10;   // ms, -1 = none
};

class CRs232Stream : public CFileStream
{
public:
    CRs232Stream() = default;
    // Opens port `port` at once; a failure throws the recorded error.
    CRs232Stream(std::uint32_t port, std::uint32_t flags, const SSerialSettings *settings);

    // The device path of the port becomes the stream's name.
    virtual bool OpenPort(std::uint32_t port, std::uint32_t flags, const SSerialSettings *settings);
    virtual bool GetLineSettings(SSerialSettings &out);
    virtual bool SetLineSettings(const SSerialSettings &in);

    bool Reopen() override;
    void ClearInput() override;
    int GetInputCount() override;
    int GetBytesPerSecond() override;
    bool IsRandomAccess() override { return false; }
    std::uint32_t GetLength() override { return 0; }
    std::uint32_t GetPosition() override { return 0; }
    std::uint32_t Seek(int, int) override { return 0; }
    std::uint32_t SetPosition(std::uint32_t) override { return 0; }
    void Truncate() override {}

    std::uint32_t GetPort() const { return m_port; }
    const SSerialSettings &Settings() const { return m_settings; }

    static int BytesPerSecond(const SSerialSettings &s);

private:
    void applyModemLines(std::uint8_t handshake);

    SSerialSettings m_settings;
    std::uint32_t m_port = 0;
};

}   // namespace StreamIO
