#pragma once
// A simulated instrument on COM3 for tests of the search, the download and
// the instrument commands. COM1 and COM2 lead nowhere, so a scan probes
// them first.

#include "device/vetrasmartdevice.h"
#include "simulator.h"
#include "streamio/portmap.h"
#include "streamio/rs232stream.h"
#include "streamio/streamtable.h"

#include <gtest/gtest.h>

#include <memory>

class SimFixture : public ::testing::Test
{
protected:
    static constexpr std::uint32_t kPort = 3;

    void SetUp() override
    {
        StreamIO::InitStreamLayer();
        sim = std::make_unique<VetraSim::CSimulator>();
        sim->SetPacing(false);
        sim->GenerateObjects(12, 7);
        sim->Start();
        // Every port is mapped, so that no scan ever touches a real serial device.
        QHash<std::uint32_t, QString> ports;
        for (std::uint32_t n = 1; n <= 256; ++n)
            ports.insert(n, QStringLiteral("/nonexistent/ttyVM%1").arg(n));
        ports.insert(kPort, sim->SlavePath());
        StreamIO::SetPortMap(ports);
    }

    void TearDown() override
    {
        sim->Stop();
        StreamIO::SetPortMap({});
    }

    // A driver connected to the simulator as the search leaves it.
    std::unique_ptr<Device::CVetraSmartDevice> Connected(bool identify = true)
    {
        auto device = std::make_unique<Device::CVetraSmartDevice>();
        auto *stream = new StreamIO::CRs232Stream;
        EXPECT_TRUE(stream->OpenPort(kPort, StreamIO::SO_READ | StreamIO::SO_WRITE, device->GetLineSettings()));
        EXPECT_TRUE(device->Connect(stream, Device::Port_Serial));
        Device::SDeviceInfo info;
        if (identify) {
            EXPECT_TRUE(device->Identify(info));
        }
        return device;
    }

    std::unique_ptr<VetraSim::CSimulator> sim;
};
