// The instrument service: one exchange at a time on the worker, results as
// signals on this thread, a refused second call, cancelling, and an end that
// leaves no exchange behind.
#include "servicefixture.h"

#include <QSignalSpy>
#include <QTest>

using Instrument::CInstrumentService;
using Instrument::NCall;
using Instrument::SCallResult;
using VetraSim::Fault;

namespace {

using Service = ServiceFixture;

TEST_F(Service, ADownloadArrivesWithItsProgressAndWhileItRunsEveryOtherCallIsRefused)
{
    sim->SetPacing(true);
    sim->GenerateObjects(40, 60);   // long enough to call into it
    ASSERT_TRUE(service->TakeInstrument(Connected()));
    QSignalSpy progress(service.get(), &CInstrumentService::Progress);
    QSignalSpy busy(service.get(), &CInstrumentService::BusyChanged);
    ASSERT_TRUE(service->Download());
    EXPECT_TRUE(service->IsBusy());
    EXPECT_EQ(service->RunningCall(), NCall::Download);

    sim->ClearLog();
    EXPECT_FALSE(service->Download());
    EXPECT_FALSE(service->Identify());
    EXPECT_FALSE(service->DeleteAll());
    EXPECT_FALSE(service->Search({Device::Type_Vetrameter, Device::Port_Serial, false, true, int(kPort), {}}));
    EXPECT_FALSE(service->Release());
    EXPECT_FALSE(service->TakeInstrument(std::make_unique<Device::CVetraSmartDevice>()));
    EXPECT_TRUE(service->HasInstrument());

    const SCallResult result = finished();
    EXPECT_EQ(result.call, NCall::Download);
    EXPECT_TRUE(result.ok);
    EXPECT_FALSE(result.cancelled);
    EXPECT_EQ(result.objects.size(), 40);
    EXPECT_FALSE(service->IsBusy());
    EXPECT_FALSE(sim->Log().join(u'\n').contains(QStringLiteral("frame D2 11"))) << "a refused delete reached the line";
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last().at(0).toInt(), 1000);
    EXPECT_EQ(busy.size(), 2);   // on, then off
    // Free again: the next call runs.
    ASSERT_TRUE(service->Identify());
    EXPECT_TRUE(finished().ok);
}

TEST_F(Service, EachCallEndsWithTheCauseOfItsFailure)
{
    const struct
    {
        Fault fault;
        int parameter;
        NCall call;
        Device::NFailureCause cause;
    } cases[] = {
        {Fault::Silent, 0, NCall::DeleteAll, Device::NFailureCause::NoAnswer},
        {Fault::BadChecksum, 0, NCall::Download, Device::NFailureCause::Checksum},
        {Fault::DisconnectAfter, 2000, NCall::Download, Device::NFailureCause::LinkLost},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(service->TakeInstrument(Connected()));
        sim->SetFault(c.fault, c.parameter);
        const bool started = c.call == NCall::DeleteAll ? service->DeleteAll() : service->Download();
        ASSERT_TRUE(started);
        const SCallResult result = finished();
        EXPECT_EQ(result.call, c.call);
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.cancelled);
        EXPECT_EQ(result.failure.cause, c.cause) << int(c.call);
        EXPECT_FALSE(Device::FailureText(result.failure).isEmpty());
        restartSimulator();   // a link once dropped stays dropped
    }
}

TEST_F(Service, CancelBreaksOffASilentWaitAndLetsTheDriverGo)
{
    ASSERT_TRUE(service->TakeInstrument(Connected()));
    sim->SetFault(Fault::Silent);
    ASSERT_TRUE(service->Identify());
    service->Cancel();
    const SCallResult result = finished();
    EXPECT_TRUE(result.cancelled);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(service->HasInstrument()) << "a stream broken off is no use any more";
    EXPECT_TRUE(QTest::qWaitFor([] { return Device::IsWorkerIdle(); }, 10000));
}

TEST_F(Service, TheSearchDescribesWhatItFoundAndAdoptMakesItTheHeldOne)
{
    QList<Instrument::SFoundInstrument> found;
    QObject::connect(service.get(), &CInstrumentService::InstrumentFound,
                     [&](const Instrument::SFoundInstrument &f) { found << f; });
    ASSERT_TRUE(service->Search({Device::Type_Vetrameter, Device::Port_Serial, true, true, 1, {}}));
    EXPECT_TRUE(finished().ok);
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0].serialNumber, QStringLiteral("VM-20931"));
    EXPECT_EQ(found[0].comPort, int(kPort));
    EXPECT_EQ(found[0].streamName, sim->SlavePath());
    EXPECT_TRUE(found[0].infoText.contains(QStringLiteral("VM-20931")));
    EXPECT_EQ(service->CandidateCount(), 1);
    EXPECT_FALSE(service->HasInstrument());

    EXPECT_FALSE(service->Adopt(found[0].id + 1));
    ASSERT_TRUE(service->Adopt(found[0].id));
    EXPECT_EQ(service->CandidateCount(), 0);
    EXPECT_EQ(service->InstrumentPort(), QStringLiteral("COM3 (%1)").arg(sim->SlavePath()));
    ASSERT_TRUE(service->Download());
    EXPECT_EQ(finished().objects.size(), 12);
}

TEST_F(Service, WithoutAWorkerOrAnInstrumentNothingStarts)
{
    EXPECT_FALSE(service->Identify());
    EXPECT_FALSE(service->Download());
    EXPECT_FALSE(service->DeleteAll());
    Device::StopWorker();
    ASSERT_TRUE(service->TakeInstrument(Connected()));
    EXPECT_FALSE(service->Download());
    EXPECT_FALSE(service->Search({Device::Type_Vetrameter, Device::Port_Serial, false, true, int(kPort), {}}));
    EXPECT_FALSE(service->IsBusy());
}

TEST_F(Service, AServiceGoneOrAWorkerStoppedDuringATransferLeavesNoExchangeBehind)
{
    sim->SetPacing(true);
    sim->GenerateObjects(40, 60);
    ASSERT_TRUE(service->TakeInstrument(Connected()));
    ASSERT_TRUE(service->Download());
    QTest::qWait(50);   // into the transfer
    service.reset();    // the program closes
    // The call ended inside the reset; the worker is free a moment later.
    EXPECT_TRUE(QTest::qWaitFor([] { return Device::IsWorkerIdle(); }, 5000));

    // The worker stopped under a running call: the call still ends, cancelled.
    restartSimulator(true);   // the old one is still sending the first reply
    service = std::make_unique<CInstrumentService>();
    ASSERT_TRUE(service->TakeInstrument(Connected()));
    ASSERT_TRUE(service->Download());
    QSignalSpy spy(service.get(), &CInstrumentService::Finished);
    Device::StopWorker();
    ASSERT_TRUE(spy.wait(10000) || !spy.isEmpty());
    EXPECT_TRUE(spy.at(0).at(0).value<SCallResult>().cancelled);
    EXPECT_FALSE(service->IsBusy());
}

}   // namespace
