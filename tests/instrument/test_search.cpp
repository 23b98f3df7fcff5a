// The worker thread and the search over serial ports.
#include "simfixture.h"

#include "receiver.h"

#include "device/worker.h"
#include "res/report.h"
#include "streamio/usbhoststream.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>

#include <sys/stat.h>

using namespace Device;

namespace {

using Receiver = RecordingReceiver;

class CountingReporter : public Res::IReporter
{
public:
    Res::ReportAnswer Show(Res::ReportKind kind, const QString &, const QString &text, bool) override
    {
        std::lock_guard guard(lock);
        reports.append(text);
        kinds.push_back(kind);
        return Res::ReportAnswer::Ok;
    }
    void Message(Res::MessageIcon, const QString &, const QString &) override {}
    std::mutex lock;
    QStringList reports;
    std::vector<Res::ReportKind> kinds;
};

SSearchParams OnePort(int port)
{
    SSearchParams p;
    p.type = Type_Vetrameter;
    p.portKind = Port_Serial;
    p.portNumber = port;
    return p;
}

SSearchParams Scan(bool stopAtFirst = true)
{
    SSearchParams p;
    p.type = Type_Vetrameter;
    p.portKind = Port_Serial;
    p.scan = true;
    p.stopAtFirst = stopAtFirst;
    return p;
}

class SearchTest : public SimFixture
{
protected:
    void SetUp() override
    {
        SimFixture::SetUp();
        ASSERT_TRUE(StartWorker());
        ClearAbort();
    }
    void TearDown() override
    {
        StopWorker();
        SimFixture::TearDown();
    }

    // Until the probe waits for the silent instrument's answer.
    bool WaitUntilProbing()
    {
        for (int i = 0; i < 500; ++i) {
            if (sim->Log().contains(QStringLiteral("text ignored")))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
};

}   // namespace

TEST_F(SearchTest, AScanProbesCom1AndCom2AndFindsTheInstrumentOnCom3)
{
    Receiver r;
    const SSearchParams p = Scan();
    ASSERT_TRUE(QueueSearch(&r, &p));
    ASSERT_TRUE(r.WaitForEnd());
    ASSERT_EQ(r.found.size(), 1u);
    auto *device = dynamic_cast<CVetraSmartDevice *>(r.found[0].get());
    ASSERT_TRUE(device);
    EXPECT_EQ(device->GetStreamName(), sim->SlavePath());
    SDeviceInfo info;
    EXPECT_TRUE(device->Identify(info));   // handed over still connected
    const QString all = r.statuses.join(u'\n');
    // A port that cannot be opened is named with its device path and the reason.
    EXPECT_TRUE(all.contains(QStringLiteral("Search Vetrameter device on Serial COM1:...\r\ncould not open port. "
                                            "/nonexistent/ttyVM1: There is no serial port COM1.")));
    EXPECT_TRUE(all.contains(QStringLiteral("Search Vetrameter device on Serial COM2:...\r\ncould not open port. "
                                            "/nonexistent/ttyVM2: There is no serial port COM2.")));
    EXPECT_TRUE(
        all.contains(QStringLiteral("Search Vetrameter device on Serial COM3:...\r\n Vetrameter   Serial: VM-20931")));
    EXPECT_FALSE(all.contains(QStringLiteral("COM4")));   // stopped at the first
    EXPECT_EQ(r.EndCount(), 1);
}

TEST_F(SearchTest, OnePortOnlyAndAnotherFamilyIsNotHandedOver)
{
    sim->SetFault(VetraSim::Fault::WrongFamily);
    Receiver r;
    const SSearchParams p = OnePort(3);
    ASSERT_TRUE(QueueSearch(&r, &p));
    ASSERT_TRUE(r.WaitForEnd());
    EXPECT_TRUE(r.found.empty());
    ASSERT_FALSE(r.statuses.isEmpty());
    EXPECT_TRUE(r.statuses.last().endsWith(QStringLiteral("No device of the required type found.")));
    EXPECT_FALSE(r.statuses.join(u'\n').contains(QStringLiteral("COM1")));
    // The port was closed again: it opens for someone else.
    sim->SetFault(VetraSim::Fault::None);
    EXPECT_TRUE(Connected());
}

TEST_F(SearchTest, AnInstrumentThatDropsTheLinkWhileAnsweringIsNotIdentifiedAndTheScanGoesOn)
{
    sim->SetFault(VetraSim::Fault::DisconnectAfter, 3);   // the adapter is pulled out mid-answer
    Receiver r;
    const SSearchParams p = Scan();
    ASSERT_TRUE(QueueSearch(&r, &p));
    ASSERT_TRUE(r.WaitForEnd());
    EXPECT_TRUE(r.found.empty());
    const QString all = r.statuses.join(u'\n');
    EXPECT_TRUE(all.contains(QStringLiteral("COM3:...\r\nNo device of the required type found.")));
    EXPECT_TRUE(all.contains(QStringLiteral("Search Vetrameter device on Serial COM256:...")));
}

TEST_F(SearchTest, JobsRunInOrderAndANullReceiverQueuesNothing)
{
    const SSearchParams p = Scan();
    EXPECT_FALSE(QueueSearch(nullptr, &p));
    Receiver first, second;
    ASSERT_TRUE(QueueSearch(&first, &p));
    ASSERT_TRUE(QueueSearch(&second, &p));   // queued while the first runs
    ASSERT_TRUE(second.WaitForEnd());
    EXPECT_EQ(first.EndCount(), 1);
    EXPECT_EQ(first.found.size(), 1u);
    EXPECT_TRUE(second.found.empty());   // the first still holds the instrument's port
}

TEST_F(SearchTest, AnAbortedScanReportsNothingMoreAndTheNextJobRuns)
{
    sim->SetFault(VetraSim::Fault::Silent);   // every probe of COM3 waits for its time-outs
    Receiver aborted, queued;
    const SSearchParams p = OnePort(3);
    ASSERT_TRUE(QueueSearch(&aborted, &p));
    ASSERT_TRUE(QueueSearch(&queued, &p));
    ASSERT_TRUE(WaitUntilProbing());
    AbortJobs(10000);
    EXPECT_TRUE(IsWorkerIdle());
    // The wait for the silent instrument was broken off: the probe never got
    // as far as its S-command fallback.
    EXPECT_FALSE(sim->Log().contains(QStringLiteral("S SC030202F8")));
    const int statusesAtAbort = [&] {
        std::lock_guard g(aborted.lock);
        return int(aborted.statuses.size());
    }();
    EXPECT_EQ(aborted.EndCount(), 0);   // not even the final report
    EXPECT_EQ(queued.EndCount(), 0);    // queued jobs never start
    EXPECT_TRUE(queued.statuses.isEmpty());

    sim->SetFault(VetraSim::Fault::None);
    Receiver after;
    ASSERT_TRUE(QueueSearch(&after, &p));
    ASSERT_TRUE(after.WaitForEnd());
    EXPECT_EQ(after.found.size(), 1u);
    EXPECT_EQ(int(aborted.statuses.size()), statusesAtAbort);
}

TEST_F(SearchTest, AnExceptionInAJobIsReportedOnceAndTheWorkerServesOn)
{
    CountingReporter reporter;
    Res::SetReporter(&reporter);
    Receiver throwing;
    throwing.throwOnStatus = true;
    const SSearchParams p = OnePort(1);
    ASSERT_TRUE(QueueSearch(&throwing, &p));
    Receiver next;
    ASSERT_TRUE(QueueSearch(&next, &p));
    ASSERT_TRUE(next.WaitForEnd());
    Res::SetReporter(nullptr);
    ASSERT_EQ(reporter.reports.size(), 1);
    EXPECT_TRUE(reporter.reports[0].startsWith(QStringLiteral("Unhandled exception in Device Thread.")));
    EXPECT_EQ(reporter.kinds[0], Res::ReportKind::Fatal);
    EXPECT_EQ(throwing.EndCount(), 0);
}

TEST_F(SearchTest, StopWorkerBreaksAProbeThatWaitsAndJoins)
{
    sim->SetFault(VetraSim::Fault::Silent);
    Receiver r;
    const SSearchParams p = OnePort(3);
    ASSERT_TRUE(QueueSearch(&r, &p));
    ASSERT_TRUE(WaitUntilProbing());
    EXPECT_TRUE(StopWorker());
    EXPECT_FALSE(sim->Log().contains(QStringLiteral("S SC030202F8")));
    EXPECT_EQ(r.EndCount(), 0);
    EXPECT_TRUE(r.found.empty());
    // The port was released: it can be opened again at once.
    sim->SetFault(VetraSim::Fault::None);
    EXPECT_TRUE(Connected());
}

// An instrument on the network: the search's IP branch on TCP port 3728.
TEST(IpSearch, FindsTheInstrumentOnTheLoopbackAddress)
{
    StreamIO::InitStreamLayer();
    VetraSim::CSimulator sim;
    sim.SetPacing(false);
    ASSERT_TRUE(sim.ListenTcp(QStringLiteral("127.0.0.1"), 3728));
    sim.Start();
    ASSERT_TRUE(StartWorker());
    ClearAbort();
    Receiver r;
    SSearchParams p;
    p.type = Type_Vetrameter;
    p.portKind = Port_Ip;
    p.address = QStringLiteral("127.0.0.1");
    ASSERT_TRUE(QueueSearch(&r, &p));
    ASSERT_TRUE(r.WaitForEnd());
    ASSERT_EQ(r.found.size(), 1u);
    EXPECT_EQ(r.found[0]->GetStreamName(), QStringLiteral("IP:127.0.0.1:3728"));
    EXPECT_EQ(r.found[0]->GetPortKind(), Port_Ip);
    EXPECT_TRUE(r.statuses.join(u'\n').contains(QStringLiteral("Search Vetrameter device on Ethernet 127.0.0.1...")));
    r.found.clear();
    StopWorker();
    sim.Stop();
}

TEST(IpSearch, NoInstrumentAtTheAddressReportsThePortCouldNotOpen)
{
    StreamIO::InitStreamLayer();
    ASSERT_TRUE(StartWorker());
    ClearAbort();
    Receiver r;
    SSearchParams p;
    p.type = Type_Vetrameter;
    p.portKind = Port_Ip;
    p.address = QStringLiteral("127.0.0.1");   // nothing listens on 3728 now
    ASSERT_TRUE(QueueSearch(&r, &p));
    ASSERT_TRUE(r.WaitForEnd());
    EXPECT_TRUE(r.found.empty());
    EXPECT_TRUE(r.statuses.last().contains(QStringLiteral("could not open port. IP:127.0.0.1:3728: ")));
    StopWorker();
}

// The USB branch probes every device folder of the class folder.
TEST(UsbSearch, ProbesEachDeviceAndReportsWhatAnswered)
{
    StreamIO::InitStreamLayer();
    QTemporaryDir dir;
    const QString device = dir.filePath(QStringLiteral("usb0"));
    ASSERT_TRUE(QDir().mkpath(device));
    for (const char *pipe : {"PIPE00", "PIPE01"})
        ASSERT_EQ(::mkfifo(QFile::encodeName(device + u'/' + QLatin1String(pipe)).constData(), 0600), 0);
    StreamIO::SetUsbClassFolder(dir.path());
    ASSERT_TRUE(StartWorker());
    ClearAbort();
    Receiver r;
    SSearchParams p;
    p.type = Type_Vetrameter;
    p.portKind = Port_Usb;
    ASSERT_TRUE(QueueSearch(&r, &p));
    ASSERT_TRUE(r.WaitForEnd());   // nothing answers on the pipes
    EXPECT_TRUE(r.found.empty());
    const QString all = r.statuses.join(u'\n');
    EXPECT_TRUE(all.startsWith(QStringLiteral("Search Vetrameter device on USB...")));
    EXPECT_TRUE(all.endsWith(QStringLiteral("No device of the required type found.")));
    StopWorker();
    StreamIO::SetUsbClassFolder(QString());
}
