// Whatever comes over the cable: replies to binary frames and text commands,
// and the download replies built from them.
#include "device/vetrasmartdevice.h"
#include "streamio/iostream.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

// A stream whose reads deliver the fuzzer's bytes, then nothing.
class ReplayStream : public StreamIO::CIoStream
{
public:
    ReplayStream(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size) {}
    bool Reopen() override { return false; }
    void Close() override {}
    bool IsOpen() override { return true; }
    bool SetTimeouts(int, int) override { return true; }
    bool GetTimeouts(int &r, int &w) override
    {
        r = w = 100;
        return true;
    }
    int Read(void *buffer, int count) override
    {
        const std::size_t n = std::min<std::size_t>(std::size_t(count), m_size - m_pos);
        std::memcpy(buffer, m_data + m_pos, n);
        m_pos += n;
        return int(n);
    }
    int Write(const void *, int count) override { return count; }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t selector = data[0];
    Device::CVetraSmartDevice device;
    device.Connect(new ReplayStream(data + 1, size - 1), Device::Port_Serial);
    Device::CQxCommands &engine = *device.Commands();
    switch (selector % 4) {
    case 0: {
        // A binary download as the driver does it, parsed as it parses it.
        std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[Device::CVetraSmartDevice::kBinaryBufferSize]());
        buffer[0] = 0x12;
        std::uint32_t length = 0;
        if (engine.Execute(0xD2, buffer.get(), 1, length, Device::CVetraSmartDevice::kBinaryBufferSize, 100, 1000,
                           nullptr)
            == Device::Err_Success) {
            Device::STransferContainer c;
            device.ParseBinaryReply(c, buffer.get(), length);
        }
        break;
    }
    case 1: {
        Device::STransferContainer c;
        device.ParseBinaryReply(c, data + 1, std::uint32_t(size - 1));
        device.ParseTextReply(c, data + 1, std::uint32_t(size - 1));
        break;
    }
    case 2: {
        Device::SDeviceInfo info;
        device.Identify(info);
        break;
    }
    default: {
        char answer[64];
        engine.QueryText("BR ?", answer, int(sizeof answer), 100);
        std::uint8_t small[8] = {};
        engine.Query(0xF1, 0, small, sizeof small, 100);
        break;
    }
    }
    return 0;
}
