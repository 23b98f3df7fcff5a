// The connection wizard's pages: what they show for the stored choices, what
// they store, and the hand-over of the chosen instrument.
#include "app/settingsstore.h"
#include "app/wizardsettings.h"
#include "device/vetrasmartdevice.h"
#include "device/worker.h"
#include "instrument/instrumentservice.h"
#include "res/resources.h"
#include "simulator.h"
#include "streamio/portmap.h"
#include "streamio/streamtable.h"
#include "support/scriptedui.h"
#include "wizard/connectionwizard.h"
#include "wizard/devfoundpage.h"
#include "wizard/portselectpage.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Device;
using TestSupport::CScriptedDesktop;
using TestSupport::CScriptedMessages;

namespace {

class WizardPages : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        store = std::make_unique<CSettingsStore>(dir.filePath(QStringLiteral("settings.json")));
        key = WizardSettingsKey();
    }

    // A sheet as the connection holder prepares it, on its first page.
    // `portMask`: the port kinds of a family that can be reached otherwise.
    std::unique_ptr<CDevSelectSheet> open(std::uint32_t portMask = 0)
    {
        auto sheet = std::make_unique<CDevSelectSheet>(Res::IDS_WIZARD_CAPTION, services());
        sheet->LoadWizardSettings(*store, key);
        sheet->State().deviceType = Type_Vetrameter;
        sheet->State().express = false;
        if (portMask)
            sheet->SetPortMask(portMask);
        sheet->restart();
        return sheet;
    }

    static QStringList kinds(const CPortSelectPage &page)
    {
        QStringList names;
        for (int i = 0; i < page.KindList()->count(); ++i)
            names << page.KindList()->itemText(i);
        return names;
    }

    SWizardServices services() { return {messages, desktop, instrument}; }

    QTemporaryDir dir;
    Instrument::CInstrumentService instrument;
    std::unique_ptr<CSettingsStore> store;
    QString key;
    CScriptedMessages messages;
    CScriptedDesktop desktop;
};

TEST_F(WizardPages, WithoutStoredChoicesTheCoverMetersOnlyKindIsChosenAndScanningIsOn)
{
    auto sheet = open();
    CPortSelectPage &page = *sheet->PortPage();
    EXPECT_EQ(kinds(page), QStringList{QStringLiteral("Serial")});
    EXPECT_EQ(page.SelectedKind(), Port_Serial);
    EXPECT_TRUE(page.ScanBox()->isChecked());
    EXPECT_TRUE(page.StopBox()->isChecked());
    EXPECT_EQ(page.ComField()->text(), QStringLiteral("1"));
    EXPECT_EQ(page.IpField()->text(), QString());
    // Scanning: the port number is not needed, stopping after the first is.
    EXPECT_TRUE(page.ScanBox()->isEnabled());
    EXPECT_FALSE(page.ComField()->isEnabled());
    EXPECT_TRUE(page.StopBox()->isEnabled());
    EXPECT_FALSE(page.IpField()->isEnabled());
    page.ScanBox()->click();
    EXPECT_TRUE(page.ComField()->isEnabled());
    EXPECT_FALSE(page.StopBox()->isEnabled());
    // The first page has no Back.
    EXPECT_FALSE(sheet->button(QWizard::BackButton)->isVisible() && sheet->isVisible());
    EXPECT_EQ(sheet->button(QWizard::NextButton)->text(), QStringLiteral("Next >"));
    EXPECT_EQ(sheet->button(QWizard::CancelButton)->toolTip(), QStringLiteral("Abort this application"));
}

TEST_F(WizardPages, TheNotesPointsStartUnderOneAnotherBesideTheirLabel)
{
    auto sheet = open();
    sheet->show();
    QWidget *explanation = sheet->PortPage()->findChild<QWidget *>(QStringLiteral("explanation"));
    ASSERT_TRUE(explanation);
    auto labelStarting = [&](const QString &start) -> QLabel * {
        for (QLabel *l : explanation->findChildren<QLabel *>())
            if (l->text().startsWith(start))
                return l;
        return nullptr;
    };
    QLabel *note = labelStarting(QStringLiteral("Note:"));
    QLabel *first = labelStarting(QStringLiteral("Only communication types"));
    QLabel *second = labelStarting(QStringLiteral("USB devices might"));
    ASSERT_TRUE(note && first && second);
    EXPECT_EQ(note->text(), QStringLiteral("Note:"));
    EXPECT_EQ(first->geometry().left(), second->geometry().left());
    EXPECT_GT(first->geometry().left(), note->geometry().right());
    EXPECT_LT(first->geometry().bottom(), second->geometry().top());
}

TEST_F(WizardPages, StoredEthernetIsChosenOnlyWhereTheTypeSupportsIt)
{
    store->Write(key, QStringLiteral("CommPort"), std::uint32_t(4));
    store->Write(key, QStringLiteral("IP Address"), QStringLiteral("192.168.4.20"));
    {
        auto sheet = open(Port_Serial | Port_Usb | Port_Ip);
        CPortSelectPage &page = *sheet->PortPage();
        EXPECT_EQ(kinds(page),
                  (QStringList{QStringLiteral("USB"), QStringLiteral("Ethernet"), QStringLiteral("Serial")}));
        EXPECT_EQ(page.SelectedKind(), Port_Ip);
        EXPECT_EQ(page.IpField()->text(), QStringLiteral("192.168.4.20"));
        EXPECT_TRUE(page.IpField()->isEnabled());
        EXPECT_FALSE(page.ScanBox()->isEnabled());
        EXPECT_FALSE(page.ComField()->isEnabled());
        EXPECT_FALSE(page.StopBox()->isEnabled());
        page.KindList()->setCurrentIndex(0);   // USB: nothing to fill in
        EXPECT_FALSE(page.IpField()->isEnabled());
        EXPECT_FALSE(page.ScanBox()->isEnabled());
    }
    auto sheet = open();
    EXPECT_EQ(sheet->PortPage()->SelectedKind(), Port_Serial);
    EXPECT_FALSE(sheet->PortPage()->IpField()->isEnabled());
}

TEST_F(WizardPages, PortNumbersOutsideOneTo9999AreRefusedAnd9999IsReadBackAsOne)
{
    auto sheet = open();
    CPortSelectPage &page = *sheet->PortPage();
    for (const char *bad : {"0", "10000", "-3"}) {
        page.ComField()->setText(QString::fromLatin1(bad));
        messages.ExpectBox(QStringLiteral("Enter an integer between 1 and 9999."));
        EXPECT_FALSE(page.validatePage()) << bad;
    }
    page.ComField()->setText(QStringLiteral("COM3"));
    messages.ExpectBox(QStringLiteral("Enter an integer."));
    EXPECT_FALSE(page.validatePage());

    page.ScanBox()->click();
    page.ComField()->setText(QStringLiteral("9999"));
    ASSERT_TRUE(page.validatePage());
    EXPECT_EQ(sheet->State().comPort, 9999u);
    EXPECT_FALSE(sheet->State().scanPorts);
    EXPECT_EQ(sheet->State().portKind, Port_Serial);
    ASSERT_TRUE(sheet->SaveWizardSettings(*store, key));
    EXPECT_EQ(store->ReadNumber(key, QStringLiteral("ComPort")), 9999u);

    auto again = open();
    EXPECT_EQ(again->PortPage()->ComField()->text(), QStringLiteral("1"));
    EXPECT_FALSE(again->PortPage()->ScanBox()->isChecked());
    EXPECT_TRUE(messages.Done());
}

TEST_F(WizardPages, CancelOnTheFirstPageStillStoresTheChoices)
{
    store->Write(key, QStringLiteral("DeviceType"), std::uint32_t(5));
    store->Write(key, QStringLiteral("ComPort"), std::uint32_t(7));
    store->Write(key, QStringLiteral("Scan"), std::uint32_t(0));
    store->Write(key, QStringLiteral("Express"), std::uint32_t(1));
    messages.ExpectDialog(QStringLiteral("connectionWizard"), [](QDialog &wizard) { wizard.reject(); });
    EXPECT_FALSE(RunConnectionWizard(services(), store.get()));
    EXPECT_TRUE(messages.Done());

    CSettingsStore reread(store->Path());
    EXPECT_EQ(reread.ReadNumber(key, QStringLiteral("ComPort")), 7u);
    EXPECT_EQ(reread.ReadNumber(key, QStringLiteral("Scan")), 0u);
    EXPECT_EQ(reread.ReadNumber(key, QStringLiteral("Stop Scan")), 1u);
    // Forced by this program whatever was stored.
    EXPECT_EQ(reread.ReadNumber(key, QStringLiteral("DeviceType")), 3u);
    EXPECT_EQ(reread.ReadNumber(key, QStringLiteral("Express")), 0u);
}

TEST_F(WizardPages, HelpOpensTheManualOrExplainsTheWizard)
{
    auto sheet = open();
    desktop.openSucceeds = false;
    messages.ExpectBox(QStringLiteral("The connection wizard finds your Vetrameter."));
    sheet->PortPage()->findChild<QAbstractButton *>(QStringLiteral("help"))->click();
    EXPECT_TRUE(messages.Done());
}

// Against the simulated instrument on a pseudo-terminal.
class WizardSearch : public WizardPages
{
protected:
    void SetUp() override
    {
        WizardPages::SetUp();
        StreamIO::InitStreamLayer();
        sim = std::make_unique<VetraSim::CSimulator>();
        sim->SetPacing(false);
        sim->Start();
        // An instrument that never answers keeps a scan busy on COM2.
        silent = std::make_unique<VetraSim::CSimulator>();
        silent->SetFault(VetraSim::Fault::Silent);
        silent->Start();
        // Every port mapped, so that no scan touches a real serial device.
        QHash<std::uint32_t, QString> ports;
        for (std::uint32_t n = 1; n <= 256; ++n)
            ports.insert(n, QStringLiteral("/nonexistent/ttyVM%1").arg(n));
        ports.insert(1, sim->SlavePath());
        ports.insert(2, silent->SlavePath());
        StreamIO::SetPortMap(ports);
        ASSERT_TRUE(StartWorker());
    }
    void TearDown() override
    {
        instrument.StopAndWait();
        instrument.Release();
        StopWorker();
        sim->Stop();
        silent->Stop();
        StreamIO::SetPortMap({});
        StreamIO::ShutdownStreamLayer();
    }

    std::unique_ptr<VetraSim::CSimulator> sim;
    std::unique_ptr<VetraSim::CSimulator> silent;
};

// Next, wait for the search to end, then Finish as a user would.
void findAndFinish(QDialog &dialog)
{
    auto &wizard = static_cast<CDevSelectSheet &>(dialog);
    wizard.next();
    CDevFoundPage *found = wizard.FoundPage();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !found->IsSearching() && found->FoundCount() == 1; }, 15000));
    EXPECT_TRUE(found->DeviceList()->item(0)->text().startsWith(QStringLiteral("Serial number: VM-20931    @ COM1 (")));
    EXPECT_TRUE(found->InfoField()->toPlainText().contains(QStringLiteral("VM-20931")));
    ASSERT_TRUE(wizard.button(QWizard::FinishButton)->isEnabled());
    wizard.button(QWizard::FinishButton)->click();
}

TEST_F(WizardSearch, FinishHandsOverTheIdentifiedInstrumentAndStoresItsType)
{
    store->Write(key, QStringLiteral("DeviceType"), std::uint32_t(5));
    messages.ExpectDialog(QStringLiteral("connectionWizard"), findAndFinish);
    ASSERT_TRUE(RunConnectionWizard(services(), store.get()));
    // The wizard is gone and did not take the instrument with it.
    EXPECT_EQ(instrument.InstrumentPort(), QStringLiteral("COM1 (%1)").arg(sim->SlavePath()));
    EXPECT_EQ(instrument.CandidateCount(), 0);
    QSignalSpy finished(&instrument, &Instrument::CInstrumentService::Finished);
    ASSERT_TRUE(instrument.Identify());
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_TRUE(finished.at(0).at(0).value<Instrument::SCallResult>().ok);
    EXPECT_EQ(store->ReadNumber(key, QStringLiteral("DeviceType")), 3u);
}

// After the search the list has the focus with the first instrument chosen;
// Enter, or a double click on it, is Finish.
TEST_F(WizardSearch, EnterOrADoubleClickOnTheFoundInstrumentFinishes)
{
    for (const bool doubleClick : {false, true}) {
        auto sheet = open();
        sheet->show();
        sheet->activateWindow();
        sheet->next();
        CDevFoundPage *found = sheet->FoundPage();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !found->IsSearching(); }, 15000));
        ASSERT_EQ(found->FoundCount(), 1);
        // The status box is as high as its two lines, and they fit.
        auto *status = found->findChild<QPlainTextEdit *>(QStringLiteral("status"));
        ASSERT_TRUE(status);
        EXPECT_LT(status->height(), status->fontMetrics().lineSpacing() * 3);
        EXPECT_EQ(status->verticalScrollBar()->maximum(), 0);
        EXPECT_EQ(found->DeviceList()->currentRow(), 0);
        EXPECT_EQ(QApplication::focusWidget(), found->DeviceList());
        if (doubleClick) {
            const QRect item = found->DeviceList()->visualItemRect(found->DeviceList()->item(0));
            // Press, release, then the second press as a double click, as a mouse sends them.
            QTest::mouseClick(found->DeviceList()->viewport(), Qt::LeftButton, {}, item.center());
            QTest::mouseDClick(found->DeviceList()->viewport(), Qt::LeftButton, {}, item.center());
        } else {
            QTest::keyClick(found->DeviceList(), Qt::Key_Return);
        }
        EXPECT_EQ(sheet->result(), QDialog::Accepted) << (doubleClick ? "double click" : "Enter");
        EXPECT_TRUE(sheet->Adopted());
        EXPECT_TRUE(instrument.HasInstrument());
        instrument.Release();
    }
}

TEST_F(WizardSearch, BackDropsTheResultsAndCancelDuringTheSearchStopsIt)
{
    auto sheet = open();
    sheet->show();
    sheet->next();
    CDevFoundPage *found = sheet->FoundPage();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !found->IsSearching(); }, 15000));
    ASSERT_EQ(found->FoundCount(), 1);
    sheet->back();
    EXPECT_EQ(found->FoundCount(), 0);
    EXPECT_EQ(found->DeviceList()->count(), 0);

    // Without stopping at the first, the scan goes on to the silent COM2: cancel it.
    sheet->PortPage()->StopBox()->setChecked(false);
    sheet->next();
    ASSERT_TRUE(QTest::qWaitFor([&] { return found->FoundCount() == 1; }, 15000));
    EXPECT_TRUE(found->IsSearching());
    EXPECT_FALSE(sheet->button(QWizard::FinishButton)->isEnabled());
    sheet->reject();
    EXPECT_FALSE(found->IsSearching());
    // The scan ends in the background; the worker is free again after it.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !instrument.IsBusy(); }, 20000));
    EXPECT_TRUE(IsWorkerIdle());
}

}   // namespace
