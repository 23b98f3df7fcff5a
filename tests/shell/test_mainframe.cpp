// The main window driven as a user would: enable rules, titles, closing,
// failing commands, dropped files and the command line.
#include "shellfixture.h"

#include "gui/elidedlabel.h"
#include "shell/commands.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMenuBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QWidgetAction>

#include <stdexcept>

using namespace Commands;
using TestSupport::ShellTest;
using TestSupport::WriteBytes;

namespace {

const QString kTitle = QStringLiteral("Quelix Vetradesk");

class MainFrame : public ShellTest
{
protected:
    bool enabled(int id) const
    {
        QAction *menu = frame->MenuAction(id);
        EXPECT_TRUE(menu) << id;
        // The toolbar shares the state of the menu.
        if (QAction *tool = frame->ToolbarAction(id)) {
            EXPECT_EQ(tool->isEnabled(), menu && menu->isEnabled()) << id;
        }
        return menu && menu->isEnabled();
    }
};

TEST_F(MainFrame, EnableRulesFollowTheProject)
{
    const int always[] = {ID_OPEN_PROJECT, ID_OPEN_CSV,      ID_DOWNLOAD, ID_SETTINGS,     ID_EXIT, ID_DELETE_ALL,
                          ID_UPGRADE,      ID_CHECK_UPDATES, ID_HELP,     ID_HELP_UPGRADE, ID_ABOUT};
    const int withObjects[] = {ID_ADD_PROJECT, ID_ADD_CSV,        ID_ADD_DOWNLOAD, ID_CLOSE,   ID_SAVE_AS,
                               ID_EXPORT_CSV,  ID_EXPORT_GRAPHIC, ID_PRINT,        ID_RESTORE, ID_SELECT_ALL};

    // Empty project.
    for (int id : always)
        EXPECT_TRUE(enabled(id)) << id;
    for (int id : withObjects)
        EXPECT_FALSE(enabled(id)) << id;
    EXPECT_FALSE(enabled(ID_SAVE));
    EXPECT_FALSE(enabled(ID_COPY));
    EXPECT_FALSE(enabled(ID_DELETE));
    EXPECT_FALSE(enabled(ID_PASTE));

    // Loaded, not modified.
    frame->OpenFromCommandLine({writeProject(QStringLiteral("site.qxs"), 4)});
    for (int id : always)
        EXPECT_TRUE(enabled(id)) << id;
    for (int id : withObjects)
        EXPECT_TRUE(enabled(id)) << id;
    EXPECT_FALSE(enabled(ID_SAVE));
    EXPECT_FALSE(enabled(ID_COPY)) << "nothing is selected yet";

    // A selection in the table enables copy and delete.
    frame->Execute(ID_SELECT_ALL);
    EXPECT_TRUE(enabled(ID_COPY));
    EXPECT_TRUE(enabled(ID_DELETE));

    // Modified.
    messages.ExpectBox(QStringLiteral("restore all orignal"), IMessageService::Yes);
    frame->Execute(ID_RESTORE);
    EXPECT_TRUE(frame->Document().IsModified());
    EXPECT_TRUE(enabled(ID_SAVE));
    for (int id : withObjects)
        EXPECT_TRUE(enabled(id)) << id;
}

TEST_F(MainFrame, APromptCoversThePagesStatusOnlyWhileThePointerIsOnTheCommand)
{
    // The empty project of a fresh start counts too, before anything happened.
    EXPECT_EQ(frame->StatusLine().simplified(), QStringLiteral("Selected objects: 0 Total objects: 0"))
        << qPrintable(frame->StatusLine());

    frame->OpenFromCommandLine({writeProject(QStringLiteral("site.qxs"), 5)});
    const QString page = frame->StatusLine();
    EXPECT_TRUE(page.simplified().startsWith(QStringLiteral("Selected objects: 0 Total objects: 5")))
        << page.toStdString();
    // What a menu or toolbar entry sends while the pointer is on it, and after.
    QStatusTipEvent on(QStringLiteral("Open an existing project"));
    QApplication::sendEvent(frame.get(), &on);
    EXPECT_EQ(frame->StatusLine(), QStringLiteral("Open an existing project"));
    QStatusTipEvent off{QString()};
    QApplication::sendEvent(frame.get(), &off);
    EXPECT_EQ(frame->StatusLine(), page) << "not \"Ready\"";

    // In a narrow window the text ends in "…" before the indicators, whole in its tooltip.
    frame->show();
    frame->resize(300, 400);
    QCoreApplication::processEvents();
    auto *label = frame->findChild<CElidedLabel *>(QStringLiteral("pageStatus"));
    auto *caps = frame->findChild<QLabel *>(QStringLiteral("capsIndicator"));
    ASSERT_TRUE(label && caps);
    EXPECT_LT(label->mapTo(frame.get(), label->rect().topRight()).x(), caps->mapTo(frame.get(), QPoint()).x());
    EXPECT_TRUE(label->ShownText().endsWith(QChar(0x2026))) << label->ShownText().toStdString();
    EXPECT_EQ(label->text(), page);
}

TEST_F(MainFrame, EveryCommandHasItsPromptTooltipAndShortcut)
{
    for (const SCommand &c : All()) {
        QAction *a = frame->MenuAction(c.id);
        ASSERT_TRUE(a) << c.id;
        EXPECT_FALSE(a->text().isEmpty()) << c.id;
        EXPECT_FALSE(a->statusTip().isEmpty()) << c.id;
        EXPECT_FALSE(a->statusTip().contains(u'\n')) << c.id;
    }
    EXPECT_EQ(frame->MenuAction(ID_SETTINGS)->statusTip(),
              QStringLiteral("Change settings like language and date or time format"));
    EXPECT_EQ(frame->ToolbarAction(ID_SAVE)->toolTip(), QStringLiteral("Save project"));
    EXPECT_EQ(frame->MenuAction(ID_SELECT_ALL)->shortcut(), QKeySequence(QKeySequence::SelectAll));
    EXPECT_EQ(frame->MenuAction(ID_COPY)->shortcut(), QKeySequence(QKeySequence::Copy));
    EXPECT_EQ(frame->MenuAction(ID_PASTE)->shortcut(), QKeySequence(QKeySequence::Paste));
    EXPECT_EQ(frame->MenuAction(ID_DELETE)->shortcut(), QKeySequence(QKeySequence::Delete));
}

TEST_F(MainFrame, TheToolbarShowsItsGroupsInOrderAndTheLogoLast)
{
    // What a user sees from left to right: each button's tooltip, "|" for a
    // separator, and for a widget its tooltip in brackets (the spacer has none).
    auto *bar = frame->findChild<QToolBar *>(QStringLiteral("mainToolbar"));
    ASSERT_TRUE(bar);
    QStringList shown;
    for (QAction *a : bar->actions()) {
        if (a->isSeparator()) {
            shown << QStringLiteral("|");
        } else if (auto *widget = qobject_cast<QWidgetAction *>(a)) {
            shown << u'[' + widget->defaultWidget()->toolTip() + u']';
        } else {
            shown << a->toolTip();
            // Icon-only buttons are named after their text: the tooltip, not the menu's "&" text.
            EXPECT_EQ(a->text(), a->toolTip()) << a->toolTip().toStdString();
        }
    }
    EXPECT_EQ(shown.join(QStringLiteral(", ")).toStdString(),
              "Download from Vetrameter, Upgrade Vetrameter, |, Open project, Save project, |, "
              "Export as CSV file(s), Export as graphic, Print, |, Help, [], [Visit the Quelix web site]");
}

TEST_F(MainFrame, TitleFollowsOpenSaveAsAndClose)
{
    EXPECT_EQ(frame->windowTitle(), kTitle);
    const QString file = writeProject(QStringLiteral("bridge.qxs"), 3);
    messages.ExpectOpenFile([&] { return file; });
    frame->Execute(ID_OPEN_PROJECT);
    EXPECT_EQ(frame->windowTitle(), kTitle + QStringLiteral(" - ") + file);

    const QString copy = path(QStringLiteral("bridge-copy.qxs"));
    messages.ExpectSaveFile(copy);
    frame->Execute(ID_SAVE_AS);
    EXPECT_EQ(frame->windowTitle(), kTitle + QStringLiteral(" - ") + copy);
    EXPECT_TRUE(QFile::exists(copy));

    frame->Execute(ID_CLOSE);
    EXPECT_EQ(frame->windowTitle(), kTitle);
    EXPECT_FALSE(frame->Document().HasObjects());
}

TEST_F(MainFrame, ExitOnAModifiedProjectAnsweredCancelKeepsTheWindow)
{
    frame->show();
    frame->OpenFromCommandLine({writeProject(QStringLiteral("a.qxs"), 2)});
    messages.ExpectBox(QString(), IMessageService::Yes);
    frame->Execute(ID_RESTORE);

    messages.ExpectBox(QStringLiteral("Would you like to save changes in your Project?"), IMessageService::Cancel);
    frame->Execute(ID_EXIT);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->Document().Current().GetCount(), 2);

    // No: the window closes and the project goes unsaved.
    messages.ExpectBox(QStringLiteral("Would you like to save changes"), IMessageService::No);
    EXPECT_TRUE(frame->close());
    EXPECT_FALSE(frame->isVisible());
}

TEST_F(MainFrame, ExitAnsweredYesOnAnUnnamedProjectWhoseSaveIsCancelledStaysOpen)
{
    frame->show();
    frame->DropFiles({writeCsv(QStringLiteral("a.csv"), 2)});
    ASSERT_TRUE(frame->Document().IsModified());
    messages.ExpectBox(QStringLiteral("Would you like to save changes"), IMessageService::Yes);
    messages.ExpectSaveFile(std::nullopt);
    EXPECT_FALSE(frame->close());
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->Document().Current().GetCount(), 2);
}

TEST_F(MainFrame, TheLogoOpensTheMakersWebSite)
{
    auto *logo = frame->findChild<QAbstractButton *>(QStringLiteral("logoButton"));
    ASSERT_TRUE(logo);
    logo->click();
    ASSERT_EQ(desktop.opened.size(), 1u);
    EXPECT_EQ(desktop.opened[0].toString(), QStringLiteral("https://www.quelix.com/"));
    desktop.openSucceeds = false;
    messages.ExpectBox(QStringLiteral("https://www.quelix.com/ could not be opened"));
    logo->click();
}

TEST_F(MainFrame, ACommandThatThrowsIsShownAndTheNextCommandWorks)
{
    messages.ExpectOpenFile([]() -> std::optional<QString> { throw std::runtime_error(""); });
    messages.ExpectBox(QStringLiteral("Command failed."));
    frame->Execute(ID_OPEN_PROJECT);
    EXPECT_EQ(messages.Boxes().back().icon, IMessageService::Icon::Error);

    const QString file = writeProject(QStringLiteral("next.qxs"), 2);
    messages.ExpectOpenFile([&] { return file; });
    frame->Execute(ID_OPEN_PROJECT);
    EXPECT_EQ(frame->Document().Current().GetCount(), 2);
}

TEST_F(MainFrame, AProjectThatCannotBeReadSaysWhyOnASecondLine)
{
    messages.ExpectBox(QStringLiteral("This is not a Vetradesk project file or there was an error while reading.\n"));
    frame->OpenFromCommandLine({path(QStringLiteral("missing.qxs"))});
    EXPECT_EQ(messages.Boxes().back().text.count(u'\n'), 1);
    EXPECT_EQ(frame->windowTitle(), kTitle);
}

TEST_F(MainFrame, CommandLineOpensExactlyOneArgument)
{
    const QString a = writeProject(QStringLiteral("a.qxs"), 2);
    const QString b = writeProject(QStringLiteral("b.qxs"), 3);
    frame->OpenFromCommandLine({a, b});
    EXPECT_FALSE(frame->Document().HasObjects());
    frame->OpenFromCommandLine({});
    EXPECT_FALSE(frame->Document().HasObjects());
    frame->OpenFromCommandLine({b});
    EXPECT_EQ(frame->Document().Current().GetCount(), 3);
}

TEST_F(MainFrame, DroppedCsvBeforeProjectReplacesTheObjectsAndIgnoresTheProject)
{
    frame->OpenFromCommandLine({writeProject(QStringLiteral("old.qxs"), 5, 100)});
    const QString csv = writeCsv(QStringLiteral("a.csv"), 2, 7);
    frame->DropFiles({csv, writeProject(QStringLiteral("b.qxs"), 3, 50)});
    EXPECT_EQ(names(), (QStringList{QStringLiteral("7"), QStringLiteral("8")}));
    EXPECT_TRUE(frame->Document().GetPath().isEmpty());
}

TEST_F(MainFrame, DroppedProjectFirstIsOpenedWithTheSavePrompt)
{
    frame->OpenFromCommandLine({writeProject(QStringLiteral("old.qxs"), 5, 100)});
    messages.ExpectBox(QString(), IMessageService::Yes);
    frame->Execute(ID_RESTORE);   // modified
    const QString project = writeProject(QStringLiteral("b.qxs"), 3, 50);
    messages.ExpectBox(QStringLiteral("Would you like to save changes"), IMessageService::No);
    frame->DropFiles({project, writeCsv(QStringLiteral("a.csv"), 2, 7)});
    EXPECT_EQ(names(), (QStringList{QStringLiteral("50"), QStringLiteral("51"), QStringLiteral("52")}));
    EXPECT_EQ(frame->Document().GetPath(), project);
}

TEST_F(MainFrame, ADropWithoutObjectsLeavesTheProjectAlone)
{
    frame->OpenFromCommandLine({writeProject(QStringLiteral("old.qxs"), 2, 100)});
    messages.ExpectBox(QString(), IMessageService::Yes);
    frame->Execute(ID_RESTORE);
    WriteBytes(path(QStringLiteral("empty.csv")), "nothing here\r\n");
    messages.ExpectBox(QStringLiteral("No measurement objects found in ") + path(QStringLiteral("empty.csv")));
    frame->DropFiles({path(QStringLiteral("empty.csv")), path(QStringLiteral("notes.txt"))});
    messages.ExpectBox(QStringLiteral("hold no measurement objects"));
    frame->DropFiles({path(QStringLiteral("notes.txt"))});
    EXPECT_EQ(names(), (QStringList{QStringLiteral("100"), QStringLiteral("101")}));
    EXPECT_TRUE(frame->Document().IsModified());
}

TEST_F(MainFrame, AddingADataFileWithoutObjectsNamesItAndChangesNothing)
{
    frame->OpenFromCommandLine({writeProject(QStringLiteral("old.qxs"), 2, 100)});
    WriteBytes(path(QStringLiteral("empty.csv")), "nothing here\r\n");
    messages.ExpectOpenFiles({path(QStringLiteral("empty.csv"))});
    messages.ExpectBox(QStringLiteral("No measurement objects found in ") + path(QStringLiteral("empty.csv")));
    frame->Execute(ID_ADD_CSV);
    EXPECT_EQ(names(), (QStringList{QStringLiteral("100"), QStringLiteral("101")}));
    EXPECT_FALSE(frame->Document().IsModified());
}

TEST_F(MainFrame, DroppedCsvFilesOnAModifiedProjectAskToSaveFirst)
{
    frame->OpenFromCommandLine({writeProject(QStringLiteral("old.qxs"), 2, 100)});
    messages.ExpectBox(QString(), IMessageService::Yes);
    frame->Execute(ID_RESTORE);
    messages.ExpectBox(QStringLiteral("Would you like to save changes"), IMessageService::Cancel);
    frame->DropFiles({writeCsv(QStringLiteral("a.csv"), 1, 9)});
    EXPECT_EQ(names(), (QStringList{QStringLiteral("100"), QStringLiteral("101")}));
}

TEST_F(MainFrame, CsvFilesWithLongNamesAreAllReadAndUnreadableOnesAreNamed)
{
    // Together far beyond a thousand characters.
    const QString folder = QStringLiteral("f") + QString(200, u'x');
    ASSERT_TRUE(QDir(dir.path()).mkpath(folder));
    QStringList files;
    for (int i = 0; i < 6; ++i)
        files << writeCsv(folder + QStringLiteral("/data-%1-").arg(i) + QString(40, u'y') + QStringLiteral(".csv"), 1,
                          10 + i);
    const QString missing = path(QStringLiteral("gone.csv"));
    messages.ExpectOpenFiles(files + QStringList{missing});
    messages.ExpectBox(missing);
    frame->Execute(ID_OPEN_CSV);
    EXPECT_EQ(frame->Document().Current().GetCount(), 6);
    EXPECT_TRUE(frame->Document().IsModified());
}

TEST_F(MainFrame, HelpAndWebSiteSayWhatCouldNotBeOpened)
{
    messages.ExpectBox(Settings::Current().pfad + QStringLiteral("/VETRADESK_ENU.pdf"));
    frame->Execute(ID_HELP);
    EXPECT_TRUE(desktop.opened.empty());

    WriteBytes(bin + QStringLiteral("/VETRADESK_ENU.pdf"), "%PDF-1.4\n");
    frame->Execute(ID_HELP);
    ASSERT_EQ(desktop.opened.size(), 1u);
    EXPECT_EQ(desktop.opened[0].toLocalFile(), bin + QStringLiteral("/VETRADESK_ENU.pdf"));

    WriteBytes(bin + QStringLiteral("/QxUpgrade.chm"), "chm");
    desktop.openSucceeds = false;
    messages.ExpectBox(QStringLiteral("QxUpgrade.chm could not be opened"));
    frame->Execute(ID_HELP_UPGRADE);
}

TEST_F(MainFrame, TheUpgradeToolIsFoundBesideTheProgramWhateverTheFoldersLength)
{
    messages.ExpectBox(QStringLiteral("QxUpgrade.exe"));
    frame->Execute(ID_UPGRADE);
    EXPECT_TRUE(desktop.started.empty());

    const QString deep = path(QString(200, u'd'));
    ASSERT_TRUE(QDir().mkpath(deep));
    Settings::Attach(store.get(), deep + QStringLiteral("/vetradesk"));
    Settings::LoadSettings();
    WriteBytes(deep + QStringLiteral("/QxUpgrade.exe"), "tool");
    frame->Execute(ID_UPGRADE);
    ASSERT_EQ(desktop.started.size(), 1u);
    EXPECT_EQ(desktop.started[0], deep + QStringLiteral("/QxUpgrade.exe"));

    desktop.startSucceeds = false;
    messages.ExpectBox(QStringLiteral("cannot execute"));
    frame->Execute(ID_UPGRADE);
}

TEST_F(MainFrame, DeleteAllWithoutAnInstrumentSaysNothingWasDeleted)
{
    // The wizard runs; cancelled, nothing is connected.
    messages.ExpectDialog(QStringLiteral("connectionWizard"), [](QDialog &wizard) { wizard.reject(); });
    messages.ExpectBox(QStringLiteral("You are not connected to a Vetrameter."));
    frame->Execute(ID_DELETE_ALL);
}

TEST_F(MainFrame, EveryControlOfTheWindowHasAnAccessibleName)
{
    // Narrow, so that the toolbar's overflow button shows too.
    frame->resize(420, 500);
    frame->show();
    QCoreApplication::processEvents();
    int buttons = 0;
    for (QWidget *w : frame->findChildren<QWidget *>()) {
        if (!w->isVisible() || !(qobject_cast<QAbstractButton *>(w) || qobject_cast<QToolBar *>(w)))
            continue;
        ++buttons;
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
        ASSERT_TRUE(a);
        EXPECT_FALSE(a->text(QAccessible::Name).isEmpty())
            << w->metaObject()->className() << " " << w->objectName().toStdString();
    }
    EXPECT_GE(buttons, 8);
    auto *logo = frame->findChild<QAbstractButton *>(QStringLiteral("logoButton"));
    ASSERT_TRUE(logo);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(logo)->text(QAccessible::Name),
              QStringLiteral("Visit the Quelix web site"));
}

}   // namespace
