// The download into the window from an instrument it already holds, against
// the simulated instrument on a pseudo-terminal.
#include "shellfixture.h"

#include "device/vetrasmartdevice.h"
#include "device/worker.h"
#include "gui/progressdlg.h"
#include "shell/commands.h"
#include "simulator.h"
#include "streamio/portmap.h"
#include "streamio/rs232stream.h"

#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Commands;
using TestSupport::ShellTest;

namespace {

class WindowDownload : public ShellTest
{
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        sim = std::make_unique<VetraSim::CSimulator>();
        sim->SetPacing(false);
        sim->GenerateObjects(12, 7);
        sim->Start();
        StreamIO::SetPortMap({{1, sim->SlavePath()}});
    }
    void TearDown() override
    {
        if (frame)
            frame->Connection().DisconnectInstrument();
        sim->Stop();
        StreamIO::SetPortMap({});
        ShellTest::TearDown();
    }
    // An instrument the connection holds, as the wizard leaves it.
    void holdInstrument()
    {
        auto device = std::make_unique<Device::CVetraSmartDevice>();
        auto *stream = new StreamIO::CRs232Stream;
        ASSERT_TRUE(stream->OpenPort(1, StreamIO::SO_READ | StreamIO::SO_WRITE, device->GetLineSettings()));
        ASSERT_TRUE(device->Connect(stream, Device::Port_Serial));
        ASSERT_TRUE(frame->Instruments().TakeInstrument(std::move(device)));
    }

    std::unique_ptr<VetraSim::CSimulator> sim;
};

TEST_F(WindowDownload, ObjectsArriveThenTheSameObjectsAskToSynchronize)
{
    holdInstrument();
    runInstrumentCommand(ID_DOWNLOAD);
    EXPECT_EQ(frame->Document().Current().GetCount(), 12);
    EXPECT_TRUE(frame->Document().IsModified());
    EXPECT_EQ(frame->Progress().LastPosition(), 1000);
    EXPECT_FALSE(frame->Progress().isVisible());
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Quelix Vetradesk - Unnamed"));

    // The same objects again, added: all twelve are already there.
    messages.ExpectDialog(QStringLiteral("synchronizeDialog"), [](QDialog &dialog) {
        dialog.findChild<QPushButton *>(QStringLiteral("addNewOnly"))->click();
    });
    runInstrumentCommand(ID_ADD_DOWNLOAD);
    EXPECT_EQ(frame->Document().Current().GetCount(), 12);
    messages.ExpectDialog(QStringLiteral("synchronizeDialog"),
                          [](QDialog &dialog) { dialog.findChild<QPushButton *>(QStringLiteral("addAll"))->click(); });
    runInstrumentCommand(ID_ADD_DOWNLOAD);
    EXPECT_EQ(frame->Document().Current().GetCount(), 24);
}

TEST_F(WindowDownload, TheWindowKeepsServingEventsWhileTheTransferRuns)
{
    sim->SetPacing(true);   // as long as a real line takes
    holdInstrument();
    int ticksDuring = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (frame->Progress().isVisible())
            ++ticksDuring;
    });
    ticker.start(10);
    runInstrumentCommand(ID_DOWNLOAD);
    ticker.stop();
    EXPECT_EQ(frame->Document().Current().GetCount(), 12);
    EXPECT_GT(ticksDuring, 3) << "the user-interface thread was blocked during the download";
}

// A transfer that takes long enough to try things during it.
class WindowDuringTransfer : public WindowDownload
{
protected:
    void SetUp() override
    {
        WindowDownload::SetUp();
        sim->SetPacing(true);
        sim->GenerateObjects(kObjects, 99);
        frame->OpenFromCommandLine({writeProject(QStringLiteral("site.qxs"), 5)});
        holdInstrument();
        frame->Execute(ID_ADD_DOWNLOAD);
        // The held instrument identifies first, then the transfer shows its progress.
        ASSERT_TRUE(QTest::qWaitFor([&] { return frame->Progress().isVisible(); }, 10000));
    }
    CProgressDlg &progress() { return frame->Progress(); }
    int count() const { return frame->Document().Current().GetCount(); }

    static constexpr int kObjects = 200;   // about 4 s on the paced line
};

TEST_F(WindowDuringTransfer, EscapeAndCloseRequestsLeaveTheProgressUpAndTheTransferFinishes)
{
    QTest::keyClick(&progress(), Qt::Key_Escape);
    EXPECT_TRUE(progress().isVisible());
    EXPECT_FALSE(progress().close());   // Alt+F4 or the window manager's close
    EXPECT_TRUE(progress().isVisible());
    progress().reject();
    EXPECT_TRUE(progress().isVisible());
    EXPECT_TRUE(frame->IsInstrumentBusy());
    waitForInstrument();
    EXPECT_EQ(count(), 5 + kObjects);
    EXPECT_FALSE(progress().isVisible());
    EXPECT_TRUE(progress().IsClosable());   // for the next time it is used
    EXPECT_TRUE(messages.Done());
}

TEST_F(WindowDuringTransfer, DownloadAddAndDeleteAllAreRefusedAndChangeNothing)
{
    const QString busy = QStringLiteral("The instrument is busy with another operation.");
    sim->ClearLog();
    for (int id : {ID_DOWNLOAD, ID_ADD_DOWNLOAD, ID_DELETE_ALL, ID_UPGRADE}) {
        messages.ExpectBox(busy);
        frame->Execute(id);
        EXPECT_TRUE(messages.Done()) << id;
    }
    EXPECT_EQ(count(), 5) << "the project stayed open";
    waitForInstrument();
    EXPECT_EQ(count(), 5 + kObjects) << "one download, not two";
    EXPECT_EQ(sim->Objects().size(), kObjects) << "nothing was deleted";
    EXPECT_FALSE(sim->Log().join(u'\n').contains(QStringLiteral("frame D2 11")));
    EXPECT_TRUE(frame->Instruments().HasInstrument()) << "the driver stayed";
}

TEST_F(WindowDuringTransfer, TheWindowClosedDuringTheTransferEndsItWithoutACrashOrAThreadLeft)
{
    QTest::qWait(100);   // into the transfer
    frame.reset();
    // The call ended inside the reset; the worker is free a moment later.
    EXPECT_TRUE(QTest::qWaitFor([] { return Device::IsWorkerIdle(); }, 5000));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(messages.Done()) << "no box for a download the user walked away from";
}

// The user-interface thread serves its timers while a silent instrument is
// waited for, and the failure says why.
TEST_F(WindowDownload, ASilentInstrumentLeavesTheWindowPaintingAndTheCauseIsSaid)
{
    holdInstrument();
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (frame->IsInstrumentBusy())
            ++ticks;
    });
    ticker.start(10);

    // Deleting: identified, asked, then silent.
    messages.ExpectBoxThen(QStringLiteral("Do you really want to delete all objects on Vetrameter?"), [this] {
        sim->SetFault(VetraSim::Fault::Silent);
        return IMessageService::Yes;
    });
    messages.ExpectBox(QStringLiteral("Delete all data on device failed!\nThe instrument did not answer"));
    runInstrumentCommand(ID_DELETE_ALL);
    EXPECT_TRUE(messages.Done());
    EXPECT_GT(ticks, 10) << "the user-interface thread was blocked while deleting";

    // Identifying the held one: silent, so the wizard comes (cancelled here).
    ticks = 0;
    messages.ExpectDialog(QStringLiteral("connectionWizard"), [](QDialog &wizard) { wizard.reject(); });
    runInstrumentCommand(ID_DOWNLOAD);
    EXPECT_TRUE(messages.Done());
    EXPECT_GT(ticks, 10) << "the user-interface thread was blocked while identifying";
    EXPECT_FALSE(frame->Instruments().HasInstrument());
    ticker.stop();
}

TEST_F(WindowDownload, AFailedDownloadSaysSoAndLeavesTheProject)
{
    holdInstrument();
    runInstrumentCommand(ID_DOWNLOAD);
    ASSERT_EQ(frame->Document().Current().GetCount(), 12);
    sim->SetFault(VetraSim::Fault::Truncated);
    messages.ExpectBox(QStringLiteral("The download of objects from Vetrameter failed!"));
    runInstrumentCommand(ID_ADD_DOWNLOAD);
    EXPECT_EQ(frame->Document().Current().GetCount(), 12);
}

}   // namespace
