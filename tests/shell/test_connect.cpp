// The instrument commands from the connection wizard on: the scan finds the
// simulated instrument behind a missing port and one of another family, the
// download fills the project, and each failure says why.
#include "shellfixture.h"

#include "app/wizardsettings.h"
#include "device/vetrasmartdevice.h"
#include "instrument/deviceevents.h"
#include "shell/commands.h"
#include "simulator.h"
#include "streamio/portmap.h"
#include "wizard/devfoundpage.h"
#include "wizard/devselectsheet.h"
#include "wizard/portselectpage.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <sys/socket.h>
#include <unistd.h>

using namespace Commands;
using TestSupport::ShellTest;

namespace {

constexpr int kObjects = 549;   // the most one reply holds

class Connect : public ShellTest
{
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        sim = std::make_unique<VetraSim::CSimulator>();
        sim->SetPacing(false);
        sim->GenerateObjects(kObjects, 3);
        sim->Start();
        other = std::make_unique<VetraSim::CSimulator>();
        other->SetPacing(false);
        other->SetFault(VetraSim::Fault::WrongFamily);
        other->Start();
        link = path(QStringLiteral("ttyLater"));
        // COM1 missing, COM2 another family, COM3 the instrument; COM4 a
        // device that appears later. No port reaches a real serial device.
        QHash<std::uint32_t, QString> ports;
        for (std::uint32_t n = 1; n <= 256; ++n)
            ports.insert(n, QStringLiteral("/nonexistent/ttyVM%1").arg(n));
        ports.insert(2, other->SlavePath());
        ports.insert(3, sim->SlavePath());
        ports.insert(4, link);
        StreamIO::SetPortMap(ports);
    }
    void TearDown() override
    {
        frame->Connection().DisconnectInstrument();
        sim->Stop();
        other->Stop();
        StreamIO::SetPortMap({});
        ShellTest::TearDown();
    }

    // The wizard as a user goes through it: Next, wait for the search, Finish.
    void expectWizardFinds(const QString &portText)
    {
        messages.ExpectDialog(QStringLiteral("connectionWizard"), [portText](QDialog &dialog) {
            auto &wizard = static_cast<CDevSelectSheet &>(dialog);
            wizard.next();
            CDevFoundPage *found = wizard.FoundPage();
            ASSERT_TRUE(QTest::qWaitFor([&] { return !found->IsSearching() && found->FoundCount() > 0; }, 20000));
            EXPECT_EQ(found->StatusField()->toPlainText(), QStringLiteral("Finished device search, found device(s):"));
            EXPECT_EQ(found->DeviceList()->item(0)->text(), QStringLiteral("Serial number: VM-20931    @ ") + portText);
            wizard.button(QWizard::FinishButton)->click();
        });
    }
    void connectThroughWizard()
    {
        expectWizardFinds(QStringLiteral("COM3 (%1)").arg(sim->SlavePath()));
        bool connected = false;
        ASSERT_TRUE(frame->Connection().ConnectInstrument([&](bool c) { connected = c; }));
        waitForInstrument();
        ASSERT_TRUE(connected);
    }
    void answerSynchronize(const char *button)
    {
        messages.ExpectDialog(QStringLiteral("synchronizeDialog"), [name = QString::fromLatin1(button)](QDialog &d) {
            if (name.isEmpty())
                d.reject();
            else
                d.findChild<QPushButton *>(name)->click();
        });
    }
    int count() const { return frame->Document().Current().GetCount(); }

    std::unique_ptr<VetraSim::CSimulator> sim;
    std::unique_ptr<VetraSim::CSimulator> other;
    QString link;
};

TEST_F(Connect, TheScanFindsCom3ThenDownloadsIntoAnEmptyAndAFullProject)
{
    expectWizardFinds(QStringLiteral("COM3 (%1)").arg(sim->SlavePath()));
    runInstrumentCommand(ID_DOWNLOAD);
    EXPECT_EQ(count(), kObjects);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Quelix Vetradesk - Unnamed"));

    // The instrument is held now: no wizard again.
    answerSynchronize("addNewOnly");
    runInstrumentCommand(ID_ADD_DOWNLOAD);
    EXPECT_EQ(count(), kObjects);
    answerSynchronize("");
    runInstrumentCommand(ID_ADD_DOWNLOAD);
    EXPECT_EQ(count(), kObjects);
    answerSynchronize("addAll");
    runInstrumentCommand(ID_ADD_DOWNLOAD);
    EXPECT_EQ(count(), 2 * kObjects);
    EXPECT_TRUE(messages.Done());

    // The choices were stored for the next time.
    EXPECT_EQ(store->ReadNumber(WizardSettingsKey(), QStringLiteral("CommPort")), 1u);
}

TEST_F(Connect, EachFaultSaysWhyOnASecondLineAndLeavesTheProject)
{
    connectThroughWizard();
    runInstrumentCommand(ID_DOWNLOAD);
    ASSERT_EQ(count(), kObjects);
    const QString failed = QStringLiteral("The download of objects from Vetrameter failed!\n");
    const struct
    {
        VetraSim::Fault fault;
        int parameter;
        QString cause;
    } cases[] = {
        {VetraSim::Fault::BadChecksum, 0, QStringLiteral("The reply of the instrument arrived with a checksum error.")},
        {VetraSim::Fault::Truncated, 0, QStringLiteral("The instrument stopped sending before its reply was complete")},
    };
    for (const auto &c : cases) {
        sim->SetFault(c.fault, c.parameter);
        messages.ExpectBox(failed + c.cause);
        runInstrumentCommand(ID_ADD_DOWNLOAD);
        EXPECT_EQ(count(), kObjects);
        EXPECT_TRUE(messages.Done());
    }
}

TEST_F(Connect, ALinkDroppedMidDownloadSaysSoAndLeavesTheProject)
{
    frame->OpenFromCommandLine({writeProject(QStringLiteral("site.qxs"), 5)});
    ASSERT_EQ(count(), 5);
    connectThroughWizard();
    // The cable pulled a few records into the transfer (only identifications went before).
    sim->SetFault(VetraSim::Fault::DisconnectAfter, 20000);
    messages.ExpectBox(QStringLiteral("The download of objects from Vetrameter failed!\n"
                                      "The connection to the instrument was lost: "));
    runInstrumentCommand(ID_ADD_DOWNLOAD);
    EXPECT_EQ(count(), 5);
    EXPECT_FALSE(frame->Document().IsModified());
    EXPECT_TRUE(messages.Done());
}

TEST_F(Connect, NoObjectsOnTheInstrumentIsSaidAndDeleteAllAskedNoSendsNothing)
{
    connectThroughWizard();
    sim->SetFault(VetraSim::Fault::NoObjects);
    messages.ExpectBox(QStringLiteral("No measurement objects found on Vetrameter!"));
    runInstrumentCommand(ID_DOWNLOAD);
    EXPECT_EQ(count(), 0);
    sim->SetFault(VetraSim::Fault::None);

    sim->ClearLog();
    messages.ExpectBox(QStringLiteral("Do you really want to delete all objects on Vetrameter?"), IMessageService::No);
    runInstrumentCommand(ID_DELETE_ALL);
    EXPECT_EQ(messages.Boxes().back().defaultAnswer, IMessageService::No) << "Enter must not wipe the instrument";
    EXPECT_FALSE(sim->Log().join(u'\n').contains(QStringLiteral("frame D2 11")));
    EXPECT_EQ(sim->Objects().size(), kObjects);

    messages.ExpectBox(QStringLiteral("Do you really want to delete all objects on Vetrameter?"), IMessageService::Yes);
    messages.ExpectBox(QStringLiteral("Delete all data on Vetrameter succeeded."));
    runInstrumentCommand(ID_DELETE_ALL);
    EXPECT_TRUE(sim->Objects().isEmpty());
    EXPECT_TRUE(messages.Done());
}

TEST_F(Connect, NothingFoundAsksToRetryAndTheRetryFindsTheInstrumentThatAppeared)
{
    messages.ExpectDialog(QStringLiteral("connectionWizard"), [](QDialog &dialog) {
        auto &wizard = static_cast<CDevSelectSheet &>(dialog);
        CPortSelectPage *page = wizard.PortPage();
        page->ScanBox()->setChecked(false);
        page->ComField()->setText(QStringLiteral("4"));
        wizard.next();
        CDevFoundPage *found = wizard.FoundPage();
        ASSERT_TRUE(QTest::qWaitFor([&] { return found->FoundCount() == 1 && !found->IsSearching(); }, 20000));
        wizard.button(QWizard::FinishButton)->click();
    });
    messages.ExpectBoxThen(QStringLiteral("No device found.\nPlease make sure the device is switched on"), [this] {
        EXPECT_TRUE(sim->MakeLink(link));   // the user plugs the instrument in
        return IMessageService::Retry;
    });
    runInstrumentCommand(ID_DOWNLOAD);
    EXPECT_EQ(count(), kObjects);
    EXPECT_TRUE(messages.Done());
    EXPECT_EQ(store->ReadNumber(WizardSettingsKey(), QStringLiteral("ComPort")), 4u);
    EXPECT_EQ(store->ReadNumber(WizardSettingsKey(), QStringLiteral("Scan")), 0u);
}

TEST_F(Connect, ALinkDroppedOnAHeldInstrumentRunsTheWizardAgain)
{
    connectThroughWizard();
    sim->SetFault(VetraSim::Fault::Silent);   // it no longer answers its identification
    messages.ExpectDialog(QStringLiteral("connectionWizard"), [](QDialog &wizard) { wizard.reject(); });
    messages.ExpectBox(QStringLiteral("You are not connected to a Vetrameter."));
    runInstrumentCommand(ID_DELETE_ALL);
    EXPECT_FALSE(frame->Instruments().HasInstrument());
    EXPECT_EQ(sim->Objects().size(), kObjects);
}

// Devices plugged in and out, fed to the window as the system announces them.
class DeviceEvents : public Connect
{
protected:
    void SetUp() override
    {
        Connect::SetUp();
        int fds[2];
        ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds), 0);
        feed = fds[1];
        frame->Connection().WatchDevices(Instrument::OpenLineEvents(fds[0]));
        status = frame->findChild<QLabel *>(QStringLiteral("deviceStatus"));
        ASSERT_NE(status, nullptr);
    }
    void TearDown() override
    {
        ::close(feed);
        Connect::TearDown();
    }
    void say(const QString &line)
    {
        const QByteArray bytes = line.toUtf8() + '\n';
        ASSERT_EQ(::write(feed, bytes.constData(), size_t(bytes.size())), bytes.size());
    }
    // The status bar's device text once it reads `text`; what it read otherwise.
    QString waitForStatus(const QString &text)
    {
        (void)QTest::qWaitFor([&] { return !status->isHidden() && status->text() == text; }, 20000);
        return status->isHidden() ? QString() : status->text();
    }

    int feed = -1;
    QLabel *status = nullptr;
};

TEST_F(DeviceEvents, APluggedInstrumentIsNamedInTheStatusBarAndDownloadNeedsNoWizard)
{
    EXPECT_TRUE(status->isHidden()) << "nothing plugged in yet";
    // Something that does not answer first, then the instrument.
    say(QStringLiteral("add /nonexistent/ttyVM9"));
    EXPECT_EQ(waitForStatus(QStringLiteral("No Vetrameter answers on COM9 (/nonexistent/ttyVM9)")),
              QStringLiteral("No Vetrameter answers on COM9 (/nonexistent/ttyVM9)"));
    say(QStringLiteral("add ") + sim->SlavePath());
    const QString named = QStringLiteral("Vetrameter VM-20931 on COM3 (%1)").arg(sim->SlavePath());
    EXPECT_EQ(waitForStatus(named), named);
    waitForInstrument();

    runInstrumentCommand(ID_DOWNLOAD);   // a wizard would be a box the script does not expect
    EXPECT_EQ(count(), kObjects);
    EXPECT_TRUE(messages.Done());
}

TEST_F(DeviceEvents, PluggedInDuringADownloadItWaitsAndUnpluggedTheDownloadSaysWhy)
{
    frame->OpenFromCommandLine({writeProject(QStringLiteral("site.qxs"), 5)});
    connectThroughWizard();
    sim->SetPacing(true);   // a transfer of some seconds
    frame->Execute(ID_ADD_DOWNLOAD);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return frame->Instruments().RunningCall() == Instrument::NCall::Download; }, 10000));
    // The other simulator appears meanwhile: probed only once the download has ended.
    say(QStringLiteral("add ") + other->SlavePath());
    QTest::qWait(50);
    EXPECT_EQ(frame->Instruments().RunningCall(), Instrument::NCall::Download);

    messages.ExpectBox(QStringLiteral("The download of objects from Vetrameter failed!\n"
                                      "The instrument was unplugged from COM3 (%1).")
                           .arg(sim->SlavePath()));
    say(QStringLiteral("remove ") + sim->SlavePath());
    waitForInstrument();
    EXPECT_EQ(count(), 5);
    EXPECT_FALSE(frame->Document().IsModified());
    EXPECT_FALSE(frame->Instruments().HasInstrument());
    // The one of another family was probed after the download and is not held.
    const QString other2 = QStringLiteral("No Vetrameter answers on COM2 (%1)").arg(other->SlavePath());
    EXPECT_EQ(waitForStatus(other2), other2);
    EXPECT_FALSE(frame->Instruments().HasInstrument());
    EXPECT_TRUE(messages.Done());
}

}   // namespace
