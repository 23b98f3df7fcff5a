// "Check for updates..." from the main window: the project is closed first,
// and the window closes only after an installer was started.
#include "shellfixture.h"

#include "shell/commands.h"
#include "support/localftp.h"
#include "update/autoupdate.h"
#include "update/pagedownload.h"
#include "update/pagesearch.h"

#include <QAbstractButton>
#include <QTest>

using namespace Commands;
using TestSupport::ShellTest;

namespace {

class UpdateCommand : public ShellTest
{
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        folder = path(QStringLiteral("ftp/QxUpgrade/Vetradesk"));
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_TRUE(ftp.Start(path(QStringLiteral("ftp"))));
        store->Write(Settings::SettingsKey(), QStringLiteral("UpdateServer"), ftp.Address());
        frame->OpenFromCommandLine({writeProject(QStringLiteral("site.qxs"), 3)});
        frame->show();
    }
    int count() const { return frame->Document().Current().GetCount(); }

    TestSupport::CLocalFtpServer ftp;
    QString folder;
};

TEST_F(UpdateCommand, WithoutAnUpdateFinishReturnsToTheWindowWithTheProjectClosed)
{
    TestSupport::WriteBytes(folder + QStringLiteral("/Vetradesk_V_1_0_1_0.exe"), "same");
    messages.ExpectDialog(QStringLiteral("updateWizard"), [](QDialog &dialog) {
        auto &wizard = static_cast<CAutoUpdate &>(dialog);
        ASSERT_TRUE(QTest::qWaitFor([&] { return wizard.SearchPage()->isComplete(); }, 20000));
        EXPECT_EQ(wizard.SearchPage()->CurrentState(), CPageSearch::State::NoUpdate);
        wizard.button(QWizard::FinishButton)->click();
    });
    frame->Execute(ID_CHECK_UPDATES);
    EXPECT_EQ(count(), 0);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(messages.Done());
}

TEST_F(UpdateCommand, AStartedInstallerClosesTheWindow)
{
    TestSupport::WriteBytes(folder + QStringLiteral("/Vetradesk_V_1_1_0_0.exe"), QByteArray(15000, 'x'));
    messages.ExpectDialog(QStringLiteral("updateWizard"), [](QDialog &dialog) {
        auto &wizard = static_cast<CAutoUpdate &>(dialog);
        ASSERT_TRUE(QTest::qWaitFor([&] { return wizard.SearchPage()->isComplete(); }, 20000));
        wizard.next();
        ASSERT_TRUE(QTest::qWaitFor([&] { return wizard.Launched(); }, 20000));
    });
    frame->Execute(ID_CHECK_UPDATES);
    ASSERT_EQ(desktop.opened.size(), 1u);
    EXPECT_EQ(desktop.opened[0].toLocalFile(), bin + QStringLiteral("/Vetradesk_V_1_1_0_0.exe"));
    EXPECT_FALSE(frame->isVisible());
}

TEST_F(UpdateCommand, CancelOnTheSaveQuestionChecksNothing)
{
    frame->Document().SetModified(true);
    messages.ExpectBox(QStringLiteral("Would you like to save changes"), IMessageService::Cancel);
    frame->Execute(ID_CHECK_UPDATES);
    EXPECT_EQ(count(), 3);
    EXPECT_TRUE(messages.Done());
}

}   // namespace
