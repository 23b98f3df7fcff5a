// The update wizard's pages against the local FTP server: which buttons each
// state leaves, what the lines say, and what lies in the folder afterwards.
#include "ftpfixture.h"

#include "support/accessibletree.h"
#include "support/scriptedui.h"
#include "update/autoupdate.h"
#include "update/pagedownload.h"
#include "update/pagesearch.h"

#include <QAbstractButton>
#include <QLabel>
#include <QProgressBar>
#include <QTest>

using TestSupport::CScriptedDesktop;
using TestSupport::CScriptedMessages;

namespace {

class UpdateWizard : public FtpFixture
{
protected:
    void SetUp() override
    {
        FtpFixture::SetUp();
        ASSERT_TRUE(folder.isValid());
    }

    std::unique_ptr<CAutoUpdate> open(const QString &password = QStringLiteral("kobrawUXJ"))
    {
        SServerAddress address = Address();
        address.password = password;
        auto wizard = std::make_unique<CAutoUpdate>(SUpdateServices{messages, desktop}, address);
        wizard->SetProgramFolder(folder.path());
        wizard->show();
        return wizard;
    }
    static bool searched(CAutoUpdate &wizard)
    {
        return QTest::qWaitFor([&] { return wizard.SearchPage()->isComplete(); }, 20000);
    }
    // Back, Next, Finish as enabled.
    static std::array<bool, 3> buttons(CAutoUpdate &wizard)
    {
        return {wizard.button(QWizard::BackButton)->isEnabled(), wizard.button(QWizard::NextButton)->isEnabled(),
                wizard.button(QWizard::FinishButton)->isEnabled()};
    }
    bool downloaded(CAutoUpdate &wizard)
    {
        wizard.next();
        return QTest::qWaitFor(
            [&] {
                const auto state = wizard.DownloadPage()->CurrentState();
                return state != CPageDownload::State::Starting && state != CPageDownload::State::Transferring;
            },
            60000);
    }
    QStringList files() const { return QDir(folder.path()).entryList(QDir::Files); }

    QTemporaryDir folder;   // the program's folder
    CScriptedMessages messages;
    CScriptedDesktop desktop;
    using Buttons = std::array<bool, 3>;
};

TEST_F(UpdateWizard, TheSearchSaysWhetherANewerVersionExistsAndEnablesOneButton)
{
    AddFile(QStringLiteral("Vetradesk_V_1_0_1_0.exe"), "same");
    ASSERT_TRUE(StartServer());
    {
        auto wizard = open();
        // While it connects nothing but Cancel can be used.
        EXPECT_EQ(buttons(*wizard), (Buttons{false, false, false}));
        EXPECT_EQ(wizard->SearchPage()->TitleLine()->text(), QStringLiteral("Searching update for Vetradesk"));
        EXPECT_EQ(wizard->SearchPage()->StatusLine()->text(), QStringLiteral("Connecting..."));
        ASSERT_TRUE(searched(*wizard));
        EXPECT_EQ(wizard->SearchPage()->CurrentState(), CPageSearch::State::NoUpdate);
        EXPECT_EQ(wizard->SearchPage()->ResultArea()->text(),
                  QStringLiteral(
                      "There is no update available. \nYou are already using the most recent version of Vetradesk."));
        EXPECT_FALSE(wizard->SearchPage()->StatusLine()->isVisible());
        EXPECT_EQ(buttons(*wizard), (Buttons{false, false, true}));
    }
    AddFile(QStringLiteral("Vetradesk_V_1_1_0_0.exe"), "newer");
    AddFile(QStringLiteral("Vetradesk_V_1_0_3_0.exe"), "older");
    auto wizard = open();
    ASSERT_TRUE(searched(*wizard));
    EXPECT_EQ(wizard->SearchPage()->CurrentState(), CPageSearch::State::Found);
    EXPECT_EQ(wizard->SearchPage()->ResultArea()->text(),
              QStringLiteral(
                  "Found a newer version of Vetradesk on the server. \n Server version: 1.1.0 \n Your version: 1.0.1"));
    EXPECT_EQ(buttons(*wizard), (Buttons{false, true, false}));
    EXPECT_EQ(wizard->Choice().file, QStringLiteral("Vetradesk_V_1_1_0_0.exe"));
    EXPECT_EQ(wizard->Choice().size, 5);
    const QStringList unnamed = TestSupport::UnnamedControls(*wizard);
    EXPECT_TRUE(unnamed.isEmpty()) << qPrintable(unnamed.join(u'\n'));
}

TEST_F(UpdateWizard, AWrongPasswordIsShownInABoxAndOnTheStatusLineWithFinishOnly)
{
    ASSERT_TRUE(StartServer());
    messages.ExpectBox(QStringLiteral(" Connection error (code 67)."));
    auto wizard = open(QStringLiteral("wrong"));
    ASSERT_TRUE(searched(*wizard));
    EXPECT_EQ(wizard->SearchPage()->CurrentState(), CPageSearch::State::Failed);
    EXPECT_TRUE(wizard->SearchPage()->StatusLine()->text().endsWith(QStringLiteral(" Connection error (code 67).")));
    EXPECT_FALSE(wizard->SearchPage()->TitleLine()->isVisible());
    EXPECT_EQ(buttons(*wizard), (Buttons{false, false, true}));
    EXPECT_TRUE(messages.Done());
}

TEST_F(UpdateWizard, AFolderThatCannotBeListedIsSaidInABoxAndThenOnThePage)
{
    AddFile(QStringLiteral("Vetradesk_V_1_1_0_0.exe"), "newer");
    ASSERT_TRUE(StartServer({QStringLiteral("--perm"), QStringLiteral("er")}));
    messages.ExpectBox(QStringLiteral("550"));
    auto wizard = open();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return wizard->SearchPage()->CurrentState() == CPageSearch::State::ListFailed; }, 20000));
    EXPECT_TRUE(messages.Done());
    EXPECT_EQ(wizard->SearchPage()->StatusLine()->text(),
              QStringLiteral("The list of updates could not be read from the server."));
    EXPECT_FALSE(wizard->SearchPage()->TitleLine()->isVisible());
    EXPECT_EQ(buttons(*wizard), (Buttons{false, false, false})) << "only Cancel is left";
}

TEST_F(UpdateWizard, TheDownloadArrivesWholeIsStartedAndEndsTheWizardWithOk)
{
    const QByteArray installer = Payload(25'000'000, 7);
    AddFile(QStringLiteral("Vetradesk_V_1_1_0_0.exe"), installer);
    ASSERT_TRUE(StartServer());
    auto wizard = open();
    ASSERT_TRUE(searched(*wizard));
    ASSERT_TRUE(downloaded(*wizard));
    EXPECT_EQ(wizard->DownloadPage()->CurrentState(), CPageDownload::State::Launched);
    EXPECT_TRUE(wizard->Launched());
    EXPECT_EQ(wizard->result(), QDialog::Accepted);
    const QString path = folder.filePath(QStringLiteral("Vetradesk_V_1_1_0_0.exe"));
    ASSERT_EQ(desktop.opened.size(), 1u);
    EXPECT_EQ(desktop.opened[0].toLocalFile(), path);
    EXPECT_EQ(files(), QStringList{QStringLiteral("Vetradesk_V_1_1_0_0.exe")});
    EXPECT_TRUE(TestSupport::ReadBytes(path) == installer);
    EXPECT_EQ(wizard->DownloadPage()->Bar()->value(), 100);
    EXPECT_EQ(wizard->DownloadPage()->AmountLine()->text(), QStringLiteral("23.84 MB downloaded"));
    // The line changes with its text only: at most once per hundredth of a MB.
    EXPECT_LE(wizard->DownloadPage()->AmountUpdates(), 2385);
}

TEST_F(UpdateWizard, AnInstallerThatCannotBeStartedKeepsTheProgramRunning)
{
    AddFile(QStringLiteral("Vetradesk_V_1_1_0_0.exe"), Payload(15'000, 3));
    ASSERT_TRUE(StartServer());
    desktop.openSucceeds = false;
    messages.ExpectBox(QStringLiteral("could not be started"));
    auto wizard = open();
    ASSERT_TRUE(searched(*wizard));
    ASSERT_TRUE(downloaded(*wizard));
    EXPECT_EQ(wizard->DownloadPage()->CurrentState(), CPageDownload::State::Failed);
    EXPECT_FALSE(wizard->Launched());
    EXPECT_NE(wizard->result(), QDialog::Accepted);
    EXPECT_EQ(buttons(*wizard), (Buttons{false, false, true}));
    EXPECT_EQ(files(), QStringList{QStringLiteral("Vetradesk_V_1_1_0_0.exe")});
    EXPECT_TRUE(messages.Done());
}

TEST_F(UpdateWizard, AFolderThatCannotBeWrittenAsksWhereAndCancellingThatIsAnError)
{
    AddFile(QStringLiteral("Vetradesk_V_1_1_0_0.exe"), Payload(15'000, 5));
    ASSERT_TRUE(StartServer());
    QTemporaryDir elsewhere;
    const QString picked = elsewhere.filePath(QStringLiteral("update.exe"));
    messages.ExpectSaveFile(picked);
    {
        auto wizard = open();
        wizard->SetProgramFolder(folder.filePath(QStringLiteral("missing")));
        ASSERT_TRUE(searched(*wizard));
        ASSERT_TRUE(downloaded(*wizard));
        EXPECT_TRUE(wizard->Launched());
        EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::Files), QStringList{QStringLiteral("update.exe")});
        EXPECT_EQ(desktop.opened.back().toLocalFile(), picked);
    }
    messages.ExpectSaveFile(std::nullopt);
    auto wizard = open();
    wizard->SetProgramFolder(folder.filePath(QStringLiteral("missing")));
    ASSERT_TRUE(searched(*wizard));
    ASSERT_TRUE(downloaded(*wizard));
    EXPECT_EQ(wizard->DownloadPage()->TitleLine()->text(), QStringLiteral("Unknown error while downloading."));
    EXPECT_FALSE(wizard->DownloadPage()->Bar()->isVisible());
    EXPECT_EQ(buttons(*wizard), (Buttons{false, false, true}));
    EXPECT_FALSE(wizard->Launched());
    EXPECT_TRUE(messages.Done());
}

TEST_F(UpdateWizard, AShortFileIsAnErrorAndLeavesNothing)
{
    AddFile(QStringLiteral("Vetradesk_V_1_1_0_0.exe"), Payload(20'000, 9));
    ASSERT_TRUE(StartServer({QStringLiteral("--size"), QStringLiteral("Vetradesk_V_1_1_0_0.exe=30000")}));
    auto wizard = open();
    ASSERT_TRUE(searched(*wizard));
    ASSERT_TRUE(downloaded(*wizard));
    EXPECT_EQ(wizard->DownloadPage()->TitleLine()->text(), QStringLiteral("Unknown error while downloading."));
    EXPECT_TRUE(files().isEmpty());
    EXPECT_TRUE(desktop.opened.empty());
}

TEST_F(UpdateWizard, CancelInTheMiddleEndsAtOnceAndLeavesNothing)
{
    AddFile(QStringLiteral("Vetradesk_V_1_1_0_0.exe"), Payload(25'000'000, 11));
    ASSERT_TRUE(StartServer({QStringLiteral("--rate"), QStringLiteral("2000000")}));
    auto wizard = open();
    ASSERT_TRUE(searched(*wizard));
    wizard->next();
    ASSERT_TRUE(QTest::qWaitFor([&] { return wizard->DownloadPage()->Bar()->value() >= 2; }, 30000));
    EXPECT_EQ(buttons(*wizard), (Buttons{false, false, false}));
    const QStringList unnamed = TestSupport::UnnamedControls(*wizard);
    EXPECT_TRUE(unnamed.isEmpty()) << qPrintable(unnamed.join(u'\n'));
    wizard->reject();
    EXPECT_FALSE(wizard->Launched());
    EXPECT_TRUE(files().isEmpty()) << files().join(u' ').toStdString();
    EXPECT_TRUE(desktop.opened.empty());
}

}   // namespace
