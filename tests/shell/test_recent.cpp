// File › Recent projects: the last eight projects opened or saved, kept in
// the settings, missing ones greyed out.
#include "shellfixture.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>

using TestSupport::ShellTest;

namespace {

class RecentProjects : public ShellTest
{
protected:
    QMenu *menu() const { return frame->findChild<QMenu *>(QStringLiteral("recentProjects")); }
    QList<QAction *> entries() const
    {
        Q_EMIT menu()->aboutToShow();
        return menu()->actions();
    }
};

TEST_F(RecentProjects, TheLastEightNewestFirstMissingOnesGreyedAndAnEntryOpens)
{
    ASSERT_NE(menu(), nullptr);
    ASSERT_EQ(entries().size(), 1);
    EXPECT_FALSE(entries()[0]->isEnabled());   // "(none)"

    QStringList opened;
    for (int i = 1; i <= 9; ++i) {
        opened << writeProject(QStringLiteral("p%1.qxs").arg(i), 1, i);
        frame->OpenFromCommandLine({opened.last()});
    }
    frame->OpenFromCommandLine({opened[4]});   // p5 again: first, and only once
    const QStringList expected{opened[4], opened[8], opened[7], opened[6], opened[5], opened[3], opened[2], opened[1]};
    EXPECT_EQ(CRecentProjects(store.get(), Settings::SettingsKey()).Paths(), expected);
    // Kept for the next run.
    CSettingsStore reread(store->Path());
    EXPECT_EQ(CRecentProjects(&reread, Settings::SettingsKey()).Paths(), expected);

    QFile::remove(opened[6]);
    QList<QAction *> actions = entries();
    ASSERT_EQ(actions.size(), 8);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("&1  p5.qxs"));
    EXPECT_FALSE(actions[3]->isEnabled());
    EXPECT_EQ(actions[3]->toolTip(), opened[6] + QStringLiteral(" no longer exists."));
    EXPECT_TRUE(actions[1]->isEnabled());
    EXPECT_EQ(actions[1]->toolTip(), opened[8]);

    actions[1]->trigger();
    EXPECT_EQ(frame->Document().GetPath(), opened[8]);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Quelix Vetradesk - ") + opened[8]);
}

// Saved from the question before opening another project: recent too, and
// two files of one name are told apart by their folders.
TEST_F(RecentProjects, AProjectSavedFromTheSaveQuestionIsRecentAndNamesakesShowTheirFolders)
{
    frame->DropFiles({writeCsv(QStringLiteral("site.csv"), 3)});
    ASSERT_TRUE(frame->Document().IsModified());
    ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("north"))));
    const QString saved = path(QStringLiteral("north/site.qxs"));
    const QString other = writeProject(QStringLiteral("site.qxs"), 1);
    messages.ExpectBox(QStringLiteral("Would you like to save changes"), IMessageService::Yes);
    messages.ExpectSaveFile(saved);
    frame->OpenFromCommandLine({other});
    EXPECT_TRUE(messages.Done());
    EXPECT_EQ(frame->Document().GetPath(), other);
    EXPECT_EQ(CRecentProjects(store.get(), Settings::SettingsKey()).Paths(), (QStringList{other, saved}));

    const QList<QAction *> actions = entries();
    ASSERT_EQ(actions.size(), 2);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("&1  site.qxs  (%1)").arg(QFileInfo(other).absolutePath()));
    EXPECT_EQ(actions[1]->text(), QStringLiteral("&2  site.qxs  (%1)").arg(path(QStringLiteral("north"))));
}

}   // namespace
