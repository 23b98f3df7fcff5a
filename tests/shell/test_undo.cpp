// Undo and redo of every change the user makes to a project: each step puts
// back exactly the bytes the project had, and the modified flag and title
// follow the history.
#include "shellfixture.h"

#include "gui/projecthistory.h"
#include "project/projectedits.h"
#include "shell/commands.h"
#include "streamio/archive.h"
#include "streamio/ramstream.h"
#include "support/memoryclipboard.h"

#include <QAction>

using namespace Commands;
using TestSupport::ShellTest;

namespace {

using MemoryClipboard = TestSupport::CMemoryClipboard;

class Undo : public ShellTest
{
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        project = writeProject(QStringLiteral("site.qxs"), 5);
        frame->OpenFromCommandLine({project});
        ASSERT_EQ(doc().Current().GetCount(), 5);
    }
    CVetraDoc &doc() { return frame->Document(); }
    CProjectHistory &history() { return frame->History(); }

    // The project's file bytes, written to memory so that nothing is marked saved.
    QByteArray bytes()
    {
        StreamIO::CRamStream stream;
        stream.Open(QStringLiteral("RAM:UndoTest"),
                    StreamIO::SO_READ | StreamIO::SO_WRITE | StreamIO::SO_CREATE_ALWAYS);
        StreamIO::CQXArchive archive(stream.GetHandle(), StreamIO::CQXArchive::MODE_STORE);
        WriteProjectFile(doc().Originals(), doc().Current(), archive, nullptr, {1, 0, 1, 0});
        archive.Flush();
        QByteArray out(qsizetype(stream.GetLength()), '\0');
        stream.SetPosition(0);
        stream.Read(out.data(), int(out.size()));
        return out;
    }
    QString undoMenuText()
    {
        frame->UpdateCommandStates();
        return frame->MenuAction(ID_UNDO)->text();
    }

    QString project;
};

TEST_F(Undo, EveryChangeUndoneAndRedoneGivesBackTheSameBytesFlagAndTitle)
{
    const QString title = frame->windowTitle();
    MemoryClipboard clipboard;
    ASSERT_TRUE(clipboard.SetProjectData(doc().BuildClipboardPayload(Selection{true, false, true})));
    const QString csv = writeCsv(QStringLiteral("more.csv"), 2, 40);
    const QString other = writeProject(QStringLiteral("other.qxs"), 3, 60);

    // Each change with the text its undo entry must show.
    const std::vector<std::pair<QString, std::function<void()>>> changes = {
        {QStringLiteral("Undo rename of 003"), [&] { ProjectEdits::Rename(doc(), 2, QStringLiteral("Pier 4")); }},
        {QStringLiteral("Undo comment of 001"), [&] { ProjectEdits::SetComment(doc(), 0, QStringLiteral("cracked")); }},
        {QStringLiteral("Undo regional setting of 2 objects"),
         [&] {
             ProjectEdits::SetRegional(doc(), {1, 3}, 2);
         }},
        {QStringLiteral("Undo time shift of 2 objects"),
         [&] {
             ProjectEdits::ShiftTimeStamps(doc(), {0, 4}, 3600);
         }},
        {QStringLiteral("Undo deletion of 2 objects"),
         [&] {
             ProjectEdits::Delete(doc(), {4, 1});
         }},
        {QStringLiteral("Undo paste of 2 objects"), [&] { doc().PasteFromClipboard(clipboard); }},
        {QStringLiteral("Undo adding of 2 objects"),
         [&] {
             messages.ExpectOpenFiles({csv});
             frame->Execute(ID_ADD_CSV);
         }},
        {QStringLiteral("Undo adding of 6 objects"),
         [&] {   // a project brings both of its lists
             messages.ExpectOpenFile([&] { return std::optional<QString>(other); });
             frame->Execute(ID_ADD_PROJECT);
         }},
        {QStringLiteral("Undo sorting"), [&] { ProjectEdits::Sort(doc(), 6); }},
        {QStringLiteral("Undo restoring of the original data"),
         [&] {
             messages.ExpectBox(QStringLiteral("restore"), IMessageService::Yes);
             frame->Execute(ID_RESTORE);
         }},
    };
    std::vector<QByteArray> states{bytes()};
    for (const auto &[text, change] : changes) {
        change();
        ASSERT_TRUE(messages.Done()) << text.toStdString();
        EXPECT_NE(bytes(), states.back()) << text.toStdString();
        EXPECT_EQ(undoMenuText(), text);
        EXPECT_TRUE(doc().IsModified());
        states.push_back(bytes());
    }
    for (std::size_t i = states.size() - 1; i > 0; --i) {
        frame->Execute(ID_UNDO);
        EXPECT_EQ(bytes(), states[i - 1]) << changes[i - 1].first.toStdString();
        EXPECT_EQ(doc().IsModified(), i > 1);   // back at the opened state: unmodified
    }
    EXPECT_EQ(frame->windowTitle(), title);
    EXPECT_FALSE(frame->IsCommandEnabled(ID_UNDO));
    for (std::size_t i = 1; i < states.size(); ++i) {
        frame->Execute(ID_REDO);
        EXPECT_EQ(bytes(), states[i]) << changes[i - 1].first.toStdString();
        EXPECT_TRUE(doc().IsModified());
    }
    EXPECT_FALSE(frame->IsCommandEnabled(ID_REDO));
}

TEST_F(Undo, ACountOfOneSaysObjectInEnglishAndGerman)
{
    ProjectEdits::SetRegional(doc(), {1}, 2);
    EXPECT_EQ(undoMenuText(), QStringLiteral("Undo regional setting of 1 object"));
    ProjectEdits::Delete(doc(), {0});
    EXPECT_EQ(undoMenuText(), QStringLiteral("Undo deletion of 1 object"));
    LoadLanguageLibrary(bin + QStringLiteral("/Vetradesk_DEU.dll"));
    ProjectEdits::ShiftTimeStamps(doc(), {0}, 60);
    EXPECT_TRUE(history().UndoText().endsWith(QStringLiteral("Zeitverschiebung von 1 Objekt")))
        << history().UndoText().toStdString();
    ProjectEdits::ShiftTimeStamps(doc(), {0, 1}, 60);
    EXPECT_TRUE(history().UndoText().endsWith(QStringLiteral("Zeitverschiebung von 2 Objekten")));
}

TEST_F(Undo, AThousandRenamesUndoneInOneGo)
{
    const QByteArray opened = bytes();
    for (int i = 0; i < 1000; ++i)
        ProjectEdits::Rename(doc(), i % 5, QStringLiteral("name %1").arg(i));
    EXPECT_EQ(history().Stack().count(), 1000);
    history().Stack().setIndex(0);
    EXPECT_EQ(bytes(), opened);
    EXPECT_FALSE(doc().IsModified());
}

TEST_F(Undo, BeyondTheLimitTheOldestStepsGo)
{
    for (int i = 0; i < CProjectHistory::kUndoLimit + 5; ++i)
        ProjectEdits::Rename(doc(), 0, QStringLiteral("name %1").arg(i));
    EXPECT_EQ(history().Stack().count(), CProjectHistory::kUndoLimit);
    history().Stack().setIndex(0);
    EXPECT_EQ(doc().Current().GetObject(0).objectName, QStringLiteral("name 4"));
    EXPECT_TRUE(doc().IsModified()) << "the saved state is out of reach";
}

TEST_F(Undo, SavingMarksTheStateAndOpeningOrClosingForgetsTheHistory)
{
    ProjectEdits::Rename(doc(), 0, QStringLiteral("before the save"));
    ASSERT_TRUE(doc().Save());
    EXPECT_FALSE(doc().IsModified());
    frame->Execute(ID_UNDO);   // before the save: changed against the file
    EXPECT_TRUE(doc().IsModified());
    frame->Execute(ID_REDO);
    EXPECT_FALSE(doc().IsModified());

    // Expanding is no step of its own, but the saved state is then behind us.
    ProjectEdits::SetExpanded(doc(), 1, true);
    doc().UpdateAllViews(nullptr, 1);
    frame->Execute(ID_UNDO);
    EXPECT_TRUE(doc().IsModified());

    messages.ExpectBox(QStringLiteral("Would you like to save changes"), IMessageService::No);
    frame->Execute(ID_CLOSE);
    EXPECT_FALSE(frame->IsCommandEnabled(ID_UNDO));
    EXPECT_FALSE(frame->IsCommandEnabled(ID_REDO));
    frame->OpenFromCommandLine({project});
    EXPECT_FALSE(frame->IsCommandEnabled(ID_UNDO));
    EXPECT_TRUE(messages.Done());
}

}   // namespace
