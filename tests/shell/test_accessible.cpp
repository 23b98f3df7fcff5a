// What a screen reader gets: every control a user can reach in the main
// window and the dialogs has a name and a description, through Qt's
// accessibility interfaces (what the accessibility bus carries).
#include "shellfixture.h"

#include "support/accessibletree.h"

#include "export/ui/exportbmpdialog.h"
#include "export/ui/exportcsvdialog.h"
#include "gui/commentdlg.h"
#include "gui/datetimedlg.h"
#include "gui/progressdlg.h"
#include "gui/synchronizedlg.h"
#include "shell/aboutdlg.h"
#include "shell/appsettingsdlg.h"
#include "streamio/portmap.h"
#include "wizard/devfoundpage.h"
#include "wizard/devselectsheet.h"

using TestSupport::ShellTest;

namespace {

QStringList unnamedIn(QWidget &widget)
{
    widget.show();
    QTest::qWait(0);
    return TestSupport::UnnamedControls(widget);
}

class Accessible : public ShellTest
{
};

TEST_F(Accessible, EveryControlOfTheWindowHasANameAndADescription)
{
    const QStringList missing = unnamedIn(*frame);
    EXPECT_TRUE(missing.isEmpty()) << qPrintable(missing.join(u'\n'));
}

TEST_F(Accessible, EveryControlOfTheDialogsHasANameAndADescription)
{
    CAppSettings settings(frame.get());
    CAboutDlg about(frame.get());
    CCommentDlg comment(frame.get());
    CDateTimeDlg time(frame.get());
    CSynchronizeDlg sync(5, 2, frame.get());
    CExportCsvDialog csv(messages, 2, frame.get());
    CExportBmpDialog bmp(messages, 2, frame.get());
    CProgressDlg progress(frame.get());
    CDevSelectSheet wizard(Res::IDS_WIZARD_CAPTION, {messages, desktop, frame->Instruments()}, frame.get());
    const std::pair<const char *, QWidget *> dialogs[] = {
        {"settings", &settings},  {"about", &about},      {"comment", &comment},
        {"time", &time},          {"synchronize", &sync}, {"csv export", &csv},
        {"graphic export", &bmp}, {"wizard", &wizard},    {"progress", &progress},
    };
    // The wizard's search page as well, searching ports that lead nowhere.
    QHash<std::uint32_t, QString> ports;
    for (std::uint32_t n = 1; n <= 256; ++n)
        ports.insert(n, QStringLiteral("/nonexistent/ttyVM%1").arg(n));
    StreamIO::SetPortMap(ports);
    messages.ExpectBox(QStringLiteral("No device found."), IMessageService::Cancel);
    wizard.show();
    wizard.next();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !wizard.FoundPage()->IsSearching(); }, 20000));
    const QStringList found = TestSupport::UnnamedControls(wizard);
    EXPECT_TRUE(found.isEmpty()) << "wizard's search page:\n" << qPrintable(found.join(u'\n'));
    wizard.back();
    StreamIO::SetPortMap({});
    EXPECT_TRUE(messages.Done());
    for (const auto &[name, dialog] : dialogs) {
        const QStringList missing = unnamedIn(*dialog);
        EXPECT_TRUE(missing.isEmpty()) << name << ":\n" << qPrintable(missing.join(u'\n'));
        dialog->hide();
    }
}

}   // namespace
