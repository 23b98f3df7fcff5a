// Serial devices plugged in and out: the event feed, the monitor's signals,
// and what the instrument service does with them — a cover meter plugged in
// becomes the held instrument, one pulled out during a transfer ends it with
// the cause named.
#include "servicefixture.h"

#include "device/failure.h"
#include "instrument/devicemonitor.h"
#include "instrument/instrumentservice.h"

#include <QSignalSpy>
#include <QTest>

#include <cstring>

#include <sys/socket.h>
#include <unistd.h>

using Instrument::CDeviceMonitor;
using Instrument::CInstrumentService;
using Instrument::NCall;
using Instrument::SCallResult;
using Instrument::SFoundInstrument;

namespace {

void writeAll(int fd, const char *text)
{
    const ssize_t n = ::write(fd, text, std::strlen(text));
    ASSERT_EQ(n, ssize_t(std::strlen(text)));
}

TEST(DeviceEvents, LinesFedToTheNotifierBecomeSignalsInOrderAndNonsenseIsSkipped)
{
    int fds[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    CDeviceMonitor monitor(Instrument::OpenLineEvents(fds[0]));
    QStringList seen;
    QObject::connect(&monitor, &CDeviceMonitor::Appeared, [&](const QString &p) { seen << QLatin1Char('+') + p; });
    QObject::connect(&monitor, &CDeviceMonitor::Gone, [&](const QString &p) { seen << QLatin1Char('-') + p; });

    // A line split over two writes waits for its end.
    writeAll(fds[1], "add /dev/ttyACM0\nremove /dev/tty");
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen.size() == 1; }, 5000));
    writeAll(fds[1], "USB1\nchange /dev/ttyACM0\nadd\nadd   \n\n  remove   /dev/ttyACM0  \nadd /dev/ttyUSB3\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen.size() == 4; }, 5000));
    EXPECT_EQ(seen, (QStringList{QStringLiteral("+/dev/ttyACM0"), QStringLiteral("-/dev/ttyUSB1"),
                                 QStringLiteral("-/dev/ttyACM0"), QStringLiteral("+/dev/ttyUSB3")}));
    ::close(fds[1]);   // the writer gone: no more signals, and no busy loop on the closed end
    QTest::qWait(20);
    EXPECT_EQ(seen.size(), 4);
}

TEST(DeviceEvents, UdevsSourceIsAbsentOrAnswersAtOnce)
{
    // Without a device manager (a container) there is none; with one, taking
    // the events when none wait must not block the window's thread.
    const std::unique_ptr<Instrument::IDeviceEventSource> udev = Instrument::OpenUdevEvents();
    if (!udev)
        GTEST_SKIP() << "udev cannot be reached here";
    EXPECT_GE(udev->Fd(), 0);
    for (const Instrument::SDeviceEvent &event : udev->Take())
        EXPECT_TRUE(event.path.startsWith(u"/dev/"));
}

using DeviceWatch = ServiceFixture;

TEST_F(DeviceWatch, ACoverMeterPluggedInIsIdentifiedHeldAndDownloadedFromWithoutASearch)
{
    QList<SFoundInstrument> arrived;
    QObject::connect(service.get(), &CInstrumentService::InstrumentArrived,
                     [&](const SFoundInstrument &f) { arrived << f; });
    ASSERT_TRUE(service->Probe(sim->SlavePath()));
    EXPECT_EQ(service->RunningCall(), NCall::Probe);
    const SCallResult probe = finished();
    EXPECT_EQ(probe.call, NCall::Probe);
    EXPECT_TRUE(probe.ok);
    ASSERT_EQ(arrived.size(), 1);
    EXPECT_EQ(arrived[0].typeName, QStringLiteral("Vetrameter"));
    EXPECT_EQ(arrived[0].serialNumber, QStringLiteral("VM-20931"));
    EXPECT_EQ(arrived[0].streamName, sim->SlavePath());
    EXPECT_EQ(arrived[0].comPort, int(kPort));
    EXPECT_EQ(CInstrumentService::PortText(sim->SlavePath()), QStringLiteral("COM3 (%1)").arg(sim->SlavePath()));
    EXPECT_EQ(service->InstrumentDevice(), sim->SlavePath());
    EXPECT_EQ(service->CandidateCount(), 0);

    // The held one's own device is not probed again (its port is open), and a
    // path no port leads to cannot be.
    EXPECT_FALSE(service->Probe(sim->SlavePath()));
    EXPECT_FALSE(service->Probe(QStringLiteral("/dev/no-such-port")));
    EXPECT_FALSE(service->IsBusy());

    ASSERT_TRUE(service->Download());
    const SCallResult download = finished();
    EXPECT_TRUE(download.ok);
    EXPECT_EQ(download.objects.size(), 12);
}

TEST_F(DeviceWatch, ADeviceWithoutAnInstrumentLeavesTheHeldOneAlone)
{
    ASSERT_TRUE(service->TakeInstrument(Connected()));
    QSignalSpy arrived(service.get(), &CInstrumentService::InstrumentArrived);
    // Mapped, but nothing there: the port cannot open.
    ASSERT_TRUE(service->Probe(QStringLiteral("/nonexistent/ttyVM1")));
    const SCallResult probe = finished();
    EXPECT_EQ(probe.call, NCall::Probe);
    EXPECT_FALSE(probe.ok);
    EXPECT_TRUE(arrived.isEmpty());
    EXPECT_EQ(service->InstrumentDevice(), sim->SlavePath());

    // Another device going changes nothing either.
    QSignalSpy gone(service.get(), &CInstrumentService::InstrumentGone);
    service->DeviceGone(QStringLiteral("/nonexistent/ttyVM1"));
    EXPECT_TRUE(gone.isEmpty());
    EXPECT_TRUE(service->HasInstrument());
    // Its own device going while nothing runs: let go, and said with its port.
    service->DeviceGone(sim->SlavePath());
    ASSERT_EQ(gone.size(), 1);
    EXPECT_EQ(gone.at(0).at(0).toString(), QStringLiteral("Vetrameter"));   // taken, never announced: the type alone
    EXPECT_EQ(gone.at(0).at(1).toString(), QStringLiteral("COM3 (%1)").arg(sim->SlavePath()));
    EXPECT_FALSE(service->HasInstrument());
}

TEST_F(DeviceWatch, UnpluggedDuringADownloadTheTransferEndsWithThatCauseNotAsCancelled)
{
    sim->SetPacing(true);
    sim->GenerateObjects(400, 30);   // many seconds on the line
    ASSERT_TRUE(service->Probe(sim->SlavePath()));
    ASSERT_TRUE(finished().ok);
    QSignalSpy gone(service.get(), &CInstrumentService::InstrumentGone);
    QSignalSpy progress(service.get(), &CInstrumentService::Progress);
    ASSERT_TRUE(service->Download());
    ASSERT_TRUE(progress.wait(30000));   // into the transfer

    QSignalSpy ended(service.get(), &CInstrumentService::Finished);
    service->DeviceGone(sim->SlavePath());
    ASSERT_TRUE(ended.wait(30000));
    const SCallResult result = ended.at(0).at(0).value<SCallResult>();
    EXPECT_EQ(result.call, NCall::Download);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.cancelled) << "the user did not cancel: the cause is said";
    EXPECT_TRUE(result.objects.isEmpty());
    EXPECT_EQ(result.failure.cause, Device::NFailureCause::Unplugged);
    EXPECT_EQ(Device::FailureText(result.failure),
              QStringLiteral("The instrument was unplugged from COM3 (%1).").arg(sim->SlavePath()));
    ASSERT_EQ(gone.size(), 1);
    EXPECT_EQ(gone.at(0).at(0).toString(), QStringLiteral("Vetrameter VM-20931"));
    EXPECT_FALSE(service->HasInstrument());
    EXPECT_FALSE(service->IsBusy());

    // The next call is an ordinary one again: a Cancel is a cancel.
    restartSimulator();   // the old one is still sending
    ASSERT_TRUE(service->TakeInstrument(Connected()));
    sim->SetFault(VetraSim::Fault::Silent);
    ASSERT_TRUE(service->Identify());
    service->Cancel();
    const SCallResult cancelled = finished();
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_NE(cancelled.failure.cause, Device::NFailureCause::Unplugged);
}

}   // namespace
