// The download into the window from an instrument it already holds, against
// the simulated instrument on a pseudo-terminal.
#include "shellfixture.h"

#include "device/vetrasmartdevice.h"
#include "gui/progressdlg.h"
#include "shell/commands.h"
#include "simulator.h"
#include "streamio/portmap.h"
#include "streamio/rs232stream.h"

#include <QDialog>
#include <QPushButton>
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
    messages.ExpectDialog(QStringLiteral("synchronizeDialog"), [](QDialog &dialog) {
        dialog.findChild<QPushButton *>(QStringLiteral("addAll"))->click();
    });
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

} // namespace
