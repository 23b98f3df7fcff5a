#pragma once
// The instrument service on a running worker, against the simulated
// instrument on COM3.

#include "simfixture.h"

#include "device/worker.h"
#include "instrument/instrumentservice.h"

#include <QSignalSpy>

#include <memory>

class ServiceFixture : public SimFixture
{
protected:
    void SetUp() override
    {
        SimFixture::SetUp();
        ASSERT_TRUE(Device::StartWorker());
        service = std::make_unique<Instrument::CInstrumentService>();
    }
    void TearDown() override
    {
        service.reset();
        Device::StopWorker();
        SimFixture::TearDown();
    }

    void restartSimulator(bool paced = false)
    {
        sim->Stop();
        sim = std::make_unique<VetraSim::CSimulator>();
        sim->SetPacing(paced);
        sim->GenerateObjects(40, 60);
        sim->Start();
        StreamIO::SetPortMap({{kPort, sim->SlavePath()}});
    }

    // The result of the call that runs now.
    Instrument::SCallResult finished()
    {
        QSignalSpy spy(service.get(), &Instrument::CInstrumentService::Finished);
        EXPECT_TRUE(spy.wait(30000));
        return spy.isEmpty() ? Instrument::SCallResult() : spy.at(0).at(0).value<Instrument::SCallResult>();
    }

    std::unique_ptr<Instrument::CInstrumentService> service;
};
