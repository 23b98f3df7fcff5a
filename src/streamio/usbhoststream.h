#pragma once
// CUsbHostStream: a stream over a device of the USB pipe driver. The driver's
// layer is small: a device is a folder holding the node PIPE00 (input, from
// the instrument) and PIPE01 (output, to it); the devices are the
// sub-folders of one class folder (/dev/qxusb unless set otherwise).

#include "streamio/iostream.h"

#include <QStringList>

#include <atomic>

namespace StreamIO {

// The class folder: SetUsbClassFolder, else VETRADESK_USB_CLASS, else /dev/qxusb.
void SetUsbClassFolder(const QString &folder);
QString UsbClassFolder();

// The present devices, in name order. No class folder or no device is
// success with an empty list; another failure returns its code.
std::uint32_t EnumerateUsbDevices(QStringList &devices);

class CUsbHostStream : public CIoStream
{
public:
    CUsbHostStream() = default;
    ~CUsbHostStream() override;

    virtual bool Open(const QString &devicePath, std::uint32_t flags);
    // Opens the input pipe with SO_READ and the output pipe with SO_WRITE.
    virtual void OpenPipes(std::uint32_t flags);

    bool Reopen() override { return ReopenByName(*this); }
    void Close() override;
    void Flush() override;
    bool GetTimeouts(int &readMs, int &writeMs) override;
    bool SetTimeouts(int readMs, int writeMs) override;
    bool CancelTransfer() override;
    bool IsOpen() override { return m_device >= 0; }
    int Read(void *buffer, int count) override;
    int Write(const void *buffer, int count) override;

private:
    // One pipe request: up to `count` bytes within the direction's time-out.
    int request(int fd, short events, char *data, int count, int timeoutMs, bool &timedOut);
    void closeAll(std::uint32_t &firstError);

    int m_device = -1;
    int m_input = -1;
    int m_output = -1;
    int m_readTimeout = 500;
    int m_writeTimeout = 100;
    std::atomic<bool> m_cancelled{false};
};

}   // namespace StreamIO
